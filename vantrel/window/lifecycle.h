/// \file
/// \ingroup window
/// The one main window and its OpenGL rendering context.
#pragma once

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
void OGLWINDOWSETTING(LONGINT TYPECURSOR, PCHAR CURFILE, LONGINT TYPEICON, PCHAR ICOFILE);
/// Registers the classes and creates the main window titled APPNAME, APPWIDTH x APPHEIGHT
/// pixels (or the screen's size when APPFULLSCREEN), its status bar if SHOWSTATUSBAR, and a
/// current OpenGL context asking for APPBITS bits (0..255). Any failure is fatal (THROWERROR).
BOOLEAN CREATEOGLWINDOW(PCHAR APPNAME, LONGINT APPWIDTH, LONGINT APPHEIGHT, LONGINT APPBITS,
                        BOOLEAN APPFULLSCREEN);
/// Registers "GLWindow" and, once per process, "IMAGEBUTTON"; true when "GLWindow" registered.
BOOLEAN WINDOWREGISTER();
/// Creates, shows and paints the main window titled PCAPPLICATIONNAME; its handle, 0 on failure.
THANDLE WINDOWCREATE(PCHAR PCAPPLICATIONNAME);
/// Takes HPARENT's device context, sets a pixel format and makes a new rendering context
/// current; true when both the format and the context could be had.
BOOLEAN WINDOWINIT(THANDLE HPARENT);
/// Releases the rendering context, the device context and the main window, in that order.
void DELETEOGLWINDOW();
/// Shows PCERRORMESSAGE in a box captioned "Error" and ends the program (exit code 0).
[[noreturn]] void THROWERROR(PCHAR PCERRORMESSAGE);

} // namespace vantrel
VANTREL_API_END
