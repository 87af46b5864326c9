// Outline fonts for the backends without GDI: fontconfig maps the logical font to a face,
// FreeType reads its outlines in font units, and the GLU tessellator fills them.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "vantrel/gl.h"
#include "vantrel/platform/common/gdi_objects.h"
#include "vantrel/platform/platform.h"

namespace vantrel::common {

namespace {

// A face as the font mapper chose it, opened once for the whole run.
struct mapped_face {
  FT_Face face = nullptr;
  double xx = 1, xy = 0, yx = 0, yy = 1; // synthetic slant asked for by the font mapper
  bool embolden = false;
};

FT_Library library = nullptr;
std::map<std::tuple<LONGINT, bool>, mapped_face> faces;
bool missing_font_reported = false;

// Unicode of the Windows-1252 codes 0x80..0x9F; the five unassigned ones keep their value.
constexpr uint16_t cp1252_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

FT_ULong to_unicode(LONGWORD code) {
  return code >= 0x80 && code <= 0x9F ? cp1252_high[code - 0x80] : code;
}

// The best scalable face for the request, or none.
mapped_face *map_font(const font_request &r) {
  auto key = std::make_tuple(r.weight, r.italic);
  auto it = faces.find(key);
  if (it != faces.end()) return it->second.face ? &it->second : nullptr;
  mapped_face &m = faces[key];
  if (!library && FT_Init_FreeType(&library)) return nullptr;

  FcPattern *p = FcPatternCreate();
  FcPatternAddInteger(p, FC_WEIGHT, FcWeightFromOpenType(r.weight > 0 ? r.weight : 400));
  FcPatternAddInteger(p, FC_SLANT, r.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(p, FC_OUTLINE, FcTrue);
  FcPatternAddBool(p, FC_SCALABLE, FcTrue);
  FcPatternAddString(p, FC_FONTFORMAT, reinterpret_cast<const FcChar8 *>("TrueType"));
  FcConfigSubstitute(nullptr, p, FcMatchPattern);
  FcDefaultSubstitute(p);
  FcResult result;
  // The sorted list lets a bitmap-only best match give way to the first outline face.
  FcFontSet *set = FcFontSort(nullptr, p, FcFalse, nullptr, &result);
  for (int i = 0; set && i < set->nfont && !m.face; i++) {
    FcBool outline = FcFalse;
    FcPatternGetBool(set->fonts[i], FC_OUTLINE, 0, &outline);
    if (!outline) continue;
    FcPattern *ready = FcFontRenderPrepare(nullptr, p, set->fonts[i]);
    FcChar8 *file = nullptr;
    int index = 0;
    if (ready && FcPatternGetString(ready, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(ready, FC_INDEX, 0, &index);
      FT_Face face = nullptr;
      if (!FT_New_Face(library, reinterpret_cast<const char *>(file), index, &face)) {
        if (FT_IS_SCALABLE(face) && face->units_per_EM > 0) {
          m.face = face;
          FcMatrix *mat = nullptr;
          if (FcPatternGetMatrix(ready, FC_MATRIX, 0, &mat) == FcResultMatch && mat)
            m.xx = mat->xx, m.xy = mat->xy, m.yx = mat->yx, m.yy = mat->yy;
          FcBool bold = FcFalse;
          FcPatternGetBool(ready, FC_EMBOLDEN, 0, &bold);
          m.embolden = bold;
        } else {
          FT_Done_Face(face);
        }
      }
    }
    if (ready) FcPatternDestroy(ready);
  }
  if (set) FcFontSetDestroy(set);
  FcPatternDestroy(p);
  return m.face ? &m : nullptr;
}

// One glyph on its way from outline to display list, in em units.
struct glyph_build {
  std::vector<std::vector<double>> contours; // x, y pairs, closed implicitly
  double tolerance = 1;                      // font units per chord, at most
  double x = 0, y = 0;                       // pen in font units
};

glyph_build *building = nullptr;

void add_point(double x, double y) {
  auto &c = building->contours.back();
  size_t n = c.size();
  if (n >= 2 && c[n - 2] == x && c[n - 1] == y) return;
  c.push_back(x);
  c.push_back(y);
}

// Chords enough that none strays more than the tolerance from the curve: a parabola's chord
// error over a parameter step h is at most h^2 |B''| / 8.
int chords_for(double second_difference) {
  double n = std::ceil(std::sqrt(second_difference / (8 * building->tolerance)));
  return n < 1 ? 1 : n > 256 ? 256 : int(n);
}

int move_to(const FT_Vector *to, void *) {
  building->contours.emplace_back();
  building->x = to->x, building->y = to->y;
  add_point(to->x, to->y);
  return 0;
}

int line_to(const FT_Vector *to, void *) {
  building->x = to->x, building->y = to->y;
  add_point(to->x, to->y);
  return 0;
}

int conic_to(const FT_Vector *c, const FT_Vector *to, void *) {
  double x0 = building->x, y0 = building->y;
  double dx = x0 - 2.0 * c->x + to->x, dy = y0 - 2.0 * c->y + to->y;
  int n = chords_for(2 * std::hypot(dx, dy));
  for (int i = 1; i <= n; i++) {
    double t = double(i) / n, u = 1 - t;
    add_point(u * u * x0 + 2 * u * t * c->x + t * t * to->x,
              u * u * y0 + 2 * u * t * c->y + t * t * to->y);
  }
  building->x = to->x, building->y = to->y;
  return 0;
}

int cubic_to(const FT_Vector *c1, const FT_Vector *c2, const FT_Vector *to, void *) {
  double x0 = building->x, y0 = building->y;
  double a = std::hypot(x0 - 2.0 * c1->x + c2->x, y0 - 2.0 * c1->y + c2->y);
  double b = std::hypot(c1->x - 2.0 * c2->x + to->x, c1->y - 2.0 * c2->y + to->y);
  int n = chords_for(6 * std::max(a, b));
  for (int i = 1; i <= n; i++) {
    double t = double(i) / n, u = 1 - t;
    double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
    add_point(w0 * x0 + w1 * c1->x + w2 * c2->x + w3 * to->x,
              w0 * y0 + w1 * c1->y + w2 * c2->y + w3 * to->y);
  }
  building->x = to->x, building->y = to->y;
  return 0;
}

// The tessellator's output: triangles only (the edge-flag callback forbids strips and fans).
std::vector<double> extra_points; // vertices the tessellator made at crossings
std::vector<float> triangles;
bool tess_failed = false;

void APIENTRY tess_begin(GLenum) {}
void APIENTRY tess_edge(GLboolean) {}
void APIENTRY tess_end() {}
void APIENTRY tess_error(GLenum) { tess_failed = true; }
void APIENTRY tess_vertex(void *data) {
  const double *p = static_cast<const double *>(data);
  triangles.push_back(float(p[0]));
  triangles.push_back(float(p[1]));
}
void APIENTRY tess_combine(GLdouble coords[3], void *[4], GLfloat[4], void **out) {
  // A fixed block keeps earlier vertices where the tessellator saw them.
  if (extra_points.size() + 3 > extra_points.capacity()) {
    tess_failed = true;
    *out = extra_points.data();
    return;
  }
  extra_points.push_back(coords[0]);
  extra_points.push_back(coords[1]);
  extra_points.push_back(0);
  *out = &extra_points[extra_points.size() - 3];
}

GLUtesselator *tessellator() {
  static GLUtesselator *tess = nullptr;
  if (!tess) {
    tess = gluNewTess();
    if (!tess) return nullptr;
    using cb = void(APIENTRY *)();
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<cb>(tess_begin));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG, reinterpret_cast<cb>(tess_edge));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<cb>(tess_end));
    gluTessCallback(tess, GLU_TESS_ERROR, reinterpret_cast<cb>(tess_error));
    gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<cb>(tess_vertex));
    gluTessCallback(tess, GLU_TESS_COMBINE, reinterpret_cast<cb>(tess_combine));
    gluTessNormal(tess, 0, 0, 1);
  }
  return tess;
}

