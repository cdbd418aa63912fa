# Fixtures made in code with libjpeg and libtiff alone, for the test suite
# and for the tools beside it (the bomb maker), which are built without the
# tests in some configurations. Included from each that needs them; made
# once.
if(NOT TARGET pixmora_bomb_fixtures)
    add_library(pixmora_bomb_fixtures STATIC ${PROJECT_SOURCE_DIR}/tests/codecs/BombFixtures.cpp)
    target_include_directories(pixmora_bomb_fixtures PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(pixmora_bomb_fixtures PUBLIC JPEG::JPEG TIFF::TIFF)
endif()
