kd_add_bench(bench_kromby_sprite SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/kromby_sprite.cpp
             LIBS kromby_sprite kd_test_support)
