#!/usr/bin/env bash
# The settings dialog of a running tonvale.exe, on the rig's display with a
# tone in the rig's sink:
#   - the tuner reads C5 (523.25 Hz) as C5 +0 cents;
#   - the dialog opened over it, changed and cancelled, changes nothing;
#   - A4 = 442 and quarter-comma meantone, confirmed, make the same tone read
#     C5 -18 cents (the engine restarts with the new settings);
#   - reopened, the dialog shows what was confirmed; closed, the tuner saves it.
#   settings_end_to_end.sh <tonvale.exe> <tuner_probe.exe> <settings_probe.exe>
set -euo pipefail

tuner=$1
probe=$2
dialog=$3
launcher=()
[[ -z ${TONVALE_EMULATOR:-} ]] || launcher=("$TONVALE_EMULATOR")

if [[ -z ${DISPLAY:-} ]] || ! pactl info >/dev/null 2>&1; then
  echo "no display or sound server: run the tests inside the rig" >&2
  exit 1
fi

work=$(mktemp -d)
player=""
tuner_pid=""
# shellcheck disable=SC2317  # called by traps and below
stop_player() {
  if [[ -n $player ]]; then
    kill -TERM -- "-$player" 2>/dev/null || true
    wait "$player" 2>/dev/null || true
    player=""
  fi
}
# shellcheck disable=SC2317  # called by the EXIT trap
finish() {
  stop_player
  if [[ -n $tuner_pid ]] && kill -0 "$tuner_pid" 2>/dev/null; then
    "${launcher[@]}" "$dialog" press 2 >/dev/null 2>&1 || true
    "${launcher[@]}" "$probe" close >/dev/null 2>&1 || true
    sleep 2
    kill -KILL "$tuner_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

probe() {
  "${launcher[@]}" "$probe" "$@" 2>/dev/null | tr -d '\r'
}

settings() {
  "${launcher[@]}" "$dialog" "$@" 2>/dev/null | tr -d '\r'
}

# A sine of $1 Hz into the sink, as a generated stream (no gaps).
play() {
  stop_player
  setsid bash -c "sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed-integer - synth 600 sine $1 vol 0.5 |
    pacat --raw --rate=44100 --channels=2 --format=s16le --device=speaker" </dev/null &
  player=$!
}

# The reading settles on $1 (a prefix) within $2 ms.
expect_reading() {
  local text
  text=$(probe watch "$1" "$2") || fail "the meter never read $1 (last: $text)"
  echo "meter: $(head -1 <<<"$text")"
}

open_dialog() {
  probe command 104 >/dev/null
  settings wait Settings 10000 >/dev/null || fail "the settings dialog did not open"
  settings page 0 >/dev/null || fail "the Tuning page cannot be shown"
}

close_dialog() {
  settings press "$1" >/dev/null || fail "no button $1"
  settings gone 10000 >/dev/null || fail "the settings dialog did not close"
}

# Settings as the tuner's own defaults, switched on at the start.
folder_windows=$(probe folder)
folder=$("${launcher[@]}" winepath -u "$folder_windows" 2>/dev/null | tr -d '\r')
[[ -n $folder ]] || fail "no settings folder"
mkdir -p "$folder"
settings_file=$folder/tonvale.ini
printf '\xef\xbb\xbf[Tonvale]\r\nAutoStart=1\r\nLargeSize=0\r\n[Debug]\r\nUseDirect2D=0\r\n' >"$settings_file"
rm -f "$folder/scale.ini" "$folder/note.ini" # the samples beside the program

# C5 of equal temperament at A4 = 440 Hz.
play 523.2511
"${launcher[@]}" "$tuner" >"$work/tuner.out" 2>&1 &
tuner_pid=$!
expect_reading "C5 +0 cents" 30000

# Changed and cancelled: the engine comes back with the old settings.
open_dialog
settings type 110 415 >/dev/null
settings choose 114 "Meantone 1/4 comma" >/dev/null || fail "no quarter-comma meantone"
close_dialog 2
expect_reading "C5 +0 cents" 20000

# A4 = 442 Hz and quarter-comma meantone in C: C lies 310.26 cents above A,
# the tone 292.14 cents above the new A4.
open_dialog
settings type 110 442 >/dev/null
settings choose 114 "Meantone 1/4 comma" >/dev/null || fail "no quarter-comma meantone"
[[ $(settings text 116) == Quarter-comma* ]] || fail "no description: $(settings text 116)"
close_dialog 1
expect_reading "C5 -18 cents" 20000

# The dialog shows what was confirmed.
open_dialog
[[ $(settings text 110) == 442 ]] || fail "A4 shows $(settings text 110)"
[[ $(settings text 114) == "Meantone 1/4 comma" ]] || fail "temperament shows $(settings text 114)"
close_dialog 2
stop_player

probe close >/dev/null
for ((i = 0; i < 100; i++)); do
  kill -0 "$tuner_pid" 2>/dev/null || break
  sleep 0.1
done
status=0
wait "$tuner_pid" || status=$?
tuner_pid=""
[[ $status -eq 0 ]] || fail "the tuner ended with $status"
iconv -f UTF-16 -t UTF-8 "$settings_file" | tr -d '\r' >"$work/settings.after"
for line in 'FrequencyOfA4=442' 'ScaleSection=Meantone 1/4 comma' 'ScaleKey=0'; do
  grep -qxF "$line" "$work/settings.after" || fail "tonvale.ini lacks $line"
done
echo "confirmed settings saved at the close"
