#include "platform/data/ADODB.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/data/FieldText.h"
#include "platform/data/SqlDates.h"
#include "platform/rtl/Strings.h"

using data::Record;
using data::Value;

namespace data {

TFieldType FieldTypeOfDeclared(const std::string& Declared, int& Size) {
  std::string t = UpperCase(Declared);
  Size = 0;
  size_t paren = t.find('(');
  if (paren != std::string::npos) Size = std::atoi(t.c_str() + paren + 1);
  std::string base = Trim(t.substr(0, paren));
  auto has = [&](const char* s) { return base.find(s) != std::string::npos; };
  if (base.empty()) return ftUnknown;
  if (has("BOOL") || base == "BIT" || base == "YESNO") return ftBoolean;
  if (base == "DATETIME" || base == "TIMESTAMP") return ftDateTime;
  if (base == "DATE") return ftDate;
  if (base == "TIME") return ftTime;
  if (has("SMALLINT") || has("TINYINT")) return ftSmallint;
  if (has("BIGINT")) return ftLargeint;
  if (has("INT") || has("COUNTER")) return ftInteger;
  if (has("CURRENCY") || has("MONEY")) return ftCurrency;
  if (has("DECIMAL") || has("NUMERIC")) return ftBCD;
  if (has("REAL") || has("FLOA") || has("DOUB")) return ftFloat;
  if (has("BLOB") || has("BINARY") || has("IMAGE")) return ftBlob;
  if (has("CHAR") || has("VARCHAR")) {
    if (Size <= 0) Size = 255;
    return ftWideString;
  }
  if (has("TEXT") || has("CLOB") || has("MEMO")) {
    if (Size > 0) return ftWideString;
    return ftMemo;
  }
  return ftWideString;
}

std::vector<std::pair<std::string, std::string>> ParseConnectionString(const std::string& Text) {
  std::vector<std::pair<std::string, std::string>> out;
  size_t i = 0;
  while (i < Text.size()) {
    size_t eq = Text.find('=', i);
    size_t semi = Text.find(';', i);
    if (eq == std::string::npos || (semi != std::string::npos && semi < eq)) {
      // A part without "=": skipped.
      if (semi == std::string::npos) break;
      i = semi + 1;
      continue;
    }
    std::string key = Trim(Text.substr(i, eq - i));
    size_t v = eq + 1;
    while (v < Text.size() && Text[v] == ' ') ++v;
    std::string value;
    if (v < Text.size() && (Text[v] == '"' || Text[v] == '\'')) {
      char q = Text[v++];
      while (v < Text.size()) {
        if (Text[v] == q) {
          if (v + 1 < Text.size() && Text[v + 1] == q) {
            value += q;
            v += 2;
            continue;
          }
          ++v;
          break;
        }
        value += Text[v++];
      }
      size_t end = Text.find(';', v);
      i = end == std::string::npos ? Text.size() : end + 1;
    } else {
      size_t end = Text.find(';', v);
      value = Trim(Text.substr(v, end == std::string::npos ? std::string::npos : end - v));
      i = end == std::string::npos ? Text.size() : end + 1;
    }
    if (!key.empty()) out.emplace_back(key, value);
  }
  return out;
}

}  // namespace data

