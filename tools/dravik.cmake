# Dravik's demo game directory (image cache and palette package) and a config.ini beside the
# programs naming its package.
add_executable(make-demo-cache ${CMAKE_CURRENT_SOURCE_DIR}/make_demo_cache.cpp)
target_link_libraries(make-demo-cache PRIVATE dravik_fixtures)
set_target_properties(make-demo-cache PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(KD_DEMO_GAME ${KD_OUT_DIR}/demo/game)
add_custom_command(
  OUTPUT ${KD_DEMO_GAME}/v3d_cache/v3d.hdr ${KD_DEMO_GAME}/v3d_cache/v3d.dat
         ${KD_DEMO_GAME}/mypal.wdf ${KD_OUT_DIR}/config.ini
  COMMAND make-demo-cache ${KD_DEMO_GAME} ${KD_OUT_DIR}/config.ini
  DEPENDS make-demo-cache
  COMMENT "Writing the demo image cache")
add_custom_target(demo-cache DEPENDS ${KD_DEMO_GAME}/v3d_cache/v3d.hdr)
add_dependencies(demo-data demo-cache)
