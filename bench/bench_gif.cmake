# The GIF benchmark measures against giflib.
find_package(GIF REQUIRED)
list(APPEND BENCH_DEPS GIF::GIF)
