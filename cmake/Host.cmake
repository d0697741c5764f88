# Native tree: the portable library, its unit tests, the benchmarks and the Wine scenarios
# (which drive the executables of the Windows tree).
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB CLAVORA_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp
     ${CMAKE_SOURCE_DIR}/tests/fake/*.cpp)
add_executable(clavora_unit_tests ${CLAVORA_TEST_SOURCES})
target_include_directories(clavora_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(clavora_unit_tests PRIVATE clavora_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(clavora_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

# The same unit tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer,
# when the compiler can: a use after free or undefined behaviour fails the run ("sanitizers").
include(CheckCXXSourceCompiles)
set(CLAVORA_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=address,undefined")
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=address,undefined")
check_cxx_source_compiles("int main() { return 0; }" CLAVORA_SANITIZERS_WORK)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(CLAVORA_SANITIZERS_WORK)
  add_library(clavora_core_sanitized STATIC ${CLAVORA_CORE_SOURCES})
  target_include_directories(clavora_core_sanitized PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
  target_compile_options(clavora_core_sanitized PUBLIC ${CLAVORA_SANITIZE_FLAGS})
  target_link_options(clavora_core_sanitized PUBLIC ${CLAVORA_SANITIZE_FLAGS})
  add_executable(clavora_unit_tests_sanitized ${CLAVORA_TEST_SOURCES})
  target_include_directories(clavora_unit_tests_sanitized PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(clavora_unit_tests_sanitized PRIVATE clavora_core_sanitized GTest::gtest GTest::gtest_main)
  add_test(NAME sanitizers.unit COMMAND clavora_unit_tests_sanitized --gtest_brief=1)
  set_tests_properties(sanitizers.unit PROPERTIES LABELS "unit;sanitizers" TIMEOUT 300
                       ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1")
else()
  message(STATUS "the compiler cannot build with the sanitizers: no sanitized unit tests")
endif()

set(CLAVORA_WIN64_DIR ${CMAKE_SOURCE_DIR}/build/win64 CACHE PATH "Build tree of the Windows executables")
set(CLAVORA_WINE_TEST_ENV "CLAVORA_WIN64_DIR=${CLAVORA_WIN64_DIR};CLAVORA_BUILD_DIR=${CMAKE_BINARY_DIR}")
file(GLOB CLAVORA_SCENARIOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/scenarios/*.sh)
foreach(scenario ${CLAVORA_SCENARIOS})
  get_filename_component(name ${scenario} NAME_WE)
  add_test(NAME e2e.${name} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/run-scenario.sh ${scenario})
  # A scenario that cannot run here (it needs root to mount, say) says "SKIPPED:" and ends.
  set_tests_properties(e2e.${name} PROPERTIES LABELS e2e TIMEOUT 300 RESOURCE_LOCK wine SKIP_REGULAR_EXPRESSION "SKIPPED:"
                       ENVIRONMENT "${CLAVORA_WINE_TEST_ENV}")
endforeach()
# The scenarios' Xinerama stand-in (tests/e2e/xinerama): libXinerama.so.1 in a folder of its
# own, for LD_LIBRARY_PATH.
add_library(xinerama_standin SHARED ${CMAKE_SOURCE_DIR}/tests/e2e/xinerama/XineramaStandIn.cpp)
set_target_properties(xinerama_standin PROPERTIES OUTPUT_NAME Xinerama SOVERSION 1
                      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/xinerama)

# The release package, made and unpacked as a user gets it and run under Wine like a scenario.
add_test(NAME package COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/run-scenario.sh ${CMAKE_SOURCE_DIR}/tests/package/package.sh)
set_tests_properties(package PROPERTIES LABELS package TIMEOUT 300 RESOURCE_LOCK wine
                     ENVIRONMENT "${CLAVORA_WINE_TEST_ENV}")

find_package(benchmark QUIET)
file(GLOB CLAVORA_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(benchmark_FOUND AND CLAVORA_BENCH_SOURCES)
  # The benchmarks run on the unit tests' fakes; only the GoogleTest printer stays out.
  file(GLOB CLAVORA_BENCH_FAKES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fake/*.cpp)
  list(FILTER CLAVORA_BENCH_FAKES EXCLUDE REGEX ".*/GTest[^/]*\\.cpp$")
  add_executable(clavora_bench ${CLAVORA_BENCH_SOURCES} ${CLAVORA_BENCH_FAKES})
  target_include_directories(clavora_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(clavora_bench PRIVATE clavora_core benchmark::benchmark benchmark::benchmark_main)
endif()

# Fuzz targets, in a tree of their own under the build root (clang with libFuzzer, see
# tests/fuzz/CMakeLists.txt), when that compiler is installed. ctest runs each one for a few
# seconds (label "fuzz"); tests/fuzz/run-long.sh runs them for as long as one likes.
find_program(CLAVORA_FUZZ_CXX NAMES clang++)
if(CLAVORA_FUZZ_CXX AND NOT DEFINED CLAVORA_FUZZ_WORKS)
  set(check_dir ${CMAKE_BINARY_DIR}/fuzz-check)
  file(WRITE ${check_dir}/check.cpp
       "extern \"C\" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n")
  execute_process(COMMAND ${CLAVORA_FUZZ_CXX} -fsanitize=fuzzer,address,undefined ${check_dir}/check.cpp
                          -o ${check_dir}/check
                  RESULT_VARIABLE check_result OUTPUT_QUIET ERROR_QUIET)
  if(check_result EQUAL 0)
    set(CLAVORA_FUZZ_WORKS ON CACHE INTERNAL "clang links libFuzzer programs")
  else()
    set(CLAVORA_FUZZ_WORKS OFF CACHE INTERNAL "clang links libFuzzer programs")
  endif()
endif()
if(CLAVORA_FUZZ_CXX AND CLAVORA_FUZZ_WORKS)
  include(ExternalProject)
  get_filename_component(CLAVORA_FUZZ_DIR ${CMAKE_BINARY_DIR}/../fuzz ABSOLUTE)
  ExternalProject_Add(clavora_fuzz
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz
    BINARY_DIR ${CLAVORA_FUZZ_DIR}
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${CLAVORA_FUZZ_CXX}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
  file(GLOB CLAVORA_FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/Fuzz*.cpp)
  foreach(source ${CLAVORA_FUZZ_TARGETS})
    get_filename_component(target ${source} NAME_WE)
    string(REGEX REPLACE "^Fuzz" "" name ${target})
    add_test(NAME fuzz.${name} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/fuzz/run.sh ${CLAVORA_FUZZ_DIR} ${name} 5)
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
  endforeach()
else()
  message(STATUS "clang with libFuzzer not found: no fuzz tests")
endif()
