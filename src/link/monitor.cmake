# Monitor frame decoding and the readout rules of the Monitor page (plain C++).
set(TORVANE_MONITOR_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/live_values.h
  ${CMAKE_CURRENT_SOURCE_DIR}/monitor_decoder.cpp ${CMAKE_CURRENT_SOURCE_DIR}/monitor_decoder.h
  ${CMAKE_CURRENT_SOURCE_DIR}/monitor_readout.cpp ${CMAKE_CURRENT_SOURCE_DIR}/monitor_readout.h
)
