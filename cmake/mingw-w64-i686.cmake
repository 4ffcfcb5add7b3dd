# Cross build for 32-bit Windows: one exe for 32-bit Windows and, through WOW64, 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VELMORA_MINGW_PREFIX i686-w64-mingw32)
set(VELMORA_WINE_ARCH win32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake")
