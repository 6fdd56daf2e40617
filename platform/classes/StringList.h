#pragma once
// TStrings, the abstract list of strings with attached objects, and TStringList, its
// in-memory implementation (sortable, with duplicates control and change events).
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/Component.h"

class TStream;

class EStringListError : public EListError { public: using EListError::EListError; };

class TStrings : public TPersistent {
 public:
  TStrings() = default;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;

  // ---- items ----
  int Count() const { return GetCount(); }
  // Const results: assigning to them would silently change nothing (use SetStrings).
  const std::string Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const std::string& S) { Put(Index, S); }
  const std::string operator[](int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

  // Adds at the end (or at the sorted place); returns the index.
  virtual int Add(const std::string& S);
  virtual int AddObject(const std::string& S, TObject* AObject);
  void Append(const std::string& S) { Add(S); }
  // Adds every string and object of Strings.
  virtual void AddStrings(const TStrings* Strings);
  void AddStrings(const std::vector<std::string>& Strings);
  // Adds "Name=Value" with the current separator.
  int AddPair(const std::string& Name, const std::string& Value);
  virtual void Insert(int Index, const std::string& S) = 0;
  void InsertObject(int Index, const std::string& S, TObject* AObject);
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  virtual void Move(int CurIndex, int NewIndex);
  virtual void Exchange(int Index1, int Index2);

  // ---- search (through CompareStrings: case-insensitive unless the list says otherwise) ----
  virtual int IndexOf(const std::string& S) const;
  int IndexOfName(const std::string& Name) const;
  int IndexOfObject(const TObject* AObject) const;

  // ---- name=value pairs ----
  // The part before the first separator ("" when the line has none).
  std::string Names(int Index) const;
  // The value of the first line whose name is Name ("" when none).
  std::string Values(const std::string& Name) const;
  // Sets Name's value, adding a line when Name has none; an empty value deletes the line.
  void SetValues(const std::string& Name, const std::string& Value);
  std::string ValueFromIndex(int Index) const;
  void SetValueFromIndex(int Index, const std::string& Value);
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char C) { FNameValueSeparator = C; }

  // ---- text forms ----
  // Every line followed by CR LF.
  virtual std::string Text() const;
  // Splits on CR LF, LF and CR; a final line break does not add an empty line.
  virtual void SetText(const std::string& Value);
  // The delimited text with ',' and '"', not strict.
  std::string CommaText() const;
  void SetCommaText(const std::string& Value);
  // Items joined by Delimiter; an item holding the delimiter, the quote character, or (unless
  // StrictDelimiter) a blank or control character is quoted with doubled inner quotes.
  // A list of one empty string reads as two quote characters.
  std::string DelimitedText() const;
  // Parses the form above; unless StrictDelimiter, blanks also separate items.
  void SetDelimitedText(const std::string& Value);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char C) { FDelimiter = C; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char C) { FQuoteChar = C; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

  // Same strings in the same order (exact comparison; objects are not compared).
  bool Equals(const TStrings* Strings) const;
  // From another TStrings: the strings, objects and text settings.
  void Assign(TPersistent* Source) override;

  // ---- updates ----
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // ---- files (UTF-8; a UTF-8 byte-order mark is skipped on load) ----
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName) const;
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream) const;

 protected:
  virtual std::string Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int Index) const;
  virtual void Put(int Index, const std::string& S);
  virtual void PutObject(int Index, TObject* AObject);
  // Called with true when the first BeginUpdate starts, false when the last EndUpdate ends.
  virtual void SetUpdateState(bool Updating);
  // Compares two strings the way this list matches them (<0, 0, >0).
  virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
  // Raises EStringListError "List index out of bounds (N)".
  [[noreturn]] static void IndexError(int Index);

 private:
  std::string JoinDelimited(char Delim, char Quote, bool Strict) const;
  void SplitDelimited(const std::string& Value, char Delim, char Quote, bool Strict);

  int FUpdateCount = 0;
  char FNameValueSeparator = '=';
  char FDelimiter = ',';
  char FQuoteChar = '"';
  bool FStrictDelimiter = false;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
 public:
  TStringList() = default;
  explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TStringList() override;

  int Add(const std::string& S) override;
  int AddObject(const std::string& S, TObject* AObject) override;
  // Raises EStringListError "Operation not allowed on sorted list" when Sorted.
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void Move(int CurIndex, int NewIndex) override;
  void Exchange(int Index1, int Index2) override;
  int IndexOf(const std::string& S) const override;

  // Binary search of a sorted list: true when found; Index is the match or the insert position.
  // On an unsorted list the result is meaningless, as on the platform.
  virtual bool Find(const std::string& S, int& Index) const;
  // Sorts with CompareStrings (stable).
  virtual void Sort();
  // Sorts with Compare, which receives this list and two indexes of it (stable).
  // Does nothing on a Sorted list, which must keep its own order.
  virtual void CustomSort(const TStringListSortCompare& Compare);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  // When true, the list frees its objects on Delete, Clear and destruction.
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  // Fired before and after each change, not while updating. The first BeginUpdate fires
  // OnChanging and the final EndUpdate fires OnChange, so a bulk change is announced once.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  std::string Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FList.size()); }
  TObject* GetObject(int Index) const override;
  void Put(int Index, const std::string& S) override;
  void PutObject(int Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const std::string& S1, const std::string& S2) const override;
  virtual void Changed();
  virtual void Changing();
  // Inserts without the sorted-list check (Add uses it at the found place).
  virtual void InsertItem(int Index, const std::string& S, TObject* AObject);

 private:
  struct TStringItem {
    std::string FString;
    TObject* FObject = nullptr;
  };
  void CheckIndex(int Index) const;
  void CheckNotSorted() const;
  void SortBy(const std::function<int(int, int)>& Compare);

  std::vector<TStringItem> FList;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
};
