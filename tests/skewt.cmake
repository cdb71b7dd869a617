# The skew-T diagram: exact output for a bundled example, usage and failures,
# the SVG's structure, every real sounding, and the tool's own thermodynamics.
if(NOT TARGET vivezeru5_cli)
  return()
endif()

set(data tests/cli/data)

vivezeru5_cli_case(skewt_type5             0 skewt examples/sounding_type5.txt)
vivezeru5_cli_case(skewt_station_to_file   0 skewt --station=10001 -o ${VIVEZERU5_CLI_SCRATCH}/skewt_10001.svg
                                              examples/sounding_type5.txt)
vivezeru5_cli_case(skewt_read_with_problems 3 skewt -o ${VIVEZERU5_CLI_SCRATCH}/skewt_truncated.svg
                                              ${data}/rozedu_truncated.txt)
vivezeru5_cli_case(skewt_help              0 skewt --help
  STDOUT_REGEX "^usage: vivezeru5 skewt \\[--format FORMAT\\] FILE \\[--station ID\\] \\[--sounding N\\] \\[-o OUT.svg\\]\n")
vivezeru5_cli_case(skewt_surface           1 skewt examples/surface_type1.txt
  STDERR_REGEX "^vivezeru5: examples/surface_type1.txt: surface reports have no sounding to draw\n$")
vivezeru5_cli_case(skewt_unknown_station   1 skewt --station 99999 examples/sounding_type5.txt
  STDERR_REGEX "^vivezeru5: examples/sounding_type5.txt: no station 99999 in the file, whose soundings are 0 to 2\n$")
vivezeru5_cli_case(skewt_no_stations       1 skewt --format rozedu ${data}/empty.txt
  STDERR_REGEX "^vivezeru5: tests/cli/data/empty.txt: no station in the file\n$")
vivezeru5_cli_case(skewt_missing_file      1 skewt ${data}/no_such_file.txt
  STDERR_REGEX "^vivezeru5: tests/cli/data/no_such_file.txt: cannot open: ")
vivezeru5_cli_case(skewt_unrecognised      1 skewt ${data}/unrecognised.txt
  STDERR_REGEX "^vivezeru5: tests/cli/data/unrecognised.txt: format not recognised; name it with --format ")
vivezeru5_cli_case(skewt_unwritable        1 skewt -o ${data}/no_such_directory/out.svg examples/sounding_type5.txt
  STDERR_REGEX "^vivezeru5: tests/cli/data/no_such_directory/out.svg: cannot write the diagram: ")
vivezeru5_cli_case(skewt_usage_no_file     2 skewt --station 10001
  STDERR_REGEX "^vivezeru5: no file given\nusage: vivezeru5 skewt ")
vivezeru5_cli_case(skewt_usage_station_without_id 2 skewt examples/sounding_type5.txt --station
  STDERR_REGEX "^vivezeru5: --station needs a station id\n")
vivezeru5_cli_case(skewt_usage_two_files   2 skewt examples/sounding_type5.txt examples/sounding_rozedu.txt
  STDERR_REGEX "^vivezeru5: one file at a time\n")

if(EXISTS /usr/bin/python3)
  add_test(NAME skewt.svg_structure
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/skewt/check_skewt.py examples
            $<TARGET_FILE:vivezeru5_cli> ${PROJECT_SOURCE_DIR})
  add_test(NAME skewt.real_soundings
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/skewt/check_skewt.py real
            $<TARGET_FILE:vivezeru5_cli> ${VIVEZERU5_REAL_DATA} ${CMAKE_CURRENT_SOURCE_DIR}/skewt/real_digests.txt)
  set_tests_properties(skewt.svg_structure skewt.real_soundings PROPERTIES LABELS "cli;skewt" SKIP_RETURN_CODE 77)
endif()

if(TARGET GTest::gtest_main)
  add_executable(vivezeru5_skewt_tests skewt/skewt_test.cpp
    ${PROJECT_SOURCE_DIR}/tools/skewt_thermodynamics.cpp
    ${PROJECT_SOURCE_DIR}/tools/skewt_geometry.cpp)
  target_include_directories(vivezeru5_skewt_tests PRIVATE ${PROJECT_SOURCE_DIR}/tools)
  target_link_libraries(vivezeru5_skewt_tests PRIVATE vivezeru5_reading GTest::gtest_main)
  gtest_discover_tests(vivezeru5_skewt_tests DISCOVERY_TIMEOUT 60)
endif()
