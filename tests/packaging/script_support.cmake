# What the check scripts of tests/packaging/ and tests/consumer/ (run with
# cmake -P) share.

# require_variables(NAME...): stops, naming the script, unless each is set.
function(require_variables)
  get_filename_component(script "${CMAKE_SCRIPT_MODE_FILE}" NAME)
  foreach(variable IN LISTS ARGN)
    if(NOT DEFINED ${variable})
      message(FATAL_ERROR "${script}: ${variable} not set")
    endif()
  endforeach()
endfunction()

# run(COMMAND ARGUMENT...): runs the command; stops with its output unless it
# exits with status 0. Its standard output and error are left in `output`.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${status}): ${command}\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()
