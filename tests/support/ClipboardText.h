#pragma once
// The clipboard's text as the tests read it back after a copy or cut.
#include <string>

#include "platform/os/Clipboard.h"

namespace test {

// The CF_TEXT contents of the clipboard; "" when it cannot be opened or holds no text.
inline std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE mem = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
      text = p;
      GlobalUnlock(mem);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace test
