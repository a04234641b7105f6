#!/usr/bin/env bash
# tonvale.exe from start to close, on the rig's display with tones in the
# rig's sink:
#   - started with a settings file that has AutoStart on and a window
#     position, it shows A4 +0 cents for 440 Hz (lamps in tune), then +23
#     cents for a tone 23 cents sharp (sharp lamp), as the meter's window text
#     and on a screenshot;
#   - it has bound the multimedia scheduling functions (avrt.dll) that the
#     clock measurement threads use;
#   - a second start while it runs exits with 0 and makes no window;
#   - closed, it writes tonvale.ini once, with the window position and the
#     popup flags; a WM_QUIT while its window exists ends it without saving.
#   tuner_end_to_end.sh <tonvale.exe> <tuner_probe.exe>
# Screenshots: $TONVALE_ARTEFACTS_DIR/app_tuner_end_to_end/.
set -euo pipefail

tuner=$1
probe=$2
# shellcheck source=tests/support/tuner_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/tuner_session.sh"
keep_artefacts_in app_tuner_end_to_end

# Colour class of a screen pixel: green, red, dark or other.
lamp_colour() {
  local rgb r g b
  rgb=$(convert "$1" -format "%[fx:int(255*u.p{$2,$3}.r)] %[fx:int(255*u.p{$2,$3}.g)] %[fx:int(255*u.p{$2,$3}.b)]" info:)
  read -r r g b <<<"$rgb"
  if ((g > r + 60 && g > b + 60)); then
    echo green
  elif ((r > g + 100 && r > b + 100)); then
    echo red
  elif ((r < 110 && g < 110 && b < 110)); then
    echo dark
  else
    echo "other($rgb)"
  fi
}

# Screenshots until both lamps show what is expected: $1 file, $2 flat,
# $3 sharp. The lamps follow every third reading and a loaded machine paints
# late, so a few tries over two seconds; a wrong lamp never passes.
check_lamps() {
  local meter_x meter_y flat sharp try
  read -r _ meter_x meter_y _ <<<"$(grep '^meter ' "$work/places")"
  for ((try = 0; try < 8; try++)); do
    sleep 0.25
    import -window root "$1"
    # Inside each lamp's body, clear of its symbols and of the needle.
    flat=$(lamp_colour "$1" $((meter_x + 117)) $((meter_y + 184)))
    sharp=$(lamp_colour "$1" $((meter_x + 205)) $((meter_y + 184)))
    if [[ $flat == "$2" && $sharp == "$3" ]]; then
      echo "lamps: flat $flat, sharp $sharp"
      return
    fi
  done
  fail "lamps on $1: flat $flat, sharp $sharp; expected $2 and $3"
}

# The reading a user sees for a steady tone: the meter's text shown longest
# over 1.5 s once it first reads $1, checked against the pattern $2.
check_reading() {
  local text reading
  text=$(probe settle "$1" 1500 30000) || fail "the meter never read $1 (last: $text)"
  reading=$(head -1 <<<"$text")
  echo "meter: $reading ($(sed -n 2p <<<"$text") % of 1.5 s)"
  [[ $reading =~ $2 ]] || fail "read $reading, expected $2"
}

# The settings: AutoStart on, a window position (which turns on remembering
# it), the pixel drawing.
find_settings_folder
settings=$folder/tonvale.ini
printf '\xef\xbb\xbf[Tonvale]\r\nWindowPosition=40,30\r\nAutoStart=1\r\nLargeSize=1\r\nInTuneRange=3\r\n[Debug]\r\nUseDirect2D=0\r\n' >"$settings"
cp "$settings" "$work/settings.before"

# A WM_QUIT while the window exists ends the program on the spot, unsaved.
start_tuner
probe watch "" 30000 >/dev/null || fail "no tuner window"
probe quit >/dev/null
status=0
timeout 20 tail --pid="$tuner_pid" -f /dev/null || fail "WM_QUIT did not end the tuner"
wait "$tuner_pid" || status=$?
tuner_pid=""
[[ $status -eq 0 ]] || fail "after WM_QUIT the tuner ended with $status"
cmp -s "$settings" "$work/settings.before" || fail "the tuner saved after WM_QUIT"
echo "WM_QUIT ended the tuner without saving"

play 440
start_tuner

# Shown cents round to the nearest: +0 is 439.87 ... 440.13 Hz, +23 for
# 445.888 Hz is 445.76 ... 446.02 Hz, so the tenths may differ by one.
check_reading "A4 +0 cents" '^A4 \+0 cents (439\.9|440\.0|440\.1) Hz$'
probe places >"$work/places"
cat "$work/places"
read -r _ main_x main_y _ <<<"$(grep '^main ' "$work/places")"
[[ $main_x -ge 40 && $main_y -ge 30 && $main_x -lt 80 && $main_y -lt 110 ]] ||
  fail "the window is not at its stored position 40,30 (client at $main_x,$main_y)"
check_lamps "$artefacts/a4_in_tune.png" green green
probe modules | grep -qixF avrt.dll || fail "the tuner did not bind avrt.dll at its start"

# 23 cents sharp: 440 * 2^(23/1200).
play 445.888
check_reading "A4 +23 cents" '^A4 \+23 cents (445\.8|445\.9|446\.0) Hz$'
check_lamps "$artefacts/a4_23_cents_sharp.png" dark red
stop_player

# A second start hands over to the running one and ends.
second=0
timeout 30 "${launcher[@]}" "$tuner" >/dev/null 2>&1 || second=$?
[[ $second -eq 0 ]] || fail "the second start ended with $second"
[[ $(probe count) == 1 ]] || fail "a second tuner window appeared"
cmp -s "$settings" "$work/settings.before" || fail "tonvale.ini changed before the close"

close_tuner

# Written once, at the close: the program's own UTF-16 file now.
[[ $(head -c 2 "$settings" | od -An -tx1 | tr -d ' ') == fffe ]] ||
  fail "tonvale.ini was not written as UTF-16"
iconv -f UTF-16 -t UTF-8 "$settings" | tr -d '\r' >"$work/settings.after"
for line in '[Tonvale]' 'WindowPosition=40,30' 'AutoStart=1' 'PopupFlags=0' '[Debug]' 'UseDirect2D=0'; do
  grep -qxF "$line" "$work/settings.after" || fail "tonvale.ini lacks $line"
done
echo "tonvale.ini written at the close with the window position and the popup flags"
echo "screenshots in $artefacts"
