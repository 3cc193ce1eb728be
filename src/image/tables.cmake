# Compiled-in data tables: the CSV files in data/ become a generated C++ source at build time.
set(_torvane_table_csvs
  referenceExt=${CMAKE_CURRENT_SOURCE_DIR}/data/reference_ext.csv
  referenceInt=${CMAKE_CURRENT_SOURCE_DIR}/data/reference_int.csv
  referenceIap=${CMAKE_CURRENT_SOURCE_DIR}/data/reference_iap.csv
  advance=${CMAKE_CURRENT_SOURCE_DIR}/data/advance.csv
  injectionB=${CMAKE_CURRENT_SOURCE_DIR}/data/injection_b.csv
  servo=${CMAKE_CURRENT_SOURCE_DIR}/data/servo.csv
  typeTables=${CMAKE_CURRENT_SOURCE_DIR}/data/type_tables.csv)
set(_torvane_table_deps)
foreach(_entry IN LISTS _torvane_table_csvs)
  string(REGEX REPLACE "^[^=]*=" "" _path "${_entry}")
  list(APPEND _torvane_table_deps ${_path})
endforeach()
list(JOIN _torvane_table_csvs "|" _torvane_table_inputs)

add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/table_data.cpp
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/table_data.cpp
          "-DINPUTS=${_torvane_table_inputs}" -P ${CMAKE_CURRENT_SOURCE_DIR}/data/csv_to_cpp.cmake
  DEPENDS ${_torvane_table_deps} ${CMAKE_CURRENT_SOURCE_DIR}/data/csv_to_cpp.cmake
  COMMENT "Converting the data tables to C++"
  VERBATIM)

set(TORVANE_TABLE_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/reference_tables.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/table_data.cpp)
