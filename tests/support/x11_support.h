// What every test that drives a real X server shares: what it needs before it starts, and
// the check at its end that nothing is left held.
#pragma once

// gtest before Xlib, whose None and Bool macros would break its headers.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace vantrel::test {

// True when PROGRAM is an executable file in a folder of PATH (no shell is started for it).
inline bool on_path(const std::string &program) {
  const char *path = std::getenv("PATH");
  std::stringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');)
    if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

// Why the X tests cannot run: nothing when they can. Without DISPLAY they are to be skipped
// (a machine without X); with it, the display (OPENED) and xdotool are required, and a test
// that cannot reach them fails rather than passing unchecked.
struct x11_absence {
  bool skip = false;
  std::string why;
};
inline x11_absence x11_missing(bool opened) {
  const char *name = std::getenv("DISPLAY");
  if (!name || !*name) return {true, "no DISPLAY: the X tests need an X server"};
  if (!opened) return {false, std::string("the X display ") + name + " cannot be opened"};
  if (!on_path("xdotool"))
    return {false, "xdotool is not installed (scripts/install-deps.sh test installs it)"};
  return {};
}
// In a fixture's SetUp, with whether the display could be opened.
#define VANTREL_NEED_X11(opened)                                                                   \
  do {                                                                                             \
    const auto absence = ::vantrel::test::x11_missing(opened);                                     \
    if (absence.skip) GTEST_SKIP() << absence.why;                                                 \
    ASSERT_TRUE(absence.why.empty()) << absence.why;                                               \
  } while (0)

// What a window manager learns of window W from its properties, in one line: "input" (WM_HINTS
// take input), "pid" (_NET_WM_PID is PID), "machine" (WM_CLIENT_MACHINE), then WM_PROTOCOLS's
// "delete" and "ping".
inline std::string manager_properties(Display *d, Window w, long pid) {
  std::string out;
  if (XWMHints *h = XGetWMHints(d, w)) {
    if ((h->flags & InputHint) && h->input) out += "input ";
    XFree(h);
  }
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                         &type, &format, &count, &after, &data) == Success &&
      data && count == 1 && *reinterpret_cast<long *>(data) == pid)
    out += "pid ";
  if (data) XFree(data);
  XTextProperty machine{};
  if (XGetWMClientMachine(d, w, &machine) && machine.nitems > 0) out += "machine ";
  if (machine.value) XFree(machine.value);
  Atom *protocols = nullptr;
  int n = 0;
  if (XGetWMProtocols(d, w, &protocols, &n)) {
    for (const char *name : {"WM_DELETE_WINDOW", "_NET_WM_PING"})
      for (int i = 0; i < n; i++)
        if (protocols[i] == XInternAtom(d, name, False))
          out += name[1] == 'M' ? "delete " : "ping ";
    XFree(protocols);
  }
  return out;
}

// What a window manager sends when the close button of window W is pressed (or, with
// _NET_WM_PING for PROTOCOL, when it asks whether W's program still answers); the server has
// delivered it when this returns.
inline void send_close_request(Display *d, Window w, const char *protocol = "WM_DELETE_WINDOW") {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = long(XInternAtom(d, protocol, False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &ev);
  XSync(d, False);
}

// Fails the test when it leaves a key or a mouse button held on the server: the next test, or
// the program under test, would see it held.
inline void expect_nothing_held(Display *d) {
  char keys[32];
  XQueryKeymap(d, keys);
  for (int i = 0; i < 256; i++)
    EXPECT_FALSE(keys[i / 8] & (1 << (i % 8))) << "key code " << i << " is left held";
  Window root, child;
  int rx, ry, wx, wy;
  unsigned mask = 0;
  XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &wx, &wy, &mask);
  EXPECT_EQ(mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask), 0u)
      << "a mouse button is held";
}

} // namespace vantrel::test
