#pragma once
// Run-time class information: the class registry (RegisterClass, FindClass, GetClass) and,
// per class, its published properties, component fields and event handlers by name.
//
// A class publishes its properties next to its definition, one line per property:
//
//   // Panel.cpp (the file that defines the constructor, so the linker keeps it)
//   static const classes::TPublished<TPanel, TControl> PanelInfo([](classes::TPublisher<TPanel>& p) {
//     p.Int("Left", &TPanel::Left, &TPanel::SetLeft).Default(0);
//     p.String("Caption", &TPanel::Caption, &TPanel::SetCaption);
//     p.Bool("Visible", &TPanel::Visible, &TPanel::SetVisible).Default(true);
//     p.Enum("Align", &TPanel::Align, &TPanel::SetAlign).Default(alNone);
//     p.Set<TAnchorKind>("Anchors", &TPanel::Anchors, &TPanel::SetAnchors).Default(AnchorsDefault);
//     p.Int("Color", &TPanel::Color, &TPanel::SetColor).Default(clBtnFace).Idents(ColorIdents());
//     p.Object("Font", &TPanel::Font, &TPanel::SetFont);
//     p.Component("PopupMenu", &TPanel::PopupMenu, &TPanel::SetPopupMenu);
//     p.Event("OnClick", &TPanel::OnClick);
//   });
//
// A form publishes the fields that receive its components and the handlers its definition binds:
//
//   static const classes::TPublished<TForm1, TForm> Form1Info([](classes::TPublisher<TForm1>& p) {
//     p.Field("Panel1", &TForm1::Panel1);
//     p.Method("N19Click", &TForm1::N19Click);
//   });
//
// Enumerations name their values through a function found by argument-dependent lookup:
//
//   inline const classes::TEnumInfo& EnumInfo(TAlign) {
//     static const classes::TEnumInfo info{"TAlign", {"alNone", "alTop", "alBottom"}};
//     return info;
//   }
//
// Getters, setters, events and handlers may be members of a base class (&TPanel::Left where
// TControl declares Left). With `auto& p` as the parameter, write `p.template Set<E>(...)`.
//
// Sets are integral bit masks (bit i = element i) unless the set type supplies
// `uint64_t SetToBits(S)` and `S SetFromBits(uint64_t, S*)` found by argument-dependent lookup.
//
// Defaults follow the platform: an ordinal property (integer, enumeration, Boolean, set) with
// no Default is always written; a string is written when not empty, a float when not zero.
#include <any>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/rtl/Variant.h"

class EClassNotFound : public Exception { public: using Exception::Exception; };
class EPropertyError : public Exception { public: using Exception::Exception; };

namespace classes {

// Names of an enumeration's values, in order from 0.
struct TEnumInfo {
  std::string Name;
  std::vector<std::string> Names;
};
// The value named Name (case-insensitive), or -1.
int GetEnumValue(const TEnumInfo& Info, const std::string& Name);
// The name of Value, or "" when out of range.
std::string GetEnumName(const TEnumInfo& Info, int Value);
const TEnumInfo& BooleanInfo();

// Names for integer values (colours, cursors): both directions.
struct TIdentMap {
  std::string TypeName;
  std::vector<std::pair<int64_t, std::string>> Entries;
  bool IdentToInt(const std::string& Ident, int64_t& Value) const;
  bool IntToIdent(int64_t Value, std::string& Ident) const;
};

enum class TPropKind { Integer, Char, Enum, Bool, Set, Float, String, Variant, Object, Component, Event };

class TClassInfo;

// A bound event handler remembers its name and root so a writer can name it again.
template <class Sig>
struct TBoundMethod;
template <class R, class... A>
struct TBoundMethod<R(A...)> {
  std::string Name;
  TObject* Root = nullptr;
  std::function<R(A...)> Call;
  R operator()(A... Args) const { return Call(std::forward<A>(Args)...); }
};

// A handler published by a root class.
struct TMethodInfo {
  std::string Name;
  std::type_index Signature{typeid(void)};
  // Makes a std::function<Signature> bound to Root, wrapped in std::any.
  std::function<std::any(TObject* Root)> Bind;
};

// A published component field of a root class.
struct TFieldInfo {
  std::string Name;
  std::string ClassName;  // the declared class of the field
  // Stores Value (may be nil); false when Value is not of the field's class.
  std::function<bool(TObject* Root, TComponent* Value)> Assign;
  // Makes a component of the field's class (none for abstract classes).
  std::function<TComponent*(TComponent* Owner)> Create;
};

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  const TEnumInfo* Enum = nullptr;     // enumerations, Booleans, set elements
  const TIdentMap* Idents = nullptr;   // integers with names
  bool HasDefault = false;
  int64_t Default = 0;
  std::function<bool(TObject*)> IsStored;  // none = stored
  std::string ClassName;                   // Object and Component kinds: the declared class

