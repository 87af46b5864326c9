// Texture slots loaded from BMP files, read back from OpenGL.
#include <algorithm>
#include <filesystem>

#include "tests/image/bmp_builder.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/special_files.h"
#include "vantrel/image/texture.h"
#include "vantrel/platform/common/bmp_reader.h"

namespace vantrel::test {
namespace {

struct texture_image {
  GLint width = 0, height = 0;
  std::vector<std::uint8_t> rgb; // bottom row first, no padding
};

// Level 0 of the texture bound to GL_TEXTURE_2D.
texture_image bound_texture() {
  texture_image t;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &t.width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &t.height);
  t.rgb.assign(std::size_t(t.width) * t.height * 3, 0xEE);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, t.rgb.data());
  return t;
}

GLint binding_2d() {
  GLint name = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
  return name;
}

// A 24-bit file of one colour, given as blue, green, red.
std::string solid_bmp(int w, int h, int b, int g, int r) {
  std::vector<std::string> rows(h);
  for (auto &row : rows)
    for (int x = 0; x < w; x++)
      row += bytes({b, g, r});
  bmp_layout l;
  l.width = w, l.height = h, l.pixels = padded_rows(rows);
  return make_bmp(l);
}

// The 4 x 4 picture of the ImageMagick files: pixel (x, y), y from the top.
std::vector<std::uint8_t> im_picture_bottom_up() {
  std::vector<std::uint8_t> out;
  for (int row = 0; row < 4; row++) {
    int y = 3 - row;
    for (int x = 0; x < 4; x++)
      out.insert(out.end(), {std::uint8_t(x * 60 + 10), std::uint8_t(y * 60 + 20),
                             std::uint8_t(x * 16 + y * 4)});
  }
  return out;
}

using Bytes = std::vector<std::uint8_t>;

// The committed files: where the test environment says, else beside this source file.
std::string committed_file(const std::string &name) {
  if (std::getenv("VANTREL_TEST_DATA")) return data_path(name);
  std::string here = __FILE__;
  return here.substr(0, here.rfind('/')) + "/../data/" + name;
}

class TextureTest : public GLTest {};
class TextureDeathTest : public GLTest {};

TEST(SwapRgb, ExchangesFirstAndThirdByteOfEachGroupOnly) {
  std::uint8_t data[7] = {1, 2, 3, 4, 5, 6, 7};
  SWAPRGB(data, 2);
  EXPECT_EQ(Bytes(data, data + 7), (Bytes{3, 2, 1, 6, 5, 4, 7}));
  SWAPRGB(data, 0);
  SWAPRGB(data, -5);
  EXPECT_EQ(Bytes(data, data + 7), (Bytes{3, 2, 1, 6, 5, 4, 7})) << "a count below 1 swaps nothing";
}

TEST_F(TextureTest, SlotsLoadBindAndSwitch) {
  TEXTURELOADID(write_temp_file("red.bmp", solid_bmp(2, 2, 0, 0, 200)).c_str(), 0);
  TEXTURELOADID(write_temp_file("green.bmp", solid_bmp(2, 2, 0, 200, 0)).c_str(), 1);
  glDisable(GL_TEXTURE_2D);
  TEXTURELOADID(write_temp_file("blue.bmp", solid_bmp(4, 2, 200, 0, 0)).c_str(), 2);
  ASSERT_NE(TEXTUREID2[0], 0u);
  EXPECT_NE(TEXTUREID2[1], TEXTUREID2[0]);
  EXPECT_NE(TEXTUREID2[2], TEXTUREID2[1]);
  EXPECT_EQ(binding_2d(), GLint(TEXTUREID2[2]));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << "a load switches 2-D texturing on";
  Bytes blue;
  for (int i = 0; i < 8; i++)
    blue.insert(blue.end(), {0, 0, 200});
  EXPECT_EQ(bound_texture().rgb, blue);

  TEXTUREOFF();
  TEXTURESELECTID(0);
  EXPECT_EQ(binding_2d(), GLint(TEXTUREID2[0]));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "selecting must not touch the enable state";
  EXPECT_EQ(bound_texture().rgb, (Bytes{200, 0, 0, 200, 0, 0, 200, 0, 0, 200, 0, 0}));
  TEXTUREON();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  TEXTURESELECTID(1);
  EXPECT_EQ(binding_2d(), GLint(TEXTUREID2[1]));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

  TEXTURESELECTID(7);
  EXPECT_EQ(binding_2d(), 0) << "a slot never loaded binds the default texture";

  TEXTURELOADID(write_temp_file("last.bmp", solid_bmp(1, 1, 1, 2, 3)).c_str(), 500);
  ASSERT_NE(TEXTUREID2[500], 0u);
  TEXTURESELECTID(500);
  EXPECT_EQ(bound_texture().rgb, (Bytes{3, 2, 1}));
}

