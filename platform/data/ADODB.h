#pragma once
// The ADO classes over SQLite: a connection that opens the "Data Source" file of its
// connection string, and query and table datasets whose rows are read on Open and whose
// posted and deleted rows are written to the file at once.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/data/DataSet.h"

class TCustomADODataSet;

enum TConnectMode {
  cmUnknown, cmRead, cmWrite, cmReadWrite, cmShareDenyRead, cmShareDenyWrite, cmShareExclusive, cmShareDenyNone
};
enum TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };
enum TADOLockType { ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic };
enum TCursorLocation { clUseServer, clUseClient };

inline const classes::TEnumInfo& EnumInfo(TConnectMode) {
  static const classes::TEnumInfo info{"TConnectMode", {"cmUnknown", "cmRead", "cmWrite", "cmReadWrite", "cmShareDenyRead",
                                                        "cmShareDenyWrite", "cmShareExclusive", "cmShareDenyNone"}};
  return info;
}
inline const classes::TEnumInfo& EnumInfo(TCursorType) {
  static const classes::TEnumInfo info{"TCursorType", {"ctUnspecified", "ctOpenForwardOnly", "ctKeyset", "ctDynamic", "ctStatic"}};
  return info;
}
inline const classes::TEnumInfo& EnumInfo(TADOLockType) {
  static const classes::TEnumInfo info{
      "TADOLockType", {"ltUnspecified", "ltReadOnly", "ltPessimistic", "ltOptimistic", "ltBatchOptimistic"}};
  return info;
}
inline const classes::TEnumInfo& EnumInfo(TCursorLocation) {
  static const classes::TEnumInfo info{"TCursorLocation", {"clUseServer", "clUseClient"}};
  return info;
}

class EADOError : public EDatabaseError { public: using EDatabaseError::EDatabaseError; };

class TADOConnection : public TComponent {
 public:
  explicit TADOConnection(TComponent* AOwner);
  ~TADOConnection() override;

  const std::string& ConnectionString() const { return FConnectionString; }
  // Closes the connection first when it is open.
  void SetConnectionString(const std::string& Value);
  // A key of the connection string ("Data Source", "Provider"...), "" when absent; keys match
  // without regard to case.
  std::string ConnectionParameter(const std::string& Key) const;
  bool LoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool Value) { FLoginPrompt = Value; }
  TConnectMode Mode() const { return FMode; }
  void SetMode(TConnectMode Value) { FMode = Value; }
  // When false the file is closed as soon as no dataset of the connection is open.
  bool KeepConnection() const { return FKeepConnection; }
  void SetKeepConnection(bool Value) { FKeepConnection = Value; }
  TCursorLocation CursorLocation() const { return FCursorLocation; }
  void SetCursorLocation(TCursorLocation Value) { FCursorLocation = Value; }

  bool Connected() const { return FDb != nullptr; }
  // While the connection is read from a definition, connecting waits for Loaded.
  void SetConnected(bool Value);
  void Open() { SetConnected(true); }
  // Closes every open dataset of the connection, then the file.
  void Close() { SetConnected(false); }
  // Runs a statement; returns the number of rows it changed.
  int Execute(const std::string& CommandText);
  int DataSetCount() const { return static_cast<int>(FDataSets.size()); }
  TCustomADODataSet* DataSets(int Index) const { return FDataSets.at(static_cast<size_t>(Index)); }

  TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

  // The open database (opening the connection when needed).
  data::SqliteDatabase& Database();

  void Loaded() override;

 private:
  friend class TCustomADODataSet;
  void DataSetActiveChanged();

  std::string FConnectionString;
  std::vector<std::pair<std::string, std::string>> FParameters;
  bool FLoginPrompt = true;
  TConnectMode FMode = cmUnknown;
  bool FKeepConnection = true;
  TCursorLocation FCursorLocation = clUseClient;
  std::unique_ptr<data::SqliteDatabase> FDb;
  std::vector<TCustomADODataSet*> FDataSets;
  bool FClosing = false;
  bool FStreamedConnected = false;  // Connected as a definition gave it, applied by Loaded
};

// A named parameter of a query (":name" in its text).
class TParameter {
 public:
  explicit TParameter(std::string Name) : FName(std::move(Name)) {}
  const std::string& Name() const { return FName; }
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& V) { FValue = V; }
  void SetAsDateTime(TDateTime V) { FValue = Variant(V); }
  TFieldType DataType() const { return FDataType; }
  void SetDataType(TFieldType V) { FDataType = V; }
  // The value as the statement receives it, in the forms the database keeps: a date-time
  // is "hh:nn:ss" for a time of day (or DataType ftTime), "yyyy-mm-dd" for a whole day (or
  // ftDate), else "yyyy-mm-dd hh:nn:ss"; a Boolean is 1 or 0.
  data::Value SqlValue() const;

 private:
  std::string FName;
  Variant FValue;
  TFieldType FDataType = ftUnknown;
};

