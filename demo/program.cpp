#include "demo/program.h"

#include "demo/frame.h"
#include "demo/scene.h"
#include "vantrel/gl.h"
#include "vantrel/globals.h"
#include "vantrel/platform/platform.h"
#include "vantrel/render/lights.h"
#include "vantrel/render/outline_text.h"
#include "vantrel/render/projection.h"
#include "vantrel/window/lifecycle.h"
#include "vantrel/window/message_pump.h"

namespace demo {

using namespace vantrel;

void PROGRAM_START() {
  // Every answer but No, a failed box included, means full screen.
  PROGRAM_SETUP(platform::MessageBoxA(0, QUESTION, QUESTION_CAPTION, MB_YESNO | MB_ICONQUESTION) !=
                IDNO);
}

void PROGRAM_SETUP(bool FULL) {
  FULLSCREEN = FULL;
  OGLWINDOWSETTING(ARROW, "", GENERIC, "");
  CREATEOGLWINDOW(TITLE, 800, 600, 32, FULLSCREEN);
  OPENGL_INIT(1000.0, 0.0, 0.0, 0.0, 0.0);
  SETGLREFRACTIVE();
  SETGLLIGHT(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
  OPENGL_CREATELIST();
}

void PROGRAM_FRAME() {
  glClear(GL_COLOR_BUFFER_BIT);
  SETGLMSG();
  OPENGL_DRAW();
  platform::SwapBuffers(DCWINDOW);
}

void PROGRAM_RUN() {
  // Tested at the end: the body runs once even when the window is already gone.
  do {
    PROGRAM_FRAME();
  } while (ACTIVE);
}

void PROGRAM_END() {
  DELETEGLTEXT();
  DELETEOGLWINDOW();
}

} // namespace demo
