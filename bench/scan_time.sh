#!/usr/bin/env bash
# How long `zt6100ctl scan` takes against zt6100-sim on a pty (its 20 ms
# reply latency): the full default scan (addresses 1 to 247 at the five
# rates, parity none) with the meter at the last address and rate tried, so
# that every try is made, next to the worst case the program tells before it
# starts; then the same scan with --first against a meter at address 247 at
# 19200 bit/s, the second rate the default plan tries. Not part of the suite: the figures depend
# on the machine.
#
# usage: bench/scan_time.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
ctl=$build/cli/zt6100ctl
sim=$build/sim/zt6100-sim
for program in "$ctl" "$sim"; do
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

# scan_once LABEL SIM_OPTIONS... -- SCAN_OPTIONS...
scan_once() {
  local label=$1 sim_args=() scan_args=()
  shift
  while [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
  shift
  scan_args=("$@")
  "$sim" "${sim_args[@]}" >"$work/sim.out" 2>/dev/null &
  sim_pid=$!
  local device=""
  for _ in $(seq 50); do
    device=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
    [ -n "$device" ] && break
    sleep 0.1
  done
  [ -n "$device" ] || { echo "zt6100-sim did not start" >&2; exit 1; }
  local start end
  start=$(date +%s.%N)
  "$ctl" --device "$device" --json scan "${scan_args[@]}" >"$work/out" 2>"$work/err" || true
  end=$(date +%s.%N)
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=""
  local told found
  told=$(sed -n 's/.*worst case //p' "$work/err")
  found=$(grep -c '"address"' "$work/out" || true)
  printf '%-46s %8.1f s  (told: worst case %s; meters found: %s)\n' "$label" \
    "$(awk "BEGIN { print $end - $start }")" "$told" "$found"
}

scan_once "full scan, meter at 247, 1200 bit/s" --address 247 --baud 1200 --
scan_once "--first, meter at 247, 19200 bit/s" --address 247 --baud 19200 -- --first