TEST_F(TextureDeathTest, SlotOutsideTableIsRangeError) {
  death_tests_skip_leak_check();
  std::string file = write_temp_file("one.bmp", solid_bmp(1, 1, 1, 2, 3));
  EXPECT_EXIT(TEXTURESELECTID(501), ::testing::ExitedWithCode(201), "range");
  EXPECT_EXIT(TEXTURESELECTID(-1), ::testing::ExitedWithCode(201), "range");
  EXPECT_EXIT(TEXTURELOADID(file.c_str(), 501), ::testing::ExitedWithCode(201), "range");
  EXPECT_EXIT(TEXTURELOADID(file.c_str(), -1), ::testing::ExitedWithCode(201), "range");
}

TEST_F(TextureTest, RowsWithFillerUploadPixelsInRedGreenBlue) {
  // 2 x 1: blue, green, red of two pixels, then two filler bytes.
  bmp_layout l;
  l.width = 2, l.height = 1, l.pixels = bytes({1, 2, 3, 4, 5, 6, 0, 0});
  TEXTURELOADID(write_temp_file("2x1.bmp", make_bmp(l)).c_str(), 0);
  auto t = bound_texture();
  EXPECT_EQ(t.width, 2);
  EXPECT_EQ(t.height, 1);
  EXPECT_EQ(t.rgb, (Bytes{3, 2, 1, 6, 5, 4}));

  // 2 x 2: the second row starts after the first row's filler, and must still line up.
  l.height = 2;
  l.pixels = bytes({1, 2, 3, 4, 5, 6, 0xAA, 0xBB, 7, 8, 9, 10, 11, 12, 0xCC, 0xDD});
  TEXTURELOADID(write_temp_file("2x2.bmp", make_bmp(l)).c_str(), 1);
  t = bound_texture();
  EXPECT_EQ(t.height, 2);
  EXPECT_EQ(t.rgb, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10})) << "bottom row first";

  // 3 x 3 needs three filler bytes a row.
  l.width = 3, l.height = 3;
  l.pixels.clear();
  for (int i = 0; i < 3; i++)
    l.pixels += bytes({i * 9 + 1, i * 9 + 2, i * 9 + 3, i * 9 + 4, i * 9 + 5, i * 9 + 6, i * 9 + 7,
                       i * 9 + 8, i * 9 + 9, 0xFF, 0xFF, 0xFF});
  TEXTURELOADID(write_temp_file("3x3.bmp", make_bmp(l)).c_str(), 2);
  Bytes want;
  for (int k = 0; k < 9; k++)
    want.insert(want.end(),
                {std::uint8_t(k * 3 + 3), std::uint8_t(k * 3 + 2), std::uint8_t(k * 3 + 1)});
  EXPECT_EQ(bound_texture().rgb, want);
}

TEST_F(TextureTest, TopDownFileUploadsBottomRowFirst) {
  bmp_layout l;
  l.width = 1, l.height = -2; // first stored row is the top of the picture
  l.pixels = padded_rows({bytes({10, 20, 30}), bytes({40, 50, 60})});
  TEXTURELOADID(write_temp_file("topdown.bmp", make_bmp(l)).c_str(), 0);
  auto t = bound_texture();
  EXPECT_EQ(t.height, 2);
  EXPECT_EQ(t.rgb, (Bytes{60, 50, 40, 30, 20, 10}));
}

