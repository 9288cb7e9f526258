#!/usr/bin/env bash
# The console's CPU while it polls zt6100-sim, with the trend window open and
# without it, in turns (so that a busy neighbour weighs on both alike), and
# the difference of the means. Not part of the suite: the figures depend on
# the machine; the goal is a difference below 0.5 % of a core.
#
# usage: bench/trend_cpu.sh [BUILD_DIR] [SECONDS] [ROUNDS]
source "$(dirname "$0")/script_preamble.sh"

seconds=${2:-60}
rounds=${3:-2}
probe=$build/bench/zt_trend_cpu
require_programs "$probe" "$sim"
start_sim

echo "console CPU while polling, ${seconds} s a run, ${rounds} rounds:"
for _ in $(seq "$rounds"); do
  "$probe" "$pty" "$seconds" | tee -a "$work/closed"
  "$probe" "$pty" "$seconds" --trend | tee -a "$work/open"
done
mean() { awk '{ for (i = 1; i <= NF; i++) if ($i == "=") { s += $(i + 1); n++ } } END { printf "%.3f", s / n }' "$1"; }
closed=$(mean "$work/closed")
open=$(mean "$work/open")
echo "mean: trend closed ${closed} %, trend open ${open} % of a core," \
  "difference $(awk -v a="$open" -v b="$closed" 'BEGIN { printf "%.3f", a - b }') %"
