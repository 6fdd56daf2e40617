#include "platform/classes/Filer.h"

#include <algorithm>

#include "platform/classes/StringList.h"
#include "platform/classes/UpdateGuard.h"
#include "platform/rtl/Strings.h"

using classes::TDefToken;
using classes::TPropInfo;
using classes::TPropKind;

namespace classes {

namespace {

// Marks exceptions whose message already names the file and line (and that were already
// offered to OnError), so that outer levels pass them on unchanged.
struct TLocatedError {};
class EReadErrorAt : public EReadError, public TLocatedError { public: using EReadError::EReadError; };
class EClassNotFoundAt : public EClassNotFound, public TLocatedError { public: using EClassNotFound::EClassNotFound; };

std::vector<TPropertyDefiner>& Definers() {
  static std::vector<TPropertyDefiner> list;
  return list;
}

std::vector<std::string> SplitDotted(const std::string& S) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t dot = S.find('.', start);
    parts.push_back(S.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return parts;
}

// Component Path ("Panel1.Button1") inside Root, or nil.
TComponent* FindNestedComponent(TComponent* Root, const std::vector<std::string>& Path, size_t From) {
  TComponent* c = Root;
  for (size_t i = From; i < Path.size() && c != nullptr; ++i) c = c->FindComponent(Path[i]);
  return c;
}

// Puts a member back to its value when the scope ends, also on an exception.
template <class V>
class TSaved {
 public:
  explicit TSaved(V& Var) : FVar(Var), FValue(Var) {}
  ~TSaved() { FVar = std::move(FValue); }
  TSaved(const TSaved&) = delete;
  TSaved& operator=(const TSaved&) = delete;

 private:
  V& FVar;
  V FValue;
};

const char* ValueTypeName(TValueType T) {
  switch (T) {
    case vaNull: return "end of list";
    case vaList: return "list";
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64: return "integer";
    case vaExtended:
    case vaSingle:
    case vaCurrency:
    case vaDate: return "float";
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String: return "string";
    case vaIdent: return "identifier";
    case vaFalse:
    case vaTrue: return "Boolean";
    case vaBinary: return "binary data";
    case vaSet: return "set";
    case vaNil: return "nil";
    case vaCollection: return "collection";
  }
  return "value";
}

// Same kind and value (Null equals Null); values of different kinds differ.
bool SameVariant(const Variant& A, const Variant& B) { return A.VType() == B.VType() && A == B; }

bool IsIntegerType(TValueType T) { return T == vaInt8 || T == vaInt16 || T == vaInt32 || T == vaInt64; }
bool IsStringType(TValueType T) { return T == vaString || T == vaLString || T == vaWString || T == vaUTF8String; }

// The ancestor object to compare Instance's property Prop with, when it has that property.
TObject* AncestorFor(TPersistent* Ancestor, const TPropInfo& Prop) {
  if (Ancestor == nullptr) return nullptr;
  return GetPropInfo(Ancestor, Prop.Name) == &Prop ? Ancestor : nullptr;
}

// ---- references to components of roots not read yet ----

struct TGlobalFixup {
  TComponent* Holder;  // the component whose property it is
  TObject* Instance;
  const TPropInfo* Prop;
  std::vector<std::string> Path;  // root name, then component names
};

// Forgets the references of components that are freed before they could be resolved.
class TFixupWatcher : public TComponent {
 public:
  TFixupWatcher() : TComponent(nullptr) {}
  std::vector<TGlobalFixup> Pending;
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
      std::erase_if(Pending, [AComponent](const TGlobalFixup& f) { return f.Holder == AComponent; });
  }
};

TFixupWatcher& Watcher() {
  static auto* w = new TFixupWatcher;  // lives as long as the program: holders may outlive statics
  return *w;
}

struct TGlobalProcs {
  int NextId = 1;
  std::vector<std::pair<int, TFindGlobalComponent>> Procs;
};
TGlobalProcs& GlobalProcs() {
  static TGlobalProcs p;
  return p;
}

// TStrings has no filer of its own: its lines are the defined property "Strings".
void DefineStrings(TPersistent* Instance, TFiler* Filer) {
  auto* s = dynamic_cast<TStrings*>(Instance);
  if (s == nullptr) return;
  auto* ancestor = dynamic_cast<TStrings*>(Filer->Ancestor());
  bool hasData = ancestor != nullptr ? !s->Equals(ancestor) : s->Count() > 0;
  Filer->DefineProperty(
      "Strings",
      [s](TReader* R) {
        R->ReadListBegin();
        TUpdateGuard<TStrings> update(*s);
        s->Clear();
        while (!R->EndOfList()) s->Add(R->ReadString());
        R->ReadListEnd();
      },
      [s](TWriter* W) {
        W->WriteListBegin();
        for (int i = 0; i < s->Count(); ++i) W->WriteString(s->Strings(i));
        W->WriteListEnd();
      },
      hasData);
}

const bool StringsDefinerRegistered = (RegisterPropertyDefiner(DefineStrings), true);

}  // namespace

