#!/usr/bin/env bash
# Measures tonvale.exe under Wine on the rig with a 440 Hz tone in the sink:
#   - from process start to the first reading on the meter, AutoStart on,
#     with Wine's server already up (warm) and not (cold), GDI and Direct2D;
#   - CPU time of the tuner process over 30 s while it tunes (44100 Hz,
#     large display, GDI), by thread (Wine's GetProcessTimes reports next to
#     nothing, so Linux's figures are used);
#   - its private memory (Wine reports none either: Linux's again).
# Run inside the rig from the top of the tree, after building:
#   bash scripts/rig run -p build/windows/wineprefix bash bench/tuner/measure_tuner.sh
set -euo pipefail

bin=${1:-build/windows/bin}
runs=${RUNS:-5}
tuner=$bin/tonvale.exe
probe_exe=$bin/tuner_probe.exe
export WINEPREFIX=${WINEPREFIX:-$PWD/build/windows/wineprefix}
export WINEDEBUG=-all
wine="wine-stable"
server=wineserver
command -v wineserver-stable >/dev/null && server=wineserver-stable

work=$(mktemp -d)
player=""
tuner_pid=""
# shellcheck disable=SC2317  # called by the EXIT trap
finish() {
  [[ -z $player ]] || kill -TERM -- "-$player" 2>/dev/null || true
  [[ -z $tuner_pid ]] || kill -KILL "$tuner_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

probe() {
  "$wine" "$probe_exe" "$@" 2>/dev/null | tr -d '\r'
}

folder=$("$wine" winepath -u "$(probe folder)" 2>/dev/null | tr -d '\r')
mkdir -p "$folder"
settings() {
  printf '\xef\xbb\xbf[Tonvale]\r\nAutoStart=1\r\nLargeSize=1\r\n[Debug]\r\nUseDirect2D=%s\r\n' \
    "$1" >"$folder/tonvale.ini"
}

setsid bash -c 'sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed-integer - synth 3600 sine 440 vol 0.5 |
  pacat --raw --rate=44100 --channels=2 --format=s16le --device=speaker' </dev/null &
player=$!

close_tuner() {
  probe close >/dev/null || true
  timeout 20 tail --pid="$tuner_pid" -f /dev/null || kill -KILL "$tuner_pid"
  wait "$tuner_pid" 2>/dev/null || true
  tuner_pid=""
}

# Milliseconds from the start of tonvale.exe to "A4 ..." on the meter. The
# probe waits for it from before the start.
start_to_reading() {
  probe watch "A4 " 60000 >"$work/watch" &
  local watcher=$! start
  sleep 1.5 # the probe's own start
  start=$(date +%s%3N)
  "$wine" "$tuner" >/dev/null 2>&1 &
  tuner_pid=$!
  wait "$watcher" || { echo "no reading" >&2; return 1; }
  echo $(($(sed -n 3p "$work/watch") - start))
  close_tuner
}

median() {
  sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'
}

for d2d in 0 1; do
  settings "$d2d"
  drawing=$([[ $d2d == 1 ]] && echo Direct2D || echo GDI)
  warm=()
  for ((i = 0; i < runs; i++)); do
    warm+=("$(start_to_reading)")
  done
  "$server" -w # Wine's server ends once no program runs
  cold=$(start_to_reading)
  echo "start to first reading, $drawing: warm ${warm[*]} ms (median $(printf '%s\n' "${warm[@]}" | median)), cold $cold ms"
done

# CPU ticks of each thread: name ticks tid.
threads() {
  local task name
  for task in /proc/"$tuner_pid"/task/*; do
    name=$(tr ' ' '_' <"$task/comm")
    [[ ${task##*/} != "$tuner_pid" ]] || name="UI-thread"
    echo "$name $(awk '{print $14 + $15}' "$task/stat") ${task##*/}"
  done | sort -k3
}

for d2d in 0 1; do
  settings "$d2d"
  drawing=$([[ $d2d == 1 ]] && echo Direct2D || echo GDI)
  "$wine" "$tuner" >/dev/null 2>&1 &
  tuner_pid=$!
  probe watch "A4 " 60000 >/dev/null
  sleep 5
  threads >"$work/before"
  sleep 30
  threads >"$work/after"
  join -1 3 -2 3 "$work/before" "$work/after" |
    awk -v hz="$(getconf CLK_TCK)" -v drawing="$drawing" '
      {d = ($5 - $3) * 100 / hz / 30; total += d; if (d > 0) by = by sprintf(" %s %.2f %%", $2, d)}
      END {printf "CPU over 30 s tuning (44100 Hz, large, %s): %.2f %% of a core;%s\n", drawing, total, by}'
  private=$(awk '/^Private_(Clean|Dirty)/ {kb += $2} END {print kb}' "/proc/$tuner_pid/smaps_rollup")
  echo "memory ($drawing): private $private KiB (Private_Clean + Private_Dirty of smaps_rollup), $(grep -E 'VmRSS' "/proc/$tuner_pid/status" | tr -s ' \t' ' ')"
  close_tuner
done
