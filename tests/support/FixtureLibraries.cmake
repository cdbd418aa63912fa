# Fixtures made in code with libjpeg and libtiff alone, for the test suite
# and for the tools beside it (the bomb maker, the fuzz seeds and checks),
# which are built without the tests in some configurations. Included from
# each that needs them; made once.
if(NOT TARGET pixmora_test_jpeg_writer)
    add_library(pixmora_test_jpeg_writer STATIC
        ${PROJECT_SOURCE_DIR}/tests/support/EncodeJpegToMemory.cpp)
    target_include_directories(pixmora_test_jpeg_writer PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(pixmora_test_jpeg_writer PUBLIC JPEG::JPEG)
endif()

if(NOT TARGET pixmora_bomb_fixtures)
    add_library(pixmora_bomb_fixtures STATIC ${PROJECT_SOURCE_DIR}/tests/codecs/BombFixtures.cpp)
    target_include_directories(pixmora_bomb_fixtures PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(pixmora_bomb_fixtures PUBLIC pixmora_test_jpeg_writer TIFF::TIFF)
endif()
