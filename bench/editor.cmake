# The parameter editor on the window, offscreen: one commit on Inj-1A and on the Bike page, and a
# switch to a map page.
if(TARGET torvane_window)
  add_executable(editor_bench ${CMAKE_CURRENT_SOURCE_DIR}/editor_bench.cpp)
  target_link_libraries(editor_bench PRIVATE torvane_window benchmark::benchmark Qt6::Widgets)
endif()
