#include "tests/support/InputDriver.h"

#include <algorithm>

#include "platform/os/WindowPos.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Strings.h"

namespace test {

namespace {

int64_t Now() { return rtl::CurrentClock().MonotonicMs(); }

// The character a key types without modifiers, 0 for none.
char32_t KeyChar(UINT key, bool shift) {
  if (key >= 'A' && key <= 'Z') return shift ? key : key - 'A' + 'a';
  if (key >= '0' && key <= '9') return key;
  switch (key) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_TAB: return '\t';
    case VK_BACK: return '\b';
    case VK_ESCAPE: return 0x1B;
    default: return 0;
  }
}

bool IsShift(UINT key) { return key == VK_SHIFT || key == VK_LSHIFT || key == VK_RSHIFT; }
bool IsControl(UINT key) { return key == VK_CONTROL || key == VK_LCONTROL || key == VK_RCONTROL; }

}  // namespace

TPoint TInputDriver::ScreenPoint(HWND wnd) {
  TRect client;
  GetClientRect(wnd, &client);
  return ScreenPoint(wnd, TPoint(client.Width() / 2, client.Height() / 2));
}

TPoint TInputDriver::ScreenPoint(HWND wnd, TPoint client) {
  ClientToScreen(wnd, &client);
  return client;
}

void TInputDriver::Post(os::TInputEvent event) {
  const int64_t now = Now();
  // Events already past their time happen now; scripted ones keep their order and spacing.
  if (FAt > now) event.Time = FAt;
  os::PostInput(std::move(event));
}

void TInputDriver::Wait(int64_t ms) { FAt = std::max(FAt, Now()) + ms; }

void TInputDriver::MoveTo(TPoint screen) {
  os::TInputEvent e;
  e.Kind = os::TInputEvent::MouseMove;
  e.Pos = screen;
  Post(e);
  FPointer = screen;
}

void TInputDriver::Press(TButton button) {
  os::TInputEvent e;
  e.Kind = os::TInputEvent::ButtonDown;
  e.Button = button;
  e.Pos = FPointer;
  Post(e);
}

void TInputDriver::Release(TButton button) {
  os::TInputEvent e;
  e.Kind = os::TInputEvent::ButtonUp;
  e.Button = button;
  e.Pos = FPointer;
  Post(e);
}

void TInputDriver::Click(TPoint screen, TButton button) {
  MoveTo(screen);
  Press(button);
  Release(button);
}

void TInputDriver::DoubleClick(TPoint screen, TButton button) {
  Click(screen, button);
  Wait(50);
  Press(button);
  Release(button);
}

void TInputDriver::Drag(TPoint from, TPoint to, int steps, TButton button) {
  MoveTo(from);
  Press(button);
  steps = std::max(steps, 1);
  for (int i = 1; i <= steps; ++i)
    MoveTo(TPoint(from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps));
  Release(button);
}

void TInputDriver::Wheel(int notches) {
  os::TInputEvent e;
  e.Kind = os::TInputEvent::Wheel;
  e.Pos = FPointer;
  e.WheelDelta = notches * 120;
  Post(e);
}

void TInputDriver::KeyDown(UINT key) {
  std::string text;
  if (char32_t c = KeyChar(key, FShift)) rtl::AppendUtf8(text, c);
  // Ctrl with a letter types its control character.
  if (FControl && key >= 'A' && key <= 'Z') text = std::string(1, static_cast<char>(key - 'A' + 1));
  KeyDown(key, text);
}

void TInputDriver::KeyDown(UINT key, const std::string& text) {
  if (IsShift(key)) FShift = true;
  if (IsControl(key)) FControl = true;
  os::TInputEvent e;
  e.Kind = os::TInputEvent::KeyDown;
  e.Key = key;
  e.Text = text;
  Post(e);
}

void TInputDriver::KeyUp(UINT key) {
  if (IsShift(key)) FShift = false;
  if (IsControl(key)) FControl = false;
  os::TInputEvent e;
  e.Kind = os::TInputEvent::KeyUp;
  e.Key = key;
  Post(e);
}

void TInputDriver::Key(UINT key) {
  KeyDown(key);
  KeyUp(key);
}

void TInputDriver::Type(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    size_t start = i;
    char32_t c = rtl::NextCodePoint(text, i);
    std::string one = text.substr(start, i - start);
    UINT key = 0;
    bool shift = false;
    if (c >= 'a' && c <= 'z') key = static_cast<UINT>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z') key = static_cast<UINT>(c), shift = true;
    else if (c >= '0' && c <= '9') key = static_cast<UINT>(c);
    else if (c == ' ') key = VK_SPACE;
    if (!key) {
      os::TInputEvent e;
      e.Kind = os::TInputEvent::Characters;
      e.Text = one;
      Post(e);
      continue;
    }
    if (shift) KeyDown(VK_SHIFT, "");
    KeyDown(key, one);
    KeyUp(key);
    if (shift) KeyUp(VK_SHIFT);
  }
}

}  // namespace test
