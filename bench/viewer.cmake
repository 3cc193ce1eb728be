# The datalog viewer offscreen over a one-hour log: first plot, a pan step, a replay tick, and the open of
# the log's file.
if(TARGET torvane_window)
  add_executable(viewer_bench ${CMAKE_CURRENT_SOURCE_DIR}/viewer_bench.cpp)
  target_link_libraries(viewer_bench PRIVATE torvane_window benchmark::benchmark Qt6::Widgets)
endif()
