// The shade ramp file, its 1-D texture read back from OpenGL, and the ramp switches.
#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <string_view>

#include "tests/image/bmp_builder.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/special_files.h"
#include "vantrel/image/shade_ramp.h"
#include "vantrel/runerror.h"
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
  // Lines are counted through runs of blanks longer than the reader's eight-byte steps.
  const std::string blanks(8, '\t');
  EXPECT_EQ(reads_of("0.5\n" + blanks + "\r" + blanks + "\r\n" + blanks + "0.25"),
            (std::vector<REAL>{0.5, 0.25}));
  EXPECT_EQ(FILEIN.LINE, 4) << "a LF, a CR and a CR LF before the last number";
  TEXTURELOADSHADER(write_temp_file("crlf.sdr", "0.25\r\n0.5\r\n1\r\n"));
  expect_ramp({0.25f, 0.5f, 1});

  // Ctrl-Z ends the file, even with numbers (or rubbish) after it.
  EXPECT_EQ(reads_of("0.25\n0.5\n\x1a"
                     "0.75\nrubbish\n"),
            (std::vector<REAL>{0.25, 0.5}));
  EXPECT_EQ(reads_of("0.25\n0.5\x1a junk"), (std::vector<REAL>{0.25, 0.5}));
  EXPECT_EQ(reads_of("0.25\n \x1a"
                     "0.75\n"),
            (std::vector<REAL>{0.25, 0}));
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
  // Numbers of the right form beyond REAL's range or precision: the nearest REAL, 0 below its
  // range and the largest REAL above it, however many digits they take.
  const std::string exact_half = "1.00000000000000011102230246251565404236316680908203125";
  struct row {
    std::string token;
    REAL want;
  } rows[] = {
      {"1e-400", 0},
      {"-1e-400", 0},
      {"4.9e-324", 4.9e-324}, // the smallest REAL above 0 is still one
      {"1e999", DBL_MAX},
      {"-1e999", -DBL_MAX},
      {"1.7976931348623159e308", DBL_MAX}, // rounds past the largest REAL
      {"1e99999999999999999999999", DBL_MAX},
      {"1e9999999999", DBL_MAX},
      {"-1e9999999999", -DBL_MAX},
      {"1e-9999999999", 0},
      {"0." + std::string(2000, '0') + "1e9999999999", DBL_MAX},
      {"1e-99999999999999999999999", 0},
      {"0." + std::string(300, '3'), 1.0 / 3},
      {"1" + std::string(400, '0') + "e-400", 1},
      {"0." + std::string(400, '0') + "25e401", 2.5},
      {std::string(310, '9'), DBL_MAX},
      // Halfway between 1 and the next REAL rounds to even, 1; a digit 1 far behind tips it up.
      {exact_half, 1},
      {exact_half + std::string(900, '0') + "1", 1 + DBL_EPSILON},
  };
  std::string text;
  std::vector<REAL> want;
  for (auto &r : rows) {
    text += r.token + "\n";
    want.push_back(r.want);
  }
  EXPECT_EQ(reads_of(text), want);
}

// One token a test: each expectation is a process of its own, and under Wine a few seconds.
class MalformedNumberDeathTest : public ::testing::TestWithParam<const char *> {};

TEST_P(MalformedNumberDeathTest, StopsWithFileAndLine) {
  death_tests_skip_leak_check();
  const std::string token = GetParam();
  std::string path = write_temp_file("bad.sdr", "0.25\n\n" + token + " z\n");
  EXPECT_EXIT(reads_from(path), ::testing::ExitedWithCode(106),
              "bad\\.sdr:3: '" + regex_escape(token) + "' is not a number");
}

INSTANTIATE_TEST_SUITE_P(Tokens, MalformedNumberDeathTest,
                         ::testing::Values("0,5", "0.5;", "abc", ".", "e5", "1e", "1.2.3", "--1",
                                           "0x10", "inf", "nan", "1e+-5"));

