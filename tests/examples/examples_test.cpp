// The examples as a user sees them: each is run headless with --snapshot in the folder
// that holds the examples' files, and its PNG is read back and checked for what the example is
// about (colours the example sets, shapes it must show), not only for not being blank.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct picture {
  int w = 0, h = 0;
  std::vector<std::uint8_t> rgb;
  std::uint32_t at(int x, int y) const {
    const std::uint8_t *p = &rgb[(std::size_t(y) * w + x) * 3];
    return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
  }
};

int channel(std::uint32_t c, int shift) { return int(c >> shift & 0xFF); }
int distance(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int shift : {16, 8, 0})
    d = std::max(d, std::abs(channel(a, shift) - channel(b, shift)));
  return d;
}
bool near(std::uint32_t a, std::uint32_t b, int tolerance = 2) {
  return distance(a, b) <= tolerance;
}
// A colour scaled as the shade ramp scales it (modulate, 8 bits a channel).
std::uint32_t scaled(std::uint32_t c, double f) {
  std::uint32_t out = 0;
  for (int shift : {16, 8, 0})
    out |= std::uint32_t(channel(c, shift) * f + 0.5) << shift;
  return out;
}

struct box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1, count = 0;
  double cx = 0, cy = 0; // centre of mass
};
// Where the pixels that MATCH lie inside the rectangle [X0, X1) x [Y0, Y1).
box find(const picture &p, int x0, int y0, int x1, int y1,
         const std::function<bool(std::uint32_t)> &match) {
  box b;
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++)
      if (match(p.at(x, y))) {
        b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
        b.x1 = std::max(b.x1, x + 1), b.y1 = std::max(b.y1, y + 1);
        b.cx += x, b.cy += y, b.count++;
      }
  if (b.count) b.cx /= b.count, b.cy /= b.count;
  return b;
}
box find(const picture &p, const std::function<bool(std::uint32_t)> &match) {
  return find(p, 0, 0, p.w, p.h, match);
}
auto is(std::uint32_t colour, int tolerance = 2) {
  return [=](std::uint32_t c) { return near(c, colour, tolerance); };
}

class ExamplesTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    out_ = fs::temp_directory_path() / ("vantrel-examples-" + std::to_string(::getpid()));
    fs::create_directories(out_);
  }
  static void TearDownTestSuite() { fs::remove_all(out_); }

  // Runs PROGRAM with ARGS (and the variables ENV) in the examples' folder, on the headless
  // platform; its exit code.
  static int run(const std::string &program, const std::string &args, const std::string &env = "") {
    std::string command = "cd '" VANTREL_EXAMPLES_DIR "' && VANTREL_PLATFORM=headless " + env +
                          " './" + program + "' " + args + " >/dev/null 2>'" +
                          (out_ / (program + ".err")).string() + "'";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The picture example NAME writes headless: the window's client area. With FRAMES, the
  // program is run unchanged, without its option, and the environment ends it after that many
  // frames and writes the last.
  static picture client_snapshot(const std::string &name, int frames = 0) {
    fs::path file = out_ / (name + std::to_string(frames) + ".png");
    if (frames)
      EXPECT_EQ(run(name, "",
                    "VANTREL_FRAMES=" + std::to_string(frames) + " VANTREL_SNAPSHOT='" +
                        file.string() + "'"),
                0)
          << name;
    else
      EXPECT_EQ(run(name, "--snapshot '" + file.string() + "'"), 0) << name;
    picture p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) {
      ADD_FAILURE() << "no readable PNG from " << name << ": " << image.message;
      return p;
    }
    image.format = PNG_FORMAT_RGB;
    p.w = int(image.width), p.h = int(image.height);
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr)) p = picture{};
    return p;
  }
  // The example's picture in the coordinates of its viewport: a captioned window's client area
  // is its outer size less Win32's frame (3 pixels a side, 22 above), and the viewport of the
  // outer size sits on the client's bottom-left corner, so the client shows all of it but the
  // frame's share above and on the right. Those rows and columns come back as PADDING.
  static constexpr std::uint32_t PADDING = 0x010203;
  static picture snapshot(const std::string &name) {
    picture client = client_snapshot(name), p = client;
    if (name == "palette_region" || client.w == 0) return client; // a frameless pop-up
    p.w = client.w + 6, p.h = client.h + 25;
    p.rgb.assign(std::size_t(p.w) * p.h * 3, 0);
    for (int y = 0; y < p.h; y++)
      for (int x = 0; x < p.w; x++) {
        std::uint32_t c = y >= 25 && x < client.w ? client.at(x, y - 25) : PADDING;
        for (int k = 0; k < 3; k++)
          p.rgb[(std::size_t(y) * p.w + x) * 3 + k] = std::uint8_t(c >> (16 - 8 * k));
      }
    return p;
  }
  static fs::path out_;
};
fs::path ExamplesTest::out_;

