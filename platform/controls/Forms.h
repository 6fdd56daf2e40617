#pragma once
// The application object: the message loop of the GUI thread, idle processing, the title and
// the handler for exceptions that nothing else caught.
#include <functional>
#include <string>

#include "platform/classes/Component.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Window.h"

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;

class TApplication : public TComponent {
 public:
  // The first application made becomes the global Application.
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize() {}
  // Handles messages until Terminated; an exception escaping a message goes to HandleException.
  void Run();
  // Handles every message that is there now, then returns (no idle processing, no waiting).
  void ProcessMessages();
  // Handles one message, or when there is none, runs the idle processing and waits for one.
  void HandleMessage();
  // Takes one message off the queue and dispatches it; false when there was none. WM_QUIT
  // marks the application terminated.
  bool ProcessMessage(MSG& Msg);
  // Idle processing once: OnIdle; returns its Done (true unless the handler wants more calls).
  bool DoIdle();
  // Asks the loop to end (posts the quit request); Terminated turns true when it is handled.
  void Terminate();
  bool Terminated() const { return FTerminate; }

  // Handles the exception being caught (call from a catch block): EAbort is silent; otherwise
  // OnException when assigned, else ShowException.
  void HandleException(TObject* Sender);
  // Writes the message to standard error (there is no message box in this layer).
  void ShowException(const Exception& E);

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  // The executable's full path.
  std::string ExeName() const;
  // The application's hidden window.
  HWND Handle() const { return FHandle; }

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;

 private:
  void WndProc(TMessage& Message);

  bool FTerminate = false;
  std::string FTitle;
  HWND FHandle = nullptr;
};

extern TApplication* Application;
