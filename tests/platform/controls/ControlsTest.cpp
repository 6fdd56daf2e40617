#include "platform/controls/NewStyleControls.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

constexpr TColor kRed = RGB(255, 0, 0);
constexpr TColor kGreen = RGB(0, 255, 0);
constexpr TColor kBlue = RGB(0, 0, 255);

std::string Names(const std::vector<UINT>& Msgs) {
  std::string s;
  for (UINT m : Msgs) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X ", m);
    s += buf;
  }
  return s;
}

// ---- windows: creation, showing, moving, destroying ----

TEST_F(ControlTest, AChildWindowIsMadeWhenTheFormShowsInThePlatformsMessageOrder) {
  auto* button = Make<TTestButton>(Form, "Button", Bounds(10, 10, 80, 24));
  EXPECT_FALSE(button->HandleAllocated()) << "no window before the form shows";
  ShowForm();
  ASSERT_TRUE(button->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(button->Handle()));
  // Made hidden, given its font, then shown (SetWindowPos: no WM_SHOWWINDOW), then painted
  // (the background is erased from inside WM_PAINT, by BeginPaint).
  EXPECT_EQ(MessagesOf("Button", {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SETFONT,
                                  CM_SHOWINGCHANGED, WM_SHOWWINDOW, WM_WINDOWPOSCHANGED, WM_ERASEBKGND, WM_PAINT}),
            (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SETFONT, CM_SHOWINGCHANGED,
                               WM_WINDOWPOSCHANGED, WM_PAINT, WM_ERASEBKGND}))
      << Names(MessagesOf("Button"));
  EXPECT_EQ(TWinControl::FindControl(button->Handle()), button);
}

