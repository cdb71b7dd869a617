# The packages CPack makes of an installation (cpack, or the package-*
# presets of CMakePresets.json):
#   Windows  vivezeru5-<version>-win64-ucrt.zip (and win32, msvcrt): the DLL,
#            both import libraries, the .def, the headers, the CMake package,
#            the .pc, README.md, LICENSE and docs/;
#   Linux    vivezeru5-<version>-Linux.tar.gz, and vivezeru5_<version>_<arch>.deb
#            installing to /usr: the shared library, the headers, the .pc, the
#            CMake package, the command-line tool and the documentation.
# tests/packaging/*.txt list what each holds; .ci/steps/packages.sh checks it.
set(CPACK_PACKAGE_NAME vivezeru5)
set(CPACK_PACKAGE_VENDOR "The vivezeru5 developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "A C library (C++20 inside) that reads the type-5 upper-air soundings, characteristic-level soundings and type-1 surface reports of the Velmor text family, returning each file as one block of 32-bit floats, and analyses every sounding (freezing level, stability indices, LCL, LFC, equilibrium level, CAPE, CIN). With the command-line tool vivezeru5, a CMake package and a pkg-config file. Licence: BSD-3-Clause.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_SOURCE_GENERATOR "")

if(WIN32)
  # The flavour in the name: architecture and C runtime.
  set(CPACK_PACKAGE_FILE_NAME "vivezeru5-${PROJECT_VERSION}-win${VIVEZERU5_WINDOWS_BITS}-${VIVEZERU5_WINDOWS_CRT}")
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The vivezeru5 developers")
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  # Depends from the libraries the shared library and the tool link.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_RPM_PACKAGE_LICENSE BSD-3-Clause)

  # Debian's place for the licence: /usr/share/doc/vivezeru5/copyright, in
  # the machine-readable format, with the text of LICENSE.
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(REGEX REPLACE "\n+$" "" licence "${licence}")
  string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REPLACE "\n" "\n " licence "${licence}")
  set(copyright ${PROJECT_BINARY_DIR}/copyright)
  file(WRITE ${copyright}
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: vivezeru5\n\n"
    "Files: *\n"
    "Copyright: The vivezeru5 developers\n"
    "License: BSD-3-Clause\n"
    " ${licence}\n")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES ${copyright} DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT documentation)
endif()

include(CPack)
