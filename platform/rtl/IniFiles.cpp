#include "platform/rtl/IniFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include "platform/rtl/Files.h"
#include "platform/rtl/Strings.h"

namespace rtl {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The lines of an INI file and how it ends them.
struct IniDocument {
  std::vector<std::string> lines;
  std::string lineBreak = "\r\n";
  bool bom = false;
};

struct ParsedLine {
  enum Kind { Other, Section, Key } kind = Other;
  std::string name;   // section or key name
  std::string value;  // for a key
};

ParsedLine Parse(const std::string& line) {
  ParsedLine p;
  const std::string text = Trim(line);
  if (text.empty() || text[0] == ';') return p;
  if (text[0] == '[') {
    const size_t close = text.find(']');
    p.kind = ParsedLine::Section;
    p.name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return p;
  }
  const size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) return p;
  p.kind = ParsedLine::Key;
  p.name = Trim(text.substr(0, eq));
  p.value = Trim(text.substr(eq + 1));
  return p;
}

// Reads the whole file; nullopt when it exists but cannot be read.
std::optional<std::string> ReadWhole(const std::string& fileName) {
  const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::string();
    return std::nullopt;
  }
  std::string data;
  char buf[65536];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return data;
}

IniDocument Split(std::string data) {
  IniDocument doc;
  if (data.compare(0, kBom.size(), kBom) == 0) {
    doc.bom = true;
    data.erase(0, kBom.size());
  }
  if (const size_t nl = data.find('\n'); nl != std::string::npos && (nl == 0 || data[nl - 1] != '\r'))
    doc.lineBreak = "\n";
  size_t start = 0;
  while (start < data.size()) {
    size_t nl = data.find('\n', start);
    if (nl == std::string::npos) nl = data.size();
    std::string line = data.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    doc.lines.push_back(std::move(line));
    start = nl + 1;
  }
  return doc;
}

// A missing file is an empty document; so is one that cannot be read, for reading.
IniDocument LoadForReading(const std::string& fileName) {
  return Split(ReadWhole(fileName).value_or(std::string()));
}

[[noreturn]] void RaiseWriteError(const std::string& fileName) {
  throw EIniFileException("Unable to write to " + fileName);
}

IniDocument LoadForWriting(const std::string& fileName) {
  std::optional<std::string> data = ReadWhole(fileName);
  // Writing over a file we could not read would lose its other settings.
  if (!data) RaiseWriteError(fileName);
  return Split(std::move(*data));
}

