// The seam as the real Win32 calls. Framework records are converted field by field where their
// Win32 counterparts differ in layout, and handed through unchanged where they match bit for bit.
//
// Window procedures: on x86_64 Windows there is one calling convention, and the framework's
// TWNDPROC (THANDLE, LONGWORD, TWPARAM, TLPARAM) -> TLRESULT has the same argument and result
// sizes as WNDPROC, so RegisterClassA hands the framework's pointer to user32 as it is (the
// static_asserts below hold that promise); no trampoline sits between them.
//
// Test hook: after win32::fail_pixel_format(true) (win32_test_hooks.h, for tests only),
// ChoosePixelFormat finds no format, so the context failure path can be driven end to end.
#include "vantrel/gl.h"
#include "vantrel/platform/frames.h"
#include "vantrel/platform/platform.h"
#include "vantrel/platform/win32/win32_test_hooks.h"

// After the framework's headers: Win32's macros (WM_CREATE, MB_OK...) would rewrite their names.
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace vantrel::win32 {
namespace {
bool pixel_formats_fail = false;
} // namespace

void fail_pixel_format(bool fail) { pixel_formats_fail = fail; }
} // namespace vantrel::win32

namespace vantrel::platform {

static_assert(sizeof(void *) == 8, "the win32 backend is built for 64-bit Windows");
static_assert(sizeof(THANDLE) == sizeof(HWND) && sizeof(TWPARAM) == sizeof(WPARAM) &&
              sizeof(TLPARAM) == sizeof(LPARAM) && sizeof(TLRESULT) == sizeof(LRESULT) &&
              sizeof(LONGWORD) == sizeof(UINT));
static_assert(sizeof(TPIXELFORMATDESCRIPTOR) == sizeof(PIXELFORMATDESCRIPTOR));
// WM_NCCREATE and WM_CREATE hand the procedure Windows' own record.
static_assert(sizeof(TCREATESTRUCT) == sizeof(CREATESTRUCTA) &&
              offsetof(TCREATESTRUCT, CY) == offsetof(CREATESTRUCTA, cy) &&
              offsetof(TCREATESTRUCT, STYLE) == offsetof(CREATESTRUCTA, style) &&
              offsetof(TCREATESTRUCT, EXSTYLE) == offsetof(CREATESTRUCTA, dwExStyle));
static_assert(sizeof(TBITMAPINFOHEADER) == sizeof(BITMAPINFOHEADER));
static_assert(sizeof(TRGBQUAD) == sizeof(RGBQUAD));
static_assert(sizeof(TPALETTEENTRY) == sizeof(PALETTEENTRY));
static_assert(sizeof(GLYPHMETRICSFLOAT) == sizeof(::GLYPHMETRICSFLOAT) &&
              offsetof(GLYPHMETRICSFLOAT, gmfptGlyphOrigin) ==
                  offsetof(::GLYPHMETRICSFLOAT, gmfptGlyphOrigin) &&
              offsetof(GLYPHMETRICSFLOAT, gmfCellIncY) ==
                  offsetof(::GLYPHMETRICSFLOAT, gmfCellIncY));
static_assert(sizeof(TRECT) == sizeof(RECT) && sizeof(POINT) == sizeof(::POINT));

namespace {

template <class T> T h(THANDLE v) { return reinterpret_cast<T>(v); }
template <class T> THANDLE t(T v) { return reinterpret_cast<THANDLE>(v); }

// Through void (*)(), the generic function pointer, since the two types differ only in name.
using generic_proc = void (*)();
WNDPROC native_proc(TWNDPROC p) {
  return reinterpret_cast<WNDPROC>(reinterpret_cast<generic_proc>(p));
}
TWNDPROC framework_proc(WNDPROC p) {
  return reinterpret_cast<TWNDPROC>(reinterpret_cast<generic_proc>(p));
}

void to_msg(const TMSG &in, MSG &out) {
  out = MSG{};
  out.hwnd = h<HWND>(in.HWND);
  out.message = in.MESSAGE;
  out.wParam = in.WPARAM;
  out.lParam = in.LPARAM;
  out.time = in.TIME;
  out.pt.x = in.PT.X;
  out.pt.y = in.PT.Y;
}

void from_msg(const MSG &in, TMSG &out) {
  out.HWND = t(in.hwnd);
  out.MESSAGE = in.message;
  out.WPARAM = in.wParam;
  out.LPARAM = in.lParam;
  out.TIME = in.time;
  out.PT.X = in.pt.x;
  out.PT.Y = in.pt.y;
}

// Windows-1252 bytes as UTF-16, whatever the ANSI code page of the machine, so that "è" in the
// fatal messages is shown as written.
std::wstring from_cp1252(PCHAR text) {
  if (!text || !*text) return std::wstring();
  int n = MultiByteToWideChar(1252, 0, text, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring w(std::size_t(n), L'\0');
  MultiByteToWideChar(1252, 0, text, -1, w.data(), n);
  w.resize(std::size_t(n - 1));
  return w;
}

// A bitmap of any depth or row order redrawn as a bottom-up 24-bit DIB section, the layout the
// texture upload reads; the portable reader yields the same for the same files.
HBITMAP to_24bit_bottom_up(HBITMAP src, LONG width, LONG height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HBITMAP dst = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dst) return nullptr;
  // A blit between two memory contexts: GDI reads the source in its own row order and depth.
  HDC from = ::CreateCompatibleDC(nullptr), to = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old_from = ::SelectObject(from, src), old_to = ::SelectObject(to, dst);
  BOOL copied = ::BitBlt(to, 0, 0, width, height, from, 0, 0, SRCCOPY);
  ::SelectObject(from, old_from);
  ::SelectObject(to, old_to);
  ::DeleteDC(from);
  ::DeleteDC(to);
  if (!copied) {
    ::DeleteObject(dst);
    return nullptr;
  }
  return dst;
}

} // namespace

// ---- Platform choice: Windows has its own alone ----
BOOLEAN SelectPlatform(PCHAR NAME) {
  if (NAME && std::strcmp(NAME, "win32") == 0) return true;
  ::SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}
PCHAR PlatformName() { return "win32"; }

// ---- Process ----
THANDLE GetModuleHandleA(PCHAR NAME) { return t(::GetModuleHandleA(NAME)); }

LONGINT StartupShowCommand() {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  ::GetStartupInfoA(&si);
  return (si.dwFlags & STARTF_USESHOWWINDOW) ? LONGINT(si.wShowWindow) : SW_SHOWDEFAULT;
}

// ---- Files ----
namespace {
// NAME opened for reading when it is a regular file, or INVALID_HANDLE_VALUE with the reason in
// WHY and the last error set. Opening a named pipe (or, under Wine, a FIFO) does not wait for
// the other end; the handle's type then shows what it is before anything reads from it.
HANDLE open_regular_file(PCHAR NAME, std::int64_t *SIZE, ANSISTRING &WHY) {
  if (!NAME || !*NAME) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    WHY = "no file name";
    return INVALID_HANDLE_VALUE;
  }
  // Backup semantics open a directory too, so that it can be named as one.
  HANDLE file =
      ::CreateFileA(NAME, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    WHY = LastErrorText();
    return file;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const char *why = nullptr;
  if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info))
    why = "not a regular file";
  else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    why = "is a directory";
  if (why) {
    ::CloseHandle(file);
    ::SetLastError(ERROR_ACCESS_DENIED);
    WHY = why;
    return INVALID_HANDLE_VALUE;
  }
  if (SIZE) *SIZE = std::int64_t(std::uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
  return file;
}
} // namespace