// Every example draws a picture of its window's client area with more than a handful of
// colours, and none is left with the magenta that picture regions cut away.
TEST_F(ExamplesTest, EveryPictureHasItsSizeAndIsNotBlank) {
  const std::map<std::string, std::pair<int, int>> sizes = {
      {"navigation", {634, 455}},
      {"cartoon", {634, 455}},
      {"textures", {634, 455}},
      {"lights_fog", {634, 455}},
      {"outline_text", {634, 455}},
      {"palette_region", {160, 160}},
      {"picture_buttons", {474, 295}},
      {"headless", {634, 335}},
      {"menus", {634, 436}}}; // the menu bar takes SM_CYMENU (19) from the client area
  for (const auto &[name, size] : sizes) {
    SCOPED_TRACE(name);
    picture p = client_snapshot(name);
    ASSERT_EQ(p.w, size.first);
    ASSERT_EQ(p.h, size.second);
    std::map<std::uint32_t, int> colours;
    for (int y = 0; y < p.h; y++)
      for (int x = 0; x < p.w; x++)
        colours[p.at(x, y)]++;
    EXPECT_GE(colours.size(), 5u);
    EXPECT_EQ(colours.count(0xFF00FF), 0u);
  }
}

// The cartoon effect: each body in the upper row is one flat colour, the one given before
// FX_CARTOON, with black outline pixels around it; under the shade ramp (lower row) the same
// colour falls into the ramp's bands, 0.35, 0.7 and 1.0 of it.
TEST_F(ExamplesTest, CartoonBodiesAreFlatAboveAndBandedBelow) {
  picture p = snapshot("cartoon");
  ASSERT_EQ(p.w, 640);
  const std::uint32_t colours[4] = {0xCC3333, 0xE6B21A, 0x33B24C, 0x3366D9};
  for (int i = 0; i < 4; i++) {
    SCOPED_TRACE(i);
    const int x0 = i * 160, x1 = x0 + 160;
    box top = find(p, x0, 0, x1, 240, is(colours[i]));
    EXPECT_GT(top.count, 3000);
    EXPECT_GT(find(p, x0, 0, x1, 240, is(0x000000, 8)).count, 300); // the outline
    EXPECT_EQ(find(p, x0, 0, x1, 240, is(scaled(colours[i], 0.35), 3)).count, 0);
    int bands = 0;
    for (double f : {0.35, 0.7, 1.0})
      bands += find(p, x0, 240, x1, 480, is(scaled(colours[i], f), 3)).count > 150;
    EXPECT_GE(bands, 2);
    EXPECT_GT(find(p, x0, 240, x1, 480, is(0x000000, 8)).count, 300);
  }
  EXPECT_TRUE(near(p.at(5, 30), 0xEDEBE0)); // the clear colour of OPENGL_INIT
}

