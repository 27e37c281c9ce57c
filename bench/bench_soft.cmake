# The software rasteriser is measured against pixman's OVER (a benchmark-only dependency).
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(PIXMAN QUIET IMPORTED_TARGET pixman-1)
endif()
if(TARGET PkgConfig::PIXMAN)
  list(APPEND BENCH_DEPS PkgConfig::PIXMAN)
endif()
