# The masked picture draw measures against pixman compositing through a mask.
find_package(PkgConfig REQUIRED)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
list(APPEND BENCH_DEPS PkgConfig::PIXMAN)
