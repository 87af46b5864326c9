/// \file
/// \ingroup platform
/// The platform seam: every window-system, GDI and WGL service the framework uses, one
/// declaration each, named after the Win32 call it stands for so that framework code reads like
/// the calls it makes. Backends: platform/win32 (the real calls), platform/x11 (Xlib and GLX),
/// platform/headless (EGL pbuffers, scripted input); on Linux one library holds x11 and headless
/// and picks one at run time (SelectPlatform). Framework code includes only this header; only
/// backend files include <windows.h>, <X11/...> or <EGL/...>.
#pragma once

#include <cstdio>

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

// ---- Window messages (Win32 numbers on every backend) ----
///@{
/// Window messages, by their Win32 numbers on every backend (WM_USER: the first free for a
/// program's own).
inline constexpr LONGWORD WM_NULL = 0, WM_CREATE = 1, WM_DESTROY = 2, WM_MOVE = 3, WM_SIZE = 5,
                          WM_ACTIVATE = 6, WM_SETFOCUS = 7, WM_KILLFOCUS = 8, WM_PAINT = 15,
                          WM_CLOSE = 16, WM_QUIT = 18, WM_ERASEBKGND = 20, WM_SHOWWINDOW = 24,
                          WM_CONTEXTMENU = 123, WM_KEYDOWN = 256, WM_KEYUP = 257, WM_CHAR = 258,
                          WM_DEADCHAR = 259, WM_SYSKEYDOWN = 260, WM_SYSKEYUP = 261,
                          WM_SYSCHAR = 262, WM_SYSDEADCHAR = 263, WM_COMMAND = 273,
                          WM_SYSCOMMAND = 274, WM_TIMER = 275, WM_MOUSEMOVE = 512,
                          WM_LBUTTONDOWN = 513, WM_LBUTTONUP = 514, WM_RBUTTONDOWN = 516,
                          WM_RBUTTONUP = 517, WM_MBUTTONDOWN = 519, WM_MBUTTONUP = 520,
                          WM_MOUSEWHEEL = 522, WM_MOUSELEAVE = 675, WM_USER = 1024;
///@}
///@{
/// Menu messages, sent to the menu's owner: the loop begins (wParam 1 for a pop-up), a menu is
/// about to be used (wParam the menu), a pop-up is about to open (wParam the pop-up, lParam its
/// position in its parent) or has closed, the highlight moved (wParam low word the item's
/// identifier, or its position for a pop-up, high word MF_ flags, lParam the menu; 0xFFFF and 0
/// when the menu closes), the loop ends.
inline constexpr LONGWORD WM_INITMENU = 278, WM_INITMENUPOPUP = 279, WM_MENUSELECT = 287,
                          WM_UNINITMENUPOPUP = 293, WM_ENTERMENULOOP = 529, WM_EXITMENULOOP = 530;
///@}
/// Sent to the owner of an open menu each time its loop has handled what the user did and
/// waits for more: wParam MSGF_MENU, lParam the window whose menu is shown.
inline constexpr LONGWORD WM_ENTERIDLE = 289;
/// WM_ENTERIDLE's wParam while a menu waits.
inline constexpr LONGWORD MSGF_MENU = 2;
///@{
/// Window messages of a window's life (creation, placement, activation, destruction) and
/// double clicks, by their Win32 numbers.
inline constexpr LONGWORD WM_GETMINMAXINFO = 0x24, WM_WINDOWPOSCHANGING = 0x46,
                          WM_WINDOWPOSCHANGED = 0x47, WM_NCCREATE = 0x81, WM_NCDESTROY = 0x82,
                          WM_NCCALCSIZE = 0x83, WM_NCLBUTTONDOWN = 0xA1, WM_LBUTTONDBLCLK = 0x203,
                          WM_RBUTTONDBLCLK = 0x206;
///@}
inline constexpr TWPARAM SC_CLOSE = 0xF060; ///< WM_SYSCOMMAND's wParam for closing the window
/// WM_SYSCOMMAND's wParam for entering the menu bar from the keyboard (lParam: the character
/// typed with Alt, 0 for Alt or F10 alone).
inline constexpr TWPARAM SC_KEYMENU = 0xF100;
/// WM_SYSCOMMAND's wParam for entering the menu bar by a click on a title (lParam: the point on
/// the screen).
inline constexpr TWPARAM SC_MOUSEMENU = 0xF090;
/// WM_NCLBUTTONDOWN's wParam for a press on the menu bar (lParam: the point on the screen).
inline constexpr TWPARAM HTMENU = 5;

