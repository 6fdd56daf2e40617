#include "platform/backends/X11Clipboard.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "X11Fixture.h"
#include "platform/os/Clipboard.h"
#include "platform/os/GlobalMemory.h"

#include "XlibHeaders.h"

namespace {

using namespace std::chrono_literals;

// The program's clipboard text through the clipboard calls, as the program reads it.
std::string ProgramText() {
  if (!OpenClipboard(nullptr)) return "<not opened>";
  std::string text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

void SetProgramText(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

// Another program on the display reading the CLIPBOARD selection as the given target.
struct TReply {
  bool Answered = false;
  Atom Type = 0;
  std::string Bytes;
};
TReply ReadSelection(test::TXClient& client, const char* target) {
  Display* d = client.Get();
  Window w = XCreateSimpleWindow(d, client.Root(), 0, 0, 1, 1, 0, 0, 0);
  Atom property = XInternAtom(d, "READ_HERE", False);
  XConvertSelection(d, XInternAtom(d, "CLIPBOARD", False), XInternAtom(d, target, False), property, w, CurrentTime);
  XFlush(d);
  TReply reply;
  auto deadline = std::chrono::steady_clock::now() + 3s;
  XEvent e;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!XCheckTypedWindowEvent(d, w, SelectionNotify, &e)) {
      std::this_thread::sleep_for(2ms);
      continue;
    }
    if (e.xselection.property) {
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      XGetWindowProperty(d, w, property, 0, 1 << 20, True, AnyPropertyType, &reply.Type, &format, &count, &after, &data);
      reply.Answered = true;
      // Xlib hands 32-bit items over as longs.
      const size_t item = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
      reply.Bytes.assign(reinterpret_cast<char*>(data), count * item);
      XFree(data);
    }
    break;
  }
  XDestroyWindow(d, w);
  return reply;
}

// Another program owning the selection; a silent one never answers, an incremental one sends
// its text in chunks of ChunkBytes (the INCR protocol).
class TOtherOwner {
 public:
  enum TMode { Answers, Silent, Incremental };
  static constexpr size_t ChunkBytes = 1000;

  TOtherOwner(backends::TX11Display& display, std::string text, TMode mode = Answers)
      : FDisplay(display), FText(std::move(text)), FMode(mode) {
    backends::TX11Display::TLock lock(display);
    Display* d = display.Get();
    FWindow = XCreateSimpleWindow(d, display.Root(), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(d, display.Atom("CLIPBOARD"), FWindow, CurrentTime);
    XSync(d, False);  // the server knows the owner before the program asks
    FSink = display.AddSink([this](XEvent& e) {
      if (e.type == PropertyNotify && e.xproperty.window == FRequestor && e.xproperty.atom == FProperty &&
          e.xproperty.state == PropertyDelete) {
        SendChunk();
        return true;
      }
      if (e.type != SelectionRequest || e.xselectionrequest.owner != FWindow) return false;
      if (FMode != Silent) Answer(e.xselectionrequest);
      return true;
    });
  }
  ~TOtherOwner() { FDisplay.RemoveSink(FSink); }

 private:
  void Answer(const XSelectionRequestEvent& r) {
    Display* d = FDisplay.Get();
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = r.requestor;
    reply.xselection.selection = r.selection;
    reply.xselection.target = r.target;
    reply.xselection.time = r.time;
    reply.xselection.property = 0;
    if (r.target == FDisplay.Atom("UTF8_STRING") && FMode == Incremental) {
      // The size goes first; every deletion of the property by the reader asks for the next chunk.
      FRequestor = r.requestor;
      FProperty = r.property;
      FSent = 0;
      XSelectInput(d, r.requestor, PropertyChangeMask);
      long size = static_cast<long>(FText.size());
      Atom incr = FDisplay.Atom("INCR");
      XChangeProperty(d, r.requestor, r.property, incr, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&size), 1);
      reply.xselection.property = r.property;
    } else if (r.target == FDisplay.Atom("UTF8_STRING")) {
      XChangeProperty(d, r.requestor, r.property, r.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(FText.data()), static_cast<int>(FText.size()));
      reply.xselection.property = r.property;
    }
    XSendEvent(d, r.requestor, False, NoEventMask, &reply);
  }

