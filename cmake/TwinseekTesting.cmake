# Test executables run under Wine through CMAKE_CROSSCOMPILING_EMULATOR
# (cmake/wine-run, which bounds every run with a timeout). Window tests need
# the display that scripts/test starts; they carry the label "gui".
find_package(GTest CONFIG REQUIRED)

if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/cmake/wine-run")
endif()

# Windows programs under emulated Wine (qemu-i386) run several times slower;
# scripts/test then scales every Windows test's time limit, never an assertion.
set(TS_TIMEOUT_SCALE 1 CACHE STRING "Factor applied to the time limits of tests run under Wine")
function(ts_wine_timeout out seconds)
  math(EXPR scaled "${seconds} * ${TS_TIMEOUT_SCALE}")
  set(${out} ${scaled} PARENT_SCOPE)
endfunction()

# ts_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [GUI] [NO_MAIN] [TIMEOUT s])
# One executable per group of related cases, linked with the shared test main
# that fails a test on any message box it did not expect (NO_MAIN: the test
# brings its own main and starts the watchdog itself).
function(ts_test name)
  cmake_parse_arguments(T "GUI;NO_MAIN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(NOT T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ts_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} ts_test_support GTest::gtest)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  ts_wine_timeout(T_TIMEOUT ${T_TIMEOUT})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
                       ENVIRONMENT "TS_TIMEOUT=${T_TIMEOUT}")
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES LABELS gui RESOURCE_LOCK display)
  endif()
endfunction()