// Points with a third zero coordinate, as the tessellator reads them.
std::vector<std::vector<double>> as_xyz(const std::vector<std::vector<double>> &contours) {
  std::vector<std::vector<double>> out(contours.size());
  for (size_t i = 0; i < contours.size(); i++)
    for (size_t k = 0; k + 1 < contours[i].size(); k += 2)
      out[i].insert(out[i].end(), {contours[i][k], contours[i][k + 1], 0.0});
  return out;
}

void tessellate(const std::vector<std::vector<double>> &contours, bool even_odd) {
  triangles.clear();
  GLUtesselator *tess = tessellator();
  if (!tess) return;
  std::vector<std::vector<double>> xyz = as_xyz(contours);
  size_t total = 0;
  for (auto &c : xyz)
    total += c.size();
  extra_points.clear();
  extra_points.reserve(3 * total + 3 * 1024);
  gluTessProperty(tess, GLU_TESS_WINDING_RULE,
                  even_odd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
  gluTessBeginPolygon(tess, nullptr);
  for (auto &c : xyz) {
    if (c.size() < 9) continue;
    gluTessBeginContour(tess);
    for (size_t k = 0; k < c.size(); k += 3)
      gluTessVertex(tess, &c[k], &c[k]);
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  // Every face triangle turns counter-clockwise about +z, whatever the contours did.
  for (size_t t = 0; t + 5 < triangles.size(); t += 6) {
    float *v = &triangles[t];
    if ((v[2] - v[0]) * (v[5] - v[1]) - (v[3] - v[1]) * (v[4] - v[0]) < 0) {
      std::swap(v[2], v[4]);
      std::swap(v[3], v[5]);
    }
  }
}

double signed_area(const std::vector<double> &c) {
  double a = 0;
  size_t n = c.size() / 2;
  for (size_t i = 0; i < n; i++) {
    size_t j = (i + 1) % n;
    a += c[2 * i] * c[2 * j + 1] - c[2 * j] * c[2 * i + 1];
  }
  return a / 2;
}

// A rectangle from X0 to X1 between Y0 and Y1, turning the way the glyph's outer contours do.
std::vector<double> bar(double x0, double x1, double y0, double y1, bool counter_clockwise) {
  if (counter_clockwise) return {x0, y0, x1, y0, x1, y1, x0, y1};
  return {x0, y0, x0, y1, x1, y1, x1, y0};
}

void emit(const std::vector<std::vector<double>> &contours, bool counter_clockwise, double depth,
          LONGINT format) {
  if (format == WGL_FONT_LINES) {
    for (double z : {0.0, -depth}) {
      for (auto &c : contours) {
        glBegin(GL_LINE_LOOP);
        for (size_t k = 0; k + 1 < c.size(); k += 2)
          glVertex3f(float(c[k]), float(c[k + 1]), z);
        glEnd();
      }
      if (!(depth > 0)) break;
    }
    return;
  }
  if (triangles.empty()) return;
  glBegin(GL_TRIANGLES);
  glNormal3f(0, 0, 1);
  for (size_t k = 0; k + 1 < triangles.size(); k += 2)
    glVertex3f(triangles[k], triangles[k + 1], 0);
  if (depth > 0) {
    float z = float(-depth);
    glNormal3f(0, 0, -1);
    for (size_t t = 0; t + 5 < triangles.size(); t += 6) {
      glVertex3f(triangles[t], triangles[t + 1], z);
      glVertex3f(triangles[t + 4], triangles[t + 5], z);
      glVertex3f(triangles[t + 2], triangles[t + 3], z);
    }
  }
  glEnd();
  if (!(depth > 0)) return;
  // Walls: the filled region lies left of a counter-clockwise contour, right of a clockwise one.
  float z = float(-depth), s = counter_clockwise ? -1.0f : 1.0f;
  glBegin(GL_TRIANGLES);
  for (auto &c : contours) {
    size_t n = c.size() / 2;
    for (size_t i = 0; i < n; i++) {
      size_t j = (i + 1) % n;
      float x0 = float(c[2 * i]), y0 = float(c[2 * i + 1]);
      float x1 = float(c[2 * j]), y1 = float(c[2 * j + 1]);
      float dx = x1 - x0, dy = y1 - y0;
      glNormal3f(-dy * s, dx * s, 0);
      if (counter_clockwise) std::swap(x0, x1), std::swap(y0, y1);
      glVertex3f(x0, y0, 0);
      glVertex3f(x1, y1, 0);
      glVertex3f(x1, y1, z);
      glVertex3f(x0, y0, 0);
      glVertex3f(x1, y1, z);
      glVertex3f(x0, y0, z);
    }
  }
  glEnd();
}

// Builds the list for one code; false when its glyph cannot be read.
bool build_glyph(mapped_face &m, const font_request &r, LONGWORD code, LONGWORD list,
                 double deviation, double depth, LONGINT format, GLYPHMETRICSFLOAT *metrics,
                 bool &counter_clockwise) {
  FT_Face face = m.face;
  FT_UInt index = FT_Get_Char_Index(face, to_unicode(code));
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE)) return false;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  const double units = face->units_per_EM;
  double advance = slot->metrics.horiAdvance;
  if (m.embolden) {
    // The same strength FreeType's own synthetic bold uses.
    FT_Pos strength = face->units_per_EM / 24;
    FT_Outline_EmboldenXY(&slot->outline, strength, strength);
    advance += strength;
  }

  glyph_build g;
  g.tolerance = deviation > 0 ? std::max(1.0, deviation * units) : 1.0;
  building = &g;
  FT_Outline_Funcs funcs = {move_to, line_to, conic_to, cubic_to, 0, 0};
  FT_Error err = FT_Outline_Decompose(&slot->outline, &funcs, nullptr);
  building = nullptr;
  if (err) return false;
  // The closing point repeats the first; degenerate contours go.
  std::vector<std::vector<double>> contours;
  double area = 0;
  for (auto &c : g.contours) {
    size_t n = c.size();
    if (n >= 4 && c[0] == c[n - 2] && c[1] == c[n - 1]) c.resize(n - 2);
    if (c.size() < 6) continue;
    area += signed_area(c);
    contours.push_back(std::move(c));
  }
  if (area != 0) counter_clockwise = area > 0;

  if (r.underline || r.strikeout) {
    double thick = face->underline_thickness > 0 ? face->underline_thickness : units / 14;
    if (r.underline) {
      double y = face->underline_position;
      contours.push_back(bar(0, advance, y - thick / 2, y + thick / 2, counter_clockwise));
    }
    if (r.strikeout) {
      double y = face->ascender * 0.3;
      contours.push_back(bar(0, advance, y - thick / 2, y + thick / 2, counter_clockwise));
    }
  }

  // Synthetic slant, then em units, then the escapement's turn about the origin.
  double turn = r.escapement / 10.0 * M_PI / 180.0, c = std::cos(turn), s = std::sin(turn);
  double minx = HUGE_VAL, miny = HUGE_VAL, maxx = -HUGE_VAL, maxy = -HUGE_VAL;
  for (auto &ct : contours) {
    for (size_t k = 0; k + 1 < ct.size(); k += 2) {
      double x = (m.xx * ct[k] + m.xy * ct[k + 1]) / units;
      double y = (m.yx * ct[k] + m.yy * ct[k + 1]) / units;
      ct[k] = c * x - s * y;
      ct[k + 1] = s * x + c * y;
      minx = std::min(minx, ct[k]), maxx = std::max(maxx, ct[k]);
      miny = std::min(miny, ct[k + 1]), maxy = std::max(maxy, ct[k + 1]);
    }
  }
  double incx = c * advance / units, incy = s * advance / units;

  tess_failed = false;
  if (format != WGL_FONT_LINES)
    tessellate(contours, slot->outline.flags & FT_OUTLINE_EVEN_ODD_FILL);
  if (tess_failed) return false;

  glNewList(list, GL_COMPILE);
  emit(contours, counter_clockwise, depth, format);
  glTranslatef(float(incx), float(incy), 0);
  glEndList();

  if (metrics) {
    GLYPHMETRICSFLOAT &gm = *metrics;
    gm = GLYPHMETRICSFLOAT{};
    if (minx <= maxx) {
      gm.gmfBlackBoxX = float(maxx - minx);
      gm.gmfBlackBoxY = float(maxy - miny);
      gm.gmfptGlyphOrigin = {float(minx), float(maxy)};
    }
    gm.gmfCellIncX = float(incx);
    gm.gmfCellIncY = float(incy);
  }
  return true;
}

} // namespace

} // namespace vantrel::common