TEST_F(ControlTest, MovingAWindowedControlMovesItsWindowAndReportsTheResize) {
  auto* button = Make<TTestButton>(Form, "Button", Bounds(10, 10, 80, 24));
  int resized = 0;
  button->OnResize = [&](TObject*) { ++resized; };
  ShowForm();
  EXPECT_EQ(resized, 1) << "the new window's first WM_SIZE";
  resized = 0;
  Log().clear();
  button->SetBounds(20, 30, 100, 40);
  EXPECT_EQ(MessagesOf("Button", {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
            (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
  EXPECT_EQ(resized, 1);
  TRect r;
  GetWindowRect(button->Handle(), &r);
  EXPECT_EQ(r, Bounds(120, 130, 100, 40));
  EXPECT_EQ(button->BoundsRect(), Bounds(20, 30, 100, 40));
  // A move by the window manager comes back into the control's bounds.
  MoveWindow(button->Handle(), 5, 6, 50, 20, TRUE);
  EXPECT_EQ(button->BoundsRect(), Bounds(5, 6, 50, 20));
  EXPECT_EQ(resized, 2);
}

TEST_F(ControlTest, DestroyingAFormDestroysTheWindowsParentFirstAndFreesItsControls) {
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(0, 0, 100, 100));
  auto* button = Make<TTestButton>(panel, "Button", Bounds(10, 10, 50, 20));
  ShowForm();
  HWND panelWnd = panel->Handle();
  HWND buttonWnd = button->Handle();
  Log().clear();
  delete Form;
  Form = nullptr;
  std::vector<std::pair<std::string, UINT>> seen;
  for (const auto& e : Log())
    if (e.Msg == WM_DESTROY || e.Msg == WM_NCDESTROY) seen.push_back({e.Who, e.Msg});
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, UINT>>{
                      {"Panel", WM_DESTROY}, {"Button", WM_DESTROY}, {"Button", WM_NCDESTROY}, {"Panel", WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(panelWnd));
  EXPECT_FALSE(IsWindow(buttonWnd));
  EXPECT_EQ(TWinControl::FindControl(buttonWnd), nullptr);
}

TEST_F(ControlTest, RecreatingAWindowKeepsTheTextAndTheBounds) {
  auto* button = Make<TTestButton>(Form, "Button", Bounds(10, 10, 80, 24));
  ShowForm();
  button->SetCaption("Press");
  HWND before = button->Handle();
  EXPECT_EQ(GetWindowText(before), "Press");
  button->RecreateWnd();
  EXPECT_FALSE(IsWindow(before));
  ASSERT_TRUE(button->HandleAllocated());
  EXPECT_NE(button->Handle(), before);
  EXPECT_EQ(GetWindowText(button->Handle()), "Press");
  EXPECT_EQ(button->Caption(), "Press");
  EXPECT_TRUE(IsWindowVisible(button->Handle()));
}

TEST_F(ControlTest, AChildWithoutAParentHasNoWindow) {
  TTestButton orphan(nullptr);
  orphan.SetName("Orphan");
  try {
    orphan.Handle();
    FAIL() << "expected EInvalidOperation";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Control 'Orphan' has no parent window");
  }
}

TEST_F(ControlTest, HidingAndDisablingReachTheWindow) {
  auto* button = Make<TTestButton>(Form, "Button", Bounds(10, 10, 80, 24));
  ShowForm();
  button->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(button->Handle()));
  button->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(button->Handle()));
  EXPECT_EQ(MessagesOf("Button", {CM_ENABLEDCHANGED}).size(), 1u);
  button->SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(button->Handle()));
}

// ---- painting ----

TEST_F(ControlTest, AGraphicControlIsPaintedByItsParentClippedToItsBounds) {
  Form->SetColor(kBlue);
  auto* shape = Make<TTestShape>(Form, "Shape", Bounds(20, 20, 30, 30));
  shape->SetColor(kRed);
  shape->Overdraw = 15;
  ShowForm();
  EXPECT_EQ(shape->Paints, 1);
  EXPECT_EQ(Pixel(20, 20), static_cast<COLORREF>(kRed));
  EXPECT_EQ(Pixel(49, 49), static_cast<COLORREF>(kRed));
  EXPECT_EQ(Pixel(19, 30), static_cast<COLORREF>(kBlue));
  EXPECT_EQ(Pixel(50, 30), static_cast<COLORREF>(kBlue));
  EXPECT_EQ(Pixel(30, 50), static_cast<COLORREF>(kBlue));
  EXPECT_EQ(MessagesOf("Shape", {WM_PAINT}).size(), 1u) << "no window: WM_PAINT comes from the parent";
}

TEST_F(ControlTest, InvalidatingAGraphicControlRepaintsTheSiblingsOverlappingIt) {
  auto* lower = Make<TTestShape>(Form, "Lower", Bounds(10, 10, 50, 50));
  auto* upper = Make<TTestShape>(Form, "Upper", Bounds(40, 40, 50, 50));
  auto* apart = Make<TTestShape>(Form, "Apart", Bounds(200, 10, 20, 20));
  lower->SetColor(kRed);
  upper->SetColor(kGreen);
  apart->SetColor(kBlue);
  ShowForm();
  lower->Paints = upper->Paints = apart->Paints = 0;
  lower->Invalidate();
  Pump();
  EXPECT_EQ(lower->Paints, 1);
  EXPECT_EQ(upper->Paints, 1) << "the upper one is painted again over the lower one";
  EXPECT_EQ(apart->Paints, 0);
  EXPECT_EQ(Pixel(45, 45), static_cast<COLORREF>(kGreen)) << "z-order kept";
  // Moving the upper one to the back changes what shows where they overlap.
  upper->SendToBack();
  Pump();
  EXPECT_EQ(Pixel(45, 45), static_cast<COLORREF>(kRed));
  // Hiding a control repaints its parent there.
  lower->Hide();
  Pump();
  EXPECT_EQ(Pixel(15, 15), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
  EXPECT_EQ(Pixel(45, 45), static_cast<COLORREF>(kGreen));
}

TEST_F(ControlTest, ACustomControlPaintsThroughItsCanvasAndADoubleBufferedOneToo) {
  auto* a = Make<TTestButton>(Form, "A", Bounds(0, 0, 40, 40));
  auto* b = Make<TTestButton>(Form, "B", Bounds(50, 0, 40, 40));
  a->SetColor(kGreen);
  b->SetColor(kRed);
  b->SetDoubleBuffered(true);
  ShowForm();
  EXPECT_EQ(Pixel(20, 20), static_cast<COLORREF>(kGreen));
  EXPECT_EQ(Pixel(70, 20), static_cast<COLORREF>(kRed));
  EXPECT_EQ(a->Paints, 1);
  EXPECT_EQ(b->Paints, 1);
}

TEST_F(ControlTest, BorderWidthFramesTheClientAreaInTheControlsColour) {
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(0, 0, 100, 60));
  panel->SetBorderWidth(4);
  EXPECT_EQ(panel->ClientRect(), Rect(0, 0, 92, 52)) << "known before the window exists";
  panel->SetColor(kRed);
  ShowForm();
  EXPECT_EQ(panel->ClientRect(), Rect(0, 0, 92, 52));
  EXPECT_EQ(panel->ClientOrigin(), Point(104, 104));
  EXPECT_EQ(Pixel(1, 1), static_cast<COLORREF>(kRed));
}

// ---- mouse ----

struct TMouseLog {
  std::vector<std::string> Events;
  void Attach(TControl* C, const std::string& Name) {
    C->OnMouseDown = [this, Name](TObject*, TMouseButton b, TShiftState s, int x, int y) {
      Events.push_back(Name + " down " + std::to_string(b) + (s.Contains(ssDouble) ? " double" : "") + " " +
                       std::to_string(x) + "," + std::to_string(y));
    };
    C->OnMouseUp = [this, Name](TObject*, TMouseButton b, TShiftState, int x, int y) {
      Events.push_back(Name + " up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    C->OnClick = [this, Name](TObject*) { Events.push_back(Name + " click"); };
    C->OnDblClick = [this, Name](TObject*) { Events.push_back(Name + " dblclick"); };
  }
};

TEST_F(ControlTest, MouseInputReachesGraphicAndWindowedControlsInTheirCoordinates) {
  auto* shape = Make<TTestShape>(Form, "Shape", Bounds(10, 10, 40, 40));
  auto* button = Make<TTestButton>(Form, "Button", Bounds(100, 10, 40, 40));
  ShowForm();
  TMouseLog log;
  log.Attach(shape, "shape");
  log.Attach(button, "button");
  Input.Click(Form->Handle(), Point(15, 20));
  Input.Click(button->Handle(), Point(5, 6));
  Input.Click(Form->Handle(), Point(200, 150));
  Pump();
  EXPECT_EQ(log.Events, (std::vector<std::string>{"shape down 0 5,10", "shape click", "shape up 0 5,10",
                                                  "button down 0 5,6", "button click", "button up 0 5,6"}));
}

TEST_F(ControlTest, ThePressedControlKeepsTheMouseUntilReleasedAndClicksOnlyInside) {
  auto* shape = Make<TTestShape>(Form, "Shape", Bounds(10, 10, 40, 40));
  ShowForm();
  TMouseLog log;
  log.Attach(shape, "shape");
  std::vector<TPoint> moves;
  shape->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { moves.push_back({x, y}); };
  Input.MoveTo(Form->Handle(), Point(20, 20));
  Input.Press();
  Pump();
  EXPECT_TRUE(shape->MouseCapture());
  EXPECT_EQ(GetCaptureControl(), shape);
  Input.MoveTo(Point(700, 700));
  Input.Release();
  Pump();
  EXPECT_FALSE(shape->MouseCapture());
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back(), Point(700 - 110, 700 - 110)) << "moves outside still reach the pressed control";
  EXPECT_EQ(log.Events, (std::vector<std::string>{"shape down 0 10,10", "shape up 0 590,590"})) << "no click outside";
}

TEST_F(ControlTest, ADoubleClickComesAsDblClickUnlessTheControlTakesNone) {
  auto* shape = Make<TTestShape>(Form, "Shape", Bounds(10, 10, 40, 40));
  auto* plain = Make<TTestShape>(Form, "Plain", Bounds(100, 10, 40, 40));
  plain->SetControlStyle(plain->ControlStyle() - TControlStyle{csDoubleClicks});
  ShowForm();
  TMouseLog log;
  log.Attach(shape, "shape");
  log.Attach(plain, "plain");
  Input.DoubleClick(Form->Handle(), Point(20, 20));
  Input.DoubleClick(Form->Handle(), Point(110, 20));
  App.RunFor(200);
  EXPECT_EQ(log.Events, (std::vector<std::string>{"shape down 0 10,10", "shape click", "shape up 0 10,10",
                                                  "shape dblclick", "shape down 0 double 10,10", "shape up 0 10,10",
                                                  "plain down 0 10,10", "plain click", "plain up 0 10,10",
                                                  "plain down 0 10,10", "plain click", "plain up 0 10,10"}));
}

TEST_F(ControlTest, CancelModeEndsTheCaptureWithoutAClick) {
  auto* button = Make<TTestButton>(Form, "Button", Bounds(10, 10, 40, 40));
  ShowForm();
  TMouseLog log;
  log.Attach(button, "button");
  Input.MoveTo(button->Handle());
  Input.Press();
  Pump();
  EXPECT_EQ(GetCapture(), button->Handle());
  SendMessage(button->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  Input.Release();
  Pump();
  EXPECT_EQ(log.Events, (std::vector<std::string>{"button down 0 20,20", "button up 0 20,20"}));
}

// ---- keyboard ----

TEST_F(ControlTest, KeysGoToTheFocusedControlAndKeyPreviewLetsTheFormSeeThemFirst) {
  auto* button = Make<TTestButton>(Form, "Button", Bounds(10, 10, 40, 40));
  ShowForm();
  button->SetFocus();
  EXPECT_TRUE(button->Focused());
  std::vector<std::string> seen;
  button->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { seen.push_back("button down " + std::to_string(key)); };
  button->OnKeyPress = [&](TObject*, char32_t& ch) { seen.push_back(std::string("button press ") + char(ch)); };
  button->OnKeyUp = [&](TObject*, WORD& key, TShiftState) { seen.push_back("button up " + std::to_string(key)); };
  Input.Key('A');
  Pump();
  EXPECT_EQ(seen, (std::vector<std::string>{"button down 65", "button press a", "button up 65"}));
  seen.clear();
  Form->SetKeyPreview(true);
  Form->OnKeyDown = [&](TObject*, WORD& key, TShiftState s) {
    seen.push_back("form down " + std::to_string(key) + (s.Contains(ssShift) ? " shift" : ""));
    if (key == 'B') key = 0;
  };
  Form->OnKeyPress = [&](TObject*, char32_t& ch) {
    seen.push_back(std::string("form press ") + char(ch));
    if (ch == 'b') ch = 0;
  };
  Input.Key('B');
  Input.Key('C');
  Pump();
  // The swallowed key was translated before the form saw it: its character comes, and the
  // form swallows that too.
  EXPECT_EQ(seen, (std::vector<std::string>{"form down 66", "form press b", "button up 66", "form down 67",
                                            "button down 67", "form press c", "button press c", "button up 67"}));
}

// ---- alignment ----

struct TAlignCase {
  const char* Name;
  std::vector<std::pair<TAlign, TRect>> Children;  // initial bounds
  std::vector<TRect> Expected;
};

class AlignTest : public ControlTest, public ::testing::WithParamInterface<TAlignCase> {};

TEST_P(AlignTest, ChildrenAreLaidOutTopBottomLeftRightThenClient) {
  const TAlignCase& c = GetParam();
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(0, 0, 200, 100));
  std::vector<TControl*> children;
  int n = 0;
  // Aligned in one pass, as after loading a definition: the initial places decide the order.
  panel->DisableAlign();
  for (const auto& [align, bounds] : c.Children) {
    auto* child = Make<TTestShape>(panel, "C" + std::to_string(n++), bounds);
    child->SetAlign(align);
    children.push_back(child);
  }
  panel->EnableAlign();
  for (size_t i = 0; i < children.size(); ++i)
    EXPECT_EQ(children[i]->BoundsRect(), c.Expected[i]) << c.Name << ": child " << i;
  // The same once the windows exist.
  ShowForm();
  panel->Realign();
  for (size_t i = 0; i < children.size(); ++i)
    EXPECT_EQ(children[i]->BoundsRect(), c.Expected[i]) << c.Name << " (shown): child " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AlignTest,
    ::testing::Values(
        TAlignCase{"all five",
                   {{alClient, Bounds(5, 5, 10, 10)},
                    {alTop, Bounds(0, 0, 50, 20)},
                    {alBottom, Bounds(0, 0, 50, 10)},
                    {alLeft, Bounds(0, 0, 30, 50)},
                    {alRight, Bounds(0, 0, 40, 50)}},
                   {Rect(30, 20, 160, 90), Rect(0, 0, 200, 20), Rect(0, 90, 200, 100), Rect(0, 20, 30, 90),
                    Rect(160, 20, 200, 90)}},
        TAlignCase{"two tops keep their order by Top",
                   {{alTop, Bounds(0, 50, 10, 15)}, {alTop, Bounds(0, 10, 10, 25)}},
                   {Rect(0, 25, 200, 40), Rect(0, 0, 200, 25)}},
        TAlignCase{"two bottoms stack upwards",
                   {{alBottom, Bounds(0, 90, 10, 10)}, {alBottom, Bounds(0, 0, 10, 20)}},
                   {Rect(0, 90, 200, 100), Rect(0, 70, 200, 90)}},
        TAlignCase{"left and right meet the client control",
                   {{alLeft, Bounds(0, 0, 50, 10)}, {alClient, Bounds(0, 0, 1, 1)}, {alRight, Bounds(0, 0, 60, 10)}},
                   {Rect(0, 0, 50, 100), Rect(50, 0, 140, 100), Rect(140, 0, 200, 100)}},
        TAlignCase{"unaligned controls stay put",
                   {{alNone, Bounds(7, 8, 9, 10)}, {alTop, Bounds(0, 0, 10, 30)}},
                   {Bounds(7, 8, 9, 10), Rect(0, 0, 200, 30)}},
        TAlignCase{"a control wider than the room left overlaps",
                   {{alLeft, Bounds(0, 0, 150, 10)}, {alRight, Bounds(0, 0, 150, 10)}, {alClient, Bounds(0, 0, 1, 1)}},
                   {Rect(0, 0, 150, 100), Rect(50, 0, 200, 100), Rect(150, 0, 151, 100)}}),
    [](const auto& info) {
      std::string n = info.param.Name;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST_F(ControlTest, AlignmentFollowsResizingHidingConstraintsAndBorderWidth) {
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(0, 0, 200, 100));
  auto* top = Make<TTestShape>(panel, "Top", Bounds(0, 0, 10, 20));
  auto* client = Make<TTestShape>(panel, "Client", Bounds(0, 0, 10, 10));
  auto* left = Make<TTestShape>(panel, "Left", Bounds(0, 0, 80, 10));
  top->SetAlign(alTop);
  client->SetAlign(alClient);
  left->Constraints()->SetMaxWidth(30);
  left->SetAlign(alLeft);
  EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 30, 100)) << "constraints limit the width";
  EXPECT_EQ(client->BoundsRect(), Rect(30, 20, 200, 100));
  panel->SetBounds(0, 0, 300, 150);
  EXPECT_EQ(client->BoundsRect(), Rect(30, 20, 300, 150));
  top->Hide();
  EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 30, 150)) << "a hidden control takes no room";
  panel->SetBorderWidth(5);
  EXPECT_EQ(client->BoundsRect(), Rect(30, 0, 290, 140));
  // Held back while disabled, done once on enabling.
  panel->DisableAlign();
  top->Show();
  EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 30, 140));
  panel->EnableAlign();
  EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 30, 140));
}

