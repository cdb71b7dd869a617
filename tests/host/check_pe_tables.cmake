cmake_minimum_required(VERSION 3.25)
# Fails unless the Windows image's import table names KERNEL32.dll and the C
# runtime RUNTIME (a regular expression over DLL names) and nothing else, and,
# when EXPORTS is given, unless its export table lists exactly those names.
#
#   -DOBJDUMP=the target's objdump  -DIMAGE=path of the .dll or .exe
#   -DRUNTIME=regex of the C runtime's DLL names  [-DEXPORTS=name;name;...]
#   [-DFILE_NAME=the name the image must have]
execute_process(COMMAND ${OBJDUMP} -p ${IMAGE} OUTPUT_VARIABLE table RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p failed on ${IMAGE}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${table}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
set(failures "")
get_filename_component(name "${IMAGE}" NAME)
if(DEFINED FILE_NAME AND NOT name STREQUAL FILE_NAME)
  string(APPEND failures "named ${name}, expected ${FILE_NAME}\n")
endif()
set(runtime_found FALSE)
foreach(name IN LISTS imports)
  if(name MATCHES "^(${RUNTIME})$")
    set(runtime_found TRUE)
  elseif(NOT name STREQUAL "KERNEL32.dll")
    string(APPEND failures "imports ${name}\n")
  endif()
endforeach()
if(NOT "KERNEL32.dll" IN_LIST imports OR NOT runtime_found)
  string(APPEND failures "imports '${imports}': expected KERNEL32.dll and ${RUNTIME}\n")
endif()

if(DEFINED EXPORTS)
  # The name pointer table: lines "[   0] name" from its heading to the next
  # empty line.
  string(REGEX REPLACE ".*\\[Ordinal/Name Pointer\\] Table[^\n]*\n" "" names "${table}")
  string(FIND "${names}" "\n\n" end)
  string(SUBSTRING "${names}" 0 ${end} names)
  string(REGEX MATCHALL "\n?[\t ]*\\[ *[0-9]+\\] [^\n]+" names "${names}")
  list(TRANSFORM names REPLACE "^\n?[\t ]*\\[ *[0-9]+\\] " "")
  list(SORT names)
  set(expected ${EXPORTS})
  list(SORT expected)
  if(NOT names STREQUAL expected)
    string(APPEND failures "exports '${names}', expected '${expected}'\n")
  endif()
endif()

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "${IMAGE}:\n${failures}")
endif()
message(STATUS "${IMAGE}: imports ${imports}")
