// The framed panel, the group box and the status bar: their settings as a window definition
// gives them, their frames and fills, the layout of their children, the memory of which
// children were enabled, and the status bar's size grip and pane scaling.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "controls/base/FcPanel.h"
#include "controls/base/FcStatus.h"
#include "platform/classes/Filer.h"
#include "platform/controls/ButtonCtrls.h"
#include "platform/controls/ControlMessages.h"
#include "platform/os/Themes.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/DateTime.h"
#include "platform/shell/Registry.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

class TPanelForm : public TForm {
 public:
  using TForm::TForm;
  TFcPanel* Plain = nullptr;
  TFcPanel* Set = nullptr;
  TFcGroupBox* Box = nullptr;
  TFcStatusBar* Bar = nullptr;
  TFcStatusBar* FramedBar = nullptr;
  TFcClockStatus* Clock = nullptr;
  TFcPollingStatus* Coloured = nullptr;
};

const classes::TPublished<TPanelForm, TForm> PanelFormInfo([](auto& p) {
  p.Field("Plain", &TPanelForm::Plain);
  p.Field("Set", &TPanelForm::Set);
  p.Field("Box", &TPanelForm::Box);
  p.Field("Bar", &TPanelForm::Bar);
  p.Field("FramedBar", &TPanelForm::FramedBar);
  p.Field("Clock", &TPanelForm::Clock);
  p.Field("Coloured", &TPanelForm::Coloured);
});

// Controls with nothing set take their defaults; Set stores the other values, and two
// settings of older versions (one mapped, one dropped).
const char* const kDefaults = R"(object PanelForm: TPanelForm
  Left = 0
  Top = 0
  ClientHeight = 200
  ClientWidth = 300
  object Plain: TFcPanel
    Left = 0
    Top = 0
  end
  object Set: TFcPanel
    Left = 0
    Top = 50
    BorderOuter = fsFlat
    BorderInner = fsLowered
    BorderSides = [sdLeft, sdBottom]
    FlatColor = clRed
    FlatColorAdjustment = 0
    GradientColorStyle = gcsCustom
    GridXSize = 0
    WordWrap = False
    FrameSides = [sdTop]
    UseGradients = True
  end
  object Box: TFcGroupBox
    Left = 0
    Top = 100
  end
  object Bar: TFcStatusBar
    object Clock: TFcClockStatus
      Left = 0
      Top = 0
    end
    object Coloured: TFcPollingStatus
      Left = 150
      Top = 0
      Color = clBlack
    end
  end
  object FramedBar: TFcStatusBar
    BorderOuter = fsRaised
    Height = 30
  end
end
)";

class PanelTest : public test::HeadlessTest {
 protected:
  std::unique_ptr<TPanelForm> Load(const char* Definition) {
    auto form = std::make_unique<TPanelForm>(nullptr);
    ReadComponentText(form.get(), Definition);
    return form;
  }
};

