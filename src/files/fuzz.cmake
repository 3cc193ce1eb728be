# libFuzzer targets for the parameter file reader and the datalog reader, each with a short run on its
# seed corpus as a unit test.
target_compile_options(torvane_files PRIVATE -fsanitize=fuzzer-no-link)  # coverage for the readers
torvane_fuzz_target(parameter_file ${CMAKE_CURRENT_SOURCE_DIR}/parameter_file_fuzz.cpp torvane_files 2000 16384
                    ${PROJECT_SOURCE_DIR}/tests/files/data/corpus)
torvane_fuzz_target(datalog ${CMAKE_CURRENT_SOURCE_DIR}/datalog_fuzz.cpp torvane_files 5000 16384
                    ${PROJECT_SOURCE_DIR}/tests/files/data/corpus_datalog)
