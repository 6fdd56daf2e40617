#pragma once
// PNG snapshots of surfaces (a window's pixels, a drawing test's bitmap): saving, loading,
// comparing with a tolerance, and checking against a snapshot kept in tests/data/snapshots.
#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/Surface.h"

namespace test {

void SavePng(const gdi::TSurface& Surface, const std::string& Path);
gdi::TSurface LoadPng(const std::string& Path);

struct TImageDifference {
  bool SameSize = true;
  int Pixels = 0;    // pixels with some channel further apart than the tolerance
  int MaxDelta = 0;  // the largest channel difference anywhere
  TRect Box;         // around the differing pixels
};
// Compares the colour channels (alpha is not looked at).
TImageDifference CompareSurfaces(const gdi::TSurface& Expected, const gdi::TSurface& Actual, int Tolerance = 0);

// Succeeds when Actual matches tests/data/snapshots/<Name>.png. Where this machine draws text
// as the one that made the snapshots did (SameFontsAsSnapshots), every pixel must be the same;
// where its fonts differ, at most AllowedPixels pixels may differ by more than Tolerance in a
// channel (the allowance a picture's text needs). On a mismatch the actual picture is written
// to snapshots/<Name>.actual.png in the working folder for a look. With the environment
// variable OSTROVEL_UPDATE_SNAPSHOTS set, the snapshot is written instead (and the check
// succeeds), on a machine whose fonts are the kept sample's; the sample is written when there
// is none (remove it to make every snapshot again with other fonts).
::testing::AssertionResult MatchesSnapshot(const gdi::TSurface& Actual, const std::string& Name, int Tolerance = 0,
                                           int AllowedPixels = 0);

// A sample of the fonts the pictures use (the controls', the dialogs' and the Chinese ones),
// drawn on this machine, and whether it is the same as the one kept beside the snapshots
// (tests/data/snapshots/fonts.png): the font files and the rasteriser are then the same too.
gdi::TSurface FontSample();
bool SameFontsAsSnapshots();

}  // namespace test