  // Accessors by kind; a missing getter or setter is empty (write-only or read-only).
  std::function<int64_t(TObject*)> GetOrd;              // Integer, Enum, Bool, Set
  std::function<void(TObject*, int64_t)> SetOrd;
  std::function<double(TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<std::string(TObject*)> GetStr;
  std::function<void(TObject*, const std::string&)> SetStr;
  std::function<Variant(TObject*)> GetVar;
  std::function<void(TObject*, const Variant&)> SetVar;
  std::function<TObject*(TObject*)> GetObj;              // Object, Component
  std::function<bool(TObject*, TObject*)> SetObj;        // false: wrong class
  // Event: the bound handler's name (empty when unbound or not a named handler of Root).
  std::function<std::string(TObject* Instance, TObject* Root)> GetMethodName;
  // Event: binds Method of Root; false when the signatures differ. A nil Root clears it.
  std::function<bool(TObject* Instance, TObject* Root, const TMethodInfo* Method)> SetMethod;

  bool Readable() const;
  bool Writable() const;
  bool Stored(TObject* Instance) const { return !IsStored || IsStored(Instance); }
};

class TClassInfo {
 public:
  TClassInfo(std::string Name, std::type_index Type, std::type_index Base);
  const std::string& ClassName() const { return FName; }
  std::type_index Type() const { return FType; }
  // The registered base class (none for TObject).
  const TClassInfo* Parent() const;
  bool InheritsFrom(const TClassInfo* Other) const;
  bool InheritsFrom(const std::string& Name) const;
  bool IsComponentClass() const { return FIsComponent; }
  // The name of the first base class along the chain that is not registered ("" when the chain
  // is complete down to TObject): its published properties would be missing.
  std::string MissingBase() const;
  // True when Obj is of this class or derives from it.
  bool IsInstance(const TObject* Obj) const { return FIsInstance && FIsInstance(Obj); }
  // Makes a component of this class; raises EClassNotFound for classes that cannot be made.
  TComponent* Create(TComponent* Owner) const;
  bool CanCreate() const { return static_cast<bool>(FCreate); }

  // Published properties, base classes first; a property republished by a descendant keeps
  // its place and takes the descendant's settings.
  std::vector<const TPropInfo*> Properties() const;
  const TPropInfo* FindProperty(const std::string& Name) const;
  const TMethodInfo* FindMethod(const std::string& Name) const;
  const TFieldInfo* FindField(const std::string& Name) const;
  // Fields along the class chain.
  std::vector<const TFieldInfo*> Fields() const;

  // ---- filled by TPublished ----
  std::vector<std::unique_ptr<TPropInfo>> FProps;
  std::vector<std::unique_ptr<TMethodInfo>> FMethods;
  std::vector<std::unique_ptr<TFieldInfo>> FFields;
  std::function<bool(const TObject*)> FIsInstance;
  std::function<TComponent*(TComponent*)> FCreate;
  bool FIsComponent = false;