namespace {

// A value read from the file in the field type's storage (Null when it cannot be read so).
Value FromStored(const Value& V, TFieldType Type) {
  if (data::IsNullValue(V)) return V;
  try {
    switch (data::StorageOf(Type)) {
      case data::Storage::Integer: return data::ToInteger(V);
      case data::Storage::Float: return data::ToFloat(V);
      case data::Storage::Boolean: return data::ToBoolean(V);
      case data::Storage::DateTime: {
        TDateTime dt;
        if (auto s = std::get_if<std::string>(&V)) {
          if (!data::ParseSqlDateTime(*s, dt)) return {};
        } else {
          dt = TDateTime(data::ToFloat(V));
        }
        return data::DateTimeForType(dt.Value, Type);
      }
      case data::Storage::Text:
        return data::ToText(V, data::Storage::Text);
    }
  } catch (const Exception&) {
    return {};
  }
  return V;
}

// A field value in the form the file keeps for the type.
Value ToStored(const Value& V, TFieldType Type) {
  if (data::IsNullValue(V)) return V;
  switch (data::StorageOf(Type)) {
    case data::Storage::Boolean: return static_cast<int64_t>(data::ToBoolean(V) ? 1 : 0);
    case data::Storage::DateTime: {
      double d = data::ToFloat(V);
      if (Type == ftTime) return data::FormatSqlTime(d);
      if (Type == ftDate) return data::FormatSqlDate(d);
      return data::FormatSqlDateTime(d);
    }
    default:
      return V;
  }
}

bool IsQuote(char C) { return C == '\'' || C == '"' || C == '[' || C == '`'; }

// The index of the character that closes the quoted text or name opening at Sql[At]
// (Sql.size() when it is never closed).
size_t QuotedEnd(const std::string& Sql, size_t At) {
  size_t e = Sql.find(Sql[At] == '[' ? ']' : Sql[At], At + 1);
  return e == std::string::npos ? Sql.size() : e;
}

bool IsIdentChar(char C) {
  return std::isalnum(static_cast<unsigned char>(C)) || C == '_' || static_cast<unsigned char>(C) >= 0x80;
}

// Whether the statement groups its rows (GROUP BY outside parentheses): a grouped row is no
// single row of the table, so it cannot be written back.
bool GroupsRows(const std::string& Sql) {
  int depth = 0;
  for (size_t i = 0; i < Sql.size(); ++i) {
    char c = Sql[i];
    if (IsQuote(c)) {
      i = QuotedEnd(Sql, i);
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (depth == 0 && (i == 0 || !IsIdentChar(Sql[i - 1])) && data::SameName(Sql.substr(i, 5), "group") &&
               (i + 5 >= Sql.size() || !IsIdentChar(Sql[i + 5]))) {
      return true;
    }
  }
  return false;
}

// Offers the row identity along with the rows: "select X" becomes "select _rowid_, X".
std::string WithRowId(const std::string& Sql) {
  if (GroupsRows(Sql)) return {};
  size_t i = 0;
  while (i < Sql.size() && std::isspace(static_cast<unsigned char>(Sql[i]))) ++i;
  if (Sql.size() - i < 7 || !data::SameName(Sql.substr(i, 6), "select") ||
      !std::isspace(static_cast<unsigned char>(Sql[i + 6])))
    return {};
  size_t j = i + 6;
  while (j < Sql.size() && std::isspace(static_cast<unsigned char>(Sql[j]))) ++j;
  std::string next = Sql.substr(j, 8);
  if (data::SameName(next.substr(0, 8), "distinct") || data::SameName(next.substr(0, 3), "all")) return {};
  return Sql.substr(0, i + 6) + " _rowid_ AS \"$rowid\"," + Sql.substr(i + 6);
}

const char* const kRowChanged =
    "Row cannot be located for updating. Some values may have been changed since it was last read.";

}  // namespace

// ---------------------------------------------------------------- TADOConnection

static const classes::TPublished<TADOConnection, TComponent> ConnectionInfo([](auto& p) {
  p.Bool("Connected", &TADOConnection::Connected, &TADOConnection::SetConnected).Default(false);
  p.String("ConnectionString", &TADOConnection::ConnectionString, &TADOConnection::SetConnectionString);
  p.Enum("CursorLocation", &TADOConnection::CursorLocation, &TADOConnection::SetCursorLocation).Default(clUseClient);
  p.Bool("KeepConnection", &TADOConnection::KeepConnection, &TADOConnection::SetKeepConnection).Default(true);
  p.Bool("LoginPrompt", &TADOConnection::LoginPrompt, &TADOConnection::SetLoginPrompt).Default(true);
  p.Enum("Mode", &TADOConnection::Mode, &TADOConnection::SetMode).Default(cmUnknown);
  p.Event("AfterConnect", &TADOConnection::AfterConnect);
  p.Event("AfterDisconnect", &TADOConnection::AfterDisconnect);
  p.Event("BeforeConnect", &TADOConnection::BeforeConnect);
  p.Event("BeforeDisconnect", &TADOConnection::BeforeDisconnect);
});

TADOConnection::TADOConnection(TComponent* AOwner) : TComponent(AOwner) {}

TADOConnection::~TADOConnection() {
  FClosing = true;
  for (TCustomADODataSet* ds : std::vector<TCustomADODataSet*>(FDataSets)) ds->SetConnection(nullptr);
  FDb.reset();
}

void TADOConnection::SetConnectionString(const std::string& Value) {
  if (Connected()) Close();
  FConnectionString = Value;
  FParameters = data::ParseConnectionString(Value);
}

std::string TADOConnection::ConnectionParameter(const std::string& Key) const {
  for (const auto& [k, v] : FParameters)
    if (data::SameName(k, Key)) return v;
  return {};
}

void TADOConnection::Loaded() {
  TComponent::Loaded();
  if (FStreamedConnected) {
    FStreamedConnected = false;
    SetConnected(true);
  }
}

void TADOConnection::SetConnected(bool Value) {
  if (HasState(csLoading)) {
    FStreamedConnected = Value;
    return;
  }
  if (Value == Connected()) return;
  if (Value) {
    if (BeforeConnect) BeforeConnect(this);
    std::string path = ConnectionParameter("Data Source");
    if (path.empty()) throw EADOError("The connection string names no Data Source");
    FDb = data::SqliteDatabase::OpenExisting(path);
    if (AfterConnect) AfterConnect(this);
  } else {
    if (BeforeDisconnect) BeforeDisconnect(this);
    FClosing = true;
    try {
      for (TCustomADODataSet* ds : std::vector<TCustomADODataSet*>(FDataSets)) ds->Close();
    } catch (...) {
      FClosing = false;
      throw;
    }
    FClosing = false;
    FDb.reset();
    if (AfterDisconnect) AfterDisconnect(this);
  }
}

data::SqliteDatabase& TADOConnection::Database() {
  Open();
  return *FDb;
}

int TADOConnection::Execute(const std::string& CommandText) {
  data::SqliteDatabase& db = Database();
  data::SqliteStatement stmt(db, CommandText);
  while (stmt.Step()) {
  }
  int changed = db.Changes();
  DataSetActiveChanged();
  return changed;
}

void TADOConnection::DataSetActiveChanged() {
  if (FKeepConnection || FClosing || !FDb) return;
  for (TCustomADODataSet* ds : FDataSets)
    if (ds->Active()) return;
  FDb.reset();
}

// ---------------------------------------------------------------- parameters

Value TParameter::SqlValue() const {
  if (VarIsNull(FValue) || VarIsEmpty(FValue)) return {};
  switch (VarType(FValue)) {
    case varDate: {
      TDateTime v = FValue.AsDateTime();
      double whole = std::trunc(v.Value);
      if (FDataType == ftTime || (FDataType != ftDate && FDataType != ftDateTime && whole == 0))
        return data::FormatSqlTime(v);
      if (FDataType == ftDate || (FDataType != ftDateTime && whole == v.Value)) return data::FormatSqlDate(v);
      return data::FormatSqlDateTime(v);
    }
    case varBoolean:
      return static_cast<int64_t>(FValue.AsBoolean() ? 1 : 0);
    case varSingle: case varDouble: case varCurrency:
      return FValue.AsDouble();
    default:
      if (VarIsOrdinal(FValue)) return FValue.AsInt64();
      return FValue.AsString();
  }
}

TParameter* TParameters::FindParam(const std::string& Name) const {
  for (auto& p : FItems)
    if (data::SameName(p->Name(), Name)) return p.get();
  return nullptr;
}

TParameter* TParameters::ParamByName(const std::string& Name) const {
  TParameter* p = FindParam(Name);
  if (!p) throw EADOError("Parameter '" + Name + "' not found");
  return p;
}

void TParameters::ParseSQL(const std::string& Sql) {
  std::vector<std::unique_ptr<TParameter>> items;
  for (size_t i = 0; i < Sql.size(); ++i) {
    char c = Sql[i];
    if (IsQuote(c)) {
      i = QuotedEnd(Sql, i);
    } else if (c == '-' && i + 1 < Sql.size() && Sql[i + 1] == '-') {
      size_t e = Sql.find('\n', i);
      i = e == std::string::npos ? Sql.size() : e;
    } else if (c == ':' && i + 1 < Sql.size() && Sql[i + 1] == ':') {
      ++i;
    } else if (c == ':' && i + 1 < Sql.size() && IsIdentChar(Sql[i + 1])) {
      size_t b = i + 1, e = b;
      while (e < Sql.size() && IsIdentChar(Sql[e])) ++e;
      std::string name = Sql.substr(b, e - b);
      bool seen = std::any_of(items.begin(), items.end(), [&](auto& p) { return data::SameName(p->Name(), name); });
      if (!seen) {
        auto p = std::make_unique<TParameter>(name);
        if (TParameter* old = FindParam(name)) {
          p->SetDataType(old->DataType());
          p->SetValue(old->Value());
        }
        items.push_back(std::move(p));
      }
      i = e - 1;
    }
  }
  FItems = std::move(items);
}

// ---------------------------------------------------------------- datasets

static const classes::TPublished<TCustomADODataSet, TDataSet> CustomADODataSetInfo([](auto& p) {
  p.Component("Connection", &TCustomADODataSet::Connection, &TCustomADODataSet::SetConnection);
  p.Enum("CursorType", &TCustomADODataSet::CursorType, &TCustomADODataSet::SetCursorType).Default(ctKeyset);
  p.Enum("LockType", &TCustomADODataSet::LockType, &TCustomADODataSet::SetLockType).Default(ltOptimistic);
});
static const classes::TPublished<TADOQuery, TCustomADODataSet> QueryInfo([](auto& p) {
  p.Object("SQL", &TADOQuery::SQL, &TADOQuery::SetSQL);
});
static const classes::TPublished<TADOTable, TCustomADODataSet> TableInfo([](auto& p) {
  p.String("TableName", &TADOTable::TableName, &TADOTable::SetTableName);
});

TCustomADODataSet::TCustomADODataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TCustomADODataSet::~TCustomADODataSet() { SetConnection(nullptr); }

void TCustomADODataSet::SetConnection(TADOConnection* Value) {
  if (Value == FConnection) return;
  if (Active()) Close();
  if (FConnection) {
    auto& l = FConnection->FDataSets;
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    FConnection->RemoveFreeNotification(this);
  }
  FConnection = Value;
  if (Value) {
    Value->FDataSets.push_back(this);
    Value->FreeNotification(this);
  }
}

void TCustomADODataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TDataSet::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FConnection) {
    // The connection is going: drop it without touching it further.
    if (Active()) Close();
    FConnection = nullptr;
  }
}