void RegisterPropertyDefiner(TPropertyDefiner Definer) { Definers().push_back(std::move(Definer)); }

}  // namespace classes

using namespace classes;

// ---- TFiler ----

void TFiler::DefinePropertiesOf(TPersistent* Instance) {
  Instance->DefineProperties(this);
  for (const auto& d : Definers()) d(Instance, this);
}

// ---- TReader ----

TReader::TReader(const std::string& Text, const std::string& FileName) : FStream(ParseDefinition(Text, FileName)) {}

TReader::TReader(TDefStream Stream) : FStream(std::move(Stream)) {}

TReader::~TReader() = default;

int TReader::Line() const {
  if (FStream.Tokens.empty()) return 0;
  return FStream.Tokens[std::min(FPos, FStream.Tokens.size() - 1)].Line;
}

const TDefToken& TReader::Peek() const {
  if (FPos >= FStream.Tokens.size()) Located("Unexpected end of definition", Line());
  return FStream.Tokens[FPos];
}

const TDefToken& TReader::Take() {
  const TDefToken& t = Peek();
  ++FPos;
  return t;
}

void TReader::Located(const std::string& Message, int AtLine) const {
  throw EReadErrorAt(LocationText(FStream.FileName, AtLine) + ": " + Message);
}

void TReader::ValueError(const std::string& Expected) const {
  const TDefToken& t = Peek();
  std::string found = t.Kind == TDefToken::Value ? ValueTypeName(t.Type) : "'" + t.Text + "'";
  if (t.Kind == TDefToken::Value && t.Type == vaIdent) found = "'" + t.Text + "'";
  throw EReadError("Invalid property value: " + Expected + " expected but " + found + " found");
}

bool TReader::Error(const std::string& Message) {
  bool handled = false;
  if (OnError) OnError(this, Message, handled);
  return handled;
}

TValueType TReader::NextValue() const {
  const TDefToken& t = Peek();
  if (t.Kind != TDefToken::Value) ValueError("value");
  return t.Type;
}

TValueType TReader::ReadValue() {
  TValueType v = NextValue();
  ++FPos;
  return v;
}

bool TReader::EndOfList() const {
  const TDefToken& t = Peek();
  return t.Kind == TDefToken::Value && t.Type == vaNull && t.Int == 0;
}

void TReader::ReadListBegin() {
  if (NextValue() != vaList) ValueError("list");
  ++FPos;
}

void TReader::ReadListEnd() {
  if (!EndOfList()) ValueError("end of list");
  ++FPos;
}

void TReader::SkipValue() {
  const TDefToken& t = Take();
  if (t.Kind != TDefToken::Value) return;
  switch (t.Type) {
    case vaList:
      while (!EndOfList()) SkipValue();
      ++FPos;
      break;
    case vaSet:
      while (!Take().Text.empty()) {
      }
      break;
    case vaCollection:
      while (!EndOfList()) {
        if (IsIntegerType(NextValue())) ++FPos;
        ReadListBegin();
        while (!EndOfList()) {
          ReadStr();
          SkipValue();
        }
        ++FPos;
      }
      ++FPos;
      break;
    default: break;
  }
}

int TReader::ReadInteger() {
  int64_t v = ReadInt64();
  if (v < INT32_MIN || v > INT32_MAX) throw EReadError("Invalid property value: " + std::to_string(v) + " is out of range");
  return static_cast<int>(v);
}

int64_t TReader::ReadInt64() {
  if (!IsIntegerType(NextValue())) ValueError("integer");
  return Take().Int;
}

double TReader::ReadFloat() {
  TValueType t = NextValue();
  if (IsIntegerType(t)) return static_cast<double>(Take().Int);
  if (t != vaExtended && t != vaSingle && t != vaCurrency && t != vaDate) ValueError("float");
  return Take().Float;
}

TDateTime TReader::ReadDate() { return TDateTime(ReadFloat()); }

std::string TReader::ReadString() {
  if (!IsStringType(NextValue())) ValueError("string");
  return Take().Text;
}

std::string TReader::ReadIdent() {
  switch (NextValue()) {
    case vaIdent: return Take().Text;
    case vaFalse: ++FPos; return "False";
    case vaTrue: ++FPos; return "True";
    case vaNil: ++FPos; return "nil";
    case vaNull:
      if (!EndOfList()) {
        ++FPos;
        return "Null";
      }
      [[fallthrough]];
    default: ValueError("identifier");
  }
}

