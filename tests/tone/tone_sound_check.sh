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

# Prints "<Hz> <cents>" of the longest steady stretch of a recording: at
# least five blocks in a row whose readings stay within 0.02 cents of each
# other. The analyzer's readings take a few blocks to settle after the tone
# starts and after each gap the sound server leaves in a busy machine's
# stream, so the median of all blocks is pulled off by their number. Prints
# nothing when no stretch is steady.
steady_reading() {
  "${launcher[@]}" "$analyzer" --summary --decimals 4 "$1" >"$work/analysis" 2>&1 </dev/null || true
  grep '^summary:' "$work/analysis" | tee -a "$work/summaries" >&2
  awk -F'\t' '
    function flush(   i, j, t) {
      if (run > best) {
        best = run
        for (i = 1; i <= run; i++) { f[i] = hz[i]; c[i] = ct[i] }
        for (i = 2; i <= run; i++) for (j = i; j > 1 && f[j - 1] > f[j]; j--) {
          t = f[j]; f[j] = f[j - 1]; f[j - 1] = t; t = c[j]; c[j] = c[j - 1]; c[j - 1] = t
        }
        median = f[int((run + 1) / 2)] " " c[int((run + 1) / 2)]
      }
      run = 0
    }
    $1 ~ /^[0-9]+$/ && $4 + 0 > 0 {
      steady = run > 0 && $1 == last + 1 && ($4 - hz[run]) ^ 2 < (hz[run] * 1.155e-5) ^ 2
      if (!steady) flush()
      run++; hz[run] = $4; ct[run] = $6; last = $1
      next
    }
    END {
      flush()
      if (best >= 5) { print median; printf "steady for %d blocks: %s\n", best, median > "/dev/stderr" }
    }' "$work/analysis"
}

# Plays and records into $1 with the remaining arguments until a steady
# stretch is heard, twice at most; sets hz and cents to its reading.
steady_probe() {
  local wav=$1 attempt reading=""
  shift
  for attempt in 1 2; do
    record_probe "$wav" "$@" || fail "the probe reported a failure"
    reading=$(steady_reading "$(windows_path "$wav")")
    [[ -z $reading ]] || break
    echo "no steady stretch in the recording (attempt $attempt)"
  done
  read -r hz cents <<<"$reading" || true
}

near() { # value expected tolerance
  awk -v v="$1" -v e="$2" -v t="$3" 'BEGIN { exit !(v != "" && v - e <= t && e - v <= t) }'
}

windows_path() {
  if [[ ${#launcher[@]} -gt 0 ]]; then echo "Z:$1"; else echo "$1"; fi
}

echo "--- A4 at 440 Hz"
steady_probe "$work/a4.wav" --frequency 440 --seconds 4
near "${hz:-}" 440 0.01 || fail "A4 read ${hz:-nothing} Hz, not 440.000 +- 0.01"
ended=$(sed -n 's/^ended \([0-9]*\) ms.*/\1/p' "$work/probe")
# Six 50 ms buffers are queued when the stop arrives; they, the fade and a
# buffer of silence play before the thread ends.
{ [[ -n $ended ]] && ((ended >= 250 && ended <= 3000)); } ||
  fail "the thread ended ${ended:-never} ms after the fade-out stop, not after its queued sound"
"${launcher[@]}" "$probe" --measure-fade "$(windows_path "$work/a4.wav")" </dev/null ||
  fail "the tone did not fade out linearly over 50 ms"

echo "--- A4 with the playback clock corrected by +120 (1.2 cents fast)"
steady_probe "$work/a4-clock.wav" --frequency 440 --clock-adjust 120 --seconds 4
near "${cents:-}" -1.20 0.03 || fail "A4 with +120 read ${cents:-no} cents, not -1.20"

echo "--- E4 in quarter-comma meantone in C"
steady_probe "$work/e4-meantone.wav" --pitch-class 7 --octave 4 --scale-ini "$scale_ini" \
  --temperament "Meantone 1/4 comma" --key 0 --seconds 4
near "${cents:-}" -3.42 0.03 || fail "meantone E4 read ${cents:-no} cents, not -3.42"

cp "$work/summaries" "$artefacts/summaries.txt"
if ((failures > 0)); then
  exit 1
fi
echo "the reference tone plays in tune, corrected and tempered, and fades out before its thread ends"
