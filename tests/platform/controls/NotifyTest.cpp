#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

// ---- mouse enter and leave ----

TEST_F(ControlTest, EnterAndLeaveFollowThePointerAcrossGraphicAndWindowedControls) {
  auto* shape = Make<TTestShape>(Form, "Shape", Bounds(10, 10, 40, 40));
  auto* button = Make<TTestButton>(Form, "Button", Bounds(100, 10, 40, 40));
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(10, 100, 100, 60));
  auto* inner = Make<TTestShape>(panel, "Inner", Bounds(10, 10, 20, 20));
  ShowForm();
  std::vector<std::string> events;
  for (TControl* c : std::vector<TControl*>{shape, button, panel, inner}) {
    c->OnMouseEnter = [&events, c](TObject*) { events.push_back(c->Name() + " enter"); };
    c->OnMouseLeave = [&events, c](TObject*) { events.push_back(c->Name() + " leave"); };
  }
  std::vector<std::string> panelHeard;
  panel->WindowProc = [&panelHeard, old = panel->WindowProc](TMessage& M) {
    if ((M.Msg == CM_MOUSEENTER || M.Msg == CM_MOUSELEAVE) && M.LParam)
      panelHeard.push_back(std::string(M.Msg == CM_MOUSEENTER ? "enter " : "leave ") +
                           reinterpret_cast<TControl*>(M.LParam)->Name());
    old(M);
  };
  // Each move is handled before the next (pending moves are merged into the latest).
  auto move = [&](TPoint client) {
    Input.MoveTo(Form->Handle(), client);
    Pump();
  };
  move(Point(5, 5));
  move(Point(20, 20));   // shape
  move(Point(30, 30));   // still the shape: nothing new
  move(Point(110, 20));  // button
  move(Point(25, 125));  // inner, inside the panel
  move(Point(80, 140));  // the panel itself
  Input.MoveTo(Point(900, 900));  // outside every window: noticed when idle
  App.RunFor(10);
  EXPECT_EQ(events, (std::vector<std::string>{"Shape enter", "Shape leave", "Button enter", "Button leave", "Inner enter",
                                              "Inner leave", "Panel enter", "Panel leave"}));
  EXPECT_EQ(panelHeard, (std::vector<std::string>{"enter Inner", "leave Inner"}))
      << "a parent hears of its children's enter and leave with the child in lParam";
  EXPECT_EQ(controls::MouseControl(), nullptr);
}

TEST_F(ControlTest, AControlDestroyedUnderThePointerIsForgotten) {
  auto* shape = Make<TTestShape>(Form, "Shape", Bounds(10, 10, 40, 40));
  ShowForm();
  Input.MoveTo(Form->Handle(), Point(20, 20));
  Pump();
  EXPECT_EQ(controls::MouseControl(), shape);
  delete shape;
  EXPECT_NE(controls::MouseControl(), shape);
  Input.MoveTo(Form->Handle(), Point(25, 25));
  Pump();
  EXPECT_EQ(controls::MouseControl(), Form);
}

// ---- dragging ----

class DragTest : public ControlTest {
 protected:
  DragTest() {
    source = Make<TTestShape>(Form, "Source", Bounds(10, 10, 40, 40));
    target = Make<TTestPanel>(Form, "Target", Bounds(100, 10, 100, 100));
    refuses = Make<TTestShape>(Form, "Refuses", Bounds(10, 120, 40, 40));
    source->OnEndDrag = [this](TObject*, TObject* t, int x, int y) {
      Events.push_back("end " + (t ? static_cast<TControl*>(t)->Name() : std::string("none")) + " " +
                       std::to_string(x) + "," + std::to_string(y));
    };
    target->OnDragOver = [this](TObject*, TObject* s, int, int, TDragState state, bool& accept) {
      static const char* names[] = {"enter", "leave", "move"};
      Events.push_back(std::string("over ") + names[state] + (s == source ? " from source" : ""));
      accept = true;
    };
    target->OnDragDrop = [this](TObject*, TObject* s, int x, int y) {
      Events.push_back("drop " + static_cast<TControl*>(s)->Name() + " " + std::to_string(x) + "," + std::to_string(y));
    };
    refuses->OnDragOver = [this](TObject*, TObject*, int, int, TDragState, bool& accept) {
      accept = false;
      Events.push_back("refused");
    };
  }
  TTestShape* source;
  TTestPanel* target;
  TTestShape* refuses;
  std::vector<std::string> Events;
};

