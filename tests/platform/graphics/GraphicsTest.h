#pragma once
// Pictures of bitmaps as text, one character a pixel and one line a row, by a legend of
// colours ('.' white and '#' black unless the legend says otherwise, '?' anything else).
#include <map>
#include <string>

#include "platform/graphics/Graphics.h"

namespace graphicstest {

constexpr TColor Red = clRed;
constexpr TColor Blue = clBlue;
constexpr TColor Lime = clLime;
inline const std::map<TColor, char> RBL{{Red, 'r'}, {Blue, 'b'}, {Lime, 'g'}};

inline std::string Picture(TBitmap& Bitmap, std::map<TColor, char> Legend = RBL) {
  Legend.emplace(clWhite, '.');
  Legend.emplace(clBlack, '#');
  std::string out;
  for (int y = 0; y < Bitmap.Height(); ++y) {
    for (int x = 0; x < Bitmap.Width(); ++x) {
      auto it = Legend.find(Bitmap.Canvas()->Pixels(x, y));
      out += it == Legend.end() ? '?' : it->second;
    }
    out += '\n';
  }
  return out;
}

inline std::string Rows(std::initializer_list<const char*> Lines) {
  std::string out;
  for (const char* l : Lines) (out += l) += '\n';
  return out;
}

// A bitmap of Width x Height filled with Color.
inline std::unique_ptr<TBitmap> Filled(int Width, int Height, TColor Color = clWhite) {
  auto b = std::make_unique<TBitmap>(Width, Height);
  b->Canvas()->Brush()->SetColor(Color);
  b->Canvas()->FillRect(Rect(0, 0, Width, Height));
  return b;
}

// A bitmap drawn from rows of the legend's characters.
inline std::unique_ptr<TBitmap> FromRows(std::initializer_list<const char*> Lines, std::map<TColor, char> Legend = RBL) {
  Legend.emplace(clWhite, '.');
  Legend.emplace(clBlack, '#');
  const int h = static_cast<int>(Lines.size()), w = static_cast<int>(std::string(*Lines.begin()).size());
  auto b = std::make_unique<TBitmap>(w, h);
  int y = 0;
  for (const char* line : Lines) {
    for (int x = 0; x < w; ++x)
      for (const auto& [color, c] : Legend)
        if (c == line[x]) b->Canvas()->SetPixels(x, y, color);
    ++y;
  }
  return b;
}

}  // namespace graphicstest
