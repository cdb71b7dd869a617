cmake_minimum_required(VERSION 3.25)
# Fails unless the files a package holds are exactly those its expected list
# names, one path a line (directories are not listed).
#
#   -DPACKAGE=path of the .zip, .tar.gz, .whl or .deb (a .deb: the files it
#             installs, as absolute paths)
#   -DEXPECTED=tests/packaging/NAME.txt
#   [-DLIBRARIES=<build>/packaged_libraries.txt]: when it names the companion
#             library vivezeru5_reading, tests/packaging/NAME.reading.txt lists
#             the files that come with it, expected as well
#   [-DWORK_DIR=scratch directory, for a .deb's file system]
include(${CMAKE_CURRENT_LIST_DIR}/script_support.cmake)
require_variables(PACKAGE EXPECTED)
if(NOT EXISTS "${PACKAGE}")
  message(FATAL_ERROR "no package ${PACKAGE}")
endif()

set(archive "${PACKAGE}")
if(PACKAGE MATCHES "\\.deb$")
  require_variables(WORK_DIR)
  file(MAKE_DIRECTORY "${WORK_DIR}")
  set(archive "${WORK_DIR}/fsys.tar")
  execute_process(COMMAND dpkg-deb --fsys-tarfile "${PACKAGE}" OUTPUT_FILE "${archive}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb --fsys-tarfile ${PACKAGE} failed")
  endif()
endif()
run(${CMAKE_COMMAND} -E tar tf "${archive}")
string(REGEX REPLACE "\n$" "" listing "${output}")
string(REPLACE "\n" ";" actual "${listing}")
list(FILTER actual EXCLUDE REGEX "/$")
if(PACKAGE MATCHES "\\.deb$")
  list(FILTER actual EXCLUDE REGEX "^\\.$")
  list(TRANSFORM actual REPLACE "^\\./" "/")
endif()
list(SORT actual)

# The expected list, and the companion library's part of it when this build
# has that library.
set(lists "${EXPECTED}")
if(DEFINED LIBRARIES)
  file(STRINGS "${LIBRARIES}" libraries)
  if("vivezeru5_reading" IN_LIST libraries)
    string(REGEX REPLACE "\\.txt$" ".reading.txt" reading_list "${EXPECTED}")
    list(APPEND lists "${reading_list}")
  endif()
endif()
set(expected "")
foreach(list_file IN LISTS lists)
  file(STRINGS "${list_file}" paths)
  list(APPEND expected ${paths})
endforeach()
list(SORT expected)

if(NOT actual STREQUAL expected)
  set(missing ${expected})
  list(REMOVE_ITEM missing ${actual})
  set(unexpected ${actual})
  list(REMOVE_ITEM unexpected ${expected})
  list(JOIN missing "\n  " missing)
  list(JOIN unexpected "\n  " unexpected)
  list(JOIN lists ", " lists)
  message(FATAL_ERROR "${PACKAGE} does not hold what ${lists} list:\n"
                      "missing:\n  ${missing}\nnot listed:\n  ${unexpected}")
endif()
list(LENGTH actual count)
get_filename_component(name "${PACKAGE}" NAME)
message(STATUS "${name}: the ${count} files listed")
