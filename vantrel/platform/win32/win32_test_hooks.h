// The win32 backend's control for the tests alone. Not installed; the tests and the test copy of
// the demo link the library statically.
#pragma once

namespace vantrel::win32 {

void fail_pixel_format(bool fail); // ChoosePixelFormat then finds no format

} // namespace vantrel::win32
