# GoogleTest from Debian's source package (googletest), built with the same
# compiler as the code under test, so the Windows side gets a mingw build of it.
if(NOT TARGET gtest)
  set(VELMORA_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
  if(EXISTS "${VELMORA_GTEST_SOURCE}/CMakeLists.txt")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory("${VELMORA_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/_googletest" EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED GLOBAL)  # Visual Studio: vcpkg's or another installed GoogleTest
    add_library(gtest ALIAS GTest::gtest)
    add_library(gtest_main ALIAS GTest::gtest_main)
  endif()
endif()
