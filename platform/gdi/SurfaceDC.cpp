#include "platform/gdi/SurfaceDC.h"

#include "platform/gdi/DCState.h"

namespace gdi {

namespace {

TSize Screen{1920, 1080};

TSize ExtentOf(TPoint Origin, const TRegion& Visible) {
  const TRect box = Visible.Box();
  return {std::max(0, box.Right - Origin.X), std::max(0, box.Bottom - Origin.Y)};
}

}  // namespace

HDC CreateSurfaceDC(std::shared_ptr<TSurface> Surface, TPoint Origin, const TRegion& Visible) {
  auto dc = std::make_shared<TDC>(false);
  dc->Surface = std::move(Surface);
  dc->Origin = Origin;
  dc->Visible = Visible;
  dc->Extent = ExtentOf(Origin, Visible);
  SelectDefaults(*dc);
  return static_cast<HDC>(AddObject(std::move(dc)));
}

void SetSurfaceDCPlacement(HDC DC, TPoint Origin, const TRegion& Visible) {
  TDC* dc = DCOf(DC);
  if (!dc || dc->Memory()) return;
  dc->Origin = Origin;
  dc->Visible = Visible;
  dc->Extent = ExtentOf(Origin, Visible);
  dc->ClipChanged();
}

void SetSurfaceDCSize(HDC DC, TSize Size) {
  if (TDC* dc = DCOf(DC); dc && !dc->Memory()) dc->Extent = Size;
}

std::shared_ptr<TSurface> SurfaceOf(HDC DC) {
  TDC* dc = DCOf(DC);
  return dc ? dc->Surface : nullptr;
}

TPoint SurfaceDCOrigin(HDC DC) {
  TDC* dc = DCOf(DC);
  return dc ? dc->Origin : TPoint{};
}

TRegion SurfaceDCVisible(HDC DC) {
  TDC* dc = DCOf(DC);
  return dc ? dc->Visible : TRegion{};
}

void SetScreenSize(TSize Size) { Screen = Size; }
TSize ScreenSize() { return Screen; }

}  // namespace gdi
