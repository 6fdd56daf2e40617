#pragma once
// The desktop's CLIPBOARD selection as the program's clipboard bridge (text only). Text the
// program puts on its clipboard is offered to other X clients as UTF8_STRING, TEXT and STRING
// (TARGETS lists them); text another client owns is fetched when the program reads its
// clipboard, waiting a bounded time for the owner to answer (large texts arrive in INCR
// chunks). When another client takes the selection, the program's own contents are dropped on
// the GUI thread, so its next read asks the desktop.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/backends/GuiCalls.h"
#include "platform/backends/X11Display.h"
#include "platform/os/Clipboard.h"

namespace backends {

class TX11Clipboard : public os::TClipboardBridge {
 public:
  // Made on the GUI thread (it gets a window there for the notices of lost ownership).
  explicit TX11Clipboard(TX11Display& Display, std::chrono::milliseconds ReadTimeout = std::chrono::milliseconds(1500));
  ~TX11Clipboard() override;

  void Publish(const std::string& Text) override;
  std::optional<std::string> ExternalText() override;

 private:
  bool HandleEvent(_XEvent& Event);
  void AnswerRequest(_XEvent& Event);
  void TakeReply(_XEvent& Event);
  void TakeChunk(_XEvent& Event);
  void Finish(std::optional<std::string> Text);

  TX11Display& FDisplay;
  std::chrono::milliseconds FTimeout;
  XWindow FWindow = 0;
  TGuiCalls FGui;
  int FSink = 0;
  XAtom FClipboard, FTargets, FUtf8, FText, FString, FIncr, FProperty, FTimestamp, FAtomType;

  // Guarded by FLock: what we offer, and the read in progress.
  std::mutex FLock;
  std::condition_variable FDone;
  bool FOwned = false;
  std::string FOffered;
  unsigned long FOwnedSince = 0;
  enum class TRead { Idle, Waiting, Incremental, Finished } FRead = TRead::Idle;
  XAtom FAsked = 0;
  std::string FChunks;
  XAtom FChunkType = 0;
  std::optional<std::string> FResult;
};

}  // namespace backends
