# Forms on the host: the pure form-block code, the form compiler, the image
# maker and the host tests of the form reader and registry. Sources are
# UTF-8; texts are compiled to GBK as on the target.
set(TS_FORMS_CHARSET -finput-charset=UTF-8 -fexec-charset=GBK)

add_library(ts_forms_core STATIC
  ${TS_SOURCE}/forms/byte_reader.cpp
  ${TS_SOURCE}/forms/form_block.cpp
  ${TS_SOURCE}/forms/records/records.cpp)
target_compile_options(ts_forms_core PRIVATE ${TS_FORMS_CHARSET})

add_executable(formc
  ${TS_SOURCE}/tools/formc/main.cpp
  ${TS_SOURCE}/tools/formc/source.cpp
  ${TS_SOURCE}/tools/formc/compile.cpp)
target_compile_options(formc PRIVATE ${TS_FORMS_CHARSET})
target_link_libraries(formc PRIVATE ts_forms_core)

find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
add_executable(mkimages ${TS_SOURCE}/tools/mkimages/main.cpp ${TS_SOURCE}/tools/mkimages/raster.cpp
                      ${TS_SOURCE}/tools/mkimages/writers.cpp ${TS_SOURCE}/tools/mkimages/glyphs.cpp)
target_link_libraries(mkimages PRIVATE PNG::PNG JPEG::JPEG)

add_executable(forms_host_test
  ${TS_SOURCE}/tests/forms/host_reader_test.cpp
  ${TS_SOURCE}/tests/forms/host_records_test.cpp
  ${TS_SOURCE}/tests/forms/host_registry_test.cpp
  ${TS_SOURCE}/tests/forms/host_block_test.cpp
  ${TS_SOURCE}/tests/forms/host_images_test.cpp
  ${TS_SOURCE}/forms/registry.cpp
  ${TS_SOURCE}/forms/unit_types.cpp
  ${TS_SOURCE}/tools/formc/source.cpp
  ${TS_SOURCE}/tools/formc/compile.cpp)
target_compile_options(forms_host_test PRIVATE ${TS_FORMS_CHARSET})
target_compile_definitions(forms_host_test PRIVATE TS_SOURCE_DIR="${TS_SOURCE}")
target_link_libraries(forms_host_test PRIVATE ts_forms_core PNG::PNG JPEG::JPEG GTest::gtest GTest::gtest_main)
