// Window classes and window records for the x11 and headless backends: creation, destruction,
// properties.
#include "vantrel/platform/common/window_table.h"

#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/menus.h"
#include "vantrel/platform/common/message_queue.h"
#include "vantrel/platform/common/status_bar.h"
#include "vantrel/platform/common/window_life.h"
#include "vantrel/platform/common/window_paint.h"

namespace vantrel::common {

namespace {

std::map<std::string, window_class> classes;
std::map<THANDLE, window> windows;
THANDLE next_handle = 0x1000;

} // namespace

THANDLE new_handle() { return next_handle += 4; }

std::map<THANDLE, window> &window_records() { return windows; }

window *find_window(THANDLE handle) {
  auto it = windows.find(handle);
  return it == windows.end() ? nullptr : &it->second;
}

std::vector<THANDLE> child_windows(THANDLE parent) {
  std::vector<THANDLE> out;
  for (auto &[h, w] : windows)
    if (w.parent == parent && !w.unlinked) out.push_back(h);
  return out;
}

const window_class *find_class(const std::string &name) {
  auto it = classes.find(name);
  return it == classes.end() ? nullptr : &it->second;
}

namespace {

// Nested DestroyWindow calls allowed on one window.
constexpr int max_destroy_depth = 4;

// WM_DESTROY to the window, then to each of its children and theirs.
void send_destroy(THANDLE handle) {
  window *w = find_window(handle);
  if (!w) return;
  if (w->proc) w->proc(handle, WM_DESTROY, 0, 0);
  for (THANDLE child : child_windows(handle))
    if (find_window(handle) && find_window(child)) send_destroy(child);
}

// WM_NCDESTROY to the children first and to the window last, each record dropped after it.
void finish_destroy(THANDLE handle, void (*free_native)(window &)) {
  for (THANDLE child : child_windows(handle))
    finish_destroy(child, free_native);
  window *w = find_window(handle);
  if (!w || w->unlinked) return;
  w->unlinked = true;
  if (w->proc) w->proc(handle, WM_NCDESTROY, 0, 0);
  w = find_window(handle); // the procedure may have changed the table
  if (!w) return;
  forget_active(handle);
  if (free_native) free_native(*w);
  release_window_region(*w);
  destroy_window_menu(handle);
  windows.erase(handle);
  drop_messages(handle);
}

} // namespace

window *create_window(LONGWORD style, PCHAR class_name, PCHAR title, const TRECT &rect,
                      const TRECT &client, THANDLE parent, THANDLE menu,
                      void (*make_native)(window &), void (*free_native)(window &),
                      TCREATESTRUCT creation) {
  const window_class *cls = class_name ? find_class(class_name) : nullptr;
  if (!cls) return nullptr;
  THANDLE h = new_handle();
  window &w = windows[h];
  w.handle = h;
  w.class_name = cls->name;
  w.proc = cls->proc;
  w.title = title ? title : "";
  w.style = style;
  w.rect = rect;
  w.client = client;
  w.parent = parent;
  w.id = (style & WS_CHILD) ? LONGINT(menu) : 0;
  if (menu_record *bar = (style & WS_CHILD) ? nullptr : find_menu(menu)) {
    // A top-level window's MENU is its menu bar, which takes its place above the client area.
    w.menu = menu;
    bar->window = h;
    w.client = client_inside(style, rect.RIGHT - rect.LEFT, rect.BOTTOM - rect.TOP, true);
  }
  w.visible = false;            // WS_VISIBLE: the backend shows it once it is made
  invalidate(w, nullptr, true); // all of a new window waits for its first paint
  if (make_native) make_native(w);
  creation.MENU = menu, creation.PARENT = parent, creation.STYLE = style;
  creation.NAME = title, creation.CLASS = class_name;
  creation.X = rect.LEFT, creation.Y = rect.TOP;
  creation.CX = rect.RIGHT - rect.LEFT, creation.CY = rect.BOTTOM - rect.TOP;
  const TLPARAM created = TLPARAM(&creation);
  const bool go_on = !w.proc || w.proc(h, WM_NCCREATE, 0, created) != 0;
  TRECT calc = rect; // WM_NCCALCSIZE's rectangle, whose answer the record already holds
  if (go_on && w.proc && find_window(h)) w.proc(h, WM_NCCALCSIZE, 0, TLPARAM(&calc));
  if (!go_on || (w.proc && find_window(h) && w.proc(h, WM_CREATE, 0, created) == -1)) {
    // A refused window never lived: WM_NCDESTROY alone, as Win32 sends.
    if (find_window(h)) finish_destroy(h, free_native);
    return nullptr;
  }
  announce_created(h);
  return find_window(h); // null when the procedure destroyed it, or its parent, meanwhile
}

bool destroy_window(THANDLE handle, void (*free_native)(window &)) {
  window *w = find_window(handle);
  if (!w || w->destroy_depth >= max_destroy_depth) return false;
  w->destroy_depth++;
  if (w->visible) { // hidden first, as Win32 does
    w->visible = false;
    announce_shown(handle, false, true);
  }
  if (find_window(handle)) send_destroy(handle);
  if (find_window(handle)) finish_destroy(handle, free_native);
  if (window *left = find_window(handle)) left->destroy_depth--; // a refused nested call
  return true;
}

void reset() {
  windows.clear();
  classes.clear();
  forget_status_bars();
  forget_menus();
  clear_queue();
  forget_active(0);
}

} // namespace vantrel::common

