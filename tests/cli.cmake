# Exact-output tests of the command-line tool: each case runs the built tool in
# the source directory and compares its standard output, standard error and
# exit status with tests/cli/golden/NAME.stdout and NAME.stderr (a missing file
# means the stream stays empty), or with a regular expression.
#
# To refresh the golden files after an intended change of output:
#   VIVEZERU5_UPDATE_GOLDEN=1 ctest --test-dir BUILD -L cli
# and review the difference before committing it.
if(NOT TARGET vivezeru5_cli)
  return()
endif()


set(VIVEZERU5_CLI_DIR ${CMAKE_CURRENT_SOURCE_DIR}/cli)
set(VIVEZERU5_CLI_SCRATCH ${CMAKE_CURRENT_BINARY_DIR}/cli)
file(MAKE_DIRECTORY ${VIVEZERU5_CLI_SCRATCH})

# vivezeru5_cli_case(NAME STATUS ARGUMENTS... [STDOUT_REGEX re] [STDERR_REGEX re]
#                    [IN directory] [REQUIRES path] [TRUNCATED_COPY source|bytes|name]
#                    [OUTPUT_FILE path])
# IN runs the tool there instead of the source directory; a case whose
# REQUIRES path is absent reports itself skipped.
function(vivezeru5_cli_case name status)
  cmake_parse_arguments(PARSE_ARGV 2 case ""
    "STDOUT_REGEX;STDERR_REGEX;IN;REQUIRES;TRUNCATED_COPY;OUTPUT_FILE" "")
  list(JOIN case_UNPARSED_ARGUMENTS "|" arguments)
  set(extra "")
  foreach(option STDOUT_REGEX STDERR_REGEX REQUIRES TRUNCATED_COPY OUTPUT_FILE)
    if(DEFINED case_${option})
      list(APPEND extra "-D${option}=${case_${option}}")
    endif()
  endforeach()
  set(directory ${PROJECT_SOURCE_DIR})
  if(DEFINED case_IN)
    set(directory ${case_IN})
  endif()
  add_test(NAME cli.${name}
    COMMAND ${CMAKE_COMMAND}
            -DTOOL=$<TARGET_FILE:vivezeru5_cli>
            -DWORKING_DIRECTORY=${directory}
            -DARGUMENTS=${arguments}
            -DEXPECTED_STATUS=${status}
            -DGOLDEN=${VIVEZERU5_CLI_DIR}/golden/${name}
            -DSCRATCH=${VIVEZERU5_CLI_SCRATCH}
            ${extra}
            -P ${VIVEZERU5_CLI_DIR}/run_case.cmake)
  set_tests_properties(cli.${name} PROPERTIES LABELS cli SKIP_REGULAR_EXPRESSION "SKIPPED: ")
endfunction()

set(data tests/cli/data)

# The shipped examples, each format recognised from the file itself.
vivezeru5_cli_case(show_type5              0 show examples/sounding_type5.txt)
vivezeru5_cli_case(show_type5_quiet        0 show --quiet examples/sounding_type5.txt)
vivezeru5_cli_case(dump_type5              0 dump -q examples/sounding_type5.txt)
vivezeru5_cli_case(show_rozedu             0 show examples/sounding_rozedu.txt)
vivezeru5_cli_case(dump_rozedu             0 dump --quiet examples/sounding_rozedu.txt)
vivezeru5_cli_case(show_type5_decimal      0 show examples/sounding_type5_decimal.txt)
vivezeru5_cli_case(dump_type5_decimal      0 dump examples/sounding_type5_decimal.txt)
vivezeru5_cli_case(show_surface            0 show examples/surface_type1.txt)
vivezeru5_cli_case(dump_surface            0 dump examples/surface_type1.txt)

# The reader named explicitly, overriding recognition.
vivezeru5_cli_case(show_type5_as_plain     0 show --format=type5-plain examples/sounding_type5.txt)
vivezeru5_cli_case(dump_type5_as_plain     0 dump -f type5-plain examples/sounding_type5.txt)
vivezeru5_cli_case(show_empty_as_rozedu    0 show --format rozedu ${data}/empty.txt)

