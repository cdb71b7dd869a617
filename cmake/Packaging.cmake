# Installation of the library, its header and the command-line tool, with a
# CMake package (find_package(vivezeru5) -> vivezeru5::vivezeru5) and a
# pkg-config file (vivezeru5.pc).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
include(${CMAKE_CURRENT_LIST_DIR}/Version.cmake)

set(VIVEZERU5_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/vivezeru5
    CACHE STRING "Where the CMake package files are installed, relative to the prefix")

install(TARGETS vivezeru5
  EXPORT vivezeru5Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vivezeru5 COMPONENT development)
install(FILES ${VIVEZERU5_VERSION_HEADER}
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vivezeru5 COMPONENT development)
# The target's own install interface names <prefix>/include; another include
# directory is added to it.
if(NOT CMAKE_INSTALL_INCLUDEDIR STREQUAL "include")
  target_include_directories(vivezeru5 PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
endif()

install(EXPORT vivezeru5Targets
  NAMESPACE vivezeru5::
  DESTINATION ${VIVEZERU5_INSTALL_CMAKEDIR}
  COMPONENT development)

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/vivezeru5Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/vivezeru5Config.cmake
  INSTALL_DESTINATION ${VIVEZERU5_INSTALL_CMAKEDIR})
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/vivezeru5ConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/vivezeru5Config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/vivezeru5ConfigVersion.cmake
  DESTINATION ${VIVEZERU5_INSTALL_CMAKEDIR}
  COMPONENT development)

# pkg-config: the prefix is found from the .pc file's own place, so an
# installation moved to another prefix (or installed with --prefix) still works.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(VIVEZERU5_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH relative_prefix "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
  string(REGEX REPLACE "/$" "" relative_prefix "${relative_prefix}")
  set(VIVEZERU5_PC_PREFIX "\${pcfiledir}/${relative_prefix}")
endif()
foreach(directory LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${directory}}")
    set(VIVEZERU5_PC_${directory} "${CMAKE_INSTALL_${directory}}")
  else()
    set(VIVEZERU5_PC_${directory} "\${prefix}/${CMAKE_INSTALL_${directory}}")
  endif()
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/vivezeru5.pc.in ${CMAKE_CURRENT_BINARY_DIR}/vivezeru5.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vivezeru5.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)

# Installs an executable that links the library, finding it from its own place.
function(vivezeru5_install_tool target)
  if(APPLE)
    set(origin "@loader_path")
  else()
    set(origin "$ORIGIN")
  endif()
  file(RELATIVE_PATH to_library "/${CMAKE_INSTALL_BINDIR}" "/${CMAKE_INSTALL_LIBDIR}")
  if(NOT IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" AND NOT IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${origin}/${to_library}")
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
endfunction()

# Consumer builds against an installation in a scratch prefix, once through
# the CMake package and once through pkg-config. Registered at the end of the
# top-level directory, where testing is enabled.
function(vivezeru5_add_consumer_tests)
  # A cross build cannot run what it builds without the emulator; the Windows
  # DLL is tested through the host test instead.
  if(NOT VIVEZERU5_BUILD_TESTS OR NOT TARGET vivezeru5_cli OR CMAKE_CROSSCOMPILING)
    return()
  endif()
  set(flags "")
  if(VIVEZERU5_SANITIZE)
    set(flags "-fsanitize=address,undefined")
  elseif(VIVEZERU5_TSAN)
    set(flags "-fsanitize=thread")
  endif()
  foreach(mode cmake pkgconfig)
    add_test(NAME consumer.${mode}
      COMMAND ${CMAKE_COMMAND}
              -DMODE=${mode}
              -DBUILD_DIR=${PROJECT_BINARY_DIR}
              -DCONFIG=$<CONFIG>
              -DWORK_DIR=${PROJECT_BINARY_DIR}/consumer-${mode}
              -DSOURCE_DIR=${PROJECT_SOURCE_DIR}/tests/consumer
              -DEXAMPLE=${PROJECT_SOURCE_DIR}/examples/sounding_type5.txt
              -DVERSION=${PROJECT_VERSION}
              -DLIBDIR=${CMAKE_INSTALL_LIBDIR}
              -DBINDIR=${CMAKE_INSTALL_BINDIR}
              -DGENERATOR=${CMAKE_GENERATOR}
              -DC_COMPILER=${CMAKE_C_COMPILER}
              "-DC_FLAGS=${flags}"
              -P ${PROJECT_SOURCE_DIR}/tests/consumer/run_consumer.cmake)
    set_tests_properties(consumer.${mode} PROPERTIES
      LABELS packaging
      SKIP_REGULAR_EXPRESSION "SKIPPED:")
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL vivezeru5_add_consumer_tests)
