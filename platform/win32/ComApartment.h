#pragma once
// COM for the window's thread, brought in only when something first needs it (a link opened by
// the shell, a screen reader's names): ole32 is loaded from the system directory and a
// single-threaded apartment entered, once; both are let go when the owner goes, after every
// object made through it has been released.
#include <windows.h>

#include <objbase.h>

#include <utility>

#include "base/win32/Handles.h"

namespace velmora::win32 {

class ComApartment {
 public:
  ComApartment() = default;
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // True once the thread is in an apartment (ours, or one it was in already). The first call
  // loads ole32 and enters it; a failure is not tried again.
  bool Enter() noexcept;

  // CoCreateInstance for an in-process server; fails where the apartment could not be entered.
  HRESULT CreateInstance(REFCLSID cls, REFIID iid, void** object) noexcept;

 private:
  UniqueLibrary ole32_;
  bool tried_ = false;
  bool entered_ = false;
  bool mustLeave_ = false;  // CoInitializeEx succeeded here, so CoUninitialize is owed
};

// An owned reference to a COM object: released in one place.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }

  Interface* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // For a creation function's out parameter; what was held is released first.
  void** Put() {
    Reset();
    return reinterpret_cast<void**>(&object_);
  }
  void Reset() {
    if (object_ != nullptr) {
      std::exchange(object_, nullptr)->Release();
    }
  }

 private:
  Interface* object_ = nullptr;
};

}  // namespace velmora::win32
