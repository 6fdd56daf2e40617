#include "tests/support/HeadlessApp.h"

namespace {

using test::HeadlessTest;

TEST_F(HeadlessTest, TerminateEndsRunAfterThePendingMessages) {
  int handled = 0;
  HWND w = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_USER) ++handled;
  });
  PostMessage(w, WM_USER, 0, 0);
  Application->Terminate();
  EXPECT_FALSE(Application->Terminated()) << "terminated once the quit request is handled";
  PostMessage(w, WM_USER, 0, 0);
  Application->Run();
  EXPECT_EQ(handled, 2);
  EXPECT_TRUE(Application->Terminated());
  DeallocateHWnd(w);
}

TEST_F(HeadlessTest, OnMessageSeesMessagesFirstAndCanHandleThem) {
  int reachedWindow = 0;
  HWND w = AllocateHWnd([&](TMessage& m) {
    if (m.Msg >= WM_USER) ++reachedWindow;
  });
  std::vector<UINT> seen;
  Application->OnMessage = [&](MSG& msg, bool& handled) {
    seen.push_back(msg.message);
    handled = msg.message == WM_USER + 1;
  };
  PostMessage(w, WM_USER, 0, 0);
  PostMessage(w, WM_USER + 1, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(seen, (std::vector<UINT>{WM_USER, WM_USER + 1}));
  EXPECT_EQ(reachedWindow, 1);
  DeallocateHWnd(w);
}

TEST_F(HeadlessTest, OnIdleRunsWhenTheQueueIsEmpty) {
  int idle = 0;
  Application->OnIdle = [&](TObject* sender, bool& done) {
    EXPECT_EQ(sender, Application);
    ++idle;
    done = true;
  };
  App.RunFor(10);
  EXPECT_GE(idle, 1);
}

TEST_F(HeadlessTest, HandleExceptionGoesToOnExceptionAndEAbortIsSilent) {
  std::vector<std::string> reported;
  Application->OnException = [&](TObject*, const Exception& e) { reported.push_back(e.Message()); };
  auto raise = [](auto exception) {
    try {
      throw exception;
    } catch (...) {
      Application->HandleException(Application);
    }
  };
  raise(EConvertError("bad number"));
  raise(EAbort("quiet"));
  raise(std::runtime_error("plain"));
  EXPECT_EQ(reported, (std::vector<std::string>{"bad number", "plain"}));
}

TEST_F(HeadlessTest, WithoutOnExceptionTheMessageGoesToStandardError) {
  testing::internal::CaptureStderr();
  try {
    throw EInOutError("File not found");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  std::string written = testing::internal::GetCapturedStderr();
  EXPECT_NE(written.find("File not found"), std::string::npos);
}

TEST_F(HeadlessTest, AnExceptionEscapingAMessageDoesNotEndRun) {
  std::vector<std::string> reported;
  Application->OnException = [&](TObject*, const Exception& e) { reported.push_back(e.Message()); };
  HWND w = AllocateHWnd([&](TMessage& m) {
    if (m.Msg == WM_USER) throw EInvalidOperation("broken handler");
    if (m.Msg == WM_USER + 1) Application->Terminate();
  });
  PostMessage(w, WM_USER, 0, 0);
  PostMessage(w, WM_USER + 1, 0, 0);
  Application->Run();
  EXPECT_EQ(reported, std::vector<std::string>{"broken handler"});
  DeallocateHWnd(w);
}

TEST_F(HeadlessTest, ExeNameIsTheExecutablePathTheTestChose) {
  EXPECT_EQ(Application->ExeName(), App.ExePath());
}

}  // namespace
