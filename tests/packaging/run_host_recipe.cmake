cmake_minimum_required(VERSION 3.25)
# Builds (when a compiler is named) and runs one of the host recipes of
# docs/hosts/ on a bundled example, against the shared library of the build,
# and compares what it prints with the expected lines. The library's progress
# lines, which each language's runtime interleaves with its own output in its
# own way, are left out of the comparison.
#
#   -DRUN=program|arguments...          -DLIBRARY_DIR=the built library's directory
#   -DEXPECTED=file of the expected lines
#   [-DCOMPILE=compiler|arguments...]   [-DWORK_DIR=where the compiler writes]
include(${CMAKE_CURRENT_LIST_DIR}/script_support.cmake)
require_variables(RUN LIBRARY_DIR EXPECTED)

set(environment ${CMAKE_COMMAND} -E env "LD_LIBRARY_PATH=${LIBRARY_DIR}")
if(DEFINED COMPILE)
  file(REMOVE_RECURSE "${WORK_DIR}")
  file(MAKE_DIRECTORY "${WORK_DIR}")
  string(REPLACE "|" ";" compile "${COMPILE}")
  run(${compile})
endif()
string(REPLACE "|" ";" command "${RUN}")
run(${environment} ${command})
string(REPLACE "\r\n" "\n" output "${output}")
string(REGEX REPLACE "New Method \\.\\.\\. [A-Za-z]+ end\n" "" printed "${output}")
file(READ "${EXPECTED}" expected)
if(NOT printed STREQUAL expected)
  message(FATAL_ERROR "the recipe printed:\n${output}\nexpected (besides the progress lines):\n${expected}")
endif()
message(STATUS "the recipe printed the expected lines")