  void SendChunk() {
    if (FSent > FText.size()) return;  // the closing empty chunk went already
    const size_t n = std::min(ChunkBytes, FText.size() - FSent);
    XChangeProperty(FDisplay.Get(), FRequestor, FProperty, FDisplay.Atom("UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(FText.data() + FSent), static_cast<int>(n));
    FSent += n ? n : 1;
  }

  backends::TX11Display& FDisplay;
  std::string FText;
  TMode FMode;
  Window FWindow = 0;
  Window FRequestor = 0;
  Atom FProperty = 0;
  size_t FSent = 0;
  int FSink = 0;
};

class X11ClipboardTest : public test::X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Clipboard = std::make_unique<backends::TX11Clipboard>(*ProgramDisplay, 400ms);
    os::SetClipboardBridge(Clipboard.get());
  }
  void TearDown() override {
    os::SetClipboardBridge(nullptr);
    os::ResetClipboard();
    Clipboard.reset();
    X11Test::TearDown();
  }
  std::unique_ptr<backends::TX11Clipboard> Clipboard;
};

TEST_F(X11ClipboardTest, TextPutOnTheClipboardIsOfferedToOtherPrograms) {
  SetProgramText("Привет, shop");
  TReply utf8 = ReadSelection(*Client, "UTF8_STRING");
  ASSERT_TRUE(utf8.Answered);
  EXPECT_EQ(utf8.Bytes, "Привет, shop");
  EXPECT_EQ(ReadSelection(*Client, "TEXT").Bytes, "Привет, shop");
  // STRING is Latin-1: what it cannot hold becomes '?'.
  EXPECT_EQ(ReadSelection(*Client, "STRING").Bytes, "??????, shop");
  TReply targets = ReadSelection(*Client, "TARGETS");
  ASSERT_TRUE(targets.Answered);
  EXPECT_EQ(targets.Type, XA_ATOM);
  const Atom* atoms = reinterpret_cast<const Atom*>(targets.Bytes.data());
  std::vector<Atom> offered(atoms, atoms + targets.Bytes.size() / sizeof(Atom));
  for (const char* name : {"UTF8_STRING", "TEXT", "STRING"})
    EXPECT_NE(std::find(offered.begin(), offered.end(), XInternAtom(Client->Get(), name, False)), offered.end()) << name;
  // A target the program does not offer is refused.
  EXPECT_FALSE(ReadSelection(*Client, "image/png").Answered);
}

TEST_F(X11ClipboardTest, TextOfAnotherProgramIsReadOnceItTookTheClipboard) {
  SetProgramText("ours");
  auto other = backends::TX11Display::Open(test::Server().Name());
  TOtherOwner owner(*other, "theirs – 他们的");
  // The program's own text is dropped when it loses the selection; reading then asks the owner.
  EXPECT_TRUE(WaitUntil([] { return ProgramText() == "theirs – 他们的"; }));
  EXPECT_TRUE(OpenClipboard(nullptr));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  CloseClipboard();
}

TEST_F(X11ClipboardTest, AnOwnerThatNeverAnswersGivesNoTextInsteadOfAHang) {
  auto other = backends::TX11Display::Open(test::Server().Name());
  TOtherOwner silent(*other, "never sent", TOtherOwner::Silent);
  WaitUntil([] { return false; }, 100);
  EXPECT_EQ(Clipboard->ExternalText(), std::nullopt);
}

TEST_F(X11ClipboardTest, ALargeTextArrivesInChunksWhole) {
  std::string text;
  for (int i = 0; text.size() < 5 * TOtherOwner::ChunkBytes + 123; ++i) text += "строка " + std::to_string(i) + "\n";
  auto other = backends::TX11Display::Open(test::Server().Name());
  TOtherOwner owner(*other, text, TOtherOwner::Incremental);
  std::optional<std::string> read = Clipboard->ExternalText();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->size(), text.size());
  EXPECT_TRUE(*read == text);
}

TEST_F(X11ClipboardTest, NoOwnerMeansNoText) { EXPECT_EQ(Clipboard->ExternalText(), std::nullopt); }

}  // namespace
