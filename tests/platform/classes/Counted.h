#pragma once
// An object that counts the live instances of its kind, for ownership tests.
#include "platform/rtl/System.h"

class TCounted : public TObject {
 public:
  explicit TCounted(int& Alive) : FAlive(Alive) { ++FAlive; }
  ~TCounted() override { --FAlive; }

 private:
  int& FAlive;
};
