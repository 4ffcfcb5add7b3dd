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
unsigned RequireInside(std::span<const std::byte> part, std::span<const std::byte> whole) {
  const auto start = reinterpret_cast<std::uintptr_t>(whole.data());
  const auto at = reinterpret_cast<std::uintptr_t>(part.data());
  if (at < start || at - start > whole.size() || part.size() > whole.size() - (at - start)) {
    std::abort();
  }
  return std::accumulate(part.begin(), part.end(), 0u,
                         [](unsigned sum, std::byte b) { return sum + std::to_integer<unsigned>(b); });
}

void CheckRoot(std::span<const std::byte> info) {
  if (const auto root = velmora::pe::FindRootValue(info)) {
    static_cast<void>(RequireInside(*root, info));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = std::as_bytes(std::span(data, size));
  if (const auto resource = velmora::pe::FindVersionResource(input)) {
    static_cast<void>(RequireInside(*resource, input));
    if (resource->empty() || resource->size() > velmora::pe::kMaxVersionResourceSize) {
      std::abort();
    }
    CheckRoot(std::vector<std::byte>(resource->begin(), resource->end()));  // as CFileVersion's buffer
  }
  CheckRoot(input);  // the input taken as version information itself
  return 0;
}
