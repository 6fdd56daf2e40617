// TCustomPanel as the framed panel derives from it: its frame narrows the room its children
// are aligned in (AdjustClientRect), and a transparent panel erases its background with its
// parent's picture (the parent paints into the panel's DC through WM_ERASEBKGND and
// WM_PRINTCLIENT), then paints only its frame.
#include "platform/controls/ExtCtrls.h"
#include "platform/gdi/Gdi.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

constexpr COLORREF kLeft = RGB(255, 0, 0);
constexpr COLORREF kRight = RGB(0, 0, 255);
constexpr COLORREF kFrame = RGB(0, 160, 0);
constexpr COLORREF kChild = RGB(255, 255, 0);

// A parent that paints its left half in one colour and its right half in another.
class TTwoColourParent : public TCustomControl {
 public:
  explicit TTwoColourParent(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(kLeft);
    Canvas()->FillRect({0, 0, Width() / 2, Height()});
    Canvas()->Brush()->SetColor(kRight);
    Canvas()->FillRect({Width() / 2, 0, Width(), Height()});
  }
};

class TFramedPanel : public TCustomPanel {
 public:
  static constexpr int kFrameWidth = 3;
  explicit TFramedPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
    SetBevelOuter(bvNone);
    SetCaption("");
  }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) {
    FTransparent = Value;
    TControlStyle style = ControlStyle();
    if (Value) style.Exclude(csOpaque);
    else style.Include(csOpaque);
    SetControlStyle(style);
    Invalidate();
  }

 protected:
  void AdjustClientRect(TRect& Rect) override {
    TCustomPanel::AdjustClientRect(Rect);
    InflateRect(&Rect, -kFrameWidth, -kFrameWidth);
  }
  void Paint() override {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(r);
    }
    canvas->Brush()->SetColor(kFrame);
    for (int i = 0; i < kFrameWidth; ++i) {
      canvas->FrameRect(r);
      InflateRect(&r, -1, -1);
    }
  }
  void WMEraseBkgnd(TMessage& Message) override {
    if (!FTransparent || !Parent()) {
      TCustomPanel::WMEraseBkgnd(Message);
      return;
    }
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const int saved = SaveDC(dc);
    TPoint origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.X - Left(), origin.Y - Top(), nullptr);
    IntersectClipRect(dc, 0, 0, Parent()->ClientWidth(), Parent()->ClientHeight());
    Parent()->Perform(WM_ERASEBKGND, Message.WParam, 0);
    Parent()->Perform(WM_PRINTCLIENT, Message.WParam, PRF_CLIENT);
    RestoreDC(dc, saved);
    Message.Result = 1;
  }

 private:
  bool FTransparent = false;
};

class PanelAsBaseTest : public ControlTest {
 protected:
  PanelAsBaseTest() {
    Back = Make<TTwoColourParent>(Form, "Back", Bounds(0, 0, 200, 100));
    Panel = Make<TFramedPanel>(Back, "Framed", Bounds(50, 20, 100, 60));
    Panel->SetColor(clWhite);
  }
  TTwoColourParent* Back;
  TFramedPanel* Panel;
};

TEST_F(PanelAsBaseTest, ChildrenAreAlignedInsideTheFrame) {
  auto* child = Make<TTestPanel>(Panel, "Child", Bounds(0, 0, 10, 10));
  child->SetColor(kChild);
  child->SetAlign(alClient);
  ShowForm();
  EXPECT_EQ(child->BoundsRect(), Bounds(3, 3, 94, 54));
  EXPECT_EQ(Pixel(50, 50), kFrame);
  EXPECT_EQ(Pixel(52, 50), kFrame);
  EXPECT_EQ(Pixel(53, 50), kChild);
}

TEST_F(PanelAsBaseTest, ATransparentPanelShowsItsParentsPictureInsideItsFrame) {
  ShowForm();
  EXPECT_EQ(Pixel(70, 50), ColorToRGB(clWhite)) << "opaque: the panel's own colour";

  // A window-less control of the parent, under the panel: part of the parent's picture.
  auto* shape = Make<TTestShape>(Back, "Shape", Bounds(110, 40, 20, 20));
  shape->SetColor(kChild);
  Panel->BringToFront();
  Panel->SetTransparent(true);
  Pump();
  EXPECT_EQ(Pixel(120, 50), kChild);
  EXPECT_EQ(Pixel(70, 50), kLeft);
  EXPECT_EQ(Pixel(130, 50), kRight);
  EXPECT_EQ(Pixel(99, 25), kLeft) << "the parent's halves meet at its own middle, not the panel's";
  EXPECT_EQ(Pixel(100, 25), kRight);
  EXPECT_EQ(Pixel(51, 50), kFrame) << "the frame is painted over the parent's picture";
}

}  // namespace
