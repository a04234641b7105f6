#!/usr/bin/env bash
# Runs the window probe on the rig's display, takes screenshots of the whole
# screen and checks that the probe's quadrants are there in its colours.
#   screenshot_check.sh <probe> [--hidden]
# With --hidden the probe never shows its window, and the check must fail:
# proof that the screenshot shows the real screen. TONVALE_RIG_HIDE_WINDOW=1
# hides the window in the normal run too, which must then fail. The last
# screenshot is kept in the working folder (rig_display*.png) to look at.
set -euo pipefail

probe=$1
mode=${2:-}
# shellcheck source=tests/support/rig_driver.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/rig_driver.sh"
require_rig display

probe_pid=""
# shellcheck disable=SC2317  # called by the EXIT trap
finish() {
  [[ -z $probe_pid ]] || stop_by_file "$probe_pid"
}

probe_args=("$host_prefix$work/stop")
shot=$PWD/rig_display.png
deadline_sec=15
if [[ $mode == --hidden || -n ${TONVALE_RIG_HIDE_WINDOW:-} ]]; then
  probe_args+=(--hidden)
fi
if [[ $mode == --hidden ]]; then
  shot=$PWD/rig_display_without_window.png
  deadline_sec=3
fi
"${launcher[@]}" "$probe" "${probe_args[@]}" >"$work/output" 2>&1 &
probe_pid=$!

placement=$(await_line "$work/output" '^window ' "$probe_pid")
echo "probe: $placement"
read -r _ x y w h c0 c1 c2 c3 <<<"$placement"
colours=("$c0" "$c1" "$c2" "$c3")

# Per quadrant its centre and its two outer corners, 3 pixels inside, so a
# window at the wrong place or of the wrong size fails too.
points=()
expected=()
for q in 0 1 2 3; do
  ((left = x + (q % 2) * w / 2, top = y + (q / 2) * h / 2))
  ((right = left + w / 2 - 1, bottom = top + h / 2 - 1))
  ((outer_x = q % 2 ? right - 3 : left + 3, outer_y = q / 2 ? bottom - 3 : top + 3))
  ((other_x = q % 2 ? left + 3 : right - 3))
  points+=("$((left + w / 4)),$((top + h / 4))" "$outer_x,$outer_y" "$other_x,$outer_y")
  expected+=("${colours[q]}" "${colours[q]}" "${colours[q]}")
done
format=""
for p in "${points[@]}"; do
  format+="%[hex:u.p{$p}] "
done

end=$((SECONDS + deadline_sec))
while :; do
  import -window root "$shot"
  read -r -a found <<<"$(convert "$shot" -format "$format" info:)"
  mismatches=0
  report=""
  for i in "${!points[@]}"; do
    if [[ ${found[i]:-none} != "${expected[i]}" ]]; then
      ((mismatches += 1))
      report+="  at ${points[i]}: ${found[i]:-none}, drawn ${expected[i]}"$'\n'
    fi
  done
  ((mismatches == 0 || SECONDS >= end)) && break
  sleep 0.2
done

if [[ $mode == --hidden ]]; then
  if ((mismatches == ${#points[@]})); then
    echo "without a window none of the ${#points[@]} pixels shows the probe's colours, as it must"
    exit 0
  fi
  echo "the hidden window's colours are on the screenshot ($shot)" >&2
  exit 1
fi
if ((mismatches > 0)); then
  printf 'the screenshot (%s) does not show what the probe drew:\n%s' "$shot" "$report" >&2
  exit 1
fi
echo "all ${#points[@]} pixels show the probe's colours ($shot)"
