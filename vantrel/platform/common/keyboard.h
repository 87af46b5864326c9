// Characters of keys for the backends without Win32 underneath.
#pragma once

#include "vantrel/platform/platform.h"

namespace vantrel::common {

// The character virtual key VK gives on a US layout, 0 for keys that give none.
int us_key_char(TWPARAM vk, bool shift);

} // namespace vantrel::common
