#include "platform/controls/StdCtrls.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/controls/MaskUtils.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Cursors.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Timers.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Strings.h"

// ============================================================================================
// The edit window class
// ============================================================================================

namespace {

constexpr UINT_PTR kCaretTimer = 1;
constexpr UINT_PTR kScrollTimer = 2;
constexpr UINT kScrollInterval = 50;
constexpr int kDefaultMargin = 1;

std::u32string ToU32(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) out.push_back(rtl::NextCodePoint(s, i));
  return out;
}

std::string ToUtf8(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) rtl::AppendUtf8(out, c);
  return out;
}

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000 || c == 0xA0; }
bool IsBreak(char32_t c) { return c == U'\r' || c == U'\n'; }

// Ideographs and kana: a line may wrap between any two of them.
bool IsWideLetter(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3134F);
}

// Word classes for double clicks and Ctrl+arrows: a run of one class is a word.
int CharClass(char32_t c) {
  if (IsSpace(c)) return 0;
  if (IsBreak(c)) return 1;
  if (IsWideLetter(c)) return 2;
  if (controls::IsLetterCodePoint(c) || (c >= U'0' && c <= U'9') || c == U'_') return 3;
  return 4;
}

// Line breaks of a multi-line text become CR LF, the edit's one kind of break.
std::u32string NormalizeBreaks(const std::u32string& s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == U'\r') {
      out += U"\r\n";
      if (i + 1 < s.size() && s[i + 1] == U'\n') ++i;
    } else if (s[i] == U'\n') {
      out += U"\r\n";
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

// One line as the window shows it: characters [Start, End), the next line starting at Next
// (after the line break, or at the wrap point).
struct TLine {
  int Start = 0;
  int End = 0;
  int Next = 0;
  std::vector<int> X;  // X[i]: the pixel offset of character Start + i from the line's start
  int Width() const { return X.empty() ? 0 : X.back(); }
};

class TEditWindow {
 public:
  explicit TEditWindow(HWND Wnd) : FWnd(Wnd) {}
  ~TEditWindow() {
    if (FMeasureDC) DeleteDC(FMeasureDC);
  }
  TEditWindow(const TEditWindow&) = delete;
  TEditWindow& operator=(const TEditWindow&) = delete;

  LRESULT Proc(UINT Msg, WPARAM WParam, LPARAM LParam);
  int Depth = 0;
  bool Destroyed = false;

 private:
  // ---- styles ----
  DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtr(FWnd, GWL_STYLE)); }
  bool Multiline() const { return (Style() & ES_MULTILINE) != 0; }
  bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
  bool Wraps() const { return Multiline() && !(Style() & (ES_AUTOHSCROLL | WS_HSCROLL)); }
  int Length() const { return static_cast<int>(FText.size()); }
  int SelMin() const { return std::min(FAnchor, FCaret); }
  int SelMax() const { return std::max(FAnchor, FCaret); }

  // ---- text changes ----
  std::u32string Prepare(std::u32string s, bool cutAtBreak) const;
  bool Replace(int a, int b, std::u32string s, bool undoable, bool typing);
  void SetAllText(const std::u32string& s);
  void SaveUndo();
  bool DoUndo();
  void Notify(WORD Code);
  void Changed();

  // ---- user input ----
  void TypeChar(char32_t c);
  void KeyDown(UINT Key);
  void MoveCaret(int pos, bool extend, bool keepDesiredX = false);
  int Left(int pos) const;
  int Right(int pos) const;
  int WordLeft(int pos) const;
  int WordRight(int pos) const;
  void SelectWord(int pos);
  void Copy();
  void Cut();
  void Paste();
  void Clear();
  void MouseDown(TPoint p, bool extend);
  void MouseMove(TPoint p);
  void AutoScrollTick();
  void Beep() const { MessageBeep(0); }

  // ---- layout ----
  HDC MeasureDC();
  std::vector<int> Measure(const std::u32string& s, int from, int to);
  void Layout();
  void Invalidate() { FLayoutValid = false; }
  const std::vector<TLine>& Lines() {
    if (!FLayoutValid) Layout();
    return FLines;
  }
  std::u32string Display() const;
  int LineHeight() {
    if (!FLayoutValid) Layout();
    return FLineHeight;
  }
  int LineOf(int pos);
  int LineX(int line);  // where the line starts in client coordinates
  int PosX(int line, int pos);
  int PosFromX(int line, int x);
  int CharFromPoint(TPoint p);
  TPoint PointOfChar(int pos);
  int VisibleLines();
  void DefaultRect();
  void ScrollCaret();
  void ClampScroll();
  void UpdateScrollBars();
  bool ScrollLines(int lines);
  void ScrollBarMessage(int bar, WORD code);
  void Repaint() { InvalidateRect(FWnd, nullptr, TRUE); }

  // ---- painting and the caret ----
  void Paint(HDC dc);
  void DrawRun(HDC dc, const TLine& line, const std::u32string& shown, int from, int to, int x, int y);
  HBRUSH Colors(HDC dc);
  void StartCaret();
  void StopCaret();
  void CaretTick();
  TRect CaretRect();

  HWND FWnd;
  std::u32string FText;
  int FAnchor = 0;
  int FCaret = 0;
  int FLimit = 0;  // 0: none
  bool FModified = false;
  bool FCanUndo = false;
  std::u32string FUndoText;
  int FUndoAnchor = 0;
  int FUndoCaret = 0;
  bool FTyping = false;  // the last change typed a character (typing runs undo as one)
  char32_t FPasswordChar = 0;
  HFONT FFont = nullptr;
  HDC FMeasureDC = nullptr;
  TRect FRect;
  bool FRectSet = false;
  int FLeftMargin = kDefaultMargin;
  int FRightMargin = kDefaultMargin;
  int FScrollX = 0;
  int FTopLine = 0;
  int FDesiredX = -1;
  bool FFocused = false;
  bool FCaretOn = false;
  bool FOverwrite = false;
  bool FSelecting = false;
  TPoint FMousePos;
  std::u32string FCue;
  bool FCueOnFocus = false;
  bool FLayoutValid = false;
  std::vector<TLine> FLines;
  int FLineHeight = 0;
  int FAveCharWidth = 0;
};

