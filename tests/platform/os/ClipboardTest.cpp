#include <cstring>

#include "platform/os/Clipboard.h"
#include "tests/platform/os/WindowFixture.h"

namespace {

class ClipboardTest : public WmTest {
 protected:
  ~ClipboardTest() override {
    os::SetClipboardBridge(nullptr);
    os::ResetClipboard();
  }
  static HGLOBAL Block(const void* data, size_t bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(h), data, bytes);
    GlobalUnlock(h);
    return h;
  }
  static std::string Narrow(HANDLE h) {
    std::string s = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
    return s;
  }
  static std::u16string Wide(HANDLE h) {
    std::u16string s = static_cast<const char16_t*>(GlobalLock(h));
    GlobalUnlock(h);
    return s;
  }
  // Puts UTF-8 text on the clipboard as CF_TEXT.
  void PutText(HWND owner, const std::string& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, Block(text.c_str(), text.size() + 1));
    CloseClipboard();
  }
};

TEST_F(ClipboardTest, TextRoundTripsBetweenItsNarrowAndWideForms) {
  HWND w = RecordingWindow();
  PutText(w, "广播 ok 😀");
  EXPECT_EQ(GetClipboardOwner(), w);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(Wide(GetClipboardData(CF_UNICODETEXT)), u"广播 ok 😀");
  EXPECT_EQ(Narrow(GetClipboardData(CF_TEXT)), "广播 ok 😀");
  CloseClipboard();
  // Wide text put on the clipboard reads back as UTF-8.
  ASSERT_TRUE(OpenClipboard(w));
  EmptyClipboard();
  const char16_t wide[] = u"定时";
  SetClipboardData(CF_UNICODETEXT, Block(wide, sizeof wide));
  EXPECT_EQ(Narrow(GetClipboardData(CF_TEXT)), "定时");
  CloseClipboard();
}

TEST_F(ClipboardTest, OneOpenerAtATimeAndRegisteredFormats) {
  HWND a = RecordingWindow();
  HWND b = RecordingWindow();
  ASSERT_TRUE(OpenClipboard(a));
  EXPECT_FALSE(OpenClipboard(b));
  EXPECT_EQ(GetOpenClipboardWindow(), a);
  UINT csv = RegisterClipboardFormat("Csv");
  EXPECT_GE(csv, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("csv"), csv);
  EXPECT_EQ(GetClipboardFormatName(csv), "Csv");
  EmptyClipboard();
  const char row[] = "a;b";
  SetClipboardData(csv, Block(row, sizeof row));
  SetClipboardData(CF_TEXT, Block(row, sizeof row));
  EXPECT_EQ(EnumClipboardFormats(0), csv);
  EXPECT_EQ(EnumClipboardFormats(csv), CF_TEXT);
  EXPECT_EQ(EnumClipboardFormats(CF_TEXT), 0u);
  CloseClipboard();
  EXPECT_FALSE(CloseClipboard()) << "not open";
  EXPECT_EQ(GetClipboardData(csv), nullptr) << "reading needs the clipboard open";
  EXPECT_TRUE(IsClipboardFormatAvailable(csv));
  DWORD sequence = GetClipboardSequenceNumber();
  ASSERT_TRUE(OpenClipboard(b));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_FALSE(IsClipboardFormatAvailable(csv));
  EXPECT_GT(GetClipboardSequenceNumber(), sequence);
}

class TBridge : public os::TClipboardBridge {
 public:
  void Publish(const std::string& Text) override { Published.push_back(Text); }
  std::optional<std::string> ExternalText() override { return External; }
  std::vector<std::string> Published;
  std::optional<std::string> External;
};

TEST_F(ClipboardTest, TheDesktopBridgeGetsTheProgramsTextAndLendsItsOwn) {
  TBridge bridge;
  os::SetClipboardBridge(&bridge);
  HWND w = RecordingWindow();
  PutText(w, "歌曲");
  EXPECT_EQ(bridge.Published, std::vector<std::string>{"歌曲"});
  // Another program copies: the program's own contents go, reading asks the desktop.
  bridge.External = "from elsewhere";
  os::ClipboardLost();
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_EQ(Narrow(GetClipboardData(CF_TEXT)), "from elsewhere");
  CloseClipboard();
  EXPECT_EQ(bridge.Published.size(), 1u) << "reading publishes nothing";
}

TEST_F(ClipboardTest, GlobalBlocksAreCheckedHandles) {
  HGLOBAL h = GlobalAlloc(GHND, 16);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 16u);
  auto* p = static_cast<unsigned char*>(GlobalLock(h));
  EXPECT_EQ(p[15], 0) << "zeroed";
  p[0] = 7;
  EXPECT_EQ(static_cast<void*>(p), static_cast<void*>(h)) << "the handle is the block, as fixed memory is";
  EXPECT_TRUE(GlobalUnlock(h) == FALSE && GetLastError() == ERROR_SUCCESS);
  HGLOBAL bigger = GlobalReAlloc(h, 32, GMEM_ZEROINIT);
  ASSERT_NE(bigger, nullptr);
  EXPECT_EQ(GlobalSize(bigger), 32u);
  EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(bigger))[0], 7);
  GlobalUnlock(bigger);
  EXPECT_EQ(GlobalFree(bigger), nullptr);
  int local = 0;
  HGLOBAL foreign = reinterpret_cast<HGLOBAL>(&local);
  EXPECT_EQ(GlobalLock(foreign), nullptr);
  EXPECT_EQ(GlobalSize(bigger), 0u) << "a freed block is no block";
  EXPECT_EQ(GlobalFree(foreign), foreign);
}

}  // namespace
