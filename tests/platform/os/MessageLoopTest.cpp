#include <atomic>
#include <chrono>
#include <thread>

#include "tests/platform/os/OsFixture.h"

namespace {

using MessageLoopTest = OsTest;

TEST_F(MessageLoopTest, SendRunsAtOncePostWaitsForTheLoopInOrder) {
  HWND w = RecordingWindow([](UINT m, WPARAM wp, LPARAM) -> LRESULT { return m == WM_USER ? wp + 1 : 0; });
  EXPECT_EQ(SendMessage(w, WM_USER, 4, 0), 5);
  EXPECT_EQ(Messages(), std::vector<UINT>{WM_USER});
  Received.clear();
  EXPECT_TRUE(PostMessage(w, WM_USER + 1, 0, 0));
  EXPECT_TRUE(PostMessage(w, WM_USER + 2, 0, 0));
  EXPECT_TRUE(Received.empty());
  EXPECT_EQ(Pump(), 2);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST_F(MessageLoopTest, PeekFiltersByWindowAndRangeAndCanLeaveTheMessage) {
  HWND a = RecordingWindow();
  HWND b = RecordingWindow();
  PostMessage(a, WM_USER + 1, 1, 0);
  PostMessage(b, WM_USER + 2, 2, 0);
  PostMessage(a, WM_APP, 3, 0);
  PostThreadMessage(GetCurrentThreadId(), WM_USER + 3, 4, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  ASSERT_TRUE(PeekMessage(&msg, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  EXPECT_FALSE(PeekMessage(&msg, b, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  ASSERT_TRUE(PeekMessage(&msg, HWND_THREAD_ONLY, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.wParam, 4u);
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 1u);
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageLoopTest, QuitComesAfterPostedMessagesAndPassesAnyFilter) {
  HWND w = RecordingWindow();
  PostQuitMessage(3);
  PostMessage(w, WM_USER, 0, 0);
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_FALSE(GetMessage(&msg, w, WM_USER, WM_USER));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) << "the quit request is taken once";
}

TEST_F(MessageLoopTest, MessagesOfADestroyedWindowAreDropped) {
  HWND w = RecordingWindow();
  PostMessage(w, WM_USER, 0, 0);
  DestroyWindow(w);
  MSG msg;
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageLoopTest, PostFromAnotherThreadWakesABlockedGetMessage) {
  rtl::SetClock(nullptr);  // real time: the loop really blocks
  HWND w = RecordingWindow();
  std::atomic<bool> go{false};
  std::thread poster([&] {
    while (!go) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessage(w, WM_USER + 7, 0, 0);
  });
  go = true;
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  poster.join();
  EXPECT_EQ(msg.message, WM_USER + 7u);
  EXPECT_EQ(msg.hwnd, w);
}

TEST_F(MessageLoopTest, PostThreadMessageToAThreadWithoutQueueFails) {
  EXPECT_FALSE(PostThreadMessage(0x7FFFFFF0, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
}

TEST_F(MessageLoopTest, ExceptionInAProcedureReachesTheDispatcher) {
  HWND w = RecordingWindow([](UINT m, WPARAM, LPARAM) -> LRESULT {
    if (m == WM_USER) throw EInvalidOperation("boom");
    return 0;
  });
  PostMessage(w, WM_USER, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_THROW(DispatchMessage(&msg), EInvalidOperation);
  EXPECT_TRUE(IsWindow(w));
}

}  // namespace