TEST(TextFileDeathTest, LongTokensShowTheirStartAndLinesCountThroughAGigabyte) {
  death_tests_skip_leak_check();
  // A long token shows its first 255 characters; what is wrong may come after them.
  std::string path = write_temp_file("long.sdr", "0.5\r\n" + std::string(300, '7') + ",5\r\n");
  EXPECT_EXIT(reads_from(path), ::testing::ExitedWithCode(106),
              "long\\.sdr:2: '" + std::string(255, '7') + "\\.\\.\\.' is not a number");
  // Lines are counted through a gigabyte of white space, in blocks.
  std::string framed = write_temp_file("framed.sdr", "");
  ASSERT_TRUE(write_sparse_file(framed, "0.75\r\n", std::int64_t(1) << 30, "\n\r\n0,5\n"));
  EXPECT_EXIT(reads_from(framed), ::testing::ExitedWithCode(106), "framed\\.sdr:4: '0,5'");
}

TEST_F(ShadeRampDeathTest, DecimalCommaStopsTheLoad) {
  death_tests_skip_leak_check();
  std::string path = write_temp_file("comma.sdr", "0.25\r\n0.5\r\n0,5\r\n1\r\n");
  EXPECT_EXIT(TEXTURELOADSHADER(path), ::testing::ExitedWithCode(106),
              "comma\\.sdr:3: '0,5' is not a number");
}

// A file without any number is loaded as it says, every band black, with one warning; a file
// with numbers gives none.
TEST_F(ShadeRampTest, EmptyOrBlankFileIsLoadedBlackWithAWarning) {
  for (auto [text, warned] : {std::pair{"", true},
                              {"  \n\n\t\r\n", true},
                              {"\x1a"
                               "0.5\n",
                               true},
                              {"0\n", false}}) {
    SCOPED_TRACE(testing::PrintToString(text));
    std::string path = write_temp_file("blank.sdr", text);
    testing::internal::CaptureStderr();
    TEXTURELOADSHADER(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              warned ? "vantrel: warning: shade ramp '" + path +
                           "' holds no number: every entry is 0\n"
                     : "");
    EXPECT_NE(TEXTUREID, 0u);
    expect_ramp({});
  }
}

// With a host's error hook the malformed number reaches the hook instead of ending the
// program, a warning follows, and no ramp is made: the call goes on to its defined failure.
TEST_F(ShadeRampTest, ErrorHookTakesTheMalformedNumberAndNothingIsLoaded) {
  static std::vector<TERRORREPORT> reports;
  reports.clear();
  TERRORHOOK before = SETERRORHOOK([](const TERRORREPORT &r) { reports.push_back(r); });
  SINGLE ramp[32][3] = {{7, 7, 7}};
  std::string why, path = write_temp_file("comma.sdr", "0.25\n0,5\n1\n");
  LONGINT code = 0;
  EXPECT_FALSE(READSHADERFILE(path, ramp, why, nullptr, &code));
  EXPECT_EQ(ramp[0][0], 7) << "the entries stay as they were";
  EXPECT_EQ(code, RE_INVALID_NUMERIC);
  TEXTURELOADSHADER(path);
  SETERRORHOOK(before);
  EXPECT_EQ(TEXTUREID, 0u);
  ASSERT_EQ(reports.size(), 3u); // the error twice, then the warning
  EXPECT_EQ(reports[0].CODE, RE_INVALID_NUMERIC);
  EXPECT_TRUE(reports[0].FATAL);
  EXPECT_EQ(reports[0].WHERE, "READREAL");
  EXPECT_NE(reports[0].TEXT.find("comma.sdr:2: '0,5' is not a number"), std::string::npos);
  EXPECT_FALSE(reports[2].FATAL);
  EXPECT_EQ(reports[2].CODE, RE_INVALID_NUMERIC);
  EXPECT_EQ(reports[2].WHERE, "TEXTURELOADSHADER");
  EXPECT_FALSE(FILEIN.HANDLE) << "the file was closed";
}

TEST_F(ShadeRampTest, MissingFileChangesNothingButSwitchesStillWork) {
  glEnable(GL_LIGHTING);
  std::string path = ::testing::TempDir() + "/no-such-ramp.sdr";
  testing::internal::CaptureStderr();
  TEXTURELOADSHADER(path);
  std::string err = testing::internal::GetCapturedStderr();
  // The reason is the platform's own ("No such file or directory" on Linux).
  LOADFILE(path);
  EXPECT_EQ(IORESULT(), 2) << "file not found";
  ASSERT_NE(LOADFILEREASON(), "");
  EXPECT_EQ(err,
            "vantrel: warning: shade ramp '" + path + "' not loaded: " + LOADFILEREASON() + "\n");
  EXPECT_EQ(TEXTUREID, 0u);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_1D, &bound);
  EXPECT_EQ(bound, 0);
  // A name is cut at 255 characters: what a longer one adds is never looked for.
  const std::string cut =
      write_temp_file(std::string(255 - temp_path("").size() - 4, 'n') + ".sdr", "0.5\n");
  ASSERT_EQ(cut.size(), 255u);
  EXPECT_EQ(reads_from(cut + ".missing"), (std::vector<REAL>{0.5}));

  TEXTURESHADERON();
  EXPECT_TRUE(ACTIVETEXTURESHADER);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_1D));
}