std::unordered_map<HWND, std::unique_ptr<TEditWindow>>& EditWindows() {
  static std::unordered_map<HWND, std::unique_ptr<TEditWindow>> windows;
  return windows;
}

LRESULT EditWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& windows = EditWindows();
  if (msg == WM_NCCREATE) windows[wnd] = std::make_unique<TEditWindow>(wnd);
  auto it = windows.find(wnd);
  if (it == windows.end()) return DefWindowProc(wnd, msg, wParam, lParam);
  TEditWindow* w = it->second.get();
  ++w->Depth;
  LRESULT result = 0;
  try {
    result = w->Proc(msg, wParam, lParam);
  } catch (...) {
    --w->Depth;
    if (w->Destroyed && w->Depth == 0) windows.erase(wnd);
    throw;
  }
  --w->Depth;
  if (msg == WM_NCDESTROY) w->Destroyed = true;
  if (w->Destroyed && w->Depth == 0) windows.erase(wnd);
  return result;
}

// ---- text changes ----

std::u32string TEditWindow::Display() const {
  if (FPasswordChar == 0) return FText;
  return std::u32string(FText.size(), FPasswordChar);
}

std::u32string TEditWindow::Prepare(std::u32string s, bool cutAtBreak) const {
  const DWORD style = Style();
  if (style & ES_UPPERCASE)
    for (char32_t& c : s) c = rtl::UpperCodePoint(c);
  else if (style & ES_LOWERCASE)
    for (char32_t& c : s) c = rtl::LowerCodePoint(c);
  if (style & ES_MULTILINE) return NormalizeBreaks(s);
  if (cutAtBreak) {
    auto at = s.find_first_of(U"\r\n");
    if (at != std::u32string::npos) s.resize(at);
  }
  return s;
}

void TEditWindow::SaveUndo() {
  FUndoText = FText;
  FUndoAnchor = FAnchor;
  FUndoCaret = FCaret;
  FCanUndo = true;
}

bool TEditWindow::Replace(int a, int b, std::u32string s, bool undoable, bool typing) {
  a = std::clamp(a, 0, Length());
  b = std::clamp(b, a, Length());
  s = Prepare(std::move(s), true);
  if (FLimit > 0) {
    const int room = std::max(0, FLimit - (Length() - (b - a)));
    if (static_cast<int>(s.size()) > room) {
      size_t keep = static_cast<size_t>(room);
      if (keep > 0 && s[keep - 1] == U'\r' && keep < s.size() && s[keep] == U'\n') --keep;
      s.resize(keep);
      Notify(EN_MAXTEXT);
      if (Destroyed) return false;
      if (s.empty() && a == b) return false;
    }
  }
  if (s.empty() && a == b) return false;
  if (undoable) {
    const bool continues = typing && FTyping && a == b && a == FCaret && FAnchor == FCaret;
    if (!continues) SaveUndo();
  }
  FTyping = typing;
  FText.replace(static_cast<size_t>(a), static_cast<size_t>(b - a), s);
  FAnchor = FCaret = a + static_cast<int>(s.size());
  FDesiredX = -1;
  FModified = true;
  Changed();
  return true;
}

void TEditWindow::SetAllText(const std::u32string& s) {
  FText = Prepare(s, false);
  FAnchor = FCaret = 0;
  FScrollX = 0;
  FTopLine = 0;
  FDesiredX = -1;
  FModified = false;
  FCanUndo = false;
  FTyping = false;
  FUndoText.clear();
  Changed();
}

void TEditWindow::Changed() {
  Invalidate();
  ScrollCaret();
  Repaint();
  Notify(EN_UPDATE);
  if (!Destroyed) Notify(EN_CHANGE);
}

bool TEditWindow::DoUndo() {
  if (!FCanUndo || ReadOnly()) return false;
  std::swap(FText, FUndoText);
  std::swap(FAnchor, FUndoAnchor);
  std::swap(FCaret, FUndoCaret);
  FAnchor = std::clamp(FAnchor, 0, Length());
  FCaret = std::clamp(FCaret, 0, Length());
  FTyping = false;
  FModified = true;
  Changed();
  return true;
}

void TEditWindow::Notify(WORD Code) {
  HWND parent = GetParent(FWnd);
  if (!parent) return;
  const WORD id = static_cast<WORD>(GetWindowLongPtr(FWnd, GWLP_ID));
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, Code), reinterpret_cast<LPARAM>(FWnd));
}

// ---- user input ----

void TEditWindow::TypeChar(char32_t c) {
  switch (c) {
    case 1:  // Ctrl+A
      FAnchor = 0;
      MoveCaret(Length(), true);
      return;
    // The clipboard keys go through the messages, so that a subclass sees them.
    case 3: SendMessage(FWnd, WM_COPY, 0, 0); return;    // Ctrl+C
    case 22: SendMessage(FWnd, WM_PASTE, 0, 0); return;  // Ctrl+V
    case 24: SendMessage(FWnd, WM_CUT, 0, 0); return;    // Ctrl+X
    case 26:                                             // Ctrl+Z
      if (!SendMessage(FWnd, WM_UNDO, 0, 0) && !Destroyed) Beep();
      return;
    case 8:  // Backspace
    case 127: {  // Ctrl+Backspace: the word before the caret
      if (ReadOnly()) {
        Beep();
        return;
      }
      int a = SelMin(), b = SelMax();
      if (a == b) a = c == 8 ? Left(b) : WordLeft(b);
      if (a == b) return;
      Replace(a, b, U"", true, false);
      return;
    }
    case U'\r':
    case U'\n':
      if (!Multiline() || c == U'\n') return;
      break;
    case U'\t':
      if (!Multiline()) return;
      break;
    default:
      if (c < 32) return;
  }
  if (ReadOnly()) {
    Beep();
    return;
  }
  if ((Style() & ES_NUMBER) && !(c >= U'0' && c <= U'9')) {
    Beep();
    return;
  }
  std::u32string s = c == U'\r' ? std::u32string(U"\r\n") : std::u32string(1, c);
  int a = SelMin(), b = SelMax();
  if (FOverwrite && a == b && a < Length() && !IsBreak(FText[static_cast<size_t>(a)]) && c != U'\r') b = a + 1;
  if (!Replace(a, b, s, true, true) && !Destroyed && FLimit > 0) Beep();
}