Variant TReader::ReadVariant() {
  TValueType t = NextValue();
  if (IsIntegerType(t)) {
    int64_t v = ReadInt64();
    return (v >= INT32_MIN && v <= INT32_MAX) ? Variant(static_cast<int>(v)) : Variant(static_cast<long long>(v));
  }
  if (IsStringType(t)) return Variant(ReadString());
  switch (t) {
    case vaNil: ++FPos; return Variant();
    case vaNull:
      if (EndOfList()) break;
      ++FPos;
      return Variant::Null();
    case vaTrue:
    case vaFalse: return Variant(ReadBoolean());
    case vaExtended: return Variant(ReadFloat());
    case vaSingle: return VarAsType(Variant(ReadFloat()), varSingle);
    case vaCurrency: return Variant(Currency::FromDouble(ReadFloat()));
    case vaDate: return Variant(TDateTime(ReadFloat()));
    default: break;
  }
  ValueError("variant value");
}

bool TReader::ReadBoolean() {
  TValueType t = NextValue();
  if (t != vaTrue && t != vaFalse) ValueError("True or False");
  ++FPos;
  return t == vaTrue;
}

std::string TReader::ReadStr() {
  const TDefToken& t = Peek();
  if (t.Kind != TDefToken::Str) ValueError("name");
  ++FPos;
  return t.Text;
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
  if (FPropName.empty() || !ReadData || !SameIdent(Name, FPropName)) return;
  FPropName.clear();
  FPropFound = true;
  ReadData(this);
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&, bool) {
  if (FPropName.empty() || !ReadData || !SameIdent(Name, FPropName)) return;
  FPropName.clear();
  FPropFound = true;
  if (NextValue() != vaBinary) ValueError("binary data");
  const std::string& bytes = Take().Text;
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  ReadData(&stream);
}

void TReader::ReadProperty(TPersistent* Instance) {
  const TDefToken& nameTok = Peek();
  if (nameTok.Kind != TDefToken::Str) Located("Property name expected", nameTok.Line);
  ++FPos;
  const std::string path = nameTok.Text;
  const int line = nameTok.Line;
  const size_t valueStart = FPos;
  SkipValue();
  const size_t valueEnd = FPos;
  FPos = valueStart;
  const std::string where = FPath.empty() ? path : FPath + "." + path;

  // A nested definer (a collection read by a reader callback) uses the same members.
  TSaved<std::string> keepName(FPropName);
  TSaved<bool> keepFound(FPropFound);
  try {
    std::vector<std::string> parts = SplitDotted(path);
    TObject* obj = Instance;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      const TPropInfo* p = GetPropInfo(obj, parts[i]);
      if (p == nullptr || p->Kind != TPropKind::Object || !p->GetObj)
        throw EReadError("Property " + parts[i] + " does not exist");
      obj = p->GetObj(obj);
      if (obj == nullptr) throw EReadError("Property " + parts[i] + " has no object");
    }
    const std::string& last = parts.back();
    const TPropInfo* prop = GetPropInfo(obj, last);
    if (prop != nullptr) {
      if (!prop->Writable() && prop->Kind != TPropKind::Object) throw EReadError("Property " + last + " is read-only");
      ReadPropValue(obj, *prop, where, line);
    } else {
      FPropName = last;
      FPropFound = false;
      {
        TSaved<std::string> keepPath(FPath);
        FPath = where;
        if (auto* p = dynamic_cast<TPersistent*>(obj)) DefinePropertiesOf(p);
      }
      if (!FPropFound) throw EReadError("Property " + last + " does not exist");
    }
    if (FPos != valueEnd) throw EReadError("Property " + last + " was not read completely");
  } catch (const TLocatedError&) {
    throw;
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& e) {
    if (!Error(e.Message())) Located("Error reading " + where + ": " + e.Message(), line);
    FPos = valueEnd;
  }
}

void TReader::ReadSetValue(TObject* Instance, const TPropInfo& Prop) {
  if (NextValue() != vaSet) ValueError("set");
  ++FPos;
  uint64_t bits = 0;
  for (;;) {
    std::string e = ReadStr();
    if (e.empty()) break;
    int v = GetEnumValue(*Prop.Enum, e);
    if (v < 0 || v >= 64) throw EReadError("Invalid property element: " + e);
    bits |= uint64_t(1) << v;
  }
  Prop.SetOrd(Instance, static_cast<int64_t>(bits));
}