std::FILE *OpenRegularFile(PCHAR NAME, std::int64_t *SIZE, ANSISTRING &WHY) {
  HANDLE file = open_regular_file(NAME, SIZE, WHY);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  // The C runtime's stream over the handle; closing the stream closes the handle.
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
  std::FILE *stream = fd >= 0 ? _fdopen(fd, "rb") : nullptr;
  if (!stream) {
    if (fd >= 0)
      _close(fd);
    else
      ::CloseHandle(file);
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    WHY = "the file cannot be read as a stream";
  }
  return stream;
}

LONGWORD GetTickCount() { return ::GetTickCount(); }
LONGINT GetSystemMetrics(LONGINT INDEX) { return ::GetSystemMetrics(INDEX); }
LONGWORD GetLastError() { return ::GetLastError(); }

ANSISTRING LastErrorText() {
  DWORD code = ::GetLastError();
  // A failing call that set no code would otherwise be explained as "Success".
  if (code == 0) return "the system gave no reason";
  char *buffer = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char *>(&buffer), 0, nullptr);
  std::string text = (n && buffer) ? std::string(buffer, n) : std::string();
  if (buffer) LocalFree(buffer);
  // System messages end in a line break the framework's own sentences do not carry.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  if (text.empty()) text = "error " + std::to_string(code);
  ::SetLastError(code);
  return text;
}

