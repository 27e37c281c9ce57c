# The benchmark runs the real program through the end-to-end driver.
if(TARGET vx_e2edriver)
  list(APPEND BENCH_DEPS vx_e2edriver)
endif()
