#include "platform/win32/FontSet.h"

#include <cwchar>
#include <string>
#include <utility>

#include "platform/WindowFont.h"
#include "platform/win32/Win32Error.h"

namespace velmora::win32 {

namespace {

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

// The first installed face of the window font's stand-ins, or the first family where none is.
std::wstring InstalledStandIn() {
  WindowDC screen(nullptr);
  for (const std::wstring_view family : kWindowFontFamilies) {
    std::wstring face(family);
    if (HasChineseFace(screen.get(), face.c_str())) {
      return face;
    }
  }
  return std::wstring(kWindowFontFamilies.front());
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

// The window font's first family is asked for at once; the families are enumerated (which takes
// longer than the rest of the fonts together) only where the font mapper gives another face for it.
FontSet::FontSet(UINT dpi) : pixelHeight_(PointsToPixels(kWindowFontPoints, dpi)) {
  std::wstring face(kWindowFontFamilies.front());
  window_ = MakeFont(pixelHeight_, face.c_str(), GB2312_CHARSET, FW_NORMAL, false);
  if (!SelectsFace(window_.get(), face.c_str())) {
    if (std::wstring standIn = InstalledStandIn(); standIn != face) {
      face = std::move(standIn);
      window_ = MakeFont(pixelHeight_, face.c_str(), GB2312_CHARSET, FW_NORMAL, false);
    }
  }
  underlined_ = MakeFont(pixelHeight_, face.c_str(), GB2312_CHARSET, FW_NORMAL, true);
  marlett_ = MakeFont(pixelHeight_, L"Marlett", SYMBOL_CHARSET, FW_MEDIUM, false);
  hasMarlett_ = SelectsFace(marlett_.get(), L"Marlett");
}

HFONT FontSet::Get(ArrowKind arrow, bool underline) const {
  if (arrow != ArrowKind::None) {
    return marlett_.get();
  }
  return underline ? underlined_.get() : window_.get();
}

}  // namespace velmora::win32
