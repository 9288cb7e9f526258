#!/usr/bin/env bash
# The window thread's event latency while the console polls zt6100-sim, with
# the exchanges on the link thread and, beside it, on the window's thread as
# the console ran before. Not part of the suite: the figures depend on the
# machine.
#
# usage: bench/ui_latency.sh [BUILD_DIR] [SECONDS]
source "$(dirname "$0")/script_preamble.sh"

seconds=${2:-60}
probe=$build/bench/zt_ui_latency
require_programs "$probe" "$sim"
start_sim

echo "event latency of the window thread, ${seconds} s of polling each, 10 ms probe timer:"
"$probe" "$pty" "$seconds"
"$probe" "$pty" "$seconds" --synchronous
