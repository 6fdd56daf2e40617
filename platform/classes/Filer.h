#pragma once
// Reading components from their definitions and writing them back (TFiler, TReader, TWriter).
//
// A TReader walks the value stream of a definition (see DefinitionParser.h): it makes the
// components the definition names, sets their published properties (TypeInfo.h), hands the
// properties nobody publishes to the classes' DefineProperties, binds events to the root's
// handlers, resolves references to components by name once the whole definition is read, and
// finally calls Loaded on every component it read. A TWriter does the reverse: it writes the
// stored properties that differ from their defaults (or from the ancestor's values) and what
// the classes' DefineProperties write.
//
// Definitions of forms are text files under resources/ built into the program (Resources.h);
// a definition is the RT_RCDATA resource named after its class: "TForm1" is resources/forms/TForm1.txt.
//
// A form reads its definitions once it is fully constructed (a base-class constructor cannot:
// the derived members, the fields among them, do not exist yet), as CreateForm does:
//   auto* form = new TForm1(Application);
//   InitInheritedComponent(form, FindClass("TForm"));  // "TForm1", after its base classes' definitions
//   ... then OnCreate
// (on an exception the form is freed: every component read so far is owned by it).
// Reading sets the fields the class publishes (TypeInfo.h), binds the events to its published
// handlers, gives the components their parents through SetParentComponent and calls Loaded.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/DefinitionParser.h"
#include "platform/classes/Resources.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypeInfo.h"

class TReader;
class TWriter;

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream* Stream)>;
// Handled = true skips the property in error and reading goes on.
using TReaderError = std::function<void(TReader* Reader, const std::string& Message, bool& Handled)>;

class TFiler : public TObject {
 public:
  TFiler() = default;
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

  TComponent* Root() const { return FRoot; }
  void SetRoot(TComponent* Value) { FRoot = Value; }
  // The root whose components references and handlers are named in (the root).
  TComponent* LookupRoot() const { return FRoot; }
  // While writing a descendant: the object of the ancestor that this one is compared with.
  TPersistent* Ancestor() const { return FAncestor; }
  void SetAncestor(TPersistent* Value) { FAncestor = Value; }
  bool IgnoreChildren() const { return FIgnoreChildren; }
  void SetIgnoreChildren(bool Value) { FIgnoreChildren = Value; }

  // Called from DefineProperties: Name is read by ReadData and, when HasData, written by WriteData.
  virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                              bool HasData) = 0;
  // The same for a block of bytes, read and written through a stream.
  virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                    const TStreamProc& WriteData, bool HasData) = 0;

 protected:
  // Lets Instance (and the definers registered for its class) define their extra properties.
  void DefinePropertiesOf(TPersistent* Instance);

  TComponent* FRoot = nullptr;
  TPersistent* FAncestor = nullptr;
  bool FIgnoreChildren = false;
};

class TReader : public TFiler {
 public:
  // Parses Text at once (EParserError for malformed text).
  TReader(const std::string& Text, const std::string& FileName);
  explicit TReader(classes::TDefStream Stream);
  ~TReader() override;

  // Reads the whole definition into Root (named after the definition unless it has a name);
  // references are resolved and Loaded is called on every component read. On failure the
  // components already made stay owned by Root, which the caller frees.
  TComponent* ReadRootComponent(TComponent* Root);
  // Collects the components read into List instead of calling Loaded on them (to read several
  // definitions into one root and call Loaded once at the end); nil restores the default.
  void SetLoadedList(std::vector<TComponent*>* List) { FLoadedList = List; }
  // Reads one object block: makes (or, for `inherited`, finds) the component and reads it.
  TComponent* ReadComponent(TComponent* Component);
  // Reads Instance's properties, then its children.
  void ReadData(TComponent* Instance);
  // Reads one "Name = value" into Instance.
  void ReadProperty(TPersistent* Instance);
  // Reads the items of a collection value into Collection (cleared first).
  void ReadCollection(TCollection* Collection);

  // The owner and parent of the components being read.
  TComponent* Owner() const { return FOwner; }
  void SetOwner(TComponent* Value) { FOwner = Value; }
  TComponent* Parent() const { return FParent; }
  void SetParent(TComponent* Value) { FParent = Value; }

  // ---- values ----
  TValueType NextValue() const;
  TValueType ReadValue();
  bool EndOfList() const;
  void ReadListBegin();
  void ReadListEnd();
  void SkipValue();
  int ReadInteger();
  int64_t ReadInt64();
  double ReadFloat();
  TDateTime ReadDate();
  std::string ReadString();
  // Any simple value: nil is Unassigned, Null is Null; integers, floats (s single, c money,
  // d date), strings and Booleans become variants of their kind.
  Variant ReadVariant();
  // An identifier; True, False, nil and Null read as their names.
  std::string ReadIdent();
  bool ReadBoolean();
  // A bare word: a property name, an element of a set after ReadValue gave vaSet ("" ends it).
  std::string ReadStr();

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

  const std::string& FileName() const { return FStream.FileName; }
  // The line of the value being read.
  int Line() const;

  TReaderError OnError;

