#pragma once
#include <windows.h>

#include <string>

#include "platform/Forms.h"

namespace velmora::win32 {

// Throws PlatformError naming the failed call and the system's error code.
[[noreturn]] inline void ThrowLastError(const char* call) {
  const DWORD code = ::GetLastError();
  throw PlatformError(std::string(call) + " failed (error " + std::to_string(code) + ")");
}

}  // namespace velmora::win32
