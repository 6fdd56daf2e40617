#include "platform/rtl/SysUtils.h"

#include <cstdlib>
#include <limits>

#include "platform/rtl/Clock.h"

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const uint64_t numerator = static_cast<uint64_t>(std::llabs(product));
  const uint64_t denominator = static_cast<uint64_t>(std::llabs(static_cast<int64_t>(c)));
  const uint64_t rounded = (numerator + denominator / 2) / denominator;
  if (rounded > static_cast<uint64_t>(std::numeric_limits<int>::max()) + (negative ? 1 : 0)) return -1;
  return negative ? static_cast<int>(-static_cast<int64_t>(rounded)) : static_cast<int>(rounded);
}

void Sleep(uint32_t ms) { rtl::CurrentClock().SleepMs(ms); }