TEST_F(PanelTest, ADefinitionGivesThePanelsTheirDefaultsAndKeepsWhatItSets) {
  auto form = Load(kDefaults);
  TFcPanel* plain = form->Plain;
  EXPECT_EQ(plain->BorderOuter(), fsRaised);
  EXPECT_EQ(plain->BorderInner(), fsNone);
  EXPECT_EQ(plain->BorderSides(), AllSides);
  EXPECT_EQ(plain->BorderColor(), clBtnFace);
  EXPECT_EQ(plain->BorderHighlight(), clBtnHighlight);
  EXPECT_EQ(plain->BorderShadow(), clBtnShadow);
  EXPECT_EQ(plain->FlatColor(), clBtnShadow);
  EXPECT_EQ(plain->FlatColorAdjustment(), 30);
  EXPECT_EQ(plain->GradientColorStyle(), gcsSystem);
  EXPECT_EQ(plain->GradientColorStart(), clWhite);
  EXPECT_EQ(plain->GradientColorStop(), clBtnFace);
  EXPECT_EQ(plain->GradientDirection(), gdHorizontalEnd);
  EXPECT_EQ(plain->GridStyle(), gsDots);
  EXPECT_EQ(plain->GridXSize(), 8);
  EXPECT_EQ(plain->GridYSize(), 8);
  EXPECT_TRUE(plain->PaintClientArea());
  EXPECT_FALSE(plain->ShowGrid());
  EXPECT_FALSE(plain->Transparent());
  EXPECT_EQ(plain->VisualStyle(), vsWinXP);
  EXPECT_TRUE(plain->WordWrap());
  EXPECT_EQ(plain->Alignment(), taCenter);
  EXPECT_EQ(plain->AlignmentVertical(), avCenter);
  EXPECT_EQ(plain->BevelOuter(), bvNone);
  EXPECT_EQ(plain->FrameControllerNotifications(), AllFrameControllerNotifications);

  TFcPanel* set = form->Set;
  EXPECT_EQ(set->BorderOuter(), fsFlat);
  EXPECT_EQ(set->BorderInner(), fsLowered);
  EXPECT_EQ(set->BorderSides(), (TSides{sdLeft, sdBottom}));
  EXPECT_EQ(set->FlatColor(), clRed);
  EXPECT_EQ(set->FlatColorAdjustment(), 0);
  EXPECT_EQ(set->GradientColorStyle(), gcsCustom);
  EXPECT_EQ(set->GridXSize(), 0);
  EXPECT_FALSE(set->WordWrap());
  EXPECT_EQ(set->VisualStyle(), vsGradient) << "the older UseGradients = True";

  TFcGroupBox* box = form->Box;
  EXPECT_EQ(box->BorderOuter(), fsNone);
  EXPECT_EQ(box->BorderInner(), fsNone);
  EXPECT_EQ(box->Height(), 105);
  EXPECT_EQ(box->GroupStyle(), gsFlat);
  EXPECT_EQ(box->BannerHeight(), 0);
  EXPECT_EQ(box->Alignment(), taLeftJustify);
  EXPECT_EQ(box->AlignmentVertical(), avTop);

  TFcStatusBar* bar = form->Bar;
  EXPECT_EQ(bar->Align(), alBottom);
  EXPECT_EQ(bar->Height(), 19);
  EXPECT_EQ(bar->BorderOuter(), fsNone);
  EXPECT_EQ(bar->BorderWidth(), 0);
  EXPECT_TRUE(bar->AutoStyle());
  EXPECT_TRUE(bar->ShowSizeGrip());
  EXPECT_FALSE(bar->SimpleStatus());
  EXPECT_EQ(bar->SimpleFrameStyle(), fsFlat);
  EXPECT_FALSE(bar->AutoScalePanes());
  // A frame set by hand ends the automatic layout, which would have taken it away again.
  EXPECT_FALSE(form->FramedBar->AutoStyle());
  EXPECT_EQ(form->FramedBar->BorderOuter(), fsRaised);
  EXPECT_EQ(form->FramedBar->Height(), 30);

  TFcClockStatus* clock = form->Clock;
  EXPECT_EQ(clock->Width(), 150);
  EXPECT_EQ(clock->Height(), 20);
  EXPECT_EQ(clock->Format(), "");
  EXPECT_EQ(clock->FrameStyle(), fsFlat);
  EXPECT_TRUE(clock->Transparent());
  EXPECT_TRUE(clock->ParentFillColor());
  EXPECT_EQ(clock->BorderWidth(), 1);
  EXPECT_EQ(clock->CaptionOffset(), 2);
  EXPECT_EQ(clock->Alignment(), taLeftJustify);
  EXPECT_EQ(clock->DefaultWidth(), 40);
  EXPECT_EQ(clock->BlinkColor(), clHighlight);
  EXPECT_EQ(clock->Caption(), DateTimeToStr(Now())) << "an empty format shows the platform's date and time";
  EXPECT_EQ(form->Coloured->Width(), 100);
  EXPECT_FALSE(form->Coloured->Transparent()) << "a colour of its own makes the pane opaque";
  EXPECT_EQ(form->Coloured->FillColor(), clBlack);
}

