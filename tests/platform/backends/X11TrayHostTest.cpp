#include "platform/backends/X11TrayHost.h"

#include <mutex>
#include <vector>

#include "X11Fixture.h"
#include "platform/os/Input.h"
#include "platform/os/Window.h"
#include "platform/os/WindowPos.h"
#include "platform/shell/ShellApi.h"

#include "XlibHeaders.h"

namespace {

constexpr UINT kCallback = WM_APP + 7;
constexpr UINT_PTR kIconId = 3;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr unsigned long kTrayGreen = 0x00FF00;
HICON const kIcon = reinterpret_cast<HICON>(static_cast<uintptr_t>(0x51));

// A tray manager of the freedesktop protocol in a program of its own: it owns the tray
// selection, tells the root window it has come, and takes the icons asked to dock into its
// green panel at the top right.
class TFakeTray {
 public:
  // Slot: the size each docked icon is given (a tray that reads no size hints gives what it
  // likes).
  explicit TFakeTray(const std::string& name, TSize slot = TSize(24, 24))
      : FDisplay(backends::TX11Display::Open(name)) {
    backends::TX11Display::TLock lock(*FDisplay);
    Display* d = FDisplay->Get();
    FPanel = XCreateSimpleWindow(d, FDisplay->Root(), 700, 0, 300, 30, 0, 0, kTrayGreen);
    XMapWindow(d, FPanel);
    const Atom selection = FDisplay->Atom("_NET_SYSTEM_TRAY_S0");
    XSetSelectionOwner(d, selection, FPanel, CurrentTime);
    XEvent manager{};
    manager.xclient.type = ClientMessage;
    manager.xclient.window = FDisplay->Root();
    manager.xclient.message_type = FDisplay->Atom("MANAGER");
    manager.xclient.format = 32;
    manager.xclient.data.l[0] = CurrentTime;
    manager.xclient.data.l[1] = static_cast<long>(selection);
    manager.xclient.data.l[2] = static_cast<long>(FPanel);
    XSendEvent(d, FDisplay->Root(), False, StructureNotifyMask, &manager);
    XSync(d, False);  // the server knows the tray before anyone asks
    const Atom opcode = FDisplay->Atom("_NET_SYSTEM_TRAY_OPCODE");
    FDisplay->AddSink([this, opcode, slot](XEvent& e) {
      if (e.type != ClientMessage || e.xclient.message_type != opcode || e.xclient.data.l[1] != 0) return false;
      Window icon = static_cast<Window>(e.xclient.data.l[2]);
      XReparentWindow(FDisplay->Get(), icon, FPanel, 4 + 28 * static_cast<int>(Docked().size()), 3);
      XResizeWindow(FDisplay->Get(), icon, static_cast<unsigned>(slot.cx), static_cast<unsigned>(slot.cy));
      XMapWindow(FDisplay->Get(), icon);
      std::lock_guard<std::mutex> g(FLock);
      FDocked.push_back(icon);
      return true;
    });
  }

  std::vector<Window> Docked() {
    std::lock_guard<std::mutex> g(FLock);
    return FDocked;
  }
  // The size hints the icon's window gives: minimum and base width and height.
  std::vector<int> SizeHints(Window icon) {
    backends::TX11Display::TLock lock(*FDisplay);
    XSizeHints hints{};
    long supplied = 0;
    if (!XGetWMNormalHints(FDisplay->Get(), icon, &hints, &supplied)) return {};
    if (!(hints.flags & PMinSize) || !(hints.flags & PBaseSize)) return {};
    return {hints.min_width, hints.min_height, hints.base_width, hints.base_height};
  }
  TSize Size(Window icon) {
    backends::TX11Display::TLock lock(*FDisplay);
    XWindowAttributes a{};
    if (!XGetWindowAttributes(FDisplay->Get(), icon, &a)) return {};
    return TSize(a.width, a.height);
  }

