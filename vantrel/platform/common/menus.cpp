// Menus for the x11 and headless backends: the records behind the menu handles, the menu calls,
// and the menu loop with the messages Win32 sends its owner while it runs.
#include "vantrel/platform/common/menus.h"

#include <cctype>
#include <map>

#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/message_queue.h"
#include "vantrel/platform/common/window_life.h"
#include "vantrel/platform/common/window_paint.h"

namespace vantrel::common {

namespace {

std::map<THANDLE, menu_record> menus;
menu_tracking *running = nullptr;
constexpr LONGWORD ERROR_POPUP_ALREADY_ACTIVE = 1446;

menu_record *menu_or_error(THANDLE handle) {
  menu_record *m = find_menu(handle);
  if (!m) set_last_error(ERROR_INVALID_MENU_HANDLE, "not a menu handle");
  return m;
}

// Whether NEEDLE is HAYSTACK or one of its pop-ups, at any depth.
bool contains(THANDLE haystack, THANDLE needle) {
  if (haystack == needle) return true;
  menu_record *m = find_menu(haystack);
  if (!m) return false;
  for (const menu_item &item : m->items)
    if ((item.flags & MF_POPUP) && contains(THANDLE(item.id), needle)) return true;
  return false;
}

menu_item *item_of(THANDLE handle, LONGWORD which, LONGWORD flags) {
  menu_record *m = menu_or_error(handle);
  if (!m) return nullptr;
  if (flags & MF_BYPOSITION) return which < m->items.size() ? &m->items[which] : nullptr;
  for (menu_item &item : m->items) {
    if (!(item.flags & (MF_POPUP | MF_SEPARATOR)) && item.id == which) return &item;
    if (item.flags & MF_POPUP)
      if (menu_item *inner = item_of(THANDLE(item.id), which, flags)) return inner;
  }
  return nullptr;
}

void send(const menu_tracking &t, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  if (!(t.flags & TPM_NONOTIFY) && find_window(t.owner))
    platform::SendMessageA(t.owner, message, wparam, lparam);
}

TWPARAM make_wparam(LONGWORD low, LONGWORD high) { return TWPARAM((high << 16) | (low & 0xFFFF)); }

menu_item *lit_item(menu_tracking &t, std::size_t level) {
  if (level >= t.levels.size()) return nullptr;
  menu_record *m = find_menu(t.levels[level].menu);
  int i = t.levels[level].highlight;
  return m && i >= 0 && std::size_t(i) < m->items.size() ? &m->items[std::size_t(i)] : nullptr;
}

void end_loop(menu_tracking &t) { t.done = true; }

// Closes the pop-ups below LEVEL, deepest first.
void close_below(menu_tracking &t, std::size_t level) {
  while (t.levels.size() > level + 1) {
    send(t, WM_UNINITMENUPOPUP, TWPARAM(t.levels.back().menu), 0);
    t.levels.pop_back();
  }
}

// Opens the pop-up of the lit item of the deepest level; FIRST lights its first item, as
// the keyboard does.
bool open_popup(menu_tracking &t, bool first) {
  const std::size_t level = t.levels.size() - 1;
  menu_item *item = lit_item(t, level);
  if (!item || !(item->flags & MF_POPUP) || !menu_item_enabled(*item) ||
      !find_menu(THANDLE(item->id)))
    return false;
  send(t, WM_INITMENUPOPUP, item->id, TLPARAM(t.levels[level].highlight));
  t.levels.push_back({THANDLE(item->id), -1});
  if (first) menu_key(t, VK_DOWN);
  return true;
}

void choose(menu_tracking &t, const menu_item &item) {
  t.chosen = true;
  t.command = item.id;
  end_loop(t);
}

// The next item that can be lit from FROM in direction STEP, round the end, separators
// skipped; -1 when there is none.
int next_item(const menu_record &m, int from, int step) {
  const int n = int(m.items.size());
  int i = from;
  for (int k = 0; k < n; k++) {
    i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (!(m.items[std::size_t(i)].flags & MF_SEPARATOR)) return i;
  }
  return -1;
}

// Moves the bar's highlight by STEP, reopening the neighbour's pop-up when one was open.
void move_on_bar(menu_tracking &t, int step) {
  menu_record *bar = find_menu(t.levels[0].menu);
  if (!bar) return;
  const bool was_open = t.levels.size() > 1;
  close_below(t, 0); // a bar of one title comes back to it, and opens it afresh
  menu_select(t, 0, next_item(*bar, t.levels[0].highlight, step));
  if (was_open) open_popup(t, true);
}

} // namespace

menu_record *find_menu(THANDLE handle) {
  auto it = menus.find(handle);
  return it == menus.end() ? nullptr : &it->second;
}

char menu_mnemonic(const menu_item &item) {
  const std::string &s = item.text;
  for (std::size_t i = 0; i + 1 < s.size(); i++)
    if (s[i] == '&') {
      if (s[i + 1] != '&') return char(std::tolower(static_cast<unsigned char>(s[i + 1])));
      i++;
    }
  return 0;
}

std::string menu_label(const menu_item &item, int *underline) {
  std::string out;
  if (underline) *underline = -1;
  const std::string &s = item.text;
  for (std::size_t i = 0; i < s.size(); i++) {
    if (s[i] == '&' && i + 1 < s.size()) {
      i++;
      if (s[i] != '&' && underline && *underline < 0) *underline = int(out.size());
    }
    out += s[i];
  }
  return out;
}

bool menu_item_enabled(const menu_item &item) {
  return !(item.flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR));
}