TEST_F(TextureTest, OtherDepthsAreConvertedToRgb) {
  // 8-bit palette: entries blue, green, red, reserved.
  bmp_layout p8;
  p8.width = 3, p8.height = 1, p8.bpp = 8, p8.colors_used = 3;
  p8.palette = bytes({1, 2, 3, 0, 40, 50, 60, 0, 255, 128, 0, 0});
  p8.pixels = padded_rows({bytes({2, 0, 1})});
  TEXTURELOADID(write_temp_file("p8.bmp", make_bmp(p8)).c_str(), 0);
  EXPECT_EQ(bound_texture().rgb, (Bytes{0, 128, 255, 3, 2, 1, 60, 50, 40}));

  // 32-bit without bit fields: blue, green, red, unused.
  bmp_layout p32;
  p32.width = 2, p32.height = 1, p32.bpp = 32;
  p32.pixels = bytes({1, 2, 3, 99, 4, 5, 6, 99});
  TEXTURELOADID(write_temp_file("p32.bmp", make_bmp(p32)).c_str(), 1);
  EXPECT_EQ(bound_texture().rgb, (Bytes{3, 2, 1, 6, 5, 4}));

  // 16-bit default 5-5-5: full red, and a mid green.
  bmp_layout p16;
  p16.width = 2, p16.height = 1, p16.bpp = 16;
  p16.pixels = bytes({0x00, 0x7C, 0x00, 0x02});
  TEXTURELOADID(write_temp_file("p16.bmp", make_bmp(p16)).c_str(), 2);
  EXPECT_EQ(bound_texture().rgb, (Bytes{255, 0, 0, 0, 132, 0}));

  // 16-bit 5-6-5 through bit fields: pure green, pure blue.
  p16.compression = 3;
  p16.masks = {0xF800, 0x07E0, 0x001F};
  p16.pixels = bytes({0xE0, 0x07, 0x1F, 0x00});
  TEXTURELOADID(write_temp_file("p565.bmp", make_bmp(p16)).c_str(), 3);
  EXPECT_EQ(bound_texture().rgb, (Bytes{0, 255, 0, 0, 0, 255}));

  // 32-bit with bit fields in a V4 header, red in the top byte (a mask reaching bit 31).
  p32.header_size = 108, p32.compression = 3;
  p32.masks = {0xFF000000, 0x00FF0000, 0x0000FF00};
  p32.pixels = bytes({0, 30, 20, 10, 0, 60, 50, 40});
  TEXTURELOADID(write_temp_file("p32v4.bmp", make_bmp(p32)).c_str(), 4);
  EXPECT_EQ(bound_texture().rgb, (Bytes{10, 20, 30, 40, 50, 60}));
}

TEST_F(TextureTest, CoreHeaderFilesReadTheirThreeByteColourTable) {
  // OS/2 core header, 1 bit per pixel, 3-byte palette entries.
  bmp_layout core;
  core.header_size = 12, core.width = 9, core.height = 1, core.bpp = 1;
  core.palette = bytes({0, 0, 0, 10, 20, 30});
  core.pixels = bytes({0xA0, 0x80, 0, 0}); // 1 0 1 0 0 0 0 0 | 1
  TEXTURELOADID(write_temp_file("core1.bmp", make_bmp(core)).c_str(), 0);
  Bytes want;
  for (int bit : {1, 0, 1, 0, 0, 0, 0, 0, 1})
    want.insert(want.end(),
                {std::uint8_t(bit * 30), std::uint8_t(bit * 20), std::uint8_t(bit * 10)});
  EXPECT_EQ(bound_texture().rgb, want);
}