 private:
  std::string FName;
  std::type_index FType;
  std::type_index FBase;
  mutable const TClassInfo* FParent = nullptr;
  mutable bool FParentResolved = false;
};

// ---- the registry ----
// Registers Info (kept for the life of the program). A second registration of the same C++
// type adds to the first.
TClassInfo* RegisterClassInfo(std::type_index Type, std::type_index Base, const std::string& Name);
const TClassInfo* ClassInfoOfType(std::type_index Type);
// The class information of Obj's class, or of its nearest registered base class.
const TClassInfo* ClassInfoOf(const TObject* Obj);
// Points Owner's published field Name at Value (nil clears it); raises EComponentError when
// Value is not of the field's class. Nothing when Owner has no such field.
void SetFieldReference(TComponent* Owner, const std::string& Name, TComponent* Value);

// Raises EPropertyError "Invalid property value: V is out of range".
[[noreturn]] void ThrowOutOfRange(int64_t Value);

// The class name the system prints for T ("TPanel").
std::string ClassNameOfType(const std::type_info& Type);
// The same from a mangled type name (std::type_index::name()).
std::string DemangledName(const char* Mangled);

// Conversions of set values to bit masks.
template <class S>
uint64_t SetBitsOf(const S& Value) {
  if constexpr (std::is_integral_v<S> || std::is_enum_v<S>)
    return static_cast<uint64_t>(Value);
  else
    return SetToBits(Value);
}
template <class S>
S SetFromBitsOf(uint64_t Bits) {
  if constexpr (std::is_integral_v<S> || std::is_enum_v<S>)
    return static_cast<S>(Bits);
  else
    return SetFromBits(Bits, static_cast<S*>(nullptr));
}

template <class V>
int64_t OrdinalOf(const V& Value) {
  if constexpr (std::is_integral_v<V> || std::is_enum_v<V>)
    return static_cast<int64_t>(Value);
  else
    return static_cast<int64_t>(SetToBits(Value));
}

// Settings of one property, chained after its declaration.
template <class T>
class TPropBuilder {
 public:
  explicit TPropBuilder(TPropInfo& Info) : FInfo(Info) {}
  template <class V>
  TPropBuilder& Default(const V& Value) {
    FInfo.HasDefault = true;
    FInfo.Default = OrdinalOf(Value);
    return *this;
  }
  TPropBuilder& NoDefault() {
    FInfo.HasDefault = false;
    return *this;
  }
  TPropBuilder& Stored(bool Value) {
    FInfo.IsStored = [Value](TObject*) { return Value; };
    return *this;
  }
  template <class B>
  TPropBuilder& Stored(bool (B::*Pred)() const) {
    static_assert(std::is_base_of_v<B, T>);
    FInfo.IsStored = [Pred](TObject* o) { return (static_cast<T*>(o)->*Pred)(); };
    return *this;
  }
  TPropBuilder& Idents(const TIdentMap& Map) {
    FInfo.Idents = &Map;
    return *this;
  }

 private:
  TPropInfo& FInfo;
};

namespace detail {
template <class T, class G>
auto CallGet(G Get, TObject* O) {
  return std::invoke(Get, static_cast<T*>(O));
}
template <class F>
constexpr bool IsNull = std::is_null_pointer_v<F>;
template <class G, class T>
using GetResult = std::decay_t<std::invoke_result_t<G, T*>>;
}  // namespace detail

// Fills the class information of T (whose registered base class is Base).
template <class T>
class TPublisher {
 public:
  explicit TPublisher(TClassInfo& Info) : FInfo(Info) {}

