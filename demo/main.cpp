// The cel-shading demo: four outlined columns, plain and textured, with and without the ramp.
#include "demo/program.h"
#include "vantrel/globals.h"

int main() {
  demo::PROGRAM_START();
  // Tested at the end: the body runs once even when the window is already gone.
  do {
    demo::PROGRAM_FRAME();
  } while (vantrel::ACTIVE);
  demo::PROGRAM_END();
  return 0;
}
