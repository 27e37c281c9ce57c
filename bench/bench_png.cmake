# The PNG benchmark measures against libpng's own decoding.
find_package(PNG REQUIRED)
list(APPEND BENCH_DEPS PNG::PNG)
