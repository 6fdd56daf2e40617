#include "tests/platform/controls/ControlFixtures.h"

#include "platform/gdi/Gdi.h"
#include "platform/os/Input.h"
#include "platform/os/MessageLoop.h"

namespace ctltest {

std::vector<TLogEntry>& Log() {
  static std::vector<TLogEntry> log;
  return log;
}

std::vector<UINT> MessagesOf(const std::string& Who, const std::vector<UINT>& Only) {
  std::vector<UINT> r;
  for (const auto& e : Log())
    if (e.Who == Who && (Only.empty() || std::find(Only.begin(), Only.end(), e.Msg) != Only.end())) r.push_back(e.Msg);
  return r;
}

namespace {
void Fill(TCanvas* Canvas, TColor Color, TRect R) {
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(R);
}
}  // namespace

TTestPanel::TTestPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
}
void TTestPanel::WndProc(TMessage& Message) {
  Log().push_back({Name(), Message.Msg});
  TCustomControl::WndProc(Message);
}
void TTestPanel::Paint() {
  ++Paints;
  Fill(Canvas(), Color(), ClientRect());
}

TTestButton::TTestButton(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
void TTestButton::WndProc(TMessage& Message) {
  Log().push_back({Name(), Message.Msg});
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DlgCode;
    return;
  }
  TCustomControl::WndProc(Message);
}
void TTestButton::Paint() {
  ++Paints;
  Fill(Canvas(), Color(), ClientRect());
}

TTestPushButton::TTestPushButton(TComponent* AOwner) : TTestButton(AOwner) { SetColor(clBtnFace); }
void TTestPushButton::Paint() {
  ++Paints;
  TRect r = ClientRect();
  Fill(Canvas(), Color(), r);
  DrawEdge(Canvas()->Handle(), &r, EDGE_RAISED, BF_RECT);
  std::string text = Caption();
  Canvas()->Brush()->SetStyle(bsClear);
  Canvas()->TextRect(r, text, {tfCenter, tfVerticalCenter, tfSingleLine});
}

TTestShape::TTestShape(TComponent* AOwner) : TGraphicControl(AOwner) {}
void TTestShape::WndProc(TMessage& Message) {
  Log().push_back({Name(), Message.Msg});
  TGraphicControl::WndProc(Message);
}
void TTestShape::Paint() {
  ++Paints;
  Fill(Canvas(), Color(), {-Overdraw, -Overdraw, Width() + Overdraw, Height() + Overdraw});
}

static const classes::TPublished<TTestPanel, TCustomControl> TestPanelInfo;
static const classes::TPublished<TTestButton, TCustomControl> TestButtonInfo;
static const classes::TPublished<TTestPushButton, TTestButton> TestPushButtonInfo;
static const classes::TPublished<TTestShape, TGraphicControl> TestShapeInfo;

ControlTest::ControlTest() {
  Log().clear();
  Form = new TForm(Application);
  Form->SetName("Form");
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(100, 100, 300, 200);
}

ControlTest::~ControlTest() {
  Log().clear();
  os::ResetInput();
}

void ControlTest::ShowForm() {
  Form->Show();
  Pump();
}

COLORREF ControlTest::Pixel(int X, int Y) const {
  return gdi::ColorOfPixel(os::SurfaceOf(Form->Handle())->Get(X, Y));
}

}  // namespace ctltest