TEST_F(DragTest, AnAutomaticDragDropsOnTheTargetThatAccepts) {
  source->SetDragMode(dmAutomatic);
  int clicks = 0;
  source->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  Input.MoveTo(Form->Handle(), Point(20, 20));
  Input.Press();
  Pump();
  EXPECT_TRUE(source->Dragging());
  Input.MoveTo(Form->Handle(), Point(140, 40));
  Pump();
  Input.MoveTo(Form->Handle(), Point(150, 50));
  Input.Release();
  Pump();
  EXPECT_EQ(Events, (std::vector<std::string>{"over enter from source", "over move from source",
                                              "over move from source", "over leave from source",
                                              "drop Source 50,40", "end Target 50,40"}));
  EXPECT_EQ(clicks, 0) << "pressing a control with automatic dragging starts a drag, not a click";
  EXPECT_FALSE(source->Dragging());
}

TEST_F(DragTest, ADropWhereNoTargetAcceptsEndsWithoutTarget) {
  ShowForm();
  Input.MoveTo(Form->Handle(), Point(20, 20));
  Input.Press();
  Pump();
  source->BeginDrag(false, 5);
  Input.MoveTo(Form->Handle(), Point(22, 22));
  Pump();
  EXPECT_TRUE(source->Dragging());
  EXPECT_TRUE(Events.empty()) << "within the threshold nothing is dragged over yet";
  Input.MoveTo(Form->Handle(), Point(20, 130));
  Input.Release();
  Pump();
  EXPECT_EQ(Events, (std::vector<std::string>{"refused", "refused", "refused", "end none 0,0"}));
  EXPECT_FALSE(source->Dragging());
}

TEST_F(DragTest, EscapeCancelsTheDrag) {
  ShowForm();
  Input.MoveTo(Form->Handle(), Point(20, 20));
  Pump();
  source->BeginDrag(true);
  Input.MoveTo(Form->Handle(), Point(150, 50));
  Input.Key(VK_ESCAPE);
  Input.Release();
  Pump();
  EXPECT_EQ(Events, (std::vector<std::string>{"over enter from source", "over move from source", "over leave from source",
                                              "end none 0,0"}));
  EXPECT_EQ(GetCapture(), nullptr);
}

// ---- notifications ----

TEST_F(ControlTest, ParentsHearOfChildrenComingAndGoing) {
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(0, 0, 100, 100));
  Log().clear();
  auto* shape = Make<TTestShape>(panel, "Shape", Bounds(0, 0, 10, 10));
  shape->SetParent(nullptr);
  EXPECT_EQ(MessagesOf("Panel", {CM_CONTROLLISTCHANGE, CM_CONTROLCHANGE}),
            (std::vector<UINT>{CM_CONTROLLISTCHANGE, CM_CONTROLCHANGE, CM_CONTROLCHANGE, CM_CONTROLLISTCHANGE}));
  EXPECT_EQ(panel->ControlCount(), 0);
  delete shape;
}

TEST_F(ControlTest, SystemColourChangesReachEveryControl) {
  auto* panel = Make<TTestPanel>(Form, "Panel", Bounds(0, 0, 100, 100));
  Make<TTestShape>(panel, "Shape", Bounds(0, 0, 10, 10));
  Make<TTestButton>(Form, "Button", Bounds(0, 0, 10, 10));
  ShowForm();
  Log().clear();
  SendMessage(Form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  for (const char* name : {"Panel", "Shape", "Button"})
    EXPECT_EQ(MessagesOf(name, {CM_SYSCOLORCHANGE}).size(), 1u) << name;
}

TEST_F(ControlTest, ShowingChangesFollowTheFormAndRecreatingAnnouncesItself) {
  auto* button = Make<TTestButton>(Form, "Button", Bounds(0, 0, 10, 10));
  ShowForm();
  Log().clear();
  button->Hide();
  EXPECT_EQ(MessagesOf("Button", {CM_SHOWINGCHANGED}).size(), 1u);
  EXPECT_FALSE(button->Showing());
  button->Show();
  EXPECT_TRUE(button->Showing());
  // A hidden form hides its children's windows; their own showing state stays as it was.
  Log().clear();
  Form->Hide();
  EXPECT_FALSE(IsWindowVisible(button->Handle()));
  EXPECT_TRUE(MessagesOf("Button", {CM_SHOWINGCHANGED}).empty());
  Form->Show();
  EXPECT_TRUE(IsWindowVisible(button->Handle()));
  button->RecreateWnd();
  EXPECT_EQ(MessagesOf("Button", {CM_RECREATEWND}).size(), 1u);
}

}  // namespace
