# The project version (project(vivezeru5 VERSION ...) in CMakeLists.txt) as a
# generated header, vivezeru5/vivezeru5_version.h, which vivezeru5.h includes
# and which is installed beside it. Every target of the project finds it: the
# two already defined through their include directories, those defined later
# through the directory's.
set(VIVEZERU5_GENERATED_INCLUDE_DIR ${PROJECT_BINARY_DIR}/include)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vivezeru5_version.h.in
  ${VIVEZERU5_GENERATED_INCLUDE_DIR}/vivezeru5/vivezeru5_version.h @ONLY)
set(VIVEZERU5_VERSION_HEADER ${VIVEZERU5_GENERATED_INCLUDE_DIR}/vivezeru5/vivezeru5_version.h)

# vivezeru5.h includes it as "vivezeru5_version.h": found beside an installed
# vivezeru5.h, and in the build tree through this directory.
include_directories(${VIVEZERU5_GENERATED_INCLUDE_DIR}/vivezeru5)
foreach(target vivezeru5_objects vivezeru5)
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${VIVEZERU5_GENERATED_INCLUDE_DIR}/vivezeru5>)
endforeach()