///@{
/// AppendMenuA, CheckMenuItem and EnableMenuItem flags: a text item, greyed, disabled, checked,
/// opening a pop-up (the identifier is the pop-up's handle), a separator line; items named by
/// identifier or by position; the highlight (WM_MENUSELECT).
inline constexpr LONGWORD MF_STRING = 0, MF_ENABLED = 0, MF_UNCHECKED = 0, MF_BYCOMMAND = 0,
                          MF_GRAYED = 1, MF_DISABLED = 2, MF_CHECKED = 8, MF_POPUP = 0x10,
                          MF_HILITE = 0x80, MF_BYPOSITION = 0x400, MF_SEPARATOR = 0x800;
///@}
///@{
/// TrackPopupMenu flags: the menu's left edge, centre or right edge at X; its top, middle or
/// bottom at Y; the right button chooses too; no notification messages; return the chosen
/// identifier instead of posting WM_COMMAND.
inline constexpr LONGWORD TPM_LEFTALIGN = 0, TPM_TOPALIGN = 0, TPM_RIGHTBUTTON = 2,
                          TPM_CENTERALIGN = 4, TPM_RIGHTALIGN = 8, TPM_VCENTERALIGN = 0x10,
                          TPM_BOTTOMALIGN = 0x20, TPM_NONOTIFY = 0x80, TPM_RETURNCMD = 0x100;
///@}

///@{
/// Mouse-message wParam flags: which buttons and modifier keys are held.
inline constexpr TWPARAM MK_LBUTTON = 1, MK_RBUTTON = 2, MK_SHIFT = 4, MK_CONTROL = 8,
                         MK_MBUTTON = 16;
///@}

///@{
/// Virtual-key codes used by name (a key message's wParam; letters and digits are their ASCII
/// capitals).
inline constexpr TWPARAM VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17,
                         VK_MENU = 18, VK_ESCAPE = 27, VK_SPACE = 32, VK_LEFT = 37, VK_UP = 38,
                         VK_RIGHT = 39, VK_DOWN = 40, VK_F1 = 112, VK_F4 = 115, VK_F10 = 121;
///@}

///@{
/// PeekMessageA removal flags: leave the message queued, or take it.
inline constexpr LONGWORD PM_NOREMOVE = 0, PM_REMOVE = 1;
///@}

///@{
/// Message box styles: the buttons (OK, Yes and No) and the question icon.
inline constexpr LONGWORD MB_OK = 0, MB_YESNO = 4, MB_ICONQUESTION = 0x20;
///@}
///@{
/// Message box answers: the button the user chose.
inline constexpr LONGINT IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;
///@}

///@{
/// Window styles for CreateWindowExA, combined with |.
inline constexpr LONGWORD WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000,
                          WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000,
                          WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_SYSMENU = 0x00080000,
                          WS_THICKFRAME = 0x00040000, WS_MINIMIZEBOX = 0x00020000,
                          WS_MAXIMIZEBOX = 0x00010000;
///@}
inline constexpr LONGINT CW_USEDEFAULT = LONGINT(0x80000000u); ///< "place it where you like"
inline constexpr LONGINT SW_SHOWNORMAL = 1;                    ///< ShowWindow: show as it is

// Class styles, system metrics, colours, stock resources.
///@{
/// Class styles: repaint the whole window when its height or width changes.
inline constexpr LONGWORD CS_VREDRAW = 1, CS_HREDRAW = 2;
inline constexpr LONGWORD CS_DBLCLKS = 8; ///< class style: double clicks become messages
///@}
///@{
/// GetSystemMetrics: the screen's width and height, the caption's height, the thin border, the
/// dialog frame, the menu bar's height and the sizing frame, in pixels; the number of screens.
inline constexpr LONGINT SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CYCAPTION = 4, SM_CXBORDER = 5,
                         SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYMENU = 15,
                         SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CMONITORS = 80;
///@}
///@{
/// System colours (GetSysColor, GetSysColorBrush): menu and its text, window background, thin
/// window frame, selected item and its text, button face, its shadow, grey text, button text
/// and button highlight.
inline constexpr LONGINT COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6,
                         COLOR_MENUTEXT = 7, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14,
                         COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17,
                         COLOR_BTNTEXT = 18, COLOR_BTNHIGHLIGHT = 20;
///@}
///@{
/// Stock brushes: white, black, and one that paints nothing.
inline constexpr LONGINT WHITE_BRUSH = 0, BLACK_BRUSH = 4, NULL_BRUSH = 5;
///@}
///@{
/// System cursors for LoadCursorA, by their Win32 numbers.
inline constexpr LONGWORD IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515,
                          IDC_UPARROW = 32516, IDC_SIZE = 32640, IDC_SIZENWSE = 32642,
                          IDC_SIZENESW = 32643, IDC_SIZEWE = 32644, IDC_SIZENS = 32645,
                          IDC_SIZEALL = 32646, IDC_NO = 32648, IDC_HAND = 32649,
                          IDC_APPSTARTING = 32650, IDC_HELP = 32651;