# Files that end early or carry unusual stations.
vivezeru5_cli_case(show_type5_broken_station  3 show -q ${data}/type5_broken_station.txt)
vivezeru5_cli_case(dump_type5_broken_station  3 dump -q ${data}/type5_broken_station.txt)
vivezeru5_cli_case(show_rozedu_no_levels      0 show -q ${data}/rozedu_no_levels.txt)
vivezeru5_cli_case(show_surface_short         3 show ${data}/surface_short.txt)
vivezeru5_cli_case(dump_surface_short         3 dump ${data}/surface_short.txt)
vivezeru5_cli_case(show_type5_missing_values  0 show --format type5-plain ${data}/type5_missing_values.txt)

# Quality flags: a station without 500 hPa, a high station whose surface lies
# above 850 hPa, a missing 850 hPa dew point, a one-level station and one
# without levels; the examples hold a CAPE without EL and soundings without LFC.
vivezeru5_cli_case(show_type5_flags        0 show ${data}/type5_flags.txt)
vivezeru5_cli_case(csv_type5_flags         0 show --csv ${data}/type5_flags.txt)
vivezeru5_cli_case(json_type5_flags        0 show --json ${data}/type5_flags.txt)
vivezeru5_cli_case(csv_type5               0 show --csv examples/sounding_type5.txt)
vivezeru5_cli_case(json_rozedu             0 show --json examples/sounding_rozedu.txt)
vivezeru5_cli_case(csv_rozedu              0 show --csv -q examples/sounding_rozedu.txt)
vivezeru5_cli_case(csv_type5_decimal       0 show --csv examples/sounding_type5_decimal.txt)
vivezeru5_cli_case(json_type5_decimal      0 show --json examples/sounding_type5_decimal.txt)
vivezeru5_cli_case(csv_surface             0 show --csv examples/surface_type1.txt)
vivezeru5_cli_case(json_surface            0 show --json examples/surface_type1.txt)
vivezeru5_cli_case(json_type5_missing_values 0 show --json -f type5-plain ${data}/type5_missing_values.txt)
# The progress lines only with --verbose, and then on standard error.
vivezeru5_cli_case(csv_type5_verbose       0 show --csv --verbose examples/sounding_type5.txt)

# Files read with problems: status 3, one line per problem on standard error.
vivezeru5_cli_case(show_type5_truncated    3 show ${data}/type5_truncated.txt)
vivezeru5_cli_case(csv_type5_corrupted_id  3 show --csv ${data}/type5_corrupted_id.txt)
# What the library reads is what the tool reports: a station count beyond 32
# bits is cut to its low 32 bits (1 station, read whole), and "1e+" in a
# decimal file converts as 1.
vivezeru5_cli_case(csv_type5_station_count_beyond_32_bits 0 show --csv ${data}/type5_station_count_beyond_32_bits.txt)
vivezeru5_cli_case(show_type5_exponent_without_digits 0 show ${data}/type5_exponent_without_digits.txt)
vivezeru5_cli_case(csv_type5_stray_word    3 show --csv ${data}/type5_stray_word.txt)
vivezeru5_cli_case(csv_type5_late_decimal  3 show --csv ${data}/type5_late_decimal.txt)
vivezeru5_cli_case(csv_rozedu_truncated    3 show --csv ${data}/rozedu_truncated.txt)
vivezeru5_cli_case(json_type5_value_count  3 show --json ${data}/type5_value_count.txt)
vivezeru5_cli_case(dump_type5_truncated    3 dump ${data}/type5_truncated.txt)

# Many files: directories walked in name order, rows in input order on any
# number of threads, bad files reported and skipped, a summary line.
vivezeru5_cli_case(batch_examples          0 batch -j 3 examples)
vivezeru5_cli_case(batch_examples_json     0 batch --json -j 2 examples/sounding_rozedu.txt examples/surface_type1.txt)
vivezeru5_cli_case(batch_problems          3 batch --jobs=2 ${data}/type5_corrupted_id.txt ${data}/type5_flags.txt
                                             ${data}/rozedu_truncated.txt)
vivezeru5_cli_case(batch_failures          1 batch -j 4 ${data}/type5_truncated.txt ${data}/no_such_file.txt
                                             ${data}/unrecognised.txt examples/sounding_type5.txt ${data}/type5_bad_tag.txt)
vivezeru5_cli_case(batch_output_file       0 batch --json -o ${VIVEZERU5_CLI_SCRATCH}/batch_output_file.json
                                             examples/sounding_type5.txt
  OUTPUT_FILE ${VIVEZERU5_CLI_SCRATCH}/batch_output_file.json)
