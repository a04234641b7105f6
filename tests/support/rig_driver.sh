# shellcheck shell=bash
# Sourced by the bash drivers of rig tests: what each of them needs to start a
# program (through Wine or not), to check the rig is there, to play into its
# sink, and to clean up whatever way it ends. Gives the driver
#   launcher     the command a program runs under (Wine, or nothing natively)
#   host_prefix  what turns a host path into one the program sees (Z: or "")
#   work         a scratch folder, removed at the exit
# and runs `finish` at the exit: the driver redefines it to stop its program.

launcher=()
host_prefix=""
# shellcheck disable=SC2034  # used by the drivers
if [[ -n ${TONVALE_EMULATOR:-} ]]; then
  launcher=("$TONVALE_EMULATOR")
  host_prefix="Z:"
fi

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Refuses to run without what the test needs: `display`, `sound` or both.
require_rig() {
  local need ok
  for need in "$@"; do
    ok=1
    case $need in
      display) [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1 || ok=0 ;;
      sound) pactl info >/dev/null 2>&1 || ok=0 ;;
      *) fail "require_rig: no such need: $need" ;;
    esac
    if ((!ok)); then
      echo "no $need: run the tests inside the rig (bash scripts/test, or bash scripts/rig run ctest ...)" >&2
      exit 1
    fi
  done
}

# Sets `artefacts` to the test's own folder of kept files, made if missing.
keep_artefacts_in() {
  artefacts=${TONVALE_ARTEFACTS_DIR#Z:}/$1
  mkdir -p "$artefacts"
}

player=""
# shellcheck disable=SC2317  # called by the EXIT trap and by drivers
stop_player() {
  if [[ -n $player ]]; then
    kill -TERM -- "-$player" 2>/dev/null || true
    wait "$player" 2>/dev/null || true
    player=""
  fi
}

# A sine of $1 Hz into the sink, as a generated stream (no gaps), in a session
# of its own so that stopping it ends both sides of the pipe.
play() {
  stop_player
  setsid bash -c "sox -q -n -t raw -r 44100 -c 2 -b 16 -e signed-integer - synth 600 sine $1 vol 0.5 |
    pacat --raw --rate=44100 --channels=2 --format=s16le --device=speaker" </dev/null &
  player=$!
}

# Ends a program that watches for the file $work/stop: 10 s to go by itself,
# then TERM.
stop_by_file() {
  local pid=$1 i
  touch "$work/stop"
  for ((i = 0; i < 100; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Prints the first line matching $2 that program $3 writes to its output file
# $1, without CRs; fails if the program ends first or 60 s pass.
await_line() {
  local file=$1 pattern=$2 pid=$3 line i
  for ((i = 0; i < 600; i++)); do
    line=$(grep -m1 -- "$pattern" "$file" || true)
    if [[ -n $line ]]; then
      printf '%s\n' "${line//$'\r'/}"
      return 0
    fi
    # Gone: one last look, as it may have written the line just before.
    if ! kill -0 "$pid" 2>/dev/null && ! grep -q -- "$pattern" "$file"; then
      cat "$file" >&2
      fail "the program ended before it wrote $pattern"
    fi
    sleep 0.1
  done
  fail "the program did not write $pattern within 60 s"
}

# shellcheck disable=SC2317  # redefined by drivers that start a program
finish() { :; }

# shellcheck disable=SC2317  # called by the EXIT trap
on_exit() {
  stop_player
  finish
  rm -rf "$work"
}

work=$(mktemp -d)
trap on_exit EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
