// The platform seam: every window-system, GDI and WGL service the framework uses, one
// declaration each, named after the Win32 call it stands for so that framework code reads like
// the calls it makes. Backends: platform/win32 (the real calls), platform/x11 (Xlib and GLX),
// platform/headless (EGL pbuffers, scripted input). Framework code includes only this header;
// only backend files include <windows.h>, <X11/...> or <EGL/...>.
#pragma once

#include <cstdio>

#include "vantrel/types.h"

namespace vantrel {

// ---- Window messages (Win32 numbers on every backend) ----
inline constexpr LONGWORD WM_NULL = 0, WM_CREATE = 1, WM_DESTROY = 2, WM_MOVE = 3, WM_SIZE = 5,
                          WM_ACTIVATE = 6, WM_SETFOCUS = 7, WM_KILLFOCUS = 8, WM_PAINT = 15,
                          WM_CLOSE = 16, WM_QUIT = 18, WM_ERASEBKGND = 20, WM_SHOWWINDOW = 24,
                          WM_CONTEXTMENU = 123, WM_KEYDOWN = 256, WM_KEYUP = 257, WM_CHAR = 258,
                          WM_SYSKEYDOWN = 260, WM_SYSKEYUP = 261, WM_SYSCHAR = 262,
                          WM_COMMAND = 273, WM_SYSCOMMAND = 274, WM_TIMER = 275, WM_MOUSEMOVE = 512,
                          WM_LBUTTONDOWN = 513, WM_LBUTTONUP = 514, WM_RBUTTONDOWN = 516,
                          WM_RBUTTONUP = 517, WM_MBUTTONDOWN = 519, WM_MBUTTONUP = 520,
                          WM_MOUSEWHEEL = 522, WM_MOUSELEAVE = 675, WM_USER = 1024;
inline constexpr TWPARAM SC_CLOSE = 0xF060;

// Mouse-message wParam flags.
inline constexpr TWPARAM MK_LBUTTON = 1, MK_RBUTTON = 2, MK_SHIFT = 4, MK_CONTROL = 8,
                         MK_MBUTTON = 16;

// Virtual-key codes used by name.
inline constexpr TWPARAM VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17,
                         VK_MENU = 18, VK_ESCAPE = 27, VK_SPACE = 32, VK_LEFT = 37, VK_UP = 38,
                         VK_RIGHT = 39, VK_DOWN = 40, VK_F1 = 112, VK_F4 = 115, VK_F10 = 121;

// PeekMessageA removal flags.
inline constexpr LONGWORD PM_NOREMOVE = 0, PM_REMOVE = 1;

// Message boxes: styles and answers.
inline constexpr LONGWORD MB_OK = 0, MB_YESNO = 4, MB_ICONQUESTION = 0x20;
inline constexpr LONGINT IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;

// Window styles.
inline constexpr LONGWORD WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000,
                          WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000,
                          WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_SYSMENU = 0x00080000,
                          WS_THICKFRAME = 0x00040000, WS_MINIMIZEBOX = 0x00020000,
                          WS_MAXIMIZEBOX = 0x00010000;
inline constexpr LONGINT CW_USEDEFAULT = LONGINT(0x80000000u);
inline constexpr LONGINT SW_SHOWNORMAL = 1;

// Class styles, system metrics, colours, stock resources.
inline constexpr LONGWORD CS_VREDRAW = 1, CS_HREDRAW = 2;
inline constexpr LONGINT SM_CXSCREEN = 0, SM_CYSCREEN = 1;
inline constexpr LONGINT COLOR_BTNFACE = 15;
inline constexpr LONGINT WHITE_BRUSH = 0, NULL_BRUSH = 5;
inline constexpr LONGWORD IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515,
                          IDC_UPARROW = 32516, IDC_SIZE = 32640, IDC_SIZENWSE = 32642,
                          IDC_SIZENESW = 32643, IDC_SIZEWE = 32644, IDC_SIZENS = 32645,
                          IDC_SIZEALL = 32646, IDC_NO = 32648, IDC_HAND = 32649,
                          IDC_APPSTARTING = 32650, IDC_HELP = 32651;
inline constexpr LONGWORD IDI_APPLICATION = 32512;

// Pixel format descriptor flags.
inline constexpr LONGWORD PFD_DOUBLEBUFFER = 0x1, PFD_STEREO = 0x2, PFD_DRAW_TO_WINDOW = 0x4,
                          PFD_SUPPORT_OPENGL = 0x20, PFD_GENERIC_FORMAT = 0x40,
                          PFD_GENERIC_ACCELERATED = 0x1000;
inline constexpr std::uint8_t PFD_TYPE_RGBA = 0, PFD_MAIN_PLANE = 0;

// Images, bitmaps, regions, raster operations.
inline constexpr LONGWORD IMAGE_BITMAP = 0;
inline constexpr LONGWORD LR_LOADFROMFILE = 0x10, LR_LOADTRANSPARENT = 0x20,
                          LR_CREATEDIBSECTION = 0x2000;
inline constexpr LONGWORD DIB_RGB_COLORS = 0, BI_RGB = 0, BI_BITFIELDS = 3;
inline constexpr LONGWORD SRCCOPY = 0x00CC0020;
inline constexpr LONGWORD OBJ_BRUSH = 2, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8;
inline constexpr LONGINT RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
// What CombineRgn and GetRgnBox say of a region; RGN_ERROR when the call failed.
inline constexpr LONGINT RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;

// GetLastError codes that the framework tells apart.
inline constexpr LONGWORD ERROR_FILE_NOT_FOUND = 2, ERROR_PATH_NOT_FOUND = 3,
                          ERROR_TOO_MANY_OPEN_FILES = 4, ERROR_ACCESS_DENIED = 5;

// Status bar.
inline constexpr LONGWORD SB_SETTEXTA = 0x401, SB_GETTEXTA = 0x402, SB_SETPARTS = 0x404,
                          SB_GETPARTS = 0x406, SB_GETTEXTLENGTHA = 0x40C;

// Fonts.
inline constexpr LONGINT FW_BOLD = 700;
inline constexpr LONGWORD ANSI_CHARSET = 0, OUT_TT_PRECIS = 4, CLIP_DEFAULT_PRECIS = 0,
                          ANTIALIASED_QUALITY = 4, DEFAULT_PITCH = 0, FF_DONTCARE = 0;
inline constexpr LONGINT WGL_FONT_LINES = 0, WGL_FONT_POLYGONS = 1;

// ---- Records handed across the seam ----

struct TWNDCLASS {
  LONGWORD STYLE = 0;
  TWNDPROC WNDPROC = nullptr;
  LONGINT CLSEXTRA = 0, WNDEXTRA = 0;
  THANDLE INSTANCE = 0, ICON = 0, CURSOR = 0, BACKGROUND = 0;
  PCHAR MENUNAME = nullptr, CLASSNAME = nullptr;
};

struct TWNDCLASSEX {
  LONGWORD SIZE = 48;
  LONGWORD STYLE = 0;
  TWNDPROC WNDPROC = nullptr;
  LONGINT CLSEXTRA = 0, WNDEXTRA = 0;
  THANDLE INSTANCE = 0, ICON = 0, CURSOR = 0, BACKGROUND = 0;
  PCHAR MENUNAME = nullptr, CLASSNAME = nullptr;
  THANDLE ICONSM = 0;
};

struct TPAINTSTRUCT {
  THANDLE HDC = 0;
  BOOLEAN ERASE = false;
  TRECT PAINT;
};

// The 40-byte Win32 record, field by field.
struct TPIXELFORMATDESCRIPTOR {
  std::uint16_t nSize = 40, nVersion = 1;
  LONGWORD dwFlags = 0;
  std::uint8_t iPixelType = 0, cColorBits = 0, cRedBits = 0, cRedShift = 0, cGreenBits = 0,
               cGreenShift = 0, cBlueBits = 0, cBlueShift = 0, cAlphaBits = 0, cAlphaShift = 0,
               cAccumBits = 0, cAccumRedBits = 0, cAccumGreenBits = 0, cAccumBlueBits = 0,
               cAccumAlphaBits = 0, cDepthBits = 0, cStencilBits = 0, cAuxBuffers = 0,
               iLayerType = 0, bReserved = 0;
  LONGWORD dwLayerMask = 0, dwVisibleMask = 0, dwDamageMask = 0;
};
static_assert(sizeof(TPIXELFORMATDESCRIPTOR) == 40);

// What GetObjectA reports of a bitmap (the fields of the Win32 BITMAP record).
struct TBITMAP {
  LONGINT bmType = 0, bmWidth = 0, bmHeight = 0, bmWidthBytes = 0;
  std::uint16_t bmPlanes = 1, bmBitsPixel = 0;
  void *bmBits = nullptr;
};

struct TBITMAPINFOHEADER {
  LONGWORD biSize = 40;
  LONGINT biWidth = 0, biHeight = 0;
  std::uint16_t biPlanes = 1, biBitCount = 0;
  LONGWORD biCompression = 0, biSizeImage = 0;
  LONGINT biXPelsPerMeter = 0, biYPelsPerMeter = 0;
  LONGWORD biClrUsed = 0, biClrImportant = 0;
};

struct TRGBQUAD {
  std::uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};

struct TPALETTEENTRY {
  std::uint8_t peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};

// ---- Services ----
namespace platform {

// Process
THANDLE GetModuleHandleA(PCHAR NAME);    // the program's instance handle (NAME null)
LONGINT StartupShowCommand();            // the show command the process was started with
LONGWORD GetTickCount();                 // milliseconds since system start
LONGINT GetSystemMetrics(LONGINT INDEX); // SM_CXSCREEN / SM_CYSCREEN: screen size in pixels

LONGWORD GetLastError();    // why the last failing call failed
ANSISTRING LastErrorText(); // the same, as a sentence (FormatMessageA)

// Files
// NAME opened for binary reading when it is a regular file, SIZE (if given) its length in bytes;
// anything else (missing, a directory, a FIFO, a device) gives null at once, without waiting on
// a writer, with GetLastError set and the reason in WHY ("is a directory", "not a regular file").
std::FILE *OpenRegularFile(PCHAR NAME, std::int64_t *SIZE, ANSISTRING &WHY);

// Message boxes
LONGINT MessageBoxA(THANDLE OWNER, PCHAR TEXT, PCHAR CAPTION,
                    LONGWORD STYLE); // answer, 0 if it cannot be shown

// Window classes, cursors, icons, brushes
LONGWORD RegisterClassA(const TWNDCLASS *CLS);                           // class atom, 0 on failure
LONGWORD RegisterClassExA(const TWNDCLASSEX *CLS);                       // class atom, 0 on failure
BOOLEAN GetClassInfoExA(THANDLE INSTANCE, PCHAR NAME, TWNDCLASSEX *CLS); // true when known
THANDLE LoadIconA(THANDLE INSTANCE, LONGWORD ID);   // system icon by IDI_ number
THANDLE LoadCursorA(THANDLE INSTANCE, LONGWORD ID); // system cursor by IDC_ number
THANDLE LoadCursorFromFileA(PCHAR FILENAME);        // cursor (or icon) from a file
THANDLE GetSysColorBrush(LONGINT INDEX);            // brush of a system colour
THANDLE GetStockObject(LONGINT INDEX);              // stock brush

// Windows
THANDLE CreateWindowExA(LONGWORD EXSTYLE, PCHAR CLASSNAME, PCHAR TITLE, LONGWORD STYLE, LONGINT X,
                        LONGINT Y, LONGINT W, LONGINT H, THANDLE PARENT, THANDLE MENU,
                        THANDLE INSTANCE, void *PARAM); // sends WM_CREATE before it returns
BOOLEAN DestroyWindow(THANDLE WINDOW);                  // sends WM_DESTROY
BOOLEAN ShowWindow(THANDLE WINDOW, LONGINT CMD);        // make visible
BOOLEAN UpdateWindow(THANDLE WINDOW);                   // WM_PAINT now if anything is invalid
BOOLEAN InvalidateRect(THANDLE WINDOW, const TRECT *R, BOOLEAN ERASE); // queue a repaint
BOOLEAN GetWindowRect(THANDLE WINDOW, TRECT *R); // outer rectangle, screen pixels
BOOLEAN GetClientRect(THANDLE WINDOW, TRECT *R); // client area, from (0, 0)
BOOLEAN MoveWindow(THANDLE WINDOW, LONGINT X, LONGINT Y, LONGINT W, LONGINT H, BOOLEAN REPAINT);
THANDLE GetParent(THANDLE WINDOW);                    // parent of a child window
LONGINT GetDlgCtrlID(THANDLE WINDOW);                 // control identifier of a child
THANDLE BeginPaint(THANDLE WINDOW, TPAINTSTRUCT *PS); // validates; paint device context
BOOLEAN EndPaint(THANDLE WINDOW, const TPAINTSTRUCT *PS);

// Messages
BOOLEAN PeekMessageA(TMSG *MSG, THANDLE WINDOW, LONGWORD FIRST, LONGWORD LAST, LONGWORD REMOVE);
LONGINT GetMessageA(TMSG *MSG, THANDLE WINDOW, LONGWORD FIRST, LONGWORD LAST); // 0 on WM_QUIT
BOOLEAN TranslateMessage(const TMSG *MSG);  // posts WM_CHAR for character keys
TLRESULT DispatchMessageA(const TMSG *MSG); // to the window's procedure
TLRESULT SendMessageA(THANDLE WINDOW, LONGWORD MESSAGE, TWPARAM WPARAM, TLPARAM LPARAM);
BOOLEAN PostMessageA(THANDLE WINDOW, LONGWORD MESSAGE, TWPARAM WPARAM, TLPARAM LPARAM);
void PostQuitMessage(LONGINT EXITCODE);
TLRESULT DefWindowProcA(THANDLE WINDOW, LONGWORD MESSAGE, TWPARAM WPARAM, TLPARAM LPARAM);

// Mouse
THANDLE SetCapture(THANDLE WINDOW); // previous capture window
BOOLEAN ReleaseCapture();
BOOLEAN GetCursorPos(POINT *P);             // screen pixels
BOOLEAN SetCursorPos(LONGINT X, LONGINT Y); // screen pixels
THANDLE GetForegroundWindow();              // window with the input focus

// Window properties
BOOLEAN SetPropA(THANDLE WINDOW, PCHAR NAME, THANDLE DATA);
THANDLE GetPropA(THANDLE WINDOW, PCHAR NAME);    // 0 when not set
THANDLE RemovePropA(THANDLE WINDOW, PCHAR NAME); // the removed value

// Regions
THANDLE ExtCreateRegion(const TRECT *RECTS, LONGWORD COUNT); // union of COUNT rectangles
LONGINT CombineRgn(THANDLE DEST, THANDLE SRC1, THANDLE SRC2,
                   LONGINT MODE); // region kind, 0 = error
BOOLEAN PtInRegion(THANDLE REGION, LONGINT X, LONGINT Y);
LONGINT GetRgnBox(THANDLE REGION, TRECT *BOX); // bounding box; region kind, 0 = error
LONGINT SetWindowRgn(THANDLE WINDOW, THANDLE REGION, BOOLEAN REDRAW); // window owns REGION after

// Device contexts, bitmaps, palettes
THANDLE GetDC(THANDLE WINDOW);
LONGINT ReleaseDC(THANDLE WINDOW, THANDLE DC);
THANDLE CreateCompatibleDC(THANDLE DC); // memory device context
BOOLEAN DeleteDC(THANDLE DC);
THANDLE SelectObject(THANDLE DC, THANDLE OBJECT);    // previous object of that kind
THANDLE GetCurrentObject(THANDLE DC, LONGWORD KIND); // what is selected: OBJ_BITMAP, OBJ_PAL
BOOLEAN DeleteObject(THANDLE OBJECT);                // bitmap, palette, region, font, brush
LONGINT GetObjectA(THANDLE OBJECT, LONGINT SIZE,
                   void *BUFFER); // TBITMAP for a bitmap; bytes written
THANDLE LoadImageA(THANDLE INSTANCE, PCHAR NAME, LONGWORD TYPE, LONGINT CX, LONGINT CY,
                   LONGWORD FLAGS); // BMP file as a DIB section, 0 on failure
THANDLE CreateDIBSection(THANDLE DC, const TBITMAPINFOHEADER *INFO, LONGWORD USAGE, void **BITS,
                         THANDLE SECTION, LONGWORD OFFSET);
LONGWORD GetDIBColorTable(THANDLE DC, LONGWORD START, LONGWORD COUNT, TRGBQUAD *COLORS);
BOOLEAN BitBlt(THANDLE DEST, LONGINT X, LONGINT Y, LONGINT W, LONGINT H, THANDLE SRC, LONGINT SX,
               LONGINT SY, LONGWORD ROP);
THANDLE CreatePalette(const TPALETTEENTRY *ENTRIES, LONGWORD COUNT);
// Copies entries START .. START + COUNT - 1 (those that exist); ENTRIES null: the entry count.
LONGWORD GetPaletteEntries(THANDLE PALETTE, LONGWORD START, LONGWORD COUNT, TPALETTEENTRY *ENTRIES);
THANDLE CreateHalftonePalette(THANDLE DC);
THANDLE SelectPalette(THANDLE DC, THANDLE PALETTE, BOOLEAN BACKGROUND); // previous palette
LONGWORD RealizePalette(THANDLE DC);

// Status window (common controls)
THANDLE CreateStatusWindowA(LONGINT STYLE, PCHAR TEXT, THANDLE PARENT, LONGWORD ID);

// Pixel format, rendering context, buffer swap
LONGINT ChoosePixelFormat(THANDLE DC, const TPIXELFORMATDESCRIPTOR *PFD); // index, 0 = none
BOOLEAN SetPixelFormat(THANDLE DC, LONGINT FORMAT, const TPIXELFORMATDESCRIPTOR *PFD);
THANDLE wglCreateContext(THANDLE DC);           // 0 on failure
BOOLEAN wglMakeCurrent(THANDLE DC, THANDLE RC); // RC 0: no context current
BOOLEAN wglDeleteContext(THANDLE RC);
BOOLEAN SwapBuffers(THANDLE DC);
// An OpenGL entry point beyond 1.1 for the current context, or null where there is none.
void *wglGetProcAddress(PCHAR NAME);

// Font outlines
THANDLE CreateFontA(LONGINT HEIGHT, LONGINT WIDTH, LONGINT ESCAPEMENT, LONGINT ORIENTATION,
                    LONGINT WEIGHT, LONGWORD ITALIC, LONGWORD UNDERLINE, LONGWORD STRIKEOUT,
                    LONGWORD CHARSET, LONGWORD OUTPRECISION, LONGWORD CLIPPRECISION,
                    LONGWORD QUALITY, LONGWORD PITCHANDFAMILY, PCHAR FACENAME);
BOOLEAN wglUseFontOutlinesA(THANDLE DC, LONGWORD FIRST, LONGWORD COUNT, LONGWORD LISTBASE,
                            SINGLE DEVIATION, SINGLE EXTRUSION, LONGINT FORMAT,
                            GLYPHMETRICSFLOAT *METRICS); // one display list per code

} // namespace platform
} // namespace vantrel
