#!/usr/bin/env bash
# Drives `tonvale-analyze --live` and `--list-devices` on the rig's sound
# server, as a user at a console would:
#   live_analyzer.sh <tonvale-analyze> tone|errors|interrupt|unplug
#   tone       a 440 Hz tone in the sink is read as A4; the device list names
#              the rig's devices
#   errors     a device that cannot be opened, or is not there, ends with
#              status 2 and the reason
#   interrupt  Ctrl+C (SIGINT) ends a long run at once, with the summary
#   unplug     the capture source's module is unloaded mid-run: the run must
#              still end on time or with status 2 and the device's error
set -euo pipefail

program=$1
mode=$2
launcher=()
[[ -z ${TONVALE_EMULATOR:-} ]] || launcher=("$TONVALE_EMULATOR")

if ! pactl info >/dev/null 2>&1; then
  echo "no sound server: run the tests inside the rig" >&2
  exit 1
fi

work=$(mktemp -d)
player=""
analyzer=""
unplug_module=""
# shellcheck disable=SC2317  # called by the EXIT trap
clean_up() {
  local pid
  for pid in "$player" "$analyzer"; do
    if [[ -n $pid ]]; then
      kill -KILL "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  if [[ -n $unplug_module ]]; then
    pactl unload-module "$unplug_module" 2>/dev/null || true
  fi
  pactl set-default-source speaker.monitor 2>/dev/null || true
  rm -rf "$work"
}
trap clean_up EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

fail() {
  echo "FAILED: $*" >&2
  for file in "$work"/*.out; do
    [[ -f $file ]] && { echo "--- $file" >&2; cat "$file" >&2; }
  done
  exit 1
}

# Plays a tone of 440 Hz into a sink for `seconds`.
play_tone() {
  local sink=$1 seconds=$2
  sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed-integer - synth "$seconds" sine 440 vol 0.5 |
    pacat --raw --rate=44100 --channels=2 --format=s16le --device="$sink" &
  player=$!
}

# Runs the analyzer in the foreground; its output goes to $work/$1.out.
analyze() {
  local name=$1
  shift
  status=0
  "${launcher[@]}" "$program" "$@" >"$work/$name.out" 2>&1 </dev/null || status=$?
}

# Starts the analyzer in the background.
analyze_in_background() {
  local name=$1
  shift
  "${launcher[@]}" "$program" "$@" >"$work/$name.out" 2>&1 </dev/null &
  analyzer=$!
}

# Waits up to 20 s until the output file holds at least $2 table rows.
wait_for_rows() {
  local file=$1 rows=$2 i
  for ((i = 0; i < 200; i++)); do
    (($(grep -c $'^[0-9]\+\t' "$file" || true) >= rows)) && return 0
    sleep 0.1
  done
  return 1
}

# Waits for the background analyzer; its exit status lands in $status.
wait_for_analyzer() {
  status=0
  wait "$analyzer" || status=$?
  analyzer=""
}

case $mode in
  tone)
    analyze devices --list-devices
    [[ $status -eq 0 ]] || fail "--list-devices ended with status $status"
    grep -q $'^-1\t-\t(Default Device)\t' "$work/devices.out" || fail "no default entry"
    grep -q $'\tMonitor of Null Output\t' "$work/devices.out" || fail "the sink's monitor is missing"
    # Longer than the run however slowly Wine starts; stopped at the end.
    play_tone speaker 30
    analyze tone --live 5 --harmonics --hum 50
    [[ $status -eq 0 ]] || fail "--live ended with status $status"
    grep -q '^summary: median 440\.0[0-4][0-9] Hz, A4 ' "$work/tone.out" || fail "440 Hz not read as A4"
    grep -q '^engine: .* of processor time in 5\.0 s' "$work/tone.out" || fail "no processor time"
    ;;
  errors)
    analyze missing --live 2 --device 99
    [[ $status -eq 2 ]] || fail "a missing device index ended with status $status"
    grep -q 'Failed to open the recording device\.' "$work/missing.out" || fail "no reason given"
    analyze unnamed --live 2 --device 'No Such Microphone'
    [[ $status -eq 2 ]] || fail "an unknown device name ended with status $status"
    grep -q "no capture device 'No Such Microphone'" "$work/unnamed.out" || fail "no reason given"
    ;;
  interrupt)
    analyze_in_background interrupted --live 60
    wait_for_rows "$work/interrupted.out" 3 || fail "no readings"
    start=$SECONDS
    kill -INT "$analyzer"
    wait_for_analyzer
    ((SECONDS - start <= 5)) || fail "Ctrl+C took $((SECONDS - start)) s"
    [[ $status -eq 0 ]] || fail "Ctrl+C ended with status $status"
    grep -q '^summary: ' "$work/interrupted.out" || fail "no summary after Ctrl+C"
    ;;
  unplug)
    unplug_module=$(pactl load-module module-null-sink sink_name=tonvale_unplug rate=44100 channels=2)
    pactl set-default-source tonvale_unplug.monitor
    play_tone tonvale_unplug 60
    analyze_in_background unplugged --live 8
    wait_for_rows "$work/unplugged.out" 5 || fail "no readings"
    kill -0 "$analyzer" 2>/dev/null || fail "the run ended before the source went away"
    # The player goes first: the server would move it to another sink.
    kill -KILL "$player"
    wait "$player" 2>/dev/null || true
    player=""
    pactl unload-module "$unplug_module"
    unplug_module=""
    wait_for_analyzer
    if [[ $status -eq 2 ]]; then
      grep -q 'An error occurred on the recording device\.' "$work/unplugged.out" ||
        fail "status 2 without the device's error"
    elif [[ $status -ne 0 ]]; then
      fail "the run ended with status $status"
    fi
    grep -q '^summary: ' "$work/unplugged.out" || [[ $status -eq 2 ]] || fail "no summary"
    echo "unplugged mid-run: status $status; the run's last lines:"
    tail -n 4 "$work/unplugged.out"
    ;;
  *)
    echo "usage: $0 <tonvale-analyze> tone|errors|interrupt|unplug" >&2
    exit 2
    ;;
esac
echo "live analyzer: $mode passed"
