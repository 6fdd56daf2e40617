// The player's entry point: one instance per user, its three windows, a message loop until the
// main window closes or SIGINT or SIGTERM arrives.
#include <pthread.h>
#include <signal.h>

#include <thread>

#include "app/Locale.h"
#include "app/Unit1.h"
#include "app/option.h"
#include "app/week.h"
#include "platform/backends/Startup.h"
#include "platform/controls/Forms.h"
#include "platform/os/Mutex.h"

int main() {
  // Termination signals are taken by a waiting thread that asks the loop to quit; blocking them
  // here first makes every thread started later inherit the mask.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGUSR1);  // ends the waiting thread when the loop ended by itself
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  HANDLE instance = CreateMutex(nullptr, FALSE, "Ostrovel1");
  if (instance && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(instance);
    return 0;
  }

  {
    TApplication application(nullptr);
    Application = &application;
    application.Initialize();
    application.SetTitle("Ostrovel");
    app::UseProgramDateFormats(FormatSettings(), rtl::ProcessLocaleName());
    // The desktop when there is one (its threads inherit the blocked signals), else headless.
    backends::StartPresenter();

    DWORD guiThread = GetCurrentThreadId();
    std::thread signalWaiter([&signals, guiThread] {
      int received = 0;
      if (sigwait(&signals, &received) == 0 && received != SIGUSR1) PostThreadMessage(guiThread, WM_QUIT, 0, 0);
    });

    // The main window (hidden, in the tray), the options window and the weekday picker.
    application.CreateForm(Form1);
    application.CreateForm(Form2);
    application.CreateForm(Form3);
    application.Run();

    pthread_kill(signalWaiter.native_handle(), SIGUSR1);
    signalWaiter.join();
    // The windows go while the presenter still shows them.
  }
  backends::StopPresenter();
  if (instance) CloseHandle(instance);
  return 0;
}
