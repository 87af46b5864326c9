/// \file
/// \ingroup image
/// Numbered 2-D texture slots (TEXTUREID2) filled from 24-bit BMP files, and the switches for
/// binding a slot and for 2-D texturing.
#pragma once

#include <cstdint>

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Loads BMPFILE into a new texture object named in TEXTUREID2[NUM] (NUM 0..500), leaving it
/// bound and 2-D texturing on. A file that cannot be loaded leaves the slot and OpenGL as they
/// were and prints one warning; a slot outside 0..500 stops with a range-check error.
/// \param BMPFILE the picture file
/// \param NUM the slot, 0..500
void TEXTURELOADID(PCHAR BMPFILE, LONGINT NUM);

/// Binds slot NUM (0..500) to GL_TEXTURE_2D; a slot never loaded binds the default texture.
/// \param NUM the slot, 0..500
void TEXTURESELECTID(LONGINT NUM);

void TEXTUREON();  ///< glEnable(GL_TEXTURE_2D)
void TEXTUREOFF(); ///< glDisable(GL_TEXTURE_2D)

/// Exchanges the first and third byte of each of SIZE consecutive 3-byte groups at DATA (blue,
/// green, red becomes red, green, blue). SIZE below 1 changes nothing.
/// \param DATA the first group (null: nothing happens)
/// \param SIZE the number of groups
void SWAPRGB(std::uint8_t *DATA, LONGINT SIZE);

} // namespace vantrel
VANTREL_API_END