int TEditWindow::Left(int pos) const {
  if (pos <= 0) return 0;
  if (pos >= 2 && FText[static_cast<size_t>(pos - 1)] == U'\n' && FText[static_cast<size_t>(pos - 2)] == U'\r')
    return pos - 2;
  return pos - 1;
}

int TEditWindow::Right(int pos) const {
  if (pos >= Length()) return Length();
  if (FText[static_cast<size_t>(pos)] == U'\r' && pos + 1 < Length() && FText[static_cast<size_t>(pos + 1)] == U'\n')
    return pos + 2;
  return pos + 1;
}

// The start of the word before pos (spaces before it skipped).
int TEditWindow::WordLeft(int pos) const {
  if (FPasswordChar) return 0;
  int p = pos;
  while (p > 0 && IsSpace(FText[static_cast<size_t>(p - 1)])) --p;
  if (p > 0 && IsBreak(FText[static_cast<size_t>(p - 1)])) return Left(p);
  if (p == 0) return 0;
  const int cls = CharClass(FText[static_cast<size_t>(p - 1)]);
  while (p > 0 && CharClass(FText[static_cast<size_t>(p - 1)]) == cls) --p;
  return p;
}

// The start of the next word (the word at pos and the spaces after it skipped).
int TEditWindow::WordRight(int pos) const {
  if (FPasswordChar) return Length();
  int p = pos;
  if (p >= Length()) return Length();
  if (IsBreak(FText[static_cast<size_t>(p)])) return Right(p);
  const int cls = CharClass(FText[static_cast<size_t>(p)]);
  if (cls != 0)
    while (p < Length() && CharClass(FText[static_cast<size_t>(p)]) == cls) ++p;
  while (p < Length() && IsSpace(FText[static_cast<size_t>(p)])) ++p;
  return p;
}

void TEditWindow::SelectWord(int pos) {
  if (FPasswordChar) {
    FAnchor = 0;
    MoveCaret(Length(), true);
    return;
  }
  int a = pos, b = pos;
  // A click at the end of a word selects that word.
  if (a > 0 && (a >= Length() || IsBreak(FText[static_cast<size_t>(a)])) && !IsBreak(FText[static_cast<size_t>(a - 1)])) --a, --b;
  if (a < Length() && !IsBreak(FText[static_cast<size_t>(a)])) {
    const int cls = CharClass(FText[static_cast<size_t>(a)]);
    while (a > 0 && CharClass(FText[static_cast<size_t>(a - 1)]) == cls) --a;
    while (b < Length() && CharClass(FText[static_cast<size_t>(b)]) == cls) ++b;
    // The spaces after a word go with it.
    if (cls != 0)
      while (b < Length() && IsSpace(FText[static_cast<size_t>(b)])) ++b;
  }
  FAnchor = a;
  MoveCaret(b, true);
}

void TEditWindow::MoveCaret(int pos, bool extend, bool keepDesiredX) {
  pos = std::clamp(pos, 0, Length());
  // Never between the CR and the LF of a line break.
  if (pos > 0 && pos < Length() && FText[static_cast<size_t>(pos - 1)] == U'\r' && FText[static_cast<size_t>(pos)] == U'\n')
    --pos;
  FCaret = pos;
  if (!extend) FAnchor = pos;
  if (!keepDesiredX) FDesiredX = -1;
  FTyping = false;
  ScrollCaret();
  FCaretOn = true;
  if (FFocused) SetTimer(FWnd, kCaretTimer, controls::CaretBlinkTime, nullptr);
  Repaint();
}

void TEditWindow::KeyDown(UINT Key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool multi = Multiline();
  const bool hasSel = FAnchor != FCaret;
  switch (Key) {
    case VK_LEFT:
      if (hasSel && !shift && !ctrl) MoveCaret(SelMin(), false);
      else MoveCaret(ctrl ? WordLeft(FCaret) : Left(FCaret), shift);
      return;
    case VK_RIGHT:
      if (hasSel && !shift && !ctrl) MoveCaret(SelMax(), false);
      else MoveCaret(ctrl ? WordRight(FCaret) : Right(FCaret), shift);
      return;
    case VK_HOME:
      if (ctrl || !multi) MoveCaret(0, shift);
      else MoveCaret(Lines()[static_cast<size_t>(LineOf(FCaret))].Start, shift);
      return;
    case VK_END:
      if (ctrl || !multi) MoveCaret(Length(), shift);
      else MoveCaret(Lines()[static_cast<size_t>(LineOf(FCaret))].End, shift);
      return;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      if (!multi) {
        if (Key == VK_UP) MoveCaret(Left(FCaret), shift);
        else if (Key == VK_DOWN) MoveCaret(Right(FCaret), shift);
        return;
      }
      const int line = LineOf(FCaret);
      if (FDesiredX < 0) FDesiredX = PosX(line, FCaret) - LineX(line);
      const int step = (Key == VK_UP || Key == VK_DOWN) ? 1 : std::max(1, VisibleLines());
      const int count = static_cast<int>(Lines().size());
      int target = (Key == VK_UP || Key == VK_PRIOR) ? line - step : line + step;
      if (target < 0) {
        MoveCaret(0, shift);
        return;
      }
      if (target >= count) {
        MoveCaret(Length(), shift);
        return;
      }
      if (Key == VK_PRIOR || Key == VK_NEXT) ScrollLines(target - line);
      MoveCaret(PosFromX(target, LineX(target) + FDesiredX), shift, true);
      return;
    }
    case VK_DELETE:
      if (shift) {
        SendMessage(FWnd, WM_CUT, 0, 0);
        return;
      }
      if (ReadOnly()) {
        Beep();
        return;
      }
      if (hasSel) Replace(SelMin(), SelMax(), U"", true, false);
      else if (FCaret < Length()) Replace(FCaret, ctrl ? WordRight(FCaret) : Right(FCaret), U"", true, false);
      return;
    case VK_INSERT:
      if (shift) SendMessage(FWnd, WM_PASTE, 0, 0);
      else if (ctrl) SendMessage(FWnd, WM_COPY, 0, 0);
      else {
        FOverwrite = !FOverwrite;
        Repaint();
      }
      return;
  }
}

