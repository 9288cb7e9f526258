# The link tests that need neither Qt nor a pty: zt_link_tests runs them, and
# so does the portable core's build (tests/portable).
set(zt_link_portable_tests
  clock_test.cpp
  failure_cause_test.cpp
  fast_exchange_test.cpp
  link_settings_test.cpp
  modbus_rtu_test.cpp
  port_devices_test.cpp
  transaction_over_sim_test.cpp
  transaction_soak_test.cpp
  transaction_test.cpp
)
