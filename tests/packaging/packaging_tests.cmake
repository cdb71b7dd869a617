# Tests of what the packages are made of, registered by cmake/Packaging.cmake
# at the end of the top-level directory with `libraries` naming the libraries
# this build packages. The packages themselves are checked by
# .ci/steps/packages.sh (tests/packaging/check_package.cmake).

if(WIN32)
  # Each DLL's version resource: the project version, and the architecture
  # and C runtime in its description.
  set(descriptions
    "vivezeru5|64|ucrt|vivezeru5 station data readers, 64-bit, Universal CRT"
    "vivezeru5|32|ucrt|vivezeru5 station data readers, 32-bit, Universal CRT"
    "vivezeru5|64|msvcrt|vivezeru5 station data readers, 64-bit, msvcrt.dll"
    "vivezeru5|32|msvcrt|vivezeru5 station data readers, 32-bit, msvcrt.dll"
    "vivezeru5_reading|64|ucrt|vivezeru5 reading library, 64-bit, Universal CRT"
    "vivezeru5_reading|32|ucrt|vivezeru5 reading library, 32-bit, Universal CRT"
    "vivezeru5_reading|64|msvcrt|vivezeru5 reading library, 64-bit, msvcrt.dll"
    "vivezeru5_reading|32|msvcrt|vivezeru5 reading library, 32-bit, msvcrt.dll")
  foreach(row IN LISTS descriptions)
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 library)
    list(GET row 1 bits)
    list(GET row 2 crt)
    list(GET row 3 description)
    if(NOT library IN_LIST libraries OR NOT bits EQUAL VIVEZERU5_WINDOWS_BITS OR NOT crt STREQUAL VIVEZERU5_WINDOWS_CRT)
      continue()
    endif()
    add_test(NAME windows.version_resource.${library}
      COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DIMAGE=$<TARGET_FILE:${library}>
              -DVERSION=${PROJECT_VERSION} "-DDESCRIPTION=${description}"
              -P ${CMAKE_CURRENT_LIST_DIR}/check_version_resource.cmake)
    # Visual C++'s import library: the DLL's exports, as C callers name them.
    add_test(NAME windows.import_library.${library}
      COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DNM=${CMAKE_NM} -DIMAGE=$<TARGET_FILE:${library}>
              -DLIBRARY=$<TARGET_FILE_DIR:${library}>/$<TARGET_FILE_BASE_NAME:${library}>.lib
              -DBITS=${VIVEZERU5_WINDOWS_BITS}
              -P ${CMAKE_CURRENT_LIST_DIR}/check_import_library.cmake)
    set_tests_properties(windows.version_resource.${library} windows.import_library.${library}
      PROPERTIES LABELS "windows;packaging")
  endforeach()
endif()
