# The long run of random tuner operations on the window against the simulated unit (the random test of
# app_tests runs a short one): sequences, steps, violations and the wall time.
if(TARGET torvane_random_operations)
  add_executable(random_operations_bench ${CMAKE_CURRENT_SOURCE_DIR}/random_operations_bench.cpp)
  target_link_libraries(random_operations_bench PRIVATE torvane_random_operations Qt6::Widgets)
endif()
