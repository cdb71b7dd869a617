# Installs the built project into a scratch prefix, then builds and runs the
# consumer program against it.
#   MODE=cmake      find_package(vivezeru5) in tests/consumer/CMakeLists.txt;
#                   also runs the installed command-line tool
#   MODE=pkgconfig  compiler flags from `pkg-config --cflags --libs vivezeru5`
# A missing pkg-config prints SKIPPED: (the test is then reported as skipped).
foreach(variable MODE BUILD_DIR WORK_DIR SOURCE_DIR EXAMPLE VERSION LIBDIR BINDIR C_COMPILER)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_consumer.cmake: ${variable} not set")
  endif()
endforeach()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${status}): ${command}\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
set(config_arguments "")
if(CONFIG)
  set(config_arguments --config ${CONFIG})
endif()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} ${config_arguments})

if(MODE STREQUAL "cmake")
  set(build ${WORK_DIR}/build)
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR}
      -DCMAKE_PREFIX_PATH=${prefix}
      -DCMAKE_C_COMPILER=${C_COMPILER}
      "-DCMAKE_C_FLAGS=${C_FLAGS}"
      -DCMAKE_BUILD_TYPE=Release)
  run(${CMAKE_COMMAND} --build ${build})
  set(consumer ${build}/vivezeru5_consumer)

  # The installed tool finds the installed library by itself.
  run(${prefix}/${BINDIR}/vivezeru5 --version)
  if(NOT output STREQUAL "vivezeru5 ${VERSION}\n")
    message(FATAL_ERROR "installed tool: unexpected --version output '${output}'")
  endif()
elseif(MODE STREQUAL "pkgconfig")
  find_program(PKG_CONFIG NAMES pkg-config pkgconf)
  if(NOT PKG_CONFIG)
    message("SKIPPED: pkg-config not found")
    return()
  endif()
  # Only the scratch installation is searched.
  set(environment ${CMAKE_COMMAND} -E env PKG_CONFIG_LIBDIR=${prefix}/${LIBDIR}/pkgconfig PKG_CONFIG_PATH=)
  run(${environment} ${PKG_CONFIG} --modversion vivezeru5)
  if(NOT output STREQUAL "${VERSION}\n")
    message(FATAL_ERROR "pkg-config --modversion: '${output}', expected ${VERSION}")
  endif()
  run(${environment} ${PKG_CONFIG} --cflags --libs vivezeru5)
  separate_arguments(flags UNIX_COMMAND "${output}")
  run(${environment} ${PKG_CONFIG} --variable=libdir vivezeru5)
  string(STRIP "${output}" libdir)
  separate_arguments(extra UNIX_COMMAND "${C_FLAGS}")
  file(MAKE_DIRECTORY ${WORK_DIR})
  set(consumer ${WORK_DIR}/vivezeru5_consumer)
  run(${C_COMPILER} -std=c99 -Wall -Wextra -Wpedantic -Werror ${extra}
      ${SOURCE_DIR}/consumer.c -o ${consumer} ${flags} -Wl,-rpath,${libdir})
else()
  message(FATAL_ERROR "run_consumer.cmake: unknown MODE '${MODE}'")
endif()

run(${consumer} ${EXAMPLE})
# The library's progress lines for the convective first station come through
# the same C-library stdout as the program's own lines, in order.
set(expected "stations 3, first 10001, terminator found\n"
             "New Method ... NegEngBLFC end\nNew Method ... EL end\n"
             "first station: 15 levels, K index 36.0\n")
string(JOIN "" expected ${expected})
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "consumer printed:\n${output}\nexpected:\n${expected}")
endif()
message(STATUS "consumer (${MODE}) built and ran against ${prefix}")