TEST_F(PanelTest, ANewSizeKeepsTheEdgeThePanelIsAlignedTo) {
  struct TCase {
    TAlign Align;
    int Width, Height;
    TRect Expected;
  } const cases[] = {
      {alBottom, 50, 40, {10, 90, 60, 130}},  // 30 -> 40 high: 10 up
      {alBottom, 50, 20, {10, 110, 60, 130}},
      {alRight, 70, 30, {-10, 100, 60, 130}},  // 50 -> 70 wide: 20 left
      {alNone, 70, 40, {10, 100, 80, 140}},
  };
  for (const TCase& c : cases) {
    TFcPanel panel(nullptr);
    panel.SetBounds(10, 100, 50, 30);
    panel.SetAlign(c.Align);
    panel.SetBounds(panel.Left(), panel.Top(), c.Width, c.Height);
    EXPECT_EQ(panel.BoundsRect(), c.Expected) << c.Align;
  }
}

TEST_F(PanelTest, ChildrenGetBackTheEnabledStateTheyHadWhenThePanelWasDisabled) {
  TForm form(nullptr);
  TFcPanel panel(&form);
  panel.SetParent(&form);
  TButton a(&form), b(&form), c(&form);
  for (TButton* child : {&a, &b}) child->SetParent(&panel);
  b.SetEnabled(false);
  panel.SetEnabled(false);
  EXPECT_FALSE(a.Enabled());
  EXPECT_FALSE(b.Enabled());
  panel.SetEnabled(true);
  EXPECT_TRUE(a.Enabled());
  EXPECT_FALSE(b.Enabled()) << "disabled before: stays disabled";

  // A child that leaves the panel is forgotten: a control that comes in later (here the same
  // one, at the same address) counts as never seen and is enabled with the panel, even when it
  // came in disabled.
  panel.SetEnabled(false);  // records a as enabled, b as disabled
  b.SetParent(nullptr);
  b.SetParent(&panel);
  c.SetEnabled(false);
  c.SetParent(&panel);
  EXPECT_FALSE(b.Enabled());
  panel.SetEnabled(true);
  EXPECT_TRUE(a.Enabled());
  EXPECT_TRUE(b.Enabled());
  EXPECT_TRUE(c.Enabled());
  // The list is not cleared by enabling: disabling again records anew.
  b.SetEnabled(false);
  panel.SetEnabled(false);
  panel.SetEnabled(true);
  EXPECT_FALSE(b.Enabled());
}

TEST_F(PanelTest, TheClientAreaLiesInsideTheFramesAndTheChildrenInsideTheBorderRing) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  TFcPanel panel(&form);
  panel.SetParent(&form);
  panel.SetBounds(0, 0, 100, 60);
  TPanel child(&form);
  child.SetParent(&panel);
  child.SetAlign(alClient);
  struct TCase {
    TFrameStyleEx Outer, Inner;
    int BorderWidth;
    TSides Sides;
    TRect Client, Child;
  } const cases[] = {
      {fsRaised, fsNone, 0, AllSides, {2, 2, 98, 58}, {2, 2, 98, 58}},
      {fsFlat, fsLowered, 0, AllSides, {3, 3, 97, 57}, {3, 3, 97, 57}},
      {fsNone, fsFlatRounded, 1, AllSides, {2, 2, 98, 58}, {3, 3, 97, 57}},
      {fsFlatBold, fsNone, 2, TSides{sdTop}, {0, 2, 100, 60}, {2, 4, 98, 58}},
  };
  for (const TCase& c : cases) {
    panel.SetBorderOuter(c.Outer);
    panel.SetBorderInner(c.Inner);
    panel.SetBorderWidth(c.BorderWidth);
    panel.SetBorderSides(c.Sides);
    form.Show();
    EXPECT_EQ(panel.ClientRect(), c.Client) << c.Outer << "/" << c.Inner;
    EXPECT_EQ(child.BoundsRect(), c.Child) << c.Outer << "/" << c.Inner;
  }
}