void destroy_window_menu(THANDLE window) {
  for (auto &[h, m] : menus)
    if (m.window == window) {
      platform::DestroyMenu(h);
      return;
    }
}

void forget_menus() { menus.clear(); }

const menu_tracking *active_menu() { return running; }

void menu_select(menu_tracking &t, std::size_t level, int index) {
  // The item already lit is left as it is, its pop-up open, and nothing is sent.
  if (level >= t.levels.size() || t.done || t.levels[level].highlight == index) return;
  close_below(t, level);
  menu_record *m = find_menu(t.levels[level].menu);
  if (!m || index >= int(m->items.size())) return;
  t.levels[level].highlight = index;
  if (index < 0) return;
  const menu_item &item = m->items[std::size_t(index)];
  // A pop-up's item is named by its position, a command's by its identifier.
  LONGWORD low = (item.flags & MF_POPUP) ? LONGWORD(index) : LONGWORD(item.id);
  send(t, WM_MENUSELECT, make_wparam(low, (item.flags & 0xFFFF) | MF_HILITE),
       TLPARAM(t.levels[level].menu));
}

void menu_key(menu_tracking &t, TWPARAM vk) {
  if (t.done || t.levels.empty()) return;
  const std::size_t level = t.levels.size() - 1;
  menu_record *m = find_menu(t.levels[level].menu);
  if (!m) return menu_cancel(t);
  const bool on_bar = !t.popup && level == 0;
  switch (vk) {
  case VK_LEFT:
  case VK_RIGHT: {
    const int step = vk == VK_RIGHT ? 1 : -1;
    if (on_bar) return move_on_bar(t, step);
    if (vk == VK_RIGHT && open_popup(t, true)) return;
    if (vk == VK_LEFT && level > 1) return close_below(t, level - 1);
    if (vk == VK_LEFT && level == 1 && t.popup) return close_below(t, 0);
    if (!t.popup) move_on_bar(t, step);
    return;
  }
  case VK_UP:
  case VK_DOWN:
    if (on_bar) {
      open_popup(t, true);
      return;
    }
    menu_select(t, level, next_item(*m, t.levels[level].highlight, vk == VK_DOWN ? 1 : -1));
    return;
  case VK_RETURN: {
    menu_item *item = lit_item(t, level);
    if (!item) return;
    if (item->flags & MF_POPUP) {
      open_popup(t, true);
      return;
    }
    // Enter on a grey item closes the menu without a command, as on Windows.
    if (menu_item_enabled(*item)) return choose(t, *item);
    return end_loop(t);
  }
  case VK_ESCAPE:
    if (level == 0) return menu_cancel(t);
    close_below(t, level - 1);
    return;
  default:
    return;
  }
}

