#pragma once
// Reads the file version of any file from its version resource and offers it as four numbers
// and as a dotted string. The logic runs over the four operations of VersionSource, so it is
// the same on every platform and can be exercised with a fake.
//
// Errors: an ordinary failure (no such ordinary file, no version information, a failed read,
// a failed or too short root block) makes FillVersionInfo return false. An exception thrown by
// an operation (or std::bad_alloc for the buffer) is not caught: it leaves FillVersionInfo for
// its caller, after the buffer has been released, and the four numbers keep their previous
// values, as on any other failure.
#include <cstdint>
#include <memory>
#include <string>

#include "version/VersionSource.h"

namespace velmora {

class CFileVersion {
 public:
  // Uses the platform's own operations.
  CFileVersion();
  explicit CFileVersion(std::unique_ptr<VersionSource> source);

  // True when every step succeeds; only then do the four numbers change.
  bool FillVersionInfo(std::wstring sFileName);

  std::int32_t Major() const { return major_; }
  std::int32_t Minor() const { return minor_; }
  std::int32_t Revision() const { return revision_; }
  std::int32_t Build() const { return build_; }

  // "Major.Minor.Revision.Build" in plain decimal.
  std::wstring VersionString() const;

 private:
  friend struct CFileVersionTestAccess;

  // which 0: the lower 16 bits of value; which 1: the upper 16 bits; otherwise 0.
  static std::int32_t WordPart(std::int32_t value, std::int32_t which);

  std::unique_ptr<VersionSource> source_;
  std::int32_t major_ = 0;
  std::int32_t minor_ = 0;
  std::int32_t revision_ = 0;
  std::int32_t build_ = 0;
};

}  // namespace velmora
