#include "app/Title.h"

#include "app/Texts.h"

namespace velmora {

std::wstring ComposeTitle(std::int16_t year, std::int16_t major, std::int16_t minor, std::int16_t revision) {
  std::wstring title(texts::kProductName);
  title += std::to_wstring(year);
  title += L" v";
  title += std::to_wstring(major);
  title += L'.';
  title += std::to_wstring(minor);
  title += L'.';
  title += std::to_wstring(revision);
  return title;
}

}  // namespace velmora
