// Linked into a copy of the demo for win32_demo_test.sh: its pixel formats fail from the start,
// so the initialisation error path runs as a user would meet it.
#include "vantrel/platform/win32/win32_test_hooks.h"

namespace {
[[maybe_unused]] const bool switched_off = (vantrel::win32::fail_pixel_format(true), true);
} // namespace
