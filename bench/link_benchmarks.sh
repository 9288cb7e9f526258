#!/usr/bin/env bash
# The link's figures against fair yardsticks, in one run against the same
# simulator (zt6100-sim --line-timing, 20 ms reply latency, on a pty):
#   - reads per second and CPU per read of zt6100ctl --fast, of a plain
#     libmodbus loop that flushes before each request and keeps the same
#     3.5-character silence, of mbpoll as users run it at its fastest
#     (-l 10: it sleeps 10 ms after every reply on purpose), and the pty
#     floor: reply line time + latency + silence (a pty delivers the request
#     at once, so the request's own line time never passes);
#   - the poll tick's overshoot over its 1,500 ms of waits (median, p95, max),
#     from the simulator's receive times, for zt6100ctl, for the console's
#     dialog under Xvfb and for the same tick in plain C with absolute
#     deadlines, which shows what the machine itself adds;
#   - the CPU time of a confirmed write's 300 ms wait.
# Not part of the suite: the figures depend on the machine.
#
# usage: bench/link_benchmarks.sh [BUILD_DIR] [POLLS] [TICKS]
#   BUILD_DIR  a build with zt6100ctl, zt6100-sim and the bench/ programs (default: build)
#   POLLS      polls of the longer zt6100ctl run, two reads each (default: 150)
#   TICKS      poll ticks for the overshoot, 1.5 s each (default: 32)
source "$(dirname "$0")/script_preamble.sh"

polls=${2:-150}
ticks=${3:-32}
loop=$build/bench/zt-libmodbus-loop
tick=$build/bench/zt-deadline-tick
console=$build/bench/zt_ui_latency
latency_ms=20
mbpoll_period_ms=10
mbpoll_seconds=4

require_programs "$ctl" "$sim" "$loop" "$tick" "$console"
command -v mbpoll >/dev/null || { echo "mbpoll is not installed" >&2; exit 2; }

mbpoll_pid=""
stop_at_exit=(mbpoll_pid sim_pid)

now_ns() { date +%s%N; }

# Starts the simulator at BAUD (more options after it); sets sim_pid and pty.
start_line_sim() {
  local baud=$1
  shift
  start_sim --baud "$baud" --latency "$latency_ms" --line-timing "$@"
}

# Runs a command; prints "WALL_NS CPU_SECONDS" (user + system of the child).
measure() {
  local start end cpu
  start=$(now_ns)
  cpu=$( { TIMEFORMAT='%U %S'; time "$@" >"$work/run.out" 2>&1; } 2>&1 | awk '{ print $1 + $2 }')
  end=$(now_ns)
  echo "$((end - start)) $cpu"
}

# zt6100ctl --fast: two runs of different length, so that the difference
# leaves out start-up and the opening of the port. Prints "READS_PER_S CPU_US_PER_READ".
ctl_rate() {
  local baud=$1 short=$((polls / 5)) t_short c_short t_long c_long
  read -r t_short c_short <<<"$(measure "$ctl" --device "$pty" --baud "$baud" --fast poll \
    --count "$short" --period 0)"
  read -r t_long c_long <<<"$(measure "$ctl" --device "$pty" --baud "$baud" --fast poll \
    --count "$polls" --period 0)"
  grep -q "totals: polls $polls  successes $polls  failures 0" "$work/run.out" ||
    { echo "zt6100ctl missed replies at $baud" >&2; exit 1; }
  awk -v reads=$((2 * (polls - short))) -v ns=$((t_long - t_short)) -v cpu="$c_long" \
    -v cpu0="$c_short" 'BEGIN { printf "%.1f %.0f", reads / (ns / 1e9), (cpu - cpu0) * 1e6 / reads }'
}

# The libmodbus loop, as many reads as zt6100ctl's longer run makes.
libmodbus_rate() {
  "$loop" "$pty" "$1" $((2 * polls)) >"$work/loop.out"
  awk '{ printf "%.1f %.0f", $8, $10 }' "$work/loop.out"
}

