// win32 backend: a window's picture, blitted from its device context into a 32-bit DIB section,
// and cleared outside the window's region as the other backends give it.
#include "vantrel/platform/platform.h"

// After the framework's headers: Win32's macros (WM_CREATE, MB_OK...) would rewrite their names.
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace vantrel::platform {

BOOLEAN GetWindowPixels(THANDLE WINDOW, LONGINT *W, LONGINT *H, std::uint32_t *PIXELS) {
  HWND window = reinterpret_cast<HWND>(WINDOW);
  RECT client;
  if (!W || !H || !IsWindow(window) || !::GetClientRect(window, &client)) return false;
  LONG width = client.right - client.left, height = client.bottom - client.top;
  if (!PIXELS) {
    *W = width, *H = height;
    return true;
  }
  if (*W != width || *H != height || width < 1 || height < 1 || !IsWindowVisible(window))
    return false;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height; // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC from = ::GetDC(window);
  HDC memory = from ? ::CreateCompatibleDC(from) : nullptr;
  void *bits = nullptr;
  HBITMAP section =
      memory ? ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  bool ok = false;
  if (section && bits) {
    HGDIOBJ old = ::SelectObject(memory, section);
    ok = ::BitBlt(memory, 0, 0, width, height, from, 0, 0, SRCCOPY) != 0;
    ::GdiFlush();
    if (ok) {
      // A 32-bit DIB pixel is blue, green, red, unused: 0x00RRGGBB read as one word.
      const std::uint32_t *p = static_cast<const std::uint32_t *>(bits);
      for (std::size_t i = 0; i < std::size_t(width) * std::size_t(height); i++)
        PIXELS[i] = p[i] & 0x00FFFFFF;
    }
    ::SelectObject(memory, old);
  }
  if (section) ::DeleteObject(section);
  if (memory) ::DeleteDC(memory);
  if (from) ::ReleaseDC(window, from);
  if (!ok) return false;

  // Outside the window's shape the screen shows what lies behind it.
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  if (region && ::GetWindowRgn(window, region) != ERROR) {
    RECT outer;
    ::POINT origin{0, 0};
    ::GetWindowRect(window, &outer);
    ::ClientToScreen(window, &origin);
    LONG dx = origin.x - outer.left, dy = origin.y - outer.top;
    for (LONG y = 0; y < height; y++)
      for (LONG x = 0; x < width; x++)
        if (!::PtInRegion(region, x + dx, y + dy)) PIXELS[std::size_t(y) * width + x] = 0;
  }
  if (region) ::DeleteObject(region);
  return true;
}

} // namespace vantrel::platform