TEST_F(ControlTest, AnAutoSizedContainerFitsItsVisibleChildren) {
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(0, 0, 200, 100));
  panel->SetBorderWidth(2);
  auto* a = Make<TTestShape>(panel, "A", Bounds(5, 5, 30, 20));
  auto* b = Make<TTestShape>(panel, "B", Bounds(50, 10, 40, 50));
  panel->SetAutoSize(true);
  EXPECT_EQ(panel->BoundsRect(), Bounds(0, 0, 94, 64));
  b->Hide();
  EXPECT_EQ(panel->BoundsRect(), Bounds(0, 0, 39, 29));
  a->SetWidth(60);
  EXPECT_EQ(panel->BoundsRect(), Bounds(0, 0, 69, 29));
}

TEST_F(ControlTest, AnchoredControlsKeepTheirDistanceToTheAnchoredEdges) {
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(0, 0, 200, 100));
  auto* right = Make<TTestShape>(panel, "Right", Bounds(150, 10, 40, 20));
  auto* stretch = Make<TTestShape>(panel, "Stretch", Bounds(10, 50, 180, 40));
  auto* floating = Make<TTestShape>(panel, "Floating", Bounds(90, 40, 20, 20));
  right->SetAnchors({akTop, akRight});
  stretch->SetAnchors({akLeft, akTop, akRight, akBottom});
  floating->SetAnchors({});
  panel->SetBounds(0, 0, 300, 160);
  EXPECT_EQ(right->BoundsRect(), Bounds(250, 10, 40, 20));
  EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 50, 280, 100));
  EXPECT_EQ(floating->BoundsRect(), Bounds(140, 70, 20, 20)) << "no anchors: stays centred";
}

