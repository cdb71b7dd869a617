# Hardening suites: the token scanner against the C library, hostile files,
# memory in proportion to the file, and reading on several threads at once.
# Processed in the tests/ directory, next to vivezeru5_test_support.

add_executable(vivezeru5_hardening_tests
  scanner_differential_test.cpp
)
target_link_libraries(vivezeru5_hardening_tests PRIVATE vivezeru5_test_support GTest::gtest_main)
target_compile_definitions(vivezeru5_hardening_tests PRIVATE
  VIVEZERU5_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples")
gtest_discover_tests(vivezeru5_hardening_tests DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS hardening TIMEOUT 600)
