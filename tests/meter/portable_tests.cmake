# The meter tests that need no Qt: zt_meter_tests and zt_measurement_log_tests
# run them, and so does the portable core's build (tests/portable).
set(zt_meter_portable_tests
  commission_test.cpp
  encoding_test.cpp
  link_statistics_test.cpp
  meter_operations_test.cpp
  meter_session_test.cpp
  scripted_port.cpp
  scripted_port.h
  site_profile_test.cpp
)
set(zt_measurement_log_test_sources log_example.h measurement_log_bytes_test.cpp)
