kd_add_fuzzer(kromby_was SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/kromby_was.cpp LIBS kromby_scheme)
kd_add_fuzzer(kromby_scheme SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/kromby_scheme.cpp LIBS kromby_scheme)

# Writes the seed corpora from the test builders: fuzz/seed-kromby <fuzz/corpus>.
add_executable(seed-kromby ${CMAKE_CURRENT_SOURCE_DIR}/seed_kromby.cpp)
target_link_libraries(seed-kromby PRIVATE kd_test_support kromby_scheme)
set_target_properties(seed-kromby PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
kd_add_fuzzer(kromby_rows SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/kromby_rows.cpp LIBS kromby_sprite)
