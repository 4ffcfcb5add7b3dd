# The layers include downward only: base <- version <- platform <- app <- the programs' entries
# (windows/, linux/, web/). app/ and the shared part of platform/ are portable: no platform header,
# no backend; a backend (platform/win32, qt, web) is included only by its own folder, the program
# that uses it, its tests and benchmarks. Fails naming every include that runs the wrong way.
#   cmake -DROOT=<repository> -P Layers.cmake
set(system_headers "<(windows|commctrl|objbase|shellapi|oleacc|emscripten)[/.]|<Q[A-Za-z]+>|<qt")
set(backends "\"platform/(win32|qt|web)/")
set(entries "\"(windows|linux|web)/")

# Folder (files directly in it, or below it), and what its files may not include.
set(below_base "\"(version|platform|app)/|${entries}")
set(below_version "\"(platform|app)/|${entries}")
set(below_platform "\"app/|${entries}")
set(in_platform "${below_platform}|${backends}|\"base/|${system_headers}")
set(below_app "${entries}|${backends}|\"base/|${system_headers}")

set(violations "")
macro(check pattern forbidden)
  file(GLOB_RECURSE files "${ROOT}/${pattern}")
  foreach(file ${files})
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "${forbidden}")
        file(RELATIVE_PATH relative "${ROOT}" "${file}")
        string(APPEND violations "\n  ${relative}: ${line}")
      endif()
    endforeach()
  endforeach()
endmacro()

foreach(ext h cpp)
  check("base/*.${ext}" "${below_base}")
  check("version/*.${ext}" "${below_version}")
  check("platform/*.${ext}" "${below_platform}")
  check("app/*.${ext}" "${below_app}")
  file(GLOB shared "${ROOT}/platform/*.${ext}")  # the interface and what every backend shares
  foreach(file ${shared})
    file(RELATIVE_PATH relative "${ROOT}" "${file}")
    check("${relative}" "${in_platform}")
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "includes that run against the layers:${violations}")
endif()
message(STATUS "every include runs downward")
