#pragma once
// Integer scaling and sleeping.
#include <cstdint>

// a * b / c computed in 64 bits and rounded half away from zero; -1 when c is 0 or the
// result does not fit in 32 bits.
int MulDiv(int a, int b, int c);
// Waits `ms` milliseconds on the program's clock (a virtual clock just moves forward).
void Sleep(uint32_t ms);