  // Integer properties (int, int64_t, colours...).
  template <class G, class S>
  TPropBuilder<T> Int(const char* Name, G Get, S Set) {
    return Ordinal(Name, TPropKind::Integer, nullptr, Get, Set);
  }
  template <class G, class S>
  TPropBuilder<T> Bool(const char* Name, G Get, S Set) {
    return Ordinal(Name, TPropKind::Bool, &BooleanInfo(), Get, Set);
  }
  // A character (a code point), written as a one-character string ('*', #0).
  template <class G, class S>
  TPropBuilder<T> Char(const char* Name, G Get, S Set) {
    return Ordinal(Name, TPropKind::Char, nullptr, Get, Set);
  }
  // Enumerations: the names come from EnumInfo(E) of the getter's (or setter's) type.
  template <class G, class S>
  TPropBuilder<T> Enum(const char* Name, G Get, S Set) {
    return Ordinal(Name, TPropKind::Enum, &EnumInfo(EnumOf<G, S>{}), Get, Set);
  }
  // Sets of the enumeration E.
  template <class E, class G, class S>
  TPropBuilder<T> Set(const char* Name, G Get, S Set) {
    TPropInfo& p = Add(Name, TPropKind::Set);
    p.Enum = &EnumInfo(E{});
    if constexpr (!detail::IsNull<G>)
      p.GetOrd = [Get](TObject* o) { return static_cast<int64_t>(SetBitsOf(detail::CallGet<T>(Get, o))); };
    if constexpr (!detail::IsNull<S>) {
      using V = SetArgOf<G, S>;
      p.SetOrd = [Set](TObject* o, int64_t v) {
        std::invoke(Set, static_cast<T*>(o), SetFromBitsOf<V>(static_cast<uint64_t>(v)));
      };
    }
    return TPropBuilder<T>(p);
  }
  template <class G, class S>
  TPropBuilder<T> Float(const char* Name, G Get, S Set) {
    TPropInfo& p = Add(Name, TPropKind::Float);
    if constexpr (!detail::IsNull<G>)
      p.GetFloat = [Get](TObject* o) { return static_cast<double>(detail::CallGet<T>(Get, o)); };
    if constexpr (!detail::IsNull<S>) {
      using V = SetArgOf<G, S>;
      p.SetFloat = [Set](TObject* o, double v) { std::invoke(Set, static_cast<T*>(o), static_cast<V>(v)); };
    }
    return TPropBuilder<T>(p);
  }
  template <class G, class S>
  TPropBuilder<T> String(const char* Name, G Get, S Set) {
    TPropInfo& p = Add(Name, TPropKind::String);
    if constexpr (!detail::IsNull<G>)
      p.GetStr = [Get](TObject* o) { return std::string(detail::CallGet<T>(Get, o)); };
    if constexpr (!detail::IsNull<S>)
      p.SetStr = [Set](TObject* o, const std::string& v) { std::invoke(Set, static_cast<T*>(o), v); };
    return TPropBuilder<T>(p);
  }
  // A Variant value: Unassigned (not written), Null, a number, money, a date, a Boolean or text.
  template <class G, class S>
  TPropBuilder<T> Var(const char* Name, G Get, S Set) {
    TPropInfo& p = Add(Name, TPropKind::Variant);
    if constexpr (!detail::IsNull<G>)
      p.GetVar = [Get](TObject* o) { return Variant(detail::CallGet<T>(Get, o)); };
    if constexpr (!detail::IsNull<S>)
      p.SetVar = [Set](TObject* o, const Variant& v) { std::invoke(Set, static_cast<T*>(o), v); };
    return TPropBuilder<T>(p);
  }
  // An owned sub-object (font, string list, collection): read and written through its own
  // properties ("Font.Color"); the optional setter assigns.
  template <class G, class S = std::nullptr_t>
  TPropBuilder<T> Object(const char* Name, G Get, S Set = nullptr) {
    TPropInfo& p = Add(Name, TPropKind::Object);
    SetObjectAccess<std::remove_pointer_t<detail::GetResult<G, T>>>(p, Get, Set);
    return TPropBuilder<T>(p);
  }
  // A reference to another component, written by name and resolved after reading.
  template <class G, class S>
  TPropBuilder<T> Component(const char* Name, G Get, S Set) {
    TPropInfo& p = Add(Name, TPropKind::Component);
    SetObjectAccess<std::remove_pointer_t<EnumOf<G, S>>>(p, Get, Set);
    return TPropBuilder<T>(p);
  }
  // An event: a std::function member (of T or a base class) bound by name to a handler of the root.
  template <class Sig, class B>
  TPropBuilder<T> Event(const char* Name, std::function<Sig> B::*Member) {
    static_assert(std::is_base_of_v<B, T>);
    TPropInfo& p = Add(Name, TPropKind::Event);
    p.GetMethodName = [Member](TObject* o, TObject* root) -> std::string {
      const auto* b = (static_cast<T*>(o)->*Member).template target<TBoundMethod<Sig>>();
      return (b != nullptr && b->Root == root) ? b->Name : std::string();
    };
    p.SetMethod = [Member](TObject* o, TObject* root, const TMethodInfo* m) {
      auto& slot = static_cast<T*>(o)->*Member;
      if (m == nullptr) {
        slot = nullptr;
        return true;
      }
      if (m->Signature != std::type_index(typeid(Sig))) return false;
      std::any bound = m->Bind(root);
      slot = TBoundMethod<Sig>{m->Name, root, std::any_cast<std::function<Sig>>(bound)};
      return true;
    };
    return TPropBuilder<T>(p);
  }
  // A component field of a root class, set when a component of that name joins the root.
  template <class C, class B>
  void Field(const char* Name, C* B::*Member) {
    static_assert(std::is_base_of_v<B, T>);
    auto f = std::make_unique<TFieldInfo>();
    f->Name = Name;
    f->ClassName = ClassNameOfType(typeid(C));
    f->Assign = [Member](TObject* root, TComponent* v) {
      C* c = dynamic_cast<C*>(v);
      if (v != nullptr && c == nullptr) return false;
      static_cast<T*>(root)->*Member = c;
      return true;
    };
    // Naming C's constructor here links C's own file, and with it C's registration, into any
    // program that has this field.
    if constexpr (!std::is_abstract_v<C> && std::is_constructible_v<C, TComponent*>)
      f->Create = [](TComponent* owner) -> TComponent* { return new C(owner); };
    FInfo.FFields.push_back(std::move(f));
  }
  // A handler of a root class that definitions bind to events by name.
  template <class R, class B, class... A>
  void Method(const char* Name, R (B::*M)(A...)) {
    static_assert(std::is_base_of_v<B, T>);
    auto m = std::make_unique<TMethodInfo>();
    m->Name = Name;
    m->Signature = std::type_index(typeid(R(A...)));
    m->Bind = [M](TObject* root) -> std::any {
      T* self = static_cast<T*>(root);
      return std::function<R(A...)>([self, M](A... args) -> R { return (self->*M)(std::forward<A>(args)...); });
    };
    FInfo.FMethods.push_back(std::move(m));
  }