// Replaces the file with the document: a temporary file beside it, flushed, then renamed
// over it. The file keeps its permissions; a symbolic link keeps pointing at it.
void Save(const std::string& fileName, const IniDocument& doc) {
  std::string target = fileName;
  if (char* real = realpath(fileName.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  mode_t mode = 0644;
  struct stat st {};
  if (stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;

  std::string data = doc.bom ? std::string(kBom) : std::string();
  for (const std::string& line : doc.lines) data += line + doc.lineBreak;

  const std::string directory = ExtractFilePath(target);
  std::string temp = directory + "." + ExtractFileName(target) + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) RaiseWriteError(fileName);
  const bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, data) && fsync(fd) == 0;
  if (close(fd) != 0 || !ok || std::rename(temp.c_str(), target.c_str()) != 0) {
    unlink(temp.c_str());
    RaiseWriteError(fileName);
  }
}

// Index of the first header of `section`, or npos.
size_t FindSection(const IniDocument& doc, const std::string& section) {
  for (size_t i = 0; i < doc.lines.size(); ++i) {
    const ParsedLine p = Parse(doc.lines[i]);
    if (p.kind == ParsedLine::Section && AnsiSameText(p.name, Trim(section))) return i;
  }
  return std::string::npos;
}

// One past the last line of the section whose header is at `header`.
size_t SectionEnd(const IniDocument& doc, size_t header) {
  size_t i = header + 1;
  while (i < doc.lines.size() && Parse(doc.lines[i]).kind != ParsedLine::Section) ++i;
  return i;
}

// Calls visit(lineIndex, parsed) for every key line of the section.
template <class Visit>
void ForEachKey(const IniDocument& doc, const std::string& section, Visit visit) {
  const size_t header = FindSection(doc, section);
  if (header == std::string::npos) return;
  const size_t end = SectionEnd(doc, header);
  for (size_t i = header + 1; i < end; ++i) {
    const ParsedLine p = Parse(doc.lines[i]);
    if (p.kind == ParsedLine::Key && !visit(i, p)) return;
  }
}

// Index of the key's line in the section, or npos.
size_t FindKey(const IniDocument& doc, const std::string& section, const std::string& ident) {
  size_t found = std::string::npos;
  ForEachKey(doc, section, [&](size_t i, const ParsedLine& p) {
    if (!AnsiSameText(p.name, Trim(ident))) return true;
    found = i;
    return false;
  });
  return found;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

void CheckWritable(const std::string& section, const std::string& ident, const std::string& value) {
  const std::string key = Trim(ident);
  if (HasLineBreak(section) || section.find(']') != std::string::npos)
    throw EIniFileException("Invalid section name \"" + section + "\"");
  if (key.empty() || HasLineBreak(ident) || ident.find('=') != std::string::npos || key[0] == '[' || key[0] == ';')
    throw EIniFileException("Invalid key name \"" + ident + "\"");
  if (HasLineBreak(value)) throw EIniFileException("Value of \"" + ident + "\" contains a line break");
}

}  // namespace
}  // namespace rtl

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) const {
  const rtl::IniDocument doc = rtl::LoadForReading(FFileName);
  const size_t line = rtl::FindKey(doc, section, ident);
  return line == std::string::npos ? defaultValue : rtl::Parse(doc.lines[line]).value;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  rtl::CheckWritable(section, ident, value);
  rtl::IniDocument doc = rtl::LoadForWriting(FFileName);
  const size_t header = rtl::FindSection(doc, section);
  if (header == std::string::npos) {
    doc.lines.push_back("[" + Trim(section) + "]");
    doc.lines.push_back(Trim(ident) + "=" + value);
  } else if (const size_t line = rtl::FindKey(doc, section, ident); line != std::string::npos) {
    // Keep the key as the file spells it.
    const std::string& old = doc.lines[line];
    doc.lines[line] = TrimRight(old.substr(0, old.find('='))) + "=" + value;
  } else {
    // After the section's last key (or its header), so the blank lines and comments
    // that lead into the next section stay with it.
    size_t insert = header + 1;
    rtl::ForEachKey(doc, section, [&](size_t i, const rtl::ParsedLine&) {
      insert = i + 1;
      return true;
    });
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(insert), Trim(ident) + "=" + value);
  }
  rtl::Save(FFileName, doc);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) const {
  return StrToIntDef(ReadString(section, ident, ""), defaultValue);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) const {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const {
  std::vector<std::string> keys;
  ReadSection(section, keys);
  return !keys.empty();
}

bool TIniFile::ValueExists(const std::string& section, const std::string& ident) const {
  return rtl::FindKey(rtl::LoadForReading(FFileName), section, ident) != std::string::npos;
}

void TIniFile::ReadSection(const std::string& section, std::vector<std::string>& keys) const {
  keys.clear();
  rtl::ForEachKey(rtl::LoadForReading(FFileName), section, [&](size_t, const rtl::ParsedLine& p) {
    keys.push_back(p.name);
    return true;
  });
}

void TIniFile::ReadSections(std::vector<std::string>& sections) const {
  sections.clear();
  for (const std::string& line : rtl::LoadForReading(FFileName).lines) {
    const rtl::ParsedLine p = rtl::Parse(line);
    if (p.kind == rtl::ParsedLine::Section) sections.push_back(p.name);
  }
}

void TIniFile::ReadSectionValues(const std::string& section, std::vector<std::string>& lines) const {
  lines.clear();
  rtl::ForEachKey(rtl::LoadForReading(FFileName), section, [&](size_t, const rtl::ParsedLine& p) {
    lines.push_back(p.name + "=" + p.value);
    return true;
  });
}

void TIniFile::EraseSection(const std::string& section) {
  rtl::IniDocument doc = rtl::LoadForWriting(FFileName);
  const size_t header = rtl::FindSection(doc, section);
  if (header == std::string::npos) return;
  const size_t end = rtl::SectionEnd(doc, header);
  doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(header),
                  doc.lines.begin() + static_cast<std::ptrdiff_t>(end));
  rtl::Save(FFileName, doc);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  rtl::IniDocument doc = rtl::LoadForWriting(FFileName);
  const size_t line = rtl::FindKey(doc, section, ident);
  if (line == std::string::npos) return;
  doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(line));
  rtl::Save(FFileName, doc);
}
