# Whole transfers against the in-process simulated unit, counted in ticks.
if(TARGET torvane_link AND TARGET torvane_sim)
  add_executable(link_bench ${CMAKE_CURRENT_SOURCE_DIR}/link_bench.cpp)
  target_link_libraries(link_bench PRIVATE torvane_link torvane_sim benchmark::benchmark_main)
endif()
