#include "platform/shell/ShellIcons.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/Objects.h"
#include "platform/graphics/MemoryDC.h"
#include "platform/shell/Namespace.h"

namespace shell {

namespace {

// A picture drawn on a 16-unit grid, scaled to its size: a unit is Size / 16 pixels.
class IconPainter {
 public:
  explicit IconPainter(int Size) : FSize(Size), FScale(Size / 16.0), FPixels(static_cast<size_t>(Size * Size), 0) {}

  std::vector<uint32_t> Take() { return std::move(FPixels); }

  // Fills the units [X, X + W) × [Y, Y + H).
  void Fill(double X, double Y, double W, double H, uint32_t Color) {
    FillPixels(Px(X), Px(Y), Px(X + W), Px(Y + H), Color);
  }
  // A one-pixel outline just inside the units' rectangle.
  void Frame(double X, double Y, double W, double H, uint32_t Color) {
    int l = Px(X), t = Px(Y), r = Px(X + W), b = Px(Y + H);
    FillPixels(l, t, r, t + 1, Color);
    FillPixels(l, b - 1, r, b, Color);
    FillPixels(l, t, l + 1, b, Color);
    FillPixels(r - 1, t, r, b, Color);
  }
  // A filled and outlined rectangle.
  void Box(double X, double Y, double W, double H, uint32_t Inside, uint32_t Outline) {
    Fill(X, Y, W, H, Inside);
    Frame(X, Y, W, H, Outline);
  }
  // A polygon of unit points, filled by the even-odd rule, with an optional outline.
  void Polygon(std::vector<std::pair<double, double>> Points, uint32_t Inside, uint32_t Outline = 0) {
    for (auto& p : Points) p = {p.first * FScale, p.second * FScale};
    for (int y = 0; y < FSize; ++y) {
      double cy = y + 0.5;
      std::vector<double> xs;
      for (size_t i = 0; i < Points.size(); ++i) {
        auto [x1, y1] = Points[i];
        auto [x2, y2] = Points[(i + 1) % Points.size()];
        if ((y1 <= cy && y2 > cy) || (y2 <= cy && y1 > cy)) xs.push_back(x1 + (cy - y1) * (x2 - x1) / (y2 - y1));
      }
      std::sort(xs.begin(), xs.end());
      for (size_t i = 0; i + 1 < xs.size(); i += 2)
        for (int x = static_cast<int>(std::lround(xs[i])); x < static_cast<int>(std::lround(xs[i + 1])); ++x) Set(x, y, Inside);
    }
    if (Outline)
      for (size_t i = 0; i < Points.size(); ++i) {
        auto [x1, y1] = Points[i];
        auto [x2, y2] = Points[(i + 1) % Points.size()];
        LinePixels(x1, y1, x2, y2, Outline);
      }
  }
  // A line between unit points, one pixel wide (Width units wide when given).
  void Line(double X1, double Y1, double X2, double Y2, uint32_t Color, double Width = 0) {
    if (Width <= 0) {
      LinePixels(X1 * FScale, Y1 * FScale, X2 * FScale, Y2 * FScale, Color);
      return;
    }
    double dx = X2 - X1, dy = Y2 - Y1, len = std::hypot(dx, dy);
    if (len == 0) return;
    double nx = -dy / len * Width / 2, ny = dx / len * Width / 2;
    Polygon({{X1 + nx, Y1 + ny}, {X2 + nx, Y2 + ny}, {X2 - nx, Y2 - ny}, {X1 - nx, Y1 - ny}}, Color);
  }
  // A disc around a unit point.
  void Disc(double X, double Y, double R, uint32_t Color) {
    double cx = X * FScale, cy = Y * FScale, r = R * FScale;
    for (int y = 0; y < FSize; ++y)
      for (int x = 0; x < FSize; ++x)
        if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r) Set(x, y, Color);
  }

 private:
  int Px(double Units) const { return static_cast<int>(std::lround(Units * FScale)); }
  void Set(int X, int Y, uint32_t Color) {
    if (X >= 0 && Y >= 0 && X < FSize && Y < FSize) FPixels[static_cast<size_t>(Y * FSize + X)] = Color;
  }
  void FillPixels(int L, int T, int R, int B, uint32_t Color) {
    for (int y = T; y < B; ++y)
      for (int x = L; x < R; ++x) Set(x, y, Color);
  }
  void LinePixels(double X1, double Y1, double X2, double Y2, uint32_t Color) {
    int steps = static_cast<int>(std::ceil(std::max(std::fabs(X2 - X1), std::fabs(Y2 - Y1)))) + 1;
    for (int i = 0; i <= steps; ++i) {
      double t = static_cast<double>(i) / steps;
      double x = X1 + (X2 - X1) * t, y = Y1 + (Y2 - Y1) * t;
      Set(std::min(static_cast<int>(x), FSize - 1), std::min(static_cast<int>(y), FSize - 1), Color);
    }
  }

