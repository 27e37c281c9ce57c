# Shared compile settings and helpers for every library, tool, test and benchmark.

add_library(vx_options INTERFACE)
target_compile_options(vx_options INTERFACE -Wall -Wextra -Wpedantic)
if(VX_WERROR)
  target_compile_options(vx_options INTERFACE -Werror)
endif()
# GCC 12's optimiser-driven -Wuse-after-free and -Wrestrict report false positives on
# reference counting and std::string appends at -O2/-O3; the debug build keeps them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_BUILD_TYPE MATCHES "Release|RelWithDebInfo")
  target_compile_options(vx_options INTERFACE -Wno-use-after-free -Wno-restrict)
endif()
if(VX_SANITIZE)
  target_compile_options(vx_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(vx_options INTERFACE -fsanitize=address,undefined)
endif()
if(VX_FUZZ)
  # Coverage for every library, not only the targets' own files: the parsers live there.
  target_compile_options(vx_options INTERFACE -fsanitize=fuzzer-no-link)
  target_link_options(vx_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
target_include_directories(vx_options INTERFACE ${CMAKE_SOURCE_DIR})
target_compile_definitions(vx_options INTERFACE VX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

# vx_library(name SOURCES ... DEPS ...): one static library per folder.
function(vx_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_link_libraries(${name} PUBLIC vx_options ${A_DEPS})
  set_property(GLOBAL APPEND PROPERTY VX_ALL_LIBS ${name})
endfunction()

# vx_folder_library(name DEPS ...): a library of every .cpp in the calling folder (not its
# sub-folders), so that several people can add files to one folder without editing this.
function(vx_folder_library name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    set(srcs ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  vx_library(${name} SOURCES ${srcs} DEPS ${A_DEPS})
endfunction()

# vx_folder_tests(NAME exe DEPS ... [LABELS ...] [SOURCES ...]): one test executable of every
# *_tests.cpp of the calling folder (and the extra SOURCES); see vx_test for its CTest entries.
function(vx_folder_tests)
  cmake_parse_arguments(A "" "NAME" "DEPS;LABELS;SOURCES" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_tests.cpp)
  vx_test(${A_NAME} SOURCES ${srcs} ${A_SOURCES} DEPS ${A_DEPS} vx_testsupport LABELS ${A_LABELS})
endfunction()

# The gtest filter of the test suites one source file defines (plain, fixture, parameterised
# and typed suites).
function(vx_gtest_filter src out)
  file(STRINGS ${src} lines REGEX "^[ \t]*(TEST|TEST_F|TEST_P|TYPED_TEST|TYPED_TEST_P)\\([ \t]*[A-Za-z0-9_]+")
  set(patterns)
  foreach(line ${lines})
    if(line MATCHES "^[ \t]*[A-Z_]+\\([ \t]*([A-Za-z0-9_]+)")
      list(APPEND patterns "${CMAKE_MATCH_1}.*" "*/${CMAKE_MATCH_1}.*" "${CMAKE_MATCH_1}/*")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES patterns)
  list(JOIN patterns ":" filter)
  set(${out} "${filter}" PARENT_SCOPE)
endfunction()

# vx_test(exe SOURCES ... DEPS ... [LABELS ...] [TIMEOUT s] [OWN_ENTRIES src ...]): one
# GoogleTest executable. Each source that defines tests is a CTest entry of its own, named
# after the file and running its suites, so ctest still runs a folder's files side by side and
# each file's tests in a process of their own; the caller registers the entries of the
# OWN_ENTRIES sources (a long file split in parts). Per-file labels, timeouts and environment
# are set on those entry names. The tests draw on the GPU device, which their golden pictures
# were made on, even where OpenGL is Mesa's software renderer (the program would then choose
# the software device): VX_RENDER_DEVICE keeps it.
find_package(GTest QUIET)
function(vx_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;DEPS;LABELS;OWN_ENTRIES" ${ARGN})
  if(NOT A_LABELS)
    set(A_LABELS unit)
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  if(VX_FUZZ)
    return()  # the fuzz build makes only the fuzz targets
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE vx_options ${A_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  foreach(src ${A_SOURCES})
    get_filename_component(file ${src} NAME)
    if(file IN_LIST A_OWN_ENTRIES)
      continue()
    endif()
    vx_gtest_filter(${src} filter)
    if(NOT filter)
      continue()
    endif()
    get_filename_component(entry ${src} NAME_WE)
    add_test(NAME ${entry} COMMAND ${name} --gtest_brief=1 --gtest_filter=${filter})
    set_tests_properties(${entry} PROPERTIES LABELS "${A_LABELS}" TIMEOUT ${A_TIMEOUT}
      ENVIRONMENT "VX_TEST_TMP=${CMAKE_BINARY_DIR}/testtmp;SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;VX_RENDER_DEVICE=gpu")
  endforeach()
endfunction()

# vx_soft_run(exe src [LABELS ...]): the tests of `src` (a source of `exe`) once more, on the
# software device: the screens' golden pictures must hold there too (see tests/support/Golden.h).
function(vx_soft_run exe src)
  cmake_parse_arguments(A "" "" "LABELS" ${ARGN})
  if(NOT TARGET ${exe} OR VX_FUZZ)
    return()
  endif()
  if(NOT A_LABELS)
    set(A_LABELS unit)
  endif()
  vx_gtest_filter(${src} filter)
  get_filename_component(entry ${src} NAME_WE)
  add_test(NAME ${entry}_soft COMMAND ${exe} --gtest_brief=1 --gtest_filter=${filter})
  set_tests_properties(${entry}_soft PROPERTIES LABELS "${A_LABELS}" TIMEOUT 600
    ENVIRONMENT "VX_TEST_TMP=${CMAKE_BINARY_DIR}/testtmp;SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy;VX_RENDER_DEVICE=soft;ASAN_OPTIONS=detect_leaks=0")
endfunction()

# vx_fuzz(name SOURCES ... DEPS ...): a libFuzzer target (clang, VX_FUZZ) or, otherwise, a
# plain executable that replays the seed corpus, registered as a test labelled fuzz.
function(vx_fuzz name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  if(VX_FUZZ)
    add_executable(${name} ${A_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE vx_options ${A_DEPS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzbin)
  else()
    add_executable(${name} ${A_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    target_link_libraries(${name} PRIVATE vx_options ${A_DEPS})
    add_test(NAME ${name} COMMAND ${name} ${corpus})
    set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300)
  endif()
endfunction()

# vx_bench(name SOURCES ... DEPS ...): a Google Benchmark executable (not a test).
find_package(benchmark QUIET)
function(vx_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE vx_options ${A_DEPS} benchmark::benchmark)
endfunction()