 private:
  template <class S>
  struct FirstArg { using type = void; };
  template <class C, class R, class V>
  struct FirstArg<R (C::*)(V)> { using type = std::decay_t<V>; };
  // The value type a property carries: the getter's result, else the setter's argument.
  template <class G, class S>
  static auto ValueHelper() {
    if constexpr (!detail::IsNull<G>)
      return static_cast<detail::GetResult<G, T>*>(nullptr);
    else
      return static_cast<typename FirstArg<S>::type*>(nullptr);
  }
  // The type a setter takes: its argument, else the getter's result.
  template <class G, class S>
  static auto SetArgHelper() {
    if constexpr (!std::is_void_v<typename FirstArg<S>::type>)
      return static_cast<typename FirstArg<S>::type*>(nullptr);
    else
      return static_cast<detail::GetResult<G, T>*>(nullptr);
  }
  template <class G, class S>
  using SetArgOf = std::remove_pointer_t<decltype(SetArgHelper<G, S>())>;
  template <class G, class S>
  using EnumOf = std::remove_pointer_t<decltype(ValueHelper<G, S>())>;

  // Object and Component kinds: the setter takes only objects of the declared class C.
  template <class C, class G, class S>
  void SetObjectAccess(TPropInfo& p, G Get, S Set) {
    p.ClassName = ClassNameOfType(typeid(C));
    if constexpr (!detail::IsNull<G>)
      p.GetObj = [Get](TObject* o) -> TObject* { return detail::CallGet<T>(Get, o); };
    if constexpr (!detail::IsNull<S>)
      p.SetObj = [Set](TObject* o, TObject* v) {
        C* c = dynamic_cast<C*>(v);
        if (v != nullptr && c == nullptr) return false;
        std::invoke(Set, static_cast<T*>(o), c);
        return true;
      };
  }

  template <class G, class S>
  TPropBuilder<T> Ordinal(const char* Name, TPropKind Kind, const TEnumInfo* Names, G Get, S Set) {
    TPropInfo& p = Add(Name, Kind);
    p.Enum = Names;
    SetOrdinal<G, S>(p, Get, Set);
    return TPropBuilder<T>(p);
  }

