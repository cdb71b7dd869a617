# A VERSIONINFO resource for each DLL: the project version, and a
# FileDescription naming what the DLL is for, its architecture and its C
# runtime ("vivezeru5 station data readers, 64-bit, Universal CRT"), so that
# the flavour can be told from the file's properties on Windows.
if(NOT WIN32)
  return()
endif()
enable_language(RC)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VIVEZERU5_WINDOWS_BITS 64)
else()
  set(VIVEZERU5_WINDOWS_BITS 32)
endif()
if(VIVEZERU5_WINDOWS_CRT STREQUAL "msvcrt")
  set(VIVEZERU5_WINDOWS_CRT_NAME "msvcrt.dll")
else()
  set(VIVEZERU5_WINDOWS_CRT_NAME "Universal CRT")
endif()

# vivezeru5_add_version_resource(TARGET "what the DLL is")
function(vivezeru5_add_version_resource target what)
  set(VIVEZERU5_RC_DESCRIPTION "${what}, ${VIVEZERU5_WINDOWS_BITS}-bit, ${VIVEZERU5_WINDOWS_CRT_NAME}")
  set(VIVEZERU5_RC_NAME "$<TARGET_FILE_BASE_NAME:${target}>")
  set(VIVEZERU5_RC_FILE_NAME "$<TARGET_FILE_NAME:${target}>")
  set(rc ${PROJECT_BINARY_DIR}/resources/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/vivezeru5/vivezeru5.rc.in ${rc}.in @ONLY)
  file(GENERATE OUTPUT ${rc} INPUT ${rc}.in)
  target_sources(${target} PRIVATE ${rc})
endfunction()
