cmake_minimum_required(VERSION 3.25)
# Unpacks a Windows ZIP and builds hosts against it as a user would, with
# mingw-w64: tests/host/host.c once linked against lib/vivezeru5.lib (the
# import library for Visual C++), once loading bin/vivezeru5.dll with
# LoadLibrary, and tests/consumer through the ZIP's CMake package. The linked
# host must import the four readers from vivezeru5.dll by their undecorated
# names. When a Windows emulator is given, both hosts run on every example
# and every file of tests/cli/data/ and must write the Linux host's blocks,
# standard output and standard error (tests/host/golden/blocks.*, CRLF read
# as LF), and the consumer must print what it prints on Linux.
#
#   -DZIP=path  -DWORK_DIR=scratch directory  -DSOURCE_DIR=the repository
#   -DVERSION=the project version  -DTRIPLE=x86_64-w64-mingw32|i686-w64-mingw32  -DCRT=ucrt|msvcrt
#   [-DEMULATOR=program and arguments, separated by |, that run a .exe]
include(${CMAKE_CURRENT_LIST_DIR}/script_support.cmake)
require_variables(ZIP WORK_DIR SOURCE_DIR VERSION TRIPLE CRT)

get_filename_component(ZIP "${ZIP}" ABSOLUTE)
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/unpacked")
run(${CMAKE_COMMAND} -E chdir "${WORK_DIR}/unpacked" ${CMAKE_COMMAND} -E tar xf "${ZIP}")
get_filename_component(top "${ZIP}" NAME_WLE)
set(unpacked "${WORK_DIR}/unpacked/${top}")

# The compiler flags of the DLL's flavour: the host frees the blocks, so it
# links the same C runtime; a 32-bit host computes in SSE2 as the DLL does.
set(flags -O1 -std=c11 -Wall -Wextra -Wpedantic -Werror -D__USE_MINGW_ANSI_STDIO=1 -static-libgcc)
if(CRT STREQUAL "ucrt")
  list(APPEND flags -specs=${SOURCE_DIR}/cmake/toolchains/link_ucrt.gcc)
endif()
if(TRIPLE MATCHES "^i686")
  list(APPEND flags -msse2 -mfpmath=sse)
endif()
set(host_source "${SOURCE_DIR}/tests/host/host.c")
set(linked "${WORK_DIR}/host_linked.exe")
set(loading "${WORK_DIR}/host_loading.exe")
run(${TRIPLE}-gcc ${flags} -DVIVEZERU5_HOST_LINKED -I${unpacked}/include ${host_source}
    ${unpacked}/lib/vivezeru5.lib -o ${linked})
run(${TRIPLE}-gcc ${flags} ${host_source} -o ${loading})

# The linked host's imports from vivezeru5.dll: the four readers, undecorated.
run(${TRIPLE}-objdump -p ${linked})
string(REGEX MATCH "DLL Name: vivezeru5\\.dll\n[^\n]*\n(([\t ]+[0-9a-f]+[\t ]+[0-9]+[\t ]+[^\n]+\n)+)" imports "${output}")
set(imported "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "[^\t\n ]+\n" imported "${imported}")
list(TRANSFORM imported STRIP)
list(SORT imported)
set(readers ReadVelmorData1 readRozeduData readVelmor5Only readVelmorData5)
if(NOT imported STREQUAL readers)
  message(FATAL_ERROR "${linked} imports '${imported}' from vivezeru5.dll, expected '${readers}':\n${output}")
endif()
message(STATUS "${top}: a host linked against lib/vivezeru5.lib imports ${readers} from vivezeru5.dll")

# The CMake package: tests/consumer with the toolchain of the DLL's flavour.
set(consumer_build "${WORK_DIR}/consumer")
if(TRIPLE MATCHES "^i686")
  set(toolchain ${SOURCE_DIR}/cmake/toolchains/i686-w64-mingw32.cmake)
else()
  set(toolchain ${SOURCE_DIR}/cmake/toolchains/x86_64-w64-mingw32.cmake)
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${consumer_build}
    -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DVIVEZERU5_WINDOWS_CRT=${CRT}
    -Dvivezeru5_DIR=${unpacked}/lib/cmake/vivezeru5 -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${consumer_build})
message(STATUS "${top}: tests/consumer built through the ZIP's CMake package")

if(NOT DEFINED EMULATOR OR EMULATOR STREQUAL "")
  return()
endif()

# The files the Linux host test reads, in its order (tests/host/CMakeLists.txt).
file(GLOB files LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/examples/* ${SOURCE_DIR}/tests/cli/data/*)
list(SORT files)
list(APPEND files tests/cli/data/no_such_file.txt)
# The linked host finds the DLL on the search path, as an installed
# application finds it on PATH.
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(emulator ${CMAKE_COMMAND} -E env "WINEPATH=${unpacked}/bin" ${emulator})
list(JOIN emulator "|" emulator)
file(MAKE_DIRECTORY "${WORK_DIR}/scratch")
foreach(host linked loading)
  list(JOIN files "|" arguments)
  execute_process(
    COMMAND ${CMAKE_COMMAND}
            -DTOOL=${${host}} -DEMULATOR=${emulator} -DCRLF_AS_LF=ON
            -DWORKING_DIRECTORY=${SOURCE_DIR} "-DARGUMENTS=${unpacked}/bin/vivezeru5.dll|${arguments}"
            -DEXPECTED_STATUS=0 -DGOLDEN=${SOURCE_DIR}/tests/host/golden/blocks -DSCRATCH=${WORK_DIR}/scratch
            -P ${SOURCE_DIR}/tests/cli/run_case.cmake
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${top}: the ${host} host's blocks differ from the Linux host's:\n${output}")
  endif()
  list(LENGTH files count)
  message(STATUS "${top}: the ${host} host read ${count} files, the Linux host's blocks")
endforeach()

# The consumer prints what it prints on Linux (tests/consumer/consumer.stdout.in).
string(REPLACE "|" ";" run_emulator "${emulator}")
run(${run_emulator} ${consumer_build}/vivezeru5_consumer.exe ${SOURCE_DIR}/examples/sounding_type5.txt)
string(REPLACE "\r\n" "\n" output "${output}")
file(READ ${SOURCE_DIR}/tests/consumer/consumer.stdout.in expected)
string(CONFIGURE "${expected}" expected @ONLY)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "${top}: the consumer printed:\n${output}\nexpected:\n${expected}")
endif()
message(STATUS "${top}: the consumer ran as on Linux")
