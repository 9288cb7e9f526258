#!/usr/bin/env bash
# CPU time of the programs while the meter's device is gone: an idle port in
# an event loop (the console's situation between commands, bench/idle_port.cpp)
# and `zt6100ctl poll` each use a zt6100-sim serving through a stable symlink
# path; the simulators are stopped (the ptys hang up) and the CPU time each
# program spends over the next SECONDS is printed as a share of one core. Then
# the simulators are started again at the same paths and the script reports
# whether both programs came back by themselves. Not part of the suite: the
# figures depend on the machine; the goal is below 5 %.
#
# usage: bench/device_loss_cpu.sh [BUILD_DIR] [SECONDS]
source "$(dirname "$0")/script_preamble.sh"

seconds=${2:-5}
idle=$build/bench/zt_idle_port
require_programs "$ctl" "$sim" "$idle"

# One meter for each program: a serial port is opened by one program at a time.
declare -A meter_pid=([idle]="" [ctl]="")
idle_pid=""
ctl_pid=""
stop_at_exit=(ctl_pid idle_pid "meter_pid[idle]" "meter_pid[ctl]")

# Starts the simulator NAME serving through the stable path $work/NAME.
plug_in() {
  start_sim_as "$1.sim" --link "$work/$1"
  meter_pid[$1]=$started_pid
}

unplug() {
  kill "${meter_pid[$1]}"
  wait "${meter_pid[$1]}" 2>/dev/null || true
  meter_pid[$1]=""
}

# Waits up to 20 s for PATTERN in FILE.
wait_for() {
  for _ in $(seq 400); do
    grep -q "$1" "$2" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

# User plus system CPU time of PID, in clock ticks.
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat")
  stat=${stat##*) }
  set -- $stat
  echo $(( ${12} + ${13} ))
}

plug_in idle
plug_in ctl
"$idle" "$work/idle" >"$work/idle.out" 2>&1 &
idle_pid=$!
"$ctl" --device "$work/ctl" poll >"$work/ctl.out" 2>"$work/ctl.err" &
ctl_pid=$!
wait_for open "$work/idle.out" || { echo "the idle port did not open" >&2; exit 1; }
wait_for "successes 1" "$work/ctl.out" || { echo "zt6100ctl did not poll" >&2; exit 1; }

unplug idle
unplug ctl
sleep 0.5
hz=$(getconf CLK_TCK)
idle_start=$(cpu_ticks "$idle_pid")
ctl_start=$(cpu_ticks "$ctl_pid")
sleep "$seconds"
idle_used=$(( $(cpu_ticks "$idle_pid") - idle_start ))
ctl_used=$(( $(cpu_ticks "$ctl_pid") - ctl_start ))

share() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f %%", 100 * t / hz / s }'; }
echo "CPU over ${seconds} s after the hang-up (share of one core; goal below 5 %):"
printf '  idle port in an event loop: %s (%s ticks of 1/%s s)\n' "$(share "$idle_used")" "$idle_used" "$hz"
printf '  zt6100ctl poll:             %s (%s ticks of 1/%s s)\n' "$(share "$ctl_used")" "$ctl_used" "$hz"
grep -q lost "$work/idle.out" && echo "  idle port: the loss was noticed" ||
  echo "  idle port: the loss was NOT noticed"
echo "  zt6100ctl: $(grep -c 'lost the device' "$work/ctl.err" || true) loss message(s)"

plug_in idle
plug_in ctl
wait_for back "$work/idle.out" && echo "after replugging: the idle port reopened the device" ||
  echo "after replugging: the idle port did NOT reopen the device"
lines=$(wc -l <"$work/ctl.out")
resumed() { tail -n +"$((lines + 1))" "$work/ctl.out" | grep -q "^live [0-9]"; }
wait_for "reopened the device" "$work/ctl.err" || true
for _ in $(seq 100); do
  resumed && break
  sleep 0.1
done
if resumed; then
  echo "after replugging: zt6100ctl polls the meter again"
else
  echo "after replugging: zt6100ctl did NOT resume polling"
fi
