#include "platform/controls/Forms.h"

#include <iostream>

#include "platform/rtl/Files.h"

TApplication* Application = nullptr;

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  FHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
  if (!Application) Application = this;
}

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
  DeallocateHWnd(FHandle);
}

void TApplication::WndProc(TMessage& Message) {
  try {
    Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::Run() {
  do {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  } while (!FTerminate);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg) && DoIdle() && !FTerminate) WaitMessage();
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminate = true;
    return true;
  }
  bool handled = false;
  if (OnMessage) OnMessage(Msg, handled);
  if (!handled) {
    TranslateMessage(&Msg);
    DispatchMessage(&Msg);
  }
  return true;
}

bool TApplication::DoIdle() {
  bool done = true;
  if (OnIdle) OnIdle(this, done);
  return done;
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  auto report = [&](const Exception& e) {
    if (OnException) OnException(Sender, e);
    else ShowException(e);
  };
  try {
    std::rethrow_exception(current);
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    report(e);
  } catch (const std::exception& e) {
    report(Exception(e.what()));
  } catch (...) {
    report(Exception("Unknown exception"));
  }
}

void TApplication::ShowException(const Exception& E) {
  std::string message = E.Message();
  if (!message.empty() && message.back() != '.') message += '.';
  std::cerr << (FTitle.empty() ? std::string("Exception") : FTitle) << ": " << message << std::endl;
}

std::string TApplication::ExeName() const { return rtl::ExePath(); }
