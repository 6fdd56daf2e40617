#include <algorithm>
#include <atomic>
#include <thread>

#include "tests/platform/os/OsFixture.h"

namespace {

class WindowTest : public OsTest {
 protected:
  static void SetUpTestSuite() {
    WNDCLASS wc;
    wc.lpszClassName = "TestWindow";
    wc.lpfnWndProc = MakeWndProc([](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      Log().push_back({w, m, wp, lp});
      return DefWindowProc(w, m, wp, lp);
    });
    RegisterClass(wc);
  }
  static std::vector<TReceived>& Log() {
    static std::vector<TReceived> log;
    return log;
  }
  void SetUp() override { Log().clear(); }
  HWND Create(HWND parent = nullptr, DWORD style = 0) {
    return CreateWindowEx(0, "testwindow", "caption", style, 10, 20, 100, 50, parent, nullptr, nullptr, nullptr);
  }
};

TEST_F(WindowTest, HandlesOfDestroyedWindowsStayInvalidWhenSlotsAreReused) {
  HWND first = Create();
  ASSERT_TRUE(IsWindow(first));
  ASSERT_TRUE(DestroyWindow(first));
  EXPECT_FALSE(IsWindow(first));
  HWND second = Create();
  EXPECT_NE(first, second);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(SendMessage(first, WM_USER, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(PostMessage(first, WM_USER, 0, 0));
  EXPECT_FALSE(DestroyWindow(first));
  EXPECT_FALSE(IsWindow(nullptr));
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(0x12345678)));
  DestroyWindow(second);
}

TEST_F(WindowTest, CreationSendsNcCreateAndCreateAndUnknownClassFails) {
  HWND w = Create();
  ASSERT_GE(Log().size(), 3u);
  EXPECT_EQ(Log()[0].Msg, WM_NCCREATE);
  EXPECT_EQ(Log()[1].Msg, WM_NCCALCSIZE);
  EXPECT_EQ(Log()[2].Msg, WM_CREATE);
  EXPECT_EQ(GetClassName(w), "TestWindow");
  EXPECT_EQ(GetWindowText(w), "caption");
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
  DestroyWindow(w);
}

TEST_F(WindowTest, CreateRefusedByTheProcedureGivesNoWindow) {
  WNDCLASS wc;
  wc.lpszClassName = "Refusing";
  wc.lpfnWndProc = MakeWndProc([](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    return m == WM_CREATE ? -1 : DefWindowProc(w, m, wp, lp);
  });
  RegisterClass(wc);
  EXPECT_EQ(CreateWindowEx(0, "Refusing", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(RegisterClass(wc), 0) << "a class name is registered once";
  UnregisterClass("Refusing");
}

TEST_F(WindowTest, DestroySendsDestroyParentFirstAndNcDestroyChildrenFirst) {
  HWND parent = Create();
  HWND child = Create(parent, WS_CHILD);
  HWND grandchild = Create(child, WS_CHILD);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_TRUE(IsChild(parent, grandchild));
  Log().clear();
  DestroyWindow(parent);
  std::vector<std::pair<HWND, UINT>> seen;
  for (auto& r : Log()) seen.push_back({r.Wnd, r.Msg});
  std::vector<std::pair<HWND, UINT>> expected = {
      {parent, WM_DESTROY}, {child, WM_DESTROY}, {grandchild, WM_DESTROY},
      {grandchild, WM_NCDESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(grandchild));
}

TEST_F(WindowTest, OwnedWindowsGoWithTheirOwnerAndChildrenKeepZOrder) {
  HWND owner = Create();
  HWND owned = Create(owner);  // not a child: owned
  HWND a = Create(owner, WS_CHILD);
  HWND b = Create(owner, WS_CHILD);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetWindow(owner, GW_CHILD), b) << "the newest child is on top";
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDPREV), b);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowTest, CloseDestroysByDefaultAndDestroyingTwiceFromWithinIsHarmless) {
  HWND w = Create();
  SendMessage(w, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(w));

  HWND self = nullptr;
  int destroys = 0;
  self = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_DESTROY) {
      ++destroys;
      EXPECT_TRUE(IsWindow(self)) << "the window is still there during WM_DESTROY";
      EXPECT_FALSE(DestroyWindow(self));
    }
  });
  DeallocateHWnd(self);
  EXPECT_EQ(destroys, 1);
  EXPECT_FALSE(IsWindow(self));
}

