// Menus for the backends without Win32 underneath (x11, headless): menu bars and pop-ups with
// their items, and the menu loop that Win32 runs while one is open. The loop's rules (which
// keys move where, what a grey item does, which messages the owner gets) are kept here once;
// a backend shows the menus and feeds the loop its user's keys and clicks (backend_hooks.h).
#pragma once

#include <string>
#include <vector>

#include "vantrel/platform/platform.h"

namespace vantrel::common {

struct menu_item {
  LONGWORD flags = 0; // MF_ flags: MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR
  TWPARAM id = 0;     // the command identifier, or the pop-up's handle with MF_POPUP
  std::string text;   // the label, & before the mnemonic kept
  std::string accel;  // what followed the tab: the accelerator's text
};

struct menu_record {
  bool bar = false;   // made by CreateMenu
  THANDLE window = 0; // the window it is the menu bar of
  std::vector<menu_item> items;
};

menu_record *find_menu(THANDLE handle);
// The item's mnemonic, lower case ('&&' is a plain '&'); 0 for none.
char menu_mnemonic(const menu_item &item);
// The label as drawn: '&' taken out, and where the underlined letter is (-1: none).
std::string menu_label(const menu_item &item, int *underline);
bool menu_item_enabled(const menu_item &item);
// The window is being destroyed: its menu bar goes with it.
void destroy_window_menu(THANDLE window);
// Forgets every menu (between tests).
void forget_menus();

// One menu loop: a menu bar entered from the keyboard, or a pop-up from TrackPopupMenu. Each
// open menu is a level, the bar or the pop-up first; `highlight` is the item lit in it.
struct menu_level {
  THANDLE menu = 0;
  int highlight = -1;
};
struct menu_tracking {
  THANDLE owner = 0;
  bool popup = false;  // TrackPopupMenu's loop; otherwise the menu bar's
  LONGWORD flags = 0;  // TrackPopupMenu's TPM_ flags
  POINT at;            // TrackPopupMenu's place, screen pixels
  int open_title = -1; // the bar's loop entered by a click: the title it opens
  std::vector<menu_level> levels;
  bool done = false;
  bool chosen = false; // an item was chosen; its identifier is `command`
  TWPARAM command = 0;
  bool idle = false; // WM_ENTERIDLE was sent, and the backend has handed no step since
};

// The steps of a loop, as the user takes them; each sends the owner what Win32 sends.
// A key: arrows move, Enter chooses or opens, Escape backs out one level.
void menu_key(menu_tracking &t, TWPARAM vk);
// A typed character: the item with that mnemonic in the deepest open menu.
void menu_char(menu_tracking &t, char ch);
// Lights item INDEX of LEVEL (closing the menus below it); -1 lights nothing.
void menu_select(menu_tracking &t, std::size_t level, int index);
// A click on the lit item of the deepest level: opens its pop-up, or chooses it; a grey item
// leaves the menu open.
void menu_click(menu_tracking &t);
// Closes the whole loop without a choice.
void menu_cancel(menu_tracking &t);
// Keys already in the thread's queue go to the open menu, as Win32's loop reads them from there:
// key-downs steer (and TranslateMessage makes their characters), characters choose by mnemonic,
// Alt or F10 leaves; key-ups are taken and dropped. True when it took any.
bool menu_take_queued_keys(menu_tracking &t);
// The loop has handled what the user did and waits for more: the owner hears it (WM_ENTERIDLE)
// once, until the backend clears `idle` with the next step it hands over.
void menu_idle(menu_tracking &t);

// The loop T (its owner and first level set) in two parts, around the steps the backend hands
// it: the owner learns that a menu opens and the first step is taken (a bar's letter, or Alt
// alone lighting the first title); then, once it is done, the menus close and the owner learns
// it, the choice posted as WM_COMMAND. The end returns TrackPopupMenu's result.
void begin_menu_loop(menu_tracking &t, char first_char);
LONGINT end_menu_loop(menu_tracking &t);
// Both parts with the backend's blocking run_menu between them; TrackPopupMenu's result.
LONGINT run_menu_loop(menu_tracking &t, char first_char);
// DefWindowProcA's SC_KEYMENU: Alt or F10 (CH 0), or Alt with a letter, enters WINDOW's bar.
// With the backend's open_menu hook it returns once the bar's loop has begun, and the backend
// steps the loop from its message pump; otherwise it runs the loop to its end.
void track_menu_bar(THANDLE window, char ch);
// A click on the bar's title INDEX enters it with that title's pop-up open.
void track_menu_bar_title(THANDLE window, int index);

// The loop in progress, if any (the backend that shows it reads it to draw).
const menu_tracking *active_menu();

} // namespace vantrel::common
