#include "tests/support/Snapshot.h"

#include <filesystem>

TEST(Snapshot, SavedPicturesLoadBackAndCompareWithinTolerance) {
  gdi::TSurface a(6, 4, 0xFF204060);
  a.Set(1, 2, 0xFFFF0000);
  const std::string path = (std::filesystem::temp_directory_path() / "ostrovel-snapshot-test.png").string();
  test::SavePng(a, path);
  const gdi::TSurface b = test::LoadPng(path);
  std::filesystem::remove(path);
  EXPECT_EQ(test::CompareSurfaces(a, b).Pixels, 0);

  gdi::TSurface c = b;
  c.Set(4, 3, 0xFF204063);  // 3 off in blue
  c.Set(0, 0, 0xFF000000);
  const test::TImageDifference d = test::CompareSurfaces(a, c, 3);
  EXPECT_EQ(d.Pixels, 1);
  EXPECT_EQ(d.Box, TRect(0, 0, 1, 1));
  EXPECT_EQ(d.MaxDelta, 0x60);
  EXPECT_FALSE(test::CompareSurfaces(a, gdi::TSurface(6, 5)).SameSize);
}

TEST(Snapshot, AMissingSnapshotFailsAndKeepsThePicture) {
  if (std::getenv("OSTROVEL_UPDATE_SNAPSHOTS")) GTEST_SKIP();
  const gdi::TSurface s(3, 3);
  EXPECT_FALSE(test::MatchesSnapshot(s, "no-such-snapshot"));
  EXPECT_TRUE(std::filesystem::exists("snapshots/no-such-snapshot.actual.png"));
  std::filesystem::remove_all("snapshots");
}

TEST(Snapshot, WithTheSnapshotsFontsOneChangedPixelFails) {
  if (std::getenv("OSTROVEL_UPDATE_SNAPSHOTS")) GTEST_SKIP();
  if (!test::SameFontsAsSnapshots()) GTEST_SKIP() << "this machine's fonts differ from the snapshots'";
  const std::string kept = std::string(OSTROVEL_SOURCE_DIR) + "/tests/data/snapshots/controls-core-form.png";
  gdi::TSurface picture = test::LoadPng(kept);
  EXPECT_TRUE(test::MatchesSnapshot(picture, "controls-core-form", 24, 150));
  picture.Set(10, 10, picture.Get(10, 10) ^ 0x08);  // 8 off in blue, one pixel
  EXPECT_FALSE(test::MatchesSnapshot(picture, "controls-core-form", 24, 150)) << "the allowance is for other fonts";
  std::filesystem::remove_all("snapshots");
}