// ---- Message boxes ----
LONGINT MessageBoxA(THANDLE OWNER, PCHAR TEXT, PCHAR CAPTION, LONGWORD STYLE) {
  std::wstring text = from_cp1252(TEXT), caption = from_cp1252(CAPTION);
  return ::MessageBoxW(h<HWND>(OWNER), text.c_str(), CAPTION ? caption.c_str() : nullptr, STYLE);
}

// ---- Window classes, cursors, icons, brushes ----
// The fields WNDCLASSA and WNDCLASSEXA share, from either framework class record.
template <class NATIVE, class RECORD> void copy_class_fields(NATIVE &wc, const RECORD &CLS) {
  wc.style = CLS.STYLE;
  wc.lpfnWndProc = native_proc(CLS.WNDPROC);
  wc.cbClsExtra = CLS.CLSEXTRA;
  wc.cbWndExtra = CLS.WNDEXTRA;
  wc.hInstance = h<HINSTANCE>(CLS.INSTANCE);
  wc.hIcon = h<HICON>(CLS.ICON);
  wc.hCursor = h<HCURSOR>(CLS.CURSOR);
  wc.hbrBackground = h<HBRUSH>(CLS.BACKGROUND);
  wc.lpszMenuName = CLS.MENUNAME;
  wc.lpszClassName = CLS.CLASSNAME;
}

LONGWORD RegisterClassA(const TWNDCLASS *CLS) {
  if (!CLS) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSA wc{};
  copy_class_fields(wc, *CLS);
  return ::RegisterClassA(&wc);
}

LONGWORD RegisterClassExA(const TWNDCLASSEX *CLS) {
  if (!CLS) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  copy_class_fields(wc, *CLS);
  wc.hIconSm = h<HICON>(CLS->ICONSM);
  return ::RegisterClassExA(&wc);
}

BOOLEAN GetClassInfoExA(THANDLE INSTANCE, PCHAR NAME, TWNDCLASSEX *CLS) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (!::GetClassInfoExA(h<HINSTANCE>(INSTANCE), NAME, &wc)) return false;
  if (CLS) {
    CLS->STYLE = wc.style;
    CLS->WNDPROC = framework_proc(wc.lpfnWndProc);
    CLS->CLSEXTRA = wc.cbClsExtra;
    CLS->WNDEXTRA = wc.cbWndExtra;
    CLS->INSTANCE = t(wc.hInstance);
    CLS->ICON = t(wc.hIcon);
    CLS->CURSOR = t(wc.hCursor);
    CLS->BACKGROUND = t(wc.hbrBackground);
    CLS->MENUNAME = wc.lpszMenuName;
    CLS->CLASSNAME = wc.lpszClassName;
    CLS->ICONSM = t(wc.hIconSm);
  }
  return true;
}

THANDLE LoadIconA(THANDLE INSTANCE, LONGWORD ID) {
  return t(::LoadIconA(h<HINSTANCE>(INSTANCE), MAKEINTRESOURCEA(ID)));
}
THANDLE LoadCursorA(THANDLE INSTANCE, LONGWORD ID) {
  return t(::LoadCursorA(h<HINSTANCE>(INSTANCE), MAKEINTRESOURCEA(ID)));
}
THANDLE LoadCursorFromFileA(PCHAR FILENAME) {
  if (!FILENAME) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  return t(::LoadCursorFromFileA(FILENAME));
}
THANDLE GetSysColorBrush(LONGINT INDEX) { return t(::GetSysColorBrush(INDEX)); }
THANDLE GetStockObject(LONGINT INDEX) { return t(::GetStockObject(INDEX)); }
THANDLE CreateSolidBrush(LONGWORD COLOR) { return t(::CreateSolidBrush(COLOR)); }

