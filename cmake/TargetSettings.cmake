# What every target of the project gets, in one function: warnings as errors, and the repository
# root as its own (PRIVATE) include directory, so that sources name headers by their folder
# ("platform/Forms.h"). No target passes the root on to the targets that use it: each one says
# for itself that it reads the project's sources, and which layers it may include is checked by
# the layering test (tests/Layers.cmake).
function(velmora_target_settings target)
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}")
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8)
    # The standard C functions used here (getenv, wcsncpy) are called within their bounds.
    target_compile_definitions(${target} PRIVATE _CRT_SECURE_NO_WARNINGS)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wsign-conversion -Wnon-virtual-dtor -Werror)
  endif()
  if(WIN32)
    # Built for Windows 7, the oldest system the programs run on: a function that Windows 7 lacks
    # is not declared, so it can only be reached through a run-time lookup (base/win32/SystemFunction.h).
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                 _WIN32_WINNT=0x0601 WINVER=0x0601 NTDDI_VERSION=0x06010000)
  endif()
endfunction()
