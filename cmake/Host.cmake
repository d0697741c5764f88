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

set(CLAVORA_WIN64_DIR ${CMAKE_SOURCE_DIR}/build/win64 CACHE PATH "Build tree of the Windows executables")
file(GLOB CLAVORA_SCENARIOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/scenarios/*.sh)
foreach(scenario ${CLAVORA_SCENARIOS})
  get_filename_component(name ${scenario} NAME_WE)
  add_test(NAME e2e.${name} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/run-scenario.sh ${scenario})
  set_tests_properties(e2e.${name} PROPERTIES LABELS e2e TIMEOUT 300 RESOURCE_LOCK wine
                       ENVIRONMENT "CLAVORA_WIN64_DIR=${CLAVORA_WIN64_DIR};CLAVORA_BUILD_DIR=${CMAKE_BINARY_DIR}")
endforeach()

find_package(benchmark QUIET)
file(GLOB CLAVORA_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(benchmark_FOUND AND CLAVORA_BENCH_SOURCES)
  add_executable(clavora_bench ${CLAVORA_BENCH_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fake/FakeDesktop.cpp)
  target_include_directories(clavora_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(clavora_bench PRIVATE clavora_core benchmark::benchmark)
endif()
