#!/usr/bin/env bash
# The README's pictures of the main window: large and small display, English
# and Japanese, each reading a tone 3 cents sharp of A4 played into the rig's
# sink. Run inside the rig from the top of the tree, after building:
#   bash scripts/rig run -p build/windows/wineprefix bash tools/tuner-screenshots.sh docs/images
# Writes tuner_{large,small}_{en,ja}.png into the folder given.
set -euo pipefail

out=${1:?folder for the screenshots}
bin=build/windows/bin
export WINEPREFIX=${WINEPREFIX:-$PWD/build/windows/wineprefix}
export WINEDEBUG=-all
mkdir -p "$out"

work=$(mktemp -d)
player=""
tuner_pid=""
settings=""
# shellcheck disable=SC2317  # called by the EXIT trap
finish() {
  [[ -z $player ]] || kill -TERM -- "-$player" 2>/dev/null || true
  [[ -z $tuner_pid ]] || kill -KILL "$tuner_pid" 2>/dev/null || true
  if [[ -n $settings ]]; then
    if [[ -f $work/tonvale.ini ]]; then cp "$work/tonvale.ini" "$settings"; else rm -f "$settings"; fi
  fi
  rm -rf "$work"
}
trap finish EXIT

locale=en_US.UTF-8
# Wine takes the language from these; no Linux locale needs to exist.
wine() {
  env LANG=$locale LC_ALL=$locale wine-stable "$@"
}
probe() {
  wine "$bin/tuner_probe.exe" "$@" 2>/dev/null | tr -d '\r'
}

folder=$(wine winepath -u "$(probe folder)" 2>/dev/null | tr -d '\r')
mkdir -p "$folder"
settings=$folder/tonvale.ini
[[ ! -f $settings ]] || cp "$settings" "$work/tonvale.ini"

# 440 * 2^(3/1200): A4, 3 cents sharp.
setsid bash -c 'sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed-integer - synth 600 sine 440.763 vol 0.5 |
  pacat --raw --rate=44100 --channels=2 --format=s16le --device=speaker' </dev/null &
player=$!

server=wineserver
command -v wineserver-stable >/dev/null && server=wineserver-stable
for language in en ja; do
  # Wine's server keeps the language of the programs it started with.
  "$server" -w
  locale=en_US.UTF-8
  [[ $language == en ]] || locale=ja_JP.UTF-8
  for size in large small; do
    large=1
    [[ $size == large ]] || large=0
    printf '\xef\xbb\xbf[Tonvale]\r\nAutoStart=1\r\nLargeSize=%s\r\nInTuneRange=2\r\n' "$large" >"$settings"
    wine "$bin/tonvale.exe" >/dev/null 2>&1 &
    tuner_pid=$!
    probe settle "A4 +3 cents" 1500 60000 | head -1
    # The X window holds the menu bar and the client area: no window manager
    # draws a caption here.
    geometry=$(xdotool search --name '^Tonvale$' getwindowgeometry --shell | head -5)
    declare X Y WIDTH HEIGHT
    eval "$geometry"
    # A gap in a busy sound server's stream shows for a moment: the picture
    # is kept when the meter read the tone before and after it.
    for ((try = 0; try < 10; try++)); do
      sleep 0.5 # the lamps follow every third reading
      before=$(probe text)
      import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/tuner_${size}_$language.png"
      [[ $before != "A4 +3 cents"* || $(probe text) != "A4 +3 cents"* ]] || break
    done
    echo "$out/tuner_${size}_$language.png"
    probe close >/dev/null
    timeout 20 tail --pid="$tuner_pid" -f /dev/null || kill -KILL "$tuner_pid"
    wait "$tuner_pid" 2>/dev/null || true
    tuner_pid=""
  done
done
