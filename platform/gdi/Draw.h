#pragma once
// Lines, figures, fills and pixels, with the platform's pixel rules: a rectangle covers its
// left and top edges but not its right and bottom ones; LineTo draws up to its end point and
// leaves that point out; a figure (Rectangle, Ellipse, RoundRect, Chord, Pie, Polygon) is
// filled with the selected brush and outlined with the selected pen, and with a null pen it
// covers one pixel less to the right and at the bottom. All coordinates are logical.
#include "platform/gdi/DC.h"

BOOL MoveToEx(HDC DC, int X, int Y, TPoint* Old);
BOOL LineTo(HDC DC, int X, int Y);
BOOL Polyline(HDC DC, const TPoint* Points, int Count);
BOOL PolylineTo(HDC DC, const TPoint* Points, DWORD Count);
BOOL PolyPolyline(HDC DC, const TPoint* Points, const DWORD* Counts, DWORD PolylineCount);
// Cubic Bézier curves: 1 + 3n points (start, then two control points and an end per curve).
BOOL PolyBezier(HDC DC, const TPoint* Points, DWORD Count);
BOOL PolyBezierTo(HDC DC, const TPoint* Points, DWORD Count);
// A closed figure; filled by the DC's fill mode (ALTERNATE or WINDING).
BOOL Polygon(HDC DC, const TPoint* Points, int Count);
BOOL PolyPolygon(HDC DC, const TPoint* Points, const int* Counts, int PolygonCount);
BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height);
BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom);
// Elliptic arcs in the bounding box, from the ray towards (XStart, YStart) to the ray towards
// (XEnd, YEnd), counter-clockwise unless the arc direction is AD_CLOCKWISE.
BOOL Arc(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL ArcTo(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL Pie(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL Chord(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);

// Fills R with Brush (ignores the selected brush and pen); Brush may also be a system colour
// index + 1 cast to HBRUSH, as the platform allows.
int FillRect(HDC DC, const TRect* R, HBRUSH Brush);
// A one-pixel frame just inside R in Brush.
int FrameRect(HDC DC, const TRect* R, HBRUSH Brush);
BOOL InvertRect(HDC DC, const TRect* R);
BOOL FillRgn(HDC DC, HRGN Region, HBRUSH Brush);
// A frame Width × Height pixels thick along the inside of the region's border.
BOOL FrameRgn(HDC DC, HRGN Region, HBRUSH Brush, int Width, int Height);
BOOL PaintRgn(HDC DC, HRGN Region);
BOOL InvertRgn(HDC DC, HRGN Region);

// Pixels. SetPixel answers the colour set (CLR_INVALID outside the clip); GetPixel answers
// CLR_INVALID outside the clip region or the surface.
COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color);
BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color);
COLORREF GetPixel(HDC DC, int X, int Y);

