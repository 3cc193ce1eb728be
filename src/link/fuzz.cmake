# libFuzzer target for the poll of the serial byte stream (transfer answers and monitor frames), with a
# short run on the seed corpus as a unit test.
target_compile_options(torvane_link PRIVATE -fsanitize=fuzzer-no-link)  # coverage for the session
add_executable(link_poll_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/link_poll_fuzz.cpp)
target_compile_options(link_poll_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(link_poll_fuzz PRIVATE -fsanitize=fuzzer)
target_link_libraries(link_poll_fuzz PRIVATE torvane_link)
# New inputs go to the first directory, so the seeds in the source tree stay as they are.
set(LINK_POLL_FUZZ_WORK ${CMAKE_CURRENT_BINARY_DIR}/link_poll_corpus)
file(MAKE_DIRECTORY ${LINK_POLL_FUZZ_WORK})
add_test(NAME link_poll_fuzz_smoke
         COMMAND link_poll_fuzz -runs=5000 -max_len=8192 -seed=1 ${LINK_POLL_FUZZ_WORK}
                 ${PROJECT_SOURCE_DIR}/tests/link/data/corpus_link_poll)
set_tests_properties(link_poll_fuzz_smoke PROPERTIES LABELS unit TIMEOUT 120)
