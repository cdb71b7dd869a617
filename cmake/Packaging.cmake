# Installation and packages, and the version every artefact carries:
#
#   - the version header (Version.cmake) and, on Windows, a version resource
#     in every DLL (WindowsVersionResource.cmake);
#   - installation of the libraries and their headers, the command-line tool,
#     a CMake package (find_package(vivezeru5) -> vivezeru5::vivezeru5), a
#     pkg-config file (vivezeru5.pc), the README, the licence and docs/; on
#     Windows also, beside MinGW's import library libvivezeru5.dll.a, one for
#     Visual C++ (vivezeru5.lib, made from the .def) and the .def itself;
#   - the packages: a ZIP per Windows flavour, a tarball and a .deb on Linux
#     (Packages.cmake, the package-* presets);
#   - the tests of all that (tests/packaging/).
#
# The companion library vivezeru5_reading is packaged as vivezeru5 is when the
# project defines it. The libraries are installed at the end of the top-level
# CMakeLists.txt, where every target is known.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
include(${CMAKE_CURRENT_LIST_DIR}/Version.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/WindowsVersionResource.cmake)

set(VIVEZERU5_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/vivezeru5
    CACHE STRING "Where the CMake package files are installed, relative to the prefix")
# README.md, LICENSE and docs/: at the top of a Windows ZIP, in the
# documentation directory elsewhere (share/doc/vivezeru5).
if(WIN32)
  set(VIVEZERU5_INSTALL_DOCDIR .)
else()
  set(VIVEZERU5_INSTALL_DOCDIR ${CMAKE_INSTALL_DOCDIR})
endif()

# The libraries the packages carry, and what each is, as its Windows version
# resource says.
set(VIVEZERU5_LIBRARY_DESCRIPTION_vivezeru5 "vivezeru5 station data readers")
set(VIVEZERU5_LIBRARY_DESCRIPTION_vivezeru5_reading "vivezeru5 reading library")

# Visual C++ links an import library of its own format, which llvm-dlltool
# writes as Microsoft's lib.exe does (MinGW's dlltool, the fallback, writes an
# older form). On 32-bit Windows the symbols get the leading underscore of a
# cdecl C name and import the undecorated name the DLL exports.
if(WIN32)
  find_program(VIVEZERU5_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14
               DOC "llvm-dlltool, which writes the Visual C++ import libraries (else MinGW's dlltool)")
endif()

# vivezeru5_add_import_library(TARGET): <name>.lib beside the DLL, made after
# each link from the target's .def (or, without one, from the .def the linker
# writes of what the DLL exports), and both installed in lib/.
function(vivezeru5_add_import_library target)
  set(def "")
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.def$")
      get_filename_component(def "${source}" ABSOLUTE BASE_DIR "${source_dir}")
    endif()
  endforeach()
  if(def STREQUAL "")
    set(def ${PROJECT_BINARY_DIR}/$<TARGET_FILE_BASE_NAME:${target}>.def)
    target_link_options(${target} PRIVATE "LINKER:--output-def,${def}")
  endif()
  set_target_properties(${target} PROPERTIES VIVEZERU5_DEF_FILE ${def})
  set(import_library $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.lib)
  if(VIVEZERU5_LLVM_DLLTOOL)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      set(dlltool ${VIVEZERU5_LLVM_DLLTOOL} -m i386:x86-64)
    else()
      set(dlltool ${VIVEZERU5_LLVM_DLLTOOL} -m i386)
    endif()
  else()
    set(dlltool ${CMAKE_DLLTOOL})
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${dlltool} -d ${def} -D $<TARGET_FILE_NAME:${target}> -l ${import_library}
    COMMENT "Import library for Visual C++ of ${target}"
    VERBATIM)
  install(FILES ${import_library} ${def} DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
endfunction()

# vivezeru5_package_library(TARGET): the project's version and Windows names
# (vivezeru5.dll, libvivezeru5.dll.a for MinGW, vivezeru5.lib for Visual C++),
# the version resource, and the installation with the CMake package.
function(vivezeru5_package_library target)
  set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  if(WIN32)
    set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "lib")
    vivezeru5_add_version_resource(${target} "${VIVEZERU5_LIBRARY_DESCRIPTION_${target}}")
    vivezeru5_add_import_library(${target})
  endif()
  install(TARGETS ${target}
    EXPORT vivezeru5Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vivezeru5 COMPONENT development)
  # Consumers of the installed target find its headers in the installed
  # include directory.
  get_target_property(interface ${target} INTERFACE_INCLUDE_DIRECTORIES)
  if(NOT "${interface}" MATCHES "INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")
    target_include_directories(${target} INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  endif()
  # A header the target does not name as its public one, by the project's
  # naming: vivezeru5/<target>.h.
  get_target_property(public_header ${target} PUBLIC_HEADER)
  if(NOT public_header AND EXISTS ${PROJECT_SOURCE_DIR}/vivezeru5/${target}.h)
    install(FILES ${PROJECT_SOURCE_DIR}/vivezeru5/${target}.h
      DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vivezeru5 COMPONENT development)
  endif()
endfunction()

function(vivezeru5_package_libraries)
  set(libraries vivezeru5)
  if(TARGET vivezeru5_reading)
    list(APPEND libraries vivezeru5_reading)
  endif()
  foreach(library IN LISTS libraries)
    vivezeru5_package_library(${library})
  endforeach()
  # Which libraries this build packages, for the checks of the packages'
  # contents (tests/packaging/).
  list(JOIN libraries "\n" listed)
  file(WRITE ${PROJECT_BINARY_DIR}/packaged_libraries.txt "${listed}\n")
  if(VIVEZERU5_BUILD_TESTS)
    include(${PROJECT_SOURCE_DIR}/tests/packaging/packaging_tests.cmake)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL vivezeru5_package_libraries)

install(FILES ${VIVEZERU5_VERSION_HEADER}
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vivezeru5 COMPONENT development)

install(EXPORT vivezeru5Targets
  NAMESPACE vivezeru5::
  DESTINATION ${VIVEZERU5_INSTALL_CMAKEDIR}
  COMPONENT development)

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/vivezeru5Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/vivezeru5Config.cmake
  INSTALL_DESTINATION ${VIVEZERU5_INSTALL_CMAKEDIR})
# The package's version is the project's.
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/vivezeru5ConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
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

# The documentation: the README, the licence and docs/ (the method, the host
# recipes and their programs).
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${VIVEZERU5_INSTALL_DOCDIR} COMPONENT documentation)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs
  DESTINATION ${VIVEZERU5_INSTALL_DOCDIR} COMPONENT documentation)

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

include(${CMAKE_CURRENT_LIST_DIR}/Packages.cmake)

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