// ---- painting ----

class PanelPaintTest : public test::HeadlessTest {
 protected:
  PanelPaintTest() {
    Form.SetBorderStyle(bsNone);
    Form.SetBounds(0, 0, 80, 60);
    Form.SetColor(kParent);
    Panel.SetParent(&Form);
    Panel.SetBounds(10, 10, 40, 30);
    Panel.SetColor(kFace);
  }
  // The colour of the panel's pixel at (X, Y).
  COLORREF At(int X, int Y) {
    Form.Show();
    Form.Repaint();
    App.ProcessMessages();
    const gdi::TSurface shot = App.Presenter().Snapshot(Form.Handle());
    return gdi::ColorOfPixel(shot.Get(Panel.Left() + X, Panel.Top() + Y));
  }
  static constexpr TColor kParent = 0x00E0F0F8;
  static constexpr TColor kFace = 0x00406080;
  TForm Form{nullptr};
  TFcPanel Panel{&Form};
};

TEST_F(PanelPaintTest, TheFramesFillAndRoundedCornersOfEachStyle) {
  const COLORREF flat = ColorToRGB(AdjustColorLuminance(clBtnShadow, 30));
  const COLORREF face = ColorToRGB(kFace), parent = ColorToRGB(kParent);
  struct TPixel {
    int X, Y;
    COLORREF Colour;
  };
  struct TCase {
    const char* Name;
    TFrameStyleEx Outer, Inner;
    int BorderWidth;
    bool Transparent;
    std::vector<TPixel> Pixels;
  } const cases[] = {
      {"raised",
       fsRaised,
       fsNone,
       0,
       false,
       {{0, 0, ColorToRGB(cl3DLight)},
        {39, 29, ColorToRGB(cl3DDkShadow)},
        {1, 1, ColorToRGB(clBtnHighlight)},
        {2, 2, face},
        {20, 15, face}}},
      // The rounded outer frame alone: the parent's colour in the cut corners, the adjusted flat
      // colour on the edges and in the corner's inner pixel, the face right beside it.
      {"rounded outer",
       fsFlatRounded,
       fsNone,
       0,
       false,
       {{0, 0, parent}, {1, 0, parent}, {2, 0, flat}, {0, 2, flat}, {1, 1, flat}, {2, 1, face}, {1, 2, face},
        {38, 28, flat}, {37, 28, face}, {20, 15, face}}},
      // With a border ring the corner is the frame's: the ring shows beside it.
      {"rounded outer with a ring",
       fsFlatRounded,
       fsNone,
       1,
       false,
       {{1, 1, flat}, {2, 1, ColorToRGB(clBtnFace)}, {1, 2, ColorToRGB(clBtnFace)}, {3, 3, face}}},
      {"transparent", fsNone, fsNone, 0, true, {{0, 0, parent}, {20, 15, parent}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Panel.SetBorderOuter(c.Outer);
    Panel.SetBorderInner(c.Inner);
    Panel.SetBorderWidth(c.BorderWidth);
    Panel.SetTransparent(c.Transparent);
    for (const TPixel& p : c.Pixels) EXPECT_EQ(At(p.X, p.Y), p.Colour) << "at " << p.X << "," << p.Y;
  }
}

TEST_F(PanelPaintTest, AGradientRunsFromTheStartColourAtTheTop) {
  Panel.SetBorderOuter(fsNone);
  Panel.SetVisualStyle(vsGradient);
  Panel.SetGradientColorStyle(gcsCustom);
  Panel.SetGradientColorStart(clWhite);
  Panel.SetGradientColorStop(clBlack);
  const COLORREF top = At(20, 0), middle = At(20, 15), bottom = At(20, 29);
  EXPECT_GT(GetRValue(top), 240);
  EXPECT_LT(GetRValue(bottom), 15);
  EXPECT_GT(GetRValue(middle), 60);
  EXPECT_LT(GetRValue(middle), 200);
  EXPECT_EQ(At(0, 15), middle) << "the bands run across the panel";
}

TEST_F(PanelPaintTest, TheGridDotsEveryStepAndNoneWithAStepOfZero) {
  Panel.SetBorderOuter(fsNone);
  Panel.SetShowGrid(true);
  Panel.SetGridColor(clRed);
  const COLORREF red = RGB(255, 0, 0), face = ColorToRGB(kFace);
  EXPECT_EQ(At(7, 7), red);
  EXPECT_EQ(At(15, 23), red);
  EXPECT_EQ(At(8, 7), face);
  Panel.SetGridStyle(gsSolidLines);
  EXPECT_EQ(At(7, 2), red);
  EXPECT_EQ(At(2, 15), red);
  Panel.SetGridXSize(0);
  EXPECT_EQ(At(7, 2), face) << "no vertical lines";
  EXPECT_EQ(At(2, 15), red) << "the horizontal ones stay";
  Panel.SetGridStyle(gsDots);
  EXPECT_EQ(At(7, 7), face) << "no dots";
}

// ---- group box ----

TEST_F(PanelTest, EachGroupStyleReservesItsPlaceForTheCaption) {
  TForm form(nullptr);
  TFcGroupBox box(&form);
  box.SetParent(&form);
  box.SetBounds(0, 0, 200, 105);
  box.SetCaption("Group");
  TPanel child(&form);
  child.SetParent(&box);
  child.SetAlign(alClient);
  TBitmap measure;
  measure.Canvas()->Font()->Assign(box.Font());
  const int h = measure.Canvas()->TextHeight("Yy");
  struct TCase {
    TFcGroupBoxStyle Style;
    int BannerHeight;
    TRect Child;
  } const cases[] = {
      {gsFlat, 0, {1, h + 1, 199, 104}},
      {gsStandard, 0, {2, h + 2, 198, 103}},
      {gsTopLine, 0, {0, h, 200, 105}},
      {gsBanner, 0, {0, h + 8, 200, 105}},
      {gsBanner, 20, {0, 20, 200, 105}},
      {gsUnderline, 0, {0, h + 4, 200, 105}},
      {gsCustom, 0, {2, h + 2, 198, 103}},
  };
  for (const TCase& c : cases) {
    box.SetGroupStyle(c.Style);
    box.SetBannerHeight(c.BannerHeight);
    EXPECT_EQ(child.BoundsRect(), c.Child) << c.Style << " banner " << c.BannerHeight;
  }
}

// ---- status bar ----

class StatusBarTest : public test::HeadlessTest {
 protected:
  StatusBarTest() {
    Form.SetBorderStyle(bsSizeable);
    Form.SetBounds(20, 20, 300, 120);
    Bar.SetParent(&Form);
    Pane.SetParent(&Bar);
    Pane.SetBounds(0, 0, 100, 19);
    Form.Show();
    App.ProcessMessages();
    Form.WindowProc = [this](TMessage& M) {
      if (M.Msg == WM_SYSCOMMAND) Commands.push_back(M.WParam);
      else Original(M);
    };
  }
  ~StatusBarTest() override { Form.WindowProc = Original; }
  TPoint GripPoint() { return Form.ScreenToClient(Bar.ClientToScreen({Bar.Width() - 4, Bar.Height() - 4})); }
  // The colour of the bar's pixel at (X, Y) in a picture of the whole window.
  COLORREF BarPixel(const gdi::TSurface& Shot, int X, int Y) {
    TRect window;
    GetWindowRect(Form.Handle(), &window);
    const TPoint p = Bar.ClientToScreen({X, Y});
    return gdi::ColorOfPixel(Shot.Get(p.X - window.Left, p.Y - window.Top));
  }

  TForm Form{nullptr};
  TWndMethod Original = Form.WindowProc;
  TFcStatusBar Bar{&Form};
  TFcCustomStatusPane Pane{&Form};
  std::vector<WPARAM> Commands;
  test::TInputDriver Input;
};

TEST_F(StatusBarTest, APressOnTheGripSizesTheFormFromItsBottomRightCorner) {
  EXPECT_TRUE(Bar.SizeGripUsable());
  Input.Click(Form.Handle(), GripPoint());
  App.RunFor(100);
  ASSERT_EQ(Commands.size(), 1u);
  EXPECT_EQ(Commands[0], 0xF008u);
  // Outside the grip, without a grip, or on a form that cannot be sized: nothing.
  Input.Click(Form.Handle(), Form.ScreenToClient(Bar.ClientToScreen({Bar.Width() - 30, 5})));
  Bar.SetShowSizeGrip(false);
  Input.Click(Form.Handle(), GripPoint());
  App.RunFor(100);
  Bar.SetShowSizeGrip(true);
  Form.SetBorderStyle(bsSingle);
  App.ProcessMessages();
  EXPECT_FALSE(Bar.SizeGripUsable());
  Input.Click(Form.Handle(), GripPoint());
  App.RunFor(100);
  EXPECT_EQ(Commands.size(), 1u);
}

TEST_F(StatusBarTest, APaneReachingTheGripLetsTheBarTakeTheMouseThere) {
  Pane.SetWidth(Bar.ClientRect().Right);
  EXPECT_TRUE(Pane.OverlapsSizeGrip());
  Input.Click(Form.Handle(), GripPoint());
  App.RunFor(100);
  EXPECT_EQ(Commands.size(), 1u);
  Pane.SetWidth(100);
  EXPECT_FALSE(Pane.OverlapsSizeGrip());
}

TEST_F(StatusBarTest, TheGripIsSixSquaresOfLightAndShadow) {
  Bar.SetColor(clBtnFace);
  Form.Repaint();
  App.ProcessMessages();
  const gdi::TSurface shot = App.Presenter().Snapshot(Form.Handle());
  const TRect r = Bar.ClientRect();
  auto at = [&](int X, int Y) { return BarPixel(shot, X, Y); };
  const COLORREF light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow), face = ColorToRGB(clBtnFace);
  const int right = r.Right, bottom = r.Bottom - 1;
  for (TPoint s : {TPoint{5, 12}, {5, 8}, {5, 4}, {9, 8}, {9, 4}, {13, 4}}) {
    const int x = right - s.X, y = bottom - s.Y;
    EXPECT_EQ(at(x - 1, y - 1), dark) << s.X << "," << s.Y;
    EXPECT_EQ(at(x, y), dark);
    EXPECT_EQ(at(x + 1, y + 1), light);
    EXPECT_EQ(at(x + 1, y), light);
  }
  EXPECT_EQ(at(right - 13 - 1, bottom - 12), face) << "no square top left of the triangle";
}

TEST_F(StatusBarTest, PanesGrowWithTheBarInProportionOnceItIsWideEnough) {
  TFcCustomStatusPane second(&Form);
  second.SetParent(&Bar);
  second.SetBounds(100, 0, 50, 19);
  Bar.SetAutoScalePanes(true);
  const int from = Bar.Width();
  Form.SetWidth(Form.Width() + 100);
  ASSERT_EQ(Bar.Width(), from + 100);
  EXPECT_EQ(Pane.Width(), 100 + static_cast<int>(std::lround(100.0 * 100 / from)));
  EXPECT_EQ(second.Width(), 50 + static_cast<int>(std::lround(100.0 * 50 / from)));
  // Under 50 pixels nothing is scaled, and that width is not taken as the last one.
  const int before = Pane.Width();
  Form.SetWidth(Form.Width() - 360);
  EXPECT_LT(Bar.Width(), 50);
  EXPECT_EQ(Pane.Width(), before);
  // Hidden by the simple caption, shown again without it.
  Bar.SetSimpleStatus(true);
  EXPECT_FALSE(Pane.Visible());
  EXPECT_FALSE(second.Visible());
  Bar.SetSimpleStatus(false);
  EXPECT_TRUE(Pane.Visible());
}

}  // namespace