void menu_char(menu_tracking &t, char ch) {
  if (t.done || t.levels.empty()) return;
  const std::size_t level = t.levels.size() - 1;
  menu_record *m = find_menu(t.levels[level].menu);
  if (!m) return menu_cancel(t);
  ch = char(std::tolower(static_cast<unsigned char>(ch)));
  for (std::size_t i = 0; i < m->items.size(); i++) {
    const menu_item &item = m->items[i];
    if (menu_mnemonic(item) != ch) continue;
    menu_select(t, level, int(i));
    if (item.flags & MF_POPUP) {
      open_popup(t, true);
    } else if (menu_item_enabled(item)) {
      choose(t, item);
    } else {
      end_loop(t); // a grey item's letter closes the menu, as Enter on it does
    }
    return;
  }
}

void menu_click(menu_tracking &t) {
  if (t.done || t.levels.empty()) return;
  menu_item *item = lit_item(t, t.levels.size() - 1);
  if (!item) return;
  if (item->flags & MF_POPUP) {
    open_popup(t, false);
  } else if (menu_item_enabled(*item)) {
    choose(t, *item);
  }
}

void menu_cancel(menu_tracking &t) {
  t.chosen = false;
  end_loop(t);
}

bool menu_take_queued_keys(menu_tracking &t) {
  TMSG msg;
  bool took = false;
  while (!t.done && peek(&msg, 0, WM_KEYDOWN, WM_SYSCHAR, PM_REMOVE)) {
    took = true;
    if (msg.MESSAGE == WM_KEYDOWN || msg.MESSAGE == WM_SYSKEYDOWN) {
      if (msg.WPARAM == VK_MENU || msg.WPARAM == VK_F10) {
        menu_cancel(t);
      } else {
        menu_key(t, msg.WPARAM);
        platform::TranslateMessage(&msg);
      }
    } else if (msg.MESSAGE == WM_CHAR || msg.MESSAGE == WM_SYSCHAR) {
      menu_char(t, char(msg.WPARAM));
    }
  }
  return took;
}

void menu_idle(menu_tracking &t) {
  if (t.idle || t.done) return;
  t.idle = true;
  send(t, WM_ENTERIDLE, MSGF_MENU, TLPARAM(t.owner));
}

// The loop itself: the owner learns that a menu opens, the backend shows it and hands the user's
// steps to the functions above until one ends it, then the owner learns that it closed. The
// choice comes back as WM_COMMAND, posted, or as the identifier with TPM_RETURNCMD.
void begin_menu_loop(menu_tracking &t, char first_char) {
  running = &t;
  send(t, WM_ENTERMENULOOP, t.popup ? 1 : 0, 0);
  send(t, WM_INITMENU, TWPARAM(t.levels[0].menu), 0);
  if (t.popup) {
    send(t, WM_INITMENUPOPUP, TWPARAM(t.levels[0].menu), 0);
  } else if (t.open_title >= 0) {
    menu_select(t, 0, t.open_title);
    if (!open_popup(t, false) && t.levels[0].highlight < 0) menu_cancel(t);
  } else if (first_char) {
    menu_char(t, first_char);
    if (t.levels.size() == 1 && t.levels[0].highlight < 0) menu_cancel(t); // no such mnemonic
  } else {
    menu_key(t, VK_RIGHT); // Alt or F10 alone lights the first title
  }
}

