# 32-bit Windows DLL, built with Debian's mingw-w64. Arithmetic in SSE2, never
# the x87 unit, so that results are rounded exactly as on 64-bit systems and do
# not depend on the precision the host leaves in the x87 control word.
set(CMAKE_SYSTEM_PROCESSOR X86)
set(VIVEZERU5_MINGW_TRIPLE i686-w64-mingw32)
set(VIVEZERU5_MINGW_ARCH_FLAGS "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
