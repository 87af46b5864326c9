// Headless backend: EGL pbuffers stand in for windows.
#include "vantrel/platform/headless/headless_test_hooks.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <deque>
#include <map>
#include <sys/stat.h>

#include "vantrel/platform/common/backend_calls.h"
#include "vantrel/platform/common/backend_hooks.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/common/menus.h"
#include "vantrel/platform/common/message_queue.h"
#include "vantrel/platform/common/status_bar.h"
#include "vantrel/platform/common/window_life.h"
#include "vantrel/platform/common/window_paint.h"
#include "vantrel/platform/common/window_table.h"
#include "vantrel/platform/frames.h"

namespace vantrel::headless {
namespace {

struct egl_state {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLConfig config = nullptr;
  bool tried = false;
};
egl_state egl;

struct native_window {
  EGLSurface surface = EGL_NO_SURFACE;
  LONGINT format = 0;
  LONGINT width = 0, height = 0;
  std::vector<std::uint32_t> canvas; // what blits put on the client area, 0x00RRGGBB top-down
};

struct context_record {
  EGLContext context = EGL_NO_CONTEXT;
};
std::map<THANDLE, context_record> contexts;

LONGINT screen_w = 1024, screen_h = 768;
std::deque<LONGINT> answers;
std::vector<message_box_record> boxes;
bool pixel_format_fails = false, context_fails = false;
THANDLE foreground = 0, captured = 0;
POINT cursor;
LONGINT swaps = 0;
TPIXELFORMATDESCRIPTOR requested;
bool key_down[256] = {};
std::deque<menu_step> menu_script;

// The menu loop reads the keyboard as Win32's does, from the thread's queue, then takes the
// scripted steps, until one ends it or none are left.
void run_menu(common::menu_tracking &t) {
  common::menu_take_queued_keys(t);
  while (!t.done && !menu_script.empty()) {
    menu_step step = menu_script.front();
    menu_script.pop_front();
    switch (step.kind) {
    case menu_step::key:
      common::menu_key(t, TWPARAM(step.value));
      break;
    case menu_step::character:
      common::menu_char(t, char(step.value));
      break;
    case menu_step::point:
      if (step.level >= 0) common::menu_select(t, std::size_t(step.level), step.value);
      break;
    case menu_step::click:
      common::menu_click(t);
      break;
    case menu_step::click_outside:
      common::menu_cancel(t);
      break;
    }
  }
}

// A GPU's device first; Mesa's surfaceless platform (llvmpipe here) otherwise.
EGLDisplay open_display() {
  const char *ext = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  auto has = [&](const char *name) { return ext && std::strstr(ext, name) != nullptr; };
  auto get_platform_display =
      (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
  if (get_platform_display && has("EGL_EXT_platform_device")) {
    auto query_devices = (PFNEGLQUERYDEVICESEXTPROC)eglGetProcAddress("eglQueryDevicesEXT");
    auto query_device_string =
        (PFNEGLQUERYDEVICESTRINGEXTPROC)eglGetProcAddress("eglQueryDeviceStringEXT");
    EGLDeviceEXT devices[8];
    EGLint count = 0;
    if (query_devices && query_device_string && query_devices(8, devices, &count)) {
      for (EGLint i = 0; i < count; i++) {
        const char *dext = query_device_string(devices[i], EGL_EXTENSIONS);
        if (dext && std::strstr(dext, "EGL_MESA_device_software")) continue;
        EGLDisplay d = get_platform_display(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
        if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
      }
    }
  }
  if (get_platform_display && has("EGL_MESA_platform_surfaceless")) {
    EGLDisplay d =
        get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
  }
  EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
  return EGL_NO_DISPLAY;
}

// The closest configuration to a double-buffered RGBA window with depth; stencil when offered.
bool ensure_egl() {
  if (egl.tried) return egl.display != EGL_NO_DISPLAY && egl.config;
  egl.tried = true;
  egl.display = open_display();
  if (egl.display == EGL_NO_DISPLAY) {
    common::set_last_error(common::ERROR_INVALID_DATA, "no EGL display could be opened");
    return false;
  }
  eglBindAPI(EGL_OPENGL_API);
  const EGLint wanted[][2] = {{24, 8}, {24, 0}, {16, 0}};
  for (auto &w : wanted) {
    EGLint attrs[] = {EGL_SURFACE_TYPE,
                      EGL_PBUFFER_BIT,
                      EGL_RENDERABLE_TYPE,
                      EGL_OPENGL_BIT,
                      EGL_RED_SIZE,
                      8,
                      EGL_GREEN_SIZE,
                      8,
                      EGL_BLUE_SIZE,
                      8,
                      EGL_ALPHA_SIZE,
                      8,
                      EGL_DEPTH_SIZE,
                      w[0],
                      EGL_STENCIL_SIZE,
                      w[1],
                      EGL_NONE};
    EGLint n = 0;
    if (eglChooseConfig(egl.display, attrs, &egl.config, 1, &n) && n > 0) return true;
  }
  egl.config = nullptr;
  common::set_last_error(common::ERROR_INVALID_DATA, "no EGL configuration with depth buffer");
  return false;
}

native_window *native_of(THANDLE dc, common::window **out = nullptr) {
  common::gdi_object *d = common::find_object(dc, common::gdi_kind::dc);
  common::window *w = d ? common::find_window(d->window) : nullptr;
  if (out) *out = w;
  return w ? static_cast<native_window *>(w->native) : nullptr;
}

// Held in a table rather than on the heap alone, so that leaving the program with windows
// open (a run-time error, say) frees them with the table.
std::map<THANDLE, native_window> natives;

// A fresh, black canvas of the client area's size.
void clear_canvas(native_window &n, const common::window &w) {
  n.width = w.client.RIGHT - w.client.LEFT;
  n.height = w.client.BOTTOM - w.client.TOP;
  n.canvas.assign(std::size_t(n.width) * std::size_t(n.height), 0);
}

// Blits onto a window land on its canvas, clipped to it.
void paint_bitmap(THANDLE window, LONGINT x, LONGINT y, LONGINT w, LONGINT h, THANDLE source,
                  LONGINT sx, LONGINT sy) {
  auto it = natives.find(window);
  if (it == natives.end() || w <= 0 || h <= 0) return;
  native_window &n = it->second;
  if (x < 0 || y < 0 || std::int64_t(x) + w > n.width || std::int64_t(y) + h > n.height) return;
  std::vector<std::uint32_t> px(std::size_t(w) * std::size_t(h));
  if (!common::bitmap_pixels(source, sx, sy, w, h, px.data())) return;
  for (LONGINT row = 0; row < h; row++)
    std::copy_n(px.begin() + std::ptrdiff_t(row) * w, w,
                n.canvas.begin() + std::ptrdiff_t(y + row) * n.width + x);
}

// The background erase fills the canvas too.
void fill_rect(THANDLE window, const TRECT &r, std::uint32_t rgb) {
  auto it = natives.find(window);
  if (it == natives.end()) return;
  native_window &n = it->second;
  LONGINT l = std::max(0, r.LEFT), t = std::max(0, r.TOP);
  LONGINT right = std::min(n.width, r.RIGHT), bottom = std::min(n.height, r.BOTTOM);
  for (LONGINT y = t; y < bottom; y++)
    std::fill_n(n.canvas.begin() + std::ptrdiff_t(y) * n.width + l, std::max(0, right - l), rgb);
}

void make_native(common::window &w) {
  // Installed with the first window, where blits can first land; hooks a test put in stay.
  if (!common::hooks().paint_bitmap || !common::hooks().fill_rect || !common::hooks().run_menu) {
    common::backend_hooks h = common::hooks();
    if (!h.paint_bitmap) h.paint_bitmap = paint_bitmap;
    if (!h.fill_rect) h.fill_rect = fill_rect;
    if (!h.run_menu) h.run_menu = run_menu;
    common::set_backend_hooks(h);
  }
  w.native = &natives[w.handle];
  clear_canvas(natives[w.handle], w);
}

void free_native(common::window &w) {
  auto *n = static_cast<native_window *>(w.native);
  if (n && n->surface != EGL_NO_SURFACE) eglDestroySurface(egl.display, n->surface);
  natives.erase(w.handle);
  w.native = nullptr;
  if (foreground == w.handle) foreground = 0;
  if (captured == w.handle) captured = 0;
}

} // namespace

void set_screen_size(LONGINT w, LONGINT h) { screen_w = w, screen_h = h; }
void script_menu(const std::vector<menu_step> &steps) {
  menu_script.insert(menu_script.end(), steps.begin(), steps.end());
}
void script_message_box(LONGINT answer) { answers.push_back(answer); }
const std::vector<message_box_record> &message_boxes() { return boxes; }
void fail_pixel_format(bool fail) { pixel_format_fails = fail; }
void fail_context(bool fail) { context_fails = fail; }
void set_foreground(THANDLE window) { foreground = window; }
THANDLE capture() { return captured; }
LONGINT swap_count() { return swaps; }
const TPIXELFORMATDESCRIPTOR &last_pixel_format() { return requested; }

std::vector<std::uint32_t> window_pixels(THANDLE window) {
  auto it = natives.find(window);
  return it == natives.end() ? std::vector<std::uint32_t>() : it->second.canvas;
}

void input_mouse(THANDLE window, LONGWORD message, LONGINT x, LONGINT y, TWPARAM flags) {
  const TLPARAM lp = TLPARAM((LONGWORD(y & 0xFFFF) << 16) | LONGWORD(x & 0xFFFF));
  common::post_input(TMSG{window, message, flags, lp, platform::GetTickCount(), cursor});
}

void input_key(THANDLE window, TWPARAM vk, bool down) {
  bool &held = key_down[vk & 0xFF];
  // Repeat count 1; bit 30 the state before, bit 31 the transition (set on release).
  LONGWORD lp = 1u | (held ? 1u << 30 : 0u) | (down ? 0u : 1u << 31);
  held = down;
  common::post_input(TMSG{window, down ? WM_KEYDOWN : WM_KEYUP, vk, TLPARAM(lp),
                          platform::GetTickCount(), cursor});
}

LONGINT invalidate_count(THANDLE window) {
  common::window *w = common::find_window(window);
  return w ? w->invalidations : -1;
}

LONGINT paint_count(THANDLE window) {
  common::window *w = common::find_window(window);
  return w ? w->paints : -1;
}

std::string renderer() {
  const char *vendor = egl.display != EGL_NO_DISPLAY ? eglQueryString(egl.display, EGL_VENDOR) : "";
  return vendor ? vendor : "";
}

void reset() {
  common::use_backend("headless");
  if (egl.display != EGL_NO_DISPLAY)
    eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  for (auto &[h, c] : contexts)
    eglDestroyContext(egl.display, c.context);
  contexts.clear();
  for (THANDLE h : common::child_windows(0))
    common::destroy_window(h, free_native);
  common::reset();
  common::forget_objects();
  answers.clear();
  boxes.clear();
  menu_script.clear();
  pixel_format_fails = context_fails = false;
  foreground = captured = 0;
  cursor = {};
  swaps = 0;
  requested = {};
  for (bool &k : key_down)
    k = false;
}

} // namespace vantrel::headless

namespace vantrel::headless {
using namespace vantrel::platform;

LONGINT GetSystemMetrics(LONGINT index) {
  return index == SM_CXSCREEN   ? screen_w
         : index == SM_CYSCREEN ? screen_h
                                : common::system_metric(index);
}

LONGINT MessageBoxA(THANDLE, PCHAR text, PCHAR caption, LONGWORD style) {
  LONGINT answer = 0; // no display: the box cannot be shown unless a test answers it
  if (!answers.empty()) {
    answer = answers.front();
    answers.pop_front();
  }
  boxes.push_back({text ? text : "", caption ? caption : "", style, answer});
  return answer;
}

THANDLE LoadCursorFromFileA(PCHAR name) {
  struct stat st;
  if (!name || stat(name, &st) != 0) {
    common::set_last_error(common::ERROR_FILE_NOT_FOUND, "cursor file not found");
    return 0;
  }
  common::gdi_object c;
  c.kind = common::gdi_kind::cursor;
  c.name = name;
  return common::add_object(std::move(c));
}

THANDLE CreateWindowExA(LONGWORD exstyle, PCHAR class_name, PCHAR title, LONGWORD style, LONGINT x,
                        LONGINT y, LONGINT w, LONGINT h, THANDLE parent, THANDLE menu,
                        THANDLE instance, void *param) {
  if (x == CW_USEDEFAULT) x = 0, y = 0; // a pop-up window's default place is the top left
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return 0;
  common::window *win = common::create_window(
      style, class_name, title, {x, y, x + w, y + h}, common::client_inside(style, w, h), parent,
      menu, make_native, free_native, {param, instance, {}, {}, 0, 0, 0, 0, 0, {}, {}, exstyle});
  if (!win) return 0;
  THANDLE handle = win->handle;
  if (style & WS_VISIBLE) {
    win->visible = true;
    if (!parent && foreground == 0) foreground = handle;
    common::announce_shown(handle, true);
  }
  common::erase_on_show(handle);
  return common::find_window(handle) ? handle : 0;
}

BOOLEAN DestroyWindow(THANDLE window) { return common::destroy_window(window, free_native); }

BOOLEAN ShowWindow(THANDLE window, LONGINT cmd) {
  common::window *w = common::find_window(window);
  if (!w) return false;
  bool was = w->visible;
  w->visible = cmd != 0; // SW_HIDE hides
  if (was == w->visible) return was;
  if (w->visible && !w->parent && foreground == 0) foreground = window;
  if (!w->visible && foreground == window) foreground = 0;
  common::announce_shown(window, w->visible);
  if (w->visible) common::erase_on_show(window);
  return was;
}

BOOLEAN MoveWindow(THANDLE window, LONGINT x, LONGINT y, LONGINT w, LONGINT h, BOOLEAN repaint) {
  common::window *win = common::find_window(window);
  if (!win) return false;
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return false;
  TRECT client = common::client_inside(win->style, w, h, win->menu != 0);
  bool resized = client.RIGHT - client.LEFT != win->client.RIGHT - win->client.LEFT ||
                 client.BOTTOM - client.TOP != win->client.BOTTOM - win->client.TOP;
  const TRECT old_rect = win->rect, old_client = win->client;
  win->rect = {x, y, x + w, y + h};
  win->client = client;
  if (resized) clear_canvas(natives[window], *win);
  if (repaint || resized) common::invalidate(*win, nullptr, true);
  if (repaint) win->invalidations++; // a move that asks for a repaint is one more request
  common::announce_moved(window, old_rect, old_client);
  return true;
}

BOOLEAN PeekMessageA(TMSG *msg, THANDLE window, LONGWORD first, LONGWORD last, LONGWORD remove) {
  return msg && common::peek(msg, window, first, last, remove);
}

LONGINT GetMessageA(TMSG *msg, THANDLE window, LONGWORD first, LONGWORD last) {
  if (!msg || (window != 0 && !common::find_window(window))) return -1;
  if (common::peek(msg, window, first, last, PM_REMOVE)) return msg->MESSAGE == WM_QUIT ? 0 : 1;
  // Nothing queued, and no device here can ever add to it: the loop that waits is told to end.
  *msg = TMSG{0, WM_QUIT, 0, 0, GetTickCount(), cursor};
  return 0;
}

THANDLE SetCapture(THANDLE window) {
  THANDLE previous = captured;
  if (common::find_window(window)) captured = window;
  return previous;
}

BOOLEAN ReleaseCapture() {
  captured = 0;
  return true;
}

BOOLEAN GetCursorPos(POINT *p) {
  if (!p) return false;
  *p = cursor;
  return true;
}

BOOLEAN SetCursorPos(LONGINT x, LONGINT y) {
  cursor = {x, y};
  return true;
}

THANDLE GetForegroundWindow() { return foreground; }

LONGINT ChoosePixelFormat(THANDLE dc, const TPIXELFORMATDESCRIPTOR *pfd) {
  if (pfd) requested = *pfd;
  if (pixel_format_fails || !pfd || !native_of(dc)) return 0;
  if (!(pfd->dwFlags & PFD_SUPPORT_OPENGL) || pfd->iPixelType != PFD_TYPE_RGBA) return 0;
  return ensure_egl() ? 1 : 0;
}

BOOLEAN SetPixelFormat(THANDLE dc, LONGINT format, const TPIXELFORMATDESCRIPTOR *) {
  common::window *w = nullptr;
  native_window *n = native_of(dc, &w);
  if (!n || format != 1 || n->format != 0 || !ensure_egl()) return false;
  LONGINT cw = w->client.RIGHT - w->client.LEFT, ch = w->client.BOTTOM - w->client.TOP;
  EGLint attrs[] = {EGL_WIDTH, cw, EGL_HEIGHT, ch, EGL_NONE};
  n->surface = eglCreatePbufferSurface(egl.display, egl.config, attrs);
  if (n->surface == EGL_NO_SURFACE) return false;
  n->format = format;
  return true;
}

THANDLE wglCreateContext(THANDLE dc) {
  native_window *n = native_of(dc);
  if (context_fails || !n || n->format == 0) return 0;
  eglBindAPI(EGL_OPENGL_API);
  EGLContext c = eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, nullptr);
  if (c == EGL_NO_CONTEXT) return 0;
  THANDLE h = common::new_handle();
  contexts[h].context = c;
  return h;
}

BOOLEAN wglMakeCurrent(THANDLE dc, THANDLE rc) {
  if (egl.display == EGL_NO_DISPLAY) return false;
  if (rc == 0) return eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  auto it = contexts.find(rc);
  native_window *n = native_of(dc);
  if (it == contexts.end() || !n || n->surface == EGL_NO_SURFACE) return false;
  return eglMakeCurrent(egl.display, n->surface, n->surface, it->second.context);
}

BOOLEAN wglDeleteContext(THANDLE rc) {
  auto it = contexts.find(rc);
  if (it == contexts.end()) return false;
  if (eglGetCurrentContext() == it->second.context)
    eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(egl.display, it->second.context);
  contexts.erase(it);
  return true;
}

BOOLEAN SwapBuffers(THANDLE dc) {
  common::window *w = nullptr;
  native_window *n = native_of(dc, &w);
  swaps++;
  if (!n) return false;
  return frames::swap(w->handle, [&] {
    return n->surface != EGL_NO_SURFACE && eglSwapBuffers(egl.display, n->surface);
  });
}

void *wglGetProcAddress(PCHAR NAME) {
  return NAME ? reinterpret_cast<void *>(eglGetProcAddress(NAME)) : nullptr;
}

} // namespace vantrel::headless
