#include "platform/classes/TypeInfo.h"

#include <cxxabi.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <unordered_map>

#include "platform/classes/Collection.h"
#include "platform/classes/DefinitionParser.h"
#include "platform/classes/StringList.h"

namespace classes {

namespace {

struct TRegistry {
  std::mutex Lock;
  std::unordered_map<std::type_index, std::unique_ptr<TClassInfo>> ByType;
  std::vector<TClassInfo*> Named;  // registration order; FindClass looks here
  std::unordered_map<std::type_index, const TClassInfo*> InstanceCache;
};

TRegistry& Registry() {
  static TRegistry r;
  return r;
}

int Depth(const TClassInfo* Info) {
  int d = 0;
  for (const TClassInfo* c = Info; c != nullptr; c = c->Parent()) ++d;
  return d;
}

template <class V>
const V* FindNamed(const TClassInfo* Info, const std::string& Name,
                   std::vector<std::unique_ptr<V>> TClassInfo::*List) {
  for (const TClassInfo* c = Info; c != nullptr; c = c->Parent())
    for (const auto& e : c->*List)
      if (SameIdent(e->Name, Name)) return e.get();
  return nullptr;
}

}  // namespace

// ---- enumerations and names ----

int GetEnumValue(const TEnumInfo& Info, const std::string& Name) {
  for (size_t i = 0; i < Info.Names.size(); ++i)
    if (SameIdent(Info.Names[i], Name)) return static_cast<int>(i);
  return -1;
}

std::string GetEnumName(const TEnumInfo& Info, int Value) {
  if (Value < 0 || static_cast<size_t>(Value) >= Info.Names.size()) return {};
  return Info.Names[static_cast<size_t>(Value)];
}

const TEnumInfo& BooleanInfo() {
  static const TEnumInfo info{"Boolean", {"False", "True"}};
  return info;
}

bool TIdentMap::IdentToInt(const std::string& Ident, int64_t& Value) const {
  for (const auto& [v, name] : Entries)
    if (SameIdent(name, Ident)) {
      Value = v;
      return true;
    }
  return false;
}

bool TIdentMap::IntToIdent(int64_t Value, std::string& Ident) const {
  for (const auto& [v, name] : Entries)
    if (v == Value) {
      Ident = name;
      return true;
    }
  return false;
}

bool TPropInfo::Readable() const {
  switch (Kind) {
    case TPropKind::Float: return static_cast<bool>(GetFloat);
    case TPropKind::String: return static_cast<bool>(GetStr);
    case TPropKind::Variant: return static_cast<bool>(GetVar);
    case TPropKind::Object:
    case TPropKind::Component: return static_cast<bool>(GetObj);
    case TPropKind::Event: return static_cast<bool>(GetMethodName);
    default: return static_cast<bool>(GetOrd);
  }
}

bool TPropInfo::Writable() const {
  switch (Kind) {
    case TPropKind::Float: return static_cast<bool>(SetFloat);
    case TPropKind::String: return static_cast<bool>(SetStr);
    case TPropKind::Variant: return static_cast<bool>(SetVar);
    case TPropKind::Object:
    case TPropKind::Component: return static_cast<bool>(SetObj);
    case TPropKind::Event: return static_cast<bool>(SetMethod);
    default: return static_cast<bool>(SetOrd);
  }
}

// ---- class information ----

TClassInfo::TClassInfo(std::string Name, std::type_index Type, std::type_index Base)
    : FName(std::move(Name)), FType(Type), FBase(Base) {}

const TClassInfo* TClassInfo::Parent() const {
  if (!FParentResolved) {
    if (FBase != std::type_index(typeid(void))) FParent = ClassInfoOfType(FBase);
    FParentResolved = FParent != nullptr || FBase == std::type_index(typeid(void));
  }
  return FParent;
}

bool TClassInfo::InheritsFrom(const TClassInfo* Other) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    if (c == Other) return true;
  return false;
}

bool TClassInfo::InheritsFrom(const std::string& Name) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    if (SameIdent(c->ClassName(), Name)) return true;
  return false;
}

std::string TClassInfo::MissingBase() const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    if (c->Parent() == nullptr && c->FBase != std::type_index(typeid(void))) return DemangledName(c->FBase.name());
  return {};
}

TComponent* TClassInfo::Create(TComponent* Owner) const {
  if (!FCreate) throw EClassNotFound("Class " + FName + " cannot be created");
  return FCreate(Owner);
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent()) chain.push_back(c);
  std::vector<const TPropInfo*> out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    for (const auto& p : (*it)->FProps) {
      bool replaced = false;
      for (auto& existing : out)
        if (SameIdent(existing->Name, p->Name)) {
          existing = p.get();
          replaced = true;
        }
      if (!replaced) out.push_back(p.get());
    }
  return out;
}