  int FSize;
  double FScale;
  std::vector<uint32_t> FPixels;
};

constexpr uint32_t kOutline = 0xFF505050;
constexpr uint32_t kPaper = 0xFFFFFFFF;
constexpr uint32_t kFold = 0xFFD8D8D8;
constexpr uint32_t kFolderBack = 0xFFD9A21B;
constexpr uint32_t kFolderFront = 0xFFF5C842;
constexpr uint32_t kFolderLight = 0xFFFBE08A;
constexpr uint32_t kFolderEdge = 0xFF9A6E0C;
constexpr uint32_t kMetal = 0xFFC8C8C8;
constexpr uint32_t kMetalDark = 0xFF7A7A7A;
constexpr uint32_t kScreen = 0xFF3A7BD5;
constexpr uint32_t kScreenLight = 0xFF8CC4F5;
constexpr uint32_t kGreen = 0xFF2EAD3A;
constexpr uint32_t kRed = 0xFFC8382C;
constexpr uint32_t kBlue = 0xFF2356B0;
constexpr uint32_t kWall = 0xFFF0E0C0;
constexpr uint32_t kWood = 0xFF8A5A2B;
constexpr uint32_t kSkin = 0xFF6AA8E8;

void Page(IconPainter& P) {
  P.Polygon({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, kPaper, kOutline);
  P.Polygon({{10, 1}, {10, 4}, {13, 4}}, kFold, kOutline);
}

void DrawFile(IconPainter& P) { Page(P); }

void DrawFolder(IconPainter& P) {
  P.Polygon({{1, 3}, {6, 3}, {7, 5}, {15, 5}, {15, 14}, {1, 14}}, kFolderBack, kFolderEdge);
  P.Polygon({{1, 6}, {15, 6}, {15, 14}, {1, 14}}, kFolderFront, kFolderEdge);
  P.Line(2, 7, 14, 7, kFolderLight);
}

void DrawFolderOpen(IconPainter& P) {
  P.Polygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 14}, {1, 14}}, kFolderBack, kFolderEdge);
  P.Box(3, 4, 9, 6, kPaper, kOutline);
  P.Polygon({{3, 8}, {16, 8}, {14, 14}, {1, 14}}, kFolderLight, kFolderEdge);
}

void DrawDesktop(IconPainter& P) {
  P.Box(0, 2, 16, 12, kScreenLight, kOutline);
  P.Fill(1, 10, 14, 3, kGreen);
  P.Box(2, 4, 3, 3, kFolderFront, kFolderEdge);
  P.Box(2, 8, 3, 2, kPaper, kOutline);
  P.Disc(12, 5.5, 1.5, 0xFFFFE060);
}

void DrawComputer(IconPainter& P) {
  P.Box(1, 1, 14, 10, kMetal, kOutline);
  P.Box(2.5, 2.5, 11, 7, kScreen, kMetalDark);
  P.Line(3.5, 3.5, 6.5, 3.5, kScreenLight);
  P.Fill(6, 11, 4, 2, kMetalDark);
  P.Box(3, 13, 10, 2, kMetal, kOutline);
}

// A drive's box, seen from the front; the kinds add their marks.
void DriveBox(IconPainter& P) {
  P.Polygon({{1, 7}, {3, 4}, {13, 4}, {15, 7}}, kMetal, kOutline);
  P.Box(1, 7, 14, 5, kMetal, kOutline);
  P.Line(2, 10, 9, 10, kMetalDark);
}

void DrawDriveFixed(IconPainter& P) {
  DriveBox(P);
  P.Fill(12, 9, 2, 1.5, kGreen);
}

void DrawDriveRemovable(IconPainter& P) {
  P.Box(5, 1, 6, 4, kMetal, kOutline);
  P.Fill(6.5, 2, 1, 1.5, kMetalDark);
  P.Fill(8.5, 2, 1, 1.5, kMetalDark);
  P.Box(3, 5, 10, 10, kBlue, kOutline);
  P.Fill(5, 12, 6, 1, kScreenLight);
}

void DrawDriveCdrom(IconPainter& P) {
  P.Disc(8, 8, 7, kOutline);
  P.Disc(8, 8, 6.3, 0xFFE4E4EC);
  P.Disc(6, 6, 2.2, 0xFFF8F0FF);
  P.Disc(8, 8, 2, kMetalDark);
  P.Disc(8, 8, 1.2, 0);
}

