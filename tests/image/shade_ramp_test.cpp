// The shade ramp file, its 1-D texture read back from OpenGL, and the ramp switches.
#include <algorithm>
#include <string_view>

#include "tests/image/bmp_builder.h"
#include "tests/support/gl_fixture.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/image/text_file.h"

namespace vantrel::test {
namespace {

// The 32 entries of the texture bound to GL_TEXTURE_1D, their red component; green and blue
// must equal it.
std::vector<float> ramp_entries() {
  GLint width = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_1D, 0, GL_TEXTURE_WIDTH, &width);
  EXPECT_EQ(width, 32);
  std::vector<float> rgb(std::size_t(width) * 3, -1), out;
  glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_FLOAT, rgb.data());
  for (int k = 0; k < width; k++) {
    EXPECT_EQ(rgb[k * 3 + 1], rgb[k * 3]) << "entry " << k << " is not grey";
    EXPECT_EQ(rgb[k * 3 + 2], rgb[k * 3]) << "entry " << k << " is not grey";
    out.push_back(rgb[k * 3]);
  }
  return out;
}

// WANT padded with zeros to 32 entries; OpenGL may keep 8 bits a component.
void expect_ramp(const std::vector<float> &want) {
  auto got = ramp_entries();
  ASSERT_EQ(got.size(), 32u);
  for (std::size_t k = 0; k < 32; k++)
    EXPECT_NEAR(got[k], k < want.size() ? want[k] : 0.0f, 0.6f / 255) << "entry " << k;
}

// The values the ramp's loop reads from the file at PATH.
std::vector<REAL> reads_from(const std::string &path) {
  LOADFILE(path);
  EXPECT_EQ(IORESULT(), 0);
  std::vector<REAL> out;
  while (out.size() < 32 && !TEXTEOF()) {
    out.push_back(READREAL());
    READLN();
  }
  ENDFILE();
  return out;
}

std::vector<REAL> reads_of(const std::string &text) {
  return reads_from(write_temp_file("reads.sdr", text));
}

std::string regex_escape(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (std::string_view(".[]()*+?{}|^$\\").find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out;
}

class ShadeRampTest : public GLTest {};
class ShadeRampDeathTest : public GLTest {};

TEST_F(ShadeRampTest, ThirtyTwoLinesGiveTexelPerLine) {
  std::string text;
  std::vector<float> w;
  for (int k = 0; k < 32; k++) {
    w.push_back(float((k * 7) % 32) / 31);
    text += std::to_string(w.back()) + "\n";
  }
  glEnable(GL_LIGHTING);
  TEXTURELOADSHADER(write_temp_file("ramp.sdr", text));
  ASSERT_NE(TEXTUREID, 0u);
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_1D, &bound);
  EXPECT_EQ(bound, GLint(TEXTUREID));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_1D));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << "loading leaves lighting alone";
  EXPECT_FALSE(ACTIVETEXTURESHADER);
  expect_ramp(w);

  for (auto [name, want] : {std::pair{GL_TEXTURE_MAG_FILTER, GL_NEAREST},
                            {GL_TEXTURE_MIN_FILTER, GL_NEAREST},
                            {GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE},
                            {GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE}}) {
    GLint v;
    glGetTexParameteriv(GL_TEXTURE_1D, name, &v);
    EXPECT_EQ(v, want) << name;
  }
  LONGWORD first = TEXTUREID;
  TEXTURELOADSHADER(write_temp_file("other.sdr", "1\n"));
  EXPECT_NE(TEXTUREID, first) << "every load makes a new texture";
  expect_ramp({1});
}

TEST_F(ShadeRampTest, LinesCommentsBlanksAndEnds) {
  // The rest of a line is skipped; blank lines before a number give no entry of their own.
  TEXTURELOADSHADER(write_temp_file("c.sdr", "\n\n  \t0.25 grey band\n0.5 0.75\n\n\n1e0\n-.5\n"));
  expect_ramp({0.25f, 0.5f, 1, 0});
  EXPECT_EQ(reads_of("\n\n  \t0.25 grey band\n0.5 0.75\n\n\n1e0\n-.5\n"),
            (std::vector<REAL>{0.25, 0.5, 1, -0.5}));

  // White space after the last line gives exactly one more read, of 0.
  EXPECT_EQ(reads_of("0.5\n0.75\n\n\n"), (std::vector<REAL>{0.5, 0.75, 0}));
  EXPECT_EQ(reads_of("0.5\n0.75\n   \t"), (std::vector<REAL>{0.5, 0.75, 0}));
  EXPECT_EQ(reads_of("0.5\n0.75"), (std::vector<REAL>{0.5, 0.75}));
  EXPECT_EQ(reads_of("0.5\n0.75\n"), (std::vector<REAL>{0.5, 0.75}));
  EXPECT_EQ(reads_of(""), (std::vector<REAL>{}));

  // CR LF and lone CR line breaks.
  EXPECT_EQ(reads_of("0.25\r\n0.5 x\r\n\r\n0.75\r\n"), (std::vector<REAL>{0.25, 0.5, 0.75}));
  EXPECT_EQ(reads_of("0.25 a\r0.5\r"), (std::vector<REAL>{0.25, 0.5}));
  TEXTURELOADSHADER(write_temp_file("crlf.sdr", "0.25\r\n0.5\r\n1\r\n"));
  expect_ramp({0.25f, 0.5f, 1});

  // Ctrl-Z ends the file, even with numbers (or rubbish) after it.
  EXPECT_EQ(reads_of("0.25\n0.5\n\x1a"
                     "0.75\nrubbish\n"),
            (std::vector<REAL>{0.25, 0.5}));
  EXPECT_EQ(reads_of("0.25\n0.5\x1a junk"), (std::vector<REAL>{0.25, 0.5}));
  TEXTURELOADSHADER(write_temp_file("ctrlz.sdr", "0.25\n\x1a"
                                                 "0.75\n"));
  expect_ramp({0.25f});
}

