// The one main window and its OpenGL rendering context.
#pragma once

#include "vantrel/types.h"

namespace vantrel {

// Fatal set-up messages, stored as Windows-1252 bytes ("\xE8" is "è").
inline constexpr PCHAR MSG_REGISTER_FAILED = "Errore di registro per la rispettiva applicazione!";
inline constexpr PCHAR MSG_WINDOW_FAILED =
    "Impossibile creare la finestra per la rispettiva applicazione!";
inline constexpr PCHAR MSG_INIT_FAILED = "la rispettiva applicazione non \xE8 stata inizilizata!";

inline constexpr LONGWORD STYLE_WINDOWED = 0x96CA0000;   // pop-up with caption, no sizing
inline constexpr LONGWORD STYLE_FULLSCREEN = 0x96880000; // pop-up with a thin border

void OGLWINDOWSETTING(LONGINT TYPECURSOR, PCHAR CURFILE, LONGINT TYPEICON, PCHAR ICOFILE);
BOOLEAN CREATEOGLWINDOW(PCHAR APPNAME, LONGINT APPWIDTH, LONGINT APPHEIGHT, LONGINT APPBITS,
                        BOOLEAN APPFULLSCREEN);
BOOLEAN WINDOWREGISTER();
THANDLE WINDOWCREATE(PCHAR PCAPPLICATIONNAME);
BOOLEAN WINDOWINIT(THANDLE HPARENT);
void DELETEOGLWINDOW();
[[noreturn]] void THROWERROR(PCHAR PCERRORMESSAGE);

} // namespace vantrel