const TPropInfo* TClassInfo::FindProperty(const std::string& Name) const {
  return FindNamed(this, Name, &TClassInfo::FProps);
}

const TMethodInfo* TClassInfo::FindMethod(const std::string& Name) const {
  return FindNamed(this, Name, &TClassInfo::FMethods);
}

const TFieldInfo* TClassInfo::FindField(const std::string& Name) const {
  return FindNamed(this, Name, &TClassInfo::FFields);
}

std::vector<const TFieldInfo*> TClassInfo::Fields() const {
  std::vector<const TFieldInfo*> out;
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    for (const auto& f : c->FFields) out.push_back(f.get());
  return out;
}

// ---- registry ----

TClassInfo* RegisterClassInfo(std::type_index Type, std::type_index Base, const std::string& Name) {
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  auto& slot = r.ByType[Type];
  if (!slot) slot = std::make_unique<TClassInfo>(Name, Type, Base);
  bool named = false;
  for (TClassInfo* c : r.Named) named = named || c == slot.get();
  if (!named) r.Named.push_back(slot.get());
  r.InstanceCache.clear();
  return slot.get();
}

const TClassInfo* ClassInfoOfType(std::type_index Type) {
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  auto it = r.ByType.find(Type);
  return it == r.ByType.end() ? nullptr : it->second.get();
}

const TClassInfo* ClassInfoOf(const TObject* Obj) {
  if (Obj == nullptr) return nullptr;
  std::type_index type(typeid(*Obj));
  std::vector<const TClassInfo*> all;
  {
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.Lock);
    if (auto it = r.ByType.find(type); it != r.ByType.end()) return it->second.get();
    if (auto it = r.InstanceCache.find(type); it != r.InstanceCache.end()) return it->second;
    for (auto& [t, info] : r.ByType) all.push_back(info.get());
  }
  // Not registered itself: the deepest registered class it derives from.
  const TClassInfo* best = nullptr;
  int bestDepth = -1;
  for (const TClassInfo* c : all)
    if (c->IsInstance(Obj)) {
      int d = Depth(c);
      if (d > bestDepth) {
        best = c;
        bestDepth = d;
      }
    }
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  r.InstanceCache[type] = best;
  return best;
}

void SetFieldReference(TComponent* Owner, const std::string& Name, TComponent* Value) {
  const TClassInfo* info = ClassInfoOf(Owner);
  if (info == nullptr) return;
  const TFieldInfo* field = info->FindField(Name);
  if (field == nullptr) return;
  if (!field->Assign(Owner, Value))
    throw EComponentError("Field " + info->ClassName() + "." + field->Name + " of class " + field->ClassName +
                          " cannot hold a " + Value->ClassName());
}

void ThrowOutOfRange(int64_t Value) {
  throw EPropertyError("Invalid property value: " + std::to_string(Value) + " is out of range");
}

std::string ClassNameOfType(const std::type_info& Type) { return DemangledName(Type.name()); }

std::string DemangledName(const char* Mangled) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(Mangled, nullptr, nullptr, &status),
                                                   std::free);
  std::string name = (status == 0 && demangled) ? demangled.get() : Mangled;
  if (auto lt = name.find('<'); lt != std::string::npos) name.erase(lt);
  if (auto colon = name.rfind("::"); colon != std::string::npos) name.erase(0, colon + 2);
  return name;
}

// The root classes publish what every component has.
static const TPublished<TObject, void> ObjectInfo;
static const TPublished<TPersistent, TObject> PersistentInfo;
static const TPublished<TComponent, TPersistent> ComponentInfo([](auto& p) {
  p.String("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  p.Int("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
});
// The platform's persistent classes that components hold as sub-objects.
static const TPublished<TCollectionItem, TPersistent> CollectionItemInfo;
static const TPublished<TCollection, TPersistent> CollectionInfo;
static const TPublished<TOwnedCollection, TCollection> OwnedCollectionInfo;
static const TPublished<TStrings, TPersistent> StringsInfo;
static const TPublished<TStringList, TStrings> StringListInfo;

}  // namespace classes

using classes::TPropInfo;
using classes::TPropKind;