void TEditWindow::Copy() {
  if (FPasswordChar || FAnchor == FCaret) return;
  const std::string text = ToUtf8(std::u32string_view(FText).substr(static_cast<size_t>(SelMin()),
                                                                     static_cast<size_t>(SelMax() - SelMin())));
  if (!OpenClipboard(FWnd)) return;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (mem) {
    if (void* p = GlobalLock(mem)) {
      std::memcpy(p, text.c_str(), text.size() + 1);
      GlobalUnlock(mem);
      SetClipboardData(CF_TEXT, mem);
    } else {
      GlobalFree(mem);
    }
  }
  CloseClipboard();
}

void TEditWindow::Cut() {
  if (FPasswordChar || FAnchor == FCaret) return;
  if (ReadOnly()) {
    Beep();
    return;
  }
  Copy();
  Replace(SelMin(), SelMax(), U"", true, false);
}

void TEditWindow::Paste() {
  if (ReadOnly()) {
    Beep();
    return;
  }
  const std::string text = controls::ClipboardText(FWnd);
  if (text.empty()) return;
  Replace(SelMin(), SelMax(), ToU32(text), true, false);
}

void TEditWindow::Clear() {
  if (ReadOnly() || FAnchor == FCaret) return;
  Replace(SelMin(), SelMax(), U"", true, false);
}

void TEditWindow::MouseDown(TPoint p, bool extend) {
  if (GetFocus() != FWnd) SetFocus(FWnd);
  if (Destroyed) return;
  SetCapture(FWnd);
  FSelecting = true;
  FMousePos = p;
  MoveCaret(CharFromPoint(p), extend);
}

void TEditWindow::MouseMove(TPoint p) {
  if (!FSelecting) return;
  FMousePos = p;
  TRect client;
  GetClientRect(FWnd, &client);
  const bool outside = p.X < FRect.Left || p.X >= FRect.Right || (Multiline() && (p.Y < FRect.Top || p.Y >= FRect.Bottom));
  if (outside) SetTimer(FWnd, kScrollTimer, kScrollInterval, nullptr);
  else KillTimer(FWnd, kScrollTimer);
  MoveCaret(CharFromPoint(p), true);
}

// While the pointer is held outside the text, the text scrolls toward it.
void TEditWindow::AutoScrollTick() {
  if (!FSelecting) {
    KillTimer(FWnd, kScrollTimer);
    return;
  }
  int pos = FCaret;
  if (Multiline() && FMousePos.Y < FRect.Top) {
    ScrollLines(-1);
  } else if (Multiline() && FMousePos.Y >= FRect.Bottom) {
    ScrollLines(1);
  } else if (FMousePos.X < FRect.Left) {
    pos = Left(FCaret);
    if (pos < Lines()[static_cast<size_t>(LineOf(FCaret))].Start) pos = FCaret;
    MoveCaret(pos, true);
    return;
  } else if (FMousePos.X >= FRect.Right) {
    pos = Right(FCaret);
    if (pos > Lines()[static_cast<size_t>(LineOf(FCaret))].End) pos = FCaret;
    MoveCaret(pos, true);
    return;
  } else {
    KillTimer(FWnd, kScrollTimer);
    return;
  }
  MoveCaret(CharFromPoint(FMousePos), true);
}

// ---- layout ----

HDC TEditWindow::MeasureDC() {
  if (!FMeasureDC) FMeasureDC = CreateCompatibleDC(nullptr);
  SelectObject(FMeasureDC, FFont ? static_cast<HGDIOBJ>(FFont) : GetStockObject(DEFAULT_GUI_FONT));
  return FMeasureDC;
}

// The offsets of the characters from..to of s from the start of from, tabs going to the next
// stop; size to - from + 1.
std::vector<int> TEditWindow::Measure(const std::u32string& s, int from, int to) {
  std::vector<int> x(static_cast<size_t>(to - from + 1), 0);
  HDC dc = MeasureDC();
  const int tab = std::max(1, FAveCharWidth) * 8;
  int base = 0;
  int i = from;
  while (i < to) {
    int j = i;
    while (j < to && s[static_cast<size_t>(j)] != U'\t') ++j;
    if (j > i) {
      std::vector<int> dx(static_cast<size_t>(j - i), 0);
      int fit = 0;
      TSize size;
      GetTextExtentExPoint(dc, ToUtf8(std::u32string_view(s).substr(static_cast<size_t>(i), static_cast<size_t>(j - i))),
                           INT_MAX, &fit, dx.data(), &size);
      for (int k = i; k < j; ++k) x[static_cast<size_t>(k - from + 1)] = base + dx[static_cast<size_t>(k - i)];
      base += dx.back();
    }
    if (j < to) {  // a tab
      base = (base / tab + 1) * tab;
      x[static_cast<size_t>(j - from + 1)] = base;
      ++j;
    }
    i = j;
  }
  return x;
}

void TEditWindow::DefaultRect() {
  TRect client;
  GetClientRect(FWnd, &client);
  FRect = client;
  FRect.Left += FLeftMargin;
  FRect.Right -= FRightMargin;
  if (client.Height() >= FLineHeight + 2) FRect.Top += 1;
  if (FRect.Right < FRect.Left) FRect.Right = FRect.Left;
}