// The navigation modes: four panes show the axis marker, each with its red, green and blue bar,
// and the same angles put the bars in four different places.
TEST_F(ExamplesTest, NavigationModesTurnTheMarkerFourWays) {
  picture p = snapshot("navigation");
  ASSERT_EQ(p.w, 640);
  const std::uint32_t bars[3] = {0xD92626, 0x26B333, 0x264DE6};
  // Where each pane shows its three bars, relative to the pane.
  std::vector<std::vector<double>> places(4);
  for (int i = 0; i < 4; i++) {
    SCOPED_TRACE(i);
    const int x0 = i % 2 * 320, y0 = i / 2 * 240;
    for (std::uint32_t bar : bars) {
      box b = find(p, x0, y0, x0 + 320, y0 + 240, is(bar, 3));
      EXPECT_GT(b.count, 50);
      places[i].push_back(b.cx - x0);
      places[i].push_back(b.cy - y0);
    }
    EXPECT_TRUE(near(p.at(x0, y0 + 120), 0x808080)); // the pane's left edge
  }
  for (int a = 0; a < 4; a++)
    for (int b = a + 1; b < 4; b++) {
      double apart = 0;
      for (std::size_t k = 0; k < places[a].size(); k++)
        apart += std::abs(places[a][k] - places[b][k]);
      EXPECT_GT(apart, 30) << "modes " << a << " and " << b << " show the marker alike";
    }
}

// Textures: the left box shows the red and white checker, the middle one blue and yellow
// stripes, the right one green tiles with dark joints; the plinth below is plain grey.
TEST_F(ExamplesTest, TexturesShowTheirPicturesOnTheirBoxes) {
  picture p = snapshot("textures");
  ASSERT_EQ(p.w, 640);
  auto red = [](std::uint32_t c) { return channel(c, 16) > 2 * channel(c, 8) + 20; };
  auto light = [](std::uint32_t c) { // white under grey light: every channel alike and high
    int r = channel(c, 16), g = channel(c, 8), b = channel(c, 0);
    return std::min({r, g, b}) > 140 && std::max({r, g, b}) - std::min({r, g, b}) < 16;
  };
  auto blue = [](std::uint32_t c) { return channel(c, 0) > channel(c, 16) + 60; };
  auto yellow = [](std::uint32_t c) { return channel(c, 8) > channel(c, 0) + 60; };
  auto green = [](std::uint32_t c) {
    return channel(c, 8) > channel(c, 16) + 40 && channel(c, 8) > channel(c, 0) + 20;
  };
  auto dark_green = [](std::uint32_t c) { // the joints between the tiles
    return channel(c, 8) > channel(c, 16) + 15 && channel(c, 8) > channel(c, 0) + 15 &&
           channel(c, 8) < 80;
  };
  EXPECT_GT(find(p, 100, 180, 240, 320, red).count, 1500);
  EXPECT_GT(find(p, 100, 180, 240, 320, light).count, 1500);
  EXPECT_GT(find(p, 260, 180, 380, 300, blue).count, 1500);
  EXPECT_GT(find(p, 260, 180, 380, 300, yellow).count, 1500);
  EXPECT_GT(find(p, 400, 180, 540, 320, green).count, 3000);
  EXPECT_GT(find(p, 400, 180, 540, 320, dark_green).count, 200);
  // Neither texture leaks onto the other boxes, and the plinth is untextured grey.
  EXPECT_EQ(find(p, 260, 180, 380, 300, red).count, 0);
  EXPECT_EQ(find(p, 100, 180, 240, 320, blue).count, 0);
  std::uint32_t plinth = p.at(320, 320);
  EXPECT_TRUE(channel(plinth, 16) == channel(plinth, 8) && channel(plinth, 8) == channel(plinth, 0))
      << std::hex << plinth;
}

