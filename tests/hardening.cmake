# Hardening suites: the token scanner against the C library, hostile files,
# memory in proportion to the file, and reading on several threads at once.
# Processed in the tests/ directory, next to vivezeru5_test_support.

# The C library's reading of each format, which predicts every block.
add_library(vivezeru5_reader_model STATIC reader_model.cpp)
target_link_libraries(vivezeru5_reader_model PUBLIC vivezeru5_objects)
target_include_directories(vivezeru5_reader_model PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

add_executable(vivezeru5_hardening_tests
  scanner_differential_test.cpp
  hostile_files_test.cpp
)
find_package(Threads REQUIRED)
target_link_libraries(vivezeru5_hardening_tests PRIVATE vivezeru5_reader_model vivezeru5_test_support GTest::gtest_main
  Threads::Threads)
target_compile_definitions(vivezeru5_hardening_tests PRIVATE
  VIVEZERU5_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
gtest_discover_tests(vivezeru5_hardening_tests DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS hardening TIMEOUT 600)

# Reading on four threads at once; the tsan preset runs the tests labelled threads.
add_executable(vivezeru5_thread_tests threads_test.cpp)
target_link_libraries(vivezeru5_thread_tests PRIVATE vivezeru5_reader_model vivezeru5_test_support
  GTest::gtest_main Threads::Threads)
target_compile_definitions(vivezeru5_thread_tests PRIVATE
  VIVEZERU5_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
gtest_discover_tests(vivezeru5_thread_tests DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS threads TIMEOUT 600)

# Allocation counting replaces malloc, so it has an executable of its own.
add_executable(vivezeru5_memory_tests memory_test.cpp)
target_link_libraries(vivezeru5_memory_tests PRIVATE vivezeru5_reader_model vivezeru5_test_support
  GTest::gtest_main)
target_compile_definitions(vivezeru5_memory_tests PRIVATE
  VIVEZERU5_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples"
  VIVEZERU5_FUZZ_CORPUS_DIR="${PROJECT_SOURCE_DIR}/fuzz/corpus")
gtest_discover_tests(vivezeru5_memory_tests DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS hardening TIMEOUT 600)

# Every reader on the files named on its command line, checked against the
# model; run under valgrind by .ci/steps/valgrind.sh.
add_executable(vivezeru5_read_files read_files_driver.cpp)
target_link_libraries(vivezeru5_read_files PRIVATE vivezeru5_reader_model)
