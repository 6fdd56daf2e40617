#include "platform/classes/StringList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/classes/Streams.h"
#include "tests/platform/classes/Counted.h"

namespace {

std::vector<std::string> Items(const TStrings& s) {
  std::vector<std::string> out;
  for (int i = 0; i < s.Count(); ++i) out.push_back(s[i]);
  return out;
}

using V = std::vector<std::string>;

struct TextCase {
  std::string text;
  V lines;
};

TEST(StringList, SetTextSplitsOnEveryLineBreakKind) {
  const TextCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks
      {"\r\n", {""}},
      {"x\r\ny\nz\rw", {"x", "y", "z", "w"}},
  };
  for (auto& c : cases) {
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(Items(list), c.lines) << c.text;
  }
}

TEST(StringList, TextJoinsWithCrLfAfterEveryLine) {
  TStringList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("a");
  list.Add("");
  list.Add("b");
  EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

struct DelimCase {
  V items;
  std::string comma;
};

TEST(StringList, CommaTextQuotesAndRoundTrips) {
  const DelimCase cases[] = {
      {{}, ""},
      {{"a", "b", "c"}, "a,b,c"},
      {{"a b", "c"}, "\"a b\",c"},
      {{"a,b"}, "\"a,b\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{""}, "\"\""},
      {{"", "x"}, ",x"},
      {{"tab\there"}, "\"tab\there\""},
      {{"中文", "ü"}, "中文,ü"},
  };
  for (auto& c : cases) {
    TStringList list;
    list.AddStrings(c.items);
    EXPECT_EQ(list.CommaText(), c.comma);
    TStringList back;
    back.SetCommaText(c.comma);
    EXPECT_EQ(Items(back), c.items) << c.comma;
  }
}

TEST(StringList, SetCommaTextParsesLooseInput) {
  const DelimCase cases[] = {
      {{"a", "b", "c"}, "a b,c"},  // blanks separate when not strict
      {{"a", "b"}, "  a ,  b  "},
      {{"a", ""}, "a,"},
      {{"a"}, "a, "},
      {{"a b"}, "\"a b"},  // unclosed quote runs to the end
      {{"x", "y", "z"}, "\"x\"y,z"},
      {{"", "", "b"}, ",,b"},
  };
  for (auto& c : cases) {
    TStringList list;
    list.SetCommaText(c.comma);
    EXPECT_EQ(Items(list), c.items) << c.comma;
  }
}

TEST(StringList, DelimitedTextWithOwnDelimiterQuoteAndStrict) {
  TStringList list;
  list.SetDelimiter(';');
  list.SetQuoteChar('\'');
  list.SetDelimitedText("a b;'c;d';'it''s'");
  EXPECT_EQ(Items(list), (V{"a", "b", "c;d", "it's"}));
  EXPECT_EQ(list.DelimitedText(), "a;b;'c;d';'it''s'");

  list.SetStrictDelimiter(true);
  list.SetDelimitedText("a b; c ;'q;r'");
  EXPECT_EQ(Items(list), (V{"a b", " c ", "q;r"}));
  // Strict: blanks do not force quotes, the delimiter and quote still do.
  EXPECT_EQ(list.DelimitedText(), "a b; c ;'q;r'");
  // CommaText ignores the list's own settings.
  EXPECT_EQ(list.CommaText(), "\"a b\",\" c \",q;r");
}

TEST(StringList, NamesAndValues) {
  TStringList list;
  list.SetText("Name=Shop\nPort=80\nplain\nEmpty=\nEq=a=b");
  EXPECT_EQ(list.Names(0), "Name");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.Values("name"), "Shop");  // names match case-insensitively
  EXPECT_EQ(list.Values("Eq"), "a=b");
  EXPECT_EQ(list.Values("Empty"), "");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.ValueFromIndex(1), "80");
  EXPECT_EQ(list.ValueFromIndex(2), "");
  EXPECT_EQ(list.IndexOfName("PORT"), 1);
  EXPECT_EQ(list.IndexOfName("plain"), -1);

  list.SetValues("Port", "8080");
  EXPECT_EQ(list[1], "Port=8080");
  list.SetValues("New", "1");
  EXPECT_EQ(list[list.Count() - 1], "New=1");
  list.SetValues("Name", "");  // empty value deletes the line
  EXPECT_EQ(list.IndexOfName("Name"), -1);
  list.SetValues("absent", "");  // deleting what is not there is harmless
  EXPECT_EQ(list.Count(), 5);

  list.SetNameValueSeparator(':');
  list.Add("k:v");
  EXPECT_EQ(list.Values("k"), "v");
}

