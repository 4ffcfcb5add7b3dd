#pragma once
// The four operations written in portable C++ over the project's own PE reader: the stand-in
// for version.dll where there is none. A hidden file is one whose name starts with a dot.
// File system errors are reported as ordinary failures, never thrown.
//
// The file is opened once: FileExists keeps the ordinary file it found open, and the InfoSize
// and ReadInfo that follow for the same name read that very file, whatever the name has come
// to mean meanwhile. Called on their own, InfoSize and ReadInfo open the file themselves.
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "version/OrdinaryFile.h"
#include "version/VersionSource.h"

namespace velmora {

class PortableVersionSource final : public VersionSource {
 public:
  bool FileExists(const std::wstring& sFileName) override;
  std::uint32_t InfoSize(const std::wstring& sFileName) override;
  bool ReadInfo(const std::wstring& sFileName, std::span<std::byte> buffer) override;
  std::optional<std::span<const std::byte>> QueryRoot(std::span<const std::byte> buffer) override;

 private:
  // What is held for this name, if it is a T, moved out; the caller lets go of the rest.
  template <typename T>
  std::optional<T> Take(const std::wstring& sFileName) {
    if (held_ && held_->name == sFileName && std::holds_alternative<T>(held_->what)) {
      return std::get<T>(std::move(held_->what));
    }
    return std::nullopt;
  }

  // The version information of the file held for this name, or of the file the name opens now.
  std::optional<std::vector<std::byte>> VersionInfo(const std::wstring& sFileName);

  // Between the steps of one read: the file FileExists opened, then the version information
  // that InfoSize found in it. Each step takes it; nothing is kept after ReadInfo or a failure.
  struct Held {
    std::wstring name;
    std::variant<OrdinaryFile, std::vector<std::byte>> what;
  };
  std::optional<Held> held_;
};

}  // namespace velmora