namespace {

// One of each panel style, each group box style and a status bar with panes and its grip, as
// a kept picture.
TEST_F(PanelTest, EveryPanelAndGroupStyleAndTheStatusBarLookAsKept) {
  TForm form(nullptr);
  form.SetBorderStyle(bsSizeable);
  form.SetColor(static_cast<TColor>(16248801));
  form.SetBounds(0, 0, 460, 330);
  struct TPanelCase {
    const char* Caption;
    TFrameStyleEx Outer, Inner;
    int BorderWidth;
  } const panels[] = {
      {"Raised", fsRaised, fsNone, 0},       {"Lowered", fsLowered, fsNone, 0},  {"Flat", fsFlat, fsNone, 0},
      {"Groove", fsGroove, fsNone, 0},       {"Bump", fsBump, fsNone, 0},        {"Bold", fsFlatBold, fsNone, 0},
      {"Status", fsStatus, fsNone, 0},       {"Popup", fsPopup, fsNone, 0},      {"Rounded", fsFlatRounded, fsNone, 0},
      {"Ring", fsNone, fsFlatRounded, 1},    {"Button", fsButtonUp, fsButtonDown, 2},
  };
  std::vector<std::unique_ptr<TControl>> controls;
  int i = 0;
  for (const TPanelCase& c : panels) {
    auto panel = std::make_unique<TFcPanel>(&form);
    panel->SetParent(&form);
    panel->SetBounds(6 + (i % 6) * 74, 6 + (i / 6) * 46, 68, 40);
    panel->SetBorderOuter(c.Outer);
    panel->SetBorderInner(c.Inner);
    panel->SetBorderWidth(c.BorderWidth);
    panel->SetBorderColor(clRed);
    panel->SetColor(clWhite);
    panel->SetCaption(c.Caption);
    controls.push_back(std::move(panel));
    ++i;
  }
  auto gradient = std::make_unique<TFcPanel>(&form);
  gradient->SetParent(&form);
  gradient->SetBounds(6 + 5 * 74, 52, 68, 40);
  gradient->SetVisualStyle(vsGradient);
  gradient->SetShowGrid(true);
  gradient->SetCaption("Gradient with a long caption");
  controls.push_back(std::move(gradient));
  static const TFcGroupBoxStyle styles[] = {gsStandard, gsCustom, gsTopLine, gsFlat, gsBanner, gsUnderline};
  i = 0;
  for (TFcGroupBoxStyle style : styles) {
    auto box = std::make_unique<TFcGroupBox>(&form);
    box->SetParent(&form);
    box->SetBounds(6 + (i % 3) * 148, 100 + (i / 3) * 86, 140, 78);
    box->SetGroupStyle(style);
    box->SetCaption(EnumInfo(style).Names[style]);
    controls.push_back(std::move(box));
    ++i;
  }
  auto bar = std::make_unique<TFcStatusBar>(&form);
  bar->SetParent(&form);
  auto ready = std::make_unique<TFcCustomStatusPane>(&form);
  ready->SetParent(bar.get());
  ready->SetBounds(0, 0, 120, 19);
  ready->SetCaption("Ready");
  auto framed = std::make_unique<TFcCustomStatusPane>(&form);
  framed->SetParent(bar.get());
  framed->SetBounds(120, 0, 120, 19);
  framed->SetFrameStyle(fsStatus);
  framed->SetCaption("Status frame");
  auto clock = std::make_unique<TFcClockStatus>(&form);
  clock->SetParent(bar.get());
  clock->SetFormat("hh:nn:ss");
  clock->SetAlign(alRight);
  controls.push_back(std::move(bar));
  controls.push_back(std::move(ready));
  controls.push_back(std::move(framed));
  controls.push_back(std::move(clock));
  form.Show();
  App.ProcessMessages();
  const gdi::TSurface shot = App.Presenter().Snapshot(form.Handle());
  if (const char* dir = getenv("OSTROVEL_WINDOW_PNGS")) test::SavePng(shot, std::string(dir) + "/framed-panels.png");
  EXPECT_TRUE(test::MatchesSnapshot(shot, "framed-panels", 24, 400));
  // Panes and bars first: they belong to their parents.
  while (!controls.empty()) controls.pop_back();
}

}  // namespace

