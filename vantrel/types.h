// Scalar and record types of the framework, named as the system names them.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

using SINGLE = float;           // positions, sizes, colours and angles
using REAL = double;            // projection parameters, face normals
using LONGINT = std::int32_t;   // 32-bit signed
using LONGWORD = std::uint32_t; // 32-bit unsigned; OpenGL list and texture names
using BOOLEAN = bool;           // one byte, 0 or 1
using BYTE = std::uint8_t;      // 0..255
using PCHAR = const char *;     // zero-terminated text
using ANSISTRING = std::string; // length-counted text

static_assert(sizeof(BOOLEAN) == 1);

// Window, device and GDI handles are pointers on 64-bit Windows; a 32-bit field would cut them.
using THANDLE = std::uintptr_t;
// Message parameters and results carry pointers on 64-bit Windows too.
using TWPARAM = std::uintptr_t;
using TLPARAM = std::intptr_t;
using TLRESULT = std::intptr_t;

// Four bytes; true is stored as -1 (all bits set), false as 0.
struct LONGBOOL {
  LONGINT VALUE = 0;
  LONGBOOL &operator=(bool B) {
    VALUE = B ? -1 : 0;
    return *this;
  }
  operator bool() const { return VALUE != 0; }
};
static_assert(sizeof(LONGBOOL) == 4);

struct POINT {
  LONGINT X = 0;
  LONGINT Y = 0;
};

struct TGLVERTEX {
  SINGLE X = 0;
  SINGLE Y = 0;
  SINGLE Z = 0;
};

// The window message record as the pump fetches it.
struct TMSG {
  THANDLE HWND = 0;
  LONGWORD MESSAGE = 0;
  TWPARAM WPARAM = 0;
  TLPARAM LPARAM = 0;
  LONGWORD TIME = 0;
  POINT PT;
};

// Window procedure: window, message, wParam, lParam; returns the message's result.
using TWNDPROC = TLRESULT (*)(THANDLE, LONGWORD, TWPARAM, TLPARAM);

// Plain procedure hook without arguments.
using TPROCEDURE = void (*)();

struct TRECT {
  LONGINT LEFT = 0;
  LONGINT TOP = 0;
  LONGINT RIGHT = 0;
  LONGINT BOTTOM = 0;
};

// Glyph metrics of one outline-font character, in em units.
struct TPOINTFLOAT {
  SINGLE X = 0;
  SINGLE Y = 0;
};
struct GLYPHMETRICSFLOAT {
  SINGLE gmfBlackBoxX = 0;
  SINGLE gmfBlackBoxY = 0;
  TPOINTFLOAT gmfptGlyphOrigin;
  SINGLE gmfCellIncX = 0;
  SINGLE gmfCellIncY = 0;
};

} // namespace vantrel
