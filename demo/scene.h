// The demo's scene: its textures, shade ramp and the six display lists of the column pieces.
#pragma once

#include "vantrel/types.h"

namespace demo {

using vantrel::LONGINT;
using vantrel::LONGWORD;
using vantrel::PCHAR;

// Display lists: lit pieces for the textured columns, unlit ones (ending in 2) for the plain.
extern LONGWORD BASE, CAPITELLO, COLONNA, BASE2, CAPITELLO2, COLONNA2;

inline constexpr PCHAR STONEBLOCKS_BMP = "stoneblocks.bmp";
inline constexpr PCHAR PIETRE_BMP = "pietre.bmp";
inline constexpr PCHAR GRAY11_BMP = "gray11.bmp";
inline constexpr PCHAR SHADE_RAMP_FILE = "grigio3.sdr";
inline constexpr LONGINT T_BASE = 0, T_CAPITELLO = 1, T_COLONNA = 2;

// Loads the textures, the outline font and the shade ramp, and records the six lists.
void OPENGL_CREATELIST();

} // namespace demo