// ---- inherited properties and notifications ----

TEST_F(ControlTest, FontAndColourFlowDownToChildrenThatFollowTheirParent) {
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(0, 0, 200, 100));
  auto* follows = Make<TTestShape>(panel, "Follows", Bounds(0, 0, 10, 10));
  auto* own = Make<TTestShape>(panel, "Own", Bounds(0, 0, 10, 10));
  own->SetColor(kGreen);
  own->Font()->SetSize(20);
  EXPECT_FALSE(own->ParentColor());
  EXPECT_FALSE(own->ParentFont());
  Log().clear();
  panel->SetColor(kRed);
  panel->Font()->SetName("Courier New");
  EXPECT_EQ(follows->Color(), kRed);
  EXPECT_EQ(follows->Font()->Name(), "Courier New");
  EXPECT_TRUE(follows->ParentColor()) << "following the parent does not make the colour its own";
  EXPECT_TRUE(follows->ParentFont());
  EXPECT_EQ(own->Color(), kGreen);
  EXPECT_EQ(own->Font()->Name(), DefFontName);
  EXPECT_EQ(MessagesOf("Follows", {CM_PARENTCOLORCHANGED, CM_COLORCHANGED, CM_PARENTFONTCHANGED, CM_FONTCHANGED}),
            (std::vector<UINT>{CM_PARENTCOLORCHANGED, CM_COLORCHANGED, CM_PARENTFONTCHANGED, CM_FONTCHANGED}));
  EXPECT_EQ(MessagesOf("Own", {CM_COLORCHANGED, CM_FONTCHANGED}), std::vector<UINT>{});
  // Turning ParentColor on again takes the parent's.
  own->SetParentColor(true);
  EXPECT_EQ(own->Color(), kRed);
}

