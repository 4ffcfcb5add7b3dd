// libFuzzer target for the PE version reader: whatever the bytes, it must not read outside
// them, and what it returns must lie inside what it was given.
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "version/PeVersionReader.h"

namespace {

// Checks that part lies inside whole, then touches each of its bytes so that ASan sees any
// that do not.
void RequireInside(std::span<const std::byte> part, std::span<const std::byte> whole) {
  const auto at = reinterpret_cast<std::uintptr_t>(part.data()) - reinterpret_cast<std::uintptr_t>(whole.data());
  if (part.data() < whole.data() || at > whole.size() || part.size() > whole.size() - at) {
    std::abort();
  }
  static volatile unsigned sum = 0;
  sum = std::accumulate(part.begin(), part.end(), 0u, [](unsigned s, std::byte b) { return s ^ unsigned(b); });
}

void CheckRoot(std::span<const std::byte> info) {
  if (const auto root = velmora::pe::FindRootValue(info)) {
    RequireInside(*root, info);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = std::as_bytes(std::span(data, size));
  if (const auto resource = velmora::pe::FindVersionResource(input)) {
    RequireInside(*resource, input);
    if (resource->empty() || resource->size() > velmora::pe::kMaxVersionResourceSize) {
      std::abort();
    }
    CheckRoot(std::vector<std::byte>(resource->begin(), resource->end()));  // a copy, as CFileVersion reads it
  }
  CheckRoot(input);  // the input taken as version information itself
  return 0;
}