class TParameters {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TParameter* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
  TParameter* FindParam(const std::string& Name) const;
  // Raises EADOError "Parameter 'X' not found".
  TParameter* ParamByName(const std::string& Name) const;
  // Rebuilds the list from the ":name" markers of Sql, keeping the values of names that stay.
  void ParseSQL(const std::string& Sql);
  void Clear() { FItems.clear(); }

 private:
  std::vector<std::unique_ptr<TParameter>> FItems;
};

class TCustomADODataSet : public TDataSet {
 public:
  explicit TCustomADODataSet(TComponent* AOwner);
  ~TCustomADODataSet() override;

  TADOConnection* Connection() const { return FConnection; }
  void SetConnection(TADOConnection* Value);
  TCursorType CursorType() const { return FCursorType; }
  void SetCursorType(TCursorType Value) { FCursorType = Value; }
  TADOLockType LockType() const { return FLockType; }
  void SetLockType(TADOLockType Value) { FLockType = Value; }
  TParameters* Parameters() { return &FParameters; }
  bool CanModify() const override;
  // Rows changed by the last ExecSQL.
  int RowsAffected() const { return FRowsAffected; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // The statement that reads the rows.
  virtual std::string CommandText() const = 0;
  // Runs CommandText without reading rows; returns the rows changed.
  int ExecuteCommand();

  void InternalOpen() override;
  void InternalClose() override;
  void InternalRefresh() override;
  void InternalPostEdit(data::Record& Rec, const std::vector<data::Value>& OldValues) override;
  void InternalPostInsert(data::Record& Rec) override;
  void InternalDeleteRecord(data::Record& Rec) override;

 private:
  struct Column {
    std::string Name;        // as the result names it
    std::string Origin;      // the table column it comes from ("" for expressions)
    TFieldType Type = ftUnknown;
  };
  struct Rows {
    std::vector<std::vector<data::Value>> Values;
    std::vector<int64_t> RowIds;
  };
  // Runs the statement: fills the column list (when Describe) and returns the rows.
  Rows ReadRows(bool Describe);
  void BindParameters(data::SqliteStatement& Stmt);
  data::SqliteDatabase& Db();

  TADOConnection* FConnection = nullptr;
  TCursorType FCursorType = ctKeyset;
  TADOLockType FLockType = ltOptimistic;
  TParameters FParameters;
  std::vector<Column> FColumns;
  std::vector<int> FColumnSizes;                    // declared text widths
  std::vector<std::pair<bool, bool>> FColumnFlags;  // required, read-only
  std::string FTable;        // the one table the rows come from ("" when not updatable)
  bool FHasRowId = false;
  int FRowsAffected = 0;
};

class TADOQuery : public TCustomADODataSet {
 public:
  explicit TADOQuery(TComponent* AOwner);
  ~TADOQuery() override;
  // The statement's text; changing it closes the query and takes the new text's parameters.
  TStrings* SQL() { return &FSQL; }
  void SetSQL(TStrings* Value) { FSQL.Assign(Value); }
  TParameter* ParamByName(const std::string& Name) { return Parameters()->ParamByName(Name); }
  // Runs a statement that returns no rows; returns the rows changed.
  int ExecSQL() { return ExecuteCommand(); }

 protected:
  std::string CommandText() const override { return FSQL.Text(); }

 private:
  TStringList FSQL;
};

class TADOTable : public TCustomADODataSet {
 public:
  explicit TADOTable(TComponent* AOwner) : TCustomADODataSet(AOwner) {}
  ~TADOTable() override;
  const std::string& TableName() const { return FTableName; }
  void SetTableName(const std::string& Value);

 protected:
  std::string CommandText() const override;

 private:
  std::string FTableName;
};

namespace data {
// The field type and size of a column declared as Declared ("VARCHAR(100)", "TIME"...).
TFieldType FieldTypeOfDeclared(const std::string& Declared, int& Size);
// Splits "k=v;k2='v;2'" into pairs (keys and values trimmed, quotes removed).
std::vector<std::pair<std::string, std::string>> ParseConnectionString(const std::string& Text);
}  // namespace data
