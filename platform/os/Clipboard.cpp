#include "platform/os/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/os/Kernel.h"
#include "platform/os/WindowManager.h"
#include "platform/rtl/Strings.h"

namespace {

struct TClipboard {
  std::mutex Lock;
  bool Open = false;
  HWND Opener = nullptr;
  DWORD OpenerThread = 0;
  HWND Owner = nullptr;
  bool Changed = false;
  DWORD Sequence = 1;
  std::vector<std::pair<UINT, HGLOBAL>> Formats;  // in the order they were put
  os::TClipboardBridge* Bridge = nullptr;
};

TClipboard& Board() {
  static auto* board = new TClipboard;
  return *board;
}

bool IsText(UINT format) { return format == CF_TEXT || format == CF_UNICODETEXT || format == CF_OEMTEXT; }

HGLOBAL Find(TClipboard& c, UINT format) {
  for (auto& [f, h] : c.Formats)
    if (f == format) return h;
  return nullptr;
}

void FreeAll(TClipboard& c) {
  for (auto& entry : c.Formats) GlobalFree(entry.second);
  c.Formats.clear();
}

bool OpenedByCaller(TClipboard& c) {
  if (c.Open && c.OpenerThread == GetCurrentThreadId()) return true;
  SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return false;
}

HGLOBAL BlockOf(const void* data, size_t bytes) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!h) return nullptr;
  std::memcpy(GlobalLock(h), data, bytes);
  GlobalUnlock(h);
  return h;
}

// UTF-8 text of a CF_TEXT block (up to its terminating zero).
std::string NarrowText(HGLOBAL h) {
  const char* p = static_cast<const char*>(GlobalLock(h));
  if (!p) return {};
  size_t size = GlobalSize(h);
  std::string text(p, strnlen(p, size));
  GlobalUnlock(h);
  return text;
}

std::string WideText(HGLOBAL h) {
  const auto* p = static_cast<const char16_t*>(GlobalLock(h));
  if (!p) return {};
  size_t units = GlobalSize(h) / sizeof(char16_t);
  std::string text;
  for (size_t i = 0; i < units && p[i]; ++i) {
    char32_t c = p[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units && p[i + 1] >= 0xDC00 && p[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[i + 1] - 0xDC00);
      ++i;
    }
    rtl::AppendUtf8(text, c);
  }
  GlobalUnlock(h);
  return text;
}

HGLOBAL NarrowBlock(const std::string& text) { return BlockOf(text.c_str(), text.size() + 1); }

HGLOBAL WideBlock(const std::string& text) {
  std::u16string wide;
  for (size_t i = 0; i < text.size();) {
    char32_t c = rtl::NextCodePoint(text, i);
    if (c >= 0x10000) {
      c -= 0x10000;
      wide.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      wide.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      wide.push_back(static_cast<char16_t>(c));
    }
  }
  return BlockOf(wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
}

// The clipboard's text in any text format, if it has some.
std::optional<std::string> LocalText(TClipboard& c) {
  if (HGLOBAL h = Find(c, CF_UNICODETEXT)) return WideText(h);
  if (HGLOBAL h = Find(c, CF_TEXT)) return NarrowText(h);
  if (HGLOBAL h = Find(c, CF_OEMTEXT)) return NarrowText(h);
  return std::nullopt;
}

}  // namespace

BOOL OpenClipboard(HWND owner) {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  if (c.Open && !(c.OpenerThread == GetCurrentThreadId() && c.Opener == owner)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  c.Open = true;
  c.Opener = owner;
  c.OpenerThread = GetCurrentThreadId();
  c.Changed = false;
  return TRUE;
}

BOOL CloseClipboard() {
  auto& c = Board();
  std::optional<std::string> published;
  os::TClipboardBridge* bridge = nullptr;
  {
    std::lock_guard<std::mutex> lock(c.Lock);
    if (!OpenedByCaller(c)) return FALSE;
    c.Open = false;
    c.Opener = nullptr;
    if (c.Changed && c.Bridge) {
      bridge = c.Bridge;
      published = LocalText(c);
    }
    c.Changed = false;
  }
  if (bridge && published) bridge->Publish(*published);
  return TRUE;
}

BOOL EmptyClipboard() {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  if (!OpenedByCaller(c)) return FALSE;
  FreeAll(c);
  c.Owner = c.Opener;
  c.Changed = true;
  ++c.Sequence;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE mem) {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  if (!OpenedByCaller(c) || format == 0) return nullptr;
  for (auto it = c.Formats.begin(); it != c.Formats.end(); ++it)
    if (it->first == format) {
      if (it->second != mem) GlobalFree(it->second);
      c.Formats.erase(it);
      break;
    }
  // A block rendered on demand (nullptr) is not supported: the format stays absent.
  if (mem) c.Formats.emplace_back(format, mem);
  // The other text formats are made again from this one when asked for.
  if (IsText(format))
    std::erase_if(c.Formats, [&](const auto& entry) {
      if (entry.first == format || !IsText(entry.first)) return false;
      GlobalFree(entry.second);
      return true;
    });
  c.Changed = true;
  ++c.Sequence;
  return mem;
}

HANDLE GetClipboardData(UINT format) {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  if (!OpenedByCaller(c)) return nullptr;
  if (HGLOBAL h = Find(c, format)) return h;
  if (!IsText(format)) return nullptr;
  std::optional<std::string> text = LocalText(c);
  if (!text && c.Formats.empty() && c.Bridge) text = c.Bridge->ExternalText();
  if (!text) return nullptr;
  HGLOBAL made = format == CF_UNICODETEXT ? WideBlock(*text) : NarrowBlock(*text);
  if (made) c.Formats.emplace_back(format, made);
  return made;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  if (Find(c, format)) return TRUE;
  if (!IsText(format)) return FALSE;
  if (LocalText(c)) return TRUE;
  return c.Formats.empty() && c.Bridge && c.Bridge->ExternalText() ? TRUE : FALSE;
}

int CountClipboardFormats() {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  return static_cast<int>(c.Formats.size());
}

UINT EnumClipboardFormats(UINT format) {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  if (!OpenedByCaller(c)) return 0;
  auto it = c.Formats.begin();
  if (format) {
    it = std::find_if(c.Formats.begin(), c.Formats.end(), [&](const auto& e) { return e.first == format; });
    if (it != c.Formats.end()) ++it;
  }
  SetLastError(ERROR_SUCCESS);
  return it == c.Formats.end() ? 0 : it->first;
}

UINT RegisterClipboardFormat(const std::string& name) { return RegisterWindowMessage(name); }

std::string GetClipboardFormatName(UINT format) {
  auto& m = os::Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  for (const auto& [name, number] : m.RegisteredMessages)
    if (number == format) return name;
  return {};
}

HWND GetClipboardOwner() {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  return IsWindow(c.Owner) ? c.Owner : nullptr;
}

HWND GetOpenClipboardWindow() {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  return c.Open ? c.Opener : nullptr;
}

DWORD GetClipboardSequenceNumber() {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  return c.Sequence;
}

namespace os {

void SetClipboardBridge(TClipboardBridge* bridge) {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  c.Bridge = bridge;
}

void ClipboardLost() {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  FreeAll(c);
  c.Owner = nullptr;
  ++c.Sequence;
}

void ResetClipboard() {
  auto& c = Board();
  std::lock_guard<std::mutex> lock(c.Lock);
  FreeAll(c);
  c.Open = false;
  c.Opener = c.Owner = nullptr;
  c.Changed = false;
}

}  // namespace os