void TReader::ReadPropValue(TObject* Instance, const TPropInfo& Prop, const std::string& Path, int AtLine) {
  switch (Prop.Kind) {
    case TPropKind::Integer: {
      int64_t v = 0;
      if (NextValue() == vaIdent) {
        std::string ident = ReadIdent();
        if (Prop.Idents == nullptr || !Prop.Idents->IdentToInt(ident, v))
          throw EReadError("Invalid property value: " + ident);
      } else {
        v = ReadInt64();
      }
      Prop.SetOrd(Instance, v);
      break;
    }
    case TPropKind::Enum: {
      std::string ident = ReadIdent();
      int v = GetEnumValue(*Prop.Enum, ident);
      if (v < 0) throw EReadError("Invalid property value: " + ident);
      Prop.SetOrd(Instance, v);
      break;
    }
    case TPropKind::Char: {
      std::string text = ReadString();
      size_t pos = 0;
      char32_t c = text.empty() ? 0 : rtl::NextCodePoint(text, pos);
      if (pos != text.size()) throw EReadError("Invalid property value: one character expected but '" + text + "' found");
      Prop.SetOrd(Instance, static_cast<int64_t>(c));
      break;
    }
    case TPropKind::Bool: Prop.SetOrd(Instance, ReadBoolean() ? 1 : 0); break;
    case TPropKind::Set: ReadSetValue(Instance, Prop); break;
    case TPropKind::Float: Prop.SetFloat(Instance, ReadFloat()); break;
    case TPropKind::String: Prop.SetStr(Instance, ReadString()); break;
    case TPropKind::Variant: Prop.SetVar(Instance, ReadVariant()); break;
    case TPropKind::Object: {
      auto* coll = dynamic_cast<TCollection*>(Prop.GetObj(Instance));
      if (coll == nullptr || NextValue() != vaCollection) ValueError("sub-property (Name.Property = value)");
      TSaved<std::string> keepPath(FPath);
      FPath = Path;
      ReadCollection(coll);
      break;
    }
    case TPropKind::Component:
      if (NextValue() == vaNil) {
        ++FPos;
        Prop.SetObj(Instance, nullptr);
      } else {
        FFixups.push_back({Instance, &Prop, ReadIdent(), Path, AtLine});
      }
      break;
    case TPropKind::Event: {
      if (NextValue() == vaNil) {
        ++FPos;
        Prop.SetMethod(Instance, nullptr, nullptr);
        break;
      }
      std::string name = ReadIdent();
      const TClassInfo* rootInfo = ClassInfoOf(LookupRoot());
      const TMethodInfo* m = rootInfo != nullptr ? rootInfo->FindMethod(name) : nullptr;
      if (m == nullptr)
        throw EReadError("Handler " + name + " not found in " + (LookupRoot() ? LookupRoot()->ClassName() : "nil"));
      if (!Prop.SetMethod(Instance, LookupRoot(), m))
        throw EReadError("Handler " + name + " does not fit event " + Prop.Name);
      break;
    }
  }
}

void TReader::ReadCollection(TCollection* Collection) {
  if (NextValue() != vaCollection) ValueError("collection");
  ++FPos;
  TUpdateGuard<TCollection> update(*Collection);
  // Also an empty "<>" clears: a descendant writes it when its ancestor has items it has not.
  Collection->Clear();
  TSaved<std::string> keepPath(FPath);
  const std::string base = FPath;
  while (!EndOfList()) {
    if (IsIntegerType(NextValue())) ReadInteger();  // the item order, not needed here
    ReadListBegin();
    TCollectionItem* item = Collection->Add();
    FPath = base + "[" + std::to_string(item->Index()) + "]";
    while (!EndOfList()) ReadProperty(item);
    ReadListEnd();
  }
  ReadListEnd();
}

TPersistentClass TReader::FindComponentClass(const std::string& ClassName) const {
  return GetClass(ClassName);
}

TComponent* TReader::ReadComponent(TComponent* Component) {
  const TDefToken& prefix = Peek();
  if (prefix.Kind != TDefToken::Prefix) Located("Object expected", prefix.Line);
  ++FPos;
  const int line = prefix.Line;
  const auto flags = static_cast<uint8_t>(prefix.Int);
  const int childPos = prefix.ChildPos;
  const std::string className = ReadStr();
  const std::string name = ReadStr();
  const size_t loadedMark = FLoaded.size();
  const size_t fixupMark = FFixups.size();
  TSaved<std::string> keepPath(FPath);

  TComponent* result = Component;
  bool created = false;
  if (result == nullptr) {
    if (flags & ffInherited) {
      result = FOwner != nullptr ? FOwner->FindComponent(name) : nullptr;
      if (result == nullptr) Located("Ancestor for '" + name + "' not found", line);
    } else {
      TPersistentClass cls = FindComponentClass(className);
      if (cls == nullptr)
        throw EClassNotFoundAt(LocationText(FStream.FileName, line) + ": Class " + className + " not found");
      if (!cls->IsComponentClass() || !cls->CanCreate())
        Located("Class " + className + " cannot be created as a component", line);
      if (std::string missing = cls->MissingBase(); !missing.empty())
        Located("Class " + className + " cannot be read: its base class " + missing + " is not registered", line);
      try {
        result = cls->Create(FOwner);
      } catch (const TLocatedError&) {
        throw;
      } catch (const Exception& e) {
        Located("Error creating " + name + ": " + e.Message(), line);
      }
      created = true;
    }
  }
  try {
    FPath = name;
    result->SetComponentState(csLoading, true);
    if (!(flags & ffInherited) && !name.empty()) {
      try {
        result->SetName(name);
      } catch (const Exception& e) {
        Located(e.Message(), line);
      }
    }
    if (std::find(FLoaded.begin(), FLoaded.end(), result) == FLoaded.end()) FLoaded.push_back(result);
    if (FParent != nullptr && result->HasParent()) result->SetParentComponent(FParent);
    result->SetComponentState(csReading, true);
    result->ReadState(this);
    result->SetComponentState(csReading, false);
    if ((flags & ffChildPos) && FParent != nullptr) FParent->SetChildOrder(result, childPos);
  } catch (...) {
    // Forget what this component and its children left behind, then free it if it is new.
    FLoaded.resize(loadedMark);
    FFixups.resize(fixupMark);
    if (created) delete result;
    try {
      throw;
    } catch (const TLocatedError&) {
      throw;
    } catch (const EAbort&) {
      throw;
    } catch (const Exception& e) {
      Located("Error reading " + (name.empty() ? className : name) + ": " + e.Message(), line);
    }
  }
  return result;
}

