# Rendering engine benchmarks that need no GL context: the per-frame matrix work and the refill of
# a geometry buffer.
if(TARGET zarvel_gl)
  add_executable(gl_types_bench ${CMAKE_CURRENT_LIST_DIR}/gl_types_bench.cpp)
  target_link_libraries(gl_types_bench PRIVATE zarvel_gl benchmark::benchmark_main zarvel_warnings)
endif()
