#include "platform/classes/StringList.h"

#include <algorithm>
#include <numeric>

#include "platform/classes/Streams.h"
#include "platform/classes/UpdateGuard.h"
#include "platform/rtl/Strings.h"

namespace {

bool IsBlank(char c) {
  auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= ' ';
}

}  // namespace

// ---- TStrings ----

void TStrings::IndexError(int Index) {
  throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::Put(int Index, const std::string& S) {
  TObject* obj = GetObject(Index);
  classes::TUpdateGuard update(*this);
  Delete(Index);
  InsertObject(Index, S, obj);
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const {
  return AnsiCompareText(S1, S2);
}

int TStrings::Add(const std::string& S) {
  int index = GetCount();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
  int index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::AddStrings(const TStrings* Strings) {
  // Read everything first: a list added to itself must not see its own additions.
  std::vector<std::pair<std::string, TObject*>> items;
  for (int i = 0; i < Strings->Count(); ++i) items.emplace_back(Strings->Get(i), Strings->GetObject(i));
  classes::TUpdateGuard update(*this);
  for (auto& [s, o] : items) AddObject(s, o);
}

void TStrings::AddStrings(const std::vector<std::string>& Strings) {
  classes::TUpdateGuard update(*this);
  for (auto& s : Strings) Add(s);
}

int TStrings::AddPair(const std::string& Name, const std::string& Value) {
  return Add(Name + FNameValueSeparator + Value);
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (CurIndex < 0 || CurIndex >= GetCount()) IndexError(CurIndex);
  if (NewIndex < 0 || NewIndex >= GetCount()) IndexError(NewIndex);
  classes::TUpdateGuard update(*this);
  std::string s = Get(CurIndex);
  TObject* obj = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, s, obj);
}

void TStrings::Exchange(int Index1, int Index2) {
  if (Index1 < 0 || Index1 >= GetCount()) IndexError(Index1);
  if (Index2 < 0 || Index2 >= GetCount()) IndexError(Index2);
  classes::TUpdateGuard update(*this);
  std::string s = Get(Index1);
  TObject* obj = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s);
  PutObject(Index2, obj);
}

int TStrings::IndexOf(const std::string& S) const {
  for (int i = 0; i < GetCount(); ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
  for (int i = 0; i < GetCount(); ++i) {
    std::string s = Get(i);
    auto p = s.find(FNameValueSeparator);
    if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
  for (int i = 0; i < GetCount(); ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

std::string TStrings::Names(int Index) const {
  std::string s = Get(Index);
  auto p = s.find(FNameValueSeparator);
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(const std::string& Name) const {
  int i = IndexOfName(Name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
  int i = IndexOfName(Name);
  if (!Value.empty()) {
    if (i < 0)
      Add(Name + FNameValueSeparator + Value);
    else
      Put(i, Name + FNameValueSeparator + Value);
  } else if (i >= 0) {
    Delete(i);
  }
}

std::string TStrings::ValueFromIndex(int Index) const {
  std::string s = Get(Index);
  auto p = s.find(FNameValueSeparator);
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
  if (Value.empty()) {
    Delete(Index);
    return;
  }
  Put(Index, Names(Index) + FNameValueSeparator + Value);
}

std::string TStrings::Text() const {
  std::string result;
  for (int i = 0; i < GetCount(); ++i) {
    result += Get(i);
    result += "\r\n";
  }
  return result;
}

void TStrings::SetText(const std::string& Value) {
  classes::TUpdateGuard update(*this);
  Clear();
  size_t start = 0;
  while (start < Value.size()) {
    size_t end = Value.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      Add(Value.substr(start));
      break;
    }
    Add(Value.substr(start, end - start));
    start = end + 1;
    if (Value[end] == '\r' && start < Value.size() && Value[start] == '\n') ++start;
  }
}

std::string TStrings::CommaText() const { return JoinDelimited(',', '"', false); }

void TStrings::SetCommaText(const std::string& Value) { SplitDelimited(Value, ',', '"', false); }

std::string TStrings::DelimitedText() const { return JoinDelimited(FDelimiter, FQuoteChar, FStrictDelimiter); }

void TStrings::SetDelimitedText(const std::string& Value) {
  SplitDelimited(Value, FDelimiter, FQuoteChar, FStrictDelimiter);
}

std::string TStrings::JoinDelimited(char Delim, char Quote, bool Strict) const {
  int count = GetCount();
  if (count == 1 && Get(0).empty()) return std::string(2, Quote);
  std::string result;
  for (int i = 0; i < count; ++i) {
    std::string s = Get(i);
    bool quote = Quote != '\0' && std::any_of(s.begin(), s.end(), [&](char c) {
                   return c == '\0' || c == Quote || c == Delim || (!Strict && IsBlank(c));
                 });
    if (quote) {
      std::string q(1, Quote);
      for (char c : s) {
        q += c;
        if (c == Quote) q += c;
      }
      q += Quote;
      s = std::move(q);
    }
    if (i > 0) result += Delim;
    result += s;
  }
  return result;
}

void TStrings::SplitDelimited(const std::string& Value, char Delim, char Quote, bool Strict) {
  classes::TUpdateGuard update(*this);
  Clear();
  size_t p = 0, n = Value.size();
  auto skipBlanks = [&] {
    if (!Strict)
      while (p < n && IsBlank(Value[p])) ++p;
  };
  skipBlanks();
  while (p < n) {
    std::string s;
    if (Quote != '\0' && Value[p] == Quote) {
      // Quoted item: a doubled quote stands for one; an unclosed quote runs to the end.
      ++p;
      while (p < n) {
        if (Value[p] == Quote) {
          if (p + 1 < n && Value[p + 1] == Quote) {
            s += Quote;
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        s += Value[p++];
      }
    } else {
      size_t start = p;
      while (p < n && Value[p] != Delim && (Strict || !IsBlank(Value[p]))) ++p;
      s = Value.substr(start, p - start);
    }
    Add(s);
    skipBlanks();
    if (p < n && Value[p] == Delim) {
      if (p + 1 == n) Add(std::string());  // a trailing delimiter ends with an empty item
      ++p;
      skipBlanks();
    }
  }
}

bool TStrings::Equals(const TStrings* Strings) const {
  if (Strings == nullptr || Strings->GetCount() != GetCount()) return false;
  for (int i = 0; i < GetCount(); ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

void TStrings::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TStrings*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  classes::TUpdateGuard update(*this);
  FNameValueSeparator = src->FNameValueSeparator;
  FDelimiter = src->FDelimiter;
  FQuoteChar = src->FQuoteChar;
  FStrictDelimiter = src->FStrictDelimiter;
  Clear();
  AddStrings(src);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;  // unbalanced: ignore rather than go negative
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream) {
  int64_t size = Stream->Size() - Stream->Position();
  std::string data(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
  if (!data.empty()) Stream->ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
  if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) data.erase(0, 3);
  SetText(data);
}

void TStrings::SaveToStream(TStream* Stream) const {
  std::string text = Text();
  Stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

// ---- TStringList ----

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (FOwnsObjects)
    for (auto& item : FList) delete item.FObject;
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
}

void TStringList::CheckNotSorted() const {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  // Called by the first BeginUpdate and the final EndUpdate, when no update is running.
  if (Updating) {
    if (OnChanging) OnChanging(this);
  } else if (OnChange) {
    OnChange(this);
  }
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

std::string TStringList::Get(int Index) const {
  CheckIndex(Index);
  return FList[static_cast<size_t>(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return FList[static_cast<size_t>(Index)].FObject;
}

void TStringList::Put(int Index, const std::string& S) {
  CheckNotSorted();
  CheckIndex(Index);
  Changing();
  FList[static_cast<size_t>(Index)].FString = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[static_cast<size_t>(Index)].FObject = AObject;
  Changed();
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject) {
  int index;
  if (!FSorted) {
    index = GetCount();
  } else if (Find(S, index)) {
    switch (FDuplicates) {
      case dupIgnore: return index;
      case dupError: throw EStringListError("List does not allow duplicates");
      case dupAccept: break;
    }
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Insert(int Index, const std::string& S) {
  CheckNotSorted();
  if (Index < 0 || Index > GetCount()) IndexError(Index);
  InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  TObject* obj = FList[static_cast<size_t>(Index)].FObject;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects) delete obj;
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TStringItem> old;
  old.swap(FList);
  if (FOwnsObjects)
    for (auto& item : old) delete item.FObject;
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckNotSorted();
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  Changing();
  TStringItem item = std::move(FList[static_cast<size_t>(CurIndex)]);
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, std::move(item));
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckNotSorted();
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
  Changed();
}

int TStringList::IndexOf(const std::string& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int index;
  return Find(S, index) ? index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
  // Lower bound: with duplicates the first of the equal strings.
  int lo = 0, hi = GetCount();
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (CompareStrings(FList[static_cast<size_t>(mid)].FString, S) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  Index = lo;
  return lo < GetCount() && CompareStrings(FList[static_cast<size_t>(lo)].FString, S) == 0;
}

void TStringList::SortBy(const std::function<int(int, int)>& Compare) {
  if (GetCount() < 2) return;
  Changing();
  std::vector<int> order(FList.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(a, b) < 0; });
  std::vector<TStringItem> sorted;
  sorted.reserve(FList.size());
  for (int i : order) sorted.push_back(std::move(FList[static_cast<size_t>(i)]));
  FList.swap(sorted);
  Changed();
}

void TStringList::Sort() {
  SortBy([this](int a, int b) {
    return CompareStrings(FList[static_cast<size_t>(a)].FString, FList[static_cast<size_t>(b)].FString);
  });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (FSorted) return;
  SortBy([this, &Compare](int a, int b) { return Compare(this, a, b); });
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) Sort();
}
