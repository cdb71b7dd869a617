# Runs the Delphi-mode host and the C host on the same files and compares
# the blocks they got, bit for bit.
#   -DDELPHI_HOST=path -DC_HOST=path -DLIBRARY=path -DSCRATCH=dir -DFILES=a|b|...
string(REPLACE "|" ";" files "${FILES}")
set(delphi_output "${SCRATCH}/delphi_blocks.txt")
set(c_output "${SCRATCH}/c_blocks.txt")
execute_process(COMMAND "${DELPHI_HOST}" "${delphi_output}" ${files}
  OUTPUT_QUIET ERROR_VARIABLE delphi_stderr RESULT_VARIABLE delphi_status)
if(NOT delphi_status STREQUAL "0")
  message(FATAL_ERROR "the Delphi-mode host ended with status ${delphi_status}:\n${delphi_stderr}")
endif()
execute_process(COMMAND "${C_HOST}" --hex-output "${c_output}" "${LIBRARY}" ${files}
  OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE c_status)
if(NOT c_status STREQUAL "0")
  message(FATAL_ERROR "the C host ended with status ${c_status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${delphi_output}" "${c_output}"
  RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "the Delphi-mode host got other blocks than the C host: compare ${delphi_output} with ${c_output}")
endif()
list(LENGTH files count)
message(STATUS "${count} files, 4 readers: the Delphi-mode host got the C host's blocks")
