# Host build of the picture decoders (no platform code) and their tests.
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(ZLIB REQUIRED)

include(${TS_SOURCE}/images/sources.cmake)
add_library(ts_images_host STATIC ${TS_IMAGES_DECODER_SOURCES})
target_link_libraries(ts_images_host PUBLIC PNG::PNG JPEG::JPEG ZLIB::ZLIB)

add_executable(images_host_test
  ${TS_SOURCE}/tests/images/decode_test.cpp
  ${TS_SOURCE}/tests/images/magick_gif_test.cpp
  ${TS_SOURCE}/tests/images/image_writers.cpp)
target_link_libraries(images_host_test PRIVATE ts_images_host GTest::gtest GTest::gtest_main)

# Writes one small valid file of every format into a folder (the fuzzer's
# seed corpus).
add_executable(images_make_seeds
  ${TS_SOURCE}/tests/images/make_seeds.cpp
  ${TS_SOURCE}/tests/images/image_writers.cpp)
target_link_libraries(images_make_seeds PRIVATE PNG::PNG JPEG::JPEG ZLIB::ZLIB)