LONGINT end_menu_loop(menu_tracking &t) {
  if (!t.done) menu_cancel(t);
  close_below(t, 0);
  if (t.popup) send(t, WM_UNINITMENUPOPUP, TWPARAM(t.levels[0].menu), 0);
  send(t, WM_MENUSELECT, make_wparam(0, 0xFFFF), 0);
  send(t, WM_EXITMENULOOP, t.popup ? 1 : 0, 0);
  if (running == &t) running = nullptr;
  if (t.flags & TPM_RETURNCMD) return t.chosen ? LONGINT(t.command) : 0;
  if (t.chosen && find_window(t.owner))
    platform::PostMessageA(t.owner, WM_COMMAND, t.command & 0xFFFF, 0);
  return 1; // shown: a success, whether or not something was chosen
}

LONGINT run_menu_loop(menu_tracking &t, char first_char) {
  begin_menu_loop(t, first_char);
  // Nothing shows menus without the hook, so nobody can choose: end_menu_loop cancels.
  if (!t.done && hooks().run_menu) hooks().run_menu(t);
  return end_menu_loop(t);
}

namespace {

void enter_menu_bar(THANDLE window, char ch, int title) {
  common::window *w = find_window(window);
  THANDLE bar = platform::GetMenu(window);
  if (!w || !bar || running || find_menu(bar)->items.empty()) return;
  if (!hooks().open_menu) {
    menu_tracking t;
    t.owner = window;
    t.open_title = title;
    t.levels.push_back({bar, -1});
    run_menu_loop(t, ch);
    return;
  }
  // The bar's loop outlives this call: the backend steps it from its message pump.
  static menu_tracking bar_loop;
  bar_loop = menu_tracking{};
  bar_loop.owner = window;
  bar_loop.open_title = title;
  bar_loop.levels.push_back({bar, -1});
  begin_menu_loop(bar_loop, ch);
  if (bar_loop.done || !hooks().open_menu(bar_loop)) end_menu_loop(bar_loop);
}

} // namespace

// DefWindowProcA's SC_KEYMENU: Alt, F10 or Alt with a letter enters WINDOW's menu bar.
void track_menu_bar(THANDLE window, char ch) { enter_menu_bar(window, ch, -1); }

void track_menu_bar_title(THANDLE window, int index) {
  const menu_record *bar = find_menu(platform::GetMenu(window));
  if (bar && index >= 0 && std::size_t(index) < bar->items.size()) enter_menu_bar(window, 0, index);
}

} // namespace vantrel::common

namespace vantrel::platform {
using namespace vantrel::common;

THANDLE CreateMenu() {
  THANDLE h = new_handle();
  menus[h].bar = true;
  return h;
}

THANDLE CreatePopupMenu() {
  THANDLE h = new_handle();
  menus[h].bar = false;
  return h;
}

BOOLEAN AppendMenuA(THANDLE handle, LONGWORD flags, TWPARAM id, PCHAR text) {
  menu_record *m = menu_or_error(handle);
  if (!m) return false;
  if ((flags & MF_POPUP) && !find_menu(THANDLE(id))) {
    set_last_error(ERROR_INVALID_MENU_HANDLE, "the pop-up is not a menu handle");
    return false;
  }
  if ((flags & MF_POPUP) && contains(THANDLE(id), handle)) {
    set_last_error(ERROR_INVALID_PARAMETER, "a menu cannot hold itself");
    return false;
  }
  menu_item item;
  item.flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR);
  item.id = id;
  if (!(flags & MF_SEPARATOR) && text) {
    std::string s = text;
    std::size_t tab = s.find('\t');
    item.text = s.substr(0, tab);
    if (tab != std::string::npos) item.accel = s.substr(tab + 1);
  }
  m->items.push_back(std::move(item));
  return true;
}

