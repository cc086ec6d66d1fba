# Host build of the pure core commands (text, conversions, dates) with their
# tests, under the address and undefined-behaviour sanitisers.
set(TS_COMMANDS_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_executable(host_commands_test
  ${TS_SOURCE}/runtime/values.cpp
  ${TS_SOURCE}/runtime/error.cpp
  ${TS_SOURCE}/runtime/commands/arg_values.cpp
  ${TS_SOURCE}/runtime/commands/datetime.cpp
  ${TS_SOURCE}/runtime/commands/text_commands.cpp
  ${TS_SOURCE}/runtime/commands/convert_commands.cpp
  ${TS_SOURCE}/runtime/commands/time_commands.cpp
  ${TS_SOURCE}/tests/commands/text_commands_test.cpp
  ${TS_SOURCE}/tests/commands/convert_commands_test.cpp
  ${TS_SOURCE}/tests/commands/text_properties_test.cpp)
target_compile_options(host_commands_test PRIVATE ${TS_COMMANDS_SANITIZE} -finput-charset=UTF-8 -fexec-charset=GBK)
target_link_options(host_commands_test PRIVATE ${TS_COMMANDS_SANITIZE})
target_link_libraries(host_commands_test PRIVATE GTest::gtest GTest::gtest_main)