void TReader::ReadData(TComponent* Instance) {
  while (!EndOfList()) ReadProperty(Instance);
  ReadListEnd();
  TSaved<TComponent*> keepParent(FParent);
  TSaved<TComponent*> keepOwner(FOwner);
  FParent = Instance->GetChildParent();
  FOwner = Instance->GetChildOwner();
  if (FOwner == nullptr) FOwner = FRoot;
  while (!EndOfList()) ReadComponent(nullptr);
  ReadListEnd();
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  const TDefToken& prefix = Peek();
  if (prefix.Kind != TDefToken::Prefix) Located("Object expected", prefix.Line);
  ++FPos;
  const int line = prefix.Line;
  const std::string className = ReadStr();  // the root is already made: it must be of this class
  const std::string name = ReadStr();
  const TClassInfo* rootInfo = ClassInfoOf(Root);
  if (!SameIdent(Root->ClassName(), className) && (rootInfo == nullptr || !rootInfo->InheritsFrom(className)))
    Located("The definition is for a " + className + ", not for a " + Root->ClassName(), line);
  FRoot = Root;
  FOwner = Root;
  FParent = nullptr;
  try {
    Root->SetComponentState(csLoading, true);
    Root->SetComponentState(csReading, true);
    if (!name.empty() && !SameIdent(Root->Name(), name)) {
      // Another root may already carry the name (a second window of one class): Name_1...
      std::string unique = name;
      for (int i = 1;; ++i) {
        TComponent* other = FindGlobalComponent(unique);
        if (other == nullptr || other == Root) break;
        unique = name + "_" + std::to_string(i);
      }
      try {
        Root->SetName(unique);
      } catch (const Exception& e) {
        Located(e.Message(), line);
      }
    }
    FLoaded.push_back(Root);
    FPath = Root->Name();
    Root->ReadState(this);
    Root->SetComponentState(csReading, false);
    if (FPos != FStream.Tokens.size()) Located("End of definition expected", Line());
    FixupReferences();
  } catch (...) {
    Root->SetComponentState(csReading, false);
    FLoaded.clear();
    FFixups.clear();
    throw;
  }
  std::vector<TComponent*> loaded = std::move(FLoaded);
  FLoaded.clear();
  if (FLoadedList != nullptr) {
    for (TComponent* c : loaded)
      if (std::find(FLoadedList->begin(), FLoadedList->end(), c) == FLoadedList->end()) FLoadedList->push_back(c);
    return Root;
  }
  for (TComponent* c : loaded) {
    c->Loaded();
    c->SetComponentState(csLoading, false);
  }
  GlobalFixupReferences();
  return Root;
}

void TReader::FixupReferences() {
  std::vector<TFixup> fixups = std::move(FFixups);
  FFixups.clear();
  for (const TFixup& f : fixups) {
    std::vector<std::string> parts = SplitDotted(f.Name);
    TComponent* target = nullptr;
    bool pending = false;
    if (parts.size() == 1 && SameIdent(parts[0], FRoot->Name())) {
      target = FRoot;
    } else if (parts.size() == 1) {
      target = FRoot->FindComponent(parts[0]);
    } else if (SameIdent(parts[0], FRoot->Name())) {
      target = FindNestedComponent(FRoot, parts, 1);
    } else if (TComponent* other = FindGlobalComponent(parts[0])) {
      target = FindNestedComponent(other, parts, 1);
    } else {
      pending = true;
    }
    std::string message;
    if (pending) {
      // The holder is the component the property belongs to (or that owns the sub-object).
      TComponent* holder = dynamic_cast<TComponent*>(f.Instance);
      if (holder == nullptr) holder = FRoot->FindComponent(SplitDotted(f.Path)[0]);
      if (holder == nullptr) holder = FRoot;
      Watcher().Pending.push_back({holder, f.Instance, f.Prop, parts});
      holder->FreeNotification(&Watcher());
      continue;
    }
    if (target == nullptr)
      message = "Component " + f.Name + " not found";
    else if (!f.Prop->SetObj(f.Instance, target))
      message = "Component " + f.Name + " is a " + target->ClassName() + ", not a " + f.Prop->ClassName;
    if (!message.empty() && !Error(message)) Located("Error reading " + f.Path + ": " + message, f.Line);
  }
}

