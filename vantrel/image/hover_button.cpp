#include "vantrel/image/hover_button.h"

#include "vantrel/globals.h"
#include "vantrel/image/bitmap_region.h"
#include "vantrel/image/palette_bitmap.h"
#include "vantrel/platform/platform.h"

namespace vantrel {

namespace {

LONGINT STATE(THANDLE WND) { return LONGINT(platform::GetPropA(WND, HOVERMODE)); }

void SETSTATE(THANDLE WND, LONGINT S) { platform::SetPropA(WND, HOVERMODE, THANDLE(S)); }

void REDRAW(THANDLE WND) { platform::InvalidateRect(WND, nullptr, false); }

// A memory context holding one picture and its palette, realised for the screen. A missing file
// still gives a context, with no picture in it.
THANDLE PICTURECONTEXT(const ANSISTRING &FILE, TBITMAP *SIZE) {
  THANDLE PAL = 0;
  THANDLE BMP = LOADBMPFROMFILE(FILE, PAL);
  if (SIZE && BMP) platform::GetObjectA(BMP, sizeof(TBITMAP), SIZE);
  THANDLE DC = platform::CreateCompatibleDC(0);
  platform::SelectObject(DC, BMP);
  platform::SelectPalette(DC, PAL, false);
  platform::RealizePalette(DC);
  return DC;
}

// Deletes a picture context and, once it no longer holds them, its picture and palette.
void RELEASECONTEXT(THANDLE DC) {
  THANDLE BMP = platform::GetCurrentObject(DC, OBJ_BITMAP);
  THANDLE PAL = platform::GetCurrentObject(DC, OBJ_PAL);
  platform::DeleteDC(DC);
  // The stock objects of a context that never got its picture refuse deletion, harmlessly.
  platform::DeleteObject(BMP);
  platform::DeleteObject(PAL);
}

void CREATE(THANDLE WND) {
  ANSISTRING NORMALFILE = BMPTYPE + "N" + ".BMP";
  TBITMAP BM;
  BM.bmWidth = BM.bmHeight = -1;
  THANDLE NORMALDC = PICTURECONTEXT(NORMALFILE, &BM);

  TRECT BUTTON, PARENT;
  platform::GetWindowRect(WND, &BUTTON);
  platform::GetWindowRect(platform::GetParent(WND), &PARENT);
  // Without its normal picture the button keeps its own size rather than an undefined one.
  LONGINT W = BM.bmWidth >= 0 ? BM.bmWidth : BUTTON.RIGHT - BUTTON.LEFT;
  LONGINT H = BM.bmHeight >= 0 ? BM.bmHeight : BUTTON.BOTTOM - BUTTON.TOP;
  // Fixed offsets for the parent's frame and caption, whatever they measure.
  platform::MoveWindow(WND, BUTTON.LEFT - PARENT.LEFT - 3, BUTTON.TOP - PARENT.TOP - 19, W, H,
                       false);

  platform::SetPropA(WND, NORMALBMP, NORMALDC);
  platform::SetPropA(WND, HOVERBMP, PICTURECONTEXT(BMPTYPE + "H" + ".BMP", nullptr));
  platform::SetPropA(WND, PRESSBMP, PICTURECONTEXT(BMPTYPE + "P" + ".BMP", nullptr));
  SETSTATE(WND, HOVER_NORMAL);

  THANDLE RGN = BITMAPTOREGION(NORMALFILE, HOVER_TRANSCOLOR, HOVER_TOLERANCE);
  if (RGN == 0) return;
  // The window owns this one; the hit tests use a copy of their own.
  platform::SetWindowRgn(WND, RGN, false);
  platform::SetPropA(WND, BUTTONRGN, BITMAPTOREGION(NORMALFILE, HOVER_TRANSCOLOR, HOVER_TOLERANCE));
}

void DESTROY(THANDLE WND) {
  platform::RemovePropA(WND, HOVERMODE);
  THANDLE RGN = platform::GetPropA(WND, BUTTONRGN);
  if (RGN) platform::DeleteObject(RGN);
  platform::RemovePropA(WND, BUTTONRGN);
  for (PCHAR NAME : {PRESSBMP, HOVERBMP, NORMALBMP}) {
    THANDLE DC = platform::GetPropA(WND, NAME);
    if (DC) RELEASECONTEXT(DC);
    platform::RemovePropA(WND, NAME);
  }
}

void PAINT(THANDLE WND) {
  TRECT R;
  platform::GetWindowRect(WND, &R);
  PCHAR NAME = nullptr;
  switch (STATE(WND)) {
  case HOVER_NORMAL:
    NAME = NORMALBMP;
    break;
  case HOVER_HOVER:
    NAME = HOVERBMP;
    break;
  case HOVER_PRESSED:
    NAME = PRESSBMP;
    break;
  default:
    break;
  }
  THANDLE SRC = NAME ? platform::GetPropA(WND, NAME) : 0;
  // Painting is begun and ended even with nothing to show, so the request does not come back.
  TPAINTSTRUCT PS;
  THANDLE DC = platform::BeginPaint(WND, &PS);
  if (SRC) platform::BitBlt(DC, 0, 0, R.RIGHT - R.LEFT, R.BOTTOM - R.TOP, SRC, 0, 0, SRCCOPY);
  platform::EndPaint(WND, &PS);
}

void MOUSEMOVE(THANDLE WND, TWPARAM WPARAM, TLPARAM LPARAM) {
  THANDLE RGN = platform::GetPropA(WND, BUTTONRGN);
  LONGINT S = STATE(WND);
  if (RGN == 0 || S == 0) return;
  // Client coordinates, unsigned 16-bit each, as the message packs them.
  LONGINT X = LONGINT(LPARAM & 0xFFFF), Y = LONGINT((LPARAM >> 16) & 0xFFFF);
  if (platform::PtInRegion(RGN, X, Y)) {
    if (S != HOVER_NORMAL) return;
    SETSTATE(WND, (WPARAM & (MK_LBUTTON | MK_RBUTTON)) ? HOVER_PRESSED : HOVER_HOVER);
    // Held so that the move that leaves the shape arrives here too.
    platform::SetCapture(WND);
    REDRAW(WND);
  } else {
    SETSTATE(WND, HOVER_NORMAL);
    platform::ReleaseCapture();
    REDRAW(WND);
  }
}

} // namespace

TLRESULT HOVERBUTTONHANDLER(THANDLE WND, LONGWORD IMSG, TWPARAM WPARAM, TLPARAM LPARAM) {
  switch (IMSG) {
  case WM_CREATE:
    CREATE(WND);
    return 0;
  case WM_DESTROY:
    DESTROY(WND);
    return 0;
  case WM_PAINT:
    PAINT(WND);
    return 0;
  case WM_MOUSEMOVE:
    MOUSEMOVE(WND, WPARAM, LPARAM);
    return 0;
  case WM_LBUTTONDOWN:
    platform::SetCapture(WND);
    SETSTATE(WND, HOVER_PRESSED);
    REDRAW(WND);
    return 0;
  case WM_LBUTTONUP:
    // Posted, so the parent handles the click after this message is done.
    if (STATE(WND) == HOVER_PRESSED)
      platform::PostMessageA(platform::GetParent(WND), WM_COMMAND,
                             TWPARAM(platform::GetDlgCtrlID(WND)), 0);
    SETSTATE(WND, HOVER_NORMAL);
    platform::ReleaseCapture();
    REDRAW(WND);
    return 0;
  default:
    return platform::DefWindowProcA(WND, IMSG, WPARAM, LPARAM);
  }
}

} // namespace vantrel