///@}
inline constexpr LONGWORD IDI_APPLICATION = 32512; ///< the system's application icon

///@{
/// Pixel format descriptor flags (dwFlags).
inline constexpr LONGWORD PFD_DOUBLEBUFFER = 0x1, PFD_STEREO = 0x2, PFD_DRAW_TO_WINDOW = 0x4,
                          PFD_SUPPORT_OPENGL = 0x20, PFD_GENERIC_FORMAT = 0x40,
                          PFD_GENERIC_ACCELERATED = 0x1000;
///@}
///@{
/// Pixel format descriptor: RGBA pixels (iPixelType), the main plane (iLayerType).
inline constexpr std::uint8_t PFD_TYPE_RGBA = 0, PFD_MAIN_PLANE = 0;
///@}

// Images, bitmaps, regions, raster operations.
inline constexpr LONGWORD IMAGE_BITMAP = 0; ///< LoadImageA: load a bitmap
///@{
/// LoadImageA flags: read a file, repaint a colour table's first colour, make a DIB section.
inline constexpr LONGWORD LR_LOADFROMFILE = 0x10, LR_LOADTRANSPARENT = 0x20,
                          LR_CREATEDIBSECTION = 0x2000;
///@}
///@{
/// DIB colours are RGB values; DIB pixels are uncompressed (BI_RGB) or masked (BI_BITFIELDS).
inline constexpr LONGWORD DIB_RGB_COLORS = 0, BI_RGB = 0, BI_BITFIELDS = 3;
///@}
inline constexpr LONGWORD SRCCOPY = 0x00CC0020; ///< BitBlt: copy the source as it is
///@{
/// GetCurrentObject kinds: brush, palette, font, bitmap, region.
inline constexpr LONGWORD OBJ_BRUSH = 2, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8;
///@}
///@{
/// CombineRgn modes: intersection, union, either but not both, difference, copy.
inline constexpr LONGINT RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
///@}
///@{
/// What CombineRgn and GetRgnBox say of a region; RGN_ERROR when the call failed.
inline constexpr LONGINT RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
///@}

///@{
/// GetLastError codes that the framework tells apart: no such file, no such folder, too many
/// files open, access denied.
inline constexpr LONGWORD ERROR_FILE_NOT_FOUND = 2, ERROR_PATH_NOT_FOUND = 3,
                          ERROR_TOO_MANY_OPEN_FILES = 4, ERROR_ACCESS_DENIED = 5;
///@}
///@{
/// GetLastError codes of the window and menu calls: no such window, no such menu.
inline constexpr LONGWORD ERROR_INVALID_WINDOW_HANDLE = 1400, ERROR_INVALID_MENU_HANDLE = 1401;
///@}

///@{
/// Status bar messages: set and get a part's text, set and get the parts' right edges, a
/// part's text length.
inline constexpr LONGWORD SB_SETTEXTA = 0x401, SB_GETTEXTA = 0x402, SB_SETPARTS = 0x404,
                          SB_GETPARTS = 0x406, SB_GETTEXTLENGTHA = 0x40C;
///@}

// Fonts.
inline constexpr LONGINT FW_BOLD = 700; ///< CreateFontA weight: bold
///@{
/// CreateFontA: the ANSI character set, TrueType preferred, default clipping, antialiased,
/// default pitch, any family.
inline constexpr LONGWORD ANSI_CHARSET = 0, OUT_TT_PRECIS = 4, CLIP_DEFAULT_PRECIS = 0,
                          ANTIALIASED_QUALITY = 4, DEFAULT_PITCH = 0, FF_DONTCARE = 0;
///@}
///@{
/// wglUseFontOutlinesA formats: glyphs as outlines, or as filled polygons.
inline constexpr LONGINT WGL_FONT_LINES = 0, WGL_FONT_POLYGONS = 1;
///@}

// ---- Records handed across the seam ----

/// A window class for RegisterClassA (the Win32 WNDCLASS record).
struct TWNDCLASS {
  LONGWORD STYLE = 0;         ///< CS_ class styles
  TWNDPROC WNDPROC = nullptr; ///< the windows' procedure
  ///@{
  /// Extra bytes of the class and of each window.
  LONGINT CLSEXTRA = 0, WNDEXTRA = 0;
  ///@}
  ///@{
  /// The program's instance, and the class's icon, cursor and background brush.
  THANDLE INSTANCE = 0, ICON = 0, CURSOR = 0, BACKGROUND = 0;
  ///@}
  ///@{
  /// The menu's resource name (null: none) and the class's name.
  PCHAR MENUNAME = nullptr, CLASSNAME = nullptr;
  ///@}
};

