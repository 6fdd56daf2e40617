#pragma once
// Interfaces identified by GUID, asked for with Supports. There is no reference counting:
// the objects that implement interfaces live by ownership like every component.
//
// An interface derives virtually from IInterface and names its GUID:
//   class IFrameControllerClient : public virtual IInterface {
//    public:
//     static constexpr TGUID IID = TGUID::Parse("{64B1C9EA-C954-428A-95C4-4EA2EB0F1E16}");
//     virtual void ApplyFrameController() = 0;
//   };
// A class lists the interfaces it answers for in QueryInterface:
//   bool QueryInterface(const TGUID& IID, void** Obj) override {
//     return classes::QueryInterfaces<IFrameControllerClient>(this, IID, Obj);
//   }
// and callers ask: if (auto* client = Supports<IFrameControllerClient>(control)) ...
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/rtl/System.h"

struct TGUID {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  std::array<uint8_t, 8> D4{};

  // Reads "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits in either case);
  // raises EConvertError for any other text (a compile error in a constant expression).
  static constexpr TGUID Parse(std::string_view Text) {
    constexpr std::string_view kShape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (Text.size() != kShape.size()) Invalid(Text);
    auto hex = [&](size_t i) -> uint32_t {
      char c = Text[i];
      if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
      if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
      if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
      Invalid(Text);
    };
    for (size_t i = 0; i < kShape.size(); ++i) {
      if (kShape[i] == 'X')
        hex(i);
      else if (Text[i] != kShape[i])
        Invalid(Text);
    }
    auto field = [&](size_t from, size_t digits) {
      uint32_t v = 0;
      for (size_t i = 0; i < digits; ++i) v = v * 16 + hex(from + i);
      return v;
    };
    TGUID g;
    g.D1 = field(1, 8);
    g.D2 = static_cast<uint16_t>(field(10, 4));
    g.D3 = static_cast<uint16_t>(field(15, 4));
    g.D4[0] = static_cast<uint8_t>(field(20, 2));
    g.D4[1] = static_cast<uint8_t>(field(22, 2));
    for (size_t i = 0; i < 6; ++i) g.D4[2 + i] = static_cast<uint8_t>(field(25 + 2 * i, 2));
    return g;
  }

  constexpr bool operator==(const TGUID&) const = default;
  // The braced text in upper case.
  std::string ToString() const;

 private:
  [[noreturn]] static void Invalid(std::string_view Text);
};

// The platform's conversions between GUIDs and their text.
inline TGUID StringToGUID(const std::string& S) { return TGUID::Parse(S); }
inline std::string GUIDToString(const TGUID& G) { return G.ToString(); }

// The root of every interface.
class IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{00000000-0000-0000-C000-000000000046}");
  // Stores in *Obj a pointer to the interface IID (to be cast to that interface type) and
  // returns true, or stores nullptr and returns false.
  virtual bool QueryInterface(const TGUID& IID, void** Obj) = 0;

 protected:
  ~IInterface() = default;  // objects are never freed through an interface
};

namespace classes {

// Answers QueryInterface for IInterface and each of Is, as implemented by Self.
template <class... Is, class T>
bool QueryInterfaces(T* Self, const TGUID& IID, void** Obj) {
  void* found = nullptr;
  if (IID == IInterface::IID) found = static_cast<IInterface*>(Self);
  ((found == nullptr && IID == Is::IID ? (found = static_cast<Is*>(Self)) : nullptr), ...);
  *Obj = found;
  return found != nullptr;
}

// The object's IInterface, or nullptr when it implements none.
template <class T>
IInterface* AsInterface(T* Instance) {
  if (Instance == nullptr) return nullptr;
  if constexpr (std::is_convertible_v<T*, IInterface*>)
    return Instance;
  else
    return dynamic_cast<IInterface*>(Instance);
}

}  // namespace classes

// True when Instance (an object or an interface, possibly nullptr) implements IID; the
// interface goes to *Intf (nullptr when not supported).
template <class T>
bool Supports(T* Instance, const TGUID& IID, void** Intf) {
  IInterface* intf = classes::AsInterface(Instance);
  if (intf == nullptr) {
    *Intf = nullptr;
    return false;
  }
  return intf->QueryInterface(IID, Intf);
}

template <class T>
bool Supports(T* Instance, const TGUID& IID) {
  void* unused = nullptr;
  return Supports(Instance, IID, &unused);
}

// Typed form: the interface I of Instance, or nullptr.
template <class I, class T>
I* Supports(T* Instance) {
  void* intf = nullptr;
  return Supports(Instance, I::IID, &intf) ? static_cast<I*>(intf) : nullptr;
}

// Typed form with an out parameter.
template <class I, class T>
bool Supports(T* Instance, I*& Intf) {
  Intf = Supports<I>(Instance);
  return Intf != nullptr;
}

// The object's interface IID in *Obj (the platform's TObject.GetInterface).
template <class T>
bool GetInterface(T* Instance, const TGUID& IID, void** Obj) {
  return Supports(Instance, IID, Obj);
}
