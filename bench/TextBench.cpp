// The raster's text rate: laying out and drawing text through a DC onto a surface, the way
// grids and labels paint their cells. Reports characters a second; glyphs come from the
// caches after the first iteration, as they do while the program runs.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/gdi/FontEngine.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"

namespace {

struct TCanvas {
  std::shared_ptr<gdi::TSurface> Surface = std::make_shared<gdi::TSurface>(800, 600);
  HDC DC = gdi::CreateSurfaceDC(Surface, {0, 0}, gdi::TRegion(Surface->Bounds()));
  HFONT Font;
  explicit TCanvas(const char* Face, int Height = -12, int Escapement = 0) {
    Font = CreateFont(Height, 0, Escapement, Escapement, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, Face);
    SelectObject(DC, Font);
    SetBkMode(DC, TRANSPARENT);
  }
  ~TCanvas() {
    SelectObject(DC, GetStockObject(SYSTEM_FONT));
    DeleteObject(Font);
    DeleteDC(DC);
  }
};

const std::string kLatin = "08:30:00  Morning announcement  opening.mp3  00:03:12";
const std::string kChinese = "早上八点 开店广播 背景音乐 播放列表 音量";

void TextOutLine(benchmark::State& State, const char* Face, const std::string& Text, int Escapement) {
  TCanvas c(Face, -12, Escapement);
  int row = 0;
  for (auto _ : State) {
    TextOut(c.DC, 10, 20 + (row++ % 30) * 18, Text);
    benchmark::ClobberMemory();
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(gdi::CodePoints(Text).size()));
}

void BM_TextOutLatin(benchmark::State& S) { TextOutLine(S, "Tahoma", kLatin, 0); }
void BM_TextOutChinese(benchmark::State& S) { TextOutLine(S, "宋体", kChinese, 0); }
void BM_TextOutRotated(benchmark::State& S) { TextOutLine(S, "Arial", kLatin, 900); }

// A grid cell: end ellipsis in a narrow rectangle, centred vertically.
void BM_DrawTextCell(benchmark::State& State) {
  TCanvas c("Tahoma");
  SetBkMode(c.DC, OPAQUE);
  for (auto _ : State) {
    TRect r(10, 10, 130, 28);
    DrawText(c.DC, kLatin, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  State.SetItemsProcessed(State.iterations());
}

// A wrapped label measured and drawn (what auto-sizing and painting do together).
void BM_DrawTextWrapped(benchmark::State& State) {
  TCanvas c("宋体");
  const std::string text = kChinese + " " + kLatin + " " + kChinese;
  for (auto _ : State) {
    TRect r(10, 10, 210, 10);
    DrawText(c.DC, text, &r, DT_WORDBREAK | DT_CALCRECT);
    DrawText(c.DC, text, &r, DT_WORDBREAK);
  }
  State.SetItemsProcessed(State.iterations());
}

void BM_TextExtent(benchmark::State& State) {
  TCanvas c("Tahoma");
  TSize size;
  for (auto _ : State) {
    GetTextExtentPoint32(c.DC, kLatin, &size);
    benchmark::DoNotOptimize(size);
  }
  State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(kLatin.size()));
}

// Realising new fonts (sizes a program has not used yet): fontconfig lookups are cached, the
// faces' sizes and glyphs are not.
void BM_NewFontSizes(benchmark::State& State) {
  int size = 8;
  for (auto _ : State) {
    TCanvas c("Tahoma", -(size++ % 40 + 8));
    TextOut(c.DC, 0, 0, "Size");
  }
}

}  // namespace

BENCHMARK(BM_TextOutLatin);
BENCHMARK(BM_TextOutChinese);
BENCHMARK(BM_TextOutRotated);
BENCHMARK(BM_DrawTextCell);
BENCHMARK(BM_DrawTextWrapped);
BENCHMARK(BM_TextExtent);
BENCHMARK(BM_NewFontSizes);
