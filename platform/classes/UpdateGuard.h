#pragma once
// Holds an object's BeginUpdate/EndUpdate bracket for a scope.
#include <exception>

namespace classes {

// Calls BeginUpdate now and EndUpdate when the scope ends. An exception from EndUpdate (a change
// handler that raises) passes on, unless the scope is already left by another exception.
template <class T>
class TUpdateGuard {
 public:
  explicit TUpdateGuard(T& Target) : FTarget(Target), FExceptions(std::uncaught_exceptions()) {
    FTarget.BeginUpdate();
  }
  ~TUpdateGuard() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FTarget.EndUpdate();
      } catch (...) {
      }
      return;
    }
    FTarget.EndUpdate();
  }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

 private:
  T& FTarget;
  int FExceptions;
};

}  // namespace classes
