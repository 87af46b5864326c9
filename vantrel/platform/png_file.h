// PNG files for the framework's pictures and for the frame a backend writes at a program's end
// (VANTREL_SNAPSHOT): platform-level code that needs no backend, so that framework code and
// every backend can reach it. Not installed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "vantrel/types.h"

namespace vantrel::png {

// The largest side a picture may have.
inline constexpr LONGINT max_side = 16384;

// Opens NAME for writing, emptied, when it is a regular file or does not exist yet (then made).
// A FIFO, a directory or a device is refused at once, never waited on and never emptied; null
// then, with the reason in WHY.
std::FILE *create_regular_file(const char *name, std::string &why);

// Writes a W x H picture (1..max_side a side) as an 8-bit RGB PNG file NAME. ROW(Y, OUT) fills
// OUT with row Y (the top row is 0) as 3 x W bytes, red, green, blue; rows are asked for one at
// a time, top first, and compressed as they come. False, with the reason in WHY, when the file
// cannot be made or written.
bool write_rgb(const char *name, LONGINT w, LONGINT h,
               const std::function<void(LONGINT y, std::uint8_t *out)> &row, std::string &why);

// Writes the W x H pixels at the bottom-left of the current OpenGL context's read buffer (the
// back buffer of a double-buffered window, where the frame is drawn before SwapBuffers shows
// it) to NAME as write_rgb does. The caller's pixel packing is left as it was.
bool write_gl_frame(const char *name, LONGINT w, LONGINT h, std::string &why);

} // namespace vantrel::png
