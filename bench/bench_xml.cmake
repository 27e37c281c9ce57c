# The XML benchmark measures against pugixml parsing and serialising the same bytes.
find_package(pugixml REQUIRED)
list(APPEND BENCH_DEPS pugixml::pugixml)