/// A window class for RegisterClassExA and GetClassInfoExA (the Win32 WNDCLASSEX record).
struct TWNDCLASSEX {
  LONGWORD SIZE = 48;         ///< the record's size in bytes, as Win32 counts it
  LONGWORD STYLE = 0;         ///< CS_ class styles
  TWNDPROC WNDPROC = nullptr; ///< the windows' procedure
  ///@{
  /// Extra bytes of the class and of each window.
  LONGINT CLSEXTRA = 0, WNDEXTRA = 0;
  ///@}
  ///@{
  /// The program's instance, and the class's icon, cursor and background brush.
  THANDLE INSTANCE = 0, ICON = 0, CURSOR = 0, BACKGROUND = 0;
  ///@}
  ///@{
  /// The menu's resource name (null: none) and the class's name.
  PCHAR MENUNAME = nullptr, CLASSNAME = nullptr;
  ///@}
  THANDLE ICONSM = 0; ///< the small icon
};

/// What BeginPaint hands out (the Win32 PAINTSTRUCT record, in part).
struct TPAINTSTRUCT {
  THANDLE HDC = 0;       ///< the device context to paint with
  BOOLEAN ERASE = false; ///< true when the background still needs erasing
  TRECT PAINT;           ///< the part to paint, client pixels
};

/// What a window is made with (the Win32 CREATESTRUCTA record): WM_NCCREATE and WM_CREATE
/// carry a pointer to one in lParam, valid while the message is handled.
struct TCREATESTRUCT {
  void *CREATEPARAMS = nullptr; ///< CreateWindowExA's last argument
  THANDLE INSTANCE = 0;         ///< the program's instance
  THANDLE MENU = 0;             ///< the menu bar, or a child's control identifier
  THANDLE PARENT = 0;           ///< the parent or owner, 0 for none
  ///@{
  /// The outer size and place asked for (CW_USEDEFAULT resolved).
  LONGINT CY = 0, CX = 0, Y = 0, X = 0;
  ///@}
  LONGWORD STYLE = 0;    ///< WS_ styles
  PCHAR NAME = nullptr;  ///< the title
  PCHAR CLASS = nullptr; ///< the class's name
  LONGWORD EXSTYLE = 0;  ///< WS_EX_ styles
};

/// Where a window goes (the Win32 WINDOWPOS record): WM_WINDOWPOSCHANGING and
/// WM_WINDOWPOSCHANGED carry a pointer to one in lParam.
struct TWINDOWPOS {
  ///@{
  /// The window, and the one it goes behind.
  THANDLE HWND = 0, INSERTAFTER = 0;
  ///@}
  ///@{
  /// Its outer rectangle's place (in the parent's client pixels) and size.
  LONGINT X = 0, Y = 0, CX = 0, CY = 0;
  ///@}
  LONGWORD FLAGS = 0; ///< SWP_ flags: what does not change, whether it is shown or hidden
};
///@{
/// TWINDOWPOS flags: size, place or stacking kept, not activated, a new frame, shown, hidden,
/// the client area's size or place kept.
inline constexpr LONGWORD SWP_NOSIZE = 1, SWP_NOMOVE = 2, SWP_NOZORDER = 4, SWP_NOACTIVATE = 0x10,
                          SWP_FRAMECHANGED = 0x20, SWP_SHOWWINDOW = 0x40, SWP_HIDEWINDOW = 0x80,
                          SWP_NOCLIENTSIZE = 0x800, SWP_NOCLIENTMOVE = 0x1000;
///@}

/// The 40-byte Win32 record, field by field.
struct TPIXELFORMATDESCRIPTOR {
  ///@{
  /// The record's size in bytes and its version.
  std::uint16_t nSize = 40, nVersion = 1;
  ///@}
  LONGWORD dwFlags = 0; ///< PFD_ flags
  ///@{
  /// Pixel type, then bits of colour, alpha, accumulation, depth and stencil, auxiliary buffers,
  /// layer type, as the Win32 record names them.
  std::uint8_t iPixelType = 0, cColorBits = 0, cRedBits = 0, cRedShift = 0, cGreenBits = 0,
               cGreenShift = 0, cBlueBits = 0, cBlueShift = 0, cAlphaBits = 0, cAlphaShift = 0,
               cAccumBits = 0, cAccumRedBits = 0, cAccumGreenBits = 0, cAccumBlueBits = 0,
               cAccumAlphaBits = 0, cDepthBits = 0, cStencilBits = 0, cAuxBuffers = 0,
               iLayerType = 0, bReserved = 0;
  ///@}
  ///@{
  /// Layer masks, unused.
  LONGWORD dwLayerMask = 0, dwVisibleMask = 0, dwDamageMask = 0;
  ///@}
};
static_assert(sizeof(TPIXELFORMATDESCRIPTOR) == 40);

