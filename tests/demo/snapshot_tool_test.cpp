// vantrel_snapshot as a user runs it: the size and view options, and the refusals.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct run_result {
  int code = -1;
  std::string err;
};

class SnapshotToolTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vantrel-snapshot-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  // Runs the tool with ARGS in the demo's assets.
  run_result run(const std::string &args) {
    fs::path err = dir_ / "stderr";
    std::string command = "cd '" VANTREL_DEMO_ASSETS "' && '" VANTREL_SNAPSHOT "' " + args +
                          " >/dev/null 2>'" + err.string() + "'";
    int status = std::system(command.c_str());
    run_result r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE *f = std::fopen(err.c_str(), "r")) {
      char buffer[4096];
      r.err.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
      std::fclose(f);
    }
    return r;
  }
  // The picture in FILE as RGB bytes, and its size.
  static std::vector<unsigned char> read(const fs::path &file, int &w, int &h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> rgb;
    w = h = 0;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return rgb;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    w = int(image.width), h = int(image.height);
    return rgb;
  }
  fs::path dir_;
};

// The size option sets the picture's size; each view option changes the picture, and a view
// of zeros is the plain one.
TEST_F(SnapshotToolTest, SizeAndViewOptionsShapeThePicture) {
  int w, h;
  ASSERT_EQ(run("'" + (dir_ / "default.png").string() + "'").code, 0);
  read(dir_ / "default.png", w, h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);

  ASSERT_EQ(run("--size 320x200 '" + (dir_ / "plain.png").string() + "'").code, 0);
  const auto plain = read(dir_ / "plain.png", w, h);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 200);
  ASSERT_EQ(
      run("--size 320x200 --turn 0 --tilt 0 --distance 0 '" + (dir_ / "zeros.png").string() + "'")
          .code,
      0);
  EXPECT_EQ(read(dir_ / "zeros.png", w, h), plain);
  for (const char *view : {"--turn 30", "--tilt 20", "--distance 15", "--distance -5.5"}) {
    SCOPED_TRACE(view);
    fs::path file = dir_ / "view.png";
    ASSERT_EQ(run(std::string("--size 320x200 ") + view + " '" + file.string() + "'").code, 0);
    const auto turned = read(file, w, h);
    ASSERT_EQ(turned.size(), plain.size());
    std::size_t differ = 0;
    for (std::size_t i = 0; i < plain.size(); i++)
      differ += turned[i] != plain[i];
    EXPECT_GT(differ, plain.size() / 20);
  }
}

// Anything the tool cannot take is refused before a window is made: the usage on stderr and
// exit code 2, no picture written.
TEST_F(SnapshotToolTest, BadOptionsGetTheUsageAndExitCodeTwo) {
  const char *bad[] = {"--size",          "--size 0x100",     "--size 100",      "--size 100x",
                       "--size 9000x100", "--size -5x100",    "--size 10x10x10", "--turn",
                       "--turn north",    "--tilt 1e999",     "--distance nan",  "--bogus",
                       "a.png b.png",     "--size 100x100 -x"};
  for (const char *args : bad) {
    SCOPED_TRACE(args);
    run_result r = run(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("usage: vantrel_snapshot"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(fs::path(VANTREL_DEMO_ASSETS) / "a.png"));
  EXPECT_FALSE(fs::exists(fs::path(VANTREL_DEMO_ASSETS) / "b.png"));
}

} // namespace
