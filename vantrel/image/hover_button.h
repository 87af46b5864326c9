/// \file
/// \ingroup image
/// A picture button for ordinary windows: a child window of class "IMAGEBUTTON" that shows a
/// normal, a hover or a pressed picture, takes the outline of its normal picture (every pixel
/// but the magenta ones), and posts WM_COMMAND with its control identifier to its parent when
/// clicked. All of its state lives in window properties of the button itself.
#pragma once

#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

inline constexpr PCHAR SZHOVERCLASS = "IMAGEBUTTON"; ///< the picture buttons' window class

// Window properties of each button.
inline constexpr PCHAR NORMALBMP = "NORMALBITMAP";      ///< memory DC with the normal picture
inline constexpr PCHAR HOVERBMP = "HOVERBITMAP";        ///< memory DC with the hover picture
inline constexpr PCHAR PRESSBMP = "PRESSBITMAP";        ///< memory DC with the pressed picture
inline constexpr PCHAR HOVERMODE = "HOVERMODEBYTE";     ///< the state below
inline constexpr PCHAR BUTTONRGN = "HOVERBUTTONREGION"; ///< region for hit tests

///@{
/// Button states, in the "HOVERMODEBYTE" property: normal, hover (the cursor is over it),
/// pressed.
inline constexpr LONGINT HOVER_NORMAL = 1, HOVER_HOVER = 2, HOVER_PRESSED = 3;
///@}

/// The shape: magenta pixels (red 255, green 0 or 1, blue 255) are cut away.
inline constexpr LONGWORD HOVER_TRANSCOLOR = 0x00FF00FF;
/// How far above HOVER_TRANSCOLOR a channel may lie and still be cut away, 0..255.
inline constexpr BYTE HOVER_TOLERANCE = 1;

/// The window procedure of the "IMAGEBUTTON" class; the pictures are BMPTYPE + "N", "H" or "P"
/// + ".BMP", read when the button is created.
/// \param WND the button
/// \param IMSG the message
/// \param WPARAM,LPARAM the message's parameters
/// \return 0 for the messages it handles, default processing's result for the rest
TLRESULT HOVERBUTTONHANDLER(THANDLE WND, LONGWORD IMSG, TWPARAM WPARAM, TLPARAM LPARAM);

} // namespace vantrel
VANTREL_API_END