/// What GetObjectA reports of a bitmap (the fields of the Win32 BITMAP record).
struct TBITMAP {
  ///@{
  /// Type (0), width and height in pixels, bytes per row.
  LONGINT bmType = 0, bmWidth = 0, bmHeight = 0, bmWidthBytes = 0;
  ///@}
  ///@{
  /// Colour planes (1) and bits per pixel.
  std::uint16_t bmPlanes = 1, bmBitsPixel = 0;
  ///@}
  void *bmBits = nullptr; ///< the pixel memory of a DIB section, null for other bitmaps
};

/// The header of a device-independent bitmap (the Win32 BITMAPINFOHEADER record).
struct TBITMAPINFOHEADER {
  LONGWORD biSize = 40; ///< the header's size in bytes
  ///@{
  /// Width and height in pixels; a positive height stores the rows bottom-up.
  LONGINT biWidth = 0, biHeight = 0;
  ///@}
  ///@{
  /// Colour planes (1) and bits per pixel.
  std::uint16_t biPlanes = 1, biBitCount = 0;
  ///@}
  ///@{
  /// BI_RGB or BI_BITFIELDS, and the pixels' size in bytes (0 for BI_RGB).
  LONGWORD biCompression = 0, biSizeImage = 0;
  ///@}
  ///@{
  /// Resolution, pixels per metre.
  LONGINT biXPelsPerMeter = 0, biYPelsPerMeter = 0;
  ///@}
  ///@{
  /// Colour-table entries used and needed (0: all).
  LONGWORD biClrUsed = 0, biClrImportant = 0;
  ///@}
};

/// A colour-table entry of a DIB, stored blue first (the Win32 RGBQUAD record).
struct TRGBQUAD {
  ///@{
  /// Blue, green and red, 0..255, and a byte left 0.
  std::uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
  ///@}
};

/// A logical palette's entry (the Win32 PALETTEENTRY record).
struct TPALETTEENTRY {
  ///@{
  /// Red, green and blue, 0..255, and flags (0).
  std::uint8_t peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
  ///@}
};