TEST(StringList, IndexErrorsNameTheIndex) {
  TStringList list;
  list.Add("a");
  try {
    list.Strings(5);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Insert(2, "x"), EStringListError);
  EXPECT_THROW(list.SetObjects(1, nullptr), EStringListError);
  EXPECT_THROW(list.Move(0, 1), EStringListError);
  list.Insert(1, "b");  // Count is a valid place to insert
  EXPECT_EQ(Items(list), (V{"a", "b"}));
}

TEST(StringList, MoveExchangeKeepObjects) {
  TStringList list;
  TObject a, b, c;
  list.AddObject("a", &a);
  list.AddObject("b", &b);
  list.AddObject("c", &c);
  list.Move(0, 2);
  EXPECT_EQ(Items(list), (V{"b", "c", "a"}));
  EXPECT_EQ(list.Objects(2), &a);
  list.Exchange(0, 1);
  EXPECT_EQ(Items(list), (V{"c", "b", "a"}));
  EXPECT_EQ(list.Objects(0), &c);
  EXPECT_EQ(list.IndexOfObject(&b), 1);
  EXPECT_EQ(list.IndexOf("B"), 1);  // case-insensitive by default
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("B"), -1);
}

TEST(StringList, SortedInsertFindAndDuplicates) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "banana"}) list.Add(s);
  EXPECT_EQ(Items(list), (V{"Apple", "banana", "fig", "pear"}));
  int index = -1;
  EXPECT_TRUE(list.Find("FIG", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("cherry", index));
  EXPECT_EQ(index, 2);  // where it would go
  EXPECT_EQ(list.IndexOf("PEAR"), 3);

  EXPECT_EQ(list.Add("APPLE"), 0);  // dupIgnore: the existing index, nothing added
  EXPECT_EQ(list.Count(), 4);
  list.SetDuplicates(dupError);
  try {
    list.Add("apple");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List does not allow duplicates");
  }
  list.SetDuplicates(dupAccept);
  list.Add("apple");
  EXPECT_EQ(list.Count(), 5);
  EXPECT_TRUE(list.Find("apple", index));
  EXPECT_EQ(index, 0);

  try {
    list.Insert(0, "x");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "Operation not allowed on sorted list");
  }
  EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);
  EXPECT_THROW(list.Exchange(0, 1), EStringListError);
  EXPECT_THROW(list.Move(0, 1), EStringListError);
  EXPECT_EQ(list.Count(), 5);  // a refused operation loses nothing
}

TEST(StringList, CaseSensitiveSortedListResorts) {
  TStringList list;
  list.AddStrings(V{"b", "B", "a", "A"});
  list.SetSorted(true);
  EXPECT_EQ(list.IndexOf("a"), 0);
  list.SetCaseSensitive(true);
  // Case-sensitive comparison orders upper case before lower case.
  EXPECT_EQ(Items(list), (V{"A", "B", "a", "b"}));
  int index;
  EXPECT_TRUE(list.Find("a", index));
  EXPECT_EQ(index, 2);
}

TEST(StringList, CaseInsensitiveBeyondAscii) {
  TStringList list;
  list.AddStrings(V{"Öl", "äpfel", "Яблоко", "Zebra"});
  EXPECT_EQ(list.IndexOf("ÄPFEL"), 1);
  EXPECT_EQ(list.IndexOf("яблоко"), 2);
  list.SetSorted(true);
  int index;
  EXPECT_TRUE(list.Find("öL", index));
  list.SetDuplicates(dupError);
  EXPECT_THROW(list.Add("ЯБЛОКО"), EStringListError);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("ÄPFEL"), -1);
  list.Add("ÄPFEL");
  EXPECT_EQ(list.Count(), 5);
}

TEST(StringList, CustomSortSeesTheList) {
  TStringList list;
  list.AddStrings(V{"ccc", "a", "bb"});
  list.CustomSort([](TStringList* l, int i, int j) {
    return static_cast<int>(l->Strings(j).size()) - static_cast<int>(l->Strings(i).size());
  });
  EXPECT_EQ(Items(list), (V{"ccc", "bb", "a"}));
}

TEST(StringList, ChangeEventsOncePerChangeAndAtFinalEndUpdate) {
  TStringList list;
  std::vector<std::string> log;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    log.push_back("changing");
  };
  list.OnChange = [&](TObject*) { log.push_back("change"); };
  list.Add("a");
  EXPECT_EQ(log, (V{"changing", "change"}));
  log.clear();
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(log, (V{"changing"}));
  list.EndUpdate();
  EXPECT_EQ(log, (V{"changing", "change"}));
  EXPECT_EQ(list.UpdateCount(), 0);
  log.clear();
  list.SetText("x\ny\nz");  // one change for the whole text
  EXPECT_EQ(log, (V{"changing", "change"}));
}

