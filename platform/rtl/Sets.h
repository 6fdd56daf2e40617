#pragma once
// The platform's small sets: a set of the elements of an enumeration whose values run from 0
// to at most 63, kept as a bit mask (bit i holds element i). Sets read and write in window
// definitions as `[fsBold, fsItalic]` through SetToBits / SetFromBits.
#include <cstdint>
#include <initializer_list>

template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Elements) {
    for (E e : Elements) FBits |= Bit(e);
  }
  static constexpr TSet FromBits(uint64_t Bits) {
    TSet s;
    s.FBits = Bits;
    return s;
  }

  constexpr uint64_t Bits() const { return FBits; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr bool Contains(E Element) const { return (FBits & Bit(Element)) != 0; }
  constexpr TSet& Include(E Element) {
    FBits |= Bit(Element);
    return *this;
  }
  constexpr TSet& Exclude(E Element) {
    FBits &= ~Bit(Element);
    return *this;
  }

  // Union, difference and intersection, as the platform writes them.
  friend constexpr TSet operator+(TSet A, TSet B) { return FromBits(A.FBits | B.FBits); }
  friend constexpr TSet operator-(TSet A, TSet B) { return FromBits(A.FBits & ~B.FBits); }
  friend constexpr TSet operator*(TSet A, TSet B) { return FromBits(A.FBits & B.FBits); }
  TSet& operator+=(TSet B) { return *this = *this + B; }
  TSet& operator-=(TSet B) { return *this = *this - B; }
  TSet& operator*=(TSet B) { return *this = *this * B; }
  constexpr bool operator==(const TSet&) const = default;

  friend constexpr uint64_t SetToBits(TSet S) { return S.FBits; }
  friend constexpr TSet SetFromBits(uint64_t Bits, TSet*) { return FromBits(Bits); }

 private:
  static constexpr uint64_t Bit(E Element) { return uint64_t(1) << static_cast<unsigned>(Element); }
  uint64_t FBits = 0;
};
