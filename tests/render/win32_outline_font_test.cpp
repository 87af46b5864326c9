// The font INITTEXT leaves selected in the window's device context, as GDI reports it back.
#include "tests/support/gl_fixture.h"
#include "tests/support/win32_readback.h"
#include "vantrel/render/outline_text.h"

namespace vantrel::test {
namespace {

using Win32OutlineFontTest = GLTest;

TEST_F(Win32OutlineFontTest, TheSelectedFontCarriesTheFourteenArguments) {
  INITTEXT(0.0f, 0, 0, 0);
  win32::font_facts f = win32::current_font(DCWINDOW);
  ASSERT_TRUE(f.found);
  EXPECT_EQ(f.height, -12);
  EXPECT_EQ(f.width, 0);
  EXPECT_EQ(f.escapement, 0);
  EXPECT_EQ(f.orientation, 0);
  EXPECT_EQ(f.weight, 700);
  EXPECT_EQ(f.italic + f.underline + f.strike_out, 0);
  EXPECT_EQ(f.charset, 0);
  EXPECT_EQ(f.out_precision, 4);
  EXPECT_EQ(f.clip_precision, 0);
  EXPECT_EQ(f.quality, 4);
  EXPECT_EQ(f.pitch_and_family, 0);
  EXPECT_EQ(f.face, "") << "the font mapper picks the face";
  DELETEGLTEXT();

  // Escapement and orientation both take the angle; italic and underline their flags, the
  // weight staying bold.
  INITTEXT(0.0f, 900, 1, 1);
  f = win32::current_font(DCWINDOW);
  EXPECT_EQ(f.escapement, 900);
  EXPECT_EQ(f.orientation, 900);
  EXPECT_EQ(f.italic, 1);
  EXPECT_EQ(f.underline, 1);
  EXPECT_EQ(f.weight, 700);
}

} // namespace
} // namespace vantrel::test
