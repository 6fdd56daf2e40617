#include "platform/shell/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/rtl/Strings.h"
#include "platform/shell/ShellPaths.h"

namespace fs = std::filesystem;

namespace shell {

std::string RegistryFilePath() { return ConfigHomeDir() + "/ostrovel/registry"; }

std::string AutostartEntryPath(const std::string& Name) {
  std::string file;
  for (char c : Name) {
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                c == '-' || c == '_';
    file.push_back(keep ? c : '_');
  }
  if (file.empty() || file[0] == '.') file = "_" + file;
  return ConfigHomeDir() + "/autostart/" + file + ".desktop";
}

}  // namespace shell

namespace {

constexpr const char* kRunKey = "software\\microsoft\\windows\\currentversion\\run";

std::string RootName(HKEY root) {
  switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    default: return {};
  }
}

// Splits "a\\b\\\\c\\" into its non-empty parts and joins them again with single "\".
std::string NormalizeKey(const std::string& path) {
  std::string out, part;
  auto flush = [&] {
    if (part.empty()) return;
    if (!out.empty()) out += '\\';
    out += part;
    part.clear();
  };
  for (char c : path) {
    if (c == '\\') flush();
    else part.push_back(c);
  }
  flush();
  return out;
}

struct Value {
  std::string name;
  bool isInteger = false;
  std::string data;
  bool isBinary = false;  // data holds the bytes
};

std::string HexBytes(const std::string& bytes) {
  std::string out;
  char hex[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(bytes[i]));
    if (i) out += ',';
    out += hex;
  }
  return out;
}

// "0a,ff,..." back to bytes; false for anything else.
bool ParseHexBytes(const std::string& text, std::string& bytes) {
  bytes.clear();
  for (size_t i = 0; i < text.size();) {
    if (i + 2 > text.size() || !std::isxdigit(static_cast<unsigned char>(text[i])) ||
        !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
      return false;
    bytes += static_cast<char>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16));
    i += 2;
    if (i < text.size() && text[i++] != ',') return false;
  }
  return true;
}

struct Key {
  std::string name;                     // as first written
  std::map<std::string, Value> values;  // by lower-case name
};

// The whole registry file: keys by lower-case "ROOT\path".
struct Store {
  std::map<std::string, Key> keys;

  bool Exists(const std::string& full) const {
    std::string lower = LowerCase(full);
    auto it = keys.lower_bound(lower);
    if (it == keys.end()) return false;
    return it->first == lower || it->first.compare(0, lower.size() + 1, lower + "\\") == 0;
  }
};

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\' || c == '"') { out += '\\'; out += c; }
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

// Reads a quoted, escaped string starting at s[i] == '"'; i ends after the closing quote.
bool Unquote(const std::string& s, std::size_t& i, std::string& out) {
  if (i >= s.size() || s[i] != '"') return false;
  for (++i; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') { ++i; return true; }
    if (c == '\\' && i + 1 < s.size()) {
      char n = s[++i];
      out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
    } else {
      out += c;
    }
  }
  return false;
}

Store Parse(std::istream& in) {
  Store store;
  Key* current = nullptr;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      std::string name = line.substr(1, line.size() - 2);
      current = &store.keys[LowerCase(name)];
      current->name = name;
      continue;
    }
    if (!current || line.empty() || line[0] != '"') continue;
    Value v;
    std::size_t i = 0;
    if (!Unquote(line, i, v.name) || i >= line.size() || line[i] != '=') continue;
    ++i;
    if (line.compare(i, 6, "dword:") == 0) {
      v.isInteger = true;
      v.data = line.substr(i + 6);
    } else if (line.compare(i, 4, "hex:") == 0) {
      v.isBinary = true;
      if (!ParseHexBytes(line.substr(i + 4), v.data)) continue;
    } else if (!Unquote(line, i, v.data)) {
      continue;
    }
    current->values[LowerCase(v.name)] = v;
  }
  return store;
}

std::string Serialize(const Store& store) {
  std::ostringstream out;
  for (const auto& [lower, key] : store.keys) {
    out << '[' << key.name << "]\n";
    for (const auto& [lname, v] : key.values) {
      out << '"' << Escape(v.name) << "\"=";
      if (v.isInteger) out << "dword:" << v.data << '\n';
      else if (v.isBinary) out << "hex:" << HexBytes(v.data) << '\n';
      else out << '"' << Escape(v.data) << "\"\n";
    }
    out << '\n';
  }
  return out.str();
}

