// The cel-shading demo: four outlined columns, plain and textured, with and without the ramp.
#include "demo/program.h"

int main() {
  demo::PROGRAM_START();
  demo::PROGRAM_RUN();
  demo::PROGRAM_END();
  return 0;
}