TEST_F(ControlTest, TextEnabledAndVisibleChangesAreAnnounced) {
  auto* shape = Make<TTestShape>(Form, "Shape", Bounds(0, 0, 10, 10));
  auto* button = Make<TTestButton>(Form, "Button", Bounds(0, 0, 10, 10));
  EXPECT_EQ(shape->Caption(), "Shape") << "a new control takes its name as its caption";
  Log().clear();
  shape->SetCaption("Hello");
  shape->SetCaption("Hello");
  shape->SetEnabled(false);
  shape->SetVisible(false);
  EXPECT_EQ(MessagesOf("Shape", {CM_TEXTCHANGED, CM_ENABLEDCHANGED, CM_VISIBLECHANGED}),
            (std::vector<UINT>{CM_TEXTCHANGED, CM_ENABLEDCHANGED, CM_VISIBLECHANGED}));
  EXPECT_EQ(shape->Text(), "Hello");
  ShowForm();
  button->SetText("Go");
  EXPECT_EQ(GetWindowText(button->Handle()), "Go");
  SetWindowText(button->Handle(), "Changed by the window");
  EXPECT_EQ(button->Caption(), "Changed by the window");
}

TEST_F(ControlTest, ScreenAndClientCoordinatesFollowTheParents) {
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(10, 20, 100, 100));
  auto* shape = Make<TTestShape>(panel, "Shape", Bounds(5, 6, 10, 10));
  EXPECT_EQ(shape->ClientToScreen(Point(1, 1)), Point(116, 127));
  ShowForm();
  EXPECT_EQ(shape->ClientToScreen(Point(1, 1)), Point(116, 127));
  EXPECT_EQ(shape->ScreenToClient(Point(116, 127)), Point(1, 1));
  EXPECT_EQ(FindDragTarget(Point(116, 127), false), shape);
  EXPECT_EQ(FindDragTarget(Point(150, 150), false), panel);
}

}  // namespace

