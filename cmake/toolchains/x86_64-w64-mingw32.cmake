# 64-bit Windows DLL, built with Debian's mingw-w64 and run under wine64 by the
# tests.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(VIVEZERU5_MINGW_TRIPLE x86_64-w64-mingw32)
set(VIVEZERU5_MINGW_ARCH_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Test programs run under wine64, with wine's own diagnostics silenced and
# without its .NET and HTML engines (nothing here needs them), in a
# wine prefix under the build folder (the presets share one, so that it is
# created once).
find_program(VIVEZERU5_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(NOT VIVEZERU5_WINEPREFIX)
  set(VIVEZERU5_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
endif()
if(VIVEZERU5_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= WINEPREFIX=${VIVEZERU5_WINEPREFIX}
      ${VIVEZERU5_WINE64})
endif()
