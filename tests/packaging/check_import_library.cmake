cmake_minimum_required(VERSION 3.25)
# Fails unless the Visual C++ import library of a DLL defines, for each name
# the DLL exports, the symbol a C caller links against and its import
# pointer: `name` and `__imp_name` on 64-bit Windows, `_name` and `__imp__name`
# (the cdecl C names) on 32-bit, and nothing else.
#
#   -DOBJDUMP=the target's objdump  -DNM=the target's nm
#   -DIMAGE=path of the .dll        -DLIBRARY=path of its .lib
#   -DBITS=64|32
include(${CMAKE_CURRENT_LIST_DIR}/script_support.cmake)
require_variables(OBJDUMP NM IMAGE LIBRARY BITS)
run(${OBJDUMP} -p ${IMAGE})
string(REGEX REPLACE ".*\\[Ordinal/Name Pointer\\] Table[^\n]*\n" "" names "${output}")
string(FIND "${names}" "\n\n" end)
string(SUBSTRING "${names}" 0 ${end} names)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" names "${names}")
list(TRANSFORM names REPLACE "^\\[ *[0-9]+\\] " "")
if(names STREQUAL "")
  message(FATAL_ERROR "${IMAGE} exports nothing")
endif()

set(prefix "")
if(BITS EQUAL 32)
  set(prefix "_")
endif()
set(expected "")
foreach(name IN LISTS names)
  list(APPEND expected "T ${prefix}${name}" "I __imp_${prefix}${name}")
endforeach()
list(SORT expected)

run(${NM} ${LIBRARY})
set(symbols "${output}")
# Code and import symbols only; section names and the import descriptor's own
# symbols name no function.
string(REGEX MATCHALL "[ \t][TI] [^\n]+" defined "${symbols}")
list(TRANSFORM defined STRIP)
list(FILTER defined EXCLUDE REGEX "^[TI] \\.")
list(FILTER defined EXCLUDE REGEX "^I (__IMPORT_DESCRIPTOR_|__NULL_IMPORT_DESCRIPTOR|.*_NULL_THUNK_DATA|__.*_iname$)")
list(SORT defined)
if(NOT defined STREQUAL expected)
  message(FATAL_ERROR "${LIBRARY} defines\n  ${defined}\nexpected, from the exports of ${IMAGE},\n  ${expected}")
endif()
list(LENGTH names count)
message(STATUS "${LIBRARY}: the DLL's ${count} functions, as C callers name them (${prefix}NAME)")
