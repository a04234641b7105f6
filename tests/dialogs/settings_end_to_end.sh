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
# shellcheck source=tests/support/tuner_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/tuner_session.sh"

# A dialog left open would keep the tuner from closing.
# shellcheck disable=SC2317  # called by the EXIT trap
before_closing_tuner() {
  "${launcher[@]}" "$dialog" press 2 >/dev/null 2>&1 || true
}

settings() {
  "${launcher[@]}" "$dialog" "$@" 2>/dev/null | tr -d '\r'
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
find_settings_folder
settings_file=$folder/tonvale.ini
printf '\xef\xbb\xbf[Tonvale]\r\nAutoStart=1\r\nLargeSize=0\r\n[Debug]\r\nUseDirect2D=0\r\n' >"$settings_file"
rm -f "$folder/scale.ini" "$folder/note.ini" # the samples beside the program

# C5 of equal temperament at A4 = 440 Hz.
play 523.2511
start_tuner
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

close_tuner
iconv -f UTF-16 -t UTF-8 "$settings_file" | tr -d '\r' >"$work/settings.after"
for line in 'FrequencyOfA4=442' 'ScaleSection=Meantone 1/4 comma' 'ScaleKey=0'; do
  grep -qxF "$line" "$work/settings.after" || fail "tonvale.ini lacks $line"
done
echo "confirmed settings saved at the close"
