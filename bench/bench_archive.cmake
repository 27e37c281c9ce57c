# The archive benchmark measures against zlib's own uncompress and crc32.
find_package(ZLIB REQUIRED)
list(APPEND BENCH_DEPS ZLIB::ZLIB)