TEST_F(ShadeRampTest, NonRegularFilesAreRefusedAtOnceAndLeaveTheRampAlone) {
  TEXTURELOADSHADER(write_temp_file("kept.sdr", "0.5\n"));
  const LONGWORD kept = TEXTUREID;
  ASSERT_NE(kept, 0u);
  glDisable(GL_TEXTURE_1D);
  const std::string dir = make_directory("directory.sdr");
  ASSERT_TRUE(std::filesystem::is_directory(dir));
  std::string fifo = temp_path("fifo.sdr");
  bool have_fifo = make_fifo(fifo);
  struct row {
    std::string path, reason;
  } rows[] = {{dir, "is a directory"}, {fifo, "not a regular file"}};
  for (auto &r : rows) {
    SCOPED_TRACE(r.path);
    if (r.path == fifo && !have_fifo) continue; // no FIFOs on Windows itself
    testing::internal::CaptureStderr();
    EXPECT_TRUE(returns_before_deadline(r.path, [&] { TEXTURELOADSHADER(r.path); }))
        << "the load waited on the file";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "vantrel: warning: shade ramp '" + r.path + "' not loaded: " + r.reason + "\n");
    EXPECT_EQ(TEXTUREID, kept);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
    GLint bound;
    glGetIntegerv(GL_TEXTURE_BINDING_1D, &bound);
    EXPECT_EQ(bound, GLint(kept));
    ASSERT_TRUE(returns_before_deadline(r.path, [&] { LOADFILE(r.path); }));
    EXPECT_EQ(IORESULT(), 5) << "access denied, as for a file that may not be read";
    EXPECT_EQ(LOADFILEREASON(), r.reason);
  }
}

TEST_F(ShadeRampTest, NumbersPastSingleGiveItsLimitsAndOpenGLClampsThem) {
  SINGLE ramp[32][3];
  for (auto &e : ramp)
    e[0] = e[1] = e[2] = -7;
  std::string why;
  ASSERT_TRUE(
      READSHADERFILE(write_temp_file("ranges.sdr", "0.5\n1e-400\n1e999\n-1e999\n1e300\n0." +
                                                       std::string(300, '3') +
                                                       "\n-1e-50\n1e9999999999\n-1e-9999999999\n"),
                     ramp, why));
  const SINGLE want[] = {0.5f, 0, FLT_MAX, -FLT_MAX, FLT_MAX, 1.0f / 3, -0.0f, FLT_MAX, -0.0f, -7};
  for (int k = 0; k < 10; k++)
    for (int c = 0; c < 3; c++)
      EXPECT_EQ(ramp[k][c], want[k]) << "entry " << k;
  EXPECT_EQ(ramp[31][0], -7) << "entries past the last number are left as they were";
  TEXTURELOADSHADER(write_temp_file("ranges.sdr", "0.5\n1e-400\n1e999\n-1e999\n"));
  expect_ramp({0.5f, 0, 1, 0});
}

TEST_F(ShadeRampTest, AGigabyteOfWhiteSpaceIsReadToItsEnd) {
  // NUL bytes are white space: all of it is skipped for one read that finds no number, 0.
  std::string nuls = write_temp_file("nuls.sdr", "");
  ASSERT_TRUE(write_sparse_file(nuls, "", std::int64_t(1) << 30));
  TEXTURELOADSHADER(nuls);
  ASSERT_NE(TEXTUREID, 0u);
  expect_ramp({});
  EXPECT_EQ(reads_from(nuls), (std::vector<REAL>{0}));

  // Numbers on both sides of it, and lines counted across it.
  std::string framed = write_temp_file("framed.sdr", "");
  ASSERT_TRUE(write_sparse_file(framed, "0.75\r\n", std::int64_t(1) << 30,
                                "\n0.25 x\r\n\x1a"
                                "0,5"));
  EXPECT_EQ(reads_from(framed), (std::vector<REAL>{0.75, 0.25}));
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
