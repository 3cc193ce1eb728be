# Datalogs: reading a one-hour log, and the per-frame cost of writing a row and of replaying one.
if(TARGET torvane_files AND TARGET torvane_sim)
  add_executable(datalog_bench ${CMAKE_CURRENT_SOURCE_DIR}/datalog_bench.cpp)
  target_link_libraries(datalog_bench PRIVATE torvane_files torvane_sim benchmark::benchmark_main)
endif()
