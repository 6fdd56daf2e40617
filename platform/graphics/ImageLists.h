#pragma once
// Image lists: pictures of one size, each with an optional mask, drawn by index, as the
// platform's common controls keep them. An HIMAGELIST names a list; a stale handle is not
// found, and the calls answer as for a null one. GUI thread only.
#include <cstdint>

#include "platform/classes/Streams.h"
#include "platform/gdi/Gdi.h"

struct HIMAGELIST__;
using HIMAGELIST = HIMAGELIST__*;

// Colours of ImageList_DrawEx and the background colour: none (transparent), or the list's own.
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// ImageList_Create flags.
enum : UINT {
  ILC_MASK = 0x0001,
  ILC_COLOR = 0x0000,
  ILC_COLORDDB = 0x00FE,
  ILC_COLOR4 = 0x0004,
  ILC_COLOR8 = 0x0008,
  ILC_COLOR16 = 0x0010,
  ILC_COLOR24 = 0x0018,
  ILC_COLOR32 = 0x0020,  // pictures keep their alpha
};
// Drawing styles.
enum : UINT {
  ILD_NORMAL = 0x0000,       // masked parts in the background colour (transparent for CLR_NONE)
  ILD_TRANSPARENT = 0x0001,  // masked parts left out whatever the background colour
  ILD_BLEND25 = 0x0002,      // a quarter of the blend colour mixed in
  ILD_BLEND50 = 0x0004,      // half of the blend colour mixed in
  ILD_MASK = 0x0010,         // the mask: white where the picture is transparent, black elsewhere
  ILD_IMAGE = 0x0020,        // the picture without its mask
  ILD_OVERLAYMASK = 0x0F00,  // an overlay (1..15) drawn over the picture
  ILD_FOCUS = ILD_BLEND25,
  ILD_SELECTED = ILD_BLEND50,
  ILD_BLEND = ILD_BLEND50,
};
constexpr UINT INDEXTOOVERLAYMASK(UINT Index) { return Index << 8; }

HIMAGELIST ImageList_Create(int Width, int Height, UINT Flags, int Initial, int Grow);
BOOL ImageList_Destroy(HIMAGELIST List);
// A copy of a list with its pictures, background colour and overlays.
HIMAGELIST ImageList_Duplicate(HIMAGELIST List);
int ImageList_GetImageCount(HIMAGELIST List);
BOOL ImageList_GetIconSize(HIMAGELIST List, int* Width, int* Height);
// A new size removes every picture.
BOOL ImageList_SetIconSize(HIMAGELIST List, int Width, int Height);
COLORREF ImageList_SetBkColor(HIMAGELIST List, COLORREF Color);
COLORREF ImageList_GetBkColor(HIMAGELIST List);

// Adds the pictures of a bitmap as wide as one or more pictures (a strip, left to right);
// Mask (monochrome, white where transparent) may be null. Answers the index of the first one,
// -1 when the bitmap is narrower or lower than a picture.
int ImageList_Add(HIMAGELIST List, HBITMAP Image, HBITMAP Mask);
// The same with the mask made from the pixels of Mask's colour, which become black.
int ImageList_AddMasked(HIMAGELIST List, HBITMAP Image, COLORREF Mask);
// Replaces picture Index by an icon (stretched to the list's size); -1 adds it.
int ImageList_ReplaceIcon(HIMAGELIST List, int Index, HICON Icon);
inline int ImageList_AddIcon(HIMAGELIST List, HICON Icon) { return ImageList_ReplaceIcon(List, -1, Icon); }
BOOL ImageList_Replace(HIMAGELIST List, int Index, HBITMAP Image, HBITMAP Mask);
// Removes picture Index; -1 removes all.
BOOL ImageList_Remove(HIMAGELIST List, int Index);
// Makes picture Image overlay number Overlay (1..15).
BOOL ImageList_SetOverlayImage(HIMAGELIST List, int Image, int Overlay);

BOOL ImageList_Draw(HIMAGELIST List, int Index, HDC DC, int X, int Y, UINT Style);
// Width and Height 0 draw the whole picture. Background: CLR_NONE (transparent), CLR_DEFAULT
// (the list's) or a colour; Foreground, the blend colour: CLR_NONE (none), CLR_DEFAULT (the
// highlight colour) or a colour.
BOOL ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int Width, int Height, COLORREF Background,
                      COLORREF Foreground, UINT Style);
// A new icon of picture Index (the caller destroys it).
HICON ImageList_GetIcon(HIMAGELIST List, int Index, UINT Flags);

namespace graphics {

// Moves picture From to position To, the pictures between shifting up or down.
BOOL MoveImage(HIMAGELIST List, int From, int To);
// Draws picture Index (with the overlay of Style) in the disabled look: its dark parts
// embossed, in the button highlight colour one pixel down and right under the button shadow
// colour.
BOOL DrawImageDisabled(HIMAGELIST List, int Index, HDC DC, int X, int Y, UINT Style);
// The platform's image list stream: a 28-byte header (magic "IL", version, count, capacity,
// growth, picture size, background colour, flags, four overlays), the pictures as a bitmap
// file of four pictures a row, then, for masked lists, the mask as a monochrome bitmap file.
void WriteImageList(HIMAGELIST List, TStream* Stream);
// Raises EReadError for a stream that is not an image list.
HIMAGELIST ReadImageList(TStream* Stream);

}  // namespace graphics
