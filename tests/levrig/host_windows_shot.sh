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
launcher=()
host_prefix=""
if [[ -n ${TONVALE_EMULATOR:-} ]]; then
  launcher=("$TONVALE_EMULATOR")
  host_prefix="Z:"
fi
if [[ -z ${DISPLAY:-} ]] || ! xdpyinfo >/dev/null 2>&1; then
  echo "no display: run the tests inside the rig" >&2
  exit 1
fi

work=$(mktemp -d)
host_pid=""
# shellcheck disable=SC2317  # called by the EXIT trap
cleanup() {
  if [[ -n $host_pid ]]; then
    touch "$work/stop"
    for ((i = 0; i < 100; i++)); do
      kill -0 "$host_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -TERM "$host_pid" 2>/dev/null || true
    wait "$host_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

artefacts=${TONVALE_ARTEFACTS_DIR#Z:}/levrig_host_windows
mkdir -p "$artefacts"
# Offsets from the host's window at (40, 40).
printf '[Playback]\r\nLeft=20\r\nTop=120\r\n[Record]\r\nLeft=360\r\nTop=120\r\n' >"$work/levrig.ini"
ini="$host_prefix$work/levrig.ini"

"${launcher[@]}" "$host" "$host_prefix$work/stop" "/I \"$ini\"" "/I \"$ini\" /R" \
  >"$work/output" 2>&1 &
host_pid=$!

for ((i = 0; i < 600; i++)); do
  grep -q '^ready' "$work/output" && break
  if ! kill -0 "$host_pid" 2>/dev/null; then
    cat "$work/output" >&2
    echo "the host ended before its windows were shown" >&2
    exit 1
  fi
  sleep 0.1
done
grep -q '^ready' "$work/output" || { echo "the host did not get ready within 60 s" >&2; exit 1; }
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
