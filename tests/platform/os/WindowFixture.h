#pragma once
// Windows of a recording class for the window-manager tests: every message any of them gets is
// logged (after a per-window handler, when one is set, had the first word), painting fills the
// client area with a window's colour, and pixels are read from the top-level surfaces.
#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/Presenter.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/os/OsFixture.h"
#include "tests/support/InputDriver.h"

class WmTest : public OsTest {
 protected:
  using THandler = std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)>;

  static constexpr const char* kClass = "WmTestWindow";          // CS_DBLCLKS, white background
  static constexpr const char* kPlainClass = "WmTestPlainWindow";  // no double clicks, no background

  static void SetUpTestSuite() {
    for (const char* name : {kClass, kPlainClass}) {
      WNDCLASS wc;
      wc.lpszClassName = name;
      const bool plain = std::string(name) == kPlainClass;
      wc.style = plain ? 0 : CS_DBLCLKS;
      wc.hbrBackground = plain ? nullptr : reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
      wc.lpfnWndProc = MakeWndProc([](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        return Current ? Current->Handle(w, m, wp, lp) : DefWindowProc(w, m, wp, lp);
      });
      RegisterClass(wc);
    }
  }

  WmTest() { Current = this; }
  ~WmTest() override {
    for (HWND w : FCreated)
      if (IsWindow(w)) DestroyWindow(w);
    Current = nullptr;
  }

  HWND Top(DWORD style, TRect r, DWORD ex = 0, const char* cls = kClass) {
    HWND w = CreateWindowEx(ex, cls, "top", style, r.Left, r.Top, r.Width(), r.Height(), nullptr, nullptr, nullptr, nullptr);
    FCreated.push_back(w);
    return w;
  }
  HWND Child(HWND parent, DWORD style, TRect r, DWORD ex = 0, const char* cls = kClass) {
    return CreateWindowEx(ex, cls, "child", WS_CHILD | style, r.Left, r.Top, r.Width(), r.Height(), parent, nullptr,
                          nullptr, nullptr);
  }

  // Paints the client area in this colour on WM_PAINT (instead of only validating).
  void PaintWith(HWND w, COLORREF color) { FPaintColors[w] = color; }

  // Handles everything queued (with keyboard translation), painting included.
  int PumpAll() {
    int n = 0;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
      ++n;
    }
    return n;
  }

  struct TEntry {
    HWND Wnd;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
  };
  // The messages logged for a window, only those in Only when given.
  std::vector<UINT> MessagesOf(HWND w, const std::vector<UINT>& only = {}) const {
    std::vector<UINT> r;
    for (const auto& e : Log)
      if (e.Wnd == w && (only.empty() || std::find(only.begin(), only.end(), e.Msg) != only.end())) r.push_back(e.Msg);
    return r;
  }
  // (window, message) pairs in order, for the listed messages.
  std::vector<std::pair<HWND, UINT>> Sequence(const std::vector<UINT>& only) const {
    std::vector<std::pair<HWND, UINT>> r;
    for (const auto& e : Log)
      if (std::find(only.begin(), only.end(), e.Msg) != only.end()) r.push_back({e.Wnd, e.Msg});
    return r;
  }
  const TEntry* Last(HWND w, UINT msg) const {
    for (auto it = Log.rbegin(); it != Log.rend(); ++it)
      if (it->Wnd == w && it->Msg == msg) return &*it;
    return nullptr;
  }
  int Count(HWND w, UINT msg) const {
    int n = 0;
    for (const auto& e : Log) n += e.Wnd == w && e.Msg == msg;
    return n;
  }

  // A pixel of a top-level window's surface (window coordinates of that top-level window).
  static uint32_t Pixel(HWND top, int x, int y) { return os::SurfaceOf(top)->Get(x, y); }
  static uint32_t Sys(int index) { return gdi::PixelOf(GetSysColor(index)); }
  static uint32_t Rgb(COLORREF c) { return gdi::PixelOf(c); }

  std::vector<TEntry> Log;
  std::map<HWND, THandler> Handlers;
  test::TInputDriver Input;

 private:
  LRESULT Handle(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    Log.push_back({w, m, wp, lp});
    if (auto it = Handlers.find(w); it != Handlers.end())
      if (std::optional<LRESULT> r = it->second(m, wp, lp)) return *r;
    if (m == WM_PAINT)
      if (auto it = FPaintColors.find(w); it != FPaintColors.end()) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        TRect client;
        GetClientRect(w, &client);
        HBRUSH brush = CreateSolidBrush(it->second);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(w, &ps);
        return 0;
      }
    return DefWindowProc(w, m, wp, lp);
  }

  inline static WmTest* Current = nullptr;
  std::vector<HWND> FCreated;
  std::map<HWND, COLORREF> FPaintColors;
};