# mbpoll at its shortest poll period, counted between two moments after start.
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

# The 7-byte reply at 11 bits a character, the latency and 3.5 characters of silence.
floor_rate() {
  awk -v baud="$1" -v latency="$latency_ms" \
    'BEGIN { ms = (7 + 3.5) * 11 * 1000 / baud + latency; printf "%.1f %.2f", 1000 / ms, ms }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "== reads per second (CPU per read), one register, same simulator =="
printf '%-6s %22s %22s %16s %22s %8s %8s %9s\n' baud "zt6100ctl --fast" "libmodbus loop" \
  "mbpoll -l 10" "pty floor" "ctl/lib" "ctl/flr" "cpu ctl/lib"
for baud in 9600 19200; do
  start_line_sim "$baud"
  read -r ctl_reads ctl_cpu <<<"$(ctl_rate "$baud")"
  read -r lib_reads lib_cpu <<<"$(libmodbus_rate "$baud")"
  mb_reads=$(mbpoll_rate "$baud")
  stop_sim
  read -r floor floor_ms <<<"$(floor_rate "$baud")"
  printf '%-6s %8s/s (%4s us) %8s/s (%4s us) %14s/s %8s/s (%s ms) %8s %8s %9s\n' "$baud" \
    "$ctl_reads" "$ctl_cpu" "$lib_reads" "$lib_cpu" "$mb_reads" "$floor" "$floor_ms" \
    "$(ratio "$ctl_reads" "$lib_reads")" "$(ratio "$ctl_reads" "$floor")" \
    "$(ratio "$ctl_cpu" "$lib_cpu")"
done

echo
echo "== poll tick overshoot over 1,500 ms, $ticks ticks at 9600 bit/s, from the simulator's receive times =="
# Prints the median, p95 and max of how much longer than 1,500 ms the ticks
# took, from the receive times of the decimal-point requests (one per tick).
overshoot() {
  grep 'register 0x0006' "$work/sim.err" | sed 's/.*\[\([0-9]*\)\].*/\1/' |
    awk 'NR > 1 { print ($1 - prev) / 1000 - 1500 } { prev = $1 }' | sort -n >"$work/over.txt"
  awk -v label="$1" '{ v[NR] = $1 } END {
    n = NR; p95 = v[int(0.95 * (n - 1)) + 1]
    median = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    printf "%-44s ticks %3d  median %7.3f ms  p95 %7.3f ms  max %7.3f ms\n", label, n, median, p95, v[n] }' \
    "$work/over.txt"
}
start_line_sim 9600 --verbose --timestamps
"$tick" "$pty" "$ticks"
overshoot "plain C, absolute deadlines (yardstick)"
stop_sim
start_line_sim 9600 --verbose --timestamps
"$ctl" --device "$pty" poll --count "$ticks" >/dev/null
overshoot "zt6100ctl poll"
stop_sim
if command -v xvfb-run >/dev/null; then
  start_line_sim 9600 --verbose --timestamps
  # The console's own dialog and link thread, drawn on an X server.
  QT_QPA_PLATFORM=xcb xvfb-run -a "$console" "$pty" $((ticks * 3 / 2 + 1)) >/dev/null
  overshoot "console (zt_ui_latency under Xvfb)"
  stop_sim
else
  echo "console: xvfb-run is not installed, not measured"
fi

echo
echo "== CPU time of a confirmed write's 300 ms wait (zt6100ctl, fixed waits) =="
start_line_sim 9600
read -r _ one <<<"$(measure "$ctl" --device "$pty" --echo off set-baud 9600)"
read -r _ three <<<"$(measure "$ctl" --device "$pty" --echo off setup --pt 1 --ct 1 --wiring 0)"
stop_sim
awk -v one="$one" -v three="$three" \
  'BEGIN { printf "%.2f ms per 300 ms wait (setup with three writes minus set-baud with one, halved)\n", (three - one) * 1000 / 2 }'
