#pragma once
// Thin RAII layer over SQLite: a database handle and prepared statements, with the
// application clock feeding the zero-argument SQL functions time() and date().
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/data/DBError.h"

struct sqlite3;
struct sqlite3_stmt;

namespace data {

// A value as the data layer stores it: Null, integer, float, boolean or text/bytes.
using Value = std::variant<std::monostate, int64_t, double, bool, std::string>;

inline bool IsNullValue(const Value& v) { return std::holds_alternative<std::monostate>(v); }

// Name in double quotes (inner quotes doubled), safe as an SQL identifier.
std::string QuoteIdentifier(const std::string& Name);

// A column of a table as its declaration gives it.
struct ColumnInfo {
  std::string Name;
  std::string Type;
  bool NotNull = false;
  bool HasDefault = false;
  bool PrimaryKey = false;
  bool AutoIncrement = false;
};

class SqliteDatabase {
 public:
  // Opens an existing database file for reading and writing. Raises EDatabaseError naming
  // the file when it does not exist or is not a database; never creates anything.
  static std::unique_ptr<SqliteDatabase> OpenExisting(const std::string& Path);
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  // Runs one or more statements without results.
  void Exec(const std::string& Sql);
  int64_t LastInsertRowId() const;
  int Changes() const;
  // The columns of Table in declaration order (empty for an unknown table).
  std::vector<ColumnInfo> TableColumns(const std::string& Table) const;
  const std::string& Path() const { return FPath; }
  sqlite3* Handle() const { return FDb; }
  // Raises EDatabaseError with SQLite's message for the last failure.
  [[noreturn]] void Fail() const;

 private:
  SqliteDatabase(sqlite3* Db, std::string Path) : FDb(Db), FPath(std::move(Path)) {}
  friend bool CreateDatabase(const std::string&, const std::string&);
  sqlite3* FDb;
  std::string FPath;
};

class SqliteStatement {
 public:
  // Prepares the first statement of Sql; raises EDatabaseError with SQLite's message.
  SqliteStatement(const SqliteDatabase& Db, const std::string& Sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  int ParameterCount() const;
  // The name of parameter Index (1-based) without its ':' prefix; "" for a '?'.
  std::string ParameterName(int Index) const;
  void Bind(int Index, const Value& V);
  // Runs to the next row: true when a row is ready, false when done.
  bool Step();
  void Reset();

  int ColumnCount() const;
  std::string ColumnName(int Index) const;
  std::string DeclaredType(int Index) const;   // "" for expressions
  std::string OriginTable(int Index) const;    // "" for expressions
  std::string OriginColumn(int Index) const;
  // The stored value of a column of the current row (booleans come back as integers).
  Value Column(int Index) const;

 private:
  const SqliteDatabase& FDb;
  sqlite3_stmt* FStmt = nullptr;
};

// Creates the database file Path from the schema text when no file of that name exists.
// The file appears complete or not at all. Returns false (and touches nothing) when
// Path already exists; raises EDatabaseError when the schema fails or the folder is not writable.
bool CreateDatabase(const std::string& Path, const std::string& SchemaSql);

}  // namespace data
