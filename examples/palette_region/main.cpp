// A window shaped by a picture: LOADBMPFROMFILE loads badge.bmp (8 bits a pixel, with a colour
// table) together with a palette made from that table, BITMAPTOREGION turns every pixel that is
// not magenta into the window's region, and the window paints the picture through the palette.
// Outside the badge there is no window: clicks there reach whatever lies beneath.
//   Run it where badge.bmp lies. A click on the badge or Escape ends the program.
#include <cstdio>

#include <vantrel/vantrel.h>

using namespace vantrel;

namespace {

THANDLE picture = 0, palette = 0;
bool painted = false;

TLRESULT badge_proc(THANDLE window, LONGWORD message, TWPARAM wparam, TLPARAM lparam) {
  switch (message) {
  case WM_PAINT: {
    TPAINTSTRUCT ps;
    THANDLE dc = platform::BeginPaint(window, &ps);
    THANDLE memory = platform::CreateCompatibleDC(dc);
    THANDLE old_bitmap = platform::SelectObject(memory, picture);
    THANDLE old_palette = platform::SelectPalette(dc, palette, false);
    platform::RealizePalette(dc);
    platform::BitBlt(dc, 0, 0, 160, 160, memory, 0, 0, SRCCOPY);
    platform::SelectPalette(dc, old_palette, false);
    platform::SelectObject(memory, old_bitmap);
    platform::DeleteDC(memory);
    platform::EndPaint(window, &ps);
    painted = true;
    return 0;
  }
  case WM_LBUTTONUP:
    platform::DestroyWindow(window);
    return 0;
  case WM_KEYDOWN:
    if (wparam == VK_ESCAPE) platform::DestroyWindow(window);
    return 0;
  case WM_DESTROY:
    platform::PostQuitMessage(0);
    return 0;
  default:
    return platform::DefWindowProcA(window, message, wparam, lparam);
  }
}

} // namespace

int main(int argc, char **argv) {
  PCHAR snapshot = SNAPSHOTOPTION(argc, argv);
  picture = LOADBMPFROMFILE("badge.bmp", palette);
  // Magenta, exactly: a tolerance of 0 keeps every other colour inside.
  THANDLE shape = BITMAPTOREGION("badge.bmp", 0x00FF00FF, 0);
  if (!picture || !shape) {
    std::fprintf(stderr, "palette_region: badge.bmp cannot be loaded here\n");
    return 1;
  }
  TRECT box;
  platform::GetRgnBox(shape, &box);
  LONGINT runs = 0;
  for (LONGINT batch : LASTREGIONSCAN().BATCHES)
    runs += batch;
  std::printf("region of %d runs, bounding box %d %d %d %d\n", int(runs), int(box.LEFT),
              int(box.TOP), int(box.RIGHT), int(box.BOTTOM));

  TWNDCLASS cls;
  cls.WNDPROC = badge_proc;
  cls.INSTANCE = platform::GetModuleHandleA(nullptr);
  cls.CURSOR = platform::LoadCursorA(0, IDC_HAND);
  cls.BACKGROUND = platform::GetStockObject(NULL_BRUSH);
  cls.CLASSNAME = "VantrelBadge";
  if (!platform::RegisterClassA(&cls)) THROWERROR(MSG_REGISTER_FAILED);
  // A pop-up without caption or border: the region alone gives its outline.
  THANDLE window =
      platform::CreateWindowExA(0, cls.CLASSNAME, "Vantrel: shaped window", WS_POPUP | WS_VISIBLE,
                                100, 100, 160, 160, 0, 0, cls.INSTANCE, nullptr);
  if (!window) THROWERROR(MSG_WINDOW_FAILED);
  platform::SetWindowRgn(window, shape, true); // the window owns the region from here on
  platform::ShowWindow(window, platform::StartupShowCommand());
  platform::UpdateWindow(window);

  TMSG msg;
  if (snapshot) {
    while (!painted && platform::GetMessageA(&msg, 0, 0, 0) > 0)
      platform::DispatchMessageA(&msg);
    BOOLEAN written = SNAPSHOTWINDOW(window, snapshot);
    platform::DestroyWindow(window);
    platform::DeleteObject(picture);
    platform::DeleteObject(palette);
    return written ? 0 : 1;
  }
  while (platform::GetMessageA(&msg, 0, 0, 0) > 0) {
    platform::TranslateMessage(&msg);
    platform::DispatchMessageA(&msg);
  }
  platform::DeleteObject(picture);
  platform::DeleteObject(palette);
  return 0;
}