// ---- Seam services that need nothing native ----
namespace vantrel::platform {
using namespace vantrel::common;

LONGWORD RegisterClassA(const TWNDCLASS *c) {
  if (!c || !c->CLASSNAME || classes.count(c->CLASSNAME)) return 0;
  window_class &k = classes[c->CLASSNAME];
  k = {c->CLASSNAME, c->WNDPROC, c->STYLE,      c->INSTANCE,
       c->ICON,      c->CURSOR,  c->BACKGROUND, c->WNDEXTRA};
  return LONGWORD(classes.size()) + 0xC000;
}

LONGWORD RegisterClassExA(const TWNDCLASSEX *c) {
  if (!c || c->SIZE != 48) return 0;
  TWNDCLASS plain{c->STYLE, c->WNDPROC, c->CLSEXTRA,   c->WNDEXTRA, c->INSTANCE,
                  c->ICON,  c->CURSOR,  c->BACKGROUND, c->MENUNAME, c->CLASSNAME};
  return RegisterClassA(&plain);
}

BOOLEAN GetClassInfoExA(THANDLE, PCHAR name, TWNDCLASSEX *out) {
  const window_class *k = name ? find_class(name) : nullptr;
  if (!k) return false;
  if (out) {
    out->STYLE = k->style;
    out->WNDPROC = k->proc;
    out->WNDEXTRA = k->wnd_extra;
    out->INSTANCE = k->instance;
    out->ICON = k->icon;
    out->CURSOR = k->cursor;
    out->BACKGROUND = k->background;
    out->CLASSNAME = name;
  }
  return true;
}

// Without Win32 underneath there is one program image and no start-up show command to obey.
THANDLE GetModuleHandleA(PCHAR) { return 0x400000; }
LONGINT StartupShowCommand() { return SW_SHOWNORMAL; }

THANDLE GetParent(THANDLE hwnd) {
  window *w = find_window(hwnd);
  return w ? w->parent : 0;
}

LONGINT GetDlgCtrlID(THANDLE hwnd) {
  window *w = find_window(hwnd);
  return w ? w->id : 0;
}

BOOLEAN SetPropA(THANDLE hwnd, PCHAR name, THANDLE data) {
  window *w = find_window(hwnd);
  if (!w || !name) return false;
  w->props[name] = data;
  return true;
}

THANDLE GetPropA(THANDLE hwnd, PCHAR name) {
  window *w = find_window(hwnd);
  if (!w || !name) return 0;
  auto it = w->props.find(name);
  return it == w->props.end() ? 0 : it->second;
}

THANDLE RemovePropA(THANDLE hwnd, PCHAR name) {
  window *w = find_window(hwnd);
  if (!w || !name) return 0;
  auto it = w->props.find(name);
  if (it == w->props.end()) return 0;
  THANDLE v = it->second;
  w->props.erase(it);
  return v;
}

} // namespace vantrel::platform
