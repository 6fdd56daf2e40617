#pragma once
// What the window manager and the presenters need of the drawing layer: device contexts over
// a surface, and the geometry behind region handles.
#include <memory>

#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"

namespace gdi {

// A device context drawing into Surface. Device point (0, 0) lies at Origin on the surface,
// and nothing is drawn outside Visible (surface coordinates): the window manager's visible
// region of a window, its own area less what covers it. The clip region a program selects
// (SelectClipRgn, IntersectClipRect, ...) applies inside that. Freed with DeleteDC.
HDC CreateSurfaceDC(std::shared_ptr<TSurface> Surface, TPoint Origin, const TRegion& Visible);
// Moves a surface DC (a window that moved, a visible region that changed).
void SetSurfaceDCPlacement(HDC DC, TPoint Origin, const TRegion& Visible);
// The surface a DC draws into (nullptr for a DC that is not a live one).
std::shared_ptr<TSurface> SurfaceOf(HDC DC);
// The device origin and the visible region (surface coordinates) of a surface DC.
TPoint SurfaceDCOrigin(HDC DC);
TRegion SurfaceDCVisible(HDC DC);

// A new region object holding Region (freed with DeleteObject).
HRGN NewRegionHandle(TRegion Region);
// The geometry of a live region object, nullptr otherwise.
const TRegion* RegionOf(HRGN Region);
TRegion* MutableRegionOf(HRGN Region);

}  // namespace gdi

namespace gdi {

// The width and height of a surface DC, across which a right-to-left layout mirrors; by
// default the extent of the visible region from the origin.
void SetSurfaceDCSize(HDC DC, TSize Size);
// The screen's size in pixels as GetDeviceCaps reports it (HORZRES, VERTRES); the window
// manager sets it from the presenter.
void SetScreenSize(TSize Size);
TSize ScreenSize();

}  // namespace gdi
