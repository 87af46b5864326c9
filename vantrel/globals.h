/// \file
/// \ingroup core
/// The framework's global state, grouped by the subsystem that owns it. Everything is zero,
/// false or null at program start unless an initial value is given in globals.cpp.
#pragma once

#include <cstdio>

#include "vantrel/platform/platform.h"
#include "vantrel/types.h"

VANTREL_API_BEGIN
namespace vantrel {

// ---- Window lifecycle ----
extern THANDLE HWINDOW;  ///< the main window
extern THANDLE DCWINDOW; ///< its device context, held until DELETEOGLWINDOW
extern THANDLE RCWINDOW; ///< the OpenGL rendering context
///@{
extern LONGINT WIDTH, HEIGHT; ///< window size in pixels (outer size when windowed)
///@}
extern LONGINT BITS;              ///< requested bit depth, 0..255
extern BOOLEAN FULLSCREEN;        ///< true: a bordered window covering the screen
extern BOOLEAN ACTIVE;            ///< true from WM_CREATE to WM_DESTROY of the main window
extern LONGINT SETTYPECURSOR;     ///< cursor kind of the main window class (ARROW ... HELP)
extern PCHAR CURSORFILE;          ///< cursor file for FILECURSOR; must outlive CREATEOGLWINDOW
extern LONGINT SETTYPEICON;       ///< icon kind of the main window class (GENERIC, FILEICON)
extern PCHAR ICONFILE;            ///< icon file for FILEICON; must outlive CREATEOGLWINDOW
extern BOOLEAN SHOWMENUBAR;       ///< true: CREATEOGLWINDOW calls CREATEMENUBAR, menu hooks run
extern TPROCEDURE CREATEMENUBAR;  ///< application hook that builds a menu bar
extern BOOLEAN SHOWSTATUSBAR;     ///< true: CREATEOGLWINDOW creates the status bar
extern THANDLE HSTATUS;           ///< the status bar, 0 when there is none
extern LONGWORD START;            ///< milliseconds since system start when free-mouse set-up ran
extern TWNDCLASSEX WINDOWCLASSEX; ///< class record of "IMAGEBUTTON"

///@{
/// Cursor kinds for SETTYPECURSOR.
inline constexpr LONGINT ARROW = 1, IBEAM = 2, WAIT = 3, CROSS = 4, UPARROW = 5, SIZE = 6,
                         FILECURSOR = 7, SIZENWSE = 8, SIZENESW = 9, SIZEWE = 10, SIZENS = 11,
                         SIZEALL = 12, NOCURSOR = 13, HAND = 14, APPSTARTING = 15, HELP = 16;
///@}
///@{
/// Icon kinds for SETTYPEICON.
inline constexpr LONGINT GENERIC = 1, FILEICON = 2;
///@}

// ---- Message pump, window procedure, input and navigation ----
extern LONGBOOL SETKEY[501]; ///< by virtual-key code: true while the key is held
///@{
/// SETMX, SETMY: client pixels of the last left press (0 after release); SETOMX, SETOMY: of
/// the last mouse move.
extern LONGINT SETMX, SETMY, SETOMX, SETOMY;
///@}
///@{
/// Left and right button held (each written twice, the second copy read by nothing).
extern BOOLEAN LEFTMOUSEDOWN, LEFTMOUSEDOWN2, RIGHTMOUSEDOWN, RIGHTMOUSEDOWN2;
///@}
///@{
/// Drag anchors in client pixels: XCOORD, YCOORD for the left drag, ZCOORD (y) for the right.
extern LONGINT XCOORD, YCOORD, ZCOORD;
///@}
extern BOOLEAN MOUSEFREE; ///< free-mouse mode: moves away from the window's centre turn the view
extern TMSG MSG_;         ///< the message the pump fetched last
///@{
/// The view angles XROT, YROT (degrees) and distance DEPTH (model units) that the mouse sets
/// and SETGLMOUSEMOVE applies; XROT2, YROT2, DEPTH2 get the same increments and are read by
/// nothing.
extern SINGLE XROT, YROT, DEPTH, XROT2, YROT2, DEPTH2;
///@}
extern LONGINT MSPEED;             ///< speed factor of every navigation increment
extern POINT MPOS;                 ///< cursor in screen pixels, read in free-mouse mode
extern TPROCEDURE CREATEMOUSEMENU; ///< hook called on a context-menu request (SHOWMENUBAR)
extern TWNDPROC GETINPUTCOMMAND;   ///< hook given WM_COMMAND messages (SHOWMENUBAR)

// ---- Navigation transform ----
extern TGLVERTEX MY; ///< the translation the last SETGLMOUSEMOVE applied, model units
///@{
/// Navigation modes of SETGLMOUSEMOVE: which axes the translation and the two rotations use.
inline constexpr LONGINT GL_M0 = 0, GL_MX = 1, GL_MY = 2, GL_MZ = 3;
///@}

// ---- Status bar ----
/// Right edge of each status-bar part (used 1..20), client pixels; -1: the right border.
extern LONGINT STATUSITEM[21];
extern LONGINT MAXSTATUSITEM; ///< number of status-bar parts, 0..20
extern LONGINT EDGES[21];     ///< used 1..20: the edges handed to the status window
extern char FILENAME[261];    ///< text buffer: the status bar's first text
extern THANDLE AWND;          ///< the status window created last, 0 if that failed

// ---- Picture buttons ----
extern ANSISTRING BMPTYPE; ///< prefix of the picture file names, read when a button is created

// ---- Texture slots and the shade ramp ----
extern LONGWORD TEXTUREID2[501];    ///< slot 0..500: OpenGL name of the 2-D texture loaded there
extern LONGWORD TEXTUREID;          ///< OpenGL name of the shade ramp's 1-D texture
extern BOOLEAN ACTIVETEXTURESHADER; ///< true while the shade ramp replaces lighting

/// The framework's one text file, opened by LOADFILE and closed by ENDFILE.
struct TTEXTFILE {
  std::FILE *HANDLE = nullptr; ///< the open file, null when closed
  ANSISTRING NAME;             ///< its name, for messages
  LONGINT LINE = 1;            ///< line of the next character to read
  ANSISTRING BUFFER;           ///< the block read last; BUFFER[POS .. END) is not taken yet
  std::size_t POS = 0;         ///< the next character of BUFFER to take
  std::size_t END = 0;         ///< the end of what BUFFER holds
  BOOLEAN ATEND = false;       ///< the end of the file, or a Ctrl-Z, has been met
  BOOLEAN AFTERCR = false;     ///< the last character taken was a CR, so a LF now ends no new line
};
extern TTEXTFILE FILEIN; ///< the text file LOADFILE opens

// ---- Lights and fog ----
extern SINGLE AMBIENTLIGHT[4];  ///< ambient colour of lights SETGLLIGHT switches on, RGBA 0..1
extern SINGLE DIFFUSELIGHT[4];  ///< their diffuse colour, RGBA 0..1
extern SINGLE SPECULARLIGHT[4]; ///< their specular colour, RGBA 0..1
extern SINGLE LIGHTPOSITION[4]; ///< the light position handed to OpenGL last (x, y, z, w)
extern SINGLE FOGCOLOR[4];      ///< the fog colour of the last SETGLFOG, RGBA 0..1

// ---- Outline text ----
extern LONGWORD BASE;              ///< first of the 256 font lists
extern GLYPHMETRICSFLOAT GMF[256]; ///< metrics of each character code's glyph, em units

// ---- Face normals ----
extern REAL FNORMAL[4]; ///< used 1..3: the last FINDNORMAL result, a unit vector or zero

} // namespace vantrel
VANTREL_API_END