void DrawDriveRemote(IconPainter& P) {
  P.Polygon({{1, 4}, {3, 1}, {13, 1}, {15, 4}}, kMetal, kOutline);
  P.Box(1, 4, 14, 5, kMetal, kOutline);
  P.Fill(12, 6, 2, 1.5, kGreen);
  P.Fill(7.5, 9, 1, 3, kOutline);
  P.Fill(2, 12, 12, 1, kOutline);
  P.Box(1, 11, 3, 3, kScreen, kOutline);
  P.Box(12, 11, 3, 3, kScreen, kOutline);
}

void DrawHome(IconPainter& P) {
  P.Box(3, 7, 10, 8, kWall, kOutline);
  P.Polygon({{1, 8}, {8, 1}, {15, 8}}, kRed, 0xFF7A1E16);
  P.Box(7, 10, 3, 5, kWood, kOutline);
  P.Box(4, 9, 2, 2, kScreenLight, kOutline);
}

void DrawAudio(IconPainter& P) {
  Page(P);
  P.Line(10, 5, 10, 11.5, kBlue, 1);
  P.Line(7, 6, 10, 5, kBlue, 1.2);
  P.Disc(8.5, 12, 2, kBlue);
  P.Line(7, 6, 7, 10, kBlue, 1);
  P.Disc(5.8, 10.5, 1.6, kBlue);
}

void DrawProgram(IconPainter& P) {
  P.Box(1, 2, 14, 12, kPaper, kOutline);
  P.Fill(2, 3, 12, 2.5, kBlue);
  P.Fill(11.5, 3.5, 1.5, 1.5, kPaper);
  P.Fill(3, 7, 5, 1, kMetalDark);
  P.Fill(3, 9, 8, 1, kMetalDark);
  P.Fill(3, 11, 6, 1, kMetalDark);
}

// The overlays sit in the bottom-left quarter; the rest stays transparent.
void DrawShareOverlay(IconPainter& P) {
  P.Polygon({{0, 12}, {4, 10}, {8, 10}, {8, 12}, {5, 12}, {7, 13}, {7, 15}, {0, 15}}, kSkin, kBlue);
  P.Line(1, 13.5, 6, 13.5, kBlue);
}

void DrawLinkOverlay(IconPainter& P) {
  P.Box(0, 9, 7, 7, kPaper, 0xFF000000);
  P.Line(2, 14, 5, 11, 0xFF000000, 1.2);
  P.Polygon({{3.2, 10.6}, {5.6, 10.6}, {5.6, 13}}, 0xFF000000);
}

using Drawer = void (*)(IconPainter&);
const Drawer kDrawers[kSystemIconCount] = {
    DrawFile,  DrawFolder, DrawFolderOpen, DrawDesktop, DrawComputer, DrawDriveFixed,   DrawDriveRemovable,
    DrawDriveCdrom, DrawDriveRemote, DrawHome, DrawAudio, DrawProgram, DrawShareOverlay, DrawLinkOverlay};

HIMAGELIST MakeList(int Size) {
  HIMAGELIST list = ImageList_Create(Size, Size, ILC_COLOR32 | ILC_MASK, kSystemIconCount, 4);
  uint32_t* bits = nullptr;
  HBITMAP strip = graphics::CreateColorBitmap(Size * kSystemIconCount, Size, &bits);
  for (int i = 0; i < kSystemIconCount; ++i) {
    std::vector<uint32_t> pixels = DrawSystemIcon(i, Size);
    for (int y = 0; y < Size; ++y)
      std::memcpy(bits + static_cast<size_t>(y) * Size * kSystemIconCount + static_cast<size_t>(i) * Size,
                  pixels.data() + static_cast<size_t>(y) * Size, static_cast<size_t>(Size) * sizeof(uint32_t));
  }
  ImageList_Add(list, strip, nullptr);
  DeleteObject(strip);
  ImageList_SetOverlayImage(list, kIconShareOverlay, 1);
  ImageList_SetOverlayImage(list, kIconLinkOverlay, 2);
  return list;
}

}  // namespace

std::vector<uint32_t> DrawSystemIcon(int Index, int Size) {
  IconPainter painter(Size);
  if (Index >= 0 && Index < kSystemIconCount) kDrawers[Index](painter);
  return painter.Take();
}

HIMAGELIST SystemIconList(int Size) {
  static HIMAGELIST small = nullptr, large = nullptr;
  HIMAGELIST& list = Size <= 16 ? small : large;
  // A list destroyed from outside (a test resetting the lists) is made again.
  if (!list || ImageList_GetImageCount(list) != kSystemIconCount) list = MakeList(Size <= 16 ? 16 : 32);
  return list;
}

}  // namespace shell
