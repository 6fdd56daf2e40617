#pragma once
// Settings files in the INI format, UTF-8.
//
// Every call reads the file afresh and every write reaches the disk at once: the new
// content goes to a temporary file in the same folder which then replaces the old one, so
// a crash never leaves half a file. Everything the write does not touch stays as it was,
// comments and blank lines included. Section and key names compare without case. Values
// come back as written, only the blanks at both ends of a line's key and value are dropped.
// A missing file reads as empty. Lines end with "\r\n" unless the file already ends its
// lines with a bare "\n"; a UTF-8 byte order mark is kept.
#include <string>
#include <vector>

#include "platform/rtl/System.h"

class EIniFileException : public Exception { public: using Exception::Exception; };

class TIniFile : public TObject {
 public:
  explicit TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

  const std::string& FileName() const { return FFileName; }

  std::string ReadString(const std::string& section, const std::string& ident, const std::string& defaultValue) const;
  // Raises EIniFileException when the file cannot be written, or when a name or value
  // would not survive the round trip (a line break anywhere, '=' in a key, ']' in a section).
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  // Decimal, "$1F" or "0x1F"; anything else gives the default.
  int ReadInteger(const std::string& section, const std::string& ident, int defaultValue) const;
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  // "0" is false, any other integer true; no integer gives the default. Writes "1" / "0".
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue) const;
  void WriteBool(const std::string& section, const std::string& ident, bool value);

  // True when the section holds at least one key.
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& ident) const;

  // Key names of a section, in file order.
  void ReadSection(const std::string& section, std::vector<std::string>& keys) const;
  // Section names, in file order.
  void ReadSections(std::vector<std::string>& sections) const;
  // "key=value" lines of a section.
  void ReadSectionValues(const std::string& section, std::vector<std::string>& lines) const;

  // The same for a string list (anything with Clear() and Add(std::string)).
  template <class Strings>
  void ReadSection(const std::string& section, Strings* strings) const { Fill(strings, [&](auto& v) { ReadSection(section, v); }); }
  template <class Strings>
  void ReadSections(Strings* strings) const { Fill(strings, [&](auto& v) { ReadSections(v); }); }
  template <class Strings>
  void ReadSectionValues(const std::string& section, Strings* strings) const {
    Fill(strings, [&](auto& v) { ReadSectionValues(section, v); });
  }

  // Removes the section with all its lines.
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& ident);
  // Writes are immediate; nothing is pending.
  void UpdateFile() {}

 private:
  // Replaces the list's contents in one update when the list knows updates.
  template <class Strings, class Reader>
  static void Fill(Strings* strings, Reader read) {
    std::vector<std::string> items;
    read(items);
    if constexpr (requires { strings->BeginUpdate(); strings->EndUpdate(); }) {
      strings->BeginUpdate();
      try {
        strings->Clear();
        for (std::string& item : items) strings->Add(item);
      } catch (...) {
        strings->EndUpdate();
        throw;
      }
      strings->EndUpdate();
    } else {
      strings->Clear();
      for (std::string& item : items) strings->Add(item);
    }
  }

  std::string FFileName;
};
