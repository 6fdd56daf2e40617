#include <string>

#include "platform/controls/StdCtrls.h"
#include "platform/os/Focus.h"
#include "platform/os/ScrollBars.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

class MemoTest : public ControlTest {
 protected:
  MemoTest() {
    Memo = Make<TMemo>(Form, "Memo1", Bounds(10, 10, 200, 100));
    Memo->SetText("");
    Memo->OnChange = [this](TObject*) { ++Changes; };
  }
  void Focus() {
    ShowForm();
    Memo->SetFocus();
    Pump();
  }
  void Keys(std::initializer_list<UINT> keys) {
    for (UINT k : keys) Input.Key(k);
    Pump();
  }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessage(Memo->Handle(), msg, w, l); }
  TMemo* Memo;
  int Changes = 0;
};

TEST_F(MemoTest, LinesAreBoundToTheText) {
  TStrings* lines = Memo->Lines();
  lines->Add("first");
  lines->Add("second");
  EXPECT_EQ(Memo->Text(), "first\r\nsecond");
  EXPECT_EQ(lines->Count(), 2);
  lines->Insert(1, "middle");
  lines->SetStrings(0, "1st");
  lines->Delete(2);
  EXPECT_EQ(Memo->Text(), "1st\r\nmiddle");
  Memo->SetText("a\nb\r\nc\r\n");
  EXPECT_EQ(lines->Count(), 3) << "a final break adds no line";
  EXPECT_EQ(lines->Strings(2), "c");
  ShowForm();
  EXPECT_EQ(Memo->Text(), "a\r\nb\r\nc\r\n") << "the window keeps CR LF breaks";
  EXPECT_EQ(Send(EM_GETLINECOUNT), 4);
  EXPECT_EQ(Send(EM_LINEINDEX, 2), 6);
  EXPECT_EQ(Send(EM_LINEFROMCHAR, 7), 2);
  EXPECT_EQ(Send(EM_LINELENGTH, 3), 1);
  EXPECT_EQ(Send(EM_LINEINDEX, 9), -1);
  lines->Clear();
  EXPECT_EQ(lines->Count(), 0);
  EXPECT_THROW(lines->Strings(0), EStringListError);
  EXPECT_GT(Changes, 0);
}

TEST_F(MemoTest, EnterAndArrowsWorkOnLines) {
  Memo->SetText("abc\r\nde\r\nfghij");
  Focus();
  Memo->SetSelStart(2);
  Keys({VK_DOWN});
  EXPECT_EQ(Memo->CaretPos(), TPoint(2, 1));
  Keys({VK_DOWN});
  EXPECT_EQ(Memo->CaretPos(), TPoint(2, 2));
  Keys({VK_END, VK_UP});
  EXPECT_EQ(Memo->CaretPos(), TPoint(2, 1)) << "the column is kept within the shorter line";
  Keys({VK_RIGHT});
  EXPECT_EQ(Memo->CaretPos(), TPoint(0, 2)) << "Right steps over the whole line break";
  Keys({VK_BACK});
  EXPECT_EQ(Memo->Text(), "abc\r\ndefghij");
  Keys({VK_RETURN});
  EXPECT_EQ(Memo->Text(), "abc\r\nde\r\nfghij");
  Memo->SetCaretPos(TPoint(1, 0));
  EXPECT_EQ(Memo->SelStart(), 1);
  Memo->SetWantReturns(false);
  Keys({VK_RETURN});
  EXPECT_EQ(Memo->Lines()->Count(), 3);
}

TEST_F(MemoTest, TabsAreTypedOnlyWithWantTabs) {
  TEdit* next = Make<TEdit>(Form, "Next", Bounds(10, 150, 100, 21));
  Focus();
  Keys({VK_TAB});
  EXPECT_EQ(FindControl(GetFocus()), next);
  Memo->SetWantTabs(true);
  Memo->SetFocus();
  Keys({VK_TAB});
  EXPECT_EQ(FindControl(GetFocus()), Memo);
  EXPECT_EQ(Memo->Text(), "\t");
}

TEST_F(MemoTest, WordWrapBreaksLinesAtSpacesAndBetweenChineseCharacters) {
  std::string words;
  for (int i = 0; i < 10; ++i) words += "word ";
  Memo->SetText(words);
  ShowForm();
  const LRESULT wrapped = Send(EM_GETLINECOUNT);
  EXPECT_GT(wrapped, 1);
  EXPECT_EQ(Memo->Lines()->Count(), 1) << "Lines are the paragraphs, not the wrapped lines";
  // Every wrapped line starts at a word.
  for (int i = 1; i < wrapped; ++i) EXPECT_EQ(Send(EM_LINEINDEX, static_cast<WPARAM>(i)) % 5, 0);
  std::string chinese;
  for (int i = 0; i < 40; ++i) chinese += "中";
  Memo->SetText(chinese);
  EXPECT_GT(Send(EM_GETLINECOUNT), 1);
  Memo->SetWordWrap(false);
  EXPECT_EQ(Send(EM_GETLINECOUNT), 1);
  EXPECT_NE(GetWindowLongPtr(Memo->Handle(), GWL_STYLE) & ES_AUTOHSCROLL, 0);
}

TEST_F(MemoTest, ScrollBarsAndScrollingFollowTheCaret) {
  Memo->SetScrollBars(ssVertical);
  for (int i = 0; i < 30; ++i) Memo->Lines()->Add("line " + std::to_string(i));
  Focus();
  EXPECT_NE(GetWindowLongPtr(Memo->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(Memo->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 29);
  EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
  Input.KeyDown(VK_CONTROL);
  Input.Key(VK_END);
  Input.KeyUp(VK_CONTROL);
  Pump();
  const LRESULT top = Send(EM_GETFIRSTVISIBLELINE);
  EXPECT_GT(top, 20);
  EXPECT_EQ(GetScrollPos(Memo->Handle(), SB_VERT), top);
  EXPECT_EQ(LOWORD(Send(EM_SCROLL, SB_LINEUP)), 0xFFFF) << "one line up";
  EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), top - 1);
  Memo->SetSelStart(0);
  Send(EM_SCROLLCARET);
  EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
  // The wheel scrolls too.
  Input.MoveTo(Memo->Handle());
  Input.Wheel(-1);
  Pump();
  EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 3);
}

TEST_F(MemoTest, MouseSelectsAcrossLines) {
  Memo->SetText("first line\r\nsecond line");
  Focus();
  HWND h = Memo->Handle();
  auto at = [&](int index) { return Input.ScreenPoint(h, LParamToPoint(Send(EM_POSFROMCHAR, static_cast<WPARAM>(index)))); };
  TPoint from = at(6), to = at(18);
  from.Y += 3;
  to.Y += 3;
  Input.Drag(from, to);
  Pump();
  EXPECT_EQ(Memo->SelText(), "line\r\nsecond");
}

TEST_F(MemoTest, Snapshot) {
  Form->SetColor(clBtnFace);
  Memo->SetScrollBars(ssVertical);
  Memo->SetText("Shop announcements\r\n背景音乐每天早上九点开始播放，晚上十点停止。\r\n\r\nA long line that wraps at the edge of the memo.");
  TMemo* right = Make<TMemo>(Form, "Memo2", Bounds(10, 120, 200, 60));
  right->SetAlignment(taRightJustify);
  right->SetText("right\r\naligned");
  ShowForm();
  Memo->SetFocus();
  Memo->SetSelStart(19);
  Memo->SetSelLength(6);
  App.RunFor(controls::CaretBlinkTime + 10);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-memos", 24, 300));
}

}  // namespace