vivezeru5_cli_case(batch_empty_directory   0 batch ${data}/empty_directory)
# A directory of an archive: files that hold no station data (a README, an
# empty file, a binary file) are skipped and counted, a .gz file is read as
# the file it holds; --include and --exclude choose among the walked files.
# A file named on the command line still fails.
set(tree ${data}/archive_tree)
vivezeru5_cli_case(batch_archive_tree      0 batch -j 2 ${tree})
vivezeru5_cli_case(batch_archive_include   0 batch --include *.gz ${tree})
vivezeru5_cli_case(batch_archive_exclude   0 batch --exclude soundings/* ${tree})
vivezeru5_cli_case(batch_named_foreign     1 batch ${tree}/README.md)
vivezeru5_cli_case(show_gz                 0 show --csv ${tree}/soundings/sounding_type5.txt.gz)
# One station of a file: by id, by its place in the file.
vivezeru5_cli_case(show_station            0 show --csv --station 10002 examples/sounding_type5.txt)
vivezeru5_cli_case(show_sounding           0 show --json --sounding 1 examples/sounding_rozedu.txt)
vivezeru5_cli_case(show_no_such_station    1 show --station 99 examples/sounding_type5.txt)
# Several reading threads: also run in the thread-sanitizer build.
set_tests_properties(cli.batch_examples cli.batch_problems cli.batch_failures PROPERTIES LABELS "cli;threads")

# NaN, spelled in the file or computed (no 850 hPa level: Showalter index),
# is stored as the one positive quiet NaN: dump prints "nan", never "-nan".
vivezeru5_cli_case(dump_type5_without_850     0 dump -q ${data}/type5_without_850.txt)
vivezeru5_cli_case(dump_type5_nan_values      0 dump -f type5-plain ${data}/type5_nan_values.txt)
vivezeru5_cli_case(dump_rozedu_nan_values     0 dump -q ${data}/rozedu_nan_values.txt)
vivezeru5_cli_case(dump_surface_nan_values    0 dump ${data}/surface_nan_values.txt)

# Files that cannot be read: status 1 and a message naming the file.
vivezeru5_cli_case(missing_file            1 show ${data}/no_such_file.txt)
vivezeru5_cli_case(missing_file_explicit   1 dump --format type5 ${data}/no_such_file.txt)
vivezeru5_cli_case(missing_file_surface    1 show --format surface ${data}/no_such_file.txt)
vivezeru5_cli_case(rejected_tag            1 show ${data}/type5_bad_tag.txt)
vivezeru5_cli_case(rejected_surface        1 show ${data}/surface_no_station.txt)
vivezeru5_cli_case(unrecognised            1 show ${data}/unrecognised.txt)
vivezeru5_cli_case(unrecognised_empty      1 dump ${data}/empty.txt)
vivezeru5_cli_case(show_directory          1 show examples)

# Input whose first word never ends: the reading stops there.
if(EXISTS /dev/zero)
  vivezeru5_cli_case(endless_type5         1 show -f type5 /dev/zero)
  vivezeru5_cli_case(endless_type5_plain   1 show --format type5-plain /dev/zero)
  vivezeru5_cli_case(endless_surface       1 dump -f surface /dev/zero)
  vivezeru5_cli_case(endless_rozedu        3 show -f rozedu /dev/zero)
  vivezeru5_cli_case(endless_unrecognised  1 show /dev/zero)
endif()

# Usage: status 2, nothing on standard output.
set(usage "\nusage: vivezeru5 show ")
vivezeru5_cli_case(usage_no_command        2
  STDERR_REGEX "^vivezeru5: no command given${usage}")
vivezeru5_cli_case(usage_unknown_command   2 list examples/sounding_type5.txt
  STDERR_REGEX "^vivezeru5: unknown command 'list'${usage}")
vivezeru5_cli_case(usage_no_file           2 show -q
  STDERR_REGEX "^vivezeru5: no file given${usage}")
vivezeru5_cli_case(usage_two_files         2 show examples/sounding_type5.txt examples/surface_type1.txt
  STDERR_REGEX "^vivezeru5: one file at a time \\(batch reads many\\)${usage}")
vivezeru5_cli_case(usage_unknown_option    2 show --loud examples/sounding_type5.txt
  STDERR_REGEX "^vivezeru5: unknown option '--loud'${usage}")
vivezeru5_cli_case(usage_unknown_format    2 show --format=type2 examples/sounding_type5.txt
  STDERR_REGEX "^vivezeru5: unknown format 'type2' \\(formats: type5, type5-plain, rozedu, surface\\)${usage}")
vivezeru5_cli_case(usage_format_without_name 2 dump examples/sounding_type5.txt --format
  STDERR_REGEX "^vivezeru5: --format needs a format: type5, type5-plain, rozedu, surface${usage}")

vivezeru5_cli_case(usage_batch_no_file     2 batch -j 2
  STDERR_REGEX "^vivezeru5: no file or directory given${usage}")
vivezeru5_cli_case(usage_batch_jobs        2 batch -j 0 examples
  STDERR_REGEX "^vivezeru5: -j needs a number of files at a time, 1 to 1024${usage}")
vivezeru5_cli_case(usage_csv_and_json      2 show --csv --json examples/sounding_type5.txt
  STDERR_REGEX "^vivezeru5: --csv and --json exclude each other${usage}")
vivezeru5_cli_case(usage_dump_csv          2 dump --csv examples/sounding_type5.txt
  STDERR_REGEX "^vivezeru5: unknown option '--csv'${usage}")

vivezeru5_cli_case(help                    0 --help
  STDOUT_REGEX "^usage: vivezeru5 show .*--format FORMAT.*--quiet.*exit status: 0 read whole, 3 read with problems, 1 the file cannot be read,\n2 usage error\n$")
vivezeru5_cli_case(help_after_command      0 show --help
  STDOUT_REGEX "^usage: vivezeru5 show ")
vivezeru5_cli_case(version                 0 --version
  STDOUT_REGEX "^vivezeru5 ${PROJECT_VERSION}\n$")

# The real soundings kept beside the repository (shared/data/real): station
# rows only, never their levels. Skipped, saying so, when they are absent.
set(real ${VIVEZERU5_REAL_DATA})
foreach(set type5_int type5_dec rozedu filled)
  vivezeru5_cli_case(real_batch_${set}     0 batch -j 2 ${set} IN ${real} REQUIRES ${real}/${set})
endforeach()
vivezeru5_cli_case(real_batch_combined     0 batch type5_int.txt type5_dec.txt rozedu.txt
  IN ${real} REQUIRES ${real}/type5_int.txt)
vivezeru5_cli_case(real_batch_peer         0 batch peer/type5_int.txt peer/type5_dec.txt peer/rozedu.txt
  IN ${real} REQUIRES ${real}/peer)
vivezeru5_cli_case(real_batch_json         0 batch --json -j 2 type5_int
  IN ${real} REQUIRES ${real}/type5_int)
# Four soundings of station 72357 in one file: the id alone is ambiguous, the
# place in the file chooses; a year written as 99 is shown as 1999.
vivezeru5_cli_case(real_show_ambiguous     1 show --station 72357 type5_int.txt
  IN ${real} REQUIRES ${real}/type5_int.txt)
vivezeru5_cli_case(real_show_sounding      0 show --csv --station 72357 --sounding 6 type5_int.txt
  IN ${real} REQUIRES ${real}/type5_int.txt)
vivezeru5_cli_case(real_skewt_ambiguous    1 skewt type5_int.txt --station 72357
  IN ${real} REQUIRES ${real}/type5_int.txt)
vivezeru5_cli_case(real_two_digit_year     0 show --csv type5_int/OUN_1999050400.txt
  IN ${real} REQUIRES ${real}/type5_int/OUN_1999050400.txt)
# A copy of a real sounding cut off after 300 bytes: "levels 67", most of them
# never read, is reported.
vivezeru5_cli_case(real_truncated          3 batch OAX_2014061619_cut.txt
  IN ${VIVEZERU5_CLI_SCRATCH} REQUIRES ${real}/type5_int/OAX_2014061619.txt
  TRUNCATED_COPY ${real}/type5_int/OAX_2014061619.txt|300|OAX_2014061619_cut.txt)

# CSV and JSON read back with Python's csv and json modules, flags included,
# and the flags expected on known soundings.
if(EXISTS /usr/bin/python3)
  add_test(NAME cli.parse_back
    COMMAND /usr/bin/python3 ${VIVEZERU5_CLI_DIR}/parse_back.py $<TARGET_FILE:vivezeru5_cli>
            ${PROJECT_SOURCE_DIR} ${VIVEZERU5_CLI_SCRATCH} ${VIVEZERU5_REAL_DATA})
  set_tests_properties(cli.parse_back PROPERTIES LABELS cli)
endif()
