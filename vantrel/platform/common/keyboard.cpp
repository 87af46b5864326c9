// Keys for the backends without Win32 underneath: Windows' own keyboard layouts, written from
// Windows' published layout tables, looked up by the key's set-1 scan code.
#include "vantrel/platform/common/keyboard.h"

#include <array>

namespace vantrel::common {

namespace {

// The character keys in table order: the row of digits from the key left of 1, the three rows
// of letters (the key right of the second row's last one, usually \ or #, ends the second row),
// the ISO key left of Z starting the last row.
constexpr std::array<unsigned char, 48> KEY_SCANS = {
    0x29, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x10, 0x11, 0x12,
    0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24,
    0x25, 0x26, 0x27, 0x28, 0x2B, 0x56, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35};

constexpr char16_t NONE = u'□'; // no character at this level

} // namespace

// One Windows layout. VKS names each key's virtual key by the US character of that code (a
// letter or digit for itself, "`-=[]\;',./" for the OEM keys at those places on a US keyboard,
// '<' for VK_OEM_102, '!' for VK_OEM_8). ALTGR and ALTGR_SHIFT are pairs: the key's unshifted
// character, then what AltGr (and Shift) gives. DEAD is pairs too: the key's unshifted
// character, then the level whose character is a dead key ('0' plain, '1' Shift, '2' AltGr).
struct key_layout {
  std::string_view name;
  const char *vks;
  std::u16string_view plain, shifted, altgr, altgr_shift, dead;
  bool altgr_key;
  char decimal;
};

namespace {

constexpr const char *US_VKS = "`1234567890-=QWERTYUIOP[]ASDFGHJKL;'\\<ZXCVBNM,./";

// clang-format off
constexpr std::array<key_layout, 7> LAYOUTS = {{
    {"us", US_VKS,
     u"`1234567890-=qwertyuiop[]asdfghjkl;'\\\\zxcvbnm,./",
     u"~!@#$%^&*()_+QWERTYUIOP{}ASDFGHJKL:\"||ZXCVBNM<>?", u"", u"", u"", false, '.'},
    {"gb", "!1234567890-=QWERTYUIOP[]ASDFGHJKL;`'\\ZXCVBNM,./",
     u"`1234567890-=qwertyuiop[]asdfghjkl;'#\\zxcvbnm,./",
     u"¬!\"£$%^&*()_+QWERTYUIOP{}ASDFGHJKL:@~|ZXCVBNM<>?",
     u"`¦4€eéuúiíoóaá", u"eÉuÚiÍoÓaÁ", u"", true, '.'},
    {"de", "\\1234567890[]QWERTZUIOP;=ASDFGHJKL`'/<YXCVBNM,.-",
     u"^1234567890ß´qwertzuiopü+asdfghjklöä#<yxcvbnm,.-",
     u"°!\"§$%&/()=?`QWERTZUIOPÜ*ASDFGHJKLÖÄ'>YXCVBNM;:_",
     u"2²3³7{8[9]0}ß\\q@e€+~<|mµ", u"", u"^0´0´1", true, ','},
    {"fr", "'1234567890[=AZERTYUIOP];QSDFGHJKLM`\\<WXCVBN,./!",
     u"²&é\"'(-è_çà)=azertyuiop^$qsdfghjklmù*<wxcvbn,;:!",
     u"□1234567890°+AZERTYUIOP¨£QSDFGHJKLM%µ>WXCVBN?./§",
     u"é~\"#'{([-|è`_\\ç^à@)]=}e€$¤", u"", u"^0^1é2è2", true, ','},
    {"es", "\\1234567890[]QWERTYUIOP;=ASDFGHJKL`'/<ZXCVBNM,.-",
     u"º1234567890'¡qwertyuiop`+asdfghjklñ´ç<zxcvbnm,.-",
     u"ª!\"·$%&/()=?¿QWERTYUIOP^*ASDFGHJKLÑ¨Ç>ZXCVBNM;:_",
     u"º\\1|2@3#4~5€6¬e€`[+]´{ç}", u"", u"`0`1´0´142", true, ','},
    {"it", "\\1234567890[]QWERTYUIOP;=ASDFGHJKL`'/<ZXCVBNM,.-",
     u"\\1234567890'ìqwertyuiopè+asdfghjklòàù<zxcvbnm,.-",
     u"|!\"£$%&/()=?^QWERTYUIOPé*ASDFGHJKLç°§>ZXCVBNM;:_",
     u"5€e€è[+]ò@à#", u"è{+}", u"", true, ','},
    {"ru", US_VKS,
     u"ё1234567890-=йцукенгшщзхъфывапролджэ\\\\ячсмитьбю.",
     u"Ё!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭ//ЯЧСМИТЬБЮ,", u"", u"", u"", false, ','},
}};
// clang-format on

constexpr bool well_formed(const key_layout &l) {
  if (std::string_view(l.vks).size() != KEY_SCANS.size()) return false;
  if (l.plain.size() != KEY_SCANS.size() || l.shifted.size() != KEY_SCANS.size()) return false;
  return l.altgr.size() % 2 == 0 && l.altgr_shift.size() % 2 == 0 && l.dead.size() % 2 == 0;
}
static_assert([] {
  for (const key_layout &l : LAYOUTS)
    if (!well_formed(l)) return false;
  return true;
}());

int key_position(unsigned scan) {
  for (std::size_t i = 0; i < KEY_SCANS.size(); i++)
    if (KEY_SCANS[i] == scan) return int(i);
  return -1;
}

// The US character in a layout's VKS string to its virtual key.
TWPARAM vk_of(char c) {
  switch (c) {
  case ';':
    return 0xBA;
  case '=':
    return 0xBB;
  case ',':
    return 0xBC;
  case '-':
    return 0xBD;
  case '.':
    return 0xBE;
  case '/':
    return 0xBF;
  case '`':
    return 0xC0;
  case '[':
    return 0xDB;
  case '\\':
    return 0xDC;
  case ']':
    return 0xDD;
  case '\'':
    return 0xDE;
  case '!':
    return 0xDF;
  case '<':
    return 0xE2;
  default:
    return TWPARAM(c);
  }
}

// What a pairs string gives for KEY, NONE when it has no pair for it.
char16_t pair_of(std::u16string_view pairs, char16_t key) {
  for (std::size_t i = 0; i + 1 < pairs.size(); i += 2)
    if (pairs[i] == key) return pairs[i + 1];
  return NONE;
}

bool is_letter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
         (c >= 0x430 && c <= 0x45F);
}

// Control characters, by virtual key as the US layout has them.
int control_char(TWPARAM vk, bool shift) {
  if (vk >= 'A' && vk <= 'Z') return int(vk) - 0x40;
  if (shift) return vk == '6' ? 0x1E : vk == 0xBD ? 0x1F : 0;
  switch (vk) {
  case 0xDB:
    return 0x1B;
  case 0xDC:
  case 0xE2:
    return 0x1C;
  case 0xDD:
    return 0x1D;
  default:
    return 0;
  }
}

} // namespace