void TEditWindow::Layout() {
  FLayoutValid = true;
  HDC dc = MeasureDC();
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  FLineHeight = std::max<int>(1, tm.tmHeight);
  FAveCharWidth = std::max<int>(1, tm.tmAveCharWidth);
  if (!FRectSet) DefaultRect();
  FLines.clear();
  const std::u32string shown = Display();
  const int n = Length();
  if (!Multiline()) {
    TLine line{0, n, n, Measure(shown, 0, n)};
    FLines.push_back(std::move(line));
    return;
  }
  const bool wrap = Wraps();
  const int width = std::max(1, FRect.Width());
  int start = 0;
  while (true) {
    int end = start;
    while (end < n && !IsBreak(shown[static_cast<size_t>(end)])) ++end;
    int next = end;
    if (next < n) next = (shown[static_cast<size_t>(next)] == U'\r' && next + 1 < n && shown[static_cast<size_t>(next + 1)] == U'\n') ? next + 2 : next + 1;
    std::vector<int> x = Measure(shown, start, end);
    int s = start;
    while (wrap && x[static_cast<size_t>(end - start)] - x[static_cast<size_t>(s - start)] > width) {
      // The longest piece that fits (at least one character), cut after a space or between
      // wide letters when it can be.
      int k = s + 1;
      while (k < end && x[static_cast<size_t>(k + 1 - start)] - x[static_cast<size_t>(s - start)] <= width) ++k;
      int cut = k;
      for (int p = k; p > s; --p) {
        const char32_t before = shown[static_cast<size_t>(p - 1)];
        const char32_t after = shown[static_cast<size_t>(p)];
        if (IsSpace(before) || IsWideLetter(before) || IsWideLetter(after)) {
          cut = p;
          break;
        }
      }
      // Spaces at the cut stay at the end of the line.
      while (cut < end && IsSpace(shown[static_cast<size_t>(cut)])) ++cut;
      if (cut >= end) break;
      TLine line{s, cut, cut, {}};
      line.X.assign(x.begin() + (s - start), x.begin() + (cut - start) + 1);
      for (int& v : line.X) v -= x[static_cast<size_t>(s - start)];
      FLines.push_back(std::move(line));
      s = cut;
    }
    TLine line{s, end, next, {}};
    line.X.assign(x.begin() + (s - start), x.end());
    for (int& v : line.X) v -= x[static_cast<size_t>(s - start)];
    FLines.push_back(std::move(line));
    if (end >= n) break;
    start = next;
    if (start >= n) {  // a break at the very end: an empty last line
      FLines.push_back(TLine{n, n, n, {0}});
      break;
    }
  }
}

