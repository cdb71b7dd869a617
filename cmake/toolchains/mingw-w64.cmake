# Cross-compiling the Windows DLL with Debian's mingw-w64 (GCC, win32 threads).
# Included by the per-architecture toolchain files, which set
# VIVEZERU5_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
#
#   VIVEZERU5_WINDOWS_CRT  ucrt (default): the Universal CRT, for hosts built
#                          with Visual Studio 2015 or later;
#                          msvcrt: msvcrt.dll, for hosts built with MinGW or
#                          older compilers.
# A host frees the blocks with its own free(), so the DLL must use the C
# runtime of the host it is handed to.
set(CMAKE_SYSTEM_NAME Windows)

set(triple ${VIVEZERU5_MINGW_TRIPLE})
set(CMAKE_C_COMPILER ${triple}-gcc)
set(CMAKE_CXX_COMPILER ${triple}-g++)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_OBJDUMP ${triple}-objdump CACHE FILEPATH "objdump for the target's images")

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(VIVEZERU5_WINDOWS_CRT ucrt CACHE STRING "C runtime the DLL links: ucrt or msvcrt")
set_property(CACHE VIVEZERU5_WINDOWS_CRT PROPERTY STRINGS ucrt msvcrt)

set(runtime_flags "")
if(VIVEZERU5_WINDOWS_CRT STREQUAL "ucrt")
  set(runtime_flags "-specs=${CMAKE_CURRENT_LIST_DIR}/link_ucrt.gcc")
elseif(NOT VIVEZERU5_WINDOWS_CRT STREQUAL "msvcrt")
  message(FATAL_ERROR "VIVEZERU5_WINDOWS_CRT is '${VIVEZERU5_WINDOWS_CRT}': use ucrt or msvcrt")
endif()
set(CMAKE_C_FLAGS_INIT "${runtime_flags} ${VIVEZERU5_MINGW_ARCH_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${runtime_flags} ${VIVEZERU5_MINGW_ARCH_FLAGS}")

# The GCC runtime and the C++ standard library go inside the images, so that
# the DLL imports KERNEL32.dll and the C runtime only.
set(static_runtime "-static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${static_runtime}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${static_runtime}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${static_runtime}")
