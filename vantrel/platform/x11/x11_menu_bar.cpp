// The menu bar on X: drawn by the program in the rows its frame window keeps above the client
// window, in the menus' font and Win32's menu colours. Titles sit side by side from the left,
// each padded as Windows pads them; the title the open menu lights is drawn lit. A click on a
// title opens it (x11_input.cpp hands the click over).
#include <X11/Xft/Xft.h>

#include <algorithm>
#include <vector>

#include "vantrel/platform/x11/x11_internal.h"

namespace vantrel::x11 {
namespace {

constexpr int title_padding = 8; // on each side of a title's text

// The font, opened once per connection.
XftFont *bar_font(Display *d) {
  static Display *font_display = nullptr;
  static XftFont *font = nullptr;
  if (font_display != d) {
    font = open_menu_font(d); // a font of an earlier, closed connection is not ours to close
    font_display = d;
  }
  return font;
}

// The bar's rectangle in its window's frame, and the title lit by an open menu (-1: none).
struct bar_place {
  int x = 0, y = 0, width = 0, height = 0;
};

bar_place place_in_frame(const common::window &w) {
  const common::frame_insets in = drawn_insets(w);
  bar_place b;
  b.height = int(common::system_metric(SM_CYMENU));
  b.x = int(in.left), b.y = int(in.top) - b.height;
  b.width = int(w.client.RIGHT - w.client.LEFT);
  return b;
}

int lit_title(const common::window &w) {
  const common::menu_tracking *t = common::active_menu();
  return t && !t->popup && t->owner == w.handle && !t->levels.empty() ? t->levels[0].highlight : -1;
}

} // namespace

std::vector<int> menu_bar_columns(Display *d, XftFont *font, const common::menu_record &bar) {
  std::vector<int> columns{0};
  for (const common::menu_item &item : bar.items) {
    const std::string label = window_text_utf8(common::menu_label(item, nullptr).c_str());
    columns.push_back(columns.back() + menu_text_width(d, font, label) + 2 * title_padding);
  }
  return columns;
}

void paint_menu_bar(common::window &w) {
  Display *d = display();
  x11_window *n = native(w);
  const common::menu_record *bar = common::find_menu(w.menu);
  XftFont *font = d ? bar_font(d) : nullptr;
  if (!n || !n->frame || !bar || !font || n->gone) return;
  XWindowAttributes wa;
  if (!XGetWindowAttributes(d, n->frame, &wa)) return;
  XftDraw *draw = XftDrawCreate(d, n->frame, wa.visual, wa.colormap);
  if (!draw) return;
  auto colour = [&](LONGINT index, XftColor *out) {
    const std::uint32_t rgb = common::system_colour(index);
    XRenderColor c{static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257),
                   static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257),
                   static_cast<unsigned short>((rgb & 0xFF) * 257), 0xFFFF};
    return XftColorAllocValue(d, wa.visual, wa.colormap, &c, out) != 0;
  };
  XftColor ground{}, text{}, grey{}, lit{}, lit_text{};
  XftColor *all[] = {&ground, &text, &grey, &lit, &lit_text};
  const LONGINT indices[] = {COLOR_MENU, COLOR_MENUTEXT, COLOR_GRAYTEXT, COLOR_HIGHLIGHT,
                             COLOR_HIGHLIGHTTEXT};
  std::size_t allocated = 0;
  while (allocated < std::size(all) && colour(indices[allocated], all[allocated]))
    allocated++;
  if (allocated == std::size(all)) {
    const bar_place b = place_in_frame(w);
    XRectangle clip{short(b.x), short(b.y), static_cast<unsigned short>(b.width),
                    static_cast<unsigned short>(b.height)};
    XftDrawSetClipRectangles(draw, 0, 0, &clip, 1);
    XftDrawRect(draw, &ground, b.x, b.y, unsigned(std::max(0, b.width)), unsigned(b.height));
    const std::vector<int> columns = menu_bar_columns(d, font, *bar);
    const int lit_index = lit_title(w);
    const int baseline = b.y + (b.height - (font->ascent + font->descent)) / 2 + font->ascent;
    for (std::size_t i = 0; i < bar->items.size(); i++) {
      const common::menu_item &item = bar->items[i];
      const int left = b.x + columns[i], width = columns[i + 1] - columns[i];
      const bool is_lit = int(i) == lit_index;
      if (is_lit) XftDrawRect(draw, &lit, left, b.y, unsigned(width), unsigned(b.height));
      XftColor *ink = !common::menu_item_enabled(item) ? &grey : is_lit ? &lit_text : &text;
      draw_menu_label(d, draw, font, ink, left + title_padding, baseline, item);
    }
  }
  for (std::size_t i = 0; i < allocated; i++)
    XftColorFree(d, wa.visual, wa.colormap, all[i]);
  XftDrawDestroy(draw);
}

int menu_bar_title_at(common::window &w, int x, int y) {
  Display *d = display();
  const common::menu_record *bar = common::find_menu(w.menu);
  XftFont *font = d ? bar_font(d) : nullptr;
  x11_window *n = native(w);
  if (!bar || !font || !n || !n->frame) return -1;
  const bar_place b = place_in_frame(w);
  if (y < b.y || y >= b.y + b.height || x < b.x || x >= b.x + b.width) return -1;
  const std::vector<int> columns = menu_bar_columns(d, font, *bar);
  for (std::size_t i = 0; i + 1 < columns.size(); i++)
    if (x - b.x >= columns[i] && x - b.x < columns[i + 1]) return int(i);
  return -1;
}

int menu_bar_title_at_screen(THANDLE window, LONGINT x, LONGINT y) {
  common::window *w = common::find_window(window);
  if (!w) return -1;
  // The frame's corner on the screen: the client's, less what the frame draws around it.
  const common::frame_insets in = drawn_insets(*w);
  return menu_bar_title_at(*w, int(x - (w->rect.LEFT + w->client.LEFT - in.left)),
                           int(y - (w->rect.TOP + w->client.TOP - in.top)));
}

} // namespace vantrel::x11
