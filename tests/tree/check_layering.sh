#!/usr/bin/env bash
# Holds the layering of the source tree by reading each file's includes:
#  - only a file named *_win.* or *_win_* may include a Windows header;
#  - the DSP core (engine/ without _win) includes only engine/;
#  - tuning/ includes only tuning/ and the support core;
#  - the support core (support/ without support/settings/) includes only itself;
#  - levrig/ and the shared libraries it links (the support core,
#    dialogs/builder/, devices/names/) include nothing of the tuner.
# Prints each violation and exits 1 when there is one.
#   check_layering.sh [source-root]     (default: the tree holding this script)
set -euo pipefail

root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
cd "$root"

windows_headers='(windows|windowsx|winuser|wingdi|winbase|winnls|winreg|winerror|mmsystem|mmreg|mmddk|commctrl|commdlg|objbase|ole2|oleauto|unknwn|combaseapi|mmdeviceapi|audioclient|audiopolicy|endpointvolume|devicetopology|functiondiscoverykeys[a-z_]*|propsys|propidl|propkey|propvarutil|d2d1[a-z_0-9]*|dwrite|uxtheme|vssym32|shlobj|shellapi|shlwapi|process|avrt|dsound|ks|ksmedia|dwmapi|psapi|tlhelp32|dbghelp|imagehlp|intrin)\.h'

# Tracked files when this is a git checkout, else every source file.
list_sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -- '*.cpp' '*.h'
  else
    find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||'
  fi
}

# The project includes of a file, as written between the quotes.
project_includes() {
  sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$1"
}

violations=0
report() {
  echo "layering: $1"
  violations=$((violations + 1))
}

is_windows_file() {
  local base=${1##*/}
  [[ $base == *_win.* || $base == *_win_* ]]
}

in_support_core() {
  [[ $1 == support/* && $1 != support/settings/* ]]
}

in_levrig_closure() {
  [[ $1 == levrig/* || $1 == dialogs/builder/* || $1 == devices/names/* ]] || in_support_core "$1"
}

# Checks that every project include of file satisfies allowed (a function).
check_includes() {
  local file=$1 allowed=$2 what=$3 include
  while IFS= read -r include; do
    [[ -z $include ]] && continue
    [[ $include == */* ]] || include=${file%/*}/$include # same folder
    "$allowed" "$include" || report "$file includes $include, outside $what"
  done < <(project_includes "$file")
}

allowed_in_dsp_core() { [[ $1 == engine/* ]]; }
allowed_in_tuning() { [[ $1 == tuning/* ]] || in_support_core "$1"; }

while IFS= read -r file; do
  if ! is_windows_file "$file" && grep -Eiq "^[[:space:]]*#[[:space:]]*include[[:space:]]*<$windows_headers>" "$file"; then
    report "$file includes a Windows header but is not a _win file"
  fi
  case $file in
    tests/* | bench/* | fuzz/* | tools/*) continue ;;
  esac
  if [[ $file == engine/* ]] && ! is_windows_file "$file"; then
    check_includes "$file" allowed_in_dsp_core "the DSP core"
  elif [[ $file == tuning/* ]]; then
    check_includes "$file" allowed_in_tuning "the tuning model and the support core"
  elif in_support_core "$file"; then
    check_includes "$file" in_support_core "the support core"
  fi
  if in_levrig_closure "$file"; then
    check_includes "$file" in_levrig_closure "what levrig may link"
  fi
done < <(list_sources)

if ((violations > 0)); then
  echo "layering: $violations violation(s)"
  exit 1
fi
echo "layering: holds"
