if(KD_GUI)
  kd_add_bench(bench_kromby_gui SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/kromby_gui.cpp
               LIBS kromby_app kd_test_support)
endif()
