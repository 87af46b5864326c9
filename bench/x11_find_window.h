// The benchmarks that drive another program find its windows on the screen by title.
#pragma once

#include <X11/Xlib.h>

#include <cstring>

// The first viewable window under W (W included) whose title is NAME, or 0.
inline Window find_named(Display *d, Window w, const char *name) {
  char *title = nullptr;
  if (XFetchName(d, w, &title) && title) {
    bool match = std::strcmp(title, name) == 0;
    XFree(title);
    XWindowAttributes a;
    if (match && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) return w;
  }
  Window root, parent, *kids = nullptr;
  unsigned n = 0;
  Window found = 0;
  if (XQueryTree(d, w, &root, &parent, &kids, &n))
    for (unsigned i = 0; i < n && !found; i++)
      found = find_named(d, kids[i], name);
  if (kids) XFree(kids);
  return found;
}
