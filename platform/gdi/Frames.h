#pragma once
// The platform's control-drawing routines: 3D edges, frame controls (buttons, check boxes,
// radio buttons, scroll arrows, caption buttons), the dotted focus rectangle, icons and
// disabled (embossed) images. Colours come from the system colour table.
#include <functional>

#include "platform/gdi/Blit.h"

// DrawEdge: an edge is an outer ring and an inner ring.
enum : UINT {
  BDR_RAISEDOUTER = 0x0001,
  BDR_SUNKENOUTER = 0x0002,
  BDR_RAISEDINNER = 0x0004,
  BDR_SUNKENINNER = 0x0008,
  BDR_OUTER = 0x0003,
  BDR_INNER = 0x000C,
  BDR_RAISED = 0x0005,
  BDR_SUNKEN = 0x000A,
  EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
  EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
  EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
  EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};
enum : UINT {
  BF_LEFT = 0x0001,
  BF_TOP = 0x0002,
  BF_RIGHT = 0x0004,
  BF_BOTTOM = 0x0008,
  BF_TOPLEFT = BF_TOP | BF_LEFT,
  BF_TOPRIGHT = BF_TOP | BF_RIGHT,
  BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT,
  BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
  BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
  BF_DIAGONAL = 0x0010,
  BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT,
  BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT,
  BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT,
  BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT,
  BF_MIDDLE = 0x0800,
  BF_SOFT = 0x1000,
  BF_ADJUST = 0x2000,
  BF_FLAT = 0x4000,
  BF_MONO = 0x8000,
};
// Draws the edge's rings on the chosen sides of R (BF_ADJUST shrinks R to what is left
// inside). Ring colours, upper-left / lower-right: raised outer 3D light / dark shadow,
// raised inner highlight / shadow, sunken outer shadow / highlight, sunken inner dark
// shadow / 3D light; BF_SOFT swaps the upper-left colours of the two rings (the push-button
// look). BF_FLAT draws the outer ring in shadow and the inner one in face colour, BF_MONO the
// outer ring in the frame colour and the inner one in the window colour. BF_MIDDLE fills the
// inside with the face colour (window colour with BF_MONO).
BOOL DrawEdge(HDC DC, TRect* R, UINT Edge, UINT Flags);

// DrawFrameControl.
enum : UINT { DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4, DFC_POPUPMENU = 5 };
enum : UINT {
  DFCS_CAPTIONCLOSE = 0x0000,
  DFCS_CAPTIONMIN = 0x0001,
  DFCS_CAPTIONMAX = 0x0002,
  DFCS_CAPTIONRESTORE = 0x0003,
  DFCS_CAPTIONHELP = 0x0004,
  DFCS_MENUARROW = 0x0000,
  DFCS_MENUCHECK = 0x0001,
  DFCS_MENUBULLET = 0x0002,
  DFCS_MENUARROWRIGHT = 0x0004,
  DFCS_SCROLLUP = 0x0000,
  DFCS_SCROLLDOWN = 0x0001,
  DFCS_SCROLLLEFT = 0x0002,
  DFCS_SCROLLRIGHT = 0x0003,
  DFCS_SCROLLCOMBOBOX = 0x0005,
  DFCS_SCROLLSIZEGRIP = 0x0008,
  DFCS_SCROLLSIZEGRIPRIGHT = 0x0010,
  DFCS_BUTTONCHECK = 0x0000,
  DFCS_BUTTONRADIOIMAGE = 0x0001,
  DFCS_BUTTONRADIOMASK = 0x0002,
  DFCS_BUTTONRADIO = 0x0004,
  DFCS_BUTTON3STATE = 0x0008,
  DFCS_BUTTONPUSH = 0x0010,
  DFCS_INACTIVE = 0x0100,
  DFCS_PUSHED = 0x0200,
  DFCS_CHECKED = 0x0400,
  DFCS_TRANSPARENT = 0x0800,
  DFCS_HOT = 0x1000,
  DFCS_ADJUSTRECT = 0x2000,
  DFCS_FLAT = 0x4000,
  DFCS_MONO = 0x8000,
};
BOOL DrawFrameControl(HDC DC, TRect* R, UINT Type, UINT State);

// The focus rectangle: every other pixel of R's one-pixel frame inverted (XOR), starting at
// the top-left corner, so drawing it twice restores the picture.
BOOL DrawFocusRect(HDC DC, const TRect* R);

// Icons.
enum : UINT {
  DI_MASK = 0x0001,
  DI_IMAGE = 0x0002,
  DI_NORMAL = 0x0003,
  DI_COMPAT = 0x0004,
  DI_DEFAULTSIZE = 0x0008,
  DI_NOMIRROR = 0x0010,
};
// At the icon's own size.
BOOL DrawIcon(HDC DC, int X, int Y, HICON Icon);
// Width or Height 0 use the icon's own size (DI_DEFAULTSIZE: the system icon size 32 × 32).
// FlickerFreeBrush, when given, paints the background of an off-screen copy first.
BOOL DrawIconEx(HDC DC, int X, int Y, HICON Icon, int Width, int Height, UINT StepIfAniCur, HBRUSH FlickerFreeBrush,
                UINT Flags);

// DrawState: a picture or text, normal or in one of the disabled looks.
enum : UINT {
  DST_COMPLEX = 0x0000,
  DST_TEXT = 0x0001,
  DST_PREFIXTEXT = 0x0002,
  DST_ICON = 0x0003,
  DST_BITMAP = 0x0004,
  DSS_NORMAL = 0x0000,
  DSS_UNION = 0x0010,  // dithered
  DSS_DISABLED = 0x0020,  // embossed: highlight offset by one, then shadow
  DSS_MONO = 0x0080,  // in the brush
  DSS_HIDEPREFIX = 0x0200,
  DSS_PREFIXONLY = 0x0400,
  DSS_RIGHT = 0x8000,
};
// Draws into a monochrome or colour DC of Width × Height at (0, 0); DST_COMPLEX calls it.
using DRAWSTATEPROC = std::function<BOOL(HDC DC, LPARAM Data, WPARAM DataLength, int Width, int Height)>;
// Data is the HICON or HBITMAP for DST_ICON and DST_BITMAP, a const char* (UTF-8) for the
// text kinds (DataLength its byte count, 0 for zero-terminated). Width and Height 0 take the
// picture's own size. Brush is used by DSS_MONO.
BOOL DrawState(HDC DC, HBRUSH Brush, const DRAWSTATEPROC& OutputFunc, LPARAM Data, WPARAM DataLength, int X, int Y,
               int Width, int Height, UINT Flags);
