// Characters of keys for the backends without Win32 underneath.
#include "vantrel/platform/common/keyboard.h"

namespace vantrel::common {

int us_key_char(TWPARAM vk, bool shift) {
  if (vk >= 'A' && vk <= 'Z') return shift ? int(vk) : int(vk) + 32;
  if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : int(vk);
  if (vk >= 0x60 && vk <= 0x69) return int('0' + (vk - 0x60)); // numpad digits
  // One key per line reads as the table it is.
  // clang-format off
  switch (vk) {
  case VK_BACK: case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_SPACE: return int(vk);
  case 0x6A: return '*';
  case 0x6B: return '+';
  case 0x6D: return '-';
  case 0x6E: return '.';
  case 0x6F: return '/';
  case 0xBA: return shift ? ':' : ';';
  case 0xBB: return shift ? '+' : '=';
  case 0xBC: return shift ? '<' : ',';
  case 0xBD: return shift ? '_' : '-';
  case 0xBE: return shift ? '>' : '.';
  case 0xBF: return shift ? '?' : '/';
  case 0xC0: return shift ? '~' : '`';
  case 0xDB: return shift ? '{' : '[';
  case 0xDC: return shift ? '|' : '\\';
  case 0xDD: return shift ? '}' : ']';
  case 0xDE: return shift ? '"' : '\'';
  default: return 0;
  }
  // clang-format on
}

} // namespace vantrel::common
