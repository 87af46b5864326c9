// Keys for the backends without Win32 underneath: Windows' own keyboard layouts (virtual keys,
// characters and dead keys by the key's set-1 scan code), Windows-1252 characters, dead-key
// composition as TranslateMessage does it.
#pragma once

#include <string_view>

#include "vantrel/platform/platform.h"

namespace vantrel::common {

// One of Windows' keyboard layouts, found by the short name the X keyboard extension gives it.
struct key_layout;

// ORed into a key's character: the key is a dead key for that accent.
constexpr int DEAD_KEY = 0x100;

// The Windows layout named NAME ("us", "de", "fr", "gb", "es", "it", "ru"); null for a layout
// Windows lacks, whose keys then keep the virtual keys of the US layout's key at their place.
const key_layout *find_layout(std::string_view name);
// Whether LAYOUT's right Alt is AltGr, which Windows reports as left Ctrl and right Alt.
bool has_altgr(const key_layout *layout);

// The virtual key of the character key at set-1 scan code SCAN (not extended) under LAYOUT,
// the US layout's for a null one; 0 when SCAN is no character key (letters, digits, punctuation
// and the ISO key next to the left Shift are).
TWPARAM layout_vk(const key_layout *layout, unsigned scan);
// The Windows-1252 character of that key, with DEAD_KEY for a dead key, 0 for none: SHIFT and
// CAPS (Caps Lock, for letters) choose the level, ALTGR (Ctrl and Alt both held) the AltGr
// level, CTRL alone the control characters. Not for a null layout.
int layout_char(const key_layout *layout, unsigned scan, bool shift, bool caps, bool ctrl,
                bool altgr);
// The character of a key that is not a character key (Enter, Tab, the keypad, ...) by its
// virtual key; the decimal key gives LAYOUT's decimal separator.
int other_key_char(const key_layout *layout, TWPARAM vk, bool shift, bool ctrl, bool alt);

// Unicode to Windows-1252, as Windows converts for ANSI windows: '?' for what it lacks.
int to_cp1252(char32_t c);
// The character that dead key DEAD (its accent, Windows-1252) and then CH give; 0 when they do
// not combine, and both are then typed one after the other.
int combine_dead(int dead, int ch);

// The character virtual key VK gives on a US layout, 0 for keys that give none.
int us_key_char(TWPARAM vk, bool shift);
// The set-1 scan code (bit 8: extended) of virtual key VK on a US keyboard; 0 for none.
unsigned us_scan_code(TWPARAM vk);

} // namespace vantrel::common