// ---- TWriter ----

TWriter::TWriter() = default;
TWriter::~TWriter() = default;

void TWriter::WriteValue(TValueType Value) {
  TDefToken t;
  t.Kind = TDefToken::Value;
  t.Type = Value;
  FStream.Tokens.push_back(std::move(t));
}

void TWriter::WritePrefix(uint8_t Flags, int ChildPos) {
  TDefToken t;
  t.Kind = TDefToken::Prefix;
  t.Int = Flags;
  t.ChildPos = ChildPos;
  FStream.Tokens.push_back(std::move(t));
}

void TWriter::WriteStr(const std::string& Value) {
  TDefToken t;
  t.Kind = TDefToken::Str;
  t.Text = Value;
  FStream.Tokens.push_back(std::move(t));
}

void TWriter::WritePropName(const std::string& Name) { WriteStr(FPropPath + Name); }

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteInteger(int64_t Value) {
  WriteValue(IntegerValueType(Value));
  FStream.Tokens.back().Int = Value;
}

void TWriter::WriteFloat(double Value) {
  WriteValue(vaExtended);
  FStream.Tokens.back().Float = Value;
}

void TWriter::WriteDate(TDateTime Value) {
  WriteValue(vaDate);
  FStream.Tokens.back().Float = Value.Value;
}

void TWriter::WriteString(const std::string& Value) {
  WriteValue(Value.size() > 255 ? vaLString : vaString);
  FStream.Tokens.back().Text = Value;
}

