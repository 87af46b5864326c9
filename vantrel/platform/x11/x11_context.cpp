// Device contexts, pixel formats and rendering contexts on GLX. A pixel format index is the
// 1-based place of a framebuffer configuration in the list of double-buffered RGBA window
// configurations with a depth buffer; a window can take the configurations that share the
// visual it was created with.
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/frames.h"
#include "vantrel/platform/x11/x11_internal.h"
#include "vantrel/platform/x11/x11_test_hooks.h"

namespace vantrel::x11 {
namespace {

struct format_table {
  bool tried = false;
  std::vector<GLXFBConfig> configs;
  GLXFBConfig *owned = nullptr; // the array glXChooseFBConfig handed out
};
format_table formats;

struct context_record {
  GLXContext context = nullptr;
};
std::map<THANDLE, context_record> contexts;

int attrib(Display *d, GLXFBConfig c, int name) {
  int v = 0;
  glXGetFBConfigAttrib(d, c, name, &v);
  return v;
}

const std::vector<GLXFBConfig> &configs() {
  if (formats.tried) return formats.configs;
  formats.tried = true;
  Display *d = display();
  int major = 0, minor = 0, ev, err;
  if (!d || !glXQueryExtension(d, &err, &ev) || !glXQueryVersion(d, &major, &minor) ||
      (major == 1 && minor < 3)) {
    common::set_last_error(common::ERROR_INVALID_DATA, "the X display offers no GLX 1.3");
    return formats.configs;
  }
  const int wanted[] = {GLX_X_RENDERABLE,
                        True,
                        GLX_DRAWABLE_TYPE,
                        GLX_WINDOW_BIT,
                        GLX_RENDER_TYPE,
                        GLX_RGBA_BIT,
                        GLX_X_VISUAL_TYPE,
                        GLX_TRUE_COLOR,
                        GLX_DOUBLEBUFFER,
                        True,
                        GLX_RED_SIZE,
                        1,
                        GLX_GREEN_SIZE,
                        1,
                        GLX_BLUE_SIZE,
                        1,
                        GLX_DEPTH_SIZE,
                        16,
                        None};
  int count = 0;
  formats.owned = glXChooseFBConfig(d, DefaultScreen(d), wanted, &count);
  for (int i = 0; i < count; i++) {
    XVisualInfo *vi = glXGetVisualFromFBConfig(d, formats.owned[i]);
    if (!vi) continue;
    XFree(vi);
    formats.configs.push_back(formats.owned[i]);
  }
  if (formats.configs.empty())
    common::set_last_error(common::ERROR_INVALID_DATA,
                           "no double-buffered RGBA GLX configuration with a depth buffer");
  return formats.configs;
}

// How far a configuration is from a descriptor: missing bits weigh much more than surplus,
// colour and depth more than the rest. Stencil, accumulation, auxiliary buffers and stereo
// that are not offered make a configuration worse, never unusable.
long distance(Display *d, GLXFBConfig c, const TPIXELFORMATDESCRIPTOR &pfd) {
  auto part = [](int want, int have, long short_weight) {
    return have < want ? long(want - have) * short_weight : long(have - want);
  };
  int colour =
      attrib(d, c, GLX_RED_SIZE) + attrib(d, c, GLX_GREEN_SIZE) + attrib(d, c, GLX_BLUE_SIZE);
  int accum = attrib(d, c, GLX_ACCUM_RED_SIZE) + attrib(d, c, GLX_ACCUM_GREEN_SIZE) +
              attrib(d, c, GLX_ACCUM_BLUE_SIZE) + attrib(d, c, GLX_ACCUM_ALPHA_SIZE);
  // 32-bit colour means 24 bits of red, green and blue with 8 of alpha beside them.
  int want_colour = pfd.cColorBits >= 32 ? 24 : pfd.cColorBits;
  long score =
      part(want_colour, colour, 64) + part(pfd.cDepthBits, attrib(d, c, GLX_DEPTH_SIZE), 32) +
      part(pfd.cAlphaBits, attrib(d, c, GLX_ALPHA_SIZE), 16) +
      part(pfd.cStencilBits, attrib(d, c, GLX_STENCIL_SIZE), 8) + part(pfd.cAccumBits, accum, 1) +
      part(pfd.cAuxBuffers, attrib(d, c, GLX_AUX_BUFFERS), 1);
  bool stereo = attrib(d, c, GLX_STEREO) != 0;
  if (bool(pfd.dwFlags & PFD_STEREO) != stereo) score += 4;
  if (attrib(d, c, GLX_SAMPLE_BUFFERS) > 0) score += 256; // multisampling is never asked for
  if (attrib(d, c, GLX_CONFIG_CAVEAT) == GLX_SLOW_CONFIG) score += 1024;
  return score;
}

LONGINT closest(Display *d, const TPIXELFORMATDESCRIPTOR &pfd, VisualID only) {
  const auto &list = configs();
  LONGINT best = 0;
  long best_score = 0;
  for (std::size_t i = 0; i < list.size(); i++) {
    if (only && attrib(d, list[i], GLX_VISUAL_ID) != int(only)) continue;
    long s = distance(d, list[i], pfd);
    if (best == 0 || s < best_score) best = LONGINT(i + 1), best_score = s;
  }
  return best;
}

x11_window *native_of_dc(THANDLE dc) {
  common::gdi_object *o = common::find_object(dc, common::gdi_kind::dc);
  return o ? native(o->window) : nullptr;
}

bool pixel_formats_fail = false;

} // namespace

void fail_pixel_format(bool fail) { pixel_formats_fail = fail; }

GLXFBConfig creation_config(XVisualInfo **visual) {
  *visual = nullptr;
  Display *d = display();
  if (!d || configs().empty()) return nullptr;
  // What windows usually ask for: true colour with alpha, a 24-bit depth and a stencil buffer.
  TPIXELFORMATDESCRIPTOR usual;
  usual.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  usual.cColorBits = 32, usual.cAlphaBits = 8, usual.cDepthBits = 24, usual.cStencilBits = 8;
  LONGINT index = closest(d, usual, 0);
  GLXFBConfig c = formats.configs[std::size_t(index - 1)];
  *visual = glXGetVisualFromFBConfig(d, c);
  return c;
}

void release_gl(x11_window &n) {
  Display *d = display();
  if (!d || !n.glx) return;
  if (glXGetCurrentDrawable() == n.glx) glXMakeContextCurrent(d, None, None, nullptr);
  glXDestroyWindow(d, n.glx);
  n.glx = 0;
}

void reset_contexts() {
  pixel_formats_fail = false;
  Display *d = display();
  if (!d) return;
  glXMakeContextCurrent(d, None, None, nullptr);
  for (auto &[h, c] : contexts)
    glXDestroyContext(d, c.context);
  contexts.clear();
}

} // namespace vantrel::x11