// Holds the registry file's lock for one read-modify-write, so that two processes do not
// lose each other's changes.
class StoreSession {
 public:
  StoreSession() : FPath(shell::RegistryFilePath()) {
    std::error_code ec;
    fs::create_directories(fs::path(FPath).parent_path(), ec);
    FLockFd = open((FPath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FLockFd >= 0) flock(FLockFd, LOCK_EX);
    std::ifstream in(FPath, std::ios::binary);
    if (in) store = Parse(in);
  }
  ~StoreSession() {
    if (FLockFd >= 0) close(FLockFd);  // releases the lock
  }
  StoreSession(const StoreSession&) = delete;
  StoreSession& operator=(const StoreSession&) = delete;

  // Writes the file whole through a temporary file, so a crash never leaves half of it.
  bool Save() {
    std::string tmp = FPath + ".tmp";
    {
      std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
      out << Serialize(store);
      out.flush();
      if (!out) return false;
    }
    return std::rename(tmp.c_str(), FPath.c_str()) == 0;
  }

  Store store;

 private:
  std::string FPath;
  int FLockFd = -1;
};

// Quotes a path for the Exec key of a desktop entry.
std::string ExecQuote(const std::string& path) {
  std::string quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

// The string-level escapes of a desktop entry value, and "%" doubled for Exec.
std::string EntryEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '%') out += "%%";
    else out += c;
  }
  return out;
}

bool WriteAutostart(const std::string& name, const std::string& command) {
  std::string path = shell::AutostartEntryPath(name);
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  struct stat st{};
  // A value naming a file is a program to start; anything else is already a command line.
  std::string exec = stat(command.c_str(), &st) == 0 ? ExecQuote(command) : command;
  std::string entry = "[Desktop Entry]\nType=Application\nName=" + EntryEscape(name) +
                      "\nExec=" + EntryEscape(exec) +
                      "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
  std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << entry;
    out.flush();
    if (!out) return false;
  }
  return std::rename(tmp.c_str(), path.c_str()) == 0;
}

}  // namespace

void TRegistry::SetRootKey(HKEY Value) {
  CloseKey();
  FRootKey = Value;
}

std::string TRegistry::Resolve(const std::string& Key) const {
  std::string path = !Key.empty() && Key[0] == '\\' ? Key : FCurrentPath + "\\" + Key;
  return NormalizeKey(path);
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  std::string root = RootName(FRootKey);
  std::string path = Resolve(Key);
  if (root.empty() || path.empty()) return false;
  std::string full = root + "\\" + path;
  StoreSession session;
  if (!session.store.Exists(full)) {
    if (!CanCreate) return false;
    auto& key = session.store.keys[LowerCase(full)];
    key.name = full;
    if (!session.Save()) return false;
  }
  FCurrentPath = path;
  return true;
}

bool TRegistry::KeyExists(const std::string& Key) {
  std::string root = RootName(FRootKey);
  std::string path = Resolve(Key);
  if (root.empty() || path.empty()) return false;
  StoreSession session;
  return session.store.Exists(root + "\\" + path);
}

void TRegistry::CloseKey() { FCurrentPath.clear(); }

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  if (!KeyOpen()) throw ERegistryException("Failed to set data for '" + Name + "'");
  std::string full = RootName(FRootKey) + "\\" + FCurrentPath;
  {
    StoreSession session;
    auto& key = session.store.keys[LowerCase(full)];
    if (key.name.empty()) key.name = full;
    key.values[LowerCase(Name)] = ::Value{Name, false, Value};
    if (!session.Save()) throw ERegistryException("Failed to set data for '" + Name + "'");
  }
  if (FRootKey == HKEY_CURRENT_USER && LowerCase(FCurrentPath) == kRunKey && !WriteAutostart(Name, Value))
    throw ERegistryException("Failed to set data for '" + Name + "'");
}

std::string TRegistry::ReadString(const std::string& Name) {
  if (!KeyOpen()) return {};
  StoreSession session;
  auto k = session.store.keys.find(LowerCase(RootName(FRootKey) + "\\" + FCurrentPath));
  if (k == session.store.keys.end()) return {};
  auto v = k->second.values.find(LowerCase(Name));
  return v == k->second.values.end() ? std::string() : v->second.data;
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
  if (!KeyOpen()) throw ERegistryException("Failed to set data for '" + Name + "'");
  std::string full = RootName(FRootKey) + "\\" + FCurrentPath;
  StoreSession session;
  auto& key = session.store.keys[LowerCase(full)];
  if (key.name.empty()) key.name = full;
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(Value));
  key.values[LowerCase(Name)] = ::Value{Name, true, hex};
  if (!session.Save()) throw ERegistryException("Failed to set data for '" + Name + "'");
}

