# Runs the command-line tool once and compares what it writes with the
# expected output of the case.
#
#   -DTOOL=path of the built tool        -DWORKING_DIRECTORY=where it runs
#   -DARGUMENTS=arguments separated by |  -DEXPECTED_STATUS=exit status
#   -DGOLDEN=golden/NAME: NAME.stdout and NAME.stderr hold the exact expected
#            output (a stream without its file must stay empty)
#   -DSCRATCH=directory for the actual output of a failing case
#   -DSTDOUT_REGEX=... / -DSTDERR_REGEX=...: match instead of a golden file
#   -DEMULATOR=program and arguments (separated by |) that run TOOL, for a
#            program built for another system
#   -DCRLF_AS_LF=ON: read the output's CRLF line ends as LF (Windows programs)
#
#   -DREQUIRES=path: the case is skipped (prints "SKIPPED: ...") when it is absent
#   -DTRUNCATED_COPY=source|bytes|name: first write the first `bytes` bytes of
#            `source` to SCRATCH/name (the case then usually runs in SCRATCH)
#   -DOUTPUT_FILE=path the tool writes: compared with NAME.out, then removed
#
# With VIVEZERU5_UPDATE_GOLDEN=1 in the environment the golden files of the
# case are rewritten from the tool's output instead (review the diff); never
# from a program run through an emulator, whose output must match the native
# one.
foreach(variable TOOL WORKING_DIRECTORY EXPECTED_STATUS GOLDEN SCRATCH)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_case.cmake: ${variable} not set")
  endif()
endforeach()

if(DEFINED REQUIRES AND NOT EXISTS "${REQUIRES}")
  message(STATUS "SKIPPED: ${REQUIRES} is absent (the real soundings live beside the repository in shared/data/real)")
  return()
endif()

if(DEFINED TRUNCATED_COPY)
  string(REPLACE "|" ";" copy "${TRUNCATED_COPY}")
  list(GET copy 0 copy_source)
  list(GET copy 1 copy_bytes)
  list(GET copy 2 copy_name)
  file(READ "${copy_source}" copy_text LIMIT ${copy_bytes})
  file(WRITE "${SCRATCH}/${copy_name}" "${copy_text}")
endif()

if(DEFINED OUTPUT_FILE)
  file(REMOVE "${OUTPUT_FILE}")
endif()

string(REPLACE "|" ";" arguments "${ARGUMENTS}")
string(REPLACE "|" ";" emulator "${EMULATOR}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${emulator} ${TOOL} ${arguments}
  WORKING_DIRECTORY ${WORKING_DIRECTORY}
  OUTPUT_VARIABLE actual_stdout
  ERROR_VARIABLE actual_stderr
  RESULT_VARIABLE actual_status)

if(CRLF_AS_LF)
  string(REPLACE "\r\n" "\n" actual_stdout "${actual_stdout}")
  string(REPLACE "\r\n" "\n" actual_stderr "${actual_stderr}")
endif()

set(failures "")

if(NOT actual_status STREQUAL EXPECTED_STATUS)
  string(APPEND failures "exit status ${actual_status}, expected ${EXPECTED_STATUS}\n")
endif()

set(streams stdout stderr)
if(DEFINED OUTPUT_FILE)
  set(actual_out "")
  if(EXISTS "${OUTPUT_FILE}")
    file(READ "${OUTPUT_FILE}" actual_out)
    file(REMOVE "${OUTPUT_FILE}")
  endif()
  list(APPEND streams out)
endif()

foreach(stream ${streams})
  string(TOUPPER "${stream}" upper)
  set(actual "${actual_${stream}}")
  set(golden_file "${GOLDEN}.${stream}")
  if(DEFINED ${upper}_REGEX)
    if(NOT actual MATCHES "${${upper}_REGEX}")
      string(APPEND failures "${stream} does not match /${${upper}_REGEX}/:\n${actual}\n")
    endif()
  elseif("$ENV{VIVEZERU5_UPDATE_GOLDEN}" STREQUAL "1" AND emulator STREQUAL "")
    if(actual STREQUAL "")
      file(REMOVE "${golden_file}")
    else()
      file(WRITE "${golden_file}" "${actual}")
    endif()
  else()
    set(expected "")
    if(EXISTS "${golden_file}")
      file(READ "${golden_file}" expected)
    endif()
    if(NOT actual STREQUAL expected)
      get_filename_component(name "${golden_file}" NAME)
      set(actual_file "${SCRATCH}/${name}.actual")
      file(WRITE "${actual_file}" "${actual}")
      execute_process(COMMAND diff -u "${golden_file}" "${actual_file}"
                      OUTPUT_VARIABLE difference)
      if(NOT EXISTS "${golden_file}")
        set(difference "expected no ${stream}, got:\n${actual}")
      endif()
      string(APPEND failures "${stream} differs from ${golden_file}:\n${difference}\n")
    endif()
  endif()
endforeach()

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "vivezeru5 ${arguments}\n${failures}")
endif()
