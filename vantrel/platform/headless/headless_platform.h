/// \file
/// \ingroup platform
/// The headless backend: windows without a display, each drawing into an EGL pbuffer of its
/// size. Programs that draw without a display (the snapshot program) steer it with the calls
/// below; the tests' own controls are in headless_test_hooks.h, which is not installed.
///
/// Implemented features:
///  [X] Window classes, windows, the message queue, default processing (WM_CLOSE, Alt+F4)
///  [X] Pixel format, compatibility-profile OpenGL context and buffer swap on an EGL pbuffer
///      (the EGL device platform where a GPU offers one, Mesa's surfaceless platform otherwise)
///  [X] Message boxes answered from a script; screen size, cursor and foreground set by tests
///  [X] Device input from a script (input_mouse, input_key), queued by the same rules as real
///      input: at most one pending move, auto-repeats folded into the pending key-down
///  [X] Bitmap files through the portable BMP reader at their own depth, regular files only (a
///      FIFO or directory is refused without waiting); window properties; capture
///  [X] DIB sections, memory contexts, SRCCOPY blits (onto windows: a canvas read by
///      window_pixels), palettes (true colour: realising maps nothing), regions and window
///      regions, the status window (parts and texts; nothing is drawn of it)
///  [X] Win32's frame metrics between window and client rectangles; the class background
///      erased onto the canvas
///  [X] Menus: the shared menu model and loop (bar from Alt, F10 and Alt+letter, pop-ups from
///      TrackPopupMenu), the user's steps taken from a script (script_menu); nothing is drawn
///  [X] GetMessageA never waits: with nothing queued (the scripted input used up, no quit
///      posted) it returns 0 with a WM_QUIT of exit code 0, so that a message loop that waits,
///      `while (GetMessageA(...))` included, ends instead of spinning or hanging; PeekMessageA
///      just reports the empty queue. A handle that is no window gives -1.
/// Missing features or Issues:
///  [ ] Window regions do not clip blits or input; only SRCCOPY blits; nothing reads a window
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vantrel/platform/platform.h"

VANTREL_API_BEGIN
namespace vantrel::headless {

/// One message box the program showed, and the answer it got.
struct message_box_record {
  ///@{
  /// The box's text and caption.
  std::string text, caption;
  ///@}
  LONGWORD style = 0; ///< its MB_ style
  LONGINT answer = 0; ///< what MessageBoxA returned (0: no scripted answer was left)
};

void set_screen_size(LONGINT w, LONGINT h);             ///< what GetSystemMetrics reports
void script_message_box(LONGINT answer);                ///< next box returns this (queue)
const std::vector<message_box_record> &message_boxes(); ///< every box shown so far
std::string renderer();                                 ///< GL_RENDERER of the EGL device
/// What blits and background erases put on WINDOW: client width x height pixels, 0x00RRGGBB,
/// top row first; black where nothing was drawn since the window was made or resized. Empty
/// for no window.
std::vector<std::uint32_t> window_pixels(THANDLE window);
/// Device input as a mouse or keyboard gives it: MESSAGE (WM_MOUSEMOVE, WM_LBUTTONDOWN ...) at
/// client (X, Y) with the MK_ FLAGS.
void input_mouse(THANDLE window, LONGWORD message, LONGINT x, LONGINT y, TWPARAM flags);
/// Device input from the keyboard: VK down or up; pressed again while down, an auto-repeat.
void input_key(THANDLE window, TWPARAM vk, bool down);

/// One step of the user in an open menu: a key (VK_DOWN, VK_RETURN, VK_ESCAPE ...), a typed
/// character (a mnemonic), the pointer lighting item VALUE of open menu LEVEL (0: the bar or
/// the pop-up), a click on the lit item, or a click outside every menu.
struct menu_step {
  /// What the user does.
  enum kind_t { key, character, point, click, click_outside };
  kind_t kind = key; ///< this step's kind
  LONGINT value = 0; ///< the key, the character or the item
  LONGINT level = 0; ///< the open menu pointed at
};
/// The steps the next menu loops take, in order; a loop that finds none left is cancelled,
/// as if the user had clicked outside.
void script_menu(const std::vector<menu_step> &steps);

} // namespace vantrel::headless
VANTREL_API_END
