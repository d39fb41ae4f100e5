add_executable(support_bench ${CMAKE_CURRENT_LIST_DIR}/support_bench.cpp)
target_link_libraries(support_bench PRIVATE zarvel_support zarvel_warnings benchmark::benchmark_main)