const key_layout *find_layout(std::string_view name) {
  for (const key_layout &l : LAYOUTS)
    if (l.name == name) return &l;
  return nullptr;
}

bool has_altgr(const key_layout *layout) { return layout && layout->altgr_key; }

TWPARAM layout_vk(const key_layout *layout, unsigned scan) {
  const int pos = key_position(scan);
  if (pos < 0) return 0;
  return vk_of((layout ? layout->vks : US_VKS)[pos]);
}

int layout_char(const key_layout *layout, unsigned scan, bool shift, bool caps, bool ctrl,
                bool altgr) {
  const int pos = key_position(scan);
  if (!layout || pos < 0) return 0;
  const char16_t key = layout->plain[std::size_t(pos)];
  char16_t c;
  char level;
  if (altgr) {
    c = pair_of(shift ? layout->altgr_shift : layout->altgr, key);
    level = '2';
  } else if (ctrl) {
    return control_char(vk_of(layout->vks[pos]), shift);
  } else {
    if (caps && is_letter(key)) shift = !shift;
    c = shift ? layout->shifted[std::size_t(pos)] : key;
    level = shift ? '1' : '0';
  }
  if (c == NONE) return 0;
  bool dead = false;
  for (std::size_t i = 0; i + 1 < layout->dead.size(); i += 2)
    dead = dead || (layout->dead[i] == key && layout->dead[i + 1] == level);
  return to_cp1252(c) | (dead ? DEAD_KEY : 0);
}

