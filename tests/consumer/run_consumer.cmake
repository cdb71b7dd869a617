# Installs the built project into a scratch prefix, then builds and runs the
# consumer program against it.
#   MODE=cmake      find_package(vivezeru5) in tests/consumer/CMakeLists.txt;
#                   also runs the installed command-line tool
#   MODE=pkgconfig  compiler flags from `pkg-config --cflags --libs vivezeru5`
#   INSTALLED=/usr  instead: the installation already there (the .deb), found
#                   through the default search paths of CMake, pkg-config and
#                   the dynamic loader, the program linked without an rpath;
#                   BUILD_DIR is not used
# A missing pkg-config prints SKIPPED: (the test is then reported as skipped).
include(${CMAKE_CURRENT_LIST_DIR}/../packaging/script_support.cmake)
require_variables(MODE WORK_DIR SOURCE_DIR EXAMPLE VERSION LIBDIR BINDIR C_COMPILER)

file(REMOVE_RECURSE ${WORK_DIR})
if(DEFINED INSTALLED)
  set(prefix ${INSTALLED})
  set(prefix_path "")
  set(pkg_config_environment "")
else()
  require_variables(BUILD_DIR)
  set(prefix ${WORK_DIR}/prefix)
  set(config_arguments "")
  if(CONFIG)
    set(config_arguments --config ${CONFIG})
  endif()
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} ${config_arguments})
  set(prefix_path -DCMAKE_PREFIX_PATH=${prefix})
  # Only the scratch installation is searched.
  set(pkg_config_environment PKG_CONFIG_LIBDIR=${prefix}/${LIBDIR}/pkgconfig PKG_CONFIG_PATH=)
endif()

if(MODE STREQUAL "cmake")
  set(build ${WORK_DIR}/build)
  if(NOT DEFINED GENERATOR)
    set(GENERATOR "Unix Makefiles")
  endif()
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR}
      ${prefix_path}
      -DCMAKE_C_COMPILER=${C_COMPILER}
      "-DCMAKE_C_FLAGS=${C_FLAGS}"
      -DCMAKE_BUILD_TYPE=Release)
  if(NOT output MATCHES "-- vivezeru5 package version ${VERSION}\n")
    message(FATAL_ERROR "find_package(vivezeru5) found another version than ${VERSION}:\n${output}")
  endif()
  run(${CMAKE_COMMAND} --build ${build})
  set(consumer ${build}/vivezeru5_consumer)
  if(DEFINED INSTALLED)
    # CMake's default search found the package of the installation.
    file(STRINGS ${build}/CMakeCache.txt package_dir REGEX "^vivezeru5_DIR:")
    if(NOT package_dir STREQUAL "vivezeru5_DIR:PATH=${INSTALLED}/${LIBDIR}/cmake/vivezeru5")
      message(FATAL_ERROR "find_package(vivezeru5) found '${package_dir}', not ${INSTALLED}/${LIBDIR}/cmake/vivezeru5")
    endif()
  endif()

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
  set(environment ${CMAKE_COMMAND} -E env ${pkg_config_environment})
  run(${environment} ${PKG_CONFIG} --modversion vivezeru5)
  if(NOT output STREQUAL "${VERSION}\n")
    message(FATAL_ERROR "pkg-config --modversion: '${output}', expected ${VERSION}")
  endif()
  run(${environment} ${PKG_CONFIG} --cflags --libs vivezeru5)
  separate_arguments(flags UNIX_COMMAND "${output}")
  set(rpath "")
  if(NOT DEFINED INSTALLED)
    run(${environment} ${PKG_CONFIG} --variable=libdir vivezeru5)
    string(STRIP "${output}" libdir)
    set(rpath -Wl,-rpath,${libdir})
  endif()
  separate_arguments(extra UNIX_COMMAND "${C_FLAGS}")
  file(MAKE_DIRECTORY ${WORK_DIR})
  set(consumer ${WORK_DIR}/vivezeru5_consumer)
  run(${C_COMPILER} -std=c99 -Wall -Wextra -Wpedantic -Werror ${extra}
      ${SOURCE_DIR}/consumer.c -o ${consumer} ${flags} ${rpath})
else()
  message(FATAL_ERROR "run_consumer.cmake: unknown MODE '${MODE}'")
endif()

if(DEFINED INSTALLED)
  # The dynamic loader finds the library by itself.
  run(readelf -d ${consumer})
  if(output MATCHES "RPATH|RUNPATH")
    message(FATAL_ERROR "${consumer} carries a run path:\n${output}")
  endif()
endif()
run(${consumer} ${EXAMPLE})
# consumer.stdout.in: the library's progress lines for the convective first
# station come through the same C-library stdout as the program's own lines,
# in order; the header's version is the project's.
file(READ ${SOURCE_DIR}/consumer.stdout.in expected)
string(CONFIGURE "${expected}" expected @ONLY)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "consumer printed:\n${output}\nexpected:\n${expected}")
endif()
message(STATUS "consumer (${MODE}) built and ran against ${prefix}")
