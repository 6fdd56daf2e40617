#pragma once
// A connection to an X display shared by the X11 presenter, the tray host and the clipboard.
// A reader thread of its own sleeps on the connection (and a wake-up pipe) and hands every
// event to the sinks registered here, with the display locked; the GUI thread draws and
// changes windows through the same connection under TLock. Nothing ever polls: the reader
// wakes when the server writes or when another thread left events in Xlib's queue.
//
// Sinks run on the reader thread. They must not wait for the GUI thread (no SendMessage):
// they hand work over with PostMessage or os::PostInput.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct _XDisplay;
union _XEvent;

namespace backends {

// Makes Xlib safe for use from several threads; done by Open, and needed before any other
// Xlib call of the process (tests that open connections of their own call it first).
void InitXThreads();

// X resource identifiers and atoms, as Xlib has them (without its macros in our headers).
using XWindow = unsigned long;
using XAtom = unsigned long;

class TX11Display {
 public:
  // Opens the display (empty: the one $DISPLAY names); nullptr when there is none.
  static std::unique_ptr<TX11Display> Open(const std::string& Name = "");
  ~TX11Display();
  TX11Display(const TX11Display&) = delete;
  TX11Display& operator=(const TX11Display&) = delete;

  _XDisplay* Get() const { return FDisplay; }
  int Screen() const { return FScreen; }
  XWindow Root() const { return FRoot; }
  // The atom of a name (made when missing), remembered after the first request.
  XAtom Atom(const std::string& Name);

  // Holds the display for a sequence of requests from any thread; on release the requests are
  // flushed and the reader is woken if replies brought events into Xlib's queue meanwhile.
  class TLock {
   public:
    explicit TLock(TX11Display& Display);
    ~TLock();
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

   private:
    TX11Display& FOwner;
  };

  // An event sink answers true when the event was its own; the first that does ends the round.
  using TSink = std::function<bool(_XEvent&)>;
  int AddSink(TSink Sink);
  void RemoveSink(int Id);

  // Adds to the events this connection selects on a window (the tray and the presenter both
  // listen on the root window). Call with the display locked.
  void AddEventMask(XWindow Window, long Mask);

  // Draws Width x Height pixels (0xAARRGGBB words, Stride words a row, alpha ignored) at
  // (X, Y) of a window or pixmap of the default visual. Call with the display locked.
  void PutPixels(XWindow Drawable, void* Gc, const uint32_t* Pixels, int Stride, int Width, int Height, int X, int Y);

  // The server time of the last event that carried one (for selections and focus).
  unsigned long LastEventTime() const { return FLastTime.load(); }

 private:
  TX11Display(_XDisplay* Display);
  void Run();
  void Wake();
  void Dispatch(_XEvent& Event);

  _XDisplay* FDisplay = nullptr;
  int FScreen = 0;
  XWindow FRoot = 0;
  int FWakeRead = -1;
  int FWakeWrite = -1;
  std::atomic<bool> FStopping{false};
  std::atomic<unsigned long> FLastTime{0};
  std::mutex FAtomLock;
  std::map<std::string, XAtom> FAtoms;
  std::map<int, TSink> FSinks;  // guarded by the display lock
  int FNextSink = 1;
  std::thread FReader;
};

}  // namespace backends
