#include "platform/data/Sqlite.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/data/SqlDates.h"
#include "platform/rtl/Clock.h"

namespace data {

namespace {

// time() and date() with no arguments: the application's current time of day and date.
void SqlTimeNow(sqlite3_context* Ctx, int, sqlite3_value**) {
  std::string s = FormatSqlTime(rtl::CurrentClock().WallNow());
  sqlite3_result_text(Ctx, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void SqlDateNow(sqlite3_context* Ctx, int, sqlite3_value**) {
  std::string s = FormatSqlDate(rtl::CurrentClock().WallNow());
  sqlite3_result_text(Ctx, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void RegisterClockFunctions(sqlite3* Db) {
  // Only the zero-argument forms are replaced; time(x) and date(x) stay SQLite's own.
  sqlite3_create_function(Db, "time", 0, SQLITE_UTF8, nullptr, SqlTimeNow, nullptr, nullptr);
  sqlite3_create_function(Db, "date", 0, SQLITE_UTF8, nullptr, SqlDateNow, nullptr, nullptr);
}

std::string ErrorText(sqlite3* Db) { return Db ? sqlite3_errmsg(Db) : "out of memory"; }

bool PathExists(const std::string& Path) {
  struct stat st;
  return ::stat(Path.c_str(), &st) == 0;
}

}  // namespace

std::unique_ptr<SqliteDatabase> SqliteDatabase::OpenExisting(const std::string& Path) {
  struct stat st;
  if (Path.empty() || ::stat(Path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    DatabaseError("Could not find file '" + Path + "'.");
  // An empty file would be taken by SQLite as a new database; it is no database file.
  if (st.st_size == 0)
    DatabaseError("Unrecognized database format '" + Path + "'.");
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(Path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = ErrorText(db);
    sqlite3_close(db);
    DatabaseError("Cannot open database file '" + Path + "': " + msg);
  }
  std::unique_ptr<SqliteDatabase> result(new SqliteDatabase(db, Path));
  sqlite3_busy_timeout(db, 2000);
  // Reading the schema is what tells a database file from any other file.
  rc = sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK)
    DatabaseError("Unrecognized database format '" + Path + "': " + ErrorText(db));
  RegisterClockFunctions(db);
  return result;
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close_v2(FDb); }

void SqliteDatabase::Exec(const std::string& Sql) {
  char* err = nullptr;
  if (sqlite3_exec(FDb, Sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : ErrorText(FDb);
    sqlite3_free(err);
    DatabaseError(msg);
  }
}

int64_t SqliteDatabase::LastInsertRowId() const { return sqlite3_last_insert_rowid(FDb); }
int SqliteDatabase::Changes() const { return sqlite3_changes(FDb); }
std::string QuoteIdentifier(const std::string& Name) {
  std::string q = "\"";
  for (char c : Name) {
    q += c;
    if (c == '"') q += c;
  }
  return q + "\"";
}

std::vector<ColumnInfo> SqliteDatabase::TableColumns(const std::string& Table) const {
  std::vector<ColumnInfo> out;
  SqliteStatement info(*this, "pragma table_info(" + QuoteIdentifier(Table) + ")");
  while (info.Step()) {
    ColumnInfo c;
    c.Name = std::get<std::string>(info.Column(1));
    Value type = info.Column(2);
    if (auto t = std::get_if<std::string>(&type)) c.Type = *t;
    c.NotNull = std::get<int64_t>(info.Column(3)) != 0;
    c.HasDefault = !IsNullValue(info.Column(4));
    c.PrimaryKey = std::get<int64_t>(info.Column(5)) != 0;
    int autoinc = 0;
    sqlite3_table_column_metadata(FDb, nullptr, Table.c_str(), c.Name.c_str(), nullptr, nullptr, nullptr,
                                  nullptr, &autoinc);
    c.AutoIncrement = autoinc != 0;
    out.push_back(std::move(c));
  }
  return out;
}

void SqliteDatabase::Fail() const { DatabaseError(ErrorText(FDb)); }

SqliteStatement::SqliteStatement(const SqliteDatabase& Db, const std::string& Sql) : FDb(Db) {
  if (sqlite3_prepare_v2(Db.Handle(), Sql.c_str(), static_cast<int>(Sql.size()), &FStmt,
                         nullptr) != SQLITE_OK) {
    sqlite3_finalize(FStmt);
    FStmt = nullptr;
    Db.Fail();
  }
  if (!FStmt) DatabaseError("The command text contains no statement");
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(FStmt); }

int SqliteStatement::ParameterCount() const { return sqlite3_bind_parameter_count(FStmt); }

std::string SqliteStatement::ParameterName(int Index) const {
  const char* n = sqlite3_bind_parameter_name(FStmt, Index);
  if (!n || !*n) return {};
  return std::string(n + 1);
}

void SqliteStatement::Bind(int Index, const Value& V) {
  int rc = SQLITE_OK;
  if (IsNullValue(V)) {
    rc = sqlite3_bind_null(FStmt, Index);
  } else if (auto i = std::get_if<int64_t>(&V)) {
    rc = sqlite3_bind_int64(FStmt, Index, *i);
  } else if (auto d = std::get_if<double>(&V)) {
    rc = sqlite3_bind_double(FStmt, Index, *d);
  } else if (auto b = std::get_if<bool>(&V)) {
    rc = sqlite3_bind_int(FStmt, Index, *b ? 1 : 0);
  } else {
    const std::string& s = std::get<std::string>(V);
    rc = sqlite3_bind_text(FStmt, Index, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
  }
  if (rc != SQLITE_OK) FDb.Fail();
}

bool SqliteStatement::Step() {
  int rc = sqlite3_step(FStmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  std::string msg = ErrorText(FDb.Handle());
  sqlite3_reset(FStmt);
  DatabaseError(msg);
}

void SqliteStatement::Reset() {
  sqlite3_reset(FStmt);
  sqlite3_clear_bindings(FStmt);
}

int SqliteStatement::ColumnCount() const { return sqlite3_column_count(FStmt); }

std::string SqliteStatement::ColumnName(int Index) const {
  const char* n = sqlite3_column_name(FStmt, Index);
  return n ? n : "";
}

std::string SqliteStatement::DeclaredType(int Index) const {
  const char* n = sqlite3_column_decltype(FStmt, Index);
  return n ? n : "";
}

std::string SqliteStatement::OriginTable(int Index) const {
  const char* n = sqlite3_column_table_name(FStmt, Index);
  return n ? n : "";
}

std::string SqliteStatement::OriginColumn(int Index) const {
  const char* n = sqlite3_column_origin_name(FStmt, Index);
  return n ? n : "";
}

Value SqliteStatement::Column(int Index) const {
  switch (sqlite3_column_type(FStmt, Index)) {
    case SQLITE_INTEGER: return static_cast<int64_t>(sqlite3_column_int64(FStmt, Index));
    case SQLITE_FLOAT: return sqlite3_column_double(FStmt, Index);
    case SQLITE_NULL: return std::monostate{};
    case SQLITE_BLOB: {
      const void* p = sqlite3_column_blob(FStmt, Index);
      int n = sqlite3_column_bytes(FStmt, Index);
      return std::string(static_cast<const char*>(p), static_cast<size_t>(n));
    }
    default: {
      const unsigned char* p = sqlite3_column_text(FStmt, Index);
      int n = sqlite3_column_bytes(FStmt, Index);
      return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
    }
  }
}

bool CreateDatabase(const std::string& Path, const std::string& SchemaSql) {
  if (PathExists(Path)) return false;
  // Build the file under a private name and link it into place only when complete, so a
  // failure leaves nothing behind and a file that appeared meanwhile is not replaced.
  std::string tmp = Path + ".new-" + std::to_string(::getpid());
  ::unlink(tmp.c_str());
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(tmp.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = ErrorText(raw);
    sqlite3_close(raw);
    ::unlink(tmp.c_str());
    DatabaseError("Cannot create database file '" + Path + "': " + msg);
  }
  try {
    SqliteDatabase db(raw, tmp);
    db.Exec("BEGIN");
    db.Exec(SchemaSql);
    db.Exec("COMMIT");
  } catch (...) {
    ::unlink(tmp.c_str());
    ::unlink((tmp + "-journal").c_str());
    throw;
  }
  if (::link(tmp.c_str(), Path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    if (err == EEXIST) return false;
    DatabaseError("Cannot create database file '" + Path + "': " + std::strerror(err));
  }
  ::unlink(tmp.c_str());
  return true;
}

}  // namespace data
