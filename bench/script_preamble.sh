# The start every bench script shares, and the screenshot scripts with it:
# strict mode, the source tree as the working folder, a work folder and the
# processes the script started both gone when it ends, and zt6100-sim
# started on a pty. Sourced, not run:
#
#   source "$(dirname "$0")/script_preamble.sh"
#
# Then `build` is the build folder (the script's first argument, by default
# build), `ctl` and `sim` are zt6100ctl and zt6100-sim in it, and `work` is
# the work folder.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=${1:-build}
ctl=$build/cli/zt6100ctl
sim=$build/sim/zt6100-sim
work=$(mktemp -d)

# The names of the variables that hold the ids of processes to stop at the
# end (an empty one holds none); a script adds its own.
stop_at_exit=(sim_pid)
sim_pid=""
cleanup() {
  local name
  for name in "${stop_at_exit[@]}"; do
    # shellcheck disable=SC2086  # one id, or none
    [ -z "${!name:-}" ] || kill ${!name} 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Fails unless every program named is built.
require_programs() {
  local program
  for program in "$@"; do
    [ -x "$program" ] || { echo "missing $program: build first" >&2; exit 2; }
  done
}

# Starts zt6100-sim with the options given, its output in $work/NAME.out and
# $work/NAME.err, and waits up to 5 s for the device it prints; sets
# started_pid and started_device.
start_sim_as() {
  local name=$1
  shift
  : >"$work/$name.out"
  "$sim" "$@" >"$work/$name.out" 2>"$work/$name.err" &
  started_pid=$!
  for _ in $(seq 100); do
    started_device=$(head -n 1 "$work/$name.out")
    [ -n "$started_device" ] && return 0
    sleep 0.05
  done
  echo "zt6100-sim did not start" >&2
  exit 1
}

# Starts zt6100-sim with the options given, its output in $work/sim.out and
# $work/sim.err; sets sim_pid and pty.
start_sim() {
  start_sim_as sim "$@"
  sim_pid=$started_pid
  pty=$started_device
}

# Stops the simulator start_sim started.
stop_sim() {
  kill "$sim_pid"
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=""
}
