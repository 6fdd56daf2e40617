#pragma once
// The root of the class hierarchy, the date-time value and the exception base.
#include <cstdint>
#include <exception>
#include <string>

// Root object: every class of the system derives from it and can name itself.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;
  // The dynamic class name without namespaces ("TForm1", "EConvertError").
  std::string ClassName() const;
  // True when this object is of class T or derives from it.
  template <class T>
  bool InheritsFrom() const { return dynamic_cast<const T*>(this) != nullptr; }
};

// Days since 1899-12-30 (whole part) and the fraction of the day (fractional part).
// A distinct type so that variants and overloads can tell a date-time from a number;
// it converts to and from double so that date arithmetic reads naturally.
struct TDateTime {
  double Value = 0.0;
  constexpr TDateTime() = default;
  constexpr TDateTime(double v) : Value(v) {}
  constexpr operator double() const { return Value; }
  TDateTime& operator+=(double d) { Value += d; return *this; }
  TDateTime& operator-=(double d) { Value -= d; return *this; }
};

// Base of every failure the system raises; carries a user-readable message.
class Exception : public TObject, public std::exception {
 public:
  explicit Exception(std::string message = {}) : FMessage(std::move(message)) {}
  const std::string& Message() const { return FMessage; }
  void SetMessage(std::string message) { FMessage = std::move(message); }
  const char* what() const noexcept override { return FMessage.c_str(); }
 private:
  std::string FMessage;
};

// An exception class is derived in one line, as below.
class EConvertError : public Exception { public: using Exception::Exception; };
class EListError : public Exception { public: using Exception::Exception; };
class EInvalidOperation : public Exception { public: using Exception::Exception; };
class EInvalidPointer : public Exception { public: using Exception::Exception; };
class EOutOfResources : public Exception { public: using Exception::Exception; };
class EInOutError : public Exception { public: using Exception::Exception; };
class EVariantError : public Exception { public: using Exception::Exception; };
// Silent exception: the application's handler swallows it without a message.
class EAbort : public Exception { public: using Exception::Exception; };

// Raises EAbort (the platform's "Abort").
[[noreturn]] void Abort();
