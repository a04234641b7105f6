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
launcher=()
[[ -z ${TONVALE_EMULATOR:-} ]] || launcher=("$TONVALE_EMULATOR")
artefacts=${TONVALE_ARTEFACTS_DIR#Z:}/tuner_hears_its_tone
mkdir -p "$artefacts"

if [[ -z ${DISPLAY:-} ]] || ! pactl info >/dev/null 2>&1; then
  echo "no display or sound server: run the tests inside the rig" >&2
  exit 1
fi

work=$(mktemp -d)
tuner_pid=""
# shellcheck disable=SC2317  # called by the EXIT trap
finish() {
  if [[ -n $tuner_pid ]] && kill -0 "$tuner_pid" 2>/dev/null; then
    "${launcher[@]}" "$probe" close >/dev/null 2>&1 || true
    sleep 2
    kill -KILL "$tuner_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

probe() {
  "${launcher[@]}" "$probe" "$@" 2>/dev/null | tr -d '\r'
}

# Polls a probe command until it succeeds; $1 = tries of 0.2 s.
until_probe() {
  local tries=$1 i
  shift
  for ((i = 0; i < tries; i++)); do
    "${launcher[@]}" "$probe" "$@" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}

start_tuner() {
  "${launcher[@]}" "$tuner" >"$work/tuner.out" 2>&1 &
  tuner_pid=$!
}

close_tuner() {
  local i status=0
  probe close >/dev/null
  for ((i = 0; i < 150; i++)); do
    kill -0 "$tuner_pid" 2>/dev/null || break
    sleep 0.1
  done
  wait "$tuner_pid" || status=$?
  tuner_pid=""
  [[ $status -eq 0 ]] || fail "the tuner ended with $status"
}

folder_windows=$(probe folder)
folder=$("${launcher[@]}" winepath -u "$folder_windows" 2>/dev/null | tr -d '\r')
[[ -n $folder ]] || fail "no settings folder"
mkdir -p "$folder"
settings=$folder/tonvale.ini
printf '\xef\xbb\xbf[Tonvale]\r\nWindowPosition=40,30\r\nAutoStart=1\r\nPopupFlags=0\r\n[Tone Console]\r\nWindowPosition=0,320\r\n[Debug]\r\nUseDirect2D=0\r\n' >"$settings"

[[ -z $(pactl list short sink-inputs) ]] || fail "something else plays into the sink"
start_tuner
until_probe 150 text || fail "the tuner did not start"
probe command 101 >/dev/null # Reference Tone...
until_probe 50 tone-shown || fail "Reference Tone... did not open the tone window"
probe tone-click 100 >/dev/null # A

text=$(probe watch "A4 +0 cents" 30000) || fail "the meter never read A4 +0 cents (last: $text)"
echo "meter: $(head -1 <<<"$text")"
[[ $(head -1 <<<"$text") =~ ^A4\ \+0\ cents\ (439\.9|440\.0|440\.1)\ Hz$ ]] ||
  fail "the reference A4 read as $(head -1 <<<"$text")"
import -window root "$artefacts/tuner_hears_a4.png"

close_tuner
iconv -f UTF-16 -t UTF-8 "$settings" | tr -d '\r' >"$work/settings.after"
grep -qxF 'PopupFlags=2' "$work/settings.after" || fail "the popup flags do not record the tone window"
grep -qxF '[Tone Console]' "$work/settings.after" || fail "no [Tone Console] section was written"
echo "closed with the tone window open: PopupFlags=2"

start_tuner
until_probe 150 text || fail "the tuner did not start again"
until_probe 50 tone-shown || fail "the tone window did not open again at the start"
echo "the next start opened the tone window again"
close_tuner
