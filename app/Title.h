#pragma once
#include <cstdint>
#include <string>

namespace velmora {

// "Velmora", the year, " v", major, ".", minor, ".", revision: "Velmora2008 v1.0.2".
std::wstring ComposeTitle(std::int16_t year, std::int16_t major, std::int16_t minor, std::int16_t revision);

}  // namespace velmora
