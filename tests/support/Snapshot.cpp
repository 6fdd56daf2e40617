#include "tests/support/Snapshot.h"

#include <cstdlib>
#include <filesystem>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Image.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/SurfaceDC.h"

namespace test {

void SavePng(const gdi::TSurface& Surface, const std::string& Path) { gdi::SavePngFile(Surface, Path); }

gdi::TSurface LoadPng(const std::string& Path) {
  const gdi::TImage img = gdi::LoadImageFile(Path);
  gdi::TSurface s(img.Width, img.Height);
  std::copy(img.Pixels.begin(), img.Pixels.end(), s.Data());
  return s;
}

TImageDifference CompareSurfaces(const gdi::TSurface& Expected, const gdi::TSurface& Actual, int Tolerance) {
  TImageDifference d;
  if (Expected.Width() != Actual.Width() || Expected.Height() != Actual.Height()) {
    d.SameSize = false;
    return d;
  }
  for (int y = 0; y < Actual.Height(); ++y)
    for (int x = 0; x < Actual.Width(); ++x) {
      const uint32_t a = Expected.Row(y)[x], b = Actual.Row(y)[x];
      int delta = 0;
      for (int shift : {0, 8, 16}) delta = std::max(delta, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
      d.MaxDelta = std::max(d.MaxDelta, delta);
      if (delta <= Tolerance) continue;
      const TRect px(x, y, x + 1, y + 1);
      UnionRect(&d.Box, &d.Box, &px);
      ++d.Pixels;
    }
  return d;
}

namespace {

namespace fs = std::filesystem;

fs::path KeptPicture(const std::string& Name) {
  return fs::path(OSTROVEL_SOURCE_DIR) / "tests" / "data" / "snapshots" / (Name + ".png");
}

void Keep(const gdi::TSurface& Picture, const fs::path& Path) {
  fs::create_directories(Path.parent_path());
  SavePng(Picture, Path.string());
}

}  // namespace

gdi::TSurface FontSample() {
  struct TFace {
    const char* Name;
    LONG Height;
    LONG Weight;
  };
  const TFace faces[] = {
      {"MS Sans Serif", -11, FW_NORMAL}, {"MS Sans Serif", -11, FW_BOLD}, {"Tahoma", -11, FW_NORMAL},
      {"Tahoma", -11, FW_BOLD},          {"Arial", -13, FW_NORMAL},       {"Times New Roman", -13, FW_NORMAL},
      {"Courier New", -13, FW_NORMAL},   {"宋体", -12, FW_NORMAL},        {"微软雅黑", -12, FW_NORMAL}};
  auto surface = std::make_shared<gdi::TSurface>(176, 2 + 16 * static_cast<int>(std::size(faces)),
                                                 gdi::PixelOf(RGB(255, 255, 255)));
  HDC dc = gdi::CreateSurfaceDC(surface, {0, 0}, gdi::TRegion(surface->Bounds()));
  SetBkMode(dc, TRANSPARENT);
  int y = 2;
  for (const TFace& face : faces) {
    LOGFONT lf;
    lf.lfHeight = face.Height;
    lf.lfWeight = face.Weight;
    lf.lfFaceName = face.Name;
    HFONT font = CreateFontIndirect(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    TextOut(dc, 2, y, "Ostrovel Wg 09:30 播放");
    SelectObject(dc, old);
    DeleteObject(font);
    y += 16;
  }
  DeleteDC(dc);
  return *surface;
}

bool SameFontsAsSnapshots() {
  static const bool same = [] {
    const fs::path kept = KeptPicture("fonts");
    if (!fs::exists(kept)) return false;
    const TImageDifference d = CompareSurfaces(LoadPng(kept.string()), FontSample());
    return d.SameSize && d.Pixels == 0;
  }();
  return same;
}

::testing::AssertionResult MatchesSnapshot(const gdi::TSurface& Actual, const std::string& Name, int Tolerance,
                                           int AllowedPixels) {
  const fs::path expected = KeptPicture(Name);
  if (std::getenv("OSTROVEL_UPDATE_SNAPSHOTS")) {
    // Every kept picture is drawn with the fonts of the kept sample.
    if (!fs::exists(KeptPicture("fonts"))) Keep(FontSample(), KeptPicture("fonts"));
    else if (!SameFontsAsSnapshots())
      return ::testing::AssertionFailure() << "this machine's fonts differ from the kept sample's ("
                                           << KeptPicture("fonts") << "): snapshots are made where they are the same";
    Keep(Actual, expected);
    return ::testing::AssertionSuccess() << "snapshot " << expected << " written";
  }
  const bool exact = SameFontsAsSnapshots();
  if (exact) Tolerance = AllowedPixels = 0;
  const fs::path actual = fs::path("snapshots") / (Name + ".actual.png");
  auto keepActual = [&] {
    Keep(Actual, actual);
    return fs::absolute(actual).string();
  };
  if (!fs::exists(expected))
    return ::testing::AssertionFailure() << "no snapshot " << expected << " (the picture is in " << keepActual()
                                         << "; set OSTROVEL_UPDATE_SNAPSHOTS=1 to keep it)";
  const TImageDifference d = CompareSurfaces(LoadPng(expected.string()), Actual, Tolerance);
  if (!d.SameSize)
    return ::testing::AssertionFailure() << "the picture's size differs from " << expected << " (see " << keepActual()
                                         << ")";
  if (d.Pixels > AllowedPixels)
    return ::testing::AssertionFailure() << d.Pixels << " pixels differ from " << expected << " by up to " << d.MaxDelta
                                         << " in (" << d.Box.Left << ", " << d.Box.Top << ") - (" << d.Box.Right << ", "
                                         << d.Box.Bottom << "); see " << keepActual()
                                         << (exact ? " (the fonts are the snapshots': no pixel may differ)"
                                                   : " (this machine's fonts differ from the snapshots')");
  return ::testing::AssertionSuccess();
}

}  // namespace test
