# Whole transfers over the real serial adapter against torvane-unit-sim on a pseudo-terminal, at the
# window's real 55 ms tick.
if(TARGET torvane_cli AND TARGET torvane_link_qt AND TARGET torvane-unit-sim)
  add_executable(transfer_pty_bench ${CMAKE_CURRENT_SOURCE_DIR}/transfer_pty_bench.cpp)
  target_link_libraries(transfer_pty_bench PRIVATE torvane_cli torvane_files benchmark::benchmark)
  target_include_directories(transfer_pty_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_dependencies(transfer_pty_bench torvane-unit-sim)
  target_compile_definitions(transfer_pty_bench PRIVATE TORVANE_UNIT_SIM_PATH="$<TARGET_FILE:torvane-unit-sim>")
endif()