int other_key_char(const key_layout *layout, TWPARAM vk, bool shift, bool ctrl, bool alt) {
  if (ctrl && alt) return 0; // AltGr gives these keys nothing
  if (ctrl) {
    switch (vk) {
    case VK_RETURN:
      return 0x0A;
    case VK_BACK:
      return 0x7F;
    case VK_ESCAPE:
      return 0x1B;
    case VK_SPACE:
      return ' ';
    default:
      return 0;
    }
  }
  if (vk == 0x6E) return layout ? layout->decimal : '.';
  return us_key_char(vk, shift);
}

int to_cp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return int(c);
  // The characters Windows-1252 keeps at 0x80 .. 0x9F.
  static constexpr char16_t HIGH[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  for (int i = 0; i < 32; i++)
    if (HIGH[i] != 0 && HIGH[i] == c) return 0x80 + i;
  return '?';
}

int combine_dead(int dead, int ch) {
  if (ch == ' ') return dead;
  // The accent, the letters it goes on, and what each becomes.
  struct accent {
    int dead;
    std::u16string_view from, to;
  };
  static constexpr accent ACCENTS[] = {
      {'`', u"AEIOUaeiou", u"ÀÈÌÒÙàèìòù"}, {0xB4, u"AEIOUYaeiouy", u"ÁÉÍÓÚÝáéíóúý"},
      {'^', u"AEIOUaeiou", u"ÂÊÎÔÛâêîôû"}, {0xA8, u"AEIOUYaeiouy", u"ÄËÏÖÜ\u0178äëïöüÿ"},
      {'~', u"ANOano", u"ÃÑÕãñõ"},
  };
  for (const accent &a : ACCENTS)
    if (a.dead == dead)
      for (std::size_t i = 0; i < a.from.size(); i++)
        if (a.from[i] == ch) return to_cp1252(a.to[i]);
  return 0;
}

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

unsigned us_scan_code(TWPARAM vk) {
  for (std::size_t i = 0; i < KEY_SCANS.size(); i++)
    if (vk_of(US_VKS[i]) == vk) return KEY_SCANS[i];
  if (vk >= VK_F1 && vk < VK_F1 + 10) return 0x3B + unsigned(vk - VK_F1);
  if (vk >= 0x60 && vk <= 0x69) return "\x52\x4F\x50\x51\x4B\x4C\x4D\x47\x48\x49"[vk - 0x60];
  // clang-format off
  switch (vk) {
  case VK_ESCAPE: return 0x01;
  case VK_BACK: return 0x0E;
  case VK_TAB: return 0x0F;
  case VK_RETURN: return 0x1C;
  case VK_CONTROL: return 0x1D;
  case VK_SHIFT: return 0x2A;
  case VK_MENU: return 0x38;
  case VK_SPACE: return 0x39;
  case 0x14: return 0x3A;                                   // Caps Lock
  case VK_F1 + 10: return 0x57;
  case VK_F1 + 11: return 0x58;
  case 0x6A: return 0x37;
  case 0x6B: return 0x4E;
  case 0x6D: return 0x4A;
  case 0x6E: return 0x53;
  case 0x6F: return 0x135;
  case 0x24: return 0x147;                                  // Home
  case VK_UP: return 0x148;
  case 0x21: return 0x149;                                  // Page Up
  case VK_LEFT: return 0x14B;
  case VK_RIGHT: return 0x14D;
  case 0x23: return 0x14F;                                  // End
  case VK_DOWN: return 0x150;
  case 0x22: return 0x151;                                  // Page Down
  case 0x2D: return 0x152;                                  // Insert
  case 0x2E: return 0x153;                                  // Delete
  default: return 0;
  }
  // clang-format on
}

} // namespace vantrel::common
