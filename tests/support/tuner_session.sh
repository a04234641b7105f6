# shellcheck shell=bash
# Sourced by the drivers that run tonvale.exe on the rig: starting and closing
# the tuner, reading it through tuner_probe.exe, and never leaving it running.
# The driver sets `tuner` and `probe` (the two programs) before sourcing.

# shellcheck source=tests/support/rig_driver.sh
source "$(dirname "${BASH_SOURCE[0]}")/rig_driver.sh"

require_rig display sound

tuner_pid=""

# shellcheck disable=SC2154  # set by the driver
probe() {
  "${launcher[@]}" "$probe" "$@" 2>/dev/null | tr -d '\r'
}

# Polls a program until it succeeds; $1 = tries of 0.2 s.
until_ok() {
  local tries=$1 i
  shift
  for ((i = 0; i < tries; i++)); do
    "${launcher[@]}" "$@" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}

# shellcheck disable=SC2154  # set by the driver
start_tuner() {
  "${launcher[@]}" "$tuner" >"$work/tuner.out" 2>&1 &
  tuner_pid=$!
}

# Closes the tuner as a user does and requires a clean exit.
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

# shellcheck disable=SC2317  # redefined by drivers that open something modal
before_closing_tuner() { :; }

# shellcheck disable=SC2317  # called by the EXIT trap
finish() {
  if [[ -n $tuner_pid ]] && kill -0 "$tuner_pid" 2>/dev/null; then
    before_closing_tuner
    "${launcher[@]}" "$probe" close >/dev/null 2>&1 || true
    sleep 2
    kill -KILL "$tuner_pid" 2>/dev/null || true
  fi
}

# Sets `folder` to the tuner's settings folder as a host path, made if missing.
find_settings_folder() {
  local folder_windows
  folder_windows=$(probe folder)
  folder=$("${launcher[@]}" winepath -u "$folder_windows" 2>/dev/null | tr -d '\r')
  [[ -n $folder ]] || fail "no settings folder"
  mkdir -p "$folder"
}

# The meter reads $1 (a prefix) within $2 ms; with $3, the whole text must
# match that pattern too.
expect_reading() {
  local text
  text=$(probe watch "$1" "$2") || fail "the meter never read $1 (last: $text)"
  text=$(head -1 <<<"$text")
  echo "meter: $text"
  [[ -z ${3:-} || $text =~ $3 ]] || fail "read $text, expected $3"
}
