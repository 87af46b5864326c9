// The outline font built from a real face, its lists read back under transform feedback.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/support/gl_fixture.h"
#include "vantrel/render/outline_text.h"

namespace vantrel::test {
namespace {

class OutlineTextTest : public GLTest {};
class OutlineTextDeathTest : public GLTest {};

using prims = std::vector<fb_primitive>;

prims draw_list(LONGWORD list) {
  return capture_triangles([list] { glCallList(list); });
}

struct bounds {
  float minx = 1e9f, miny = 1e9f, minz = 1e9f, maxx = -1e9f, maxy = -1e9f, maxz = -1e9f;
  size_t vertices = 0;
};
bounds bounds_of(const prims &p) {
  bounds b;
  for (auto &q : p)
    for (auto &v : q.v) {
      b.minx = std::min(b.minx, v.x), b.maxx = std::max(b.maxx, v.x);
      b.miny = std::min(b.miny, v.y), b.maxy = std::max(b.maxy, v.y);
      b.minz = std::min(b.minz, v.z), b.maxz = std::max(b.maxz, v.z);
      b.vertices++;
    }
  return b;
}

// Whether any face triangle in the plane z = 0 covers the point. Tessellators may leave
// zero-area triangles in their strips; those cover nothing.
bool covered(const prims &p, float x, float y) {
  for (auto &q : p) {
    if (q.token != GL_POLYGON_TOKEN || q.v.size() != 3) continue;
    if (std::fabs(q.v[0].z) > 1e-4f || std::fabs(q.v[1].z) > 1e-4f) continue;
    const fb_vertex &a = q.v[0], &b = q.v[1], &c = q.v[2];
    if (std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) < 1e-8f) continue;
    float d[3];
    for (int i = 0; i < 3; i++) {
      auto &a = q.v[i], &b = q.v[(i + 1) % 3];
      d[i] = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
    }
    if ((d[0] >= 0 && d[1] >= 0 && d[2] >= 0) || (d[0] <= 0 && d[1] <= 0 && d[2] <= 0)) return true;
  }
  return false;
}

TEST_F(OutlineTextTest, FlatFontDrawsLettersWithHolesAndMetrics) {
  INITTEXT(0.0f, 0, 0, 0);
  ASSERT_NE(BASE, 0u);
  prims a = draw_list(BASE + 65);
  ASSERT_FALSE(a.empty());
  bounds b = bounds_of(a); // the capture itself fails on anything but triangles
  EXPECT_LT(b.maxy - b.miny, 1.0f) << "the em square measures 1.0";
  EXPECT_GT(b.maxy - b.miny, 0.5f);
  EXPECT_NEAR(b.miny, 0, 0.01f) << "A stands on the baseline";
  EXPECT_EQ(b.maxz, 0);
  EXPECT_EQ(b.minz, 0);

  // The counter of the A, above the bar, stays open; its legs are filled.
  const GLYPHMETRICSFLOAT &m = GMF[65];
  EXPECT_GT(m.gmfCellIncX, 0);
  EXPECT_EQ(m.gmfCellIncY, 0);
  // GDI measures the black box in whole font units (1/1024 em or finer) around the outline.
  const float unit = 1.0f / 1024;
  EXPECT_NEAR(m.gmfptGlyphOrigin.X, b.minx, unit);
  EXPECT_NEAR(m.gmfptGlyphOrigin.Y, b.maxy, unit);
  EXPECT_NEAR(m.gmfBlackBoxX, b.maxx - b.minx, unit);
  EXPECT_NEAR(m.gmfBlackBoxY, b.maxy - b.miny, unit);
  float cx = b.minx + m.gmfBlackBoxX / 2;
  EXPECT_FALSE(covered(a, cx, b.miny + 0.42f * m.gmfBlackBoxY)) << "the hole of the A";
  EXPECT_FALSE(covered(a, cx, b.miny + 0.05f)) << "between the legs";
  EXPECT_TRUE(covered(a, b.minx + 0.03f, b.miny + 0.02f)) << "left leg";
  EXPECT_TRUE(covered(a, b.maxx - 0.03f, b.miny + 0.02f)) << "right leg";
  EXPECT_TRUE(covered(a, cx, b.maxy - 0.02f)) << "apex";

  // The O keeps its hole under the non-zero rule too.
  prims o = draw_list(BASE + 'O');
  bounds ob = bounds_of(o);
  EXPECT_FALSE(covered(o, (ob.minx + ob.maxx) / 2, (ob.miny + ob.maxy) / 2));
  EXPECT_TRUE(covered(o, ob.minx + 0.02f, (ob.miny + ob.maxy) / 2));

  EXPECT_LT(GMF['i'].gmfCellIncX, GMF['W'].gmfCellIncX);
  EXPECT_LT(GMF['i'].gmfBlackBoxX, GMF['W'].gmfBlackBoxX);
  for (int k = 32; k < 255; k++) {
    const GLYPHMETRICSFLOAT &g = GMF[k];
    EXPECT_GE(g.gmfBlackBoxX, 0) << k;
    EXPECT_LT(g.gmfBlackBoxX, 1.5f) << k;
    EXPECT_LT(g.gmfBlackBoxY, 1.5f) << k;
    EXPECT_GT(g.gmfCellIncX, 0) << k;
    EXPECT_LT(g.gmfCellIncX, 1.5f) << k;
    EXPECT_GT(g.gmfptGlyphOrigin.Y, -0.5f) << k;
    EXPECT_LT(g.gmfptGlyphOrigin.Y, 1.3f) << k;
  }
  EXPECT_LE(GMF[' '].gmfBlackBoxX, unit) << "empty; GDI reports a box of one unit";

  EXPECT_TRUE(glIsList(BASE + 255)) << "reserved";
  EXPECT_TRUE(draw_list(BASE + 255).empty());
  EXPECT_EQ(GMF[255].gmfCellIncX, 0);
  EXPECT_EQ(GMF[255].gmfBlackBoxX, 0);
  EXPECT_EQ(GMF[255].gmfBlackBoxY, 0);
}

TEST_F(OutlineTextTest, StringsAdvanceAndHighCodesDrawTheirAccents) {
  INITTEXT(0.0f, 0, 0, 0);
  const char text[] = "AVi";
  prims s = capture_triangles([&] {
    glListBase(BASE);
    glCallLists(3, GL_UNSIGNED_BYTE, text);
    glListBase(0);
    glCallList(BASE + 'W'); // after the three letters: placed by their advances
  });
  prims w = draw_list(BASE + 'W');
  float sum = GMF['A'].gmfCellIncX + GMF['V'].gmfCellIncX + GMF['i'].gmfCellIncX;
  ASSERT_FALSE(w.empty());
  bounds last = bounds_of(prims(s.end() - w.size(), s.end()));
  EXPECT_NEAR(last.minx, bounds_of(w).minx + sum, 1e-3f);

  prims e = draw_list(BASE + 'e'), egrave = draw_list(BASE + 0xE8);
  EXPECT_GT(egrave.size(), e.size()) << "the grave adds geometry";
  EXPECT_GT(bounds_of(egrave).maxy, bounds_of(e).maxy + 0.1f);
  EXPECT_NEAR(GMF[0xE8].gmfCellIncX, GMF['e'].gmfCellIncX, 1e-4f);
  // 0x80 is the euro sign in the ANSI code page.
  EXPECT_FALSE(draw_list(BASE + 0x80).empty());
}

TEST_F(OutlineTextTest, DepthExtrudesWithBackFaceAndOutwardWalls) {
  INITTEXT(0.5f, 0, 0, 0);
  bounds b = bounds_of(draw_list(BASE + 'I'));
  EXPECT_NEAR(b.maxz, 0, 1e-4f);
  EXPECT_NEAR(b.minz, -0.5f, 1e-4f);
  // Turned 30 degrees about y, so that the stem's side walls are not seen edge-on.
  const float c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  auto turned = [&](bool normals) {
    return capture_triangles(
        [&] {
          glRotatef(30, 0, 1, 0);
          glCallList(BASE + 'I');
        },
        normals);
  };
  prims n = turned(true), pos = turned(false);
  ASSERT_EQ(n.size(), pos.size());
  float cx = (b.minx + b.maxx) / 2 * c - 0.25f * s, cy = (b.miny + b.maxy) / 2;
  int front = 0, back = 0, walls = 0, outward = 0;
  for (size_t i = 0; i < n.size(); i++) {
    const fb_vertex &v = n[i].v[0];
    float len = std::sqrt(v.s * v.s + v.t * v.t + v.p * v.p);
    ASSERT_GT(len, 0.1f);
    float nx = v.s / len, ny = v.t / len, nz = v.p / len;
    if (std::fabs(nx - s) < 0.05f && std::fabs(nz - c) < 0.05f)
      front++;
    else if (std::fabs(nx + s) < 0.05f && std::fabs(nz + c) < 0.05f)
      back++;
    else {
      walls++;
      float mx = 0, my = 0;
      for (auto &p : pos[i].v)
        mx += p.x / pos[i].v.size(), my += p.y / pos[i].v.size();
      if ((mx - cx) * nx + (my - cy) * ny > 0 && std::fabs(nz * c + nx * s) < 1e-3f) outward++;
    }
  }
  EXPECT_GT(front, 0);
  EXPECT_EQ(front, back);
  EXPECT_EQ(walls, 8) << "two triangles for each side of the stem";
  EXPECT_EQ(outward, walls) << "side walls lie along z and point away from the stem";
}

TEST_F(OutlineTextTest, EscapementTurnsTheGlyphsAndTheirAdvance) {
  INITTEXT(0.0f, 0, 0, 0);
  bounds up = bounds_of(draw_list(BASE + 'A'));
  float inc = GMF['A'].gmfCellIncX;
  DELETEGLTEXT();
  INITTEXT(0.0f, 900, 0, 0);
  bounds turned = bounds_of(draw_list(BASE + 'A'));
  EXPECT_NEAR(turned.maxx - turned.minx, up.maxy - up.miny, 1e-3f);
  EXPECT_NEAR(turned.maxy - turned.miny, up.maxx - up.minx, 1e-3f);
  EXPECT_NEAR(turned.miny, up.minx, 1e-3f);
  EXPECT_NEAR(turned.maxx, -up.miny, 1e-3f) << "turned counter-clockwise, feet to the right";
  EXPECT_NEAR(GMF['A'].gmfCellIncX, 0, 1e-5f);
  EXPECT_NEAR(GMF['A'].gmfCellIncY, inc, 1e-5f);
}

TEST_F(OutlineTextTest, UnderlineAndItalicKeepTheWeight) {
  INITTEXT(0.0f, 0, 0, 0);
  bounds plain = bounds_of(draw_list(BASE + 'o'));
  GLYPHMETRICSFLOAT o = GMF['o'];
  DELETEGLTEXT();
  INITTEXT(0.0f, 0, 0, 1);
  bounds under = bounds_of(draw_list(BASE + 'o'));
  EXPECT_NEAR(under.maxy, plain.maxy, 1e-4f) << "same bold face";
  EXPECT_NEAR(GMF['o'].gmfCellIncX, o.gmfCellIncX, 1e-5f);
  DELETEGLTEXT();
  INITTEXT(0.0f, 0, 1, 0);
  bounds slanted = bounds_of(draw_list(BASE + 'l'));
  EXPECT_GT(slanted.vertices, 0u);
  EXPECT_GT(GMF['l'].gmfBlackBoxX, 0.05f);
}

// The portable outlines draw the underline into every character, spaces included. GDI's glyph
// outlines carry no underline, so Windows builds its lists without one.
TEST_F(OutlineTextTest, PortableUnderlineRunsBelowTheBaselineAndUnderSpaces) {
  INITTEXT(0.0f, 0, 0, 0);
  bounds plain = bounds_of(draw_list(BASE + 'o'));
  EXPECT_TRUE(draw_list(BASE + ' ').empty());
  DELETEGLTEXT();
  INITTEXT(0.0f, 0, 0, 1);
  bounds under = bounds_of(draw_list(BASE + 'o'));
  EXPECT_LT(under.miny, plain.miny - 0.02f) << "the bar runs below the baseline";
  EXPECT_FALSE(draw_list(BASE + ' ').empty()) << "the underline runs under spaces too";
  // The bar crosses the stem of p: where the two contours overlap, the fill rule (non-zero
  // winding) keeps the crossing filled, where an even-odd rule would cut it out. Sampled along
  // the bar, just above its lower edge, from one end of the cell to the other.
  prims p = draw_list(BASE + 'p');
  float y = under.miny + 0.01f, advance = GMF['p'].gmfCellIncX;
  ASSERT_LT(bounds_of(p).miny, y - 0.05f) << "the stem reaches below the bar";
  std::vector<int> holes;
  for (int k = 1; k < 100; k++)
    if (!covered(p, advance * float(k) / 100, y)) holes.push_back(k);
  EXPECT_TRUE(holes.empty()) << "uncovered at " << ::testing::PrintToString(holes) << "%";
}

TEST_F(OutlineTextTest, DeleteFreesAllNames) {
  INITTEXT(0.0f, 0, 0, 0);
  LONGWORD base = BASE;
  for (LONGWORD k = 0; k < 256; k++)
    ASSERT_TRUE(glIsList(base + k)) << k;
  DELETEGLTEXT();
  for (LONGWORD k = 0; k < 256; k++)
    EXPECT_FALSE(glIsList(base + k)) << k;
}

TEST_F(OutlineTextDeathTest, NegativeFlagsAreRangeErrors) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
  EXPECT_EXIT(INITTEXT(0.0f, 0, -1, 0), ::testing::ExitedWithCode(201), "range");
  EXPECT_EXIT(INITTEXT(0.0f, 0, 0, -1), ::testing::ExitedWithCode(201), "range");
}

// A font mapper that knows no fonts: the lists stay empty and one line says why.
void build_without_fonts(const std::string &config) {
  setenv("FONTCONFIG_FILE", config.c_str(), 1);
  INITTEXT(0.0f, 0, 0, 0);
  int drawn = 0;
  for (LONGWORD k = 0; k < 256; k++)
    drawn += !draw_list(BASE + k).empty();
  std::exit(drawn == 0 && GMF['A'].gmfCellIncX == 0 && glIsList(BASE + 65) ? 0 : 1);
}

TEST_F(OutlineTextDeathTest, NoFontLeavesTheListsEmptyWithOneWarning) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
  std::string config = write_temp_file(
      "nofonts.conf",
      "<?xml version=\"1.0\"?>\n<fontconfig><dir>/nonexistent</dir></fontconfig>\n");
  EXPECT_EXIT(build_without_fonts(config), ::testing::ExitedWithCode(0),
              "^[^\n]*no scalable font found[^\n]*\n$");
}

} // namespace
} // namespace vantrel::test
