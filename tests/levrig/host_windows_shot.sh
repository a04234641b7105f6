#!/usr/bin/env bash
# Runs levrig_host, which loads levrig.dll as the tuner does, with a playback
# and a recording window placed side by side through a levrig.ini; takes a
# screenshot of the display once both are up; then lets the host close them
# and unload the library, and checks what it reports: both windows shown,
# every window closed, no thread of the library left, the library unloaded,
# and the places written back.
#   host_windows_shot.sh <levrig_host>
set -euo pipefail

host=$1
# shellcheck source=tests/support/rig_driver.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/rig_driver.sh"
require_rig display

host_pid=""
# shellcheck disable=SC2317  # called by the EXIT trap
finish() {
  [[ -z $host_pid ]] || stop_by_file "$host_pid"
}

keep_artefacts_in levrig_host_windows
# Offsets from the host's window at (40, 40).
printf '[Playback]\r\nLeft=20\r\nTop=120\r\n[Record]\r\nLeft=360\r\nTop=120\r\n' >"$work/levrig.ini"
ini="$host_prefix$work/levrig.ini"

"${launcher[@]}" "$host" "$host_prefix$work/stop" "/I \"$ini\"" "/I \"$ini\" /R" \
  >"$work/output" 2>&1 &
host_pid=$!

await_line "$work/output" '^ready' "$host_pid" >/dev/null
for title in 'Playback Volume' 'Recording Volume'; do
  xdotool search --sync --onlyvisible --name "^$title\$" >/dev/null
done
sleep 0.5
import -window root "$artefacts/both-windows.png"

touch "$work/stop"
wait "$host_pid"
host_pid=""
tr -d '\r' <"$work/output" >"$work/report"
cat "$work/report"
[[ $(grep -c '^result 0 ' "$work/report") == 2 ]] || { echo "a window was not shown" >&2; exit 1; }
read -r _ closed _ before after _ unloaded _ <<<"$(grep '^closed ' "$work/report")"
[[ $closed == 1 ]] || { echo "LevRigAsync(null, null) returned $closed" >&2; exit 1; }
[[ $before == "$after" ]] || { echo "threads before $before, after unloading $after" >&2; exit 1; }
[[ $unloaded == 1 ]] || { echo "the library stayed loaded" >&2; exit 1; }
# The places come back as they were given, now with the heights.
saved=$(iconv -f UTF-16 -t UTF-8 "$work/levrig.ini" | tr -d '\r')
for expected in 'Left=20' 'Left=360' 'Top=120'; do
  grep -qx "$expected" <<<"$saved" || { echo "levrig.ini lacks $expected:"$'\n'"$saved" >&2; exit 1; }
done
[[ $(grep -c '^Height=[1-9]' <<<"$saved") == 2 ]] || { echo "levrig.ini lacks the heights" >&2; exit 1; }
echo "both windows shown and closed, nothing left running ($artefacts/both-windows.png)"
