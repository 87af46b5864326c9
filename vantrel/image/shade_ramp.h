/// \file
/// \ingroup image
/// The shade ramp: a 32-entry grey 1-D texture (TEXTUREID) read from a text file of numbers,
/// and the switch pair that puts it in place of lighting (ACTIVETEXTURESHADER).
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Reads up to 32 numbers, one a line, from SDRFILE into entries 0..31 of a new 1-D texture
/// (entries after the last number are 0), leaving it bound and 1-D texturing on. A file that
/// cannot be opened changes nothing and prints one warning; a file without any number (empty
/// or blank) is loaded, all black, with one warning; a malformed number stops the program (with
/// an error hook set: nothing is loaded, and a warning follows the error).
/// \param SDRFILE the ramp file's name
void TEXTURELOADSHADER(const ANSISTRING &SDRFILE);

/// The reading half of TEXTURELOADSHADER, without OpenGL: fills SHADERDATA (32 entries of red,
/// green and blue) from SDRFILE, each number v becoming (v, v, v) held inside SINGLE's range, and
/// leaves the entries after the last number as they were. A malformed number stops the program.
/// \param SDRFILE the ramp file's name
/// \param SHADERDATA the entries to fill; unchanged when it returns false
/// \param WHY receives the reason of a failure
/// \param COUNT if given, receives how many numbers were read (0 for an empty or blank file)
/// \param CODE if given, receives the failure's I/O result (2 not found ... 106 a malformed
/// number, after a host's error hook)
/// \return false when the file cannot be opened, or (after a host's error hook) holds a
/// malformed number
BOOLEAN READSHADERFILE(const ANSISTRING &SDRFILE, SINGLE (&SHADERDATA)[32][3], ANSISTRING &WHY,
                       LONGINT *COUNT = nullptr, LONGINT *CODE = nullptr);

/// 1-D texturing on, lighting off, ACTIVETEXTURESHADER true.
void TEXTURESHADERON();

/// 1-D texturing off, lighting on, ACTIVETEXTURESHADER false.
void TEXTURESHADEROFF();

} // namespace vantrel
VANTREL_API_END
