# Conversion engine benchmark: generation of the four built-in test drawings.
if(TARGET Zarvel3D)
  add_executable(engine_generation_bench ${CMAKE_CURRENT_LIST_DIR}/engine_generation_bench.cpp)
  target_include_directories(engine_generation_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/zarvel3d)
  target_link_libraries(engine_generation_bench PRIVATE Zarvel3D benchmark::benchmark zarvel_warnings)
endif()
