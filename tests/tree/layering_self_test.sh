#!/usr/bin/env bash
# The layering check must catch each kind of violation: a small tree is made
# for each and the check must fail on it, and pass on a clean one.
set -euo pipefail

check=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/check_layering.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# tree <name> <path>=<line> ...: a tree whose files each hold one line.
tree() {
  local dir=$work/$1 entry
  shift
  mkdir -p "$dir"
  for entry in "$@"; do
    mkdir -p "$dir/$(dirname "${entry%%=*}")"
    printf '%s\n' "${entry#*=}" >"$dir/${entry%%=*}"
  done
  echo "$dir"
}

failures=0
expect() {
  local want=$1 name=$2 dir
  shift 2
  dir=$(tree "$name" "$@")
  if bash "$check" "$dir" >"$work/$name.out" 2>&1; then got=pass; else got=fail; fi
  if [[ $got != "$want" ]]; then
    echo "FAILED: $name: expected $want, got $got"
    cat "$work/$name.out"
    failures=$((failures + 1))
  fi
}

expect pass clean 'support/a.h=#include "support/b.h"' 'support/b_win.cpp=#include <windows.h>' \
  'engine/fft.cpp=#include "engine/fft.h"' 'engine/live_win.cpp=#include "support/x.h"' \
  'tuning/t.cpp=#include "support/ini_reader.h"' 'levrig/l_win.cpp=#include "dialogs/builder/d.h"'
expect fail windows_header_in_portable_file 'support/a.cpp=#include <mmsystem.h>'
expect fail tuning_in_support_core 'support/a.cpp=#include "tuning/temperament.h"'
expect fail settings_in_support_core 'support/a.cpp=#include "support/settings/tuner_settings.h"'
expect fail support_in_dsp_core 'engine/a.cpp=#include "support/ui_text.h"'
expect fail app_in_tuning 'tuning/a.cpp=#include "app/note_reading.h"'
expect fail tuner_code_in_levrig 'levrig/a_win.cpp=#include "engine/engine_thread_win.h"'
expect fail tuner_code_in_shared_builder 'dialogs/builder/b.cpp=#include "app/process_context_win.h"'

if ((failures > 0)); then
  exit 1
fi
echo "layering self-test: every violation caught"
