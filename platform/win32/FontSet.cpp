#include "platform/win32/FontSet.h"

#include <cwchar>

#include "platform/win32/Win32Error.h"

namespace velmora::win32 {

namespace {

constexpr int kPointSize = 9;

// The Simplified Chinese UI font and, where it is missing, its stand-ins, nearest first:
// - SimSun's fixed-pitch twin NSimSun, the same glyphs;
// - fonts with SimSun's metrics (every ASCII character half as wide as a Chinese one), so the
//   layout comes out exactly as designed: Noto Sans Mono CJK SC, WenQuanYi Zen Hei Mono;
// - the common Chinese UI fonts of Windows and Linux. Their Latin letters are proportional, so
//   captions with ASCII in them come out a few pixels wider or narrower; labels grow to the
//   right and the controls above them stay in front.
// With none of them installed, SimSun is asked for and the font mapper has the last word.
constexpr const wchar_t* kChineseUiFaces[] = {
    L"SimSun",          L"NSimSun",          L"Noto Sans Mono CJK SC", L"WenQuanYi Zen Hei Mono",
    L"Microsoft YaHei", L"Noto Sans CJK SC", L"WenQuanYi Micro Hei",
};

int CALLBACK CountFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// Enumeration matches a font's English and its localised family name alike (宋体 is SimSun).
bool HasChineseFace(HDC dc, const wchar_t* face) {
  LOGFONTW lf{};
  lf.lfCharSet = GB2312_CHARSET;
  std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  ::EnumFontFamiliesExW(dc, &lf, CountFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

const wchar_t* ChineseUiFace() {
  WindowDC screen(nullptr);
  for (const wchar_t* face : kChineseUiFaces) {
    if (HasChineseFace(screen.get(), face)) {
      return face;
    }
  }
  return kChineseUiFaces[0];
}

// The face the font mapper really selects for a font, which differs from the one asked for when
// that one is not installed.
bool SelectsFace(HFONT font, const wchar_t* face) {
  WindowDC screen(nullptr);
  SelectedObject selected(screen.get(), font);
  wchar_t actual[LF_FACESIZE]{};
  return ::GetTextFaceW(screen.get(), LF_FACESIZE, actual) > 0 && _wcsicmp(actual, face) == 0;
}

UniqueFont MakeFont(int height, const wchar_t* face, BYTE charset, LONG weight, bool underline) {
  LOGFONTW lf{};
  lf.lfHeight = -height;
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

FontSet::FontSet(UINT dpi) : pixelHeight_(PointsToPixels(kPointSize, dpi)) {
  const wchar_t* face = ChineseUiFace();
  window_ = MakeFont(pixelHeight_, face, GB2312_CHARSET, FW_NORMAL, false);
  underlined_ = MakeFont(pixelHeight_, face, GB2312_CHARSET, FW_NORMAL, true);
  marlett_ = MakeFont(pixelHeight_, L"Marlett", SYMBOL_CHARSET, FW_MEDIUM, false);
  hasMarlett_ = SelectsFace(marlett_.get(), L"Marlett");
}

HFONT FontSet::Get(FontKind kind, bool underline) const {
  if (kind == FontKind::Marlett) {
    return marlett_.get();
  }
  return underline ? underlined_.get() : window_.get();
}

}  // namespace velmora::win32
