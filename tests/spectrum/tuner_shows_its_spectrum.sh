#!/usr/bin/env bash
# tonvale.exe reopens the spectrum window it was closed with, and draws the
# tuner's own A4 where its bin is. The settings say both popups were open at
# the last exit and place the spectrum window far off the screen, with a
# grown view and the band 1/4; at the start it must come back inside the
# work area at that size and band. The tone window's A plays A4 into the
# rig's sink; the engine (44100 Hz, 11025 Hz inside) captures the sink's
# monitor, and the view, read from the screen, shows the marker and the
# curve's peak on column trunc(440 / (11025 / 2 / 4) * 256 + 0.5) = 82.
# Closed again, the tuner stores the window's new place, size and band.
#   tuner_shows_its_spectrum.sh <tonvale.exe> <tuner_probe.exe> <spectrum_probe.exe>
# The screenshot is kept in $TONVALE_ARTEFACTS_DIR/tuner_shows_its_spectrum/.
set -euo pipefail

tuner=$1
probe=$2
spectrum_probe=$3
# shellcheck source=tests/support/tuner_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/tuner_session.sh"
keep_artefacts_in tuner_shows_its_spectrum

spectrum() {
  "${launcher[@]}" "$spectrum_probe" "$@" 2>/dev/null | tr -d '\r'
}

find_settings_folder
settings=$folder/tonvale.ini
printf '\xef\xbb\xbf[Tonvale]\r\nWindowPosition=40,30\r\nAutoStart=1\r\nDeviceSampleRate=44100\r\nPopupFlags=3\r\n[Spectrum View]\r\nWindowPosition=5000,4000\r\nViewSize=400,250\r\nFrequencyZoom=2\r\ndBOffset=10\r\n[Tone Console]\r\nWindowPosition=0,330\r\n[Debug]\r\nUseDirect2D=0\r\n' >"$settings"

[[ -z $(pactl list short sink-inputs) ]] || fail "something else plays into the sink"
start_tuner
until_ok 150 "$probe" text || fail "the tuner did not start"
until_ok 50 "$spectrum_probe" shown || fail "the spectrum window did not open again at the start"
until_ok 50 "$probe" tone-shown || fail "the tone window did not open again at the start"

shown=$(spectrum shown)
echo "$shown"
read -r _ left top right bottom <<<"$(grep '^window' <<<"$shown")"
read -r _ work_left work_top work_right work_bottom <<<"$(grep '^work' <<<"$shown")"
((left >= work_left && top >= work_top && right <= work_right && bottom <= work_bottom)) ||
  fail "the window stayed off the work area"
grep -qx 'view 400 250' <<<"$shown" || fail "the view did not come back at 400 x 250"
read -r _ offset_x offset_y <<<"$(grep '^offset' <<<"$shown")"

probe tone-click 100 >/dev/null # A
seen=$(spectrum tone 82 30000) || fail "A4 was not drawn on column 82 (last seen: $seen)"
echo "A4 in band 1/4: $seen"
import -window root "$artefacts/tuner_spectrum_a4.png"

close_tuner
iconv -f UTF-16 -t UTF-8 "$settings" | tr -d '\r' >"$work/settings.after"
sed -n '/^\[Spectrum View\]/,/^\[/p' "$work/settings.after" >"$work/spectrum.after"
cat "$work/spectrum.after"
grep -qxF 'PopupFlags=3' "$work/settings.after" || fail "the popup flags do not record both popups"
grep -qxF "WindowPosition=$offset_x,$offset_y" "$work/spectrum.after" ||
  fail "the place on screen was not stored"
grep -qxF 'ViewSize=400,250' "$work/spectrum.after" || fail "the view size was not stored"
grep -qxF 'FrequencyZoom=2' "$work/spectrum.after" || fail "the band was not stored"
