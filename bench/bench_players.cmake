# The players benchmark measures against pugixml and draws on the tests' recording device.
find_package(pugixml REQUIRED)
list(APPEND BENCH_DEPS pugixml::pugixml)
if(TARGET vx_testsupport)
  list(APPEND BENCH_DEPS vx_testsupport)
endif()