namespace {

using namespace ctltest;

// A control that draws its own 3-pixel frame in the non-client area, as framed edits do.
class TFramedControl : public TTestButton {
 public:
  using TTestButton::TTestButton;

 protected:
  void Dispatch(TMessage& M) override {
    if (M.Msg == WM_NCCALCSIZE) {
      TTestButton::Dispatch(M);
      TRect* r = M.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0] : reinterpret_cast<TRect*>(M.LParam);
      InflateRect(r, -3, -3);
      return;
    }
    if (M.Msg == WM_NCPAINT) {
      HDC dc = GetWindowDC(Handle());
      TRect r{0, 0, Width(), Height()};
      HBRUSH brush = CreateSolidBrush(RGB(0, 128, 0));
      FillRect(dc, &r, brush);
      DeleteObject(brush);
      ReleaseDC(Handle(), dc);
      return;
    }
    TTestButton::Dispatch(M);
  }
};

// A list that drops down over its form: a pop-up window owned by the form, never activated.
class TDropDown : public TTestButton {
 public:
  using TTestButton::TTestButton;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TTestButton::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  }
  void Dispatch(TMessage& M) override {
    if (M.Msg == WM_MOUSEACTIVATE) {
      M.Result = MA_NOACTIVATE;
      return;
    }
    TTestButton::Dispatch(M);
  }
};