TEST_F(WindowTest, SubclassingReplacesAndRestoresTheProcedure) {
  HWND w = RecordingWindow([](UINT m, WPARAM, LPARAM) -> LRESULT { return m == WM_USER ? 1 : 0; });
  WNDPROC previous;
  previous = SetWindowProc(w, MakeWndProc([&](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_USER + 1) return 42;
    return CallWindowProc(previous, h, m, wp, lp);
  }));
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 1);
  WNDPROC hook = SetWindowProc(w, previous);
  EXPECT_NE(hook, previous);
  EXPECT_EQ(GetWindowProc(w), previous);
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 0, 0), 0);
}

TEST_F(WindowTest, SubclassingThroughTheProcedureSlotOfTheWindowData) {
  HWND w = RecordingWindow([](UINT m, WPARAM, LPARAM) -> LRESULT { return m == WM_USER ? 5 : 0; });
  LONG_PTR original = GetWindowLongPtr(w, GWLP_WNDPROC);
  ASSERT_NE(original, 0);
  WNDPROC hook = MakeWndProc([original](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_USER + 1) return 9;
    return CallWindowProc(WndProcFromLong(original), h, m, wp, lp);
  });
  EXPECT_EQ(SetWindowLongPtr(w, GWLP_WNDPROC, WndProcToLong(hook)), original);
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 0, 0), 9);
  EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 5);
  SetWindowLongPtr(w, GWLP_WNDPROC, original);
  EXPECT_EQ(SendMessage(w, WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(SetWindowLongPtr(w, GWLP_WNDPROC, 12345), 0) << "a value that names no procedure is refused";
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_WNDPROC), original);
}

TEST_F(WindowTest, PropertiesDataAndRegisteredMessages) {
  HWND w = RecordingWindow();
  int value = 0;
  EXPECT_TRUE(SetProp(w, "Owner", reinterpret_cast<HANDLE>(&value)));
  EXPECT_EQ(GetProp(w, "OWNER"), reinterpret_cast<HANDLE>(&value));
  EXPECT_EQ(RemoveProp(w, "owner"), reinterpret_cast<HANDLE>(&value));
  EXPECT_EQ(GetProp(w, "Owner"), nullptr);
  SetWindowLongPtr(w, GWLP_USERDATA, 77);
  EXPECT_EQ(GetWindowLongPtr(w, GWLP_USERDATA), 77);

  UINT a = RegisterWindowMessage("TaskbarCreated");
  UINT b = RegisterWindowMessage("OtherMessage");
  EXPECT_GE(a, 0xC000u);
  EXPECT_GE(b, 0xC000u);
  EXPECT_NE(a, b);
  EXPECT_EQ(RegisterWindowMessage("taskbarcreated"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

TEST_F(WindowTest, SendFromAnotherThreadRunsOnTheWindowsThread) {
  DWORD handlerThread = 0;
  HWND w = RecordingWindow([&](UINT m, WPARAM wp, LPARAM) -> LRESULT {
    if (m != WM_USER) return 0;
    handlerThread = GetCurrentThreadId();
    return static_cast<LRESULT>(wp * 2);
  });
  LRESULT result = 0;
  std::thread sender([&] { result = SendMessage(w, WM_USER, 21, 0); });
  // The send waits until this thread looks at its queue.
  MSG msg;
  while (Received.empty()) {
    PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
    std::this_thread::yield();
  }
  sender.join();
  EXPECT_EQ(result, 42);
  EXPECT_EQ(handlerThread, GetCurrentThreadId());
}

TEST_F(WindowTest, ThreadsMaySendToEachOtherWhileHandlingASentMessage) {
  HWND mine = RecordingWindow([](UINT m, WPARAM, LPARAM) -> LRESULT { return m == WM_USER + 1 ? 7 : 0; });
  std::atomic<HWND> theirs{nullptr};
  std::atomic<DWORD> workerId{0};
  std::thread worker([&] {
    HWND w = AllocateHWnd([&](TMessage& m) {
      if (m.Msg == WM_USER) m.Result = SendMessage(mine, WM_USER + 1, 0, 0) + 1;  // sends back
    });
    workerId = GetCurrentThreadId();
    theirs = w;
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
    DeallocateHWnd(w);
  });
  while (!theirs) std::this_thread::yield();
  EXPECT_EQ(SendMessage(theirs, WM_USER, 0, 0), 8);
  PostThreadMessage(workerId, WM_QUIT, 0, 0);
  worker.join();
  EXPECT_FALSE(IsWindow(theirs));
}

}  // namespace
