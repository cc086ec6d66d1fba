# Builds host/ (tools and host-side tests of pure code) with the machine's own
# compiler as an external project, so that the cross build can run its tools.
include(ExternalProject)

set(TS_HOST_BIN "${CMAKE_BINARY_DIR}/host")
ExternalProject_Add(host
  SOURCE_DIR "${CMAKE_SOURCE_DIR}/host"
  BINARY_DIR "${TS_HOST_BIN}"
  CMAKE_ARGS -G Ninja -DCMAKE_BUILD_TYPE=Release -DTS_SOURCE=${CMAKE_SOURCE_DIR} -DTS_WERROR=${TS_WERROR}
  CMAKE_CACHE_ARGS -DCMAKE_C_COMPILER:STRING=cc -DCMAKE_CXX_COMPILER:STRING=c++
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

# Registers a host-side test executable built by host/ (runs natively).
function(ts_host_test name)
  add_test(NAME ${name} COMMAND "${TS_HOST_BIN}/${name}")
  set_tests_properties(${name} PROPERTIES LABELS host)
endfunction()