bool TCustomADODataSet::CanModify() const {
  return TDataSet::CanModify() && FLockType != ltReadOnly && !FTable.empty() && FHasRowId;
}

data::SqliteDatabase& TCustomADODataSet::Db() {
  if (!FConnection) throw EADOError("Missing Connection or ConnectionString");
  return FConnection->Database();
}

void TCustomADODataSet::BindParameters(data::SqliteStatement& Stmt) {
  for (int i = 1; i <= Stmt.ParameterCount(); ++i) {
    std::string name = Stmt.ParameterName(i);
    TParameter* p = name.empty() ? nullptr : FParameters.FindParam(name);
    if (!p) throw EADOError("No value given for the parameter '" + (name.empty() ? "?" : name) + "'");
    Stmt.Bind(i, p->SqlValue());
  }
}

TCustomADODataSet::Rows TCustomADODataSet::ReadRows(bool Describe) {
  data::SqliteDatabase& db = Db();
  std::string sql = CommandText();
  if (Trim(sql).empty()) throw EADOError("CommandText does not return a result set");
  std::unique_ptr<data::SqliteStatement> stmt;
  bool rowid = false;
  std::string rowidSql = WithRowId(sql);
  if (!rowidSql.empty()) {
    try {
      stmt = std::make_unique<data::SqliteStatement>(db, rowidSql);
      rowid = true;
    } catch (const EDatabaseError&) {
      stmt.reset();
    }
  }
  if (!stmt) stmt = std::make_unique<data::SqliteStatement>(db, sql);
  int first = rowid ? 1 : 0;
  int count = stmt->ColumnCount();
  if (count <= first) throw EADOError("CommandText does not return a result set");

  if (Describe) {
    // The rows are updatable when every column comes from one table that has row ids.
    std::string table = rowid ? stmt->OriginTable(0) : std::string();
    std::vector<data::ColumnInfo> info;
    if (!table.empty()) info = db.TableColumns(table);
    FColumns.clear();
    for (int i = first; i < count; ++i) {
      Column c;
      c.Name = stmt->ColumnName(i);
      c.Origin = stmt->OriginColumn(i);
      if (stmt->OriginTable(i) != table) table.clear();
      int size = 0;
      c.Type = data::FieldTypeOfDeclared(stmt->DeclaredType(i), size);
      bool required = false, readOnly = false;
      for (const auto& ci : info) {
        if (!data::SameName(ci.Name, c.Origin)) continue;
        if (ci.AutoIncrement) {
          c.Type = ftAutoInc;
          readOnly = true;
        }
        required = ci.NotNull && !ci.HasDefault && !ci.PrimaryKey;
      }
      FColumns.push_back(c);
      FColumnSizes.push_back(size);
      FColumnFlags.push_back({required, readOnly});
    }
    FTable = table;
    FHasRowId = rowid && !table.empty();
  }

  BindParameters(*stmt);
  Rows rows;
  std::vector<TFieldType> types;
  for (const Column& c : FColumns) types.push_back(c.Type);
  while (stmt->Step()) {
    std::vector<Value> values;
    values.reserve(FColumns.size());
    for (int i = first; i < count && static_cast<size_t>(i - first) < FColumns.size(); ++i) {
      Value v = stmt->Column(i);
      TFieldType t = types[static_cast<size_t>(i - first)];
      if (t == ftUnknown) {
        // An expression: its type comes from its first value.
        if (std::holds_alternative<int64_t>(v)) t = ftLargeint;
        else if (std::holds_alternative<double>(v)) t = ftFloat;
        else if (!data::IsNullValue(v)) t = ftWideString;
        if (t != ftUnknown && Describe) FColumns[static_cast<size_t>(i - first)].Type = types[static_cast<size_t>(i - first)] = t;
      }
      values.push_back(FromStored(v, t));
    }
    rows.Values.push_back(std::move(values));
    Value id = rowid ? stmt->Column(0) : Value();
    rows.RowIds.push_back(FHasRowId && std::holds_alternative<int64_t>(id) ? std::get<int64_t>(id) : 0);
  }
  return rows;
}

