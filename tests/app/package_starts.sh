#!/usr/bin/env bash
# The archive a user downloads, as they meet it: unpacked into an empty
# folder of a fresh Wine prefix, the tuner starts from there and reads the
# sample scale.ini beside it through the data-file rule (the settings folder
# holds only tonvale.ini, which asks for quarter-comma meantone in C; an
# equal-tempered E4 then reads +3 cents instead of +0).
#   package_starts.sh <tuner_probe.exe> <archive.zip> <version>
set -euo pipefail

probe=$1
archive=$2
version=$3
# shellcheck source=tests/support/tuner_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/tuner_session.sh"
keep_artefacts_in app_package_starts

export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
# The fresh prefix's wineserver ends with the test.
eval "close_leftover_tuner() $(declare -f finish | tail -n +2)"
finish() {
  close_leftover_tuner
  [[ ! -d $WINEPREFIX ]] || wineserver -k 2>/dev/null || true
}

# Named after the version, exactly the six files, flat.
[[ $(basename "$archive") == "tonvale-$version-win64.zip" ]] ||
  fail "archive $(basename "$archive") is not named after version $version"
unzip -Z1 "$archive" | sort >"$work/contents"
printf '%s\n' levrig.dll license.txt note.ini readme.txt scale.ini tonvale.exe >"$work/expected"
diff -u "$work/expected" "$work/contents" || fail "the archive holds other files"

mkdir "$work/Tonvale"
unzip -q "$archive" -d "$work/Tonvale"
tuner=$work/Tonvale/tonvale.exe
# grep reads to the end: an early exit would fail the pipe under pipefail.
strings -el "$tuner" | grep -xF "$version" >/dev/null ||
  fail "tonvale.exe's version resource does not carry $version"

"${launcher[@]}" wineboot --init >/dev/null 2>&1 || fail "no fresh Wine prefix"
find_settings_folder
[[ -z $(ls -A "$folder") ]] || fail "the fresh prefix already has settings"
printf '\xef\xbb\xbf[Tonvale]\r\nAutoStart=1\r\nScaleSection=Meantone 1/4 comma\r\nScaleKey=0\r\n[Debug]\r\nUseDirect2D=0\r\n' \
  >"$folder/tonvale.ini"

play 329.628
start_tuner
text=$(probe settle "E4 +" 1500 60000) || fail "the meter never read E4 (last: $text)"
reading=$(head -1 <<<"$text")
import -window root "$artefacts/unpacked_tuner.png"
echo "meter: $reading"
[[ $reading =~ ^E4\ \+3\ cents\ 329\.[5-7]\ Hz$ ]] ||
  fail "read $reading; expected E4 +3 cents, meantone from the scale.ini beside the program"
close_tuner
echo "the unpacked tuner reads through the scale.ini beside it; screenshot in $artefacts"
