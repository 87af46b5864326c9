/// \file
/// \ingroup core
/// Scalar and record types of the framework, named as the system names them.
#pragma once

#include <cstdint>
#include <string>

#include "vantrel/export.h"

namespace vantrel {

using SINGLE = float;           ///< 4-byte float: positions, sizes, colours and angles
using REAL = double;            ///< 8-byte float: projection parameters, face normals
using LONGINT = std::int32_t;   ///< 32-bit signed
using LONGWORD = std::uint32_t; ///< 32-bit unsigned; OpenGL list and texture names
using BOOLEAN = bool;           ///< one byte, 0 or 1
using BYTE = std::uint8_t;      ///< 0..255
using PCHAR = const char *;     ///< zero-terminated text (Windows-1252)
using ANSISTRING = std::string; ///< length-counted text (Windows-1252)

static_assert(sizeof(BOOLEAN) == 1);

/// A window, device-context, GDI or rendering-context handle, 0 for none. Handles are pointers
/// on 64-bit Windows; a 32-bit field would cut them.
using THANDLE = std::uintptr_t;
/// A message's first parameter (unsigned, pointer-sized: it carries pointers on 64-bit Windows).
using TWPARAM = std::uintptr_t;
/// A message's second parameter (signed, pointer-sized).
using TLPARAM = std::intptr_t;
/// What a window procedure returns for a message (signed, pointer-sized).
using TLRESULT = std::intptr_t;

/// A 4-byte truth value; true is stored as -1 (all bits set), false as 0.
struct LONGBOOL {
  LONGINT VALUE = 0; ///< -1 for true, 0 for false
  /// Stores B as -1 or 0.
  /// \param B the truth value
  /// \return this value
  LONGBOOL &operator=(bool B) {
    VALUE = B ? -1 : 0;
    return *this;
  }
  /// True for any non-zero value.
  operator bool() const { return VALUE != 0; }
};
static_assert(sizeof(LONGBOOL) == 4);

/// A point in pixels.
struct POINT {
  LONGINT X = 0; ///< pixels from the left
  LONGINT Y = 0; ///< pixels from the top
};

/// A point or vector in model units.
struct TGLVERTEX {
  SINGLE X = 0; ///< x, model units
  SINGLE Y = 0; ///< y, model units
  SINGLE Z = 0; ///< z, model units
};

/// The window message record as the pump fetches it.
struct TMSG {
  THANDLE HWND = 0;     ///< the window it is for (0: the thread)
  LONGWORD MESSAGE = 0; ///< its number (WM_...)
  TWPARAM WPARAM = 0;   ///< first parameter
  TLPARAM LPARAM = 0;   ///< second parameter
  LONGWORD TIME = 0;    ///< when it was posted, milliseconds since system start
  POINT PT;             ///< the cursor when it was posted, screen pixels
};

/// Window procedure: window, message, wParam, lParam; returns the message's result.
using TWNDPROC = TLRESULT (*)(THANDLE, LONGWORD, TWPARAM, TLPARAM);

/// Plain procedure hook without arguments.
using TPROCEDURE = void (*)();

/// A rectangle in pixels; RIGHT and BOTTOM lie just outside it.
struct TRECT {
  LONGINT LEFT = 0;   ///< left edge, pixels
  LONGINT TOP = 0;    ///< top edge, pixels
  LONGINT RIGHT = 0;  ///< one past the right edge, pixels
  LONGINT BOTTOM = 0; ///< one past the bottom edge, pixels
};

/// A point of a glyph's metrics, in em units (the font's em square measures 1).
struct TPOINTFLOAT {
  SINGLE X = 0; ///< x, em units
  SINGLE Y = 0; ///< y, em units (up)
};
/// Glyph metrics of one outline-font character, in em units.
struct GLYPHMETRICSFLOAT {
  SINGLE gmfBlackBoxX = 0;      ///< width of the smallest box round the glyph, em units
  SINGLE gmfBlackBoxY = 0;      ///< height of that box, em units
  TPOINTFLOAT gmfptGlyphOrigin; ///< that box's upper-left corner from the character origin
  SINGLE gmfCellIncX = 0;       ///< advance to the next character's origin along x, em units
  SINGLE gmfCellIncY = 0;       ///< advance along y, em units
};

} // namespace vantrel