void TCustomADODataSet::InternalOpen() {
  FColumnSizes.clear();
  FColumnFlags.clear();
  Rows rows = ReadRows(true);
  FieldDefs()->Clear();
  for (size_t i = 0; i < FColumns.size(); ++i) {
    Column& c = FColumns[i];
    if (c.Type == ftUnknown) c.Type = ftWideString;
    int size = data::StorageOf(c.Type) == data::Storage::Text && !data::IsBlobType(c.Type) ? FColumnSizes[i] : 0;
    if (c.Type == ftWideString && size <= 0) size = 255;
    TFieldDef* def = FieldDefs()->Add(c.Name, c.Type, size, FColumnFlags[i].first);
    def->SetReadOnly(FColumnFlags[i].second);
  }
  for (size_t r = 0; r < rows.Values.size(); ++r) AddLoadedRecord(std::move(rows.Values[r]), rows.RowIds[r]);
}

void TCustomADODataSet::InternalClose() {
  FTable.clear();
  FHasRowId = false;
  // The connection may close once the dataset is no longer counted as open.
  if (FConnection) FConnection->DataSetActiveChanged();
}

void TCustomADODataSet::InternalRefresh() {
  Rows rows = ReadRows(false);
  ClearRecords();
  for (size_t r = 0; r < rows.Values.size(); ++r) AddLoadedRecord(std::move(rows.Values[r]), rows.RowIds[r]);
}

