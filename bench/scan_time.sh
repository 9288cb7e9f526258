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
source "$(dirname "$0")/script_preamble.sh"
require_programs "$ctl" "$sim"

# scan_once LABEL SIM_OPTIONS... -- SCAN_OPTIONS...
scan_once() {
  local label=$1 sim_args=() scan_args=()
  shift
  while [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
  shift
  scan_args=("$@")
  start_sim "${sim_args[@]}"
  local start end
  start=$(date +%s.%N)
  "$ctl" --device "$pty" --json scan "${scan_args[@]}" >"$work/out" 2>"$work/err" || true
  end=$(date +%s.%N)
  stop_sim
  local told found
  told=$(sed -n 's/.*worst case //p' "$work/err")
  found=$(grep -c '"address"' "$work/out" || true)
  printf '%-46s %8.1f s  (told: worst case %s; meters found: %s)\n' "$label" \
    "$(awk "BEGIN { print $end - $start }")" "$told" "$found"
}

scan_once "full scan, meter at 247, 1200 bit/s" --address 247 --baud 1200 --
scan_once "--first, meter at 247, 19200 bit/s" --address 247 --baud 19200 -- --first
