# libFuzzer target for the poll of the serial byte stream (transfer answers and monitor frames), with a
# short run on the seed corpus as a unit test.
target_compile_options(torvane_link PRIVATE -fsanitize=fuzzer-no-link)  # coverage for the session
torvane_fuzz_target(link_poll ${CMAKE_CURRENT_SOURCE_DIR}/link_poll_fuzz.cpp torvane_link 5000 8192
                    ${PROJECT_SOURCE_DIR}/tests/link/data/corpus_link_poll)
