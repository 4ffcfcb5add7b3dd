#pragma once
// The project's own reader of a PE file's version resource, so that the file version can be
// read where version.dll is absent. It trusts nothing in the file: every offset and length is
// checked against the bytes it was given, and it returns nothing rather than guess.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace velmora::pe {

// Larger inputs are refused rather than read.
inline constexpr std::uint64_t kMaxImageSize = 256u * 1024u * 1024u;
inline constexpr std::uint32_t kMaxVersionResourceSize = 1024u * 1024u;

// RT_VERSION and the name version.dll looks up in it (VS_VERSION_INFO).
inline constexpr std::uint32_t kVersionResourceType = 16;
inline constexpr std::uint32_t kVersionResourceName = 1;

// The data of the image's version resource (type 16, name 1, its first language), inside image.
// Reads PE32 and PE32+ images. Nothing when the image has none or is malformed.
std::optional<std::span<const std::byte>> FindVersionResource(std::span<const std::byte> image);

// The value of the VS_VERSIONINFO root block at the start of versionInfo, inside versionInfo,
// with the length that the block gives it (wValueLength): the fixed version block.
// Nothing when the root block is malformed or its value does not fit in it.
std::optional<std::span<const std::byte>> FindRootValue(std::span<const std::byte> versionInfo);

}  // namespace velmora::pe