 private:
  std::unique_ptr<backends::TX11Display> FDisplay;
  Window FPanel = 0;
  std::mutex FLock;
  std::vector<Window> FDocked;
};

// A 16 x 16 red icon with a transparent left column.
shell::TrayImage RedIcon() {
  shell::TrayImage image{16, 16, std::vector<uint32_t>(256, kRed)};
  for (int y = 0; y < 16; ++y) image.argb[static_cast<size_t>(y) * 16] = 0;
  return image;
}

class X11TrayHostTest : public test::X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    shell::SetTrayImageReader([](HICON icon) { return icon == kIcon ? std::optional(RedIcon()) : std::nullopt; });
    Owner = AllocateHWnd([this](TMessage& m) {
      if (m.Msg == kCallback) Callbacks.push_back(static_cast<UINT>(m.LParam));
      if (m.Msg == shell::TaskbarCreatedMessage()) {
        ++TaskbarCreated;
        AddIcon();
      }
    });
  }
  void TearDown() override {
    if (Owner) {
      NOTIFYICONDATAA data = Data();
      Shell_NotifyIconA(NIM_DELETE, &data);
      DeallocateHWnd(Owner);
    }
    shell::SetTrayHost(nullptr);
    Host.reset();
    shell::SetTrayImageReader(nullptr);
    X11Test::TearDown();
  }

  NOTIFYICONDATAA Data() {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = Owner;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallback;
    data.hIcon = kIcon;
    std::snprintf(data.szTip, sizeof data.szTip, "Player");
    return data;
  }
  void AddIcon() {
    NOTIFYICONDATAA data = Data();
    Shell_NotifyIconA(NIM_ADD, &data);
  }
  void StartHost() {
    Host = std::make_unique<backends::TX11TrayHost>(*ProgramDisplay);
    shell::SetTrayHost(Host.get());
  }
  TPoint IconCentre() {
    auto rect = Host->IconRect(Owner, kIconId);
    return rect ? TPoint((rect->Left + rect->Right) / 2, (rect->Top + rect->Bottom) / 2) : TPoint(-1, -1);
  }

  HWND Owner = nullptr;
  std::unique_ptr<backends::TX11TrayHost> Host;
  std::vector<UINT> Callbacks;
  int TaskbarCreated = 0;
};

TEST_F(X11TrayHostTest, IconDocksWithTheTrayAndShowsItsPixelsOverTheTray) {
  TFakeTray tray(test::Server().Name());
  StartHost();
  AddIcon();
  ASSERT_TRUE(WaitUntil([&] { return tray.Docked().size() == 1; }));
  Window icon = tray.Docked()[0];
  // Scaled to the 24 x 24 the tray gave; the transparent column lets the tray's green through.
  auto scaled = [&] {
    gdi::TSurface s = Client->Capture(icon);
    return s.Width() == 24 && s.Get(12, 12) == kRed && s.Get(23, 23) == kRed && s.Get(0, 12) == (0xFF000000u | kTrayGreen);
  };
  EXPECT_TRUE(WaitUntil(scaled));
  auto rect = Host->IconRect(Owner, kIconId);
  ASSERT_TRUE(rect);
  EXPECT_EQ(*rect, TRect(704, 3, 728, 27));
}