// Lights and fog: the sky is the fog colour; the nearest column keeps its lit orange, a far one
// has faded almost into the fog.
TEST_F(ExamplesTest, FogFadesTheFarColumns) {
  picture p = snapshot("lights_fog");
  ASSERT_EQ(p.w, 640);
  const std::uint32_t fog = 0xB2BFD1;
  EXPECT_TRUE(near(p.at(300, 40), fog));
  std::uint32_t nearest = p.at(180, 200), far = p.at(280, 150);
  EXPECT_GT(distance(nearest, fog), 90);
  EXPECT_GT(channel(nearest, 16), channel(nearest, 0) + 60); // orange
  EXPECT_LT(distance(far, fog), 40);
  EXPECT_GT(distance(far, fog), 3); // drawn, not sky
  // Lit: the column's two sides differ, the light falls on one of them.
  box column = find(p, 140, 40, 240, 300,
                    [](std::uint32_t c) { return channel(c, 16) > channel(c, 0) + 60; });
  ASSERT_GT(column.count, 5000);
  int brightest = 0, darkest = 255;
  for (int x = column.x0 + 2; x < column.x1 - 2; x++) {
    brightest = std::max(brightest, channel(p.at(x, 150), 16));
    darkest = std::min(darkest, channel(p.at(x, 150), 16));
  }
  EXPECT_GT(brightest - darkest, 20);
}

// Outline text: the flat line is drawn in its colour and centred by the glyph metrics; the
// extruded line below is lit blue with a black outline.
TEST_F(ExamplesTest, OutlineTextIsCentredByItsMetricsAndExtrudedBelow) {
  picture p = snapshot("outline_text");
  ASSERT_EQ(p.w, 640);
  box flat = find(p, 0, 0, 640, 240, is(0xFFD94C));
  EXPECT_GT(flat.count, 8000);
  EXPECT_LE(std::abs(flat.x0 + flat.x1 - 640), 3) << flat.x0 << " .. " << flat.x1;
  EXPECT_LE(std::abs(flat.y0 + flat.y1 - 2 * 125), 3) << flat.y0 << " .. " << flat.y1;
  EXPECT_GT(flat.x1 - flat.x0, 400);
  EXPECT_LT(flat.y1 - flat.y0, 110);
  box lit = find(p, 0, 240, 640, 480, [](std::uint32_t c) {
    return channel(c, 0) > channel(c, 16) + 60 && channel(c, 8) > 120;
  });
  EXPECT_GT(lit.count, 5000);
  EXPECT_GT(find(p, 0, 240, 640, 480, is(0x000000, 10)).count, 500);
  EXPECT_TRUE(near(p.at(5, 30), 0x1F294C)); // the clear colour
}

// A window shaped by a palette picture: inside it the picture's own colour-table colours,
// exactly; outside the badge nothing of the window (black), and no magenta anywhere.
TEST_F(ExamplesTest, ShapedWindowShowsThePaletteColoursInsideItsRegion) {
  picture p = snapshot("palette_region");
  ASSERT_EQ(p.w, 160);
  EXPECT_EQ(p.at(80, 80), 0xC03030u); // the star
  EXPECT_EQ(p.at(80, 20), 0x2070D0u); // the disc
  EXPECT_EQ(p.at(80, 12), 0xF0C020u); // the gold ring
  EXPECT_EQ(p.at(80, 4), 0x202060u);  // the dark rim
  for (auto [x, y] : {std::pair{0, 0}, {159, 0}, {0, 159}, {159, 159}, {12, 12}})
    EXPECT_EQ(p.at(x, y), 0u) << x << "," << y;
  // The region is the disc of radius 78 about the centre: every pixel inside it is drawn.
  box drawn = find(p, [](std::uint32_t c) { return c != 0; });
  EXPECT_EQ(drawn.x0, 2);
  EXPECT_EQ(drawn.x1, 158);
  EXPECT_NEAR(drawn.count, 3.14159 * 78 * 78, 300);
}

