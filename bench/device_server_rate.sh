#!/usr/bin/env bash
# Fast-mode reads per second through a serial device server reached by raw
# TCP (socat on loopback, relaying to the simulator's pty) next to the same
# reads on the pty itself, in one run against the same zt6100-sim
# --line-timing (20 ms reply latency): what the network hop costs. socat is
# run twice, with nodelay (a server that sends what the serial port gave it
# at once) and as it comes (Nagle's algorithm on the server's side). Each
# figure is the difference of two zt6100ctl --fast poll runs of different
# length, so that start-up, the connection and the opening of the port are
# left out. Not part of the suite: the figures depend on the machine.
#
# usage: bench/device_server_rate.sh [BUILD_DIR] [POLLS]
#   BUILD_DIR  a build with zt6100ctl and zt6100-sim (default: build)
#   POLLS      polls of the longer run, two reads each (default: 150)
source "$(dirname "$0")/script_preamble.sh"

polls=${2:-150}
latency_ms=20

require_programs "$ctl" "$sim"
command -v socat >/dev/null || { echo "socat is not installed (./dev installs it)" >&2; exit 2; }
command -v python3 >/dev/null || { echo "python3 is needed to pick a free port" >&2; exit 2; }

socat_pid=""
stop_at_exit+=(socat_pid)

now_ns() { date +%s%N; }

stop() {
  kill "$1"
  wait "$1" 2>/dev/null || true
}

# A loopback port nobody listens on now.
free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# socat relaying each connection to the pty at BAUD (8 data bits, 2 stop
# bits, as the meter's line), with more TCP options after it (",nodelay");
# sets socat_pid and server. -t 0: by default the
# child of a closed connection goes on reading the pty for half a second and
# takes the replies meant for the next connection.
start_socat() {
  local port
  port=$(free_port)
  : >"$work/socat.err"
  socat -d -d -t 0 "TCP-LISTEN:$port,bind=127.0.0.1,reuseaddr,fork$2" \
    "FILE:$pty,raw,echo=0,b$1,cs8,cstopb=1" 2>"$work/socat.err" &
  socat_pid=$!
  for _ in $(seq 100); do
    grep -q 'listening on' "$work/socat.err" && { server=tcp://127.0.0.1:$port; return 0; }
    sleep 0.05
  done
  echo "socat did not listen: $(cat "$work/socat.err")" >&2
  exit 1
}

# Prints the wall time in ns of one zt6100ctl --fast poll run of COUNT polls
# on DEVICE at BAUD; every poll must have been answered.
run_ns() {
  local device=$1 baud=$2 count=$3 start end
  start=$(now_ns)
  "$ctl" --device "$device" --baud "$baud" --fast poll --count "$count" --period 0 \
    >"$work/run.out" 2>&1
  end=$(now_ns)
  grep -q "totals: polls $count  successes $count  failures 0" "$work/run.out" ||
    { echo "zt6100ctl missed replies on $device at $baud:" >&2; cat "$work/run.out" >&2; exit 1; }
  echo $((end - start))
}

# Reads per second on DEVICE at BAUD, start-up left out.
rate() {
  local short=$((polls / 5)) t_short t_long
  t_short=$(run_ns "$1" "$2" "$short")
  t_long=$(run_ns "$1" "$2" "$polls")
  awk -v reads=$((2 * (polls - short))) -v ns=$((t_long - t_short)) \
    'BEGIN { printf "%.1f %.2f", reads / (ns / 1e9), ns / 1e6 / reads }'
}

# socat as it comes sends the reply bytes the pty gives it as they come, the
# second piece held back by Nagle's algorithm until the first is acknowledged,
# which the master's delayed acknowledgement puts off by up to 40 ms; with
# nodelay each piece leaves at once, as a server that sends promptly does.
echo "== zt6100ctl --fast reads per second (ms a read), one register, same simulator =="
printf '%-6s %22s %34s %34s\n' baud "pty" "raw TCP, socat nodelay (tcp/pty)" \
  "raw TCP, socat as it comes (tcp/pty)"
for baud in 9600 19200; do
  start_sim --baud "$baud" --latency "$latency_ms" --line-timing
  read -r pty_reads pty_ms <<<"$(rate "$pty" "$baud")"
  row=$(printf '%-6s %10s/s (%5s ms)' "$baud" "$pty_reads" "$pty_ms")
  for options in ",nodelay" ""; do
    start_socat "$baud" "$options"
    read -r tcp_reads tcp_ms <<<"$(rate "$server" "$baud")"
    stop "$socat_pid"
    socat_pid=""
    row+=$(printf ' %12s/s (%5s ms) (%4s)' "$tcp_reads" "$tcp_ms" \
      "$(awk -v a="$tcp_reads" -v b="$pty_reads" 'BEGIN { printf "%.2f", a / b }')")
  done
  stop_sim
  echo "$row"
done
