// The drop-down pop-ups: where they open, the size grip, the month calendar and the item lists.
#include <gtest/gtest.h>

#include <cstdlib>

#include "grid/base/ToolCtrlsGd.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowPos.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

// A drop-down that records the grip sides it is told.
class TRecordingDropDown : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::vector<WPARAM> Sides;
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CM_SIZEGRIPSIDE_GD) Sides.push_back(Message.WParam);
    TCustomControl::Dispatch(Message);
  }
};

TRect Work() {
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

// Saves the screen for a look when OSTROVEL_REVIEW_PNGS names a folder.
void SaveScreenForReview(test::THeadlessApp& App, const std::string& Name) {
  if (const char* dir = std::getenv("OSTROVEL_REVIEW_PNGS"))
    test::SavePng(App.Presenter().ScreenSnapshot(), std::string(dir) + "/" + Name + ".png");
}

class PlacementTest : public test::HeadlessTest {};

TEST_F(PlacementTest, ADropDownOpensWhereItFitsInTheWorkArea) {
  const TRect w = Work();
  struct TCase {
    const char* Name;
    TRect Host;
    int Width, Height;
    TDropDownAlign Align;
    TPoint At;
    int PlacedHeight, PlacedWidth;
    std::vector<WPARAM> Sides;
  };
  const TCase cases[] = {
      {"below, left-aligned", {w.Left + 100, w.Top + 100, w.Left + 200, w.Top + 120}, 150, 200, daLeft,
       {w.Left + 100, w.Top + 120}, 200, 150, {3, 1}},
      {"above when below is short and above is enough",
       {w.Left + 100, w.Top + 500, w.Left + 200, w.Bottom - 100}, 150, 200, daLeft, {w.Left + 100, w.Top + 300}, 200, 150,
       {2, 1}},
      {"below, shrunk, when it has more room there", {w.Left + 100, w.Top + 60, w.Left + 200, w.Bottom - 80}, 150, 200,
       daLeft, {w.Left + 100, w.Bottom - 80}, 80, 150, {3, 1}},
      {"above, shrunk, when above has more room", {w.Left + 100, w.Top + 90, w.Left + 200, w.Bottom - 50}, 150, 200,
       daLeft, {w.Left + 100, w.Top}, 90, 150, {2, 1}},
      {"right-aligned", {w.Left + 300, w.Top + 100, w.Left + 400, w.Top + 120}, 150, 50, daRight,
       {w.Left + 250, w.Top + 120}, 50, 150, {3, 0}},
      {"right-aligned past the left edge", {w.Left + 10, w.Top + 100, w.Left + 60, w.Top + 120}, 300, 50, daRight,
       {w.Left, w.Top + 120}, 50, 300, {3, 1}},
      {"centred", {w.Left + 300, w.Top + 100, w.Left + 400, w.Top + 120}, 150, 50, daCenter,
       {w.Left + 275, w.Top + 120}, 50, 150, {3, 1}},
      {"past the right edge", {w.Right - 50, w.Top + 100, w.Right - 10, w.Top + 120}, 150, 50, daLeft,
       {w.Right - 150, w.Top + 120}, 50, 150, {3, 0}},
      {"wider than the work area", {w.Left + 10, w.Top + 100, w.Left + 60, w.Top + 120}, w.Width() + 40, 50, daLeft,
       {w.Left, w.Top + 120}, 50, w.Width(), {3, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRecordingDropDown dropDown(nullptr);
    dropDown.SetBounds(0, 0, c.Width, c.Height);
    TPoint at;
    PlaceDropDownNearRect(c.Host, &dropDown, c.Align, at);
    EXPECT_EQ(at, c.At);
    EXPECT_EQ(dropDown.Height(), c.PlacedHeight);
    EXPECT_EQ(dropDown.Width(), c.PlacedWidth);
    EXPECT_EQ(dropDown.Sides, c.Sides);
  }
}

TEST_F(PlacementTest, NearAControlMeansNearItsBoundsOnTheScreen) {
  TForm* form = new TForm(Application);
  form->SetBorderStyle(bsNone);
  form->SetBounds(120, 80, 300, 200);
  TPanel* host = new TPanel(form);
  host->SetParent(form);
  host->SetBounds(10, 20, 100, 22);
  TRecordingDropDown dropDown(nullptr);
  dropDown.SetBounds(0, 0, 100, 60);
  TPoint at;
  PlaceDropDownNearControl(host, &dropDown, daLeft, at);
  EXPECT_EQ(at, TPoint(130, 122));
}

TEST(PopupMonthCalendarGdTest, ReleasesOnDaysTheTodayLinkWeekNumbersAndTheMonthTitleAccept) {
  struct TCase { UINT Hit; bool Accepts; };
  const TCase cases[] = {
      {MCHT_CALENDARDATE, true},      {MCHT_CALENDARDATENEXT, true}, {MCHT_CALENDARDATEPREV, true},
      {MCHT_TODAYLINK, true},         {MCHT_CALENDARWEEKNUM, true},  {MCHT_TITLEMONTH, true},
      {MCHT_CALENDARBK, true},        {MCHT_CALENDARDAY, false},     {MCHT_TITLEBTNNEXT, false},
      {MCHT_TITLEBTNPREV, false},     {MCHT_TITLEYEAR, false},       {MCHT_TITLEBK, false},
      {MCHT_NOWHERE, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.Hit);
    EXPECT_EQ(TPopupMonthCalendarGd::HitAccepts(c.Hit), c.Accepts);
  }
}

// An editor that owns a calendar pop-up and records how it is asked to close it.
class TCalendarHost : public TForm, public IPopupHostGd {
 public:
  explicit TCalendarHost(TComponent* AOwner) : TForm(AOwner) {}
  bool QueryInterface(const TGUID& IID, void** Obj) override {
    return classes::QueryInterfaces<IPopupHostGd>(this, IID, Obj);
  }
  void CloseUp(bool Accept) override { CloseUps.push_back(Accept); }
  std::vector<bool> CloseUps;
};

class PopupCalendarTest : public test::HeadlessTest {
 protected:
  void SetUp() override {
    Host = new TCalendarHost(Application);
    Host->SetBorderStyle(bsNone);
    Host->SetBounds(50, 50, 200, 60);
    Host->Show();
    Calendar = new TPopupMonthCalendarGd(Host);
    Calendar->SetParent(Host);
    Calendar->SetLeft(60);
    Calendar->SetTop(80);
    Calendar->SetDate(EncodeDate(2026, 1, 14));
    Calendar->Show();
    Calendar->SetFocus();
    App.ProcessMessages();
  }
  void TearDown() override { os::ResetInput(); }
  TCalendarHost* Host = nullptr;
  TPopupMonthCalendarGd* Calendar = nullptr;
  test::TInputDriver Input;
};

TEST_F(PopupCalendarTest, EnterAcceptsEscapeAndLosingTheFocusDoNot) {
  TRect rect;
  GetWindowRect(Calendar->Handle(), &rect);
  TRect required;
  Calendar->GetMinReqRect(required);
  EXPECT_EQ(rect.Width(), required.Width() + 4) << "the raised frame on each side";
  Input.Key(VK_RETURN);
  Input.Key(VK_ESCAPE);
  App.ProcessMessages();
  EXPECT_EQ(Host->CloseUps, (std::vector<bool>{true, false}));
  Host->CloseUps.clear();
  EXPECT_EQ(GetFocus(), Calendar->Handle());
  SendMessage(Calendar->Handle(), WM_KILLFOCUS, reinterpret_cast<WPARAM>(Host->Handle()), 0);
  EXPECT_TRUE(Host->CloseUps.empty()) << "posted, not sent";
  App.ProcessMessages();
  EXPECT_EQ(Host->CloseUps, (std::vector<bool>{false}));
}

TEST_F(PopupCalendarTest, AClickOnADayAcceptsItAndTheWheelMovesByDays) {
  Input.Wheel(-1);
  App.ProcessMessages();
  EXPECT_EQ(Calendar->Date(), EncodeDate(2026, 1, 15));
  Input.Wheel(1);
  Input.Wheel(1);
  App.ProcessMessages();
  EXPECT_EQ(Calendar->Date(), EncodeDate(2026, 1, 13));
  EXPECT_TRUE(Host->CloseUps.empty());
  // Find a day cell by hit-testing the client area.
  TPoint day{-1, -1};
  for (int y = 0; y < Calendar->ClientHeight() && day.X < 0; y += 3)
    for (int x = 0; x < Calendar->ClientWidth(); x += 3) {
      TDateTime d = 0;
      if (Calendar->HitTest({x, y}, &d) == MCHT_CALENDARDATE && d == EncodeDate(2026, 1, 20)) {
        day = {x, y};
        break;
      }
    }
  ASSERT_GE(day.X, 0);
  Input.Click(Calendar->Handle(), day);
  App.ProcessMessages();
  EXPECT_EQ(Calendar->Date(), EncodeDate(2026, 1, 20));
  EXPECT_EQ(Host->CloseUps, (std::vector<bool>{true}));
  SaveScreenForReview(App, "calendar-pop-up");
}

class PopupListTest : public test::HeadlessTest {
 protected:
  void SetUp() override {
    Editor = new TForm(Application);
    Editor->SetBorderStyle(bsNone);
    Editor->SetBounds(40, 40, 200, 30);
    Editor->Show();
    List = new TPopupListboxGd(Editor);
    List->SetParent(Editor);
    List->SetItemHeight(16);
    for (const char* t : {"apple", "banana", "berry", "cherry", "音乐", "音响"}) List->Items()->Add(t);
    List->SetBounds(40, 70, 120, 100);
    List->HandleNeeded();
    ShowWindow(List->Handle(), SW_SHOWNA);
    App.ProcessMessages();
  }
  void Type(char32_t C) { SendMessage(List->Handle(), WM_CHAR, C, 0); }
  TForm* Editor = nullptr;
  TPopupListboxGd* List = nullptr;
};

TEST_F(PopupListTest, HeightsSnapToWholeRowsAndNeverBelowOne) {
  const int border = ListBorderHeight(List);
  EXPECT_EQ(border, 4) << "the raised frame";
  List->SetBounds(40, 70, 120, border + 16 * 5 + 9);
  EXPECT_EQ(List->Height(), border + 16 * 5);
  EXPECT_EQ(List->RowCount(), 5);
  List->SetBounds(40, 70, 120, 7);
  EXPECT_EQ(List->Height(), border + 16);
  EXPECT_EQ(List->RowCount(), 1);
  List->FitRowsHeight(0);
  EXPECT_EQ(List->Height(), border + 16);
  List->FitRowsHeight(3);
  EXPECT_EQ(List->Height(), border + 48);
  EXPECT_EQ(List->ClientHeight(), 48);
}

TEST_F(PopupListTest, ItNeverTakesTheFocusYetShowsItsSelectionAsFocused) {
  Editor->SetFocus();
  App.ProcessMessages();
  EXPECT_FALSE(List->CanFocus());
  EXPECT_EQ(GetParent(List->Handle()), nullptr) << "a top-level window";
  test::TInputDriver input;
  const TRect row = List->ItemRect(2);
  input.Click(List->Handle(), {(row.Left + row.Right) / 2, (row.Top + row.Bottom) / 2});
  App.ProcessMessages();
  EXPECT_EQ(GetFocus(), Editor->Handle());
  EXPECT_EQ(List->ItemIndex(), 2);
  os::ResetInput();
}

TEST_F(PopupListTest, TypingSearchesFromTheTopAndStartsAgainAfterTwoSeconds) {
  Type('b');
  EXPECT_EQ(List->ItemIndex(), 1);
  Type('e');
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_EQ(List->SearchText(), "be");
  App.RunFor(1900);
  Type('r');
  EXPECT_EQ(List->SearchText(), "ber");
  App.RunFor(2100);
  Type('c');
  EXPECT_EQ(List->SearchText(), "c") << "a pause of more than 2000 ms starts a new search";
  EXPECT_EQ(List->ItemIndex(), 3);
  Type(VK_BACK);
  EXPECT_EQ(List->SearchText(), "");
  Type(U'音');
  Type(U'响');
  EXPECT_EQ(List->ItemIndex(), 5) << "characters of every script search";
  Type(VK_ESCAPE);
  for (int i = 0; i < 40; ++i) Type('x');
  EXPECT_EQ(List->SearchText(), std::string(32, 'x'));
}

TEST_F(PopupListTest, VirtualModeTakesItsTextsFromTheSourceItems) {
  TStringList source;
  for (const char* t : {"one", "two", "three"}) source.Add(t);
  List->SetSourceItems(&source);
  EXPECT_EQ(List->Style(), lbVirtualOwnerDraw);
  EXPECT_EQ(List->Count(), 3);
  Type('t');
  Type('h');
  EXPECT_EQ(List->ItemIndex(), 2);
  List->SetSourceItems(nullptr);
  EXPECT_EQ(List->Style(), lbOwnerDrawFixed);
}

TEST_F(PopupListTest, TheGripMovesToTheSideItIsTold) {
  TSizeGripGd* grip = List->SizeGrip();
  EXPECT_EQ(grip->Corner(), sgcBottomRight);
  SendMessage(List->Handle(), CM_SIZEGRIPSIDE_GD, sgsTop, 0);
  EXPECT_EQ(grip->Corner(), sgcTopRight);
  EXPECT_EQ(grip->Left(), List->ClientWidth() - grip->Width());
  EXPECT_EQ(grip->Top(), 0);
  SendMessage(List->Handle(), CM_SIZEGRIPSIDE_GD, sgsLeft, 0);
  EXPECT_EQ(grip->Corner(), sgcTopLeft);
  SendMessage(List->Handle(), CM_SIZEGRIPSIDE_GD, sgsTop, 0);
  EXPECT_EQ(grip->Corner(), sgcTopLeft) << "already on that side";
  SendMessage(List->Handle(), CM_SIZEGRIPSIDE_GD, sgsBottom, 0);
  EXPECT_EQ(grip->Corner(), sgcBottomLeft);
  EXPECT_EQ(grip->Top(), List->ClientHeight() - grip->Height());
  SendMessage(List->Handle(), CM_SIZEGRIPSIDE_GD, sgsRight, 0);
  EXPECT_EQ(grip->Corner(), sgcBottomRight);
}

TEST_F(PopupListTest, DraggingTheGripResizesTheListWithinTheWorkArea) {
  TSizeGripGd* grip = List->SizeGrip();
  int resized = 0;
  grip->OnParentResized = [&](TObject*) { ++resized; };
  test::TInputDriver input;
  const TPoint from = test::TInputDriver::ScreenPoint(grip->Handle(), {grip->Width() - 3, grip->Height() - 3});
  input.Drag(from, {from.X + 30, from.Y + 32});
  App.ProcessMessages();
  EXPECT_EQ(List->Width(), 150);
  EXPECT_EQ(List->ClientHeight(), 96 + 32);
  EXPECT_GT(resized, 0);
  EXPECT_EQ(grip->Left(), List->ClientWidth() - grip->Width()) << "the grip stays in its corner";
  // Far beyond the work area's right and bottom: the list ends at its edges.
  const TRect w = Work();
  const TPoint now = test::TInputDriver::ScreenPoint(grip->Handle(), {grip->Width() - 3, grip->Height() - 3});
  input.Drag(now, {w.Right + 300, w.Bottom + 300});
  App.ProcessMessages();
  TRect r;
  GetWindowRect(List->Handle(), &r);
  EXPECT_EQ(r.Right, w.Right);
  EXPECT_LE(r.Bottom, w.Bottom);
  os::ResetInput();
}

}  // namespace

namespace {

class MRUListboxTest : public test::HeadlessTest {
 protected:
  void SetUp() override {
    Editor = new TForm(Application);
    Editor->SetBorderStyle(bsNone);
    Editor->SetBounds(60, 30, 140, 24);
    Editor->Show();
    List = new TMRUListboxGd(Editor);
    List->SetParent(Editor);
    List->SetItemHeight(16);
    List->SetBounds(60, 60, 140, 4 + 16 * 5);
    List->HandleNeeded();
    ShowWindow(List->Handle(), SW_SHOWNA);
  }
  void TearDown() override { os::ResetInput(); }
  void Fill(int Count) {
    List->Items()->Clear();
    for (int i = 0; i < Count; ++i) List->Items()->Add("text " + std::to_string(i));
    App.ProcessMessages();
  }
  TForm* Editor = nullptr;
  TMRUListboxGd* List = nullptr;
};

TEST_F(MRUListboxTest, ItsOwnScrollBarShowsBesideTheGripWhenTheItemsOverflow) {
  Fill(3);
  TScrollBar* bar = List->ScrollBar();
  TSizeGripGd* grip = List->SizeGrip();
  EXPECT_FALSE(bar->Visible());
  EXPECT_TRUE(grip->TriangleShaped());
  Fill(20);
  EXPECT_EQ(GetWindowLong(List->Handle(), GWL_STYLE) & WS_VSCROLL, 0) << "no window scroll bar";
  ASSERT_TRUE(bar->Visible());
  EXPECT_EQ(bar->BoundsRect(), TRect(List->ClientWidth() - bar->Width(), 0, List->ClientWidth(),
                                     List->ClientHeight() - grip->Height()));
  EXPECT_FALSE(grip->TriangleShaped()) << "a square grip under the bar";
  SaveScreenForReview(App, "recent-texts-list");
  EXPECT_EQ(bar->Max(), 19);
  EXPECT_EQ(bar->PageSize(), 5);
  SendMessage(List->Handle(), CM_SIZEGRIPSIDE_GD, sgsTop, 0);
  EXPECT_EQ(bar->Top(), grip->Height());
  EXPECT_EQ(bar->Top() + bar->Height(), List->ClientHeight());
  SendMessage(List->Handle(), CM_SIZEGRIPSIDE_GD, sgsLeft, 0);
  EXPECT_EQ(bar->Top(), 0);
  EXPECT_EQ(bar->Height(), List->ClientHeight());
  EXPECT_TRUE(grip->TriangleShaped());
}

TEST_F(MRUListboxTest, TheScrollBarScrollsTheListAndFollowsTheWheel) {
  Fill(20);
  TScrollBar* bar = List->ScrollBar();
  test::TInputDriver input;
  input.Click(bar->Handle(), {bar->Width() / 2, bar->Height() - 3});
  App.ProcessMessages();
  EXPECT_EQ(List->TopIndex(), 1);
  EXPECT_EQ(bar->Position(), 1);
  SendMessage(List->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0);
  EXPECT_EQ(List->TopIndex(), 3);
  EXPECT_EQ(bar->Position(), 3);
}

}  // namespace

namespace {

class DropDownListTest : public test::HeadlessTest {
 protected:
  // A form with an edit at Top (screen), and a list of 12 items opened at it.
  void Open(int Top) {
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(40, Top, 220, 24);
    Edit = new TEdit(Form);
    Edit->SetParent(Form);
    Edit->SetBounds(0, 0, 220, 24);
    Form->Show();
    List = new TPopupListboxGd(Form);
    List->SetParent(Form);
    List->SetItemHeight(17);
    for (int i = 0; i < 12; ++i) List->Items()->Add("歌曲 " + std::to_string(i + 1));
    List->SetBounds(0, 0, 180, 4 + 17 * 8 + 5);
    List->SetItemIndex(2);
    TPoint at;
    PlaceDropDownNearControl(Edit, List, daLeft, at);
    List->SetBounds(at.X, at.Y, List->Width(), List->Height());
    List->HandleNeeded();
    ShowWindow(List->Handle(), SW_SHOWNA);
    App.ProcessMessages();
  }
  TForm* Form = nullptr;
  TEdit* Edit = nullptr;
  TPopupListboxGd* List = nullptr;
};

TEST_F(DropDownListTest, BelowItsEditTheListShowsWholeRowsAndAGripAtTheBottom) {
  Open(100);
  TRect r;
  GetWindowRect(List->Handle(), &r);
  EXPECT_EQ(r.Top, 100 + Edit->Height());
  EXPECT_EQ(r.Left, 40);
  EXPECT_EQ(List->ClientHeight(), 17 * 8) << "whole rows";
  EXPECT_EQ(List->SizeGrip()->Corner(), sgcBottomRight);
  // The grip's triangle: shadow lines below its diagonal, the list's colour above it.
  const gdi::TSurface shot = App.Presenter().Snapshot(List->Handle());
  const TSizeGripGd* grip = List->SizeGrip();
  int shadow = 0;
  for (int y = 0; y < grip->Height(); ++y)
    for (int x = 0; x < grip->Width(); ++x)
      if (gdi::ColorOfPixel(shot.Get(2 + grip->Left() + x, 2 + grip->Top() + y)) == ColorToRGB(clBtnShadow)) ++shadow;
  EXPECT_GT(shadow, grip->Width());
  EXPECT_EQ(gdi::ColorOfPixel(shot.Get(2 + grip->Left() + 1, 2 + grip->Top() + 1)), ColorToRGB(clWindow));
  SaveScreenForReview(App, "list-below-edit");
}

TEST_F(DropDownListTest, NearTheBottomOfTheWorkAreaTheListOpensAboveWithTheGripOnTop) {
  Open(Work().Bottom - 60);
  TRect r;
  GetWindowRect(List->Handle(), &r);
  EXPECT_EQ(r.Bottom, Work().Bottom - 60);
  EXPECT_EQ(List->SizeGrip()->Corner(), sgcTopRight);
  EXPECT_EQ(List->SizeGrip()->Top(), 0);
  EXPECT_EQ(List->ClientHeight() % 17, 0);
  SaveScreenForReview(App, "list-above-edit");
}

}  // namespace
