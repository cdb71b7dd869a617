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

# vivezeru5_cli_case(NAME STATUS ARGUMENTS... [STDOUT_REGEX re] [STDERR_REGEX re])
function(vivezeru5_cli_case name status)
  cmake_parse_arguments(PARSE_ARGV 2 case "" "STDOUT_REGEX;STDERR_REGEX" "")
  list(JOIN case_UNPARSED_ARGUMENTS "|" arguments)
  set(regexes "")
  foreach(stream STDOUT STDERR)
    if(DEFINED case_${stream}_REGEX)
      list(APPEND regexes "-D${stream}_REGEX=${case_${stream}_REGEX}")
    endif()
  endforeach()
  add_test(NAME cli.${name}
    COMMAND ${CMAKE_COMMAND}
            -DTOOL=$<TARGET_FILE:vivezeru5_cli>
            -DWORKING_DIRECTORY=${PROJECT_SOURCE_DIR}
            -DARGUMENTS=${arguments}
            -DEXPECTED_STATUS=${status}
            -DGOLDEN=${VIVEZERU5_CLI_DIR}/golden/${name}
            -DSCRATCH=${VIVEZERU5_CLI_SCRATCH}
            ${regexes}
            -P ${VIVEZERU5_CLI_DIR}/run_case.cmake)
  set_tests_properties(cli.${name} PROPERTIES LABELS cli)
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
vivezeru5_cli_case(show_type5_broken_station  0 show -q ${data}/type5_broken_station.txt)
vivezeru5_cli_case(dump_type5_broken_station  0 dump -q ${data}/type5_broken_station.txt)
vivezeru5_cli_case(show_rozedu_no_levels      0 show -q ${data}/rozedu_no_levels.txt)
vivezeru5_cli_case(show_surface_short         0 show ${data}/surface_short.txt)
vivezeru5_cli_case(dump_surface_short         0 dump ${data}/surface_short.txt)
vivezeru5_cli_case(show_type5_missing_values  0 show --format type5-plain ${data}/type5_missing_values.txt)

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

# Input whose first word never ends: the reading stops there.
if(EXISTS /dev/zero)
  vivezeru5_cli_case(endless_type5         1 show -f type5 /dev/zero)
  vivezeru5_cli_case(endless_type5_plain   1 show --format type5-plain /dev/zero)
  vivezeru5_cli_case(endless_surface       1 dump -f surface /dev/zero)
  vivezeru5_cli_case(endless_rozedu        0 show -f rozedu /dev/zero)
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
  STDERR_REGEX "^vivezeru5: one file at a time${usage}")
vivezeru5_cli_case(usage_unknown_option    2 show --verbose examples/sounding_type5.txt
  STDERR_REGEX "^vivezeru5: unknown option '--verbose'${usage}")
vivezeru5_cli_case(usage_unknown_format    2 show --format=type2 examples/sounding_type5.txt
  STDERR_REGEX "^vivezeru5: unknown format 'type2' \\(formats: type5, type5-plain, rozedu, surface\\)${usage}")
vivezeru5_cli_case(usage_format_without_name 2 dump examples/sounding_type5.txt --format
  STDERR_REGEX "^vivezeru5: --format needs a format: type5, type5-plain, rozedu, surface${usage}")

vivezeru5_cli_case(help                    0 --help
  STDOUT_REGEX "^usage: vivezeru5 show .*--format FORMAT.*--quiet.*exit status: 0 success, 1 the file cannot be read, 2 usage error\n$")
vivezeru5_cli_case(help_after_command      0 show --help
  STDOUT_REGEX "^usage: vivezeru5 show ")
vivezeru5_cli_case(version                 0 --version
  STDOUT_REGEX "^vivezeru5 ${PROJECT_VERSION}\n$")
