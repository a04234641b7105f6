#!/usr/bin/env bash
# The reference tone as it reaches the sound server: the generator thread
# plays into the rig's sink while parec records the sink's monitor, and the
# recordings are measured with tonvale-analyze.
#   tone_sound_check.sh <tone_play_probe> <tonvale-analyze> <scale.ini as the program sees it>
# Checks:
#  - A4 reads 440.000 Hz +- 0.01; the fade-out stop lets the queued sound
#    play, fades linearly over 50 ms into silence and only then ends the thread;
#  - with a playback clock correction of +120 (1.2 cents) A4 reads 1.20
#    cents low;
#  - E4 in quarter-comma meantone in C reads 3.42 cents below equal temperament.
set -euo pipefail

probe=$1
analyzer=$2
scale_ini=$3
launcher=()
[[ -z ${TONVALE_EMULATOR:-} ]] || launcher=("$TONVALE_EMULATOR")

if ! pactl info >/dev/null 2>&1; then
  echo "no sound server: run the tests inside the rig (bash scripts/test, or bash scripts/rig run ctest ...)" >&2
  exit 1
fi

artefacts=${TONVALE_ARTEFACTS_DIR#Z:}/tone_sound
mkdir -p "$artefacts"
work=$(mktemp -d)
recorder=""
# shellcheck disable=SC2317  # called by the EXIT trap
stop_recorder() {
  if [[ -n $recorder ]]; then
    kill -INT "$recorder" 2>/dev/null || true
    wait "$recorder" 2>/dev/null || true
    recorder=""
  fi
}
# shellcheck disable=SC2317
clean_up() {
  stop_recorder
  rm -rf "$work"
}
trap clean_up EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# Records the monitor into $1 while the probe plays with the remaining
# arguments; the probe's output is left in $work/probe.
record_probe() {
  local wav=$1 i size
  shift
  parec -d speaker.monitor --latency-msec=20 --file-format=wav --rate=44100 --channels=1 --format=s16le "$wav" &
  recorder=$!
  # parec may take a while to connect; the monitor delivers silence at the
  # clock's pace once it records.
  for ((i = 0; i < 200; i++)); do
    size=$(stat -c %s "$wav" 2>/dev/null || echo 0)
    ((size > 8864)) && break
    sleep 0.05
  done
  local status=0
  "${launcher[@]}" "$probe" "$@" >"$work/probe" 2>&1 </dev/null || status=$?
  cat "$work/probe"
  sleep 0.2
  stop_recorder
  cp "$wav" "$artefacts/"
  return "$status"
}

# Prints "<median Hz> <cents>" of a recording.
median_reading() {
  "${launcher[@]}" "$analyzer" --summary "$1" >"$work/analysis" 2>&1 </dev/null || true
  grep '^summary:' "$work/analysis" | tee -a "$work/summaries" >&2
  sed -n 's/^summary: median \([0-9.]*\) Hz, [A-G#b]*[0-9]* \([-+0-9.]*\) cents.*/\1 \2/p' "$work/analysis"
}

near() { # value expected tolerance
  awk -v v="$1" -v e="$2" -v t="$3" 'BEGIN { exit !(v != "" && v - e <= t && e - v <= t) }'
}

windows_path() {
  if [[ ${#launcher[@]} -gt 0 ]]; then echo "Z:$1"; else echo "$1"; fi
}

echo "--- A4 at 440 Hz"
record_probe "$work/a4.wav" --frequency 440 --seconds 3 || fail "the probe reported a failure"
read -r hz cents < <(median_reading "$(windows_path "$work/a4.wav")") || true
near "${hz:-}" 440 0.01 || fail "A4 read ${hz:-nothing} Hz, not 440.000 +- 0.01"
ended=$(sed -n 's/^ended \([0-9]*\) ms.*/\1/p' "$work/probe")
# Six 50 ms buffers are queued when the stop arrives; they, the fade and a
# buffer of silence play before the thread ends.
{ [[ -n $ended ]] && ((ended >= 250 && ended <= 3000)); } ||
  fail "the thread ended ${ended:-never} ms after the fade-out stop, not after its queued sound"
"${launcher[@]}" "$probe" --measure-fade "$(windows_path "$work/a4.wav")" </dev/null ||
  fail "the tone did not fade out linearly over 50 ms"

echo "--- A4 with the playback clock corrected by +120 (1.2 cents fast)"
record_probe "$work/a4-clock.wav" --frequency 440 --clock-adjust 120 --seconds 2.5 ||
  fail "the probe reported a failure"
read -r hz cents < <(median_reading "$(windows_path "$work/a4-clock.wav")") || true
near "${cents:-}" -1.20 0.03 || fail "A4 with +120 read ${cents:-no} cents, not -1.20"

echo "--- E4 in quarter-comma meantone in C"
record_probe "$work/e4-meantone.wav" --pitch-class 7 --octave 4 --scale-ini "$scale_ini" \
  --temperament "Meantone 1/4 comma" --key 0 --seconds 2.5 || fail "the probe reported a failure"
read -r hz cents < <(median_reading "$(windows_path "$work/e4-meantone.wav")") || true
near "${cents:-}" -3.42 0.03 || fail "meantone E4 read ${cents:-no} cents, not -3.42"

cp "$work/summaries" "$artefacts/summaries.txt"
if ((failures > 0)); then
  exit 1
fi
echo "the reference tone plays in tune, corrected and tempered, and fades out before its thread ends"