// ---- Services ----
namespace platform {

// Platform choice
/// Makes NAME ("x11" or "headless" on Linux, "win32" on Windows) the platform that shows the
/// program's windows; call it before anything that needs one (a window, a message box, the
/// screen's size). Otherwise the first such call chooses: VANTREL_PLATFORM from the environment,
/// else x11 where a display answers and headless elsewhere. False, with GetLastError set, for a
/// name this build lacks, for x11 where no display answers, and once another platform is in use.
BOOLEAN SelectPlatform(PCHAR NAME);
/// The platform in use ("x11", "headless", "win32"), chosen now if it was not yet.
PCHAR PlatformName();

// Process
THANDLE GetModuleHandleA(PCHAR NAME); ///< the program's instance handle (NAME null)
LONGINT StartupShowCommand();         ///< the show command the process was started with
LONGWORD GetTickCount();              ///< milliseconds since system start
/// An SM_ metric: screen, frame and caption sizes in pixels; SM_CMONITORS: screens (0: none).
LONGINT GetSystemMetrics(LONGINT INDEX);

LONGWORD GetLastError();    ///< why the last failing call failed
ANSISTRING LastErrorText(); ///< the same, as a sentence (FormatMessageA)

// Files
/// NAME opened for binary reading when it is a regular file, SIZE (if given) its length in
/// bytes; anything else (missing, a directory, a FIFO, a device) gives null at once, without
/// waiting on a writer, with GetLastError set and the reason in WHY ("is a directory", "not a
/// regular file").
std::FILE *OpenRegularFile(PCHAR NAME, std::int64_t *SIZE, ANSISTRING &WHY);

// Message boxes
/// A modal box showing TEXT under CAPTION with the MB_ buttons of STYLE; the ID answer.
LONGINT MessageBoxA(THANDLE OWNER, PCHAR TEXT, PCHAR CAPTION,
                    LONGWORD STYLE); ///< answer, 0 if it cannot be shown

// Window classes, cursors, icons, brushes
LONGWORD RegisterClassA(const TWNDCLASS *CLS);     ///< class atom, 0 on failure
LONGWORD RegisterClassExA(const TWNDCLASSEX *CLS); ///< class atom, 0 on failure
BOOLEAN GetClassInfoExA(THANDLE INSTANCE, PCHAR NAME, TWNDCLASSEX *CLS); ///< true when known
THANDLE LoadIconA(THANDLE INSTANCE, LONGWORD ID);   ///< system icon by IDI_ number
THANDLE LoadCursorA(THANDLE INSTANCE, LONGWORD ID); ///< system cursor by IDC_ number
THANDLE LoadCursorFromFileA(PCHAR FILENAME);        ///< cursor (or icon) from a file
THANDLE GetSysColorBrush(LONGINT INDEX);            ///< brush of a system colour
THANDLE GetStockObject(LONGINT INDEX);              ///< stock brush
THANDLE CreateSolidBrush(LONGWORD COLOR);           ///< brush of a 0x00BBGGRR colour

// Windows
THANDLE CreateWindowExA(LONGWORD EXSTYLE, PCHAR CLASSNAME, PCHAR TITLE, LONGWORD STYLE, LONGINT X,
                        LONGINT Y, LONGINT W, LONGINT H, THANDLE PARENT, THANDLE MENU,
                        THANDLE INSTANCE, void *PARAM); ///< sends WM_CREATE before it returns
BOOLEAN DestroyWindow(THANDLE WINDOW);                  ///< sends WM_DESTROY
BOOLEAN ShowWindow(THANDLE WINDOW, LONGINT CMD);        ///< make visible
BOOLEAN UpdateWindow(THANDLE WINDOW);                   ///< WM_PAINT now if anything is invalid
BOOLEAN InvalidateRect(THANDLE WINDOW, const TRECT *R, BOOLEAN ERASE); ///< queue a repaint
BOOLEAN GetWindowRect(THANDLE WINDOW, TRECT *R); ///< outer rectangle, screen pixels
BOOLEAN GetClientRect(THANDLE WINDOW, TRECT *R); ///< client area, from (0, 0)
/// Moves and sizes WINDOW: X, Y in the parent's client pixels (screen for top-level), W x H.
BOOLEAN MoveWindow(THANDLE WINDOW, LONGINT X, LONGINT Y, LONGINT W, LONGINT H, BOOLEAN REPAINT);
THANDLE GetParent(THANDLE WINDOW);                    ///< parent of a child window
LONGINT GetDlgCtrlID(THANDLE WINDOW);                 ///< control identifier of a child
THANDLE BeginPaint(THANDLE WINDOW, TPAINTSTRUCT *PS); ///< validates; paint device context
/// Ends the painting BeginPaint began.
BOOLEAN EndPaint(THANDLE WINDOW, const TPAINTSTRUCT *PS);

// Messages
/// Whether a message for WINDOW (0: any) in FIRST..LAST (0, 0: any) waits; PM_REMOVE takes it.
BOOLEAN PeekMessageA(TMSG *MSG, THANDLE WINDOW, LONGWORD FIRST, LONGWORD LAST, LONGWORD REMOVE);
LONGINT GetMessageA(TMSG *MSG, THANDLE WINDOW, LONGWORD FIRST, LONGWORD LAST); ///< 0 on WM_QUIT
BOOLEAN TranslateMessage(const TMSG *MSG);  ///< posts WM_CHAR for character keys
TLRESULT DispatchMessageA(const TMSG *MSG); ///< to the window's procedure
/// Hands a message to WINDOW's procedure now and returns its result.
TLRESULT SendMessageA(THANDLE WINDOW, LONGWORD MESSAGE, TWPARAM WPARAM, TLPARAM LPARAM);
/// Queues a message for WINDOW; the pump hands it on later.
BOOLEAN PostMessageA(THANDLE WINDOW, LONGWORD MESSAGE, TWPARAM WPARAM, TLPARAM LPARAM);
/// Queues WM_QUIT with EXITCODE.
void PostQuitMessage(LONGINT EXITCODE);
/// The system's default processing of a message.
TLRESULT DefWindowProcA(THANDLE WINDOW, LONGWORD MESSAGE, TWPARAM WPARAM, TLPARAM LPARAM);

// Mouse
THANDLE SetCapture(THANDLE WINDOW); ///< previous capture window
/// Lets the mouse go to whichever window is under it again.
BOOLEAN ReleaseCapture();
BOOLEAN GetCursorPos(POINT *P);             ///< screen pixels
BOOLEAN SetCursorPos(LONGINT X, LONGINT Y); ///< screen pixels
THANDLE GetForegroundWindow();              ///< window with the input focus

// Window properties
/// Hangs DATA on WINDOW under NAME.
BOOLEAN SetPropA(THANDLE WINDOW, PCHAR NAME, THANDLE DATA);
THANDLE GetPropA(THANDLE WINDOW, PCHAR NAME);    ///< 0 when not set
THANDLE RemovePropA(THANDLE WINDOW, PCHAR NAME); ///< the removed value

// Regions
THANDLE ExtCreateRegion(const TRECT *RECTS, LONGWORD COUNT); ///< union of COUNT rectangles
LONGINT CombineRgn(THANDLE DEST, THANDLE SRC1, THANDLE SRC2,
                   LONGINT MODE); ///< region kind, 0 = error
/// Whether pixel (X, Y) lies in REGION.
BOOLEAN PtInRegion(THANDLE REGION, LONGINT X, LONGINT Y);
LONGINT GetRgnBox(THANDLE REGION, TRECT *BOX); ///< bounding box; region kind, 0 = error
LONGINT SetWindowRgn(THANDLE WINDOW, THANDLE REGION, BOOLEAN REDRAW); ///< window owns REGION after

// Device contexts, bitmaps, palettes
/// WINDOW's device context (0: the screen's).
THANDLE GetDC(THANDLE WINDOW);
/// Gives back a device context that GetDC handed out.
LONGINT ReleaseDC(THANDLE WINDOW, THANDLE DC);
THANDLE CreateCompatibleDC(THANDLE DC); ///< memory device context
/// Deletes a memory device context.
BOOLEAN DeleteDC(THANDLE DC);
THANDLE SelectObject(THANDLE DC, THANDLE OBJECT);    ///< previous object of that kind
THANDLE GetCurrentObject(THANDLE DC, LONGWORD KIND); ///< what is selected: OBJ_BITMAP, OBJ_PAL
BOOLEAN DeleteObject(THANDLE OBJECT);                ///< bitmap, palette, region, font, brush
LONGINT GetObjectA(THANDLE OBJECT, LONGINT SIZE,
                   void *BUFFER); ///< TBITMAP for a bitmap; bytes written
THANDLE LoadImageA(THANDLE INSTANCE, PCHAR NAME, LONGWORD TYPE, LONGINT CX, LONGINT CY,
                   LONGWORD FLAGS); ///< BMP file as a DIB section, 0 on failure
/// A bitmap of INFO's size and depth whose pixel memory *BITS the program reads and writes.
THANDLE CreateDIBSection(THANDLE DC, const TBITMAPINFOHEADER *INFO, LONGWORD USAGE, void **BITS,
                         THANDLE SECTION, LONGWORD OFFSET);
/// Copies up to COUNT colour-table entries from START of the DIB selected in DC; how many.
LONGWORD GetDIBColorTable(THANDLE DC, LONGWORD START, LONGWORD COUNT, TRGBQUAD *COLORS);
/// Copies W x H pixels from (SX, SY) of SRC's bitmap to (X, Y) of DEST (ROP: SRCCOPY).
BOOLEAN BitBlt(THANDLE DEST, LONGINT X, LONGINT Y, LONGINT W, LONGINT H, THANDLE SRC, LONGINT SX,
               LONGINT SY, LONGWORD ROP);
/// A logical palette of COUNT entries.
THANDLE CreatePalette(const TPALETTEENTRY *ENTRIES, LONGWORD COUNT);
/// Copies entries START .. START + COUNT - 1 (those that exist); ENTRIES null: the entry count.
LONGWORD GetPaletteEntries(THANDLE PALETTE, LONGWORD START, LONGWORD COUNT, TPALETTEENTRY *ENTRIES);
/// A general-purpose palette for DC's screen.
THANDLE CreateHalftonePalette(THANDLE DC);
THANDLE SelectPalette(THANDLE DC, THANDLE PALETTE, BOOLEAN BACKGROUND); ///< previous palette
/// Maps DC's palette onto the system palette; entries changed.
LONGWORD RealizePalette(THANDLE DC);

// Menus
THANDLE CreateMenu();      ///< an empty menu bar, 0 on failure
THANDLE CreatePopupMenu(); ///< an empty pop-up menu, 0 on failure
/// Adds an item at MENU's end: TEXT ("&File\tCtrl+F": & before the mnemonic, a tab before the
/// accelerator text) with identifier ID, or with MF_POPUP the pop-up whose handle is ID, or an
/// MF_SEPARATOR line; MF_GRAYED, MF_DISABLED, MF_CHECKED as the item starts.
BOOLEAN AppendMenuA(THANDLE MENU, LONGWORD FLAGS, TWPARAM ID, PCHAR TEXT);
/// Checks or unchecks an item (MF_BYCOMMAND or MF_BYPOSITION); its previous MF_CHECKED, or -1.
LONGWORD CheckMenuItem(THANDLE MENU, LONGWORD ITEM, LONGWORD CHECK);
/// Enables, greys or disables an item; its previous MF_GRAYED | MF_DISABLED, or -1.
LONGINT EnableMenuItem(THANDLE MENU, LONGWORD ITEM, LONGWORD ENABLE);
/// Attaches menu bar MENU (0: none) to WINDOW, which shrinks or grows its client area.
BOOLEAN SetMenu(THANDLE WINDOW, THANDLE MENU);
THANDLE GetMenu(THANDLE WINDOW);     ///< WINDOW's menu bar, 0 for none
BOOLEAN DrawMenuBar(THANDLE WINDOW); ///< redraws the menu bar after its items changed
/// Destroys MENU and its pop-ups (a window's menu bar goes with its window).
BOOLEAN DestroyMenu(THANDLE MENU);
/// Shows pop-up MENU at screen (X, Y) (TPM_ alignment) for WINDOW and lets the user choose:
/// WM_COMMAND is posted to WINDOW, or with TPM_RETURNCMD the identifier is returned (0: none).
/// It returns once the menu closes, so the caller draws no frames meanwhile; a menu bar entered
/// from the keyboard (SC_KEYMENU) leaves the program's loop running on x11 instead.
LONGINT TrackPopupMenu(THANDLE MENU, LONGWORD FLAGS, LONGINT X, LONGINT Y, LONGINT RESERVED,
                       THANDLE WINDOW, const TRECT *RECT);

// Status window (common controls)
/// A status window along PARENT's bottom showing TEXT, control identifier ID; 0 on failure.
THANDLE CreateStatusWindowA(LONGINT STYLE, PCHAR TEXT, THANDLE PARENT, LONGWORD ID);

// Pixel format, rendering context, buffer swap
LONGINT ChoosePixelFormat(THANDLE DC, const TPIXELFORMATDESCRIPTOR *PFD); ///< index, 0 = none
/// Sets pixel format FORMAT on DC's window, once per window.
BOOLEAN SetPixelFormat(THANDLE DC, LONGINT FORMAT, const TPIXELFORMATDESCRIPTOR *PFD);
THANDLE wglCreateContext(THANDLE DC);           ///< 0 on failure
BOOLEAN wglMakeCurrent(THANDLE DC, THANDLE RC); ///< RC 0: no context current
/// Deletes a rendering context.
BOOLEAN wglDeleteContext(THANDLE RC);
/// Shows the frame drawn in DC's back buffer.
BOOLEAN SwapBuffers(THANDLE DC);
/// An OpenGL entry point beyond 1.1 for the current context, or null where there is none.
void *wglGetProcAddress(PCHAR NAME);

// Font outlines
/// A logical font: HEIGHT in logical units (negative: the characters' height), ESCAPEMENT and
/// ORIENTATION in tenths of a degree, WEIGHT 0..1000, FACENAME null for the mapper's choice.
THANDLE CreateFontA(LONGINT HEIGHT, LONGINT WIDTH, LONGINT ESCAPEMENT, LONGINT ORIENTATION,
                    LONGINT WEIGHT, LONGWORD ITALIC, LONGWORD UNDERLINE, LONGWORD STRIKEOUT,
                    LONGWORD CHARSET, LONGWORD OUTPRECISION, LONGWORD CLIPPRECISION,
                    LONGWORD QUALITY, LONGWORD PITCHANDFAMILY, PCHAR FACENAME);
BOOLEAN wglUseFontOutlinesA(THANDLE DC, LONGWORD FIRST, LONGWORD COUNT, LONGWORD LISTBASE,
                            SINGLE DEVIATION, SINGLE EXTRUSION, LONGINT FORMAT,
                            GLYPHMETRICSFLOAT *METRICS); ///< one display list per code

/// Window pictures (no single Win32 call: a blit from the window's device context on Windows).
/// WINDOW's client area as shown, child windows included and clipped to the window's region,
/// as *W x *H pixels 0x00RRGGBB, top row first; PIXELS null asks only the size. False for an
/// unknown window, one not on the screen, or a PIXELS buffer of another size than *W x *H.
BOOLEAN GetWindowPixels(THANDLE WINDOW, LONGINT *W, LONGINT *H, std::uint32_t *PIXELS);

} // namespace platform
} // namespace vantrel
VANTREL_API_END
