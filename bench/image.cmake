# Normalization and the injection percentage view over filled images.
if(TARGET torvane_image)
  add_executable(image_bench ${CMAKE_CURRENT_SOURCE_DIR}/image_bench.cpp)
  target_link_libraries(image_bench PRIVATE torvane_image benchmark::benchmark_main)
endif()