void TCustomADODataSet::InternalPostEdit(Record& Rec, const std::vector<Value>& OldValues) {
  if (!CanModify()) Error("Cannot modify a read-only dataset");
  std::string set;
  std::vector<Value> args;
  for (size_t i = 0; i < FColumns.size(); ++i) {
    if (FColumns[i].Origin.empty() || Rec.Values[i] == OldValues[i]) continue;
    if (!set.empty()) set += ", ";
    set += data::QuoteIdentifier(FColumns[i].Origin) + " = ?";
    args.push_back(ToStored(Rec.Values[i], FColumns[i].Type));
  }
  if (set.empty()) return;
  // The row's identity comes back from the statement: a column that is the table's row id
  // (an integer primary key) may be among those changed.
  data::SqliteStatement stmt(Db(), "UPDATE " + data::QuoteIdentifier(FTable) + " SET " + set +
                                       " WHERE _rowid_ = ? RETURNING _rowid_");
  int i = 1;
  for (const Value& v : args) stmt.Bind(i++, v);
  stmt.Bind(i, Rec.RowId);
  if (!stmt.Step()) Error(kRowChanged);
  Value id = stmt.Column(0);
  while (stmt.Step()) {
  }
  if (auto newId = std::get_if<int64_t>(&id)) Rec.RowId = *newId;
}

