# The particles benchmark draws on the tests' recording device.
if(TARGET vx_testsupport)
  list(APPEND BENCH_DEPS vx_testsupport)
endif()