LONGWORD CheckMenuItem(THANDLE handle, LONGWORD which, LONGWORD check) {
  menu_item *item = item_of(handle, which, check);
  if (!item) return LONGWORD(-1);
  LONGWORD before = item->flags & MF_CHECKED;
  item->flags = (item->flags & ~MF_CHECKED) | (check & MF_CHECKED);
  return before;
}

LONGINT EnableMenuItem(THANDLE handle, LONGWORD which, LONGWORD enable) {
  menu_item *item = item_of(handle, which, enable);
  if (!item) return -1;
  LONGINT before = LONGINT(item->flags & (MF_GRAYED | MF_DISABLED));
  item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return before;
}

BOOLEAN SetMenu(THANDLE hwnd, THANDLE handle) {
  window *w = find_window(hwnd);
  if (!w) {
    set_last_error(ERROR_INVALID_WINDOW_HANDLE, "not a window handle");
    return false;
  }
  if (w->style & WS_CHILD) {
    set_last_error(ERROR_INVALID_WINDOW_HANDLE, "a child window has no menu bar");
    return false;
  }
  menu_record *m = nullptr;
  if (handle && !(m = menu_or_error(handle))) return false;
  if (w->menu)
    if (menu_record *old = find_menu(w->menu)) old->window = 0;
  const bool had = w->menu != 0;
  w->menu = handle;
  if (m) m->window = hwnd;
  if (had == (handle != 0)) return DrawMenuBar(hwnd);
  // The bar takes its height from the client area: the window hears of its new frame, and of
  // the client area's new place and size, as from SetWindowPos.
  const TRECT old_client = w->client;
  w->client = client_inside(w->style, w->rect.RIGHT - w->rect.LEFT, w->rect.BOTTOM - w->rect.TOP,
                            handle != 0);
  if (hooks().menu_bar_changed) hooks().menu_bar_changed(hwnd);
  invalidate(*w, nullptr, true);
  announce_frame_changed(hwnd, old_client);
  return true;
}

THANDLE GetMenu(THANDLE hwnd) {
  window *w = find_window(hwnd);
  return w && !(w->style & WS_CHILD) ? w->menu : 0;
}

BOOLEAN DrawMenuBar(THANDLE hwnd) {
  window *w = find_window(hwnd);
  if (!w) {
    set_last_error(ERROR_INVALID_WINDOW_HANDLE, "not a window handle");
    return false;
  }
  if (!w->menu) return true;
  if (hooks().menu_bar_changed) hooks().menu_bar_changed(hwnd);
  announce_frame_changed(hwnd, w->client);
  return true;
}

BOOLEAN DestroyMenu(THANDLE handle) {
  menu_record *m = menu_or_error(handle);
  if (!m) return false;
  if (running)
    for (const menu_level &l : running->levels)
      if (l.menu == handle) menu_cancel(*running);
  if (window *w = find_window(m->window))
    if (w->menu == handle) w->menu = 0;
  std::vector<THANDLE> popups;
  for (const menu_item &item : m->items)
    if (item.flags & MF_POPUP) popups.push_back(THANDLE(item.id));
  menus.erase(handle);
  for (THANDLE p : popups)
    if (find_menu(p)) DestroyMenu(p);
  return true;
}

LONGINT TrackPopupMenu(THANDLE handle, LONGWORD flags, LONGINT x, LONGINT y, LONGINT, THANDLE hwnd,
                       const TRECT *) {
  menu_record *m = menu_or_error(handle);
  if (!m) return 0;
  if (!find_window(hwnd)) {
    set_last_error(ERROR_INVALID_WINDOW_HANDLE, "not a window handle");
    return 0;
  }
  if (running) {
    set_last_error(ERROR_POPUP_ALREADY_ACTIVE, "a menu is already open");
    return 0;
  }
  menu_tracking t;
  t.owner = hwnd;
  t.popup = true;
  t.flags = flags;
  t.at = {x, y};
  t.levels.push_back({handle, -1});
  return run_menu_loop(t, 0);
}

} // namespace vantrel::platform