// ---- Windows ----
THANDLE CreateWindowExA(LONGWORD EXSTYLE, PCHAR CLASSNAME, PCHAR TITLE, LONGWORD STYLE, LONGINT X,
                        LONGINT Y, LONGINT W, LONGINT H, THANDLE PARENT, THANDLE MENU,
                        THANDLE INSTANCE, void *PARAM) {
  return t(::CreateWindowExA(EXSTYLE, CLASSNAME, TITLE, STYLE, X, Y, W, H, h<HWND>(PARENT),
                             h<HMENU>(MENU), h<HINSTANCE>(INSTANCE), PARAM));
}
BOOLEAN DestroyWindow(THANDLE WINDOW) { return ::DestroyWindow(h<HWND>(WINDOW)) != 0; }
BOOLEAN ShowWindow(THANDLE WINDOW, LONGINT CMD) {
  ::ShowWindow(h<HWND>(WINDOW), CMD);
  return ::IsWindowVisible(h<HWND>(WINDOW)) != 0;
}
BOOLEAN UpdateWindow(THANDLE WINDOW) { return ::UpdateWindow(h<HWND>(WINDOW)) != 0; }
BOOLEAN InvalidateRect(THANDLE WINDOW, const TRECT *R, BOOLEAN ERASE) {
  return ::InvalidateRect(h<HWND>(WINDOW), reinterpret_cast<const RECT *>(R), ERASE) != 0;
}
BOOLEAN GetWindowRect(THANDLE WINDOW, TRECT *R) {
  return R && ::GetWindowRect(h<HWND>(WINDOW), reinterpret_cast<RECT *>(R)) != 0;
}
BOOLEAN GetClientRect(THANDLE WINDOW, TRECT *R) {
  return R && ::GetClientRect(h<HWND>(WINDOW), reinterpret_cast<RECT *>(R)) != 0;
}
BOOLEAN MoveWindow(THANDLE WINDOW, LONGINT X, LONGINT Y, LONGINT W, LONGINT H, BOOLEAN REPAINT) {
  return ::MoveWindow(h<HWND>(WINDOW), X, Y, W, H, REPAINT) != 0;
}
THANDLE GetParent(THANDLE WINDOW) { return t(::GetParent(h<HWND>(WINDOW))); }
LONGINT GetDlgCtrlID(THANDLE WINDOW) { return ::GetDlgCtrlID(h<HWND>(WINDOW)); }

BOOLEAN EndPaint(THANDLE WINDOW, const TPAINTSTRUCT *PS);
THANDLE BeginPaint(THANDLE WINDOW, TPAINTSTRUCT *PS) {
  PAINTSTRUCT ps{};
  HDC dc = ::BeginPaint(h<HWND>(WINDOW), &ps);
  if (PS) {
    PS->HDC = t(dc);
    PS->ERASE = ps.fErase != 0;
    PS->PAINT = TRECT{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom};
  }
  return t(dc);
}
BOOLEAN EndPaint(THANDLE WINDOW, const TPAINTSTRUCT *PS) {
  PAINTSTRUCT ps{};
  if (PS) {
    ps.hdc = h<HDC>(PS->HDC);
    ps.fErase = PS->ERASE;
    ps.rcPaint = RECT{PS->PAINT.LEFT, PS->PAINT.TOP, PS->PAINT.RIGHT, PS->PAINT.BOTTOM};
  }
  return ::EndPaint(h<HWND>(WINDOW), &ps) != 0;
}

