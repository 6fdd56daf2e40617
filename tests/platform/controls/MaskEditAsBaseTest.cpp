// TCustomMaskEdit as the framed edit derives from it: the window keeps its 2-pixel client edge,
// the edit paints its own frame over it after the platform's non-client painting, a drop
// button takes the right of the client area (WM_NCCALCSIZE), answers as client area over it
// (WM_NCHITTEST) and drops down on a press; focus makes the frame hot.
#include "platform/controls/Mask.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

constexpr COLORREF kFrame = RGB(255, 0, 0);
constexpr COLORREF kHotFrame = RGB(0, 0, 255);
constexpr COLORREF kButton = RGB(0, 160, 0);

class TFramedEdit : public TCustomMaskEdit {
 public:
  explicit TFramedEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    SetControlStyle(ControlStyle() - TControlStyle{csSetCaption});
  }

  bool MouseOverButton = false;
  int DropDowns = 0;

 protected:
  void WMNCCalcSize(TMessage& Message) override {
    TCustomMaskEdit::WMNCCalcSize(Message);
    TRect* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                              : reinterpret_cast<TRect*>(Message.LParam);
    r->Right -= GetSystemMetrics(SM_CXVSCROLL);
  }
  void WMNCPaint(TMessage& Message) override {
    TCustomMaskEdit::WMNCPaint(Message);
    HDC dc = GetWindowDC(Handle());
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Brush()->SetColor(Focused() ? kHotFrame : kFrame);
    const TRect window{0, 0, Width(), Height()};
    TRect inner = window;
    InflateRect(&inner, -2, -2);
    canvas.FillRect({window.Left, window.Top, window.Right, inner.Top});
    canvas.FillRect({window.Left, inner.Bottom, window.Right, window.Bottom});
    canvas.FillRect({window.Left, inner.Top, inner.Left, inner.Bottom});
    canvas.FillRect({inner.Right, inner.Top, window.Right, inner.Bottom});
    canvas.Brush()->SetColor(kButton);
    canvas.FillRect({inner.Right - GetSystemMetrics(SM_CXVSCROLL), inner.Top, inner.Right, inner.Bottom});
    canvas.SetHandle(nullptr);
    ReleaseDC(Handle(), dc);
    Message.Result = 0;
  }
  void WndProc(TMessage& Message) override {
    switch (Message.Msg) {
      case WM_NCHITTEST:
        TCustomMaskEdit::WndProc(Message);
        MouseOverButton = Message.Result == HTNOWHERE;
        if (MouseOverButton) Message.Result = HTCLIENT;
        return;
      case WM_LBUTTONDOWN:
        if (MouseOverButton) {
          ++DropDowns;
          return;
        }
        break;
      case CM_ENTER:
      case CM_EXIT:
        TCustomMaskEdit::WndProc(Message);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
      default:
        break;
    }
    TCustomMaskEdit::WndProc(Message);
  }
};

class MaskEditAsBaseTest : public ControlTest {
 protected:
  MaskEditAsBaseTest() {
    Edit = Make<TFramedEdit>(Form, "Framed", Bounds(10, 10, 150, 24));
    Edit->SetAutoSize(false);
    Edit->SetBounds(10, 10, 150, 24);
    Edit->SetEditMask("00:00;1;_");
    Other = Make<TEdit>(Form, "Other", Bounds(10, 60, 150, 24));
    ShowForm();
    Other->SetFocus();
    Pump();
  }
  TFramedEdit* Edit;
  TEdit* Other;
};

TEST_F(MaskEditAsBaseTest, PaintsItsFrameOverTheClientEdgeAndKeepsADropButtonBesideTheText) {
  const int button = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(Edit->ClientWidth(), 150 - 4 - button) << "the button's strip is not client area";
  EXPECT_EQ(Edit->ClientHeight(), 24 - 4);
  // The 2-pixel ring in the frame colour on every side, the button inside it on the right.
  for (TPoint p : {TPoint{10, 20}, TPoint{11, 20}, TPoint{80, 10}, TPoint{80, 11}, TPoint{159, 20}, TPoint{158, 20},
                   TPoint{80, 33}, TPoint{80, 32}})
    EXPECT_EQ(Pixel(p.X, p.Y), kFrame) << p.X << "," << p.Y;
  EXPECT_EQ(Pixel(157, 20), kButton);
  EXPECT_EQ(Pixel(158 - button, 20), kButton);
  EXPECT_EQ(Pixel(12, 20), ColorToRGB(clWindow)) << "the client area starts inside the ring";

  // The mask edit still edits in what is left.
  Edit->SetFocus();
  Pump();
  Input.Type("1234");
  Pump();
  EXPECT_EQ(Edit->Text(), "12:34");
}

TEST_F(MaskEditAsBaseTest, APressOnTheButtonDropsDownAndOnTheTextDoesNot) {
  const int button = GetSystemMetrics(SM_CXVSCROLL);
  HWND wnd = Edit->Handle();
  TRect window;
  GetWindowRect(wnd, &window);
  Input.Click({window.Right - 2 - button / 2, window.Top + 12});
  Pump();
  EXPECT_TRUE(Edit->MouseOverButton);
  EXPECT_EQ(Edit->DropDowns, 1);
  Input.Click(wnd, {20, 10});
  Pump();
  EXPECT_FALSE(Edit->MouseOverButton);
  EXPECT_EQ(Edit->DropDowns, 1);
  EXPECT_TRUE(Edit->Focused()) << "a press on the text goes on to the edit";
}

TEST_F(MaskEditAsBaseTest, TheFrameTurnsHotWithTheFocusAndBackWhenItLeaves) {
  Edit->SetFocus();
  Pump();
  EXPECT_EQ(Pixel(10, 20), kHotFrame);
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Pixel(10, 20), kFrame);
}

}  // namespace