  template <class G, class S>
  void SetOrdinal(TPropInfo& p, G Get, S Set) {
    if constexpr (!detail::IsNull<G>)
      p.GetOrd = [Get](TObject* o) { return static_cast<int64_t>(detail::CallGet<T>(Get, o)); };
    if constexpr (!detail::IsNull<S>) {
      using V = SetArgOf<G, S>;
      p.SetOrd = [Set](TObject* o, int64_t v) {
        if constexpr (std::is_integral_v<V> && !std::is_same_v<V, bool>) CheckRange<V>(v);
        std::invoke(Set, static_cast<T*>(o), static_cast<V>(v));
      };
    }
  }
  // Integers must fit the property's type, read as signed or as unsigned ($80000005 for an int32).
  template <class V>
  static void CheckRange(int64_t v) {
    using U = std::make_unsigned_t<V>;
    using S = std::make_signed_t<V>;
    bool fitsSigned = v >= static_cast<int64_t>(std::numeric_limits<S>::min()) &&
                      (sizeof(V) >= 8 || v <= static_cast<int64_t>(std::numeric_limits<S>::max()));
    bool fitsUnsigned = v >= 0 && (sizeof(V) >= 8 || static_cast<uint64_t>(v) <= std::numeric_limits<U>::max());
    if (!fitsSigned && !fitsUnsigned) ThrowOutOfRange(v);
  }

  TPropInfo& Add(const char* Name, TPropKind Kind) {
    auto p = std::make_unique<TPropInfo>();
    p->Name = Name;
    p->Kind = Kind;
    FInfo.FProps.push_back(std::move(p));
    return *FInfo.FProps.back();
  }

  TClassInfo& FInfo;
};

// Registers T (derived from Base) with what Fill publishes. Declare one static instance in the
// .cpp that defines T's constructor.
template <class T, class Base>
class TPublished {
 public:
  template <class F>
  explicit TPublished(F Fill) {
    FInfo = RegisterClassInfo(typeid(T), typeid(Base), ClassNameOfType(typeid(T)));
    FInfo->FIsInstance = [](const TObject* o) { return dynamic_cast<const T*>(o) != nullptr; };
    FInfo->FIsComponent = std::is_base_of_v<TComponent, T>;
    if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                  std::is_constructible_v<T, TComponent*>)
      FInfo->FCreate = [](TComponent* owner) -> TComponent* { return new T(owner); };
    TPublisher<T> p(*FInfo);
    Fill(p);
  }
  TPublished() : TPublished([](TPublisher<T>&) {}) {}
  const TClassInfo* Info() const { return FInfo; }

 private:
  TClassInfo* FInfo = nullptr;
};

}  // namespace classes

// The platform's class reference: class information that can make components.
using TPersistentClass = const classes::TClassInfo*;

// Registers T without published properties of its own (they come from its bases).
template <class T, class Base>
TPersistentClass RegisterClass() {
  static const classes::TPublished<T, Base> info;
  return info.Info();
}
// The class named Name, or nil.
TPersistentClass GetClass(const std::string& Name);
// The class named Name; raises EClassNotFound "Class X not found".
TPersistentClass FindClass(const std::string& Name);
void UnRegisterClass(TPersistentClass Class);

// ---- access to published properties by name (the platform's TypInfo routines) ----
// The property Name of Instance's class, or nil.
const classes::TPropInfo* GetPropInfo(const TObject* Instance, const std::string& Name);
bool IsPublishedProp(const TObject* Instance, const std::string& Name);
// These raise EPropertyError "Property X does not exist" / "Property X is not readable"...
int64_t GetOrdProp(TObject* Instance, const std::string& Name);
void SetOrdProp(TObject* Instance, const std::string& Name, int64_t Value);
std::string GetEnumProp(TObject* Instance, const std::string& Name);
void SetEnumProp(TObject* Instance, const std::string& Name, const std::string& Value);
std::string GetStrProp(TObject* Instance, const std::string& Name);
void SetStrProp(TObject* Instance, const std::string& Name, const std::string& Value);
double GetFloatProp(TObject* Instance, const std::string& Name);
void SetFloatProp(TObject* Instance, const std::string& Name, double Value);
TObject* GetObjectProp(TObject* Instance, const std::string& Name);
void SetObjectProp(TObject* Instance, const std::string& Name, TObject* Value);
