/// \file
/// \ingroup image
/// Pictures of what a program shows, written as PNG files: the OpenGL frame of the main window,
/// or the pixels of any window. The files are 8-bit RGB, compressed by libpng at zlib's default
/// level (a build without libpng writes them with a small encoder of its own).
#pragma once

#include <cstdint>

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Writes W x H pixels (each 0x00RRGGBB, the top row first) to FILENAME as a PNG file. W and H
/// must lie in 1..16384. False, with one warning naming the file, when it cannot be written.
/// \param FILENAME the file made (or emptied); a FIFO, directory or device is refused at once
/// \param W,H the size, 1..16384 pixels a side
/// \param PIXELS W x H pixels, 0x00RRGGBB, the top row first
/// \return true when the file was written
BOOLEAN SAVEPNG(PCHAR FILENAME, LONGINT W, LONGINT H, const std::uint32_t *PIXELS);

/// Writes the frame drawn so far on the main window (HWINDOW's client area, read from the
/// current OpenGL context before SwapBuffers shows it) to FILENAME as a PNG file. False, with
/// one warning, when there is no window and context or the file cannot be written.
/// \param FILENAME the file made (or emptied)
/// \return true when the file was written
BOOLEAN SNAPSHOTFRAME(PCHAR FILENAME);

/// Writes what WINDOW shows in its client area, child windows included and clipped to the
/// window's region, to FILENAME as a PNG file. False, with one warning, when the window is
/// unknown, shows nothing yet, or the file cannot be written.
/// \param WINDOW the window
/// \param FILENAME the file made (or emptied)
/// \return true when the file was written
BOOLEAN SNAPSHOTWINDOW(THANDLE WINDOW, PCHAR FILENAME);

/// The FILE of a "--snapshot FILE" option for a program whose only option it is: null when it
/// is absent on a platform with a screen, or where VANTREL_FRAMES or VANTREL_SNAPSHOT in the
/// environment will end the program. Any other argument, a missing FILE, or no option on a
/// platform without a screen (the headless backend) and nothing to end it prints a usage line
/// and ends the program with exit code 2.
/// \param ARGC,ARGV the program's arguments, as main has them
/// \return the FILE named, or null
PCHAR SNAPSHOTOPTION(int ARGC, char **ARGV);

} // namespace vantrel
VANTREL_API_END