int TRegistry::ReadInteger(const std::string& Name) {
  if (KeyOpen()) {
    StoreSession session;
    auto k = session.store.keys.find(LowerCase(RootName(FRootKey) + "\\" + FCurrentPath));
    if (k != session.store.keys.end()) {
      auto v = k->second.values.find(LowerCase(Name));
      if (v != k->second.values.end() && v->second.isInteger) {
        char* end = nullptr;
        unsigned long n = std::strtoul(v->second.data.c_str(), &end, 16);
        if (end && *end == '\0' && !v->second.data.empty()) return static_cast<int>(static_cast<uint32_t>(n));
      }
    }
  }
  throw ERegistryException("Invalid data type for '" + Name + "'");
}

bool TRegistry::ValueExists(const std::string& Name) {
  if (!KeyOpen()) return false;
  StoreSession session;
  auto k = session.store.keys.find(LowerCase(RootName(FRootKey) + "\\" + FCurrentPath));
  return k != session.store.keys.end() && k->second.values.count(LowerCase(Name)) > 0;
}

bool TRegistry::DeleteValue(const std::string& Name) {
  if (!KeyOpen()) return false;
  bool removed = false;
  {
    StoreSession session;
    auto k = session.store.keys.find(LowerCase(RootName(FRootKey) + "\\" + FCurrentPath));
    if (k != session.store.keys.end() && k->second.values.erase(LowerCase(Name)) > 0)
      removed = session.Save();
  }
  if (FRootKey == HKEY_CURRENT_USER && LowerCase(FCurrentPath) == kRunKey) {
    std::error_code ec;
    fs::remove(shell::AutostartEntryPath(Name), ec);
  }
  return removed;
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize) {
  if (!KeyOpen() || BufSize < 0 || (BufSize > 0 && !Buffer)) throw ERegistryException("Failed to set data for '" + Name + "'");
  std::string full = RootName(FRootKey) + "\\" + FCurrentPath;
  StoreSession session;
  auto& key = session.store.keys[LowerCase(full)];
  if (key.name.empty()) key.name = full;
  ::Value v{Name, false, std::string(static_cast<const char*>(Buffer), static_cast<size_t>(BufSize)), true};
  key.values[LowerCase(Name)] = v;
  if (!session.Save()) throw ERegistryException("Failed to set data for '" + Name + "'");
}

namespace {

// The binary value of the open key, or nullptr.
const Value* FindBinary(const Store& store, const std::string& full, const std::string& name) {
  auto k = store.keys.find(LowerCase(full));
  if (k == store.keys.end()) return nullptr;
  auto v = k->second.values.find(LowerCase(name));
  return v != k->second.values.end() && v->second.isBinary ? &v->second : nullptr;
}

}  // namespace

int TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int BufSize) {
  if (KeyOpen()) {
    StoreSession session;
    if (const Value* v = FindBinary(session.store, RootName(FRootKey) + "\\" + FCurrentPath, Name)) {
      // A buffer too small for the value gets nothing: a part would be misread as the whole.
      if (static_cast<size_t>(std::max(BufSize, 0)) < v->data.size())
        throw ERegistryException("Invalid data type for '" + Name + "'");
      if (!v->data.empty()) std::memcpy(Buffer, v->data.data(), v->data.size());
      return static_cast<int>(v->data.size());
    }
  }
  throw ERegistryException("Invalid data type for '" + Name + "'");
}

int TRegistry::GetDataSize(const std::string& Name) {
  if (!KeyOpen()) return -1;
  StoreSession session;
  auto k = session.store.keys.find(LowerCase(RootName(FRootKey) + "\\" + FCurrentPath));
  if (k == session.store.keys.end()) return -1;
  auto v = k->second.values.find(LowerCase(Name));
  if (v == k->second.values.end()) return -1;
  if (v->second.isInteger) return 4;
  return static_cast<int>(v->second.data.size() + (v->second.isBinary ? 0 : 1));
}
