// The raster's fill and blit rates, and one frame of a data grid's painting.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"

namespace {

constexpr int W = 1920, H = 1080;

// A window-sized surface with a DC on it.
struct TWindow {
  std::shared_ptr<gdi::TSurface> Surface = std::make_shared<gdi::TSurface>(W, H);
  HDC DC = gdi::CreateSurfaceDC(Surface, {0, 0}, gdi::TRegion(TRect{0, 0, W, H}));
  ~TWindow() { DeleteDC(DC); }
};

// A memory DC with a full-size 32-bit bitmap.
struct TBuffer {
  HDC DC;
  HBITMAP Bitmap;
  HGDIOBJ Old;
  explicit TBuffer(HDC Like) {
    DC = CreateCompatibleDC(Like);
    Bitmap = CreateCompatibleBitmap(Like, W, H);
    Old = SelectObject(DC, Bitmap);
  }
  ~TBuffer() {
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
};

void Pixels(benchmark::State& State, int64_t PerIteration) {
  State.SetItemsProcessed(State.iterations() * PerIteration);
  State.SetBytesProcessed(State.iterations() * PerIteration * 4);
}

void FillWindow(benchmark::State& State) {
  TWindow w;
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  const TRect r{0, 0, W, H};
  for (auto _ : State) FillRect(w.DC, &r, brush);
  DeleteObject(brush);
  Pixels(State, int64_t{W} * H);
}
BENCHMARK(FillWindow);

void FillCells(benchmark::State& State) {
  // Cells of a grid: 100 × 18 rectangles, the size that grid painting fills most.
  TWindow w;
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  for (auto _ : State)
    for (int y = 0; y + 18 <= H; y += 18) {
      const TRect r{200, y, 300, y + 18};
      FillRect(w.DC, &r, brush);
    }
  DeleteObject(brush);
  Pixels(State, int64_t{H / 18} * 100 * 18);
}
BENCHMARK(FillCells);

void InvertWindow(benchmark::State& State) {
  TWindow w;
  for (auto _ : State) PatBlt(w.DC, 0, 0, W, H, DSTINVERT);
  Pixels(State, int64_t{W} * H);
}
BENCHMARK(InvertWindow);

void FillThroughComplexClip(benchmark::State& State) {
  // A window half covered by 20 others: the clip region has many bands.
  TWindow w;
  HRGN clip = CreateRectRgn(0, 0, W, H);
  for (int i = 0; i < 20; ++i) {
    HRGN hole = CreateRectRgn(i * 90, i * 50, i * 90 + 60, i * 50 + 40);
    CombineRgn(clip, clip, hole, RGN_DIFF);
    DeleteObject(hole);
  }
  SelectClipRgn(w.DC, clip);
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  const TRect r{0, 0, W, H};
  for (auto _ : State) FillRect(w.DC, &r, brush);
  DeleteObject(brush);
  DeleteObject(clip);
  Pixels(State, int64_t{W} * H);
}
BENCHMARK(FillThroughComplexClip);

void BlitBufferToWindow(benchmark::State& State) {
  TWindow w;
  TBuffer b(w.DC);
  for (auto _ : State) BitBlt(w.DC, 0, 0, W, H, b.DC, 0, 0, SRCCOPY);
  Pixels(State, int64_t{W} * H);
}
BENCHMARK(BlitBufferToWindow);

void BlitWithinWindow(benchmark::State& State) {
  // Scrolling by copying: source and destination overlap.
  TWindow w;
  for (auto _ : State) BitBlt(w.DC, 0, 18, W, H - 18, w.DC, 0, 0, SRCCOPY);
  Pixels(State, int64_t{W} * (H - 18));
}
BENCHMARK(BlitWithinWindow);

void BlitSrcAnd(benchmark::State& State) {
  TWindow w;
  TBuffer b(w.DC);
  for (auto _ : State) BitBlt(w.DC, 0, 0, W, H, b.DC, 0, 0, SRCAND);
  Pixels(State, int64_t{W} * H);
}
BENCHMARK(BlitSrcAnd);

void StretchDouble(benchmark::State& State) {
  TWindow w;
  TBuffer b(w.DC);
  for (auto _ : State) StretchBlt(w.DC, 0, 0, W, H, b.DC, 0, 0, W / 2, H / 2, SRCCOPY);
  Pixels(State, int64_t{W} * H);
}
BENCHMARK(StretchDouble);

void GridFrame(benchmark::State& State) {
  // One screen of a grid: 60 rows × 8 columns of cells, their lines and raised fixed cells.
  TWindow w;
  HBRUSH window = GetSysColorBrush(COLOR_WINDOW), face = GetSysColorBrush(COLOR_BTNFACE);
  HPEN silver = CreatePen(PS_SOLID, 1, RGB(192, 192, 192));
  HGDIOBJ oldPen = SelectObject(w.DC, silver);
  for (auto _ : State) {
    for (int row = 0; row < 60; ++row) {
      const int y = row * 18;
      for (int col = 0; col < 8; ++col) {
        TRect cell{col * 120, y, col * 120 + 119, y + 17};
        if (col == 0 || row == 0) {
          FillRect(w.DC, &cell, face);
          DrawEdge(w.DC, &cell, BDR_RAISEDINNER, BF_RECT);
        } else {
          FillRect(w.DC, &cell, window);
        }
      }
      MoveToEx(w.DC, 0, y + 17, nullptr);
      LineTo(w.DC, 960, y + 17);
    }
    for (int col = 0; col < 8; ++col) {
      MoveToEx(w.DC, col * 120 + 119, 0, nullptr);
      LineTo(w.DC, col * 120 + 119, H);
    }
  }
  SelectObject(w.DC, oldPen);
  DeleteObject(silver);
  State.SetItemsProcessed(State.iterations() * 60 * 8);
}
BENCHMARK(GridFrame);

}  // namespace
