# Drasken.exe ends through main.cpp's own terminate handler. Were GCC's verbose handler linked
# in again (main.cpp's definition dropped, or no longer taking the library's place), its
# messages and the demangler it calls would be back in the exe: about 58 KB.
# cmake -DEXE=<Drasken.exe> -P LeanTerminate.cmake
file(STRINGS "${EXE}" found REGEX "terminate called|\\(anonymous namespace\\)")
if(found)
  message(FATAL_ERROR "${EXE} holds the verbose terminate handler or the demangler: ${found}")
endif()
file(STRINGS "${EXE}" sane REGEX "Velmora")  # the check reads the exe's strings at all (and it is there)
if(NOT sane)
  message(FATAL_ERROR "no strings read from ${EXE}")
endif()
