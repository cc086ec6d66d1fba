# Host build of MD5 and the digest command with their tests, under the
# address and undefined-behaviour sanitisers.
set(TS_DIGEST_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_executable(host_digest_test
  ${TS_SOURCE}/runtime/values.cpp
  ${TS_SOURCE}/runtime/error.cpp
  ${TS_SOURCE}/libs/digest/md5.cpp
  ${TS_SOURCE}/libs/digest/digest_library.cpp
  ${TS_SOURCE}/tests/digest/md5_test.cpp)
target_compile_options(host_digest_test PRIVATE ${TS_DIGEST_SANITIZE})
target_link_options(host_digest_test PRIVATE ${TS_DIGEST_SANITIZE})
target_link_libraries(host_digest_test PRIVATE GTest::gtest GTest::gtest_main)