TPersistentClass GetClass(const std::string& Name) {
  auto& r = classes::Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  for (auto it = r.Named.rbegin(); it != r.Named.rend(); ++it)
    if (classes::SameIdent((*it)->ClassName(), Name)) return *it;
  return nullptr;
}

TPersistentClass FindClass(const std::string& Name) {
  TPersistentClass c = GetClass(Name);
  if (c == nullptr) throw EClassNotFound("Class " + Name + " not found");
  return c;
}

void UnRegisterClass(TPersistentClass Class) {
  auto& r = classes::Registry();
  std::lock_guard<std::mutex> guard(r.Lock);
  std::erase(r.Named, Class);
}

const TPropInfo* GetPropInfo(const TObject* Instance, const std::string& Name) {
  const classes::TClassInfo* info = classes::ClassInfoOf(Instance);
  return info == nullptr ? nullptr : info->FindProperty(Name);
}

bool IsPublishedProp(const TObject* Instance, const std::string& Name) { return GetPropInfo(Instance, Name) != nullptr; }

namespace {

const TPropInfo& PropOf(const TObject* Instance, const std::string& Name) {
  const TPropInfo* p = GetPropInfo(Instance, Name);
  if (p == nullptr) throw EPropertyError("Property " + Name + " does not exist");
  return *p;
}

[[noreturn]] void NotAccessible(const std::string& Name, bool Read) {
  throw EPropertyError("Property " + Name + (Read ? " is not readable" : " is read-only"));
}

[[noreturn]] void WrongKind(const std::string& Name) { throw EPropertyError("Invalid property type: " + Name); }

bool IsOrdinal(TPropKind K) {
  return K == TPropKind::Integer || K == TPropKind::Char || K == TPropKind::Enum || K == TPropKind::Bool ||
         K == TPropKind::Set;
}

}  // namespace

int64_t GetOrdProp(TObject* Instance, const std::string& Name) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (!IsOrdinal(p.Kind)) WrongKind(Name);
  if (!p.GetOrd) NotAccessible(Name, true);
  return p.GetOrd(Instance);
}

void SetOrdProp(TObject* Instance, const std::string& Name, int64_t Value) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (!IsOrdinal(p.Kind)) WrongKind(Name);
  if (!p.SetOrd) NotAccessible(Name, false);
  p.SetOrd(Instance, Value);
}

std::string GetEnumProp(TObject* Instance, const std::string& Name) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (p.Enum == nullptr || p.Kind == TPropKind::Set) WrongKind(Name);
  return classes::GetEnumName(*p.Enum, static_cast<int>(GetOrdProp(Instance, Name)));
}

void SetEnumProp(TObject* Instance, const std::string& Name, const std::string& Value) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (p.Enum == nullptr || p.Kind == TPropKind::Set) WrongKind(Name);
  int v = classes::GetEnumValue(*p.Enum, Value);
  if (v < 0) throw EPropertyError("Invalid property element: " + Value);
  SetOrdProp(Instance, Name, v);
}

std::string GetStrProp(TObject* Instance, const std::string& Name) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (p.Kind != TPropKind::String) WrongKind(Name);
  if (!p.GetStr) NotAccessible(Name, true);
  return p.GetStr(Instance);
}

void SetStrProp(TObject* Instance, const std::string& Name, const std::string& Value) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (p.Kind != TPropKind::String) WrongKind(Name);
  if (!p.SetStr) NotAccessible(Name, false);
  p.SetStr(Instance, Value);
}

double GetFloatProp(TObject* Instance, const std::string& Name) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (p.Kind != TPropKind::Float) WrongKind(Name);
  if (!p.GetFloat) NotAccessible(Name, true);
  return p.GetFloat(Instance);
}

void SetFloatProp(TObject* Instance, const std::string& Name, double Value) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (p.Kind != TPropKind::Float) WrongKind(Name);
  if (!p.SetFloat) NotAccessible(Name, false);
  p.SetFloat(Instance, Value);
}

TObject* GetObjectProp(TObject* Instance, const std::string& Name) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (p.Kind != TPropKind::Object && p.Kind != TPropKind::Component) WrongKind(Name);
  if (!p.GetObj) NotAccessible(Name, true);
  return p.GetObj(Instance);
}

void SetObjectProp(TObject* Instance, const std::string& Name, TObject* Value) {
  const TPropInfo& p = PropOf(Instance, Name);
  if (p.Kind != TPropKind::Object && p.Kind != TPropKind::Component) WrongKind(Name);
  if (!p.SetObj) NotAccessible(Name, false);
  if (!p.SetObj(Instance, Value)) throw EPropertyError("Invalid property value: " + Name);
}
