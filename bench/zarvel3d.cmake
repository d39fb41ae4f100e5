# Conversion library benchmarks: ImportSTL in-process, and the whole-process import + export
# tool with its Open CASCADE peer (compared by bench/zarvel3d_compare.sh).
if(TARGET Zarvel3D)
  add_executable(zarvel3d_bench ${CMAKE_CURRENT_LIST_DIR}/zarvel3d_bench.cpp)
  target_link_libraries(zarvel3d_bench PRIVATE Zarvel3D benchmark::benchmark zarvel_warnings)

  add_executable(zarvel3d_stl ${CMAKE_CURRENT_LIST_DIR}/zarvel3d_stl.cpp)
  target_link_libraries(zarvel3d_stl PRIVATE Zarvel3D zarvel_warnings)

  add_executable(zarvel3d_occ_rwstl ${CMAKE_CURRENT_LIST_DIR}/zarvel3d_occ_rwstl.cpp)
  target_include_directories(zarvel3d_occ_rwstl SYSTEM PRIVATE ${ZARVEL_OCCT_INCLUDE_DIR})
  target_link_libraries(zarvel3d_occ_rwstl PRIVATE ${ZARVEL_OCCT_LIBRARIES})
endif()
