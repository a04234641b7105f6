#!/usr/bin/env bash
# Plays a 440 Hz tone into the rig's sink while the wave-in probe captures
# from the default device.
#   play_tone_and_run.sh <probe> [--no-tone]
# With --no-tone nothing is played, and the probe must see buffers arrive at
# the clock's pace but fail to find the tone: proof that it really listens.
# TONVALE_RIG_SILENCE=1 withholds the tone from the normal run too, which
# must then fail.
set -euo pipefail

probe=$1
mode=${2:-}
launcher=()
[[ -z ${TONVALE_EMULATOR:-} ]] || launcher=("$TONVALE_EMULATOR")

if ! pactl info >/dev/null 2>&1; then
  echo "no sound server: run the tests inside the rig (bash scripts/test, or bash scripts/rig run ctest ...)" >&2
  exit 1
fi

work=$(mktemp -d)
player=""
# shellcheck disable=SC2317  # called by the EXIT trap
stop_player() {
  if [[ -n $player ]]; then
    kill -TERM -- "-$player" 2>/dev/null || true
    wait "$player" 2>/dev/null || true
    player=""
  fi
  rm -rf "$work"
}
trap stop_player EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

if [[ $mode != --no-tone && -z ${TONVALE_RIG_SILENCE:-} ]]; then
  # A generated stream rather than a looped file: no gaps between loops.
  setsid bash -c 'sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed-integer - synth 600 sine 440 vol 0.5 |
    pacat --raw --rate=44100 --channels=2 --format=s16le --device=speaker' </dev/null &
  player=$!
  for ((i = 0; i < 100; i++)); do
    [[ -n $(pactl list short sink-inputs) ]] && break
    sleep 0.05
  done
  if [[ -z $(pactl list short sink-inputs) ]]; then
    echo "the tone player did not connect to the sound server" >&2
    exit 1
  fi
fi

# Into a file, not a pipe: Wine's helper processes may keep a pipe open.
status=0
"${launcher[@]}" "$probe" >"$work/output" 2>&1 </dev/null || status=$?
cat "$work/output"

if [[ $mode != --no-tone ]]; then
  exit "$status"
fi
if [[ $status -ne 0 ]] &&
  grep -q '^\[       OK \] RigSound.FullBuffersArriveAtRealTimePace' "$work/output" &&
  grep -q '^\[  FAILED  \] RigSound.BuffersCarryTheTone' "$work/output"; then
  echo "without a tone the probe found buffers at the clock's pace and no tone, as it must"
  exit 0
fi
echo "without a tone the probe should have failed on the tone alone (exit status $status)" >&2
exit 1