TEST(StringList, FailedBulkChangeEndsTheUpdate) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupError);
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  EXPECT_THROW(list.SetCommaText("b,a,b"), EStringListError);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(changes, 1);  // the update still ends with its change event
  EXPECT_EQ(Items(list), (V{"a", "b"}));
  list.Add("c");
  EXPECT_EQ(changes, 2);  // and events flow again afterwards
}

TEST(StringList, OwnsObjectsFreesThem) {
  int alive = 0;
  {
    TStringList list(true);
    list.AddObject("a", new TCounted(alive));
    list.AddObject("b", new TCounted(alive));
    list.AddObject("c", new TCounted(alive));
    list.Delete(0);
    EXPECT_EQ(alive, 2);
    list.Clear();
    EXPECT_EQ(alive, 0);
    list.AddObject("d", new TCounted(alive));
  }
  EXPECT_EQ(alive, 0);
}

TEST(StringList, AssignEqualsAndAddStringsToItself) {
  TStringList a, b;
  a.SetDelimiter(';');
  a.AddStrings(V{"x", "y"});
  b.Add("old");
  b.Assign(&a);
  EXPECT_TRUE(b.Equals(&a));
  EXPECT_EQ(b.Delimiter(), ';');
  b.SetStrings(0, "X");
  EXPECT_FALSE(b.Equals(&a));  // exact comparison
  a.AddStrings(&a);
  EXPECT_EQ(Items(a), (V{"x", "y", "x", "y"}));
  TComponent notStrings(nullptr);
  EXPECT_THROW(a.Assign(&notStrings), EConvertError);
}

TEST(StringList, FilesAndStreamsUtf8WithBomSkipped) {
  auto dir = std::filesystem::temp_directory_path() / ("strlist_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::string path = (dir / "list.txt").string();
  {
    std::ofstream f(path, std::ios::binary);
    f << "\xEF\xBB\xBF" << "首行\nzweite\r\n";
  }
  TStringList list;
  list.LoadFromFile(path);
  EXPECT_EQ(Items(list), (V{"首行", "zweite"}));
  list.Add("three");
  list.SaveToFile(path);
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), "首行\r\nzweite\r\nthree\r\n");

  TStringStream stream("ignored|a\nb");
  stream.SetPosition(8);  // loads from the stream's position
  list.LoadFromStream(&stream);
  EXPECT_EQ(Items(list), (V{"a", "b"}));

  EXPECT_THROW(list.LoadFromFile((dir / "missing.txt").string()), EFOpenError);
  EXPECT_EQ(list.Count(), 2);  // a failed load leaves the list alone
  std::filesystem::remove_all(dir);
}

// A minimal TStrings as controls implement theirs: only the required members, so the
// base class's own Put, Move, Exchange and update bracket are what runs.
class TPlainStrings : public TStrings {
 public:
  std::vector<std::pair<std::string, TObject*>> Data;
  V Log;
  void Insert(int Index, const std::string& S) override {
    if (Index < 0 || Index > Count()) IndexError(Index);
    Data.insert(Data.begin() + Index, {S, nullptr});
  }
  void Delete(int Index) override {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    Data.erase(Data.begin() + Index);
  }
  void Clear() override { Data.clear(); }

 protected:
  std::string Get(int Index) const override {
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return Data[static_cast<size_t>(Index)].first;
  }
  int GetCount() const override { return static_cast<int>(Data.size()); }
  TObject* GetObject(int Index) const override { return Data.at(static_cast<size_t>(Index)).second; }
  void PutObject(int Index, TObject* AObject) override { Data.at(static_cast<size_t>(Index)).second = AObject; }
  void SetUpdateState(bool Updating) override { Log.push_back(Updating ? "begin" : "end"); }
};

TEST(Strings, BaseClassOperationsOnAMinimalList) {
  TPlainStrings s;
  TObject a, b;
  s.AddObject("a=1", &a);
  s.AddObject("b=2", &b);
  s.Add("c");
  s.SetStrings(0, "A=1");  // replaced through delete and insert, keeping the object
  EXPECT_EQ(s.Objects(0), &a);
  s.Move(0, 2);
  EXPECT_EQ(Items(s), (V{"b=2", "c", "A=1"}));
  EXPECT_EQ(s.Objects(2), &a);
  s.Exchange(0, 1);
  EXPECT_EQ(Items(s), (V{"c", "b=2", "A=1"}));
  EXPECT_EQ(s.Objects(1), &b);
  EXPECT_EQ(s.Values("a"), "1");
  s.Log.clear();
  s.SetText("x\ny");
  EXPECT_EQ(s.Log, (V{"begin", "end"}));  // one bracket around the whole change
  EXPECT_EQ(s.Text(), "x\r\ny\r\n");
  EXPECT_THROW(s.Move(0, 5), EStringListError);
  EXPECT_EQ(s.Count(), 2);
}

}  // namespace
