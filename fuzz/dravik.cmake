# The extractor's parsers of untrusted input: the cache pair, .pal files, config.ini.
kd_add_fuzzer(dravik_cache SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/dravik_cache.cpp LIBS dravik_core)
kd_add_fuzzer(dravik_pal SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/dravik_pal.cpp LIBS dravik_core)
kd_add_fuzzer(dravik_config SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/dravik_config.cpp LIBS dravik_core)

# Writes the seed corpora from the fixture builders: fuzz/seed-dravik <fuzz/corpus>.
add_executable(seed-dravik ${CMAKE_CURRENT_SOURCE_DIR}/dravik_seeds.cpp)
target_link_libraries(seed-dravik PRIVATE dravik_fixtures dravik_core)
set_target_properties(seed-dravik PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
