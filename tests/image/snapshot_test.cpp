// Pictures written as PNG: the writer read back by libpng byte for byte, and the OpenGL frame
// as glReadPixels sees it.
#include <png.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <unistd.h>

#include "tests/support/gl_fixture.h"
#include "tests/support/special_files.h"
#include "vantrel/image/snapshot.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

fs::path temp_png(const char *name) {
  return fs::temp_directory_path() /
         ("vantrel-snapshot-" + std::to_string(::getpid()) + "-" + name + ".png");
}

// The pixels of a PNG file as 0x00RRGGBB, top row first; empty when libpng refuses the file.
std::vector<std::uint32_t> read_png(const fs::path &file, int &w, int &h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  w = h = 0;
  if (!png_image_begin_read_from_file(&image, file.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  w = int(image.width), h = int(image.height);
  std::vector<std::uint32_t> out(std::size_t(w) * h);
  for (std::size_t i = 0; i < out.size(); i++)
    out[i] = std::uint32_t(rgb[i * 3]) << 16 | std::uint32_t(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
  return out;
}

// Pictures that reach every path of the writer: single pixels, rows of one colour longer than
// a deflate match (258), runs of exactly 3 and of 2 (too short for a match), noise (literals
// of every value), and rows that repeat the row above.
TEST(SavePngTest, WritesWhatLibpngReadsBackExactly) {
  std::mt19937 random(7);
  struct picture {
    const char *name;
    int w, h;
    std::function<std::uint32_t(int, int)> pixel;
  } pictures[] = {
      {"one", 1, 1, [](int, int) { return 0x123456u; }},
      {"wide", 1000, 3, [](int x, int) { return x < 700 ? 0xFF0000u : 0x00FF00u; }},
      {"runs", 11, 5, [](int x, int y) { return (x / 3 + y) % 2 ? 0x0000FFu : 0xFFFFFFu; }},
      {"pairs", 9, 4, [](int x, int) { return (x / 2) % 2 ? 0x010203u : 0xFEFDFCu; }},
      {"noise", 64, 64, [&](int, int) { return std::uint32_t(random()) & 0xFFFFFF; }},
      {"stripes", 5, 300, [](int x, int) { return 0x111111u * std::uint32_t(x); }},
      {"tall", 1, 16384, [](int, int y) { return std::uint32_t(y); }},
  };
  for (const auto &p : pictures) {
    SCOPED_TRACE(p.name);
    std::vector<std::uint32_t> pixels(std::size_t(p.w) * p.h);
    for (int y = 0; y < p.h; y++)
      for (int x = 0; x < p.w; x++)
        pixels[std::size_t(y) * p.w + x] = p.pixel(x, y);
    fs::path file = temp_png(p.name);
    ASSERT_TRUE(SAVEPNG(file.c_str(), p.w, p.h, pixels.data()));
    int w, h;
    EXPECT_EQ(read_png(file, w, h), pixels);
    EXPECT_EQ(w, p.w);
    EXPECT_EQ(h, p.h);
    fs::remove(file);
  }
}

// A size a PNG cannot have here, or a file that cannot be made, is refused with one warning,
// and nothing is left behind.
TEST(SavePngTest, RefusesBadSizesAndUnwritableFiles) {
  std::uint32_t pixel = 0;
  fs::path file = temp_png("refused");
  for (auto [w, h] : {std::pair{0, 1}, {1, 0}, {-1, 1}, {16385, 1}, {1, 16385}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(SAVEPNG(file.c_str(), w, h, &pixel));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("not written"), std::string::npos);
    EXPECT_FALSE(fs::exists(file));
  }
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SAVEPNG("/nonexistent-folder/x.png", 1, 1, &pixel));
  EXPECT_FALSE(SAVEPNG(nullptr, 1, 1, &pixel));
  EXPECT_FALSE(SAVEPNG(file.c_str(), 1, 1, nullptr));
  std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(warnings.find("/nonexistent-folder/x.png"), std::string::npos);

  // A FIFO or a directory in place of the file is refused at once: nothing waits for a reader,
  // and both stay what they were.
  fs::path fifo = temp_png("fifo"), folder = make_directory("folder.png");
  ASSERT_TRUE(make_fifo(fifo.string()));
  for (auto [other, why] : {std::pair{fifo, "not a regular file"}, {folder, "is a directory"}}) {
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(returns_before_deadline(
        fifo.string(), [&] { EXPECT_FALSE(SAVEPNG(other.c_str(), 1, 1, &pixel)); }));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(why), std::string::npos) << why;
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(fs::is_directory(folder));
  fs::remove(fifo);
}

class SnapshotFrameTest : public GLTest {};

// The frame file holds what glReadPixels reads from the window, the top row first, and the
// caller's pack alignment is left as it was.
TEST_F(SnapshotFrameTest, WritesTheDrawnFrameTopRowFirst) {
  glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, height_ - 10, 20, 10); // the top left corner, in OpenGL's bottom-up rows
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glPixelStorei(GL_PACK_ALIGNMENT, 8);
  fs::path file = temp_png("frame");
  ASSERT_TRUE(SNAPSHOTFRAME(file.c_str()));
  EXPECT_EQ(get_int(GL_PACK_ALIGNMENT), 8);
  int w, h;
  std::vector<std::uint32_t> pixels = read_png(file, w, h);
  fs::remove(file);
  ASSERT_EQ(w, width_);
  ASSERT_EQ(h, height_);
  EXPECT_EQ(pixels[0], 0xFF0000u);
  EXPECT_EQ(pixels[std::size_t(9) * w + 19], 0xFF0000u);
  EXPECT_EQ(pixels[std::size_t(10) * w + 19], 0x0000FFu);
  EXPECT_EQ(pixels[std::size_t(9) * w + 20], 0x0000FFu);
  EXPECT_EQ(pixels.back(), 0x0000FFu);

  // Without a main window and context there is no frame to write.
  ::testing::internal::CaptureStderr();
  RCWINDOW = 0;
  EXPECT_FALSE(SNAPSHOTFRAME(file.c_str()));
  EXPECT_FALSE(SNAPSHOTWINDOW(0, file.c_str()));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("not written"), std::string::npos);
  EXPECT_FALSE(fs::exists(file));
}

} // namespace
} // namespace vantrel::test