TEST_F(ShadeRampTest, OnlyTheFirstThirtyTwoNumbersAreRead) {
  std::string text;
  std::vector<float> w;
  for (int k = 0; k < 32; k++) {
    w.push_back(float(31 - k) / 31);
    text += std::to_string(w.back()) + "\n";
  }
  // Read, these lines would stop the program.
  for (int k = 32; k < 40; k++)
    text += "0,5 not read\n";
  TEXTURELOADSHADER(write_temp_file("forty.sdr", text));
  expect_ramp(w);
}

TEST(TextFile, NumberForms) {
  EXPECT_EQ(reads_of("5.\n.5\n+2\n-1.5e-1\n1E2\n007\n0.125e+1\n"),
            (std::vector<REAL>{5, 0.5, 2, -0.15, 100, 7, 1.25}));
}

TEST(TextFileDeathTest, MalformedNumbersStopWithFileAndLine) {
  death_tests_skip_leak_check();
  for (const char *token :
       {"0,5", "0.5;", "abc", ".", "e5", "1e", "1.2.3", "--1", "0x10", "inf", "nan", "1e99999"}) {
    SCOPED_TRACE(token);
    std::string path = write_temp_file("bad.sdr", std::string("0.25\n\n") + token + " z\n");
    EXPECT_EXIT(reads_from(path), ::testing::ExitedWithCode(106),
                "bad\\.sdr:3: '" + regex_escape(token) + "' is not a number");
  }
}

TEST_F(ShadeRampDeathTest, DecimalCommaStopsTheLoad) {
  death_tests_skip_leak_check();
  std::string path = write_temp_file("comma.sdr", "0.25\r\n0.5\r\n0,5\r\n1\r\n");
  EXPECT_EXIT(TEXTURELOADSHADER(path), ::testing::ExitedWithCode(106),
              "comma\\.sdr:3: '0,5' is not a number");
}

TEST_F(ShadeRampTest, MissingFileChangesNothingButSwitchesStillWork) {
  glEnable(GL_LIGHTING);
  std::string path = ::testing::TempDir() + "/no-such-ramp.sdr";
  testing::internal::CaptureStderr();
  TEXTURELOADSHADER(path);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("warning"), std::string::npos) << err;
  EXPECT_NE(err.find(path), std::string::npos) << err;
  EXPECT_NE(err.find("file not found"), std::string::npos) << err;
  EXPECT_EQ(TEXTUREID, 0u);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_1D, &bound);
  EXPECT_EQ(bound, 0);

  // A directory cannot be read as a ramp either.
  testing::internal::CaptureStderr();
  TEXTURELOADSHADER(::testing::TempDir());
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("access denied"), std::string::npos) << err;
  EXPECT_EQ(TEXTUREID, 0u);

  TEXTURESHADERON();
  EXPECT_TRUE(ACTIVETEXTURESHADER);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_1D));
}

TEST_F(ShadeRampTest, SwitchesSetLightingTexturingAndFlag) {
  TEXTURELOADSHADER(write_temp_file("r.sdr", "0.5\n"));
  glDisable(GL_TEXTURE_1D);
  glEnable(GL_LIGHTING);
  TEXTURESHADERON();
  TEXTURESHADERON();
  EXPECT_TRUE(ACTIVETEXTURESHADER);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_1D));
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_1D, &bound);
  EXPECT_EQ(bound, GLint(TEXTUREID)) << "the ramp stays bound";
  TEXTURESHADEROFF();
  EXPECT_FALSE(ACTIVETEXTURESHADER);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));

  // Off turns lighting on even where it was off before.
  glDisable(GL_LIGHTING);
  TEXTURESHADEROFF();
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(ShadeRampTest, RampBandsTheDrawnColour) {
  // Entry floor(32 s) multiplies the current colour; coordinates past the ends clamp.
  std::string text;
  for (int k = 0; k < 32; k++)
    text += k < 16 ? "0.25\n" : "1\n";
  TEXTURELOADSHADER(write_temp_file("bands.sdr", text));
  TEXTURESHADERON();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 4, 0, 1, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glViewport(0, 0, 4, 1);
  glColor3f(1, 1, 1);
  const float s[4] = {-0.5f, 0.4f, 0.6f, 1.5f};
  for (int x = 0; x < 4; x++) {
    glBegin(GL_QUADS);
    glTexCoord1f(s[x]);
    glVertex2f(float(x), 0);
    glVertex2f(float(x + 1), 0);
    glVertex2f(float(x + 1), 1);
    glVertex2f(float(x), 1);
    glEnd();
  }
  auto px = read_pixels(4, 1);
  EXPECT_NEAR(px[0], 64, 1);
  EXPECT_NEAR(px[4], 64, 1);
  EXPECT_EQ(px[8], 255);
  EXPECT_EQ(px[12], 255);
}

} // namespace
} // namespace vantrel::test