namespace vantrel::platform {
using namespace vantrel::common;

THANDLE CreateFontA(LONGINT height, LONGINT width, LONGINT escapement, LONGINT orientation,
                    LONGINT weight, LONGWORD italic, LONGWORD underline, LONGWORD strikeout,
                    LONGWORD, LONGWORD, LONGWORD, LONGWORD, LONGWORD, PCHAR face_name) {
  gdi_object f;
  f.kind = gdi_kind::font;
  f.font_spec = {height, width,       escapement,     orientation,
                 weight, italic != 0, underline != 0, strikeout != 0};
  if (face_name) f.name = face_name;
  return add_object(std::move(f));
}

BOOLEAN wglUseFontOutlinesA(THANDLE dc, LONGWORD first, LONGWORD count, LONGWORD list_base,
                            SINGLE deviation, SINGLE extrusion, LONGINT format,
                            GLYPHMETRICSFLOAT *metrics) {
  gdi_object *d = find_object(dc, gdi_kind::dc);
  gdi_object *f = d ? find_object(d->font, gdi_kind::font) : nullptr;
  if (!f) {
    set_last_error(ERROR_INVALID_PARAMETER, "no font selected into the device context");
    return false;
  }
  font_request r = f->font_spec;
  mapped_face *m = map_font(r);
  if (!m) {
    if (!missing_font_reported)
      std::fprintf(stderr, "vantrel: no scalable font found; the outline font stays empty\n");
    missing_font_reported = true;
    set_last_error(ERROR_FILE_NOT_FOUND, "no scalable font found");
    return false;
  }
  // TrueType turns its outer contours clockwise; each glyph's own area corrects this guess.
  bool ok = true, counter_clockwise = false;
  for (LONGWORD i = 0; i < count; i++) {
    LONGWORD code = first + i;
    GLYPHMETRICSFLOAT *gm = metrics ? metrics + i : nullptr;
    if (!build_glyph(*m, r, code, list_base + i, deviation, extrusion, format, gm,
                     counter_clockwise)) {
      std::fprintf(stderr,
                   "vantrel: glyph of character code %u cannot be read; its list stays "
                   "empty\n",
                   unsigned(code));
      if (gm) *gm = GLYPHMETRICSFLOAT{};
      ok = false;
    }
  }
  return ok;
}

} // namespace vantrel::platform
