// libFuzzer target for the PE version reader: whatever the bytes, it must not read outside
// them, and what it returns must lie inside what it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "version/PeVersionReader.h"

namespace {

void Require(bool condition) {
  if (!condition) {
    std::abort();
  }
}

bool Inside(std::span<const std::byte> part, std::span<const std::byte> whole) {
  const auto start = reinterpret_cast<std::uintptr_t>(whole.data());
  const auto at = reinterpret_cast<std::uintptr_t>(part.data());
  return at >= start && at - start <= whole.size() && part.size() <= whole.size() - (at - start);
}

// Touches every byte of part, so that ASan sees any that lie outside the input.
unsigned Sum(std::span<const std::byte> part) {
  unsigned sum = 0;
  for (const std::byte b : part) {
    sum += std::to_integer<unsigned>(b);
  }
  return sum;
}

void CheckRoot(std::span<const std::byte> info) {
  if (const auto root = velmora::pe::FindRootValue(info)) {
    Require(Inside(*root, info));
    static_cast<void>(Sum(*root));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = std::as_bytes(std::span(data, size));
  if (const auto resource = velmora::pe::FindVersionResource(input)) {
    Require(Inside(*resource, input));
    Require(!resource->empty() && resource->size() <= velmora::pe::kMaxVersionResourceSize);
    // A copy of exactly the resource, as CFileVersion's buffer would hold it.
    const std::vector<std::byte> info(resource->begin(), resource->end());
    CheckRoot(info);
  }
  CheckRoot(input);  // the input taken as version information itself
  return 0;
}