 private:
  struct TFixup {
    TObject* Instance;
    const classes::TPropInfo* Prop;
    std::string Name;
    std::string Path;
    int Line;
  };
  const classes::TDefToken& Peek() const;
  const classes::TDefToken& Take();
  [[noreturn]] void ValueError(const std::string& Expected) const;
  [[noreturn]] void Located(const std::string& Message, int Line) const;
  // Offers Message to OnError; true when a handler chose to go on.
  bool Error(const std::string& Message);
  void ReadPropValue(TObject* Instance, const classes::TPropInfo& Prop, const std::string& Path, int Line);
  void ReadSetValue(TObject* Instance, const classes::TPropInfo& Prop);
  TPersistentClass FindComponentClass(const std::string& ClassName) const;
  void FixupReferences();

  classes::TDefStream FStream;
  size_t FPos = 0;
  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  std::vector<TComponent*> FLoaded;
  std::vector<TFixup> FFixups;
  std::string FPropName;  // the property DefineProperties is asked for
  bool FPropFound = false;
  std::string FPath;      // "Panel1.Font" for messages
  std::vector<TComponent*>* FLoadedList = nullptr;
};

class TWriter : public TFiler {
 public:
  TWriter();
  ~TWriter() override;

  // Writes Root and its children.
  void WriteRootComponent(TComponent* Root);
  // Writes Root as a descendant of AAncestor: components the ancestor has are written as
  // `inherited`, and only what differs from the ancestor is written.
  void WriteDescendent(TComponent* Root, TComponent* AAncestor);
  void WriteComponent(TComponent* Component);
  // Writes Instance's header, properties and children (TComponent::WriteState calls it).
  void WriteData(TComponent* Instance);
  void WriteProperties(TPersistent* Instance);
  void WriteCollection(TCollection* Value);

  // ---- values ----
  void WriteListBegin();
  void WriteListEnd();
  void WriteInteger(int64_t Value);
  void WriteFloat(double Value);
  void WriteDate(TDateTime Value);
  void WriteString(const std::string& Value);
  void WriteIdent(const std::string& Ident);
  void WriteBoolean(bool Value);
  // Raises EWriteError for arrays and kinds a definition cannot hold.
  void WriteVariant(const Variant& Value);
  // A bare word (set elements after WriteValue(vaSet); "" ends the set).
  void WriteStr(const std::string& Value);
  void WriteValue(TValueType Value);

  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

  const classes::TDefStream& Stream() const { return FStream; }
  // The definition text written so far (one complete object once a root was written).
  std::string Text() const { return classes::FormatDefinition(FStream); }

 private:
  void WritePrefix(uint8_t Flags, int ChildPos);
  void WritePropName(const std::string& Name);
  void WriteProperty(TPersistent* Instance, const classes::TPropInfo& Prop);
  std::string ReferenceName(TComponent* Value) const;
  // A component or handler name, or nil when it is gone; nothing when the ancestor has the same.
  void WriteNameIfChanged(const std::string& PropName, const std::string& Name, const std::string& AncestorName);
  TComponent* FindAncestorChild(const std::string& Name) const;

  classes::TDefStream FStream;
  std::string FPropPath;  // "Font." while writing a sub-object's properties
  TComponent* FRootAncestor = nullptr;
  std::vector<TComponent*> FAncestorChildren;
};

// ---- entry points ----

// Reads definition Text into Root; FileName is used in messages. Returns Root.
TComponent* ReadComponentText(TComponent* Root, const std::string& Text, const std::string& FileName = {});
// Reads the definition resource Name (RT_RCDATA) into Root; raises EResNotFound
// "Resource X not found" when the program has no such definition.
TComponent* ReadComponentRes(const std::string& Name, TComponent* Root);
// Reads the definitions of Instance's class and of its registered base classes below
// RootAncestor (all of them when nil), each named after its class ("TForm1"), base classes
// first, then calls Loaded once on every component read. Returns false when none of these
// classes has a definition.
bool InitInheritedComponent(TComponent* Instance, TPersistentClass RootAncestor = nullptr);
// The definition text of Root and its children (as a descendant of Ancestor when given).
std::string WriteComponentText(TComponent* Root, TComponent* Ancestor = nullptr);

// True when both collections would be written alike (same items with the same stored values).
bool CollectionsEqual(TCollection* A, TCollection* B);

// Components that references of the form "Form1.Button1" name by their first part (forms).
using TFindGlobalComponent = std::function<TComponent*(const std::string& Name)>;
int RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
void UnregisterFindGlobalComponentProc(int Id);
TComponent* FindGlobalComponent(const std::string& Name);
// Resolves references to components of other roots that were missing when their definition
// was read (the reader calls it after each root; call it after making a root in code).
void GlobalFixupReferences();
// Number of references still waiting for another root.
int PendingGlobalFixups();

namespace classes {
// Defines extra properties for the objects a definer recognises (used for classes that cannot
// know the filer, such as TStrings); called after the object's own DefineProperties.
using TPropertyDefiner = std::function<void(TPersistent* Instance, TFiler* Filer)>;
void RegisterPropertyDefiner(TPropertyDefiner Definer);
}  // namespace classes
