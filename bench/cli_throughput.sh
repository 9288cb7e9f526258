#!/usr/bin/env bash
# Reads per second of `zt6100ctl --fast` against zt6100-sim with line timing,
# side by side with mbpoll reading the same register of the same simulator in
# the same run, and the line-time limit of one read. Not part of the suite:
# the figures depend on the machine.
#
# usage: bench/cli_throughput.sh [BUILD_DIR] [POLLS]
#   BUILD_DIR  a build with zt6100ctl and zt6100-sim (default: build)
#   POLLS      polls of the longer zt6100ctl run, two reads each (default: 150)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
polls=${2:-150}
ctl=$build/cli/zt6100ctl
sim=$build/sim/zt6100-sim
latency_ms=20
# mbpoll's shortest poll period; it sleeps this long between two reads.
mbpoll_period_ms=10
mbpoll_seconds=4

for program in "$ctl" "$sim"; do
  [ -x "$program" ] || { echo "missing $program: build first" >&2; exit 2; }
done
command -v mbpoll >/dev/null || { echo "mbpoll is not installed" >&2; exit 2; }

work=$(mktemp -d)
sim_pid=""
mbpoll_pid=""
cleanup() {
  [ -z "$mbpoll_pid" ] || kill "$mbpoll_pid" 2>/dev/null || true
  [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

now_ns() { date +%s%N; }

# Starts the simulator at BAUD and sets sim_pid and pty.
start_sim() {
  : >"$work/sim.out"
  "$sim" --baud "$1" --latency "$latency_ms" --line-timing >"$work/sim.out" 2>/dev/null &
  sim_pid=$!
  for _ in $(seq 100); do
    pty=$(head -n 1 "$work/sim.out")
    [ -n "$pty" ] && return 0
    sleep 0.05
  done
  echo "zt6100-sim did not start" >&2
  exit 1
}

stop_sim() {
  kill "$sim_pid"
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=""
}

# Wall time of `zt6100ctl --fast poll --count N --period 0`, in ns; fails
# unless every poll was answered.
timed_polls() {
  local baud=$1 count=$2 start end
  start=$(now_ns)
  "$ctl" --device "$pty" --baud "$baud" --fast poll --count "$count" --period 0 >"$work/ctl.out"
  end=$(now_ns)
  grep -q "totals: polls $count  successes $count  failures 0" "$work/ctl.out" ||
    { echo "zt6100ctl missed replies at $baud:" >&2; tail -n 1 "$work/ctl.out" >&2; exit 1; }
  echo $((end - start))
}

# Two runs of different length: the difference leaves out start-up and the
# opening of the port.
ctl_rate() {
  local baud=$1 short=$((polls / 5)) t_short t_long
  t_short=$(timed_polls "$baud" "$short")
  t_long=$(timed_polls "$baud" "$polls")
  awk -v reads=$((2 * (polls - short))) -v ns=$((t_long - t_short)) \
    'BEGIN { printf "%.1f", reads / (ns / 1e9) }'
}

# mbpoll polling register 0 without pause beyond its shortest period;
# counted between two moments after it has started.
mbpoll_rate() {
  local baud=$1 first second t_first t_second
  stdbuf -oL mbpoll -m rtu -b "$baud" -P none -s 2 -a 1 -0 -t 4 -r 0 -c 1 \
    -l "$mbpoll_period_ms" "$pty" >"$work/mbpoll.out" 2>&1 &
  mbpoll_pid=$!
  sleep 1
  first=$(grep -c '^\[0\]' "$work/mbpoll.out" || true)
  t_first=$(now_ns)
  sleep "$mbpoll_seconds"
  second=$(grep -c '^\[0\]' "$work/mbpoll.out" || true)
  t_second=$(now_ns)
  kill "$mbpoll_pid"
  wait "$mbpoll_pid" 2>/dev/null || true
  mbpoll_pid=""
  awk -v reads=$((second - first)) -v ns=$((t_second - t_first)) \
    'BEGIN { printf "%.1f", reads / (ns / 1e9) }'
}

# One read: an 8-byte request and a 7-byte reply at 11 bits a character
# (8N2), plus the simulator's reply latency.
limit_rate() {
  awk -v baud="$1" -v latency="$latency_ms" \
    'BEGIN { ms = (8 + 7) * 11 * 1000 / baud + latency; printf "%.1f %.2f", 1000 / ms, ms }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '%-6s %18s %14s %24s %11s %10s\n' baud "zt6100ctl --fast" mbpoll "line-time limit" \
  "ctl/mbpoll" "ctl/limit"
for baud in 9600 19200; do
  start_sim "$baud"
  ctl_reads=$(ctl_rate "$baud")
  mb_reads=$(mbpoll_rate "$baud")
  stop_sim
  read -r limit limit_ms <<<"$(limit_rate "$baud")"
  printf '%-6s %12s reads/s %8s reads/s %9s reads/s (%s ms) %11s %10s\n' "$baud" "$ctl_reads" \
    "$mb_reads" "$limit" "$limit_ms" "$(ratio "$ctl_reads" "$mb_reads")" \
    "$(ratio "$ctl_reads" "$limit")"
done
echo "mbpoll pauses ${mbpoll_period_ms} ms between reads (its shortest poll period);"
echo "zt6100ctl leaves the line silent 3.5 character times, rounded up to whole ms."
