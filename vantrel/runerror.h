/// \file
/// \ingroup core
/// The one reporter of run-time errors (a range check, an overflow, a malformed number, an I/O
/// failure), of failed window set-ups and of load warnings, and the hook through which a host
/// program takes them over.
///
/// By default a run-time error or a failed set-up ends the program: one line on stderr, a box
/// captioned "Error" where the platform can show one, then the exit code (the run-time error's
/// number; 1 for a failed set-up). A warning is one line on stderr and the program goes on.
///
/// A host that sets SETERRORHOOK receives every one of them instead, and the program goes on
/// after its hook returns: the call that failed returns a defined failure and leaves the
/// framework's state as it was. What each call returns then:
///
/// - CREATEOGLWINDOW: the class, window or context cannot be had (1), a depth outside 0..255
///   (201): false; what it made is released (HWINDOW, DCWINDOW, RCWINDOW 0, ACTIVE false).
/// - WINDOWINIT: BITS outside 0..255 (201): false, nothing asked of the platform.
/// - TEXTURELOADID: a slot outside 0..500 (201), a file missing, no picture or too large
///   (warning): the slot table and OpenGL unchanged. TEXTURESELECTID: a slot outside 0..500
///   (201): nothing bound.
/// - TEXTURELOADSHADER: a malformed number (106, then a warning) or a file that cannot be
///   opened (warning): no ramp, TEXTUREID and OpenGL unchanged; READSHADERFILE returns false and
///   leaves its entries as they were. An empty or blank file is loaded (all 0) with a warning.
/// - READREAL: a malformed number (106): 0, and IORESULT gives 106. READREAL, TEXTEOF, READLN,
///   ENDFILE with no file open (103): 0, true, nothing, nothing. A failing disk read (100): the
///   file ends there; a failing close (100): the file is closed all the same.
/// - LOADBMPFROMFILE, BITMAPTOREGION: a file missing or no picture (warning): 0, nothing made;
///   BITMAPTOREGION with a colour at or above 0x80000000 (201): 0.
/// - CREATESTATUSBAR: MAXSTATUSITEM outside 0..20 (201): 0, no status window.
/// - GLWNDPROC: a key code above 500 (201): the key table unchanged.
/// - INITTEXT: a negative italic or underline flag (201): no font, BASE unchanged.
/// - OPENGL_I2D: 2 x HEIGHT overflows (215): the projection unchanged. CONOTRONCO,
///   SUPPORTOASSE: a step count overflows (215): the strip ends there.
/// - SAVEPNG, SNAPSHOTFRAME, SNAPSHOTWINDOW: no window, a size out of range, a file that cannot
///   be written (warning): false.
/// - THROWERROR (an application's own set-up failure, 1): returns to its caller.
#pragma once

#include "vantrel/source_location.h"
#include <string>
#include <vector>

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

inline constexpr LONGINT RE_READ_ERROR = 100;      ///< I/O: disk read error
inline constexpr LONGINT RE_FILE_NOT_OPEN = 103;   ///< I/O: file not open
inline constexpr LONGINT RE_INVALID_NUMERIC = 106; ///< I/O: invalid numeric format
inline constexpr LONGINT RE_RANGE_CHECK = 201;     ///< index outside a fixed table
inline constexpr LONGINT RE_ARITH_OVERFLOW = 215;  ///< integer overflow
inline constexpr LONGINT RE_SETUP_FAILED = 1;      ///< the window or its context cannot be made

/// One failure as the framework reports it to the hook.
struct TERRORREPORT {
  /// The run-time error's number (RE_ constants), RE_SETUP_FAILED for a failed set-up; for a
  /// warning the I/O result of the file (2 not found, 3 path not found, 4 too many open files,
  /// 5 access denied) or 100 when the file was read and refused, 101 when it cannot be written.
  LONGINT CODE = 0;
  ANSISTRING TEXT;       ///< the message, Windows-1252 text, without "Runtime error" or "warning"
  ANSISTRING WHERE;      ///< the framework operation that failed ("TEXTURELOADID")
  BOOLEAN FATAL = false; ///< true for errors and failed set-ups, which end a program by default
};

/// A host's hook: receives REPORT and returns; the failing call then returns its failure.
using TERRORHOOK = void (*)(const TERRORREPORT &REPORT);