int TEditWindow::LineOf(int pos) {
  const auto& lines = Lines();
  int lo = 0, hi = static_cast<int>(lines.size()) - 1;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (lines[static_cast<size_t>(mid)].Start <= pos) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

int TEditWindow::LineX(int line) {
  const TLine& l = Lines()[static_cast<size_t>(line)];
  const DWORD style = Style();
  int x = FRect.Left - FScrollX;
  const int room = FRect.Width() - l.Width() - 1;
  if (room > 0) {
    if (style & ES_RIGHT) x += room;
    else if (style & ES_CENTER) x += room / 2;
  }
  return x;
}

int TEditWindow::PosX(int line, int pos) {
  const TLine& l = Lines()[static_cast<size_t>(line)];
  pos = std::clamp(pos, l.Start, l.End);
  return LineX(line) + l.X[static_cast<size_t>(pos - l.Start)];
}

int TEditWindow::PosFromX(int line, int x) {
  const TLine& l = Lines()[static_cast<size_t>(line)];
  const int offset = x - LineX(line);
  for (int i = l.Start; i < l.End; ++i) {
    const int a = l.X[static_cast<size_t>(i - l.Start)], b = l.X[static_cast<size_t>(i - l.Start + 1)];
    if (offset < (a + b + 1) / 2) return i;
  }
  return l.End;
}

int TEditWindow::CharFromPoint(TPoint p) {
  int line = 0;
  if (Multiline()) {
    const int h = LineHeight();
    const int dy = p.Y - FRect.Top;
    line = FTopLine + (dy < 0 ? -1 - (-dy - 1) / h : dy / h);
    line = std::clamp(line, 0, static_cast<int>(Lines().size()) - 1);
  }
  return PosFromX(line, p.X);
}

TPoint TEditWindow::PointOfChar(int pos) {
  const int line = LineOf(pos);
  return {PosX(line, pos), FRect.Top + (line - FTopLine) * LineHeight()};
}

int TEditWindow::VisibleLines() { return std::max(1, FRect.Height() / LineHeight()); }

void TEditWindow::ClampScroll() {
  const auto& lines = Lines();
  int widest = 0;
  for (const TLine& l : lines) widest = std::max(widest, l.Width());
  const int maxX = std::max(0, widest - FRect.Width() + 1);
  FScrollX = Wraps() ? 0 : std::clamp(FScrollX, 0, maxX);
  if (Multiline()) FTopLine = std::clamp(FTopLine, 0, std::max(0, static_cast<int>(lines.size()) - VisibleLines()));
  else FTopLine = 0;
}

// Scrolls so that the caret shows: sideways by a third of the width when it leaves the text
// rectangle, and line by line.
void TEditWindow::ScrollCaret() {
  const int line = LineOf(FCaret);
  if (Multiline()) {
    if (line < FTopLine) FTopLine = line;
    else if (line >= FTopLine + VisibleLines()) FTopLine = line - VisibleLines() + 1;
  }
  if (!Wraps()) {
    const TLine& l = Lines()[static_cast<size_t>(line)];
    const int x = l.X[static_cast<size_t>(std::clamp(FCaret, l.Start, l.End) - l.Start)];
    const int width = FRect.Width();
    const int jump = std::max(1, width / 3);
    if (x < FScrollX) FScrollX = std::max(0, x - jump);
    else if (x >= FScrollX + width) FScrollX = x - width + jump;
  }
  ClampScroll();
  UpdateScrollBars();
}

void TEditWindow::UpdateScrollBars() {
  const DWORD style = Style();
  if (style & WS_VSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = static_cast<int>(Lines().size()) - 1;
    si.nPage = static_cast<UINT>(VisibleLines());
    si.nPos = FTopLine;
    SetScrollInfo(FWnd, SB_VERT, &si, TRUE);
  }
  if (style & WS_HSCROLL) {
    int widest = 0;
    for (const TLine& l : Lines()) widest = std::max(widest, l.Width());
    SCROLLINFO si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = widest;
    si.nPage = static_cast<UINT>(std::max(1, FRect.Width()));
    si.nPos = FScrollX;
    SetScrollInfo(FWnd, SB_HORZ, &si, TRUE);
  }
}

bool TEditWindow::ScrollLines(int lines) {
  const int before = FTopLine;
  FTopLine += lines;
  ClampScroll();
  UpdateScrollBars();
  if (FTopLine != before) Repaint();
  return FTopLine != before;
}

void TEditWindow::ScrollBarMessage(int bar, WORD code) {
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(FWnd, bar, &si);
  if (bar == SB_VERT) {
    switch (code) {
      case SB_LINEUP: ScrollLines(-1); break;
      case SB_LINEDOWN: ScrollLines(1); break;
      case SB_PAGEUP: ScrollLines(-VisibleLines()); break;
      case SB_PAGEDOWN: ScrollLines(VisibleLines()); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: ScrollLines(si.nTrackPos - FTopLine); break;
      case SB_TOP: ScrollLines(-FTopLine); break;
      case SB_BOTTOM: ScrollLines(static_cast<int>(Lines().size())); break;
    }
    return;
  }
  const int before = FScrollX;
  const int step = std::max(1, FAveCharWidth);
  switch (code) {
    case SB_LINELEFT: FScrollX -= step; break;
    case SB_LINERIGHT: FScrollX += step; break;
    case SB_PAGELEFT: FScrollX -= FRect.Width(); break;
    case SB_PAGERIGHT: FScrollX += FRect.Width(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: FScrollX = si.nTrackPos; break;
    case SB_LEFT: FScrollX = 0; break;
    case SB_RIGHT: FScrollX = INT_MAX / 2; break;
  }
  ClampScroll();
  UpdateScrollBars();
  if (FScrollX != before) Repaint();
}

// ---- painting ----

HBRUSH TEditWindow::Colors(HDC dc) {
  const bool enabled = IsWindowEnabled(FWnd);
  const bool asStatic = ReadOnly() || !enabled;
  const UINT msg = asStatic ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(asStatic ? COLOR_BTNFACE : COLOR_WINDOW));
  HBRUSH brush = nullptr;
  if (HWND parent = GetParent(FWnd))
    brush = reinterpret_cast<HBRUSH>(SendMessage(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(FWnd)));
  if (!brush && !Destroyed)
    brush = reinterpret_cast<HBRUSH>(SendMessage(FWnd, CN_BASE + msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(FWnd)));
  if (!brush) brush = GetSysColorBrush(asStatic ? COLOR_BTNFACE : COLOR_WINDOW);
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  return brush;
}

void TEditWindow::DrawRun(HDC dc, const TLine& line, const std::u32string& shown, int from, int to, int x, int y) {
  int i = from;
  while (i < to) {
    int j = i;
    while (j < to && shown[static_cast<size_t>(j)] != U'\t') ++j;
    if (j > i)
      TextOut(dc, x + line.X[static_cast<size_t>(i - line.Start)], y,
              ToUtf8(std::u32string_view(shown).substr(static_cast<size_t>(i), static_cast<size_t>(j - i))));
    i = j < to ? j + 1 : j;
  }
}

TRect TEditWindow::CaretRect() {
  const TPoint p = PointOfChar(FCaret);
  int width = 1;
  if (FOverwrite && FAnchor == FCaret && FCaret < Length() && !IsBreak(FText[static_cast<size_t>(FCaret)])) {
    const int line = LineOf(FCaret);
    width = std::max(1, PosX(line, FCaret + 1) - p.X);
  }
  return {p.X, p.Y, p.X + width, p.Y + LineHeight()};
}

void TEditWindow::Paint(HDC dc) {
  const int saved = SaveDC(dc);
  SelectObject(dc, FFont ? static_cast<HGDIOBJ>(FFont) : GetStockObject(DEFAULT_GUI_FONT));
  HBRUSH brush = Colors(dc);
  TRect client;
  GetClientRect(FWnd, &client);
  FillRect(dc, &client, brush);
  const auto& lines = Lines();
  const COLORREF text = GetTextColor(dc);
  const COLORREF back = GetBkColor(dc);
  TRect clip = FRect;
  // The caret at the right edge stays visible.
  clip.Right = std::min(client.Right, clip.Right + 1);
  IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, std::max(clip.Bottom, clip.Top + FLineHeight));
  SetBkMode(dc, TRANSPARENT);
  const bool showSel = FAnchor != FCaret && (FFocused || (Style() & ES_NOHIDESEL));
  const std::u32string shown = Display();
  if (FText.empty() && !FCue.empty() && (!FFocused || FCueOnFocus)) {
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    TextOut(dc, FRect.Left, FRect.Top, ToUtf8(FCue));
  }
  const int h = FLineHeight;
  const int last = Multiline() ? std::min<int>(static_cast<int>(lines.size()), FTopLine + VisibleLines() + 1)
                               : static_cast<int>(lines.size());
  for (int i = FTopLine; i < last; ++i) {
    const TLine& l = lines[static_cast<size_t>(i)];
    const int x = LineX(i);
    const int y = FRect.Top + (i - FTopLine) * h;
    int a = l.Start, b = l.Start;
    if (showSel) {
      a = std::clamp(SelMin(), l.Start, l.End);
      b = std::clamp(SelMax(), l.Start, l.End);
    }
    SetTextColor(dc, text);
    DrawRun(dc, l, shown, l.Start, a, x, y);
    DrawRun(dc, l, shown, b, l.End, x, y);
    // A selection running on past the line's end marks the line break too.
    const bool breakSelected = showSel && SelMin() <= l.End && SelMax() > l.End && l.Next > l.End;
    if (a < b || breakSelected) {
      TRect r{x + l.X[static_cast<size_t>(a - l.Start)], y, x + l.X[static_cast<size_t>(b - l.Start)], y + h};
      if (breakSelected) r.Right += std::max(1, FAveCharWidth / 2);
      HBRUSH hl = GetSysColorBrush(COLOR_HIGHLIGHT);
      FillRect(dc, &r, hl);
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      DrawRun(dc, l, shown, a, b, x, y);
    }
  }
  (void)back;
  if (FFocused && FCaretOn) {
    TRect caret = CaretRect();
    InvertRect(dc, &caret);
  }
  RestoreDC(dc, saved);
}

void TEditWindow::StartCaret() {
  FCaretOn = true;
  SetTimer(FWnd, kCaretTimer, controls::CaretBlinkTime, nullptr);
}

void TEditWindow::StopCaret() {
  KillTimer(FWnd, kCaretTimer);
  FCaretOn = false;
}

void TEditWindow::CaretTick() {
  FCaretOn = !FCaretOn;
  TRect r = CaretRect();
  InvalidateRect(FWnd, &r, FALSE);
}

// ---- messages ----

