# Cross build for Windows with Debian's mingw-w64 (posix threads flavour): 64-bit by default,
# 32-bit through mingw-w64-i686.cmake, which names the other compiler and includes this file.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT DEFINED VELMORA_MINGW_PREFIX)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
  set(VELMORA_MINGW_PREFIX x86_64-w64-mingw32)
  set(VELMORA_WINE_ARCH win64)
endif()
set(CMAKE_C_COMPILER ${VELMORA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The exe must import only DLLs that ship with Windows: no libstdc++/libgcc/winpthread DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests run through Wine, in the rig's prefix of the same architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR env VELMORA_WINE_ARCH=${VELMORA_WINE_ARCH} "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run")