// ---- Messages ----
BOOLEAN PeekMessageA(TMSG *MSG_, THANDLE WINDOW, LONGWORD FIRST, LONGWORD LAST, LONGWORD REMOVE) {
  MSG m{};
  if (!::PeekMessageA(&m, h<HWND>(WINDOW), FIRST, LAST, REMOVE)) return false;
  if (MSG_) from_msg(m, *MSG_);
  return true;
}
LONGINT GetMessageA(TMSG *MSG_, THANDLE WINDOW, LONGWORD FIRST, LONGWORD LAST) {
  MSG m{};
  BOOL r = ::GetMessageA(&m, h<HWND>(WINDOW), FIRST, LAST);
  if (MSG_) from_msg(m, *MSG_);
  return r;
}
BOOLEAN TranslateMessage(const TMSG *MSG_) {
  if (!MSG_) return false;
  MSG m;
  to_msg(*MSG_, m);
  return ::TranslateMessage(&m) != 0;
}
TLRESULT DispatchMessageA(const TMSG *MSG_) {
  if (!MSG_) return 0;
  MSG m;
  to_msg(*MSG_, m);
  return ::DispatchMessageA(&m);
}
TLRESULT SendMessageA(THANDLE WINDOW, LONGWORD MESSAGE, TWPARAM WPARAM_, TLPARAM LPARAM_) {
  return ::SendMessageA(h<HWND>(WINDOW), MESSAGE, WPARAM_, LPARAM_);
}
BOOLEAN PostMessageA(THANDLE WINDOW, LONGWORD MESSAGE, TWPARAM WPARAM_, TLPARAM LPARAM_) {
  return ::PostMessageA(h<HWND>(WINDOW), MESSAGE, WPARAM_, LPARAM_) != 0;
}
void PostQuitMessage(LONGINT EXITCODE) { ::PostQuitMessage(EXITCODE); }
TLRESULT DefWindowProcA(THANDLE WINDOW, LONGWORD MESSAGE, TWPARAM WPARAM_, TLPARAM LPARAM_) {
  return ::DefWindowProcA(h<HWND>(WINDOW), MESSAGE, WPARAM_, LPARAM_);
}

// ---- Mouse ----
THANDLE SetCapture(THANDLE WINDOW) { return t(::SetCapture(h<HWND>(WINDOW))); }
BOOLEAN ReleaseCapture() { return ::ReleaseCapture() != 0; }
BOOLEAN GetCursorPos(POINT *P) {
  ::POINT p{};
  if (!P || !::GetCursorPos(&p)) return false;
  P->X = p.x;
  P->Y = p.y;
  return true;
}
BOOLEAN SetCursorPos(LONGINT X, LONGINT Y) { return ::SetCursorPos(X, Y) != 0; }
THANDLE GetForegroundWindow() { return t(::GetForegroundWindow()); }

// ---- Window properties ----
BOOLEAN SetPropA(THANDLE WINDOW, PCHAR NAME, THANDLE DATA) {
  return ::SetPropA(h<HWND>(WINDOW), NAME, h<HANDLE>(DATA)) != 0;
}
THANDLE GetPropA(THANDLE WINDOW, PCHAR NAME) { return t(::GetPropA(h<HWND>(WINDOW), NAME)); }
THANDLE RemovePropA(THANDLE WINDOW, PCHAR NAME) { return t(::RemovePropA(h<HWND>(WINDOW), NAME)); }

// ---- Regions ----
THANDLE ExtCreateRegion(const TRECT *RECTS, LONGWORD COUNT) {
  if (COUNT && !RECTS) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The region data is a header followed by the rectangles, with their common bounds.
  std::vector<std::uint8_t> buffer(sizeof(RGNDATAHEADER) + std::size_t(COUNT) * sizeof(RECT));
  auto *data = reinterpret_cast<RGNDATA *>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = COUNT;
  data->rdh.nRgnSize = DWORD(COUNT * sizeof(RECT));
  RECT bounds{0, 0, 0, 0};
  for (LONGWORD i = 0; i < COUNT; i++) {
    RECT r{RECTS[i].LEFT, RECTS[i].TOP, RECTS[i].RIGHT, RECTS[i].BOTTOM};
    std::memcpy(buffer.data() + sizeof(RGNDATAHEADER) + i * sizeof(RECT), &r, sizeof r);
    if (i == 0)
      bounds = r;
    else
      ::UnionRect(&bounds, &bounds, &r);
  }
  data->rdh.rcBound = bounds;
  return t(::ExtCreateRegion(nullptr, DWORD(buffer.size()), data));
}
LONGINT CombineRgn(THANDLE DEST, THANDLE SRC1, THANDLE SRC2, LONGINT MODE) {
  return ::CombineRgn(h<HRGN>(DEST), h<HRGN>(SRC1), h<HRGN>(SRC2), MODE);
}
BOOLEAN PtInRegion(THANDLE REGION, LONGINT X, LONGINT Y) {
  return ::PtInRegion(h<HRGN>(REGION), X, Y) != 0;
}
LONGINT GetRgnBox(THANDLE REGION, TRECT *BOX) {
  return ::GetRgnBox(h<HRGN>(REGION), reinterpret_cast<RECT *>(BOX));
}
LONGINT SetWindowRgn(THANDLE WINDOW, THANDLE REGION, BOOLEAN REDRAW) {
  return ::SetWindowRgn(h<HWND>(WINDOW), h<HRGN>(REGION), REDRAW);
}

