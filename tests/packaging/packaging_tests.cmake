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
    # Visual C++'s import library: the .def's names, as C callers name them.
    add_test(NAME windows.import_library.${library}
      COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DNM=${CMAKE_NM} -DIMAGE=$<TARGET_FILE:${library}>
              -DLIBRARY=$<TARGET_FILE_DIR:${library}>/$<TARGET_FILE_BASE_NAME:${library}>.lib
              -DDEF=$<TARGET_PROPERTY:${library},VIVEZERU5_DEF_FILE>
              -DBITS=${VIVEZERU5_WINDOWS_BITS}
              -P ${CMAKE_CURRENT_LIST_DIR}/check_import_library.cmake)
    set_tests_properties(windows.version_resource.${library} windows.import_library.${library}
      PROPERTIES LABELS "windows;packaging")
  endforeach()
endif()

# The Python package carries the project's version.
if(NOT WIN32 AND VIVEZERU5_PYTHON)
  add_test(NAME packaging.python_version
    COMMAND ${VIVEZERU5_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/check_python_version.py
            ${PROJECT_SOURCE_DIR}/python ${PROJECT_VERSION})
  set_tests_properties(packaging.python_version PROPERTIES
    LABELS "packaging;python" ENVIRONMENT "PYTHONDONTWRITEBYTECODE=1")
endif()

# The host recipes of docs/hosts.md, each a program in docs/hosts/ that reads
# the first station of examples/sounding_type5.txt and prints what
# host_recipes.stdout lists (checked by hand against the file: station 10001
# at 116.30 E 39.90 N, elevation 55, 90 level values = 15 levels, the first
# 1000 hPa 10 dam 28 22 180 4; K index (18 - -9) + 15 - (8 - 2) = 36 and
# total totals 18 + 15 - 2 * -9 = 51 from its 850, 700 and 500 hPa levels).
# Built and run on Linux against the shared library; the C# and Delphi ones
# release the blocks through the companion library when the build has it.
if(NOT WIN32)
  set(hosts_dir ${PROJECT_SOURCE_DIR}/docs/hosts)
  set(example ${PROJECT_SOURCE_DIR}/examples/sounding_type5.txt)
  set(work ${PROJECT_BINARY_DIR}/host_recipes)
  find_program(VIVEZERU5_MCS mcs)
  find_program(VIVEZERU5_MONO mono)
  find_program(VIVEZERU5_FPC fpc)

  add_executable(vivezeru5_recipe_c ${hosts_dir}/c/read_soundings.c)
  target_link_libraries(vivezeru5_recipe_c PRIVATE vivezeru5)
  set(run_c $<TARGET_FILE:vivezeru5_recipe_c> ${example})

  set(run_python ${VIVEZERU5_PYTHON} ${hosts_dir}/python/read_soundings.py ${example})

  set(compile_csharp ${VIVEZERU5_MCS} -nologo -out:${work}/csharp/ReadSoundings.exe)
  set(compile_delphi ${VIVEZERU5_FPC} -v0 -Mdelphi -Fl$<TARGET_FILE_DIR:vivezeru5>
                     -FE${work}/delphi -FU${work}/delphi)
  if("vivezeru5_reading" IN_LIST libraries)
    list(APPEND compile_csharp -define:VIVEZERU5_READING)
    list(APPEND compile_delphi -dVIVEZERU5_READING)
  endif()
  list(APPEND compile_csharp ${hosts_dir}/csharp/ReadSoundings.cs)
  list(APPEND compile_delphi ${hosts_dir}/delphi/ReadSoundings.dpr)
  set(run_csharp ${VIVEZERU5_MONO} ${work}/csharp/ReadSoundings.exe ${example})
  set(run_delphi ${work}/delphi/ReadSoundings ${example})

  # An instrumented library cannot be loaded into an uninstrumented program.
  set(skip_c "")
  set(skip_python "")
  set(skip_csharp "")
  set(skip_delphi "")
  if(NOT EXISTS "${VIVEZERU5_PYTHON}")
    set(skip_python "no ${VIVEZERU5_PYTHON} (apt-get install python3)")
  endif()
  if(NOT VIVEZERU5_MCS OR NOT VIVEZERU5_MONO)
    set(skip_csharp "no C# compiler and runtime (apt-get install mono-mcs mono-runtime)")
  endif()
  if(NOT VIVEZERU5_FPC)
    set(skip_delphi "no Free Pascal compiler (apt-get install fp-compiler)")
  endif()
  foreach(recipe python csharp delphi)
    if(VIVEZERU5_SANITIZE OR VIVEZERU5_TSAN)
      set(skip_${recipe} "sanitizer build")
    endif()
  endforeach()

  foreach(recipe c python csharp delphi)
    if(skip_${recipe})
      message(STATUS "hosts.${recipe} reports itself skipped: ${skip_${recipe}}")
      add_test(NAME hosts.${recipe} COMMAND ${CMAKE_COMMAND} -E echo "SKIPPED: ${skip_${recipe}}")
    else()
      set(compile "")
      if(DEFINED compile_${recipe})
        list(JOIN compile_${recipe} "|" compile)
        set(compile "-DCOMPILE=${compile}" -DWORK_DIR=${work}/${recipe})
      endif()
      list(JOIN run_${recipe} "|" run)
      add_test(NAME hosts.${recipe}
        COMMAND ${CMAKE_COMMAND} ${compile} -DRUN=${run}
                -DLIBRARY_DIR=$<TARGET_FILE_DIR:vivezeru5> -DEXPECTED=${CMAKE_CURRENT_LIST_DIR}/host_recipes.stdout
                -P ${CMAKE_CURRENT_LIST_DIR}/run_host_recipe.cmake)
    endif()
    set_tests_properties(hosts.${recipe} PROPERTIES LABELS "packaging;host" SKIP_REGULAR_EXPRESSION "SKIPPED:")
  endforeach()
endif()
