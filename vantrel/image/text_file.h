/// \file
/// \ingroup image
/// The framework's one text file, FILEIN: opening with a pending I/O result, the end test, and
/// the number reader that the shade ramp is read with.
#pragma once

#include "vantrel/globals.h"
#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

/// Binds FILEIN to FILENAME (its first 255 characters) and opens it for reading. A failure is
/// not raised; its code waits for IORESULT. Only a regular file opens: a directory, FIFO or
/// device fails at once (access denied) without being read. A file still open through FILEIN is
/// closed first.
/// \param FILENAME the file
void LOADFILE(const ANSISTRING &FILENAME);

/// Closes FILEIN. Closing a file that is not open, or a failing close, is a run-time I/O error.
void ENDFILE();

/// The pending I/O result of the last LOADFILE (0 = success, 2 = file not found, 3 = path not
/// found, 4 = too many open files, 5 = access denied, 100 = read error); fetching it resets it.
/// \return the I/O result, 0 after a success (106 after a malformed number a host's error hook
/// took)
LONGINT IORESULT();

/// What an I/O result code means, in words ("file not found").
/// \param CODE an I/O result
/// \return its meaning
ANSISTRING IORESULTTEXT(LONGINT CODE);

/// Why the last LOADFILE failed, as the platform says it ("is a directory", "not a regular
/// file", "No such file or directory"); empty after a success.
/// \return the reason, empty after a success
ANSISTRING LOADFILEREASON();

/// True when no characters at all are left in FILEIN; a Ctrl-Z (26) counts as the end.
/// \return true at the end of the file (or with no file open, after run-time error 103)
BOOLEAN TEXTEOF();

/// Reads one number from FILEIN: skips characters of code 32 or below, takes the characters up
/// to the next such one as the token and converts it. The form is an optional sign, digits with
/// an optional fraction after a point (either side of the point may be empty, not both, so "5."
/// and ".5" are numbers), and an optional exponent (e or E, optional sign, digits), at any
/// length. The result is the nearest REAL: a number too small for one gives 0, one too large the
/// largest REAL (with its sign). No token left before the end gives 0. Any other token is a
/// run-time error RE_INVALID_NUMERIC naming the file, the line and the token.
/// \return the number; 0 at the end, and after an error a host's hook took
REAL READREAL();

/// Whether the last READREAL found a token: false when only blanks were left, and it gave 0.
/// \return true when the last READREAL read a number
BOOLEAN NUMBERFOUND();

/// Discards the rest of the current line, up to and including its line break (LF, CR or CR LF).
void READLN();

} // namespace vantrel
VANTREL_API_END