/// Sends every run-time error, failed set-up and warning to HOOK instead of the default
/// (stderr, the "Error" box and the end of the program). Null puts the default back.
/// \param HOOK the host's function, or null
/// \return the hook set before, null for the default
TERRORHOOK SETERRORHOOK(TERRORHOOK HOOK);

/// Reports run-time error CODE with the text WHAT. By default prints one line to stderr, shows
/// it in a box captioned "Error" where the platform can show one, and ends the program with
/// CODE as its exit code; with a hook set it returns after the hook.
/// \param CODE the run-time error's number (RE_ constants)
/// \param WHAT what failed, Windows-1252 text
/// \param WHERE the calling function, filled in by the compiler
void RUNERROR(LONGINT CODE, const std::string &WHAT,
              TSOURCELOCATION WHERE = TSOURCELOCATION::current());

#ifdef VANTREL_FUZZ
/// The fuzzing build throws this instead of ending the program, so that a fuzz target can take a
/// run-time error such as 106 as one of the defined outcomes and go on with the next input.
struct TRUNERRORSTOP {
  LONGINT CODE;
  std::string TEXT;
};
#endif

/// The reporter itself: TEXT (Windows-1252) on stderr as UTF-8, in a box captioned "Error"
/// where the platform can show one, then the end of the program with EXITCODE; with a hook set,
/// the hook instead, and the call returns.
/// \param TEXT the whole message
/// \param EXITCODE the exit code, and the report's number
/// \param WHERE the framework operation that failed
void REPORTFATAL(const std::string &TEXT, LONGINT EXITCODE, const std::string &WHERE = "");

/// Windows-1252 text, as the system stores its messages, in UTF-8 for terminals and X11.
/// \param TEXT Windows-1252 bytes
/// \return the same text in UTF-8
std::string ANSITOUTF8(const std::string &TEXT);

/// Reports a range-check error unless LOW <= VALUE <= HIGH.
/// \param VALUE the value checked
/// \param LOW,HIGH the range, both included
/// \param WHAT what VALUE is, for the message
/// \param WHERE the calling function, filled in by the compiler
/// \return true when VALUE is in range; false (after a host's hook) when it is not
BOOLEAN RANGECHECK(LONGINT VALUE, LONGINT LOW, LONGINT HIGH, const char *WHAT,
                   TSOURCELOCATION WHERE = TSOURCELOCATION::current());

/// A * B in 32-bit signed arithmetic; an overflow is run-time error 215.
/// \param A,B the factors
/// \param PRODUCT receives A * B when it fits, 0 when it does not
/// \param WHAT what the product is, for the message
/// \param WHERE the calling function, filled in by the compiler
/// \return true when the product fits; false (after a host's hook) when it overflows
BOOLEAN CHECKEDMUL(LONGINT A, LONGINT B, LONGINT &PRODUCT, const char *WHAT,
                   TSOURCELOCATION WHERE = TSOURCELOCATION::current());

/// One warning line on stderr ("vantrel: warning: WHAT"), for failures the program survives,
/// or the host's hook.
/// \param WHAT what failed and why
/// \param CODE its number (see TERRORREPORT::CODE)
/// \param WHERE the calling function, filled in by the compiler
void WARNING(const std::string &WHAT, LONGINT CODE = 100,
             TSOURCELOCATION WHERE = TSOURCELOCATION::current());

/// The I/O result that a platform error code (GetLastError) stands for: 2, 3, 4 or 5 as they
/// are, any other 100.
/// \param ERROR a GetLastError code
/// \return the I/O result
LONGINT IOCODEOF(LONGWORD ERROR);

/// The bare name of the function that LOCATION lies in ("TEXTURELOADID"), also from inside a
/// lambda of it.
/// \param LOCATION a place in the code
/// \return the function's name without namespaces, return type or parameters
std::string FUNCTIONNAME(const TSOURCELOCATION &LOCATION);

#ifdef VANTREL_FUZZ
// The fuzzing build keeps its warnings here instead of printing them: a target checks that a
// refusal gives exactly one, and millions of inputs do not flood the fuzzer's log.
extern std::vector<std::string> FUZZWARNINGS;
#endif

} // namespace vantrel
VANTREL_API_END
