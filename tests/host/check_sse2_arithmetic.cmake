cmake_minimum_required(VERSION 3.25)
# Fails when the library's object files compute with the x87 unit: its results
# would then hang on the precision the host leaves in the x87 control word.
# Loads, stores and exact conversions through x87 registers (the 32-bit
# calling convention returns floating values in them) are allowed; arithmetic
# is not.
#
#   -DOBJDUMP=the target's objdump  -DOBJECTS=object files separated by |
string(REPLACE "|" ";" objects "${OBJECTS}")
set(x87_arithmetic "^f(i?(add|sub|subr|mul|div|divr)p?[slt]?|sqrt|prem1?|sin|cos|sincos|ptan|patan|yl2x|yl2xp1|2xm1|scale|rndint)$")
set(failures "")
foreach(object IN LISTS objects)
  execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${object}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -d failed on ${object}")
  endif()
  string(REGEX MATCHALL "\n[ \t]*[0-9a-f]+:\t[a-z0-9]+" instructions "${listing}")
  set(found "")
  foreach(instruction IN LISTS instructions)
    string(REGEX REPLACE ".*\t" "" mnemonic "${instruction}")
    if(mnemonic MATCHES "${x87_arithmetic}")
      list(APPEND found ${mnemonic})
    endif()
  endforeach()
  if(found)
    list(REMOVE_DUPLICATES found)
    get_filename_component(name "${object}" NAME)
    string(APPEND failures "${name}: ${found}\n")
  endif()
endforeach()
if(NOT failures STREQUAL "")
  message(FATAL_ERROR "x87 arithmetic in the library:\n${failures}")
endif()
list(LENGTH objects count)
message(STATUS "${count} object files compute in SSE2")
