#!/usr/bin/env bash
# The window thread's event latency while the console polls zt6100-sim, with
# the exchanges on the link thread and, beside it, on the window's thread as
# the console ran before. Not part of the suite: the figures depend on the
# machine.
#
# usage: bench/ui_latency.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
seconds=${2:-60}
probe=$build/bench/zt_ui_latency
sim=$build/sim/zt6100-sim
for program in "$probe" "$sim"; do
  [ -x "$program" ] || { echo "missing $program: build first" >&2; exit 2; }
done

work=$(mktemp -d)
sim_pid=""
cleanup() {
  [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$sim" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do
  [ -s "$work/sim.out" ] && break
  sleep 0.05
done
pty=$(head -n 1 "$work/sim.out")
[ -n "$pty" ] || { echo "zt6100-sim printed no device" >&2; exit 1; }

echo "event latency of the window thread, ${seconds} s of polling each, 10 ms probe timer:"
"$probe" "$pty" "$seconds"
"$probe" "$pty" "$seconds" --synchronous