// Picture buttons: PLAY (a green disc with a light arrow) and STOP (a red diamond with a light
// square) show their normal pictures, each cut to its shape.
TEST_F(ExamplesTest, PictureButtonsShowTheirNormalPicturesInTheirShapes) {
  picture p = snapshot("picture_buttons");
  ASSERT_EQ(p.w, 480);
  box disc = find(p, is(0x2E8B3A, 0)), arrow = find(p, is(0xE8F4E8, 0));
  box diamond = find(p, is(0xB22222, 0)), square = find(p, is(0xF4E8E8, 0));
  EXPECT_EQ(disc.x1 - disc.x0, 44); // a disc of radius 22
  EXPECT_EQ(disc.y1 - disc.y0, 44);
  EXPECT_EQ(diamond.x1 - diamond.x0, 90); // a diamond 92 x 46 across its points
  EXPECT_EQ(diamond.y1 - diamond.y0, 46);
  EXPECT_GT(arrow.count, 100);
  EXPECT_GT(square.count, 150);
  EXPECT_TRUE(arrow.x0 > disc.x0 && arrow.x1 < disc.x1 && arrow.y0 > disc.y0 && arrow.y1 < disc.y1);
  EXPECT_TRUE(square.x0 > diamond.x0 && square.x1 < diamond.x1);
  EXPECT_LT(disc.x1, diamond.x0); // PLAY left of STOP
}

// Rendering without a window: the fog-coloured background, the outlined orange torus and blue
// box of the headless example.
TEST_F(ExamplesTest, HeadlessExampleDrawsItsSolidsInFog) {
  picture p = snapshot("headless");
  ASSERT_EQ(p.w, 640);
  EXPECT_TRUE(near(p.at(5, 30), 0x8CA6CC));
  box orange = find(p, 0, 0, 320, 360, [](std::uint32_t c) {
    return channel(c, 16) > 200 && channel(c, 8) > 100 && channel(c, 0) < 100;
  });
  box blue = find(p, 320, 0, 640, 360,
                  [](std::uint32_t c) { return channel(c, 0) > 200 && channel(c, 16) < 120; });
  EXPECT_GT(orange.count, 8000);
  EXPECT_GT(blue.count, 8000);
  EXPECT_GT(find(p, is(0x000000, 40)).count, 800); // outlines, fogged a little
}

// Any program that swaps buffers ends by itself after VANTREL_FRAMES frames, through its
// window's close, and writes its last frame: after one, the picture its --snapshot option
// writes of its first frame; after three, the third, of the same size (some examples move).
TEST_F(ExamplesTest, FramesFromTheEnvironmentEndTheProgramAndWriteItsLastFrame) {
  for (const char *name : {"cartoon", "navigation", "textures", "lights_fog", "outline_text"}) {
    SCOPED_TRACE(name);
    picture by_option = client_snapshot(name), by_environment = client_snapshot(name, 1),
            third = client_snapshot(name, 3);
    EXPECT_GT(by_option.w, 0);
    EXPECT_EQ(third.w * third.h, by_option.w * by_option.h);
    EXPECT_EQ(by_environment.w, by_option.w);
    EXPECT_EQ(by_environment.h, by_option.h);
    EXPECT_TRUE(by_environment.rgb == by_option.rgb);
  }
}

// The snapshot option: headless there is no screen, so it is needed; anything else on the
// command line is refused with a usage line and exit code 2.
TEST_F(ExamplesTest, HeadlessRunsRefuseToStartWithoutASnapshotFile) {
  for (const char *args : {"", "--snapshot", "--size 10x10", "--snapshot a.png extra"}) {
    SCOPED_TRACE(args);
    EXPECT_EQ(run("cartoon", args), 2);
    EXPECT_NE(fs::file_size(out_ / "cartoon.err"), 0u);
  }
  EXPECT_EQ(run("palette_region", "--snapshot /nonexistent-folder/x.png"), 1);
}

} // namespace
