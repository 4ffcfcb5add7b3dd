#include "platform/win32/FontSet.h"

#include <cwchar>

#include "platform/win32/Win32Error.h"

namespace velmora::win32 {

namespace {

constexpr int kPointSize = 9;

UniqueFont MakeFont(UINT dpi, const wchar_t* face, BYTE charset, LONG weight, bool underline) {
  LOGFONTW lf{};
  lf.lfHeight = -PointsToPixels(kPointSize, dpi);
  lf.lfWeight = weight;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfCharSet = charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  UniqueFont font(::CreateFontIndirectW(&lf));
  if (!font) {
    ThrowLastError("CreateFontIndirectW");
  }
  return font;
}

}  // namespace

// SimSun with the GB2312 character set is the standard Simplified Chinese UI font; where it is
// not installed, the font mapper picks another font that has the Chinese glyphs.
FontSet::FontSet(UINT dpi)
    : window_(MakeFont(dpi, L"SimSun", GB2312_CHARSET, FW_NORMAL, false)),
      underlined_(MakeFont(dpi, L"SimSun", GB2312_CHARSET, FW_NORMAL, true)),
      marlett_(MakeFont(dpi, L"Marlett", SYMBOL_CHARSET, FW_MEDIUM, false)) {}

HFONT FontSet::Get(FontKind kind, bool underline) const {
  if (kind == FontKind::Marlett) {
    return marlett_.get();
  }
  return underline ? underlined_.get() : window_.get();
}

}  // namespace velmora::win32
