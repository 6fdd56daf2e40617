#include "tests/support/Snapshot.h"

#include <cstdlib>
#include <filesystem>

#include "platform/gdi/Image.h"
#include "platform/gdi/Png.h"

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

::testing::AssertionResult MatchesSnapshot(const gdi::TSurface& Actual, const std::string& Name, int Tolerance,
                                           int AllowedPixels) {
  namespace fs = std::filesystem;
  const fs::path expected = fs::path(OSTROVEL_SOURCE_DIR) / "tests" / "data" / "snapshots" / (Name + ".png");
  if (std::getenv("OSTROVEL_UPDATE_SNAPSHOTS")) {
    fs::create_directories(expected.parent_path());
    SavePng(Actual, expected.string());
    return ::testing::AssertionSuccess() << "snapshot " << expected << " written";
  }
  const fs::path actual = fs::path("snapshots") / (Name + ".actual.png");
  auto keepActual = [&] {
    fs::create_directories(actual.parent_path());
    SavePng(Actual, actual.string());
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
    return ::testing::AssertionFailure() << d.Pixels << " pixels differ from " << expected << " by up to "
                                         << d.MaxDelta << " in (" << d.Box.Left << ", " << d.Box.Top << ") - ("
                                         << d.Box.Right << ", " << d.Box.Bottom << "); see " << keepActual();
  return ::testing::AssertionSuccess();
}

}  // namespace test
