cmake_minimum_required(VERSION 3.25)
# Fails unless the Visual C++ import library of a DLL defines, for each name
# its .def file exports, the symbol a C caller links against and its import
# pointer, and nothing else: `name` and `__imp_name` on 64-bit Windows, `_name`
# and `__imp__name` (the cdecl C names) on 32-bit; and unless the DLL exports
# each of those names.
#
#   -DOBJDUMP=the target's objdump  -DNM=the target's nm
#   -DIMAGE=path of the .dll        -DLIBRARY=path of its .lib
#   -DDEF=the .def it is made from  -DBITS=64|32
include(${CMAKE_CURRENT_LIST_DIR}/script_support.cmake)
require_variables(OBJDUMP NM IMAGE LIBRARY DEF BITS)

# The .def's names: the first word of each line after EXPORTS.
file(STRINGS ${DEF} lines)
set(names "")
set(in_exports FALSE)
foreach(line IN LISTS lines)
  string(REGEX REPLACE ";.*" "" line "${line}")
  string(STRIP "${line}" line)
  if(line STREQUAL "EXPORTS")
    set(in_exports TRUE)
  elseif(in_exports AND line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)")
    list(APPEND names ${CMAKE_MATCH_1})
  endif()
endforeach()
if(names STREQUAL "")
  message(FATAL_ERROR "${DEF} exports nothing")
endif()

# The DLL's export table: lines "[   0] name" of its name pointer table.
run(${OBJDUMP} -p ${IMAGE})
string(REGEX REPLACE ".*\\[Ordinal/Name Pointer\\] Table[^\n]*\n" "" exported "${output}")
string(FIND "${exported}" "\n\n" end)
string(SUBSTRING "${exported}" 0 ${end} exported)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" exported "${exported}")
list(TRANSFORM exported REPLACE "^\\[ *[0-9]+\\] " "")
set(absent ${names})
list(REMOVE_ITEM absent ${exported})
if(absent)
  message(FATAL_ERROR "${IMAGE} does not export '${absent}', which ${DEF} names")
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

# Code and import symbols only; section names and the import descriptor's own
# symbols name no function.
run(${NM} ${LIBRARY})
string(REGEX MATCHALL "[ \t][TI] [^\n]+" defined "${output}")
list(TRANSFORM defined STRIP)
list(FILTER defined EXCLUDE REGEX "^[TI] \\.")
list(FILTER defined EXCLUDE REGEX "^I (__IMPORT_DESCRIPTOR_|__NULL_IMPORT_DESCRIPTOR|.*_NULL_THUNK_DATA|__.*_iname$)")
list(SORT defined)
if(NOT defined STREQUAL expected)
  message(FATAL_ERROR "${LIBRARY} defines\n  ${defined}\nexpected, from ${DEF},\n  ${expected}")
endif()
list(LENGTH names count)
message(STATUS "${LIBRARY}: the ${count} functions of ${DEF}, as C callers name them (${prefix}NAME)")
