kd_add_bench(dravik_extract_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/dravik_extract.cpp
             LIBS dravik_core dravik_fixtures)
