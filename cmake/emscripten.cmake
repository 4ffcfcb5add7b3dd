# The web build with Debian's emscripten package. Its tools run on the machine's node, which finds
# Debian's JavaScript modules (acorn, which emcc needs when it links) only through NODE_PATH.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