TEST_F(TextureTest, ImageMagickFilesLoadAlike) {
  for (const char *name : {"im_v5_24bit.bmp", "im_v5_32bit.bmp", "im_bmp3_4bit.bmp"}) {
    SCOPED_TRACE(name);
    testing::internal::CaptureStderr();
    TEXTURELOADID(committed_file(name).c_str(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(TEXTUREID2[0], 0u);
    auto t = bound_texture();
    EXPECT_EQ(t.width, 4);
    EXPECT_EQ(t.height, 4);
    EXPECT_EQ(t.rgb, im_picture_bottom_up());
    TEXTUREID2[0] = 0;
  }
}

TEST_F(TextureTest, UnusableFilesWarnOnceAndLeaveSlotAndGlAlone) {
  bmp_layout good;
  good.width = 4, good.height = 4;
  good.pixels = std::string(48, '\x11');
  std::string whole = make_bmp(good);

  bmp_layout huge = good;
  huge.width = 100000, huge.height = 100000;
  bmp_layout wide = good;
  wide.width = 16000, wide.height = 16000; // within the side limit, but its pixels are absent
  bmp_layout rle = good;
  rle.bpp = 8, rle.compression = 1, rle.colors_used = 1, rle.palette = bytes({1, 2, 3, 0});
  bmp_layout odd = good;
  odd.bpp = 7;
  bmp_layout os2v2 = good;
  os2v2.header_size = 64; // known to other readers, not to Win32
  bmp_layout no_palette = good;
  no_palette.bpp = 8, no_palette.colors_used = 200; // table promised, not there
  no_palette.pixels = std::string(16, '\0');
  std::string bad_offset = whole;
  bad_offset[10] = '\xFF', bad_offset[11] = '\xFF', bad_offset[12] = '\xFF';
  std::string inside = whole; // the pixels would start in the info header
  inside[10] = 20, inside[11] = inside[12] = inside[13] = 0;

  struct bad_file {
    std::string name, bytes, reason;
  } files[] = {
      {"garbage.bmp", "this is no picture at all, just words", "not a BMP"},
      {"empty.bmp", "", "not a BMP"},
      {"header.bmp", whole.substr(0, 20), "truncated header"},
      {"pixels.bmp", whole.substr(0, whole.size() - 1), "truncated"},
      {"huge.bmp", make_bmp(huge), "exceed the largest texture OpenGL takes"},
      {"wide.bmp", make_bmp(wide), "truncated"},
      {"rle.bmp", make_bmp(rle), "compressed"},
      {"odd.bmp", make_bmp(odd), "bits per pixel"},
      {"os2v2.bmp", make_bmp(os2v2), "unknown BMP header size 64"},
      {"palette.bmp", make_bmp(no_palette), "colour table"},
      {"offset.bmp", bad_offset, "truncated"},
      {"inside.bmp", inside, "pixel data at byte 20 lies inside the headers (54 bytes)"},
  };
  TEXTURELOADID(write_temp_file("kept.bmp", solid_bmp(1, 1, 1, 2, 3)).c_str(), 9);
  LONGWORD kept = TEXTUREID2[9];
  ASSERT_NE(kept, 0u);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
  for (auto &f : files) {
    SCOPED_TRACE(f.name);
    std::string path = write_temp_file(f.name, f.bytes);
    testing::internal::CaptureStderr();
    TEXTURELOADID(path.c_str(), 0);
    TEXTURELOADID(path.c_str(), 9);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    EXPECT_NE(err.find("warning"), std::string::npos) << err;
    EXPECT_NE(err.find(path), std::string::npos) << err;
    EXPECT_NE(err.find(f.reason), std::string::npos) << err;
    EXPECT_EQ(TEXTUREID2[0], 0u);
    EXPECT_EQ(TEXTUREID2[9], kept);
    EXPECT_EQ(binding_2d(), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  }
  testing::internal::CaptureStderr();
  std::string missing = ::testing::TempDir() + "/no-such-texture.bmp";
  TEXTURELOADID(missing.c_str(), 0);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("no-such-texture.bmp"), std::string::npos) << err;
  EXPECT_NE(err.find("No such file"), std::string::npos) << err;
  EXPECT_EQ(TEXTUREID2[0], 0u);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(TextureTest, NonRegularFilesAreRefusedAtOnceNamingTheReason) {
  TEXTURELOADID(write_temp_file("kept.bmp", solid_bmp(1, 1, 1, 2, 3)).c_str(), 9);
  LONGWORD kept = TEXTUREID2[9];
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
  const std::string dir = make_directory("directory.bmp");
  ASSERT_TRUE(std::filesystem::is_directory(dir));
  std::string fifo = temp_path("fifo.bmp");
  struct row {
    std::string path, reason;
  } rows[] = {{dir, "is a directory"}, {fifo, "not a regular file"}};
  bool have_fifo = make_fifo(fifo);
  for (auto &r : rows) {
    SCOPED_TRACE(r.path);
    if (r.path == fifo && !have_fifo) continue; // no FIFOs on Windows itself
    testing::internal::CaptureStderr();
    // A load that opened the FIFO would wait for a writer that never comes.
    EXPECT_TRUE(returns_before_deadline(r.path, [&] {
      TEXTURELOADID(r.path.c_str(), 0);
      TEXTURELOADID(r.path.c_str(), 9);
    })) << "the load waited on the file";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "vantrel: warning: texture '" + r.path + "' not loaded into slot 0: " + r.reason +
                  "\nvantrel: warning: texture '" + r.path +
                  "' not loaded into slot 9: " + r.reason + "\n");
    EXPECT_EQ(TEXTUREID2[0], 0u);
    EXPECT_EQ(TEXTUREID2[9], kept);
    EXPECT_EQ(binding_2d(), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  }
}

// A 32-bit BMP header for W x H pixels (top-down when H is negative), its pixels all zero.
std::string header32(std::int32_t w, std::int32_t h) {
  bmp_layout l;
  l.width = w, l.height = h, l.bpp = 32;
  return make_bmp(l);
}

TEST_F(TextureTest, PicturesOpenGLCannotTakeAreRefusedFromTheHeaderBeforeAPixelIsRead) {
  const GLint max = get_int(GL_MAX_TEXTURE_SIZE);
  ASSERT_GE(max, 64);
  auto pixels = [](std::int64_t w, std::int64_t h) { return 54 + w * h * 4; };
  // Each about a gigabyte, but sparse: the rest of each file reads as zeros.
  struct row {
    std::string name;
    std::int32_t w, h;
  } too_large[] = {{"wide.bmp", max + 1, (1 << 28) / (max + 1)},
                   {"tall.bmp", 16, -(max + 1)},
                   {"both.bmp", max + 1, max + 1}};
  TEXTURELOADID(write_temp_file("kept.bmp", solid_bmp(1, 1, 1, 2, 3)).c_str(), 9);
  LONGWORD kept = TEXTUREID2[9];
  for (auto &r : too_large) {
    SCOPED_TRACE(r.name);
    std::string path = write_temp_file(r.name, "");
    std::int64_t h = r.h < 0 ? -std::int64_t(r.h) : r.h;
    ASSERT_TRUE(write_sparse_file(path, header32(r.w, r.h), pixels(r.w, h)));
    reset_peak_memory();
    std::int64_t before = peak_memory();
    testing::internal::CaptureStderr();
    TEXTURELOADID(path.c_str(), 9);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("'" + path + "' not loaded into slot 9: its " + std::to_string(r.w) + " x " +
                       std::to_string(h) +
                       " pixels exceed the largest texture OpenGL takes here, " +
                       std::to_string(max) + " pixels a side"),
              std::string::npos)
        << err;
    EXPECT_EQ(TEXTUREID2[9], kept);
    EXPECT_LT(peak_memory() - before, 32 << 20) << "the refusal read the pixels";
  }

  // Exactly 1 GiB: 16384 x 16383 pixels of 32 bits. The loader reads it into one 24-bit copy of
  // its pixels; OpenGL then takes it if its sides fit.
  std::string big = write_temp_file("gigabyte.bmp", "");
  ASSERT_TRUE(write_sparse_file(big, header32(16384, 16383), pixels(16384, 16383)));
  ASSERT_EQ(std::filesystem::file_size(big), 1073676342u);
  reset_peak_memory();
  std::int64_t before = peak_memory();
  THANDLE bitmap = platform::LoadImageA(0, big.c_str(), IMAGE_BITMAP, 0, 0,
                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  ASSERT_NE(bitmap, 0u) << platform::LastErrorText();
  const std::int64_t copy = std::int64_t(16384) * 3 * 16383;
  // A quarter more for the sanitizers' bookkeeping, which shadows every allocation.
  EXPECT_LT(peak_memory() - before, copy + copy / 4) << "more than one copy of the pixels";
  platform::DeleteObject(bitmap);
  testing::internal::CaptureStderr();
  TEXTURELOADID(big.c_str(), 9);
  std::string err = testing::internal::GetCapturedStderr();
  if (max >= 16384) {
    EXPECT_EQ(err, "");
    EXPECT_NE(TEXTUREID2[9], kept);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, 16384);
    EXPECT_EQ(h, 16383);
    glDeleteTextures(1, &TEXTUREID2[9]);
  } else {
    EXPECT_NE(err.find("exceed the largest texture OpenGL takes"), std::string::npos) << err;
    EXPECT_EQ(TEXTUREID2[9], kept);
  }
}

TEST_F(TextureTest, LoadSetsUnpackStateAndLinearRepeatParameters) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 2);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 3);
  TEXTURELOADID(write_temp_file("p.bmp", solid_bmp(2, 2, 9, 8, 7)).c_str(), 0);
  GLint v;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &v);
  EXPECT_EQ(v, 4);
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &v);
  EXPECT_EQ(v, 0);
  glGetIntegerv(GL_UNPACK_SKIP_ROWS, &v);
  EXPECT_EQ(v, 0);
  glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &v);
  EXPECT_EQ(v, 0);
  for (auto [name, want] : {std::pair{GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                            {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                            {GL_TEXTURE_WRAP_S, GL_REPEAT},
                            {GL_TEXTURE_WRAP_T, GL_REPEAT}}) {
    glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
    EXPECT_EQ(v, want) << name;
  }
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &v);
  EXPECT_TRUE(v == GL_RGB || v == 3) << v;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &v);
  EXPECT_EQ(v, 0) << "no mipmaps";
  GLint env;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  EXPECT_EQ(env, GL_MODULATE);
  EXPECT_EQ(bound_texture().rgb, Bytes({7, 8, 9, 7, 8, 9, 7, 8, 9, 7, 8, 9}));
}