void TWriter::WriteIdent(const std::string& Ident) {
  if (SameIdent(Ident, "True")) return WriteValue(vaTrue);
  if (SameIdent(Ident, "False")) return WriteValue(vaFalse);
  if (SameIdent(Ident, "nil")) return WriteValue(vaNil);
  WriteValue(vaIdent);
  FStream.Tokens.back().Text = Ident;
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteVariant(const Variant& Value) {
  auto writeFloat = [this](TValueType Type, double V) {
    WriteValue(Type);
    FStream.Tokens.back().Float = V;
  };
  switch (Value.VType()) {
    case varEmpty: return WriteValue(vaNil);
    case varNull:
      WriteValue(vaNull);
      FStream.Tokens.back().Int = 1;  // a value, not the end of a list
      return;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: return WriteInteger(Value.AsInt64());
    case varSingle: return writeFloat(vaSingle, Value.AsDouble());
    case varDouble: return writeFloat(vaExtended, Value.AsDouble());
    case varCurrency: return writeFloat(vaCurrency, Value.AsCurrency().ToDouble());
    case varDate: return writeFloat(vaDate, Value.AsDouble());
    case varBoolean: return WriteBoolean(Value.AsBoolean());
    case varOleStr:
    case varString:
    case varUString: return WriteString(Value.AsString());
    default: throw EWriteError("A variant of type " + VarTypeAsText(Value.VType()) + " cannot be written");
  }
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream stream;
  WriteData(&stream);
  WritePropName(Name);
  WriteValue(vaBinary);
  if (stream.Size() > 0)
    FStream.Tokens.back().Text.assign(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

void TWriter::WriteRootComponent(TComponent* Root) { WriteDescendent(Root, nullptr); }

void TWriter::WriteDescendent(TComponent* Root, TComponent* AAncestor) {
  FRoot = Root;
  FRootAncestor = AAncestor;
  FAncestor = AAncestor;
  WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
  bool wasWriting = Component->HasState(csWriting);
  Component->SetComponentState(csWriting, true);
  try {
    Component->WriteState(this);
  } catch (...) {
    Component->SetComponentState(csWriting, wasWriting);
    throw;
  }
  Component->SetComponentState(csWriting, wasWriting);
}

void TWriter::WriteData(TComponent* Instance) {
  WritePrefix(FAncestor != nullptr ? ffInherited : 0, 0);
  WriteStr(Instance->ClassName());
  WriteStr(Instance->Name());
  WriteProperties(Instance);
  WriteListEnd();
  // Children: those the ancestor has too are compared with the ancestor's.
  TSaved<TPersistent*> keepAncestor(FAncestor);
  std::vector<TComponent*> ancestorChildren;
  if (auto* anc = dynamic_cast<TComponent*>(FAncestor))
    anc->GetChildren([&](TComponent* c) { ancestorChildren.push_back(c); }, FRootAncestor);
  if (!IgnoreChildren())
    Instance->GetChildren(
        [&](TComponent* child) {
          FAncestor = nullptr;
          for (TComponent* a : ancestorChildren)
            if (SameIdent(a->Name(), child->Name())) FAncestor = a;
          WriteComponent(child);
        },
        FRoot);
  WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* Instance) {
  const TClassInfo* info = ClassInfoOf(Instance);
  if (info != nullptr && !info->MissingBase().empty())
    throw EWriteError("Class " + info->ClassName() + " cannot be written: its base class " + info->MissingBase() +
                      " is not registered");
  if (info != nullptr)
    for (const TPropInfo* p : info->Properties())
      if (p->Readable() && (p->Writable() || p->Kind == TPropKind::Object) && p->Stored(Instance))
        WriteProperty(Instance, *p);
  DefinePropertiesOf(Instance);
}

std::string TWriter::ReferenceName(TComponent* Value) const {
  if (Value == nullptr) return {};
  if (Value == FRoot) return FRoot->Name();
  std::string path;
  for (TComponent* c = Value; c != nullptr; c = c->Owner()) {
    if (c->Name().empty()) return {};
    if (c == FRoot) return path;
    path = path.empty() ? c->Name() : c->Name() + "." + path;
  }
  return path;  // a component of another root: "Form2.Button1"
}

void TWriter::WriteNameIfChanged(const std::string& PropName, const std::string& Name, const std::string& AncestorName) {
  if (Name == AncestorName) return;
  WritePropName(PropName);
  if (Name.empty())
    WriteValue(vaNil);
  else
    WriteIdent(Name);
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo& Prop) {
  TObject* anc = AncestorFor(FAncestor, Prop);
  switch (Prop.Kind) {
    case TPropKind::Integer:
    case TPropKind::Char:
    case TPropKind::Enum:
    case TPropKind::Bool:
    case TPropKind::Set: {
      int64_t v = Prop.GetOrd(Instance);
      if (anc != nullptr ? v == Prop.GetOrd(anc) : (Prop.HasDefault && v == Prop.Default)) return;
      WritePropName(Prop.Name);
      if (Prop.Kind == TPropKind::Char) {
        std::string text;
        rtl::AppendUtf8(text, static_cast<char32_t>(v));
        WriteString(text);
      } else if (Prop.Kind == TPropKind::Bool) {
        WriteBoolean(v != 0);
      } else if (Prop.Kind == TPropKind::Enum) {
        std::string name = GetEnumName(*Prop.Enum, static_cast<int>(v));
        if (name.empty()) throw EWriteError("Property " + Prop.Name + " holds the value " + std::to_string(v) +
                                            " that " + Prop.Enum->Name + " does not name");
        WriteIdent(name);
      } else if (Prop.Kind == TPropKind::Set) {
        WriteValue(vaSet);
        for (int i = 0; i < 64; ++i) {
          if (((static_cast<uint64_t>(v) >> i) & 1) == 0) continue;
          std::string name = GetEnumName(*Prop.Enum, i);
          // An empty name would end the set early and garble everything written after it.
          if (name.empty()) throw EWriteError("Property " + Prop.Name + " holds the element " + std::to_string(i) +
                                              " that " + Prop.Enum->Name + " does not name");
          WriteStr(name);
        }
        WriteStr("");
      } else {
        std::string ident;
        if (Prop.Idents != nullptr && Prop.Idents->IntToIdent(v, ident))
          WriteIdent(ident);
        else
          WriteInteger(v);
      }
      break;
    }
    case TPropKind::Float: {
      double v = Prop.GetFloat(Instance);
      if (anc != nullptr ? v == Prop.GetFloat(anc) : v == 0.0) return;
      WritePropName(Prop.Name);
      WriteFloat(v);
      break;
    }
    case TPropKind::String: {
      std::string v = Prop.GetStr(Instance);
      if (anc != nullptr ? v == Prop.GetStr(anc) : v.empty()) return;
      WritePropName(Prop.Name);
      WriteString(v);
      break;
    }
    case TPropKind::Variant: {
      Variant v = Prop.GetVar(Instance);
      if (anc != nullptr ? SameVariant(v, Prop.GetVar(anc)) : VarIsClear(v)) return;
      WritePropName(Prop.Name);
      WriteVariant(v);
      break;
    }
    case TPropKind::Object: {
      auto* obj = dynamic_cast<TPersistent*>(Prop.GetObj(Instance));
      if (obj == nullptr) return;
      auto* ancObj = anc != nullptr ? dynamic_cast<TPersistent*>(Prop.GetObj(anc)) : nullptr;
      if (auto* coll = dynamic_cast<TCollection*>(obj)) {
        auto* ancColl = dynamic_cast<TCollection*>(ancObj);
        if (ancColl == nullptr && coll->Count() == 0) return;
        if (ancColl != nullptr && CollectionsEqual(coll, ancColl)) return;
        WritePropName(Prop.Name);
        WriteCollection(coll);
        return;
      }
      TSaved<std::string> keepPath(FPropPath);
      TSaved<TPersistent*> keepAncestor(FAncestor);
      FPropPath += Prop.Name + ".";
      FAncestor = ancObj;
      WriteProperties(obj);
      break;
    }
    case TPropKind::Component: {
      auto* value = dynamic_cast<TComponent*>(Prop.GetObj(Instance));
      std::string name = ReferenceName(value);
      std::string ancName;
      if (anc != nullptr) {
        auto* ancValue = dynamic_cast<TComponent*>(Prop.GetObj(anc));
        ancName = ancValue == nullptr ? std::string()
                  : ancValue == FRootAncestor ? FRoot->Name()
                                              : ancValue->Name();
      }
      WriteNameIfChanged(Prop.Name, name, ancName);
      break;
    }
    case TPropKind::Event: {
      std::string name = Prop.GetMethodName(Instance, FRoot);
      std::string ancName = anc != nullptr ? Prop.GetMethodName(anc, FRootAncestor) : std::string();
      WriteNameIfChanged(Prop.Name, name, ancName);
      break;
    }
  }
}

void TWriter::WriteCollection(TCollection* Value) {
  TSaved<std::string> keepPath(FPropPath);
  TSaved<TPersistent*> keepAncestor(FAncestor);
  auto* ancColl = dynamic_cast<TCollection*>(FAncestor);
  FPropPath.clear();
  WriteValue(vaCollection);
  for (int i = 0; i < Value->Count(); ++i) {
    WriteListBegin();
    FAncestor = ancColl != nullptr && i < ancColl->Count() ? ancColl->Items(i) : nullptr;
    WriteProperties(Value->Items(i));
    WriteListEnd();
  }
  WriteListEnd();
}

// ---- entry points ----

bool CollectionsEqual(TCollection* A, TCollection* B) {
  if (A == nullptr || B == nullptr) return A == B;
  if (A->Count() != B->Count()) return false;
  TWriter a, b;
  a.WriteCollection(A);
  b.WriteCollection(B);
  const auto& ta = a.Stream().Tokens;
  const auto& tb = b.Stream().Tokens;
  return std::equal(ta.begin(), ta.end(), tb.begin(), tb.end(), [](const TDefToken& x, const TDefToken& y) {
    return x.Kind == y.Kind && x.Type == y.Type && x.Int == y.Int && x.Float == y.Float && x.Text == y.Text;
  });
}

namespace {

// The definition resource Name, or nil data.
TResourceData FindDefinition(const std::string& Name) { return FindResourceData(Name, RT_RCDATA); }

TComponent* ReadDefinition(const TResourceData& Definition, TComponent* Root, std::vector<TComponent*>* Loaded) {
  TReader reader(std::string(Definition.View()), Definition.Path);
  reader.SetLoadedList(Loaded);
  return reader.ReadRootComponent(Root);
}

}  // namespace

TComponent* ReadComponentText(TComponent* Root, const std::string& Text, const std::string& FileName) {
  TReader reader(Text, FileName);
  return reader.ReadRootComponent(Root);
}

TComponent* ReadComponentRes(const std::string& Name, TComponent* Root) {
  TResourceData definition = FindDefinition(Name);
  if (!definition) throw EResNotFound("Resource " + Name + " not found");
  return ReadDefinition(definition, Root, nullptr);
}

bool InitInheritedComponent(TComponent* Instance, TPersistentClass RootAncestor) {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = ClassInfoOf(Instance); c != nullptr && c != RootAncestor; c = c->Parent())
    chain.push_back(c);
  std::vector<TComponent*> loaded;
  bool any = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    TResourceData definition = FindDefinition((*it)->ClassName());
    if (!definition) continue;
    ReadDefinition(definition, Instance, &loaded);
    any = true;
  }
  for (TComponent* c : loaded) {
    c->Loaded();
    c->SetComponentState(csLoading, false);
  }
  GlobalFixupReferences();
  return any;
}

std::string WriteComponentText(TComponent* Root, TComponent* Ancestor) {
  TWriter writer;
  writer.WriteDescendent(Root, Ancestor);
  return writer.Text();
}

int RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  auto& g = GlobalProcs();
  g.Procs.emplace_back(g.NextId, std::move(Proc));
  return g.NextId++;
}

void UnregisterFindGlobalComponentProc(int Id) {
  std::erase_if(GlobalProcs().Procs, [Id](const auto& p) { return p.first == Id; });
}

TComponent* FindGlobalComponent(const std::string& Name) {
  auto procs = GlobalProcs().Procs;  // a proc may register another
  for (const auto& [id, proc] : procs)
    if (TComponent* c = proc(Name)) return c;
  return nullptr;
}

void GlobalFixupReferences() {
  auto& pending = Watcher().Pending;
  for (size_t i = 0; i < pending.size();) {
    const TGlobalFixup f = pending[i];
    TComponent* root = FindGlobalComponent(f.Path[0]);
    TComponent* target = root != nullptr ? FindNestedComponent(root, f.Path, 1) : nullptr;
    if (target == nullptr) {
      ++i;
      continue;
    }
    pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
    f.Prop->SetObj(f.Instance, target);  // a reference of the wrong class stays nil
  }
}

int PendingGlobalFixups() { return static_cast<int>(Watcher().Pending.size()); }
