#include "tests/support/win32_readback.h"

#include <cstring>

#include "vantrel/gl.h"

// After the framework's headers: Win32's macros would rewrite their names.
#include <windows.h>

namespace vantrel::test::win32 {
namespace {
template <class T> T h(THANDLE v) { return reinterpret_cast<T>(static_cast<std::uintptr_t>(v)); }
template <class T> THANDLE t(T v) {
  return static_cast<THANDLE>(reinterpret_cast<std::uintptr_t>(v));
}
static_assert(sizeof(TPIXELFORMATDESCRIPTOR) == sizeof(PIXELFORMATDESCRIPTOR));
} // namespace

window_facts window(THANDLE handle) {
  window_facts f;
  HWND w = h<HWND>(handle);
  f.exists = ::IsWindow(w);
  if (!f.exists) return f;
  f.style = LONGWORD(::GetWindowLongA(w, GWL_STYLE));
  f.ex_style = LONGWORD(::GetWindowLongA(w, GWL_EXSTYLE));
  char text[256] = {};
  ::GetWindowTextA(w, text, sizeof text);
  f.title = text;
  ::GetClassNameA(w, text, sizeof text);
  f.class_name = text;
  RECT r{};
  ::GetWindowRect(w, &r);
  f.rect = TRECT{r.left, r.top, r.right, r.bottom};
  return f;
}

pixel_format_facts pixel_format(THANDLE dc) {
  pixel_format_facts f;
  f.index = ::GetPixelFormat(h<HDC>(dc));
  if (f.index > 0) {
    PIXELFORMATDESCRIPTOR pfd{};
    ::DescribePixelFormat(h<HDC>(dc), f.index, sizeof pfd, &pfd);
    std::memcpy(static_cast<void *>(&f.pfd), &pfd, sizeof pfd);
  }
  return f;
}

LONGINT choose_pixel_format(THANDLE dc, const TPIXELFORMATDESCRIPTOR &pfd) {
  PIXELFORMATDESCRIPTOR native{};
  std::memcpy(&native, &pfd, sizeof native);
  return ::ChoosePixelFormat(h<HDC>(dc), &native);
}

font_facts current_font(THANDLE dc) {
  font_facts f;
  LOGFONTA lf{};
  HGDIOBJ font = ::GetCurrentObject(h<HDC>(dc), OBJ_FONT);
  f.found = font && ::GetObjectA(font, sizeof lf, &lf) == sizeof lf;
  if (!f.found) return f;
  f.height = lf.lfHeight, f.width = lf.lfWidth, f.escapement = lf.lfEscapement;
  f.orientation = lf.lfOrientation, f.weight = lf.lfWeight;
  f.italic = lf.lfItalic, f.underline = lf.lfUnderline, f.strike_out = lf.lfStrikeOut;
  f.charset = lf.lfCharSet, f.out_precision = lf.lfOutPrecision;
  f.clip_precision = lf.lfClipPrecision, f.quality = lf.lfQuality;
  f.pitch_and_family = lf.lfPitchAndFamily;
  f.face = lf.lfFaceName;
  return f;
}

THANDLE current_context() { return t(::wglGetCurrentContext()); }
THANDLE current_dc() { return t(::wglGetCurrentDC()); }

} // namespace vantrel::test::win32
