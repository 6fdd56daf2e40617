#include "platform/backends/X11Clipboard.h"

#include <climits>

#include "platform/rtl/Strings.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace backends {

namespace {

std::string Latin1ToUtf8(const std::string& s) {
  std::string out;
  for (unsigned char c : s) rtl::AppendUtf8(out, c);
  return out;
}

// STRING is Latin-1: characters beyond it become '?'.
std::string Utf8ToLatin1(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    char32_t c = rtl::NextCodePoint(s, i);
    out += c <= 0xFF ? static_cast<char>(c) : '?';
  }
  return out;
}

// Reads and deletes a property of ours; the bytes and their type.
bool TakeProperty(Display* d, Window w, Atom property, std::string* bytes, Atom* type) {
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, property, 0, LONG_MAX / 4, True, AnyPropertyType, type, &format, &count, &after,
                         &data) != Success)
    return false;
  bytes->assign(reinterpret_cast<const char*>(data), data ? count * static_cast<unsigned long>(format / 8) : 0);
  if (data) XFree(data);
  return true;
}

}  // namespace

TX11Clipboard::TX11Clipboard(TX11Display& display, std::chrono::milliseconds timeout)
    : FDisplay(display), FTimeout(timeout) {
  FClipboard = display.Atom("CLIPBOARD");
  FTargets = display.Atom("TARGETS");
  FUtf8 = display.Atom("UTF8_STRING");
  FText = display.Atom("TEXT");
  FString = XA_STRING;
  FIncr = display.Atom("INCR");
  FProperty = display.Atom("OSTROVEL_CLIPBOARD");
  FTimestamp = display.Atom("TIMESTAMP");
  FAtomType = XA_ATOM;
  {
    TX11Display::TLock lock(display);
    Display* d = display.Get();
    FWindow = XCreateSimpleWindow(d, display.Root(), -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(d, FWindow, PropertyChangeMask);
  }
  FSink = display.AddSink([this](XEvent& e) { return HandleEvent(e); });
}

TX11Clipboard::~TX11Clipboard() {
  FDisplay.RemoveSink(FSink);
  TX11Display::TLock lock(FDisplay);
  XDestroyWindow(FDisplay.Get(), FWindow);
}

void TX11Clipboard::Publish(const std::string& text) {
  {
    std::lock_guard<std::mutex> g(FLock);
    FOffered = text;
    FOwned = true;
  }
  TX11Display::TLock lock(FDisplay);
  Display* d = FDisplay.Get();
  unsigned long time = FDisplay.LastEventTime();
  XSetSelectionOwner(d, FClipboard, FWindow, time);
  const bool owned = XGetSelectionOwner(d, FClipboard) == FWindow;
  std::lock_guard<std::mutex> g(FLock);
  FOwned = owned;
  FOwnedSince = time;
}

std::optional<std::string> TX11Clipboard::ExternalText() {
  {
    std::lock_guard<std::mutex> g(FLock);
    if (FOwned) return FOffered;
  }
  {
    TX11Display::TLock lock(FDisplay);
    if (XGetSelectionOwner(FDisplay.Get(), FClipboard) == 0) return std::nullopt;
  }
  for (XAtom target : {FUtf8, FString}) {
    std::unique_lock<std::mutex> g(FLock);
    FRead = TRead::Waiting;
    FAsked = target;
    FResult.reset();
    FChunks.clear();
    g.unlock();
    {
      TX11Display::TLock lock(FDisplay);
      XDeleteProperty(FDisplay.Get(), FWindow, FProperty);
      XConvertSelection(FDisplay.Get(), FClipboard, target, FProperty, FWindow, FDisplay.LastEventTime());
    }
    g.lock();
    const bool answered = FDone.wait_for(g, FTimeout, [this] { return FRead == TRead::Finished; });
    FRead = TRead::Idle;
    // An owner that does not answer in time gets no second question.
    if (!answered) return std::nullopt;
    if (FResult) return FResult;
  }
  return std::nullopt;
}

bool TX11Clipboard::HandleEvent(XEvent& e) {
  switch (e.type) {
    case SelectionRequest:
      if (e.xselectionrequest.owner != FWindow || e.xselectionrequest.selection != FClipboard) return false;
      AnswerRequest(e);
      return true;
    case SelectionClear: {
      if (e.xselectionclear.window != FWindow || e.xselectionclear.selection != FClipboard) return false;
      // A clear from before we took the selection again changes nothing.
      if (XGetSelectionOwner(FDisplay.Get(), FClipboard) == FWindow) return true;
      {
        std::lock_guard<std::mutex> g(FLock);
        FOwned = false;
        FOffered.clear();
      }
      FGui.Post([] { os::ClipboardLost(); });
      return true;
    }
    case SelectionNotify:
      if (e.xselection.requestor != FWindow) return false;
      TakeReply(e);
      return true;
    case PropertyNotify:
      if (e.xproperty.window != FWindow) return false;
      if (e.xproperty.atom == FProperty && e.xproperty.state == PropertyNewValue) TakeChunk(e);
      return true;
    default:
      return false;
  }
}

void TX11Clipboard::AnswerRequest(XEvent& e) {
  Display* d = FDisplay.Get();
  const XSelectionRequestEvent& r = e.xselectionrequest;
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = d;
  reply.xselection.requestor = r.requestor;
  reply.xselection.selection = r.selection;
  reply.xselection.target = r.target;
  reply.xselection.time = r.time;
  // Old clients name no property: the target's name serves.
  Atom property = r.property ? r.property : r.target;
  std::string text;
  bool owned = false;
  unsigned long since = 0;
  {
    std::lock_guard<std::mutex> g(FLock);
    owned = FOwned;
    text = FOffered;
    since = FOwnedSince;
  }
  // A text too large for one request is refused rather than cut.
  const size_t limit = static_cast<size_t>(XExtendedMaxRequestSize(d) ? XExtendedMaxRequestSize(d) : XMaxRequestSize(d)) * 4 - 1024;
  bool answered = owned && (r.time == CurrentTime || r.time >= since);
  if (answered) {
    if (r.target == FTargets) {
      Atom targets[] = {FTargets, FTimestamp, FUtf8, FText, FString};
      XChangeProperty(d, r.requestor, property, FAtomType, 32, PropModeReplace, reinterpret_cast<unsigned char*>(targets), 5);
    } else if (r.target == FTimestamp) {
      long stamp = static_cast<long>(since);
      XChangeProperty(d, r.requestor, property, XA_INTEGER, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&stamp), 1);
    } else if ((r.target == FUtf8 || r.target == FText || r.target == FString) && text.size() < limit) {
      const bool latin1 = r.target == FString;
      const std::string bytes = latin1 ? Utf8ToLatin1(text) : text;
      XChangeProperty(d, r.requestor, property, latin1 ? FString : FUtf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    } else {
      answered = false;
    }
  }
  reply.xselection.property = answered ? property : 0;
  XSendEvent(d, r.requestor, False, NoEventMask, &reply);
}

void TX11Clipboard::TakeReply(XEvent& e) {
  {
    std::lock_guard<std::mutex> g(FLock);
    if (FRead != TRead::Waiting || e.xselection.target != FAsked) return;
  }
  if (e.xselection.property == 0) return Finish(std::nullopt);
  std::string bytes;
  Atom type = 0;
  if (!TakeProperty(FDisplay.Get(), FWindow, FProperty, &bytes, &type)) return Finish(std::nullopt);
  if (type == FIncr) {
    // Deleting the INCR property (done above) asks the owner for the first chunk.
    std::lock_guard<std::mutex> g(FLock);
    FRead = TRead::Incremental;
    FChunks.clear();
    FChunkType = 0;
    return;
  }
  Finish(type == FString ? Latin1ToUtf8(bytes) : bytes);
}

void TX11Clipboard::TakeChunk(XEvent&) {
  {
    std::lock_guard<std::mutex> g(FLock);
    if (FRead != TRead::Incremental) return;
  }
  std::string bytes;
  Atom type = 0;
  if (!TakeProperty(FDisplay.Get(), FWindow, FProperty, &bytes, &type)) return Finish(std::nullopt);
  std::unique_lock<std::mutex> g(FLock);
  if (!bytes.empty()) {
    FChunks += bytes;
    FChunkType = type;
    return;
  }
  // The empty chunk ends the transfer.
  std::string all = FChunkType == FString ? Latin1ToUtf8(FChunks) : FChunks;
  g.unlock();
  Finish(std::move(all));
}

void TX11Clipboard::Finish(std::optional<std::string> text) {
  std::lock_guard<std::mutex> g(FLock);
  FResult = std::move(text);
  FRead = TRead::Finished;
  FDone.notify_all();
}

}  // namespace backends
