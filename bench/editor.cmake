# The parameter editor on the window, offscreen: one commit on Inj-1A and on the Bike page, and a
# switch to a map page.
if(TARGET torvane_shell)
  add_executable(editor_bench ${CMAKE_CURRENT_SOURCE_DIR}/editor_bench.cpp)
  target_link_libraries(editor_bench PRIVATE torvane_shell benchmark::benchmark Qt6::Widgets)
endif()
