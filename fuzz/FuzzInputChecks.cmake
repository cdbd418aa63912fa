# The fuzz targets' invariants as a library, for the fuzz targets and for the
# test suite that replays the kept inputs; included from both, made once.
include(${PROJECT_SOURCE_DIR}/tests/support/FixtureLibraries.cmake)
if(NOT TARGET pixmora_fuzz_checks)
    add_library(pixmora_fuzz_checks STATIC
        ${PROJECT_SOURCE_DIR}/fuzz/FuzzInputChecks.cpp
        ${PROJECT_SOURCE_DIR}/fuzz/IccRecords.cpp)
    target_include_directories(pixmora_fuzz_checks PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(pixmora_fuzz_checks PUBLIC pixmora_codecs pixmora_wx
        pixmora_test_jpeg_writer)
endif()
