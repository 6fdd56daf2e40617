#pragma once
// A small surface with a DC on it, and its pixels as text: one character a pixel, one line a
// row, by a legend of colours (anything else is '?'), so tests compare whole pictures.
// Header-only: a test binary that uses it links platform_gdi.
#include <map>
#include <memory>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"

class TPixels {
 public:
  TPixels(int Width, int Height, COLORREF Fill = RGB(255, 255, 255))
      : Surface(std::make_shared<gdi::TSurface>(Width, Height, gdi::PixelOf(Fill))),
        DC(gdi::CreateSurfaceDC(Surface, {0, 0}, gdi::TRegion(Surface->Bounds()))) {}
  ~TPixels() { DeleteDC(DC); }
  TPixels(const TPixels&) = delete;
  TPixels& operator=(const TPixels&) = delete;

  COLORREF At(int X, int Y) const { return gdi::ColorOfPixel(Surface->Get(X, Y)); }
  // The picture by the legend ('.' is white and '#' black unless the legend says otherwise).
  std::string Picture(std::map<COLORREF, char> Legend = {}) const {
    Legend.emplace(RGB(255, 255, 255), '.');
    Legend.emplace(RGB(0, 0, 0), '#');
    std::string out;
    for (int y = 0; y < Surface->Height(); ++y) {
      for (int x = 0; x < Surface->Width(); ++x) {
        auto it = Legend.find(At(x, y));
        out += it == Legend.end() ? '?' : it->second;
      }
      out += '\n';
    }
    return out;
  }
  // Rows given one string each, as Picture prints them.
  static std::string Rows(std::initializer_list<const char*> Lines) {
    std::string out;
    for (const char* l : Lines) (out += l) += '\n';
    return out;
  }

  std::shared_ptr<gdi::TSurface> Surface;
  HDC DC;
};

// Selects an object for a scope and frees it at the end (unless Keep).
class TSelected {
 public:
  TSelected(HDC DC, HGDIOBJ Object, bool Keep = false) : FDC(DC), FObject(Object), FKeep(Keep) {
    FOld = SelectObject(DC, Object);
  }
  ~TSelected() {
    SelectObject(FDC, FOld);
    if (!FKeep) DeleteObject(FObject);
  }
  TSelected(const TSelected&) = delete;
  TSelected& operator=(const TSelected&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FObject;
  HGDIOBJ FOld;
  bool FKeep;
};
