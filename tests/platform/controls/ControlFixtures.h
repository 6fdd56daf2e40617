#pragma once
// Small controls for the tests of the control classes: a container window, a windowed control
// and a graphic control that log what they receive and paint themselves in one colour, and a
// test with a headless application, a borderless form to put them on and synthetic input.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/os/Presenter.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"

inline void PrintTo(const TRect& R, std::ostream* Os) {
  *Os << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")";
}
inline void PrintTo(const TPoint& P, std::ostream* Os) { *Os << "(" << P.X << ", " << P.Y << ")"; }

namespace ctltest {

// One line of the shared log: who received which message.
struct TLogEntry {
  std::string Who;
  UINT Msg;
};
std::vector<TLogEntry>& Log();
// The messages of one control in the log, only those listed when given.
std::vector<UINT> MessagesOf(const std::string& Who, const std::vector<UINT>& Only = {});

// A window that accepts children (a panel), logs its messages and fills itself with its Color.
class TTestPanel : public TCustomControl {
 public:
  explicit TTestPanel(TComponent* AOwner);
  int Paints = 0;

 protected:
  void WndProc(TMessage& Message) override;
  void Paint() override;
};

// A windowed control without children (a button).
class TTestButton : public TCustomControl {
 public:
  explicit TTestButton(TComponent* AOwner);
  int Paints = 0;
  // Answer to WM_GETDLGCODE.
  LRESULT DlgCode = 0;

 protected:
  void WndProc(TMessage& Message) override;
  void Paint() override;
};

// A push button with the classic look: a raised edge and its caption centred.
class TTestPushButton : public TTestButton {
 public:
  explicit TTestPushButton(TComponent* AOwner);

 protected:
  void Paint() override;
};

// A graphic control that fills its whole area, and Overdraw pixels beyond it, with its Color.
class TTestShape : public TGraphicControl {
 public:
  explicit TTestShape(TComponent* AOwner);
  int Paints = 0;
  int Overdraw = 0;
  void SetOpaque(bool Value) {
    TControlStyle s = ControlStyle();
    if (Value) s.Include(csOpaque);
    else s.Exclude(csOpaque);
    SetControlStyle(s);
  }

 protected:
  void WndProc(TMessage& Message) override;
  void Paint() override;
};

// A headless application with a borderless form (client area = window) shown at (100, 100).
class ControlTest : public ::testing::Test {
 protected:
  ControlTest();
  ~ControlTest() override;

  template <class T>
  T* Make(TWinControl* Parent, const std::string& Name, TRect Bounds) {
    T* c = new T(Form);
    c->SetName(Name);
    c->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    c->SetParent(Parent);
    return c;
  }
  // Shows the form and handles everything (painting included).
  void ShowForm();
  void Pump() { App.ProcessMessages(); }
  // A pixel of the form's surface (form client coordinates).
  COLORREF Pixel(int X, int Y) const;

  test::THeadlessApp App;
  test::TInputDriver Input;
  TForm* Form = nullptr;
};

}  // namespace ctltest
