// Outline text: INITTEXT builds one display list per character code (list BASE + code) from a
// bold outline font, and the glyph metrics in GMF, in units where the em square measures 1.
// A string is drawn by calling its characters' lists in turn (each list moves the origin on by
// its advance) and laid out with GMF: centred on the box its glyphs' ink covers. The upper line
// is flat; the lower one is extruded and drawn through the cartoon effect.
//   Left drag turns the lower line. Escape ends the program.
#include <algorithm>
#include <cstring>

#include <vantrel/vantrel.h>

using namespace vantrel;

const char TEXT[] = "Vantrel";

// The box TEXT's ink covers when it starts at the origin, from the glyph metrics: each glyph's
// black box lies at its origin offset, and the origin moves on by the glyph's advance.
struct ink {
  SINGLE left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
  SINGLE centre_x() const { return (left + right) / 2; }
  SINGLE centre_y() const { return (bottom + top) / 2; }
};
ink measure(const GLYPHMETRICSFLOAT *metrics) {
  ink box;
  SINGLE x = 0;
  for (const char *c = TEXT; *c; c++) {
    const GLYPHMETRICSFLOAT &m = metrics[static_cast<unsigned char>(*c)];
    box.left = std::min(box.left, x + m.gmfptGlyphOrigin.X);
    box.right = std::max(box.right, x + m.gmfptGlyphOrigin.X + m.gmfBlackBoxX);
    box.top = std::max(box.top, m.gmfptGlyphOrigin.Y);
    box.bottom = std::min(box.bottom, m.gmfptGlyphOrigin.Y - m.gmfBlackBoxY);
    x += m.gmfCellIncX;
  }
  return box;
}

// TEXT from the 256 lists that start at FONT, its origin at the current position.
void draw_text(LONGWORD font) {
  glListBase(font);
  glCallLists(GLsizei(std::strlen(TEXT)), GL_UNSIGNED_BYTE, TEXT);
}

int main(int argc, char **argv) {
  PCHAR snapshot = SNAPSHOTOPTION(argc, argv);
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW("Vantrel: outline text", 640, 480, 32, false);
  OPENGL_INIT(1000.0, 1.0, 0.12, 0.16, 0.3);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);

  // Two fonts: flat, then extruded by 0.3 em. Each INITTEXT takes 256 new lists and fills GMF
  // again, so the first font's list base and metrics are kept before the second is built.
  INITTEXT(0.0f, 0, 0, 0);
  const LONGWORD flat = BASE;
  GLYPHMETRICSFLOAT flat_metrics[256];
  std::memcpy(flat_metrics, GMF, sizeof GMF);
  INITTEXT(0.3f, 0, 0, 0);
  const LONGWORD extruded = BASE;

  const ink flat_ink = measure(flat_metrics), extruded_ink = measure(GMF);
  // The extruded word as one display list, centred on its own origin, for FX_CARTOON.
  LONGWORD word = glGenLists(1);
  glNewList(word, GL_COMPILE);
  glPushMatrix();
  glTranslatef(-extruded_ink.centre_x(), -extruded_ink.centre_y(), 0.15f);
  draw_text(extruded);
  glPopMatrix();
  glEndList();
  glEnable(GL_COLOR_MATERIAL); // lit glyphs take the colour given with glColor
  XROT = 20;
  YROT = -25;

  do {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SETGLMSG();
    TEXTUREOFF();
    // The flat line, unlit, 1.6 units high per em.
    glLoadIdentity();
    glTranslatef(0.0f, 1.6f, -8.0f);
    glScalef(1.6f, 1.6f, 1.6f);
    glTranslatef(-flat_ink.centre_x(), -flat_ink.centre_y(), 0.0f);
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 0.85f, 0.3f);
    draw_text(flat);
    glEnable(GL_LIGHTING);
    // The extruded line, lit, outlined and turned by the mouse.
    glLoadIdentity();
    glTranslatef(0.0f, -1.6f, -8.0f);
    SETGLMOUSEMOVE(GL_M0, 1);
    glScalef(1.3f, 1.3f, 1.3f);
    glColor3f(0.35f, 0.75f, 1.0f);
    FX_CARTOON(0, 0, 0, 0.0f, word, false);
    if (snapshot) break;
    platform::SwapBuffers(DCWINDOW);
  } while (ACTIVE);

  BOOLEAN written = snapshot ? SNAPSHOTFRAME(snapshot) : true;
  glDeleteLists(word, 1);
  glDeleteLists(flat, 256); // DELETEGLTEXT frees only the lists BASE names
  DELETEGLTEXT();
  DELETEOGLWINDOW();
  return written ? 0 : 1;
}
