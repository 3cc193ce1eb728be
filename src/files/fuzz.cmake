# libFuzzer target for the parameter file reader, with a short run on the seed corpus as a unit test.
target_compile_options(torvane_files PRIVATE -fsanitize=fuzzer-no-link)  # coverage for the reader
add_executable(parameter_file_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/parameter_file_fuzz.cpp)
target_compile_options(parameter_file_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(parameter_file_fuzz PRIVATE -fsanitize=fuzzer)
target_link_libraries(parameter_file_fuzz PRIVATE torvane_files)
# New inputs go to the first directory, so the seeds in the source tree stay as they are.
set(PARAMETER_FILE_FUZZ_WORK ${CMAKE_CURRENT_BINARY_DIR}/parameter_file_corpus)
file(MAKE_DIRECTORY ${PARAMETER_FILE_FUZZ_WORK})
add_test(NAME parameter_file_fuzz_smoke
         COMMAND parameter_file_fuzz -runs=2000 -max_len=16384 -seed=1 ${PARAMETER_FILE_FUZZ_WORK}
                 ${PROJECT_SOURCE_DIR}/tests/files/data/corpus)
set_tests_properties(parameter_file_fuzz_smoke PROPERTIES LABELS unit TIMEOUT 120)

# The datalog reader, the same way.
add_executable(datalog_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/datalog_fuzz.cpp)
target_compile_options(datalog_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(datalog_fuzz PRIVATE -fsanitize=fuzzer)
target_link_libraries(datalog_fuzz PRIVATE torvane_files)
set(DATALOG_FUZZ_WORK ${CMAKE_CURRENT_BINARY_DIR}/datalog_corpus)
file(MAKE_DIRECTORY ${DATALOG_FUZZ_WORK})
add_test(NAME datalog_fuzz_smoke
         COMMAND datalog_fuzz -runs=5000 -max_len=16384 -seed=1 ${DATALOG_FUZZ_WORK}
                 ${PROJECT_SOURCE_DIR}/tests/files/data/corpus_datalog)
set_tests_properties(datalog_fuzz_smoke PROPERTIES LABELS unit TIMEOUT 120)
