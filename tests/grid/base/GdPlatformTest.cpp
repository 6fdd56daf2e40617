#include "grid/base/GdPlatform.h"

#include <gtest/gtest.h>

namespace {

// The capacity a stream with HalfGrowthStep Half reaches when set to each size in turn.
struct TGrowthCase {
  int Half;
  std::vector<int64_t> Sizes;
  std::vector<int64_t> Capacities;
};

TEST(MemoryStreamGdTest, CapacityGrowsToTheNextMultipleOfTwiceTheHalfStep) {
  const TGrowthCase cases[] = {
      {4096, {1, 8192, 8193, 20000}, {8192, 8192, 16384, 24576}},
      {65536, {1, 131073}, {131072, 262144}},
      // Not a power of two: 6000-byte steps, where clearing low bits would go wrong.
      {3000, {1, 6000, 6001, 8193, 17999}, {6000, 6000, 12000, 12000, 18000}},
  };
  for (const TGrowthCase& c : cases) {
    SCOPED_TRACE(c.Half);
    TMemoryStreamGd stream;
    stream.SetHalfGrowthStep(c.Half);
    for (size_t i = 0; i < c.Sizes.size(); ++i) {
      stream.SetSize(c.Sizes[i]);
      EXPECT_EQ(stream.Capacity(), c.Capacities[i]) << "size " << c.Sizes[i];
      EXPECT_EQ(stream.Size(), c.Sizes[i]);
    }
  }
}

TEST(MemoryStreamGdTest, WritesKeepTheirBytesAndAnExactSizeKeepsItsCapacity) {
  TMemoryStreamGd stream;
  std::string text(10000, 'x');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  EXPECT_EQ(stream.Capacity(), 16384);
  // Set to the size it has: that exact capacity, the contents kept.
  stream.SetSize(10000);
  EXPECT_EQ(stream.Capacity(), 10000);
  EXPECT_EQ(std::string(static_cast<const char*>(stream.Memory()), 10000), text);
  stream.Clear();
  EXPECT_EQ(stream.Capacity(), 0);
  EXPECT_EQ(stream.Memory(), nullptr);
  EXPECT_THROW(stream.SetHalfGrowthStep(0), EStreamError);
}

}  // namespace
