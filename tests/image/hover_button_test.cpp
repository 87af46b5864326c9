// The picture button driven with messages as the window system delivers them.
#include <filesystem>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/image/bmp_builder.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/special_files.h"
#include "vantrel/image/hover_button.h"
#include "vantrel/window/lifecycle.h"

namespace vantrel::test {
namespace {

constexpr std::uint32_t RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF, MAGENTA = 0xFF00FF;
constexpr LONGINT PIC_W = 40, PIC_H = 20, BUTTON_ID = 1234;

TLRESULT parent_proc(THANDLE w, LONGWORD m, TWPARAM wp, TLPARAM lp) {
  return platform::DefWindowProcA(w, m, wp, lp);
}

class HoverButtonTest : public ::testing::Test {
protected:
  void SetUp() override {
    headless::reset();
    reset_framework_globals();
    ASSERT_TRUE(WINDOWREGISTER());
    TWNDCLASS cls;
    cls.WNDPROC = parent_proc;
    cls.CLASSNAME = "ButtonParent";
    ASSERT_NE(platform::RegisterClassA(&cls), 0u);
    parent_ = platform::CreateWindowExA(0, "ButtonParent", "parent", WS_POPUP | WS_VISIBLE, 100, 50,
                                        400, 300, 0, 0, 0, nullptr);
    ASSERT_NE(parent_, 0u);
  }
  void TearDown() override {
    if (parent_) platform::DestroyWindow(parent_);
    headless::reset();
    reset_framework_globals();
  }