LRESULT TEditWindow::Proc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCT*>(LParam);
      if (cs) FText = Prepare(ToU32(rtl::ToValidUtf8(cs->lpszName)), false);
      return DefWindowProc(FWnd, Msg, WParam, LParam);
    }
    case WM_CREATE:
      Invalidate();
      UpdateScrollBars();
      return 0;
    case WM_NCDESTROY:
      KillTimer(FWnd, kCaretTimer);
      KillTimer(FWnd, kScrollTimer);
      return DefWindowProc(FWnd, Msg, WParam, LParam);
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(LParam);
      SetAllText(ToU32(rtl::ToValidUtf8(text ? text : "")));
      return TRUE;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(ToUtf8(FText).size());
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(LParam);
      if (!buffer || WParam == 0) return 0;
      const std::string text = ToUtf8(FText);
      size_t n = std::min<size_t>(text.size(), WParam - 1);
      // Never half a character.
      while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
      std::memcpy(buffer, text.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_SETFONT:
      FFont = reinterpret_cast<HFONT>(WParam);
      Invalidate();
      if (!FRectSet) {
        Layout();
        DefaultRect();
      }
      Invalidate();
      ScrollCaret();
      if (LOWORD(LParam)) Repaint();
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(FFont);
    case WM_SIZE:
      FRectSet = false;
      Invalidate();
      ScrollCaret();
      Repaint();
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (Multiline()) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      if (WParam) {
        Paint(reinterpret_cast<HDC>(WParam));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(FWnd, &ps);
      try {
        Paint(dc);
      } catch (...) {
        EndPaint(FWnd, &ps);
        throw;
      }
      EndPaint(FWnd, &ps);
      return 0;
    }
    case WM_SETFOCUS:
      FFocused = true;
      StartCaret();
      Repaint();
      Notify(EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      FFocused = false;
      FSelecting = false;
      StopCaret();
      Repaint();
      Notify(EN_KILLFOCUS);
      return 0;
    case WM_ENABLE: Repaint(); return 0;
    case WM_TIMER:
      if (WParam == kCaretTimer) CaretTick();
      else if (WParam == kScrollTimer) AutoScrollTick();
      return 0;
    case WM_KEYDOWN: KeyDown(static_cast<UINT>(WParam)); return 0;
    case WM_CHAR: TypeChar(static_cast<char32_t>(WParam)); return 0;
    case WM_LBUTTONDOWN: MouseDown(LParamToPoint(LParam), (WParam & MK_SHIFT) != 0); return 0;
    case WM_LBUTTONDBLCLK:
      MouseDown(LParamToPoint(LParam), false);
      if (!Destroyed) SelectWord(FCaret);
      return 0;
    case WM_MOUSEMOVE: MouseMove(LParamToPoint(LParam)); return 0;
    case WM_LBUTTONUP:
      if (FSelecting) {
        FSelecting = false;
        KillTimer(FWnd, kScrollTimer);
        if (GetCapture() == FWnd) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      FSelecting = false;
      KillTimer(FWnd, kScrollTimer);
      return 0;
    case WM_MOUSEWHEEL:
      if (!Multiline()) return DefWindowProc(FWnd, Msg, WParam, LParam);
      ScrollLines(-GET_WHEEL_DELTA_WPARAM(WParam) / WHEEL_DELTA * 3);
      return 0;
    case WM_VSCROLL: ScrollBarMessage(SB_VERT, LOWORD(WParam)); return 0;
    case WM_HSCROLL: ScrollBarMessage(SB_HORZ, LOWORD(WParam)); return 0;
    case WM_CUT: Cut(); return 0;
    case WM_COPY: Copy(); return 0;
    case WM_PASTE: Paste(); return 0;
    case WM_CLEAR: Clear(); return 0;
    case WM_UNDO:
    case EM_UNDO: return DoUndo() ? TRUE : FALSE;
    case EM_CANUNDO: return FCanUndo ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER:
      FCanUndo = false;
      FUndoText.clear();
      return 0;
    case EM_GETSEL: {
      if (auto* start = reinterpret_cast<DWORD*>(WParam)) *start = static_cast<DWORD>(SelMin());
      if (auto* end = reinterpret_cast<DWORD*>(LParam)) *end = static_cast<DWORD>(SelMax());
      return MAKELRESULT(static_cast<WORD>(std::min(SelMin(), 0xFFFF)), static_cast<WORD>(std::min(SelMax(), 0xFFFF)));
    }
    case EM_SETSEL: {
      int start = static_cast<int>(static_cast<intptr_t>(WParam));
      int end = static_cast<int>(LParam);
      if (start < 0) {
        start = end = FCaret;
      } else if (end < 0) {
        end = Length();
      }
      start = std::clamp(start, 0, Length());
      FAnchor = start;
      if (Multiline()) {
        // A multi-line edit leaves its scrolling alone (EM_SCROLLCARET does it).
        const int top = FTopLine, x = FScrollX;
        MoveCaret(end, true);
        if (start > 0 && start < Length() && FText[static_cast<size_t>(start - 1)] == U'\r' &&
            FText[static_cast<size_t>(start)] == U'\n')
          FAnchor = start - 1;
        FTopLine = top;
        FScrollX = x;
        ClampScroll();
        UpdateScrollBars();
      } else {
        MoveCaret(end, true);
      }
      return 0;
    }
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(LParam);
      Replace(SelMin(), SelMax(), ToU32(rtl::ToValidUtf8(text ? text : "")), WParam != 0, false);
      return 0;
    }
    case EM_GETMODIFY: return FModified ? TRUE : FALSE;
    case EM_SETMODIFY: FModified = WParam != 0; return 0;
    case EM_LIMITTEXT: FLimit = static_cast<int>(std::min<WPARAM>(WParam, INT_MAX)); return 0;
    case EM_GETLIMITTEXT: return FLimit > 0 ? FLimit : 0x7FFFFFFE;
    case EM_SETREADONLY: {
      LONG_PTR style = GetWindowLongPtr(FWnd, GWL_STYLE);
      style = WParam ? (style | ES_READONLY) : (style & ~static_cast<LONG_PTR>(ES_READONLY));
      SetWindowLongPtr(FWnd, GWL_STYLE, style);
      Repaint();
      return TRUE;
    }
    case EM_SETPASSWORDCHAR: {
      FPasswordChar = static_cast<char32_t>(WParam);
      LONG_PTR style = GetWindowLongPtr(FWnd, GWL_STYLE);
      style = FPasswordChar ? (style | ES_PASSWORD) : (style & ~static_cast<LONG_PTR>(ES_PASSWORD));
      SetWindowLongPtr(FWnd, GWL_STYLE, style);
      Invalidate();
      ScrollCaret();
      Repaint();
      return 0;
    }
    case EM_GETPASSWORDCHAR: return static_cast<LRESULT>(FPasswordChar);
    case EM_SETMARGINS: {
      const int fontMargin = std::max(1, FAveCharWidth / 2);
      if (WParam == EC_USEFONTINFO) {
        LineHeight();
        FLeftMargin = FRightMargin = std::max(1, FAveCharWidth / 2);
      } else {
        if (WParam & EC_LEFTMARGIN) FLeftMargin = static_cast<int16_t>(LOWORD(LParam));
        if (WParam & EC_RIGHTMARGIN) FRightMargin = static_cast<int16_t>(HIWORD(LParam));
      }
      (void)fontMargin;
      FRectSet = false;
      Invalidate();
      ScrollCaret();
      Repaint();
      return 0;
    }
    case EM_GETMARGINS: return MAKELRESULT(static_cast<WORD>(FLeftMargin), static_cast<WORD>(FRightMargin));
    case EM_GETRECT:
      if (auto* r = reinterpret_cast<TRect*>(LParam)) {
        LineHeight();
        *r = FRect;
      }
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP: {
      LineHeight();
      if (const auto* r = reinterpret_cast<const TRect*>(LParam)) {
        FRect = *r;
        FRectSet = true;
      } else {
        FRectSet = false;
      }
      Invalidate();
      ScrollCaret();
      if (Msg == EM_SETRECT) Repaint();
      return 0;
    }
    case EM_SCROLLCARET: ScrollCaret(); Repaint(); return TRUE;
    case EM_SCROLL: {
      if (!Multiline()) return FALSE;
      const int before = FTopLine;
      switch (WParam) {
        case SB_LINEUP: ScrollLines(-1); break;
        case SB_LINEDOWN: ScrollLines(1); break;
        case SB_PAGEUP: ScrollLines(-VisibleLines()); break;
        case SB_PAGEDOWN: ScrollLines(VisibleLines()); break;
        default: return FALSE;
      }
      return MAKELRESULT(static_cast<WORD>(static_cast<int16_t>(FTopLine - before)), TRUE);
    }
    case EM_LINESCROLL: {
      if (!Multiline()) return FALSE;
      FScrollX += static_cast<int>(static_cast<intptr_t>(WParam)) * std::max(1, FAveCharWidth);
      FTopLine += static_cast<int>(LParam);
      ClampScroll();
      UpdateScrollBars();
      Repaint();
      return TRUE;
    }
    case EM_GETFIRSTVISIBLELINE:
      if (Multiline()) return FTopLine;
      return PosFromX(0, FRect.Left);
    case EM_GETLINECOUNT: return static_cast<LRESULT>(Lines().size());
    case EM_LINEFROMCHAR: {
      const int index = static_cast<int>(static_cast<intptr_t>(WParam));
      return LineOf(index < 0 ? FCaret : std::min(index, Length()));
    }
    case EM_LINEINDEX: {
      int line = static_cast<int>(static_cast<intptr_t>(WParam));
      if (line < 0) line = LineOf(FCaret);
      if (line >= static_cast<int>(Lines().size())) return -1;
      return Lines()[static_cast<size_t>(line)].Start;
    }
    case EM_LINELENGTH: {
      const int index = static_cast<int>(static_cast<intptr_t>(WParam));
      if (index >= 0) {
        const TLine& l = Lines()[static_cast<size_t>(LineOf(std::min(index, Length())))];
        return l.End - l.Start;
      }
      const TLine& first = Lines()[static_cast<size_t>(LineOf(SelMin()))];
      const TLine& last = Lines()[static_cast<size_t>(LineOf(SelMax()))];
      return (SelMin() - first.Start) + std::max(0, last.End - SelMax());
    }
    case EM_GETLINE: {
      const int line = static_cast<int>(static_cast<intptr_t>(WParam));
      auto* out = reinterpret_cast<std::string*>(LParam);
      if (!out || line < 0 || line >= static_cast<int>(Lines().size())) return 0;
      const TLine& l = Lines()[static_cast<size_t>(line)];
      *out = ToUtf8(std::u32string_view(FText).substr(static_cast<size_t>(l.Start), static_cast<size_t>(l.End - l.Start)));
      return l.End - l.Start;
    }
    case EM_POSFROMCHAR: {
      const int index = static_cast<int>(static_cast<intptr_t>(WParam));
      if (index < 0 || index > Length()) return -1;
      return PointToLParam(PointOfChar(index));
    }
    case EM_CHARFROMPOS: {
      const int index = CharFromPoint(LParamToPoint(LParam));
      return MAKELRESULT(static_cast<WORD>(std::min(index, 0xFFFF)), static_cast<WORD>(std::min(LineOf(index), 0xFFFF)));
    }
    case EM_SETCUEBANNER: {
      const char* text = reinterpret_cast<const char*>(LParam);
      FCue = ToU32(rtl::ToValidUtf8(text ? text : ""));
      FCueOnFocus = WParam != 0;
      Repaint();
      return TRUE;
    }
    case EM_GETCUEBANNER:
      if (auto* out = reinterpret_cast<std::string*>(LParam)) *out = ToUtf8(FCue);
      return TRUE;
    default:
      return DefWindowProc(FWnd, Msg, WParam, LParam);
  }
}

}  // namespace

namespace controls {
std::string ClipboardText(HWND Owner) {
  std::string text;
  if (!OpenClipboard(Owner)) return text;
  if (HANDLE mem = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
      text.assign(p, strnlen(p, GlobalSize(mem)));
      GlobalUnlock(mem);
    }
  }
  CloseClipboard();
  return rtl::ToValidUtf8(text);
}

void RegisterEditClass() {
  WNDCLASS existing;
  if (GetClassInfo(nullptr, EditClassName, &existing)) return;
  WNDCLASS cls;
  cls.style = CS_DBLCLKS;
  cls.lpfnWndProc = MakeWndProc(EditWndProc);
  cls.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  cls.lpszClassName = EditClassName;
  RegisterClass(cls);
}
}  // namespace controls