// ---- Device contexts, bitmaps, palettes ----
THANDLE GetDC(THANDLE WINDOW) { return t(::GetDC(h<HWND>(WINDOW))); }
LONGINT ReleaseDC(THANDLE WINDOW, THANDLE DC) { return ::ReleaseDC(h<HWND>(WINDOW), h<HDC>(DC)); }
THANDLE CreateCompatibleDC(THANDLE DC) { return t(::CreateCompatibleDC(h<HDC>(DC))); }
BOOLEAN DeleteDC(THANDLE DC) { return ::DeleteDC(h<HDC>(DC)) != 0; }
THANDLE SelectObject(THANDLE DC, THANDLE OBJECT) {
  return t(::SelectObject(h<HDC>(DC), h<HGDIOBJ>(OBJECT)));
}
THANDLE GetCurrentObject(THANDLE DC, LONGWORD KIND) {
  return t(::GetCurrentObject(h<HDC>(DC), KIND));
}
BOOLEAN DeleteObject(THANDLE OBJECT) { return ::DeleteObject(h<HGDIOBJ>(OBJECT)) != 0; }

LONGINT GetObjectA(THANDLE OBJECT, LONGINT SIZE, void *BUFFER) {
  if (::GetObjectType(h<HGDIOBJ>(OBJECT)) != OBJ_BITMAP)
    return ::GetObjectA(h<HGDIOBJ>(OBJECT), SIZE, BUFFER);
  BITMAP bm{};
  if (!::GetObjectA(h<HGDIOBJ>(OBJECT), sizeof bm, &bm)) return 0;
  if (!BUFFER) return LONGINT(sizeof(TBITMAP));
  if (SIZE < LONGINT(sizeof(TBITMAP))) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  auto *out = static_cast<TBITMAP *>(BUFFER);
  out->bmType = bm.bmType;
  out->bmWidth = bm.bmWidth;
  out->bmHeight = bm.bmHeight;
  out->bmWidthBytes = bm.bmWidthBytes;
  out->bmPlanes = bm.bmPlanes;
  out->bmBitsPixel = bm.bmBitsPixel;
  out->bmBits = bm.bmBits;
  return LONGINT(sizeof(TBITMAP));
}

THANDLE LoadImageA(THANDLE INSTANCE, PCHAR NAME, LONGWORD TYPE, LONGINT CX, LONGINT CY,
                   LONGWORD FLAGS) {
  if (!NAME) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  // A FIFO, pipe, device or directory never reaches LoadImageA, which would wait on it or map
  // it; the last error then says access denied.
  if (FLAGS & LR_LOADFROMFILE) {
    ANSISTRING why;
    HANDLE file = open_regular_file(NAME, nullptr, why);
    if (file == INVALID_HANDLE_VALUE) return 0;
    ::CloseHandle(file);
  }
  HANDLE image = ::LoadImageA(h<HINSTANCE>(INSTANCE), NAME, TYPE, CX, CY, FLAGS);
  if (!image || TYPE != IMAGE_BITMAP || !(FLAGS & LR_CREATEDIBSECTION)) return t(image);
  DIBSECTION ds{};
  if (::GetObjectA(image, sizeof ds, &ds) != int(sizeof ds)) return t(image);
  LONG width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
  // Colour-table pictures keep their table, which palettes are made from; they are what the
  // portable reader yields too, as are bottom-up 24-bit files.
  if ((ds.dsBm.bmBitsPixel == 24 || ds.dsBm.bmBitsPixel <= 8) && ds.dsBmih.biHeight > 0)
    return t(image);
  // Other depths (and top-down files) become 24-bit rows, bottom up, as the portable reader
  // makes them, so no caller reads three bytes a pixel from memory laid out otherwise.
  HBITMAP converted = width > 0 && height > 0
                          ? to_24bit_bottom_up(static_cast<HBITMAP>(image), width, height)
                          : nullptr;
  ::DeleteObject(image);
  if (!converted) ::SetLastError(ERROR_INVALID_DATA);
  return t(converted);
}

