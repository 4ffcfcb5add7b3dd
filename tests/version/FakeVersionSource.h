#pragma once
// A recording fake of the four platform operations: each call is logged by name, each result
// can be chosen, and any operation can be made to throw.
#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "version/VersionSource.h"

namespace velmora::test {

struct FakeVersionSource final : VersionSource {
  // Results.
  bool exists = true;
  std::vector<std::byte> info;  // what ReadInfo copies into the buffer; InfoSize reports its size
  bool readSucceeds = true;
  bool querySucceeds = true;
  std::size_t rootOffset = 0;  // where in the buffer the root block lies
  std::size_t rootLength = 52;
  bool rootOutsideBuffer = false;
  std::string throwIn;  // the operation that throws, by name

  // What was seen.
  std::vector<std::string> calls;
  std::vector<std::wstring> names;
  std::vector<bool> bufferZeroFilled;
  const std::byte* readBuffer = nullptr;
  const std::byte* queriedBuffer = nullptr;
  std::size_t readSize = 0;

  bool FileExists(const std::wstring& sFileName) override {
    Enter("FileExists", sFileName);
    return exists;
  }
  std::uint32_t InfoSize(const std::wstring& sFileName) override {
    Enter("InfoSize", sFileName);
    return static_cast<std::uint32_t>(info.size());
  }
  bool ReadInfo(const std::wstring& sFileName, std::span<std::byte> buffer) override {
    readBuffer = buffer.data();
    readSize = buffer.size();
    bufferZeroFilled.push_back(
        std::all_of(buffer.begin(), buffer.end(), [](std::byte b) { return b == std::byte{}; }));
    Enter("ReadInfo", sFileName);
    if (readSucceeds) {
      std::copy_n(info.begin(), std::min(info.size(), buffer.size()), buffer.begin());
    }
    return readSucceeds;
  }
  std::optional<std::span<const std::byte>> QueryRoot(std::span<const std::byte> buffer) override {
    queriedBuffer = buffer.data();
    Enter("QueryRoot", L"");
    if (!querySucceeds) {
      return std::nullopt;
    }
    if (rootOutsideBuffer) {
      return std::span<const std::byte>(outside_.data(), outside_.size());
    }
    return std::span<const std::byte>(buffer.data() + rootOffset, rootLength);
  }

 private:
  void Enter(const std::string& operation, const std::wstring& name) {
    calls.push_back(operation);
    if (operation != "QueryRoot") {
      names.push_back(name);
    }
    if (throwIn == operation) {
      throw std::runtime_error(operation + " failed");
    }
  }

  std::vector<std::byte> outside_ = std::vector<std::byte>(64);
};

}  // namespace velmora::test
