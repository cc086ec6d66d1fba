# The platform-free decoder sources, shared by the target and host builds.
set(TS_IMAGES_DECODER_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/decode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bmp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gif.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gif_canvas.cpp
    ${CMAKE_CURRENT_LIST_DIR}/icon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/jpeg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pcx.cpp
    ${CMAKE_CURRENT_LIST_DIR}/png.cpp)