TEST_F(X11TrayHostTest, PointerOnTheIconBecomesItsCallbackMessages) {
  TFakeTray tray(test::Server().Name());
  StartHost();
  AddIcon();
  ASSERT_TRUE(WaitUntil([&] { return tray.Docked().size() == 1 && IconCentre().X > 0; }));
  // A loaded machine may take longer than the usual interval between the two clicks.
  const UINT doubleClickTime = GetDoubleClickTime();
  SetDoubleClickTime(10000);
  struct TRestore {
    UINT Ms;
    ~TRestore() { SetDoubleClickTime(Ms); }
  } restore{doubleClickTime};
  const TPoint at = IconCentre();
  Client->Click(at.X, at.Y);
  Client->Click(at.X, at.Y);
  Client->Click(at.X, at.Y, 3);
  Client->Click(at.X, at.Y, 2);
  const std::vector<UINT> expected = {WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                                      WM_RBUTTONDOWN, WM_RBUTTONUP,   WM_MBUTTONDOWN,   WM_MBUTTONUP};
  auto buttons = [&] {
    std::vector<UINT> b;
    for (UINT m : Callbacks)
      if (m != WM_MOUSEMOVE) b.push_back(m);
    return b;
  };
  EXPECT_TRUE(WaitUntil([&] { return buttons().size() >= expected.size(); }));
  EXPECT_EQ(buttons(), expected);
  // The owner finds the pointer where the click was (it opens its menu there).
  TPoint cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor, at);
}

TEST_F(X11TrayHostTest, TheIconAsksForASquareAtTheTraysHeight) {
  // A tray that gives its icons a sliver of their own height.
  TFakeTray tray(test::Server().Name(), TSize(1, 28));
  StartHost();
  AddIcon();
  ASSERT_TRUE(WaitUntil([&] { return tray.Docked().size() == 1; }));
  Window icon = tray.Docked()[0];
  EXPECT_TRUE(WaitUntil([&] { return tray.SizeHints(icon) == std::vector<int>{28, 28, 28, 28}; }))
      << "the hints name a square of the tray's height";
  EXPECT_TRUE(WaitUntil([&] { return tray.Size(icon) == TSize(28, 28); })) << "and the window takes it";
  auto rect = Host->IconRect(Owner, kIconId);
  ASSERT_TRUE(rect);
  EXPECT_EQ(rect->Width(), 28);
}

TEST_F(X11TrayHostTest, TheIconAsksForTheUsualPanelSizeBeforeItDocks) {
  TFakeTray tray(test::Server().Name());
  StartHost();
  AddIcon();
  ASSERT_TRUE(WaitUntil([&] { return tray.Docked().size() == 1; }));
  EXPECT_EQ(tray.SizeHints(tray.Docked()[0]), (std::vector<int>{22, 22, 22, 22}));
}

TEST_F(X11TrayHostTest, RestingThePointerOnTheIconShowsItsTipInTheProgramsOwnPopUp) {
  TFakeTray tray(test::Server().Name());
  StartHost();
  AddIcon();
  ASSERT_TRUE(WaitUntil([&] { return tray.Docked().size() == 1 && IconCentre().X > 0; }));
  const TPoint at = IconCentre();
  Client->MoveTo(at.X - 100, at.Y + 200);
  Client->MoveTo(at.X, at.Y);
  ASSERT_TRUE(WaitUntil([&] { return Host->Tips().Window() != nullptr; })) << "the tip shows";
  HWND tip = Host->Tips().Window();
  EXPECT_TRUE(IsWindowVisible(tip));
  TRect r;
  GetWindowRect(tip, &r);
  const TRect icon = *Host->IconRect(Owner, kIconId);
  EXPECT_GE(r.Top, icon.Bottom) << "below an icon at the top of the screen";
  // Leaving the icon takes it away.
  Client->MoveTo(at.X - 100, at.Y + 200);
  EXPECT_TRUE(WaitUntil([&] { return Host->Tips().Window() == nullptr; }));
  EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(X11TrayHostTest, ATrayThatComesLaterCountsAsANewTaskbar) {
  StartHost();
  AddIcon();
  WaitUntil([] { return false; }, 100);
  EXPECT_EQ(Host->IconRect(Owner, kIconId), std::nullopt);
  TFakeTray tray(test::Server().Name());
  // The owner hears TaskbarCreated, adds its icon again, and it docks.
  ASSERT_TRUE(WaitUntil([&] { return tray.Docked().size() == 1; }));
  EXPECT_EQ(TaskbarCreated, 1);
  EXPECT_EQ(shell::TrayIcons().size(), 1u);
}

}  // namespace