TEST_F(ControlTest, AControlMayDrawItsOwnFrameInTheNonClientArea) {
  auto* framed = Make<TFramedControl>(Form, "Framed", Bounds(10, 10, 50, 30));
  framed->SetColor(RGB(255, 0, 0));
  ShowForm();
  EXPECT_EQ(framed->ClientRect(), Rect(0, 0, 44, 24));
  EXPECT_EQ(framed->ClientOrigin(), Point(113, 113));
  EXPECT_EQ(Pixel(10, 10), RGB(0, 128, 0));
  EXPECT_EQ(Pixel(12, 12), RGB(0, 128, 0));
  EXPECT_EQ(Pixel(13, 13), RGB(255, 0, 0));
  EXPECT_EQ(Pixel(59, 39), RGB(0, 128, 0));
}

TEST_F(ControlTest, APopUpControlShowsOverItsFormWithoutTakingTheActivation) {
  ShowForm();
  auto* drop = new TDropDown(Form);
  drop->SetName("Drop");
  drop->SetBounds(150, 150, 80, 60);
  drop->SetVisible(false);
  drop->SetParentWindow(Form->Handle());
  SetWindowPos(drop->Handle(), HWND_TOP, 150, 150, 80, 60, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Pump();
  EXPECT_TRUE(IsWindowVisible(drop->Handle()));
  EXPECT_EQ(GetActiveWindow(), Form->Handle());
  EXPECT_EQ(GetWindow(drop->Handle(), GW_OWNER), Form->Handle());
  int clicks = 0;
  drop->OnClick = [&](TObject*) { ++clicks; };
  Input.Click(drop->Handle());
  Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetActiveWindow(), Form->Handle()) << "clicking the pop-up leaves the form active";
  delete drop;
}

TEST_F(ControlTest, AFormPaintsThroughOnPaint) {
  Form->OnPaint = [this](TObject*) {
    Form->Canvas()->Brush()->SetColor(RGB(0, 0, 255));
    Form->Canvas()->FillRect(Rect(0, 0, 20, 20));
  };
  auto* shape = Make<TTestShape>(Form, "Shape", Bounds(10, 10, 20, 20));
  shape->SetColor(RGB(255, 0, 0));
  ShowForm();
  EXPECT_EQ(Pixel(5, 5), RGB(0, 0, 255));
  EXPECT_EQ(Pixel(15, 15), RGB(255, 0, 0)) << "graphic controls paint over the form's own picture";
  EXPECT_EQ(Pixel(25, 5), ColorToRGB(clBtnFace));
}

TEST(NewStyleControlsTest, TheControlsHaveTheNewerLook) {
  static_assert(NewStyleControls);
  EXPECT_TRUE(NewStyleControls);
}

}  // namespace
