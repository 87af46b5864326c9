// State shared by the files of the x11 backend: the display connection, the per-window native
// record, and the helpers each file lends the others. Only x11 backend files include this.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <GL/glx.h>
#include <X11/Xft/Xft.h>

#include <string>
#include <vector>

#include "vantrel/platform/common/menus.h"
#include "vantrel/platform/common/window_paint.h"
#include "vantrel/platform/common/window_table.h"

namespace vantrel::common {
struct backend_hooks;
} // namespace vantrel::common

namespace vantrel::x11 {

// What one window needs on the X side, hung on common::window::native.
struct x11_window {
  Window xid = 0;        // the client area
  Window frame = 0;      // a top-level window's frame: the client with its thin border and menu bar
  Colormap colormap = 0; // own colormap of a top-level window (its GLX visual's)
  GLXFBConfig config = nullptr; // framebuffer configuration chosen at creation
  VisualID visual = 0;          // the visual the X window was created with
  GLXWindow glx = 0;            // GLX drawable once a pixel format is set
  LONGINT format = 0;           // the pixel format index set on it, 0 before
  bool top_level = false;
  bool fixed_size = true;     // not resizable: min = max size hints
  unsigned border = 0;        // a child's one-pixel X border draws the thin frame of WS_BORDER
  bool thin = false;          // a top-level window's frame draws the thin border of WS_BORDER
  bool full_screen = false;   // covers the screen, and the window manager offers full screen
  bool erased_at_map = false; // erased while viewable: its map's Expose needs no erase
  bool gone = false;          // destroyed on the server by someone else: nothing left to free there
};

// The window a window manager sees of a top-level window: its frame where it has one.
inline Window managed(const x11_window &n) { return n.frame ? n.frame : n.xid; }

struct atoms {
  Atom wm_protocols, wm_delete_window, net_wm_name, utf8_string, net_frame_extents,
      net_request_frame_extents, net_supporting_wm_check, motif_wm_hints, net_wm_window_type,
      net_wm_window_type_dialog, net_wm_window_type_normal, net_wm_pid, net_wm_state,
      net_wm_state_modal, net_wm_ping, net_wm_state_fullscreen, net_supported;
};

// The shared connection, opened on first use; null when no display can be opened.
Display *display();
// A connection of its own beside the shared one (a menu's, a message box's, so that their modal
// loops read only their own events): opened on first use, kept between uses, opened anew when
// DISPLAY names another server; null when none can be opened.
class side_connection {
public:
  Display *get();

private:
  Display *kept_ = nullptr;
  std::string name_;
};
const atoms &atom();
// Interns the atoms of a connection (the message box has its own).
atoms intern_atoms(Display *d);
// Installs the error handler that records X errors instead of ending the process.
void install_error_handler();
// Runs the requests queued so far and reports the X error code they raised, 0 for none.
int sync_error(Display *d);
// True when a window manager runs on the display's default screen.
bool window_manager_running(Display *d);

// Window records by X window and by handle. A window is remembered from its creation until its
// native record is freed; the lookup allocates nothing, since it runs for every event.
void remember_window(Window xid, THANDLE handle);
void forget_window(Window xid);
common::window *window_of(Window xid);
x11_window *native(THANDLE handle);
x11_window *native(common::window &w);
// The window that holds the mouse capture, 0 for none.
THANDLE captured_window();
// Win32 picks a pointer message's window when it is taken from the queue, with the capture of
// that moment: without capture, the window under the pointer. Sets MSG's window and client
// position so; false when the pointer is over none of ours (the message is then dropped).
bool route_pointer_message(TMSG &msg);
void forget_capture(THANDLE handle);

// Window texts arrive as Windows-1252 bytes; X wants UTF-8. Text that already is UTF-8 with
// multi-byte sequences is kept as it is, since source literals are often written that way.
std::string window_text_utf8(PCHAR text);
// UTF-8 down to Latin-1 for the core X fonts and the WM_NAME property; '?' for the rest.
std::string utf8_to_latin1(const std::string &text);

// Sets WM_NAME and _NET_WM_NAME of an X window.
void set_window_title(Display *d, Window xid, const atoms &a, PCHAR title);

// What window managers rely on to treat a top-level window as the program's own: WM_HINTS
// that take input, WM_CLIENT_MACHINE, _NET_WM_PID, WM_PROTOCOLS (WM_DELETE_WINDOW and
// _NET_WM_PING) and the window TYPE.
void set_manager_properties(Display *d, Window xid, const atoms &a, Atom type);
// Answers a window manager's _NET_WM_PING; false when EV is no ping.
bool answer_ping(Display *d, const atoms &a, XEvent &ev);

// Pixel formats: the framebuffer configuration a new top-level window is created with.
GLXFBConfig creation_config(XVisualInfo **visual);
// Forgets the GLX drawable of a window that goes away (and makes no context current on it).
void release_gl(x11_window &n);
void reset_contexts();

// Input: one X event to Win32 messages in the common queue; state forgotten between tests.
void translate_event(XEvent &ev);
void reset_input();
// Keys released while another connection held the keyboard (a menu's grab) sent this one no
// event: what is no longer down is forgotten without a message, as Win32's menu loop took them.
void forget_released_keys(Display *d);
// Detectable auto-repeat, and the keyboard layouts of the server's groups, followed as they
// change.
void init_keyboard(Display *d);
// Keysym of a key event to a Win32 virtual-key code, 0 for keys without one.
TWPARAM virtual_key(KeySym unshifted, KeySym shifted);

// Another program destroyed W's X window: W (and what is left of its tree) gets WM_DESTROY and
// its record goes, as DestroyWindow would have done.
void window_destroyed_outside(common::window &w);
// True when the server has destroyed XID: a round trip brings in its DestroyNotify, which is
// looked for and left in the queue for the pump.
bool destroyed_on_server(Display *d, Window xid);
// An Expose of the whole window came: it waits for a paint, and for an erase unless it was
// erased on the screen right after being mapped.
void exposed(common::window &w);
// Keeps a window record's rectangles in step with where its X window now is (the window
// manager may have moved it): the client area follows the X window, the frame stays Win32's.
void follow_configure(common::window &w, const XConfigureEvent &e);

// Shared GDI objects on the server: the hooks the common code calls to blit bitmaps, shape
// windows and paint status bars; pixmaps, GCs and fonts are let go between tests.
void install_backend_hooks();
// The pixel value of the colour RGB (0x00RRGGBB) in windows of VISUAL (black where the visual
// is not true-colour).
unsigned long colour_pixel(VisualID visual, std::uint32_t rgb);
void paint_status_bar(THANDLE window);
// Menus: the menu loop shown as pop-up windows (x11_menu.cpp), and a window whose menu bar came
// or went placed again below it (x11_window.cpp).
void install_menu_hook(common::backend_hooks &h);
void menu_bar_changed(THANDLE window);
// The menu bar's loop runs beside the program: its pump hands the loop the menu connection's
// events (and closes it once done), and waits on that connection too (-1: no loop open; events
// already read from it are queued).
void step_menu();
int menu_connection();
bool menu_events_queued();
// Ends an open bar loop without a choice: at once, or (OWNER_GONE) when its owner is destroyed.
void close_menu(bool owner_gone = false);
// The part of Win32's non-client area that X draws itself, around the client X window inside
// the frame window: the thin border of WS_BORDER alone, and the menu bar. A window manager
// draws a captioned window's caption and sizing border around the frame window.
common::frame_insets drawn_insets(const common::window &w);
// The menu bar (x11_menu_bar.cpp): its titles' left edges from the bar's left, the last entry
// the right edge of the last title, in FONT; the bar painted in W's frame window, the title
// the open menu lights shown lit; the title under frame point (X, Y), -1 for none.
std::vector<int> menu_bar_columns(Display *d, XftFont *font, const common::menu_record &bar);
void paint_menu_bar(common::window &w);
int menu_bar_title_at(common::window &w, int x, int y);
int menu_bar_title_at_screen(THANDLE window, LONGINT x, LONGINT y);
// A menu item's label drawn at (X, BASELINE) with its mnemonic underlined, and text widths,
// in the menus' font (x11_menu.cpp).
XftFont *open_menu_font(Display *d);
int menu_text_width(Display *d, XftFont *font, const std::string &utf8);
void draw_menu_label(Display *d, XftDraw *draw, XftFont *font, XftColor *ink, int x, int baseline,
                     const common::menu_item &item);
void reset_gdi();
void reset_status_bar();

} // namespace vantrel::x11
