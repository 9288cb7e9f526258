# The simulator tests that need no pty or child process: zt_sim_tests runs
# them, and so does the portable core's build (tests/portable).
set(zt_sim_portable_tests
  in_process_meter_test.cpp
  line_timing_test.cpp
  meter_model_test.cpp
  meter_responder_test.cpp
  request_parser_test.cpp
  simulated_port_test.cpp
)