THANDLE CreateDIBSection(THANDLE DC, const TBITMAPINFOHEADER *INFO, LONGWORD USAGE, void **BITS,
                         THANDLE SECTION, LONGWORD OFFSET) {
  // The header is the start of a BITMAPINFO; any colour table follows it in the caller's memory.
  return t(::CreateDIBSection(h<HDC>(DC), reinterpret_cast<const BITMAPINFO *>(INFO), USAGE, BITS,
                              h<HANDLE>(SECTION), OFFSET));
}
LONGWORD GetDIBColorTable(THANDLE DC, LONGWORD START, LONGWORD COUNT, TRGBQUAD *COLORS) {
  return ::GetDIBColorTable(h<HDC>(DC), START, COUNT, reinterpret_cast<RGBQUAD *>(COLORS));
}
BOOLEAN BitBlt(THANDLE DEST, LONGINT X, LONGINT Y, LONGINT W, LONGINT H, THANDLE SRC, LONGINT SX,
               LONGINT SY, LONGWORD ROP) {
  return ::BitBlt(h<HDC>(DEST), X, Y, W, H, h<HDC>(SRC), SX, SY, ROP) != 0;
}
THANDLE CreatePalette(const TPALETTEENTRY *ENTRIES, LONGWORD COUNT) {
  if ((COUNT && !ENTRIES) || COUNT > 65535) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::vector<std::uint8_t> buffer(sizeof(LOGPALETTE) + std::size_t(COUNT) * sizeof(PALETTEENTRY));
  auto *pal = reinterpret_cast<LOGPALETTE *>(buffer.data());
  pal->palVersion = 0x300;
  pal->palNumEntries = WORD(COUNT);
  if (COUNT) std::memcpy(pal->palPalEntry, ENTRIES, COUNT * sizeof(PALETTEENTRY));
  return t(::CreatePalette(pal));
}
LONGWORD GetPaletteEntries(THANDLE PALETTE, LONGWORD START, LONGWORD COUNT,
                           TPALETTEENTRY *ENTRIES) {
  return ::GetPaletteEntries(h<HPALETTE>(PALETTE), START, COUNT,
                             reinterpret_cast<PALETTEENTRY *>(ENTRIES));
}
THANDLE CreateHalftonePalette(THANDLE DC) { return t(::CreateHalftonePalette(h<HDC>(DC))); }
THANDLE SelectPalette(THANDLE DC, THANDLE PALETTE, BOOLEAN BACKGROUND) {
  return t(::SelectPalette(h<HDC>(DC), h<HPALETTE>(PALETTE), BACKGROUND));
}
LONGWORD RealizePalette(THANDLE DC) { return ::RealizePalette(h<HDC>(DC)); }

// ---- Menus ----
THANDLE CreateMenu() { return t(::CreateMenu()); }
THANDLE CreatePopupMenu() { return t(::CreatePopupMenu()); }
BOOLEAN AppendMenuA(THANDLE MENU, LONGWORD FLAGS, TWPARAM ID, PCHAR TEXT) {
  return ::AppendMenuA(h<HMENU>(MENU), FLAGS, ID, TEXT) != 0;
}
LONGWORD CheckMenuItem(THANDLE MENU, LONGWORD ITEM, LONGWORD CHECK) {
  return ::CheckMenuItem(h<HMENU>(MENU), ITEM, CHECK);
}
LONGINT EnableMenuItem(THANDLE MENU, LONGWORD ITEM, LONGWORD ENABLE) {
  return ::EnableMenuItem(h<HMENU>(MENU), ITEM, ENABLE);
}
BOOLEAN SetMenu(THANDLE WINDOW, THANDLE MENU) {
  return ::SetMenu(h<HWND>(WINDOW), h<HMENU>(MENU)) != 0;
}
THANDLE GetMenu(THANDLE WINDOW) { return t(::GetMenu(h<HWND>(WINDOW))); }
BOOLEAN DrawMenuBar(THANDLE WINDOW) { return ::DrawMenuBar(h<HWND>(WINDOW)) != 0; }
BOOLEAN DestroyMenu(THANDLE MENU) { return ::DestroyMenu(h<HMENU>(MENU)) != 0; }
LONGINT TrackPopupMenu(THANDLE MENU, LONGWORD FLAGS, LONGINT X, LONGINT Y, LONGINT RESERVED,
                       THANDLE WINDOW, const TRECT *) {
  return ::TrackPopupMenu(h<HMENU>(MENU), FLAGS, X, Y, RESERVED, h<HWND>(WINDOW), nullptr);
}

