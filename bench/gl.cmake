# Rendering engine benchmarks: the per-frame matrix work and the refill of a geometry buffer (no
# context), and the preparation and drawing of a 1M-triangle scene (the drawing needs a display).
if(TARGET zarvel_gl)
  add_executable(gl_types_bench ${CMAKE_CURRENT_LIST_DIR}/gl_types_bench.cpp)
  target_link_libraries(gl_types_bench PRIVATE zarvel_gl benchmark::benchmark_main zarvel_warnings)
endif()
if(TARGET zarvel_gl AND TARGET Zarvel3D)
  find_package(GLUT REQUIRED)
  add_executable(gl_scene_bench ${CMAKE_CURRENT_LIST_DIR}/gl_scene_bench.cpp)
  target_link_libraries(gl_scene_bench PRIVATE zarvel_gl Zarvel3D GLUT::GLUT benchmark::benchmark_main
    zarvel_warnings)
endif()