  // Pictures of PIC_W x PIC_H: the left quarter magenta (cut away), the rest one colour each.
  void write_pictures(const std::string &prefix, bool normal = true) {
    auto picture = [](std::uint32_t colour) {
      return bmp24(PIC_W, PIC_H, [=](int x, int) { return x < PIC_W / 4 ? MAGENTA : colour; });
    };
    auto dir = std::filesystem::path(write_temp_file("placeholder", "")).parent_path();
    if (normal) write_file(dir / (prefix + "N.BMP"), picture(RED));
    write_file(dir / (prefix + "H.BMP"), picture(GREEN));
    write_file(dir / (prefix + "P.BMP"), picture(BLUE));
    BMPTYPE = (dir / prefix).string();
  }
  static void write_file(const std::filesystem::path &p, const std::string &bytes) {
    write_temp_file(p.filename().string(), bytes);
  }
  THANDLE create_button(LONGINT x = 50, LONGINT y = 60, LONGINT w = 10, LONGINT h = 10) {
    return platform::CreateWindowExA(0, SZHOVERCLASS, "", WS_CHILD | WS_VISIBLE, x, y, w, h,
                                     parent_, THANDLE(BUTTON_ID), 0, nullptr);
  }
  static LONGINT state(THANDLE b) { return LONGINT(platform::GetPropA(b, HOVERMODE)); }
  static TLPARAM xy(LONGINT x, LONGINT y) { return TLPARAM((y & 0xFFFF) << 16 | (x & 0xFFFF)); }
  static void send(THANDLE b, LONGWORD m, TWPARAM wp, TLPARAM lp) {
    platform::SendMessageA(b, m, wp, lp);
  }
  // The WM_COMMAND messages waiting in the parent's queue, removed.
  std::vector<TMSG> commands() {
    std::vector<TMSG> out;
    TMSG m;
    while (platform::PeekMessageA(&m, parent_, WM_COMMAND, WM_COMMAND, PM_REMOVE))
      out.push_back(m);
    return out;
  }
  // The colour the button shows at (x, y) after it has painted.
  static std::uint32_t shown(THANDLE b, LONGINT x, LONGINT y) {
    platform::UpdateWindow(b);
    auto px = headless::window_pixels(b);
    return px.at(std::size_t(y) * PIC_W + std::size_t(x)) & 0xFFFFFF;
  }
  THANDLE parent_ = 0;
};

TEST_F(HoverButtonTest, CreationSizesShapesAndStoresTheButtonsState) {
  write_pictures("btn");
  THANDLE b = create_button();
  ASSERT_NE(b, 0u);
  EXPECT_EQ(state(b), HOVER_NORMAL);
  for (PCHAR name : {NORMALBMP, HOVERBMP, PRESSBMP, BUTTONRGN})
    EXPECT_NE(platform::GetPropA(b, name), 0u) << name;
  TRECT r, p;
  platform::GetWindowRect(b, &r);
  platform::GetWindowRect(parent_, &p);
  EXPECT_EQ(r.RIGHT - r.LEFT, PIC_W);
  EXPECT_EQ(r.BOTTOM - r.TOP, PIC_H);
  // Moved by the fixed frame and caption allowance, 3 left and 19 up, measured between the
  // window rectangles (the parent, a pop-up without frame, has its client area at its corner).
  EXPECT_EQ(r.LEFT - p.LEFT, 50 - 3);
  EXPECT_EQ(r.TOP - p.TOP, 60 - 19);
  EXPECT_EQ(platform::GetDlgCtrlID(b), BUTTON_ID);
  // The shape: the magenta quarter is cut away, from the window and from the hit test.
  THANDLE rgn = platform::GetPropA(b, BUTTONRGN);
  EXPECT_FALSE(platform::PtInRegion(rgn, 2, 5));
  EXPECT_TRUE(platform::PtInRegion(rgn, 20, 5));
  EXPECT_EQ(shown(b, 20, 5), RED);
}

// The move to the picture's place asks for no repaint: the button paints when it is shown, as
// often as a plain child window made the same way.
TEST_F(HoverButtonTest, TheMoveToThePicturesPlaceAsksForNoRepaint) {
  write_pictures("btn");
  THANDLE sized = create_button(50, 60, PIC_W, PIC_H),
          plain = platform::CreateWindowExA(0, "ButtonParent", "", WS_CHILD | WS_VISIBLE, 50, 60,
                                            PIC_W, PIC_H, parent_, 0, 0, nullptr);
  ASSERT_NE(sized, 0u);
  EXPECT_EQ(headless::invalidate_count(sized), headless::invalidate_count(plain));
}

// The state table of the button, one event from one state per row. Before each row the parent
// holds the capture, so that a row shows whether the button took it, let it go or left it.
TEST_F(HoverButtonTest, EachStateAndEventGivesItsStateCaptureRedrawAndNotification) {
  write_pictures("btn");
  THANDLE b = create_button();
  enum capture_after { KEPT, TAKEN, RELEASED };
  struct row {
    LONGINT from;
    LONGWORD message;
    TWPARAM wparam;
    bool inside;
    LONGINT to;
    capture_after capture;
    bool redraws;
    int clicks;
  };
  const row rows[] = {
      {HOVER_NORMAL, WM_MOUSEMOVE, 0, true, HOVER_HOVER, TAKEN, true, 0},
      {HOVER_NORMAL, WM_MOUSEMOVE, MK_LBUTTON, true, HOVER_PRESSED, TAKEN, true, 0},
      {HOVER_NORMAL, WM_MOUSEMOVE, MK_RBUTTON, true, HOVER_PRESSED, TAKEN, true, 0},
      {HOVER_HOVER, WM_MOUSEMOVE, 0, true, HOVER_HOVER, KEPT, false, 0},
      {HOVER_PRESSED, WM_MOUSEMOVE, 0, true, HOVER_PRESSED, KEPT, false, 0},
      {HOVER_NORMAL, WM_MOUSEMOVE, 0, false, HOVER_NORMAL, RELEASED, true, 0},
      {HOVER_HOVER, WM_MOUSEMOVE, 0, false, HOVER_NORMAL, RELEASED, true, 0},
      {HOVER_PRESSED, WM_MOUSEMOVE, MK_LBUTTON, false, HOVER_NORMAL, RELEASED, true, 0},
      {HOVER_NORMAL, WM_LBUTTONDOWN, MK_LBUTTON, true, HOVER_PRESSED, TAKEN, true, 0},
      {HOVER_HOVER, WM_LBUTTONDOWN, MK_LBUTTON, true, HOVER_PRESSED, TAKEN, true, 0},
      {HOVER_PRESSED, WM_LBUTTONUP, 0, true, HOVER_NORMAL, RELEASED, true, 1},
      {HOVER_HOVER, WM_LBUTTONUP, 0, true, HOVER_NORMAL, RELEASED, true, 0},
      {HOVER_NORMAL, WM_LBUTTONUP, 0, false, HOVER_NORMAL, RELEASED, true, 0},
      {HOVER_HOVER, WM_RBUTTONDOWN, MK_RBUTTON, true, HOVER_HOVER, KEPT, false, 0},
      {HOVER_PRESSED, WM_RBUTTONUP, 0, true, HOVER_PRESSED, KEPT, false, 0},
  };
  const std::uint32_t picture[4] = {0, RED, GREEN, BLUE}; // what each state shows
  for (const row &r : rows) {
    SCOPED_TRACE(::testing::Message()
                 << "state " << r.from << ", message " << r.message << ", wParam " << r.wparam
                 << (r.inside ? " inside" : " outside"));
    platform::SetPropA(b, HOVERMODE, THANDLE(r.from));
    platform::SetCapture(parent_);
    platform::InvalidateRect(b, nullptr, false); // showing the picture of the state it is in
    platform::UpdateWindow(b);
    ASSERT_FALSE(update_pending(b));
    // (20, 5) is in the picture's shape; (2, 5) in its cut-away magenta quarter.
    send(b, r.message, r.wparam, r.inside ? xy(20, 5) : xy(2, 5));
    EXPECT_EQ(state(b), r.to);
    EXPECT_EQ(headless::capture(), r.capture == KEPT    ? parent_
                                   : r.capture == TAKEN ? b
                                                        : THANDLE(0));
    EXPECT_EQ(update_pending(b), r.redraws);
    auto c = commands();
    ASSERT_EQ(int(c.size()), r.clicks);
    for (const TMSG &m : c) {
      EXPECT_EQ(m.WPARAM, TWPARAM(BUTTON_ID)) << "identifier low, notification code 0 high";
      EXPECT_EQ(m.LPARAM, 0) << "not the button's handle";
    }
    EXPECT_EQ(shown(b, 20, 5), picture[r.to]);
  }
}

TEST_F(HoverButtonTest, OtherMessagesGetDefaultProcessing) {
  write_pictures("btn");
  THANDLE b = create_button();
  for (LONGWORD m : {WM_ERASEBKGND, WM_SIZE, WM_KEYDOWN, WM_RBUTTONDOWN, WM_USER + 7})
    EXPECT_EQ(HOVERBUTTONHANDLER(b, m, 3, 4), platform::DefWindowProcA(b, m, 3, 4)) << m;
  EXPECT_EQ(state(b), HOVER_NORMAL);
}

TEST_F(HoverButtonTest, WithoutItsNormalPictureTheButtonKeepsItsSizeIgnoresMovesAndStillClicks) {
  // The normal picture missing (said nowhere), or a FIFO in its place (refused at once, one
  // warning a load: the picture, then the region, whose failure ends the set-up).
  for (bool fifo : {false, true}) {
    SCOPED_TRACE(fifo ? "FIFO" : "missing");
    write_pictures(fifo ? "fifo" : "half", /*normal=*/false);
    std::string normal = BMPTYPE + "N.BMP";
    if (fifo) {
      ASSERT_TRUE(make_fifo(normal));
    }
    testing::internal::CaptureStderr();
    THANDLE b = 0;
    EXPECT_TRUE(returns_before_deadline(normal, [&] { b = create_button(50, 60, 33, 17); }));
    std::string warning =
        "vantrel: warning: picture '" + normal + "' not loaded: not a regular file\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), fifo ? warning + warning : "");
    ASSERT_NE(b, 0u);
    TRECT r;
    platform::GetWindowRect(b, &r);
    EXPECT_EQ(r.RIGHT - r.LEFT, 33);
    EXPECT_EQ(r.BOTTOM - r.TOP, 17);
    EXPECT_EQ(platform::GetPropA(b, BUTTONRGN), 0u) << "no shape without the picture";
    send(b, WM_MOUSEMOVE, 0, xy(5, 5));
    EXPECT_EQ(state(b), HOVER_NORMAL) << "no hit-test region: moves are ignored";
    send(b, WM_LBUTTONDOWN, MK_LBUTTON, xy(5, 5));
    send(b, WM_LBUTTONUP, 0, xy(5, 5));
    EXPECT_EQ(commands().size(), 1u);
    // Destruction removes what exists and skips the missing region.
    send(b, WM_DESTROY, 0, 0);
    for (PCHAR name : {NORMALBMP, HOVERBMP, PRESSBMP, BUTTONRGN, HOVERMODE})
      EXPECT_EQ(platform::GetPropA(b, name), 0u) << name;
  }
}

TEST_F(HoverButtonTest, DestroyReleasesContextsPicturesAndTheHitTestRegion) {
  write_pictures("btn");
  THANDLE b = create_button();
  THANDLE dc = platform::GetPropA(b, HOVERBMP);
  THANDLE picture = platform::GetCurrentObject(dc, OBJ_BITMAP);
  THANDLE rgn = platform::GetPropA(b, BUTTONRGN);
  TBITMAP bm;
  ASSERT_EQ(platform::GetObjectA(picture, sizeof bm, &bm), LONGINT(sizeof bm));
  ASSERT_TRUE(platform::PtInRegion(rgn, 20, 5));
  send(b, WM_DESTROY, 0, 0);
  for (PCHAR name : {NORMALBMP, HOVERBMP, PRESSBMP, BUTTONRGN, HOVERMODE})
    EXPECT_EQ(platform::GetPropA(b, name), 0u) << name;
  EXPECT_EQ(platform::GetObjectA(picture, sizeof bm, &bm), 0) << "the picture is released";
  EXPECT_FALSE(platform::DeleteDC(dc)) << "the context is gone";
  EXPECT_FALSE(platform::DeleteObject(rgn)) << "the region is gone";
}

TEST_F(HoverButtonTest, AnEmptyPrefixReadsTheLetterFilesFromTheWorkingDirectory) {
  write_pictures("");
  std::string dir = BMPTYPE;
  BMPTYPE.clear();
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  THANDLE b = create_button();
  std::filesystem::current_path(old);
  TRECT r;
  platform::GetWindowRect(b, &r);
  EXPECT_EQ(r.RIGHT - r.LEFT, PIC_W) << "N.BMP was found";
  EXPECT_NE(platform::GetPropA(b, BUTTONRGN), 0u);
}

TEST_F(HoverButtonTest, TheClassIsRegisteredOnceWithTheButtonProcedure) {
  TWNDCLASSEX cls;
  // Registered with the program's instance, under which Win32 keeps it.
  ASSERT_TRUE(platform::GetClassInfoExA(platform::GetModuleHandleA(nullptr), SZHOVERCLASS, &cls));
  EXPECT_EQ(cls.WNDPROC, &HOVERBUTTONHANDLER);
  EXPECT_EQ(cls.STYLE, 0u);
  EXPECT_EQ(WINDOWCLASSEX.SIZE, 48u);
  EXPECT_STREQ(WINDOWCLASSEX.CLASSNAME, "IMAGEBUTTON");
  // A second registration fails on the main class and leaves the known button class alone.
  WINDOWCLASSEX.STYLE = 77;
  EXPECT_FALSE(WINDOWREGISTER());
  EXPECT_EQ(WINDOWCLASSEX.STYLE, 0u) << "filled from the class already known";
}

} // namespace
} // namespace vantrel::test