// ---- Status window ----
THANDLE CreateStatusWindowA(LONGINT STYLE, PCHAR TEXT, THANDLE PARENT, LONGWORD ID) {
  static bool initialised = false;
  if (!initialised) {
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    initialised = true;
  }
  return t(::CreateStatusWindowA(STYLE, TEXT, h<HWND>(PARENT), ID));
}

// ---- Pixel format, rendering context, buffer swap ----
LONGINT ChoosePixelFormat(THANDLE DC, const TPIXELFORMATDESCRIPTOR *PFD) {
  // Test hook (see the top of this file).
  if (win32::pixel_formats_fail) {
    ::SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return 0;
  }
  if (!PFD) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  PIXELFORMATDESCRIPTOR pfd;
  std::memcpy(&pfd, PFD, sizeof pfd);
  return ::ChoosePixelFormat(h<HDC>(DC), &pfd);
}
BOOLEAN SetPixelFormat(THANDLE DC, LONGINT FORMAT, const TPIXELFORMATDESCRIPTOR *PFD) {
  PIXELFORMATDESCRIPTOR pfd{};
  if (PFD) std::memcpy(&pfd, PFD, sizeof pfd);
  return ::SetPixelFormat(h<HDC>(DC), FORMAT, PFD ? &pfd : nullptr) != 0;
}
THANDLE wglCreateContext(THANDLE DC) { return t(::wglCreateContext(h<HDC>(DC))); }
BOOLEAN wglMakeCurrent(THANDLE DC, THANDLE RC) {
  return ::wglMakeCurrent(h<HDC>(DC), h<HGLRC>(RC)) != 0;
}
BOOLEAN wglDeleteContext(THANDLE RC) { return ::wglDeleteContext(h<HGLRC>(RC)) != 0; }
BOOLEAN SwapBuffers(THANDLE DC) {
  HWND window = WindowFromDC(h<HDC>(DC));
  if (!window) return ::SwapBuffers(h<HDC>(DC)) != 0; // a DC of no window makes no frame
  return frames::swap(t(window), [&] { return BOOLEAN(::SwapBuffers(h<HDC>(DC)) != 0); });
}
void *wglGetProcAddress(PCHAR NAME) {
  if (!NAME) return nullptr;
  void *p = reinterpret_cast<void *>(::wglGetProcAddress(NAME));
  // Some drivers answer small numbers or -1 for names they do not know.
  auto v = reinterpret_cast<intptr_t>(p);
  return v >= -1 && v <= 3 ? nullptr : p;
}

// ---- Font outlines ----
THANDLE CreateFontA(LONGINT HEIGHT, LONGINT WIDTH, LONGINT ESCAPEMENT, LONGINT ORIENTATION,
                    LONGINT WEIGHT, LONGWORD ITALIC, LONGWORD UNDERLINE, LONGWORD STRIKEOUT,
                    LONGWORD CHARSET, LONGWORD OUTPRECISION, LONGWORD CLIPPRECISION,
                    LONGWORD QUALITY, LONGWORD PITCHANDFAMILY, PCHAR FACENAME) {
  return t(::CreateFontA(HEIGHT, WIDTH, ESCAPEMENT, ORIENTATION, WEIGHT, ITALIC, UNDERLINE,
                         STRIKEOUT, CHARSET, OUTPRECISION, CLIPPRECISION, QUALITY, PITCHANDFAMILY,
                         FACENAME));
}
BOOLEAN wglUseFontOutlinesA(THANDLE DC, LONGWORD FIRST, LONGWORD COUNT, LONGWORD LISTBASE,
                            SINGLE DEVIATION, SINGLE EXTRUSION, LONGINT FORMAT,
                            GLYPHMETRICSFLOAT *METRICS) {
  return ::wglUseFontOutlinesA(h<HDC>(DC), FIRST, COUNT, LISTBASE, DEVIATION, EXTRUSION, FORMAT,
                               reinterpret_cast<::LPGLYPHMETRICSFLOAT>(METRICS)) != 0;
}

} // namespace vantrel::platform
