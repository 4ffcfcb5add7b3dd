# The layers include downward only: base <- version <- platform <- app <- the programs' entries
# (windows/, linux/, web/). app/ and the shared part of platform/ are portable: no platform header,
# no backend; a backend (platform/win32, qt, web) is included only by its own folder, the program
# that uses it, its tests and benchmarks. Fails naming every include that runs the wrong way.
#   cmake -DROOT=<repository> -P Layers.cmake
set(system_headers "<(windows|commctrl|objbase|shellapi|oleacc|emscripten)[/.]|<Q[A-Za-z]+>|<qt")
set(backends "\"platform/(win32|qt|web)/")
set(entries "\"(windows|linux|web)/")

# What the files of each folder (directly in it, or below it) may not include.
set(below_base "\"(version|platform|app)/|${entries}")
set(below_version "\"(platform|app)/|${entries}")
set(below_platform "\"app/|${entries}")
set(in_platform "${below_platform}|${backends}|\"base/|${system_headers}")
set(below_app "${entries}|${backends}|\"base/|${system_headers}")

set(violations "")
macro(check forbidden)  # in the files after it
  foreach(file ${ARGN})
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "${forbidden}")
        file(RELATIVE_PATH relative "${ROOT}" "${file}")
        string(APPEND violations "\n  ${relative}: ${line}")
      endif()
    endforeach()
  endforeach()
endmacro()

foreach(folder base version platform app)
  file(GLOB_RECURSE files "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  check("${below_${folder}}" ${files})
endforeach()
file(GLOB shared "${ROOT}/platform/*.h" "${ROOT}/platform/*.cpp")  # the interface and what every backend shares
check("${in_platform}" ${shared})

if(violations)
  message(FATAL_ERROR "includes that run against the layers:${violations}")
endif()
message(STATUS "every include runs downward")
