# The Qt-free part of the support library: zt_test_support, and the portable
# core's build (tests/portable), which has no Qt for the rest.
set(zt_test_support_sources
  golden_frames.h
  hex.cpp
  hex.h
  poll_once.h
  virtual_meter_line.cpp
  virtual_meter_line.h
)