namespace {

TEST_F(PanelTest, AFrameControllerGivesThePanelWhatItsNotificationsLetIn) {
  TForm form(nullptr);
  TFcFrameController controller(&form);
  controller.SetFrameVisible(true);
  controller.SetFrameStyle(fsGroove);
  controller.SetFrameColor(clRed);
  controller.SetColor(clYellow);
  TFcPanel all(&form), noColour(&form);
  TFcGroupBox box(&form), custom(&form);
  custom.SetGroupStyle(gsCustom);
  TFcFrameControllerNotifications mask = AllFrameControllerNotifications;
  mask.Exclude(fcpColor);
  noColour.SetFrameControllerNotifications(mask);
  noColour.SetColor(clLime);
  for (TFcCustomPanel* p : std::initializer_list<TFcCustomPanel*>{&all, &noColour, &box, &custom})
    p->SetFrameController(&controller);
  EXPECT_EQ(all.BorderOuter(), fsGroove);
  EXPECT_EQ(all.FlatColor(), clRed);
  EXPECT_EQ(all.FlatColorAdjustment(), 0);
  EXPECT_EQ(all.Color(), clYellow);
  EXPECT_EQ(all.BorderHighlight(), BrightenColor(clYellow, 100));
  EXPECT_EQ(all.BorderShadow(), DarkenColor(clYellow, 50));
  EXPECT_EQ(noColour.BorderOuter(), fsGroove);
  EXPECT_EQ(noColour.Color(), clLime);
  EXPECT_EQ(box.BorderOuter(), fsNone) << "only a custom-styled group box follows the controller";
  EXPECT_EQ(custom.BorderOuter(), fsGroove);
  // A controller that goes away is forgotten.
  {
    TFcFrameController gone(&form);
    all.SetFrameController(&gone);
  }
  EXPECT_EQ(all.FrameController(), nullptr);
}

}  // namespace

namespace {

TEST_F(PanelTest, AThemeChangeRereadsTheColourScheme) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", true));
  reg.WriteString("ColorName", "Metallic");
  SetXPColorSchemeIndex(0);
  TFcPanel panel(nullptr);
  panel.Perform(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(XPColorSchemeIndex(), 2);
  SetXPColorSchemeIndex(0);
}

}  // namespace

namespace {

TEST_F(PanelTest, TheGroupBoxsAcceleratorFocusesItsFirstChild) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 150);
  TFcGroupBox box(&form);
  box.SetParent(&form);
  box.SetCaption("&Group");
  TButton first(&form), second(&form);
  second.SetParent(&box);
  first.SetParent(&box);
  first.SetTabOrder(0);
  form.Show();
  App.ProcessMessages();
  second.SetFocus();
  EXPECT_EQ(box.Perform(CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_TRUE(second.Focused());
  EXPECT_EQ(box.Perform(CM_DIALOGCHAR, 'g', 0), 1);
  EXPECT_TRUE(first.Focused());
}

}  // namespace
