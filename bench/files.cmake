# Parameter file writing and reading: one file of type 32, the defaults of all 50 types, Save All New.
if(TARGET torvane_files)
  add_executable(files_bench ${CMAKE_CURRENT_SOURCE_DIR}/files_bench.cpp)
  target_link_libraries(files_bench PRIVATE torvane_files benchmark::benchmark_main)
endif()
