# Defaults of the start-up motorcycle type over all pages.
if(TARGET torvane_image)
  add_executable(defaults_bench ${CMAKE_CURRENT_SOURCE_DIR}/defaults_bench.cpp)
  target_link_libraries(defaults_bench PRIVATE torvane_image benchmark::benchmark_main)
endif()
