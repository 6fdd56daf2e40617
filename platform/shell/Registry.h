#pragma once
// TRegistry: the registry as the program uses it, kept in a small text file in the user's
// configuration folder ($XDG_CONFIG_HOME/ostrovel/registry). Key names are case-insensitive
// and separated by "\". A string value under HKEY_CURRENT_USER's
// "Software\Microsoft\Windows\CurrentVersion\Run" also becomes an XDG autostart entry
// ($XDG_CONFIG_HOME/autostart/NAME.desktop) that starts its command at log-in, and deleting
// the value deletes the entry.
#include <cstdint>
#include <map>
#include <string>

#include "platform/rtl/System.h"

class ERegistryException : public Exception { public: using Exception::Exception; };

using HKEY = uintptr_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;

class TRegistry : public TObject {
 public:
  TRegistry() = default;
  ~TRegistry() override { CloseKey(); }

  HKEY RootKey() const { return FRootKey; }
  // Changing the root closes the open key.
  void SetRootKey(HKEY Value);
  // The path of the open key below the root ("" when none is open).
  const std::string& CurrentPath() const { return FCurrentPath; }

  // Opens a key: a path starting with "\" is taken from the root, any other from the open key.
  // A missing key is created when CanCreate is true; false when it cannot be opened.
  bool OpenKey(const std::string& Key, bool CanCreate);
  bool KeyExists(const std::string& Key);
  void CloseKey();

  // Writing without an open key, or when the store cannot be saved, raises ERegistryException.
  void WriteString(const std::string& Name, const std::string& Value);
  // "" when the value does not exist.
  std::string ReadString(const std::string& Name);
  void WriteInteger(const std::string& Name, int Value);
  // Raises ERegistryException when the value is missing or not an integer.
  int ReadInteger(const std::string& Name);
  bool ValueExists(const std::string& Name);
  // False when there was no such value.
  bool DeleteValue(const std::string& Name);
  // Binary values: BufSize bytes kept as they are.
  void WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize);
  // Copies the value into Buffer and answers its size; raises ERegistryException when the
  // value is missing, not binary, or larger than BufSize.
  int ReadBinaryData(const std::string& Name, void* Buffer, int BufSize);
  // Bytes of a value (a string's with its ending zero, 4 for an integer); -1 when missing.
  int GetDataSize(const std::string& Name);

 private:
  std::string Resolve(const std::string& Key) const;
  bool KeyOpen() const { return !FCurrentPath.empty(); }

  HKEY FRootKey = HKEY_CURRENT_USER;
  std::string FCurrentPath;
};

namespace shell {

// The file that holds the registry.
std::string RegistryFilePath();
// The autostart entry that a value named Name under the Run key becomes.
std::string AutostartEntryPath(const std::string& Name);

}  // namespace shell
