/// \file
/// \ingroup window
/// The one main window and its OpenGL rendering context.
#pragma once

#include "vantrel/source_location.h"

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

// Fatal set-up messages, stored as Windows-1252 bytes ("\xE8" is "è").
/// Fatal message when the "GLWindow" class cannot be registered.
inline constexpr PCHAR MSG_REGISTER_FAILED = "Errore di registro per la rispettiva applicazione!";
/// Fatal message when the main window cannot be created.
inline constexpr PCHAR MSG_WINDOW_FAILED =
    "Impossibile creare la finestra per la rispettiva applicazione!";
/// Fatal message when no pixel format or rendering context can be had (Windows-1252 text).
inline constexpr PCHAR MSG_INIT_FAILED = "la rispettiva applicazione non \xE8 stata inizilizata!";

inline constexpr LONGWORD STYLE_WINDOWED = 0x96CA0000;   ///< pop-up with caption, no sizing
inline constexpr LONGWORD STYLE_FULLSCREEN = 0x96880000; ///< pop-up with a thin border

/// Chooses the main window class's cursor kind (ARROW ... HELP; FILECURSOR reads CURFILE) and
/// icon kind (GENERIC, or FILEICON reading ICOFILE); call it before CREATEOGLWINDOW.
/// \param TYPECURSOR the cursor kind, ARROW (1) .. HELP (16)
/// \param CURFILE the cursor file for FILECURSOR; only the pointer is kept
/// \param TYPEICON the icon kind, GENERIC (1) or FILEICON (2)
/// \param ICOFILE the icon file for FILEICON; only the pointer is kept
void OGLWINDOWSETTING(LONGINT TYPECURSOR, PCHAR CURFILE, LONGINT TYPEICON, PCHAR ICOFILE);
/// Registers the classes and creates the main window titled APPNAME, APPWIDTH x APPHEIGHT
/// pixels (or the screen's size when APPFULLSCREEN), its status bar if SHOWSTATUSBAR, and a
/// current OpenGL context asking for APPBITS bits (0..255). Any failure goes to THROWERROR:
/// fatal by default; with an error hook set (SETERRORHOOK) it returns false, having released
/// what it made (HWINDOW, DCWINDOW, RCWINDOW 0, ACTIVE false).
/// \param APPNAME the window's title
/// \param APPWIDTH,APPHEIGHT the window's outer size in pixels (ignored in full screen)
/// \param APPBITS the bits asked of every buffer of the pixel format, 0..255
/// \param APPFULLSCREEN true: a bordered window covering the screen
/// \return true when the window and its current context are made
BOOLEAN CREATEOGLWINDOW(PCHAR APPNAME, LONGINT APPWIDTH, LONGINT APPHEIGHT, LONGINT APPBITS,
                        BOOLEAN APPFULLSCREEN);
/// Registers "GLWindow" and, once per process, "IMAGEBUTTON".
/// \return true when "GLWindow" registered
BOOLEAN WINDOWREGISTER();
/// Creates, shows and paints the main window (windowed or full screen as FULLSCREEN says).
/// \param PCAPPLICATIONNAME the window's title
/// \return the window's handle, 0 on failure
THANDLE WINDOWCREATE(PCHAR PCAPPLICATIONNAME);
/// Takes HPARENT's device context, sets a pixel format and makes a new rendering context
/// current.
/// \param HPARENT the window whose device context it takes (DCWINDOW)
/// \return true when both the format and the context could be had; false also for a BITS
/// outside 0..255 (run-time error 201)
BOOLEAN WINDOWINIT(THANDLE HPARENT);
/// Releases the rendering context, the device context and the main window, in that order.
void DELETEOGLWINDOW();
/// Shows PCERRORMESSAGE in a box captioned "Error" and ends the program with exit code 1 (the
/// program did not do its work). With an error hook set (SETERRORHOOK) the hook gets it (number
/// 1) and THROWERROR returns to its caller.
/// \param PCERRORMESSAGE the message, Windows-1252 text
/// \param WHERE the calling function, filled in by the compiler
void THROWERROR(PCHAR PCERRORMESSAGE, TSOURCELOCATION WHERE = TSOURCELOCATION::current());

} // namespace vantrel
VANTREL_API_END
