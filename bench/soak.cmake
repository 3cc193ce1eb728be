# Soak run of reads, verifies and programs against the in-process simulated unit under random line
# faults; prints the outcome table and fails on a transfer that breaks the transfer guarantees.
if(TARGET torvane_link AND TARGET torvane_sim AND TARGET torvane_files)
  add_executable(soak_bench ${CMAKE_CURRENT_SOURCE_DIR}/soak_bench.cpp)
  target_link_libraries(soak_bench PRIVATE torvane_link torvane_sim torvane_files)
endif()
