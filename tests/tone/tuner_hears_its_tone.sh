#!/usr/bin/env bash
# tonvale.exe hears its own reference tone: the tuner is switched on with
# nothing else in the rig's sink, "Reference Tone..." opens the tone window,
# its A button plays A4 into the sink, and the engine, capturing the sink's
# monitor, makes the meter read A4 +0 cents at 440.0 Hz. Closed with the tone
# window open, the tuner records it in the popup flags, and the next start
# opens the tone window again by itself.
#   tuner_hears_its_tone.sh <tonvale.exe> <tuner_probe.exe>
# The tone window is kept below the main window, so the screenshot in
# $TONVALE_ARTEFACTS_DIR/tuner_hears_its_tone/ shows both.
set -euo pipefail

tuner=$1
probe=$2
# shellcheck source=tests/support/tuner_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/tuner_session.sh"
keep_artefacts_in tuner_hears_its_tone

find_settings_folder
settings=$folder/tonvale.ini
printf '\xef\xbb\xbf[Tonvale]\r\nWindowPosition=40,30\r\nAutoStart=1\r\nPopupFlags=0\r\n[Tone Console]\r\nWindowPosition=0,320\r\n[Debug]\r\nUseDirect2D=0\r\n' >"$settings"

[[ -z $(pactl list short sink-inputs) ]] || fail "something else plays into the sink"
start_tuner
until_ok 150 "$probe" text || fail "the tuner did not start"
probe command 101 >/dev/null # Reference Tone...
until_ok 50 "$probe" tone-shown || fail "Reference Tone... did not open the tone window"
probe tone-click 100 >/dev/null # A

expect_reading "A4 +0 cents" 30000 '^A4 \+0 cents (439\.9|440\.0|440\.1) Hz$'
import -window root "$artefacts/tuner_hears_a4.png"

close_tuner
iconv -f UTF-16 -t UTF-8 "$settings" | tr -d '\r' >"$work/settings.after"
grep -qxF 'PopupFlags=2' "$work/settings.after" || fail "the popup flags do not record the tone window"
grep -qxF '[Tone Console]' "$work/settings.after" || fail "no [Tone Console] section was written"
echo "closed with the tone window open: PopupFlags=2"

start_tuner
until_ok 150 "$probe" text || fail "the tuner did not start again"
until_ok 50 "$probe" tone-shown || fail "the tone window did not open again at the start"
echo "the next start opened the tone window again"
close_tuner
