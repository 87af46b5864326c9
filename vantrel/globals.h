// The framework's global state, grouped by the subsystem that owns it. Everything is zero,
// false or null at program start unless an initial value is given in globals.cpp.
#pragma once

#include <cstdio>

#include "vantrel/platform/platform.h"
#include "vantrel/types.h"

namespace vantrel {

// ---- Window lifecycle ----
extern THANDLE HWINDOW;       // the main window
extern THANDLE DCWINDOW;      // its device context, held until DELETEOGLWINDOW
extern THANDLE RCWINDOW;      // the OpenGL rendering context
extern LONGINT WIDTH, HEIGHT; // window size in pixels (outer size when windowed)
extern LONGINT BITS;          // requested bit depth, 0..255
extern BOOLEAN FULLSCREEN;
extern BOOLEAN ACTIVE; // true from WM_CREATE to WM_DESTROY of the main window
extern LONGINT SETTYPECURSOR;
extern PCHAR CURSORFILE;
extern LONGINT SETTYPEICON;
extern PCHAR ICONFILE;
extern BOOLEAN SHOWMENUBAR;
extern TPROCEDURE CREATEMENUBAR;
extern BOOLEAN SHOWSTATUSBAR;
extern THANDLE HSTATUS;
extern LONGWORD START;
extern TWNDCLASSEX WINDOWCLASSEX; // class record of "IMAGEBUTTON"

// Cursor kinds for SETTYPECURSOR.
inline constexpr LONGINT ARROW = 1, IBEAM = 2, WAIT = 3, CROSS = 4, UPARROW = 5, SIZE = 6,
                         FILECURSOR = 7, SIZENWSE = 8, SIZENESW = 9, SIZEWE = 10, SIZENS = 11,
                         SIZEALL = 12, NOCURSOR = 13, HAND = 14, APPSTARTING = 15, HELP = 16;
// Icon kinds for SETTYPEICON.
inline constexpr LONGINT GENERIC = 1, FILEICON = 2;

// ---- Message pump, window procedure, input and navigation ----
extern LONGBOOL SETKEY[501]; // by virtual-key code
extern LONGINT SETMX, SETMY, SETOMX, SETOMY;
extern BOOLEAN LEFTMOUSEDOWN, LEFTMOUSEDOWN2, RIGHTMOUSEDOWN, RIGHTMOUSEDOWN2;
extern LONGINT XCOORD, YCOORD, ZCOORD;
extern BOOLEAN MOUSEFREE;
extern TMSG MSG_;
extern SINGLE XROT, YROT, DEPTH, XROT2, YROT2, DEPTH2;
extern LONGINT MSPEED;
extern POINT MPOS;
extern TPROCEDURE CREATEMOUSEMENU;
extern TWNDPROC GETINPUTCOMMAND;

// ---- Navigation transform ----
extern TGLVERTEX MY;
inline constexpr LONGINT GL_M0 = 0, GL_MX = 1, GL_MY = 2, GL_MZ = 3;

// ---- Status bar ----
extern LONGINT STATUSITEM[21]; // used 1..20
extern LONGINT MAXSTATUSITEM;
extern LONGINT EDGES[21]; // used 1..20
extern char FILENAME[261];
extern THANDLE AWND;

// ---- Picture buttons ----
extern ANSISTRING BMPTYPE; // prefix of the picture file names, read when a button is created

// ---- Texture slots and the shade ramp ----
extern LONGWORD TEXTUREID2[501];
extern LONGWORD TEXTUREID;
extern BOOLEAN ACTIVETEXTURESHADER;

// The framework's one text file, opened by LOADFILE and closed by ENDFILE.
struct TTEXTFILE {
  std::FILE *HANDLE = nullptr;
  ANSISTRING NAME;
  LONGINT LINE = 1;  // line of the next character to read
  ANSISTRING BUFFER; // the block read last; BUFFER[POS .. END) is not taken yet
  std::size_t POS = 0, END = 0;
  BOOLEAN ATEND = false;   // the end of the file, or a Ctrl-Z, has been met
  BOOLEAN AFTERCR = false; // the last character taken was a CR, so a LF now ends no new line
};
extern TTEXTFILE FILEIN;

// ---- Lights and fog ----
extern SINGLE AMBIENTLIGHT[4];
extern SINGLE DIFFUSELIGHT[4];
extern SINGLE SPECULARLIGHT[4];
extern SINGLE LIGHTPOSITION[4];
extern SINGLE FOGCOLOR[4];

// ---- Outline text ----
extern LONGWORD BASE; // first of the 256 font lists
extern GLYPHMETRICSFLOAT GMF[256];

// ---- Face normals ----
extern REAL FNORMAL[4]; // used 1..3: the last FINDNORMAL result

} // namespace vantrel
