#!/usr/bin/env bash
# Settings are never lost: a process killed at any moment of its save leaves
# a tonvale.ini that is the whole old file or the whole new one, because the
# writer replaces the target in one rename.
#   settings_kill_during_save.sh <settings_save_loop.exe> [kills]
set -euo pipefail

saver=$1
kills=${2:-30}
launcher=()
host_prefix=""
if [[ -n ${TONVALE_EMULATOR:-} ]]; then
  launcher=("$TONVALE_EMULATOR")
  host_prefix="Z:"
fi
work=$(mktemp -d)
saver_pid=""
idle_pid=""
# shellcheck disable=SC2317  # called by the EXIT trap
finish() {
  [[ -z $saver_pid ]] || kill -KILL "$saver_pid" 2>/dev/null || true
  [[ -z $idle_pid ]] || kill -KILL "$idle_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

# A process that keeps Wine's server up between the killed ones, which
# would otherwise each start it anew.
"${launcher[@]}" "$saver" --idle >/dev/null 2>&1 &
idle_pid=$!

whole=0
mid_save=0
for ((i = 1; i <= kills; i++)); do
  rm -f "$work/out" "$work/tonvale.tmp"
  "${launcher[@]}" "$saver" "$host_prefix${work//\//\\}" >"$work/out" 2>&1 &
  saver_pid=$!
  for ((w = 0; w < 600; w++)); do # up to 30 s on a busy machine
    grep -q ready "$work/out" 2>/dev/null && break
    sleep 0.05
  done
  grep -q ready "$work/out" || { cat "$work/out"; echo "the saver did not start" >&2; exit 1; }
  # Somewhere within the next few hundred saves.
  sleep "0.$((RANDOM % 400 + 20))"
  kill -KILL "$saver_pid"
  wait "$saver_pid" 2>/dev/null || true
  saver_pid=""
  if [[ ! -f $work/tonvale.ini ]]; then
    echo "kill $i left no tonvale.ini: the settings were lost" >&2
    exit 1
  fi
  # The writer's temporary file left behind: the kill came between its
  # creation and the rename.
  [[ ! -f $work/tonvale.tmp ]] || ((mid_save += 1))
  if cmp -s "$work/tonvale.ini" "$work/a.ref" || cmp -s "$work/tonvale.ini" "$work/b.ref"; then
    ((whole += 1))
  else
    echo "kill $i left a tonvale.ini that is neither file whole ($(stat -c %s "$work/tonvale.ini") bytes)" >&2
    exit 1
  fi
done
echo "$kills kills during saves ($mid_save of them with the temporary file written but not yet renamed): tonvale.ini was a whole file $whole times, never cut"
