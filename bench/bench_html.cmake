# The HTML benchmark measures against libxml2's HTML parser reading the same bytes.
find_package(LibXml2 REQUIRED)
list(APPEND BENCH_DEPS LibXml2::LibXml2)