namespace vantrel::x11 {
using namespace vantrel::platform;

LONGINT ChoosePixelFormat(THANDLE dc, const TPIXELFORMATDESCRIPTOR *pfd) {
  x11_window *n = native_of_dc(dc);
  Display *d = display();
  if (!pfd || !n || !d) {
    common::set_last_error(common::ERROR_INVALID_PARAMETER, "no window device context");
    return 0;
  }
  if (pixel_formats_fail) {
    common::set_last_error(common::ERROR_INVALID_DATA, "pixel formats switched off by a test");
    return 0;
  }
  if (pfd->iPixelType != PFD_TYPE_RGBA || !(pfd->dwFlags & PFD_SUPPORT_OPENGL)) {
    common::set_last_error(common::ERROR_INVALID_DATA, "only RGBA OpenGL formats are offered");
    return 0;
  }
  // Only configurations of the window's own visual can be set on it; one created without a
  // GLX visual (no GLX at creation) has none.
  LONGINT index = n->config ? closest(d, *pfd, n->visual) : 0;
  if (index == 0 && configs().empty()) return 0; // the reason is set by configs()
  if (index == 0)
    common::set_last_error(common::ERROR_INVALID_DATA, "the window has no GLX visual");
  return index;
}

BOOLEAN SetPixelFormat(THANDLE dc, LONGINT format, const TPIXELFORMATDESCRIPTOR *) {
  x11_window *n = native_of_dc(dc);
  Display *d = display();
  const auto &list = configs();
  if (!n || !d || format < 1 || std::size_t(format) > list.size()) {
    common::set_last_error(2000, "invalid pixel format");
    return false;
  }
  if (n->format != 0) return n->format == format; // a window's format is set once
  GLXFBConfig c = list[std::size_t(format - 1)];
  if (attrib(d, c, GLX_VISUAL_ID) != int(n->visual)) {
    common::set_last_error(2000, "the pixel format does not match the window's visual");
    return false;
  }
  GLXWindow glx = glXCreateWindow(d, c, n->xid, nullptr);
  if (!glx || sync_error(d)) {
    common::set_last_error(2000, "no GLX drawable for the window");
    return false;
  }
  n->glx = glx;
  n->format = format;
  n->config = c;
  return true;
}

THANDLE wglCreateContext(THANDLE dc) {
  x11_window *n = native_of_dc(dc);
  Display *d = display();
  if (!n || !d || n->format == 0) {
    common::set_last_error(2000, "the device context has no pixel format");
    return 0;
  }
  GLXContext c = glXCreateNewContext(d, n->config, GLX_RGBA_TYPE, nullptr, True);
  if (sync_error(d) || !c) {
    if (c) glXDestroyContext(d, c);
    common::set_last_error(common::ERROR_INVALID_DATA, "glXCreateNewContext failed");
    return 0;
  }
  THANDLE h = common::new_handle();
  contexts[h].context = c;
  return h;
}

BOOLEAN wglMakeCurrent(THANDLE dc, THANDLE rc) {
  Display *d = display();
  if (!d) return false;
  if (rc == 0) return glXMakeContextCurrent(d, None, None, nullptr);
  auto it = contexts.find(rc);
  x11_window *n = native_of_dc(dc);
  if (it == contexts.end() || !n || !n->glx) return false;
  Bool ok = glXMakeContextCurrent(d, n->glx, n->glx, it->second.context);
  return !sync_error(d) && ok;
}

BOOLEAN wglDeleteContext(THANDLE rc) {
  auto it = contexts.find(rc);
  Display *d = display();
  if (it == contexts.end() || !d) return false;
  if (glXGetCurrentContext() == it->second.context) glXMakeContextCurrent(d, None, None, nullptr);
  glXDestroyContext(d, it->second.context);
  contexts.erase(it);
  return true;
}

BOOLEAN SwapBuffers(THANDLE dc) {
  x11_window *n = native_of_dc(dc);
  Display *d = display();
  if (!n || !d || !n->glx) return false;
  return frames::swap(common::find_object(dc, common::gdi_kind::dc)->window, [&] {
    glXSwapBuffers(d, n->glx);
    // The next frame draws at once, before the pump reads a DestroyNotify: into a window that
    // another program destroyed meanwhile, Mesa would size its buffers from a geometry the
    // server refused to give. Asked now, the server's answer stops that drawing before it starts.
    if (destroyed_on_server(d, n->xid)) release_gl(*n);
    return true;
  });
}

void *wglGetProcAddress(PCHAR NAME) {
  if (!NAME) return nullptr;
  return reinterpret_cast<void *>(glXGetProcAddressARB(reinterpret_cast<const GLubyte *>(NAME)));
}

} // namespace vantrel::x11