void TCustomADODataSet::InternalPostInsert(Record& Rec) {
  if (!CanModify()) Error("Cannot modify a read-only dataset");
  std::string cols, marks;
  std::vector<Value> args;
  for (size_t i = 0; i < FColumns.size(); ++i) {
    if (FColumns[i].Origin.empty() || data::IsNullValue(Rec.Values[i])) continue;
    if (!cols.empty()) {
      cols += ", ";
      marks += ", ";
    }
    cols += data::QuoteIdentifier(FColumns[i].Origin);
    marks += "?";
    args.push_back(ToStored(Rec.Values[i], FColumns[i].Type));
  }
  data::SqliteDatabase& db = Db();
  std::string sql = "INSERT INTO " + data::QuoteIdentifier(FTable) +
                    (cols.empty() ? " DEFAULT VALUES" : " (" + cols + ") VALUES (" + marks + ")");
  data::SqliteStatement stmt(db, sql);
  int i = 1;
  for (const Value& v : args) stmt.Bind(i++, v);
  stmt.Step();
  int64_t rowid = db.LastInsertRowId();
  // Read the stored row back: generated keys and column defaults.
  std::string select;
  for (const Column& c : FColumns) {
    if (!select.empty()) select += ", ";
    select += c.Origin.empty() ? "NULL" : data::QuoteIdentifier(c.Origin);
  }
  data::SqliteStatement back(db, "SELECT " + select + " FROM " + data::QuoteIdentifier(FTable) + " WHERE _rowid_ = ?");
  back.Bind(1, rowid);
  if (back.Step())
    for (size_t k = 0; k < FColumns.size(); ++k)
      if (!FColumns[k].Origin.empty()) Rec.Values[k] = FromStored(back.Column(static_cast<int>(k)), FColumns[k].Type);
  Rec.RowId = rowid;
}

void TCustomADODataSet::InternalDeleteRecord(Record& Rec) {
  if (!CanModify()) Error("Cannot modify a read-only dataset");
  data::SqliteStatement stmt(Db(), "DELETE FROM " + data::QuoteIdentifier(FTable) + " WHERE _rowid_ = ?");
  stmt.Bind(1, Rec.RowId);
  stmt.Step();
}

int TCustomADODataSet::ExecuteCommand() {
  data::SqliteDatabase& db = Db();
  data::SqliteStatement stmt(db, CommandText());
  BindParameters(stmt);
  while (stmt.Step()) {
  }
  FRowsAffected = db.Changes();
  if (FConnection) FConnection->DataSetActiveChanged();
  return FRowsAffected;
}

// ---------------------------------------------------------------- query and table

TADOQuery::TADOQuery(TComponent* AOwner) : TCustomADODataSet(AOwner) {
  FSQL.OnChange = [this](TObject*) {
    // A definition may name Active before the text: opening waits for Loaded then.
    if (!HasState(csLoading)) Close();
    Parameters()->ParseSQL(FSQL.Text());
  };
}

TADOQuery::~TADOQuery() {
  FSQL.OnChange = nullptr;
  Close();
}

TADOTable::~TADOTable() { Close(); }

void TADOTable::SetTableName(const std::string& Value) {
  CheckInactive();
  FTableName = Value;
}

std::string TADOTable::CommandText() const {
  if (FTableName.empty()) throw EADOError("Missing TableName property");
  return "select * from " + data::QuoteIdentifier(FTableName);
}