TEST(BmpReader, KeepsEveryReadInsideTheFile) {
  // Every prefix of a valid file is refused with a reason, never read past.
  bmp_layout l;
  l.width = 3, l.height = 2, l.bpp = 8, l.colors_used = 2;
  l.palette = bytes({1, 2, 3, 0, 4, 5, 6, 0});
  l.pixels = padded_rows({bytes({0, 1, 0}), bytes({1, 1, 0})});
  std::string file = make_bmp(l);
  // The first part a prefix cuts short names the reason: a colour table cut short is refused
  // as such, before any entry past the end is read.
  auto reason = [](std::size_t n) {
    return n < 2    ? "not a BMP"
           : n < 54 ? "truncated header"
           : n < 62 ? "truncated colour table"
                    : "pixel data truncated";
  };
  for (std::size_t n = 0; n < file.size(); n++) {
    std::vector<std::uint8_t> prefix(file.begin(), file.begin() + n);
    common::dib_image img;
    std::string why;
    EXPECT_FALSE(common::decode_bmp(prefix.data(), prefix.size(), img, why)) << n;
    EXPECT_EQ(why.rfind(reason(n), 0), 0u) << n << ": " << why;
  }
  common::dib_image img;
  std::string why;
  std::vector<std::uint8_t> all(file.begin(), file.end());
  ASSERT_TRUE(common::decode_bmp(all.data(), all.size(), img, why)) << why;
  // The picture keeps its indices, four bytes a row, and the table in file order.
  EXPECT_EQ(img.bpp, 8);
  EXPECT_EQ(img.bits.size(), common::dib_stride(3, 8) * 2);
  EXPECT_EQ(img.bits[1], 1);
  ASSERT_EQ(img.colors.size(), 2u);
  EXPECT_EQ(img.colors[1].rgbBlue, 4) << "index 1 is the second entry";

  // 32-bit rows are read in blocks of rows: a top-down file wider than a block's row count
  // times four lands every pixel, and the filler after it, in its bottom-up place.
  l = {};
  l.width = 20001, l.height = -30, l.bpp = 32;
  auto byte_at = [](std::size_t x, std::size_t y, int k) {
    return std::uint8_t(x * 7 + y * 3 + k);
  };
  for (std::size_t y = 0; y < 30; y++)
    for (std::size_t x = 0; x < 20001; x++)
      l.pixels += {char(byte_at(x, y, 0)), char(byte_at(x, y, 1)), char(byte_at(x, y, 2)), '\x55'};
  file = make_bmp(l);
  all.assign(file.begin(), file.end());
  ASSERT_TRUE(common::decode_bmp(all.data(), all.size(), img, why)) << why;
  const std::size_t stride = common::dib_stride(20001, 24);
  ASSERT_EQ(img.bits.size(), stride * 30);
  std::size_t wrong = 0;
  for (std::size_t y = 0; y < 30; y++) {
    const std::uint8_t *row = img.bits.data() + stride * (29 - y);
    for (std::size_t x = 0; x < 20001; x++)
      for (int k = 0; k < 3; k++)
        wrong += row[x * 3 + k] != byte_at(x, y, k);
    wrong += row[stride - 1] != 0;
  }
  EXPECT_EQ(wrong, 0u);
}

} // namespace
} // namespace vantrel::test
