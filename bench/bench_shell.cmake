# The shell benchmark runs the main window headless on the tests' fake platform and
# recording device.
if(TARGET vx_testsupport)
  list(APPEND BENCH_DEPS vx_testsupport)
endif()
