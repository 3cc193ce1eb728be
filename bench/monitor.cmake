# One monitor frame end to end: decode, readout rules, and the Monitor page updated offscreen.
if(TARGET torvane_window AND TARGET torvane_sim)
  add_executable(monitor_bench ${CMAKE_CURRENT_SOURCE_DIR}/monitor_bench.cpp)
  target_link_libraries(monitor_bench PRIVATE torvane_window torvane_sim benchmark::benchmark Qt6::Widgets)
endif()
