// The incremental search over the numbered rows (case, misses, the pause that ends it, Chinese
// text, searching on), the screen position walks keep, and the tool-tips of cut-off cells.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/controls/ControlMessages.h"
#include "platform/os/WindowPos.h"
#include "tests/grid/GridFixture.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

using gridtest::GridTest;

class SearchTest : public GridTest {
 protected:
  SearchTest() {
    Grid->SetReadOnly(true);  // typing searches where the column cannot be edited
    Grid->SetOptionsGd(Grid->OptionsGd() + TDBGridGdOptions{dghIncSearch});
    Grid->SelectDataColumn(1, 0, false);
    Grid->SetFocus();
    App.ProcessMessages();
  }
  void Type(const std::string& Text) {
    Input.Type(Text);
    App.ProcessMessages();
  }
  void Press(UINT Key, TShiftState Shift = {}) { gridtest::PressKey(App, Input, Key, Shift); }
  test::TInputDriver Input;
};

TEST_F(SearchTest, TheTextTakesTheRecordsCaseAndAMissDropsTheCharacters) {
  Type("RO");
  EXPECT_TRUE(Grid->IncSearchActive());
  EXPECT_EQ(Grid->IncSearchText(), "ro");
  Type("W15");
  EXPECT_EQ(Grid->IncSearchText(), "row15");
  EXPECT_EQ(CurrentName(), "row15");
  const int row = Grid->Row();
  Type("x");
  EXPECT_EQ(Grid->IncSearchText(), "row15");
  EXPECT_EQ(CurrentName(), "row15");
  EXPECT_EQ(Grid->Row(), row);
}

TEST_F(SearchTest, ATypedSearchEndsAfterItsPauseOneStartedByCtrlFDoesNot) {
  Type("r");
  App.RunFor(1400);
  EXPECT_TRUE(Grid->IncSearchActive());
  Type("o");  // each key starts the pause again
  App.RunFor(1400);
  EXPECT_TRUE(Grid->IncSearchActive());
  App.RunFor(200);
  EXPECT_FALSE(Grid->IncSearchActive());
  EXPECT_EQ(Grid->IncSearchText(), "");
  Press('F', {ssCtrl});
  EXPECT_TRUE(Grid->IncSearchActive());
  App.RunFor(5000);
  EXPECT_TRUE(Grid->IncSearchActive());
  Press(VK_ESCAPE);
  EXPECT_FALSE(Grid->IncSearchActive());
}

TEST_F(SearchTest, BackspaceRemovesOneChineseCharacter) {
  Table.MoveBy(6);
  Table.Edit();
  Table.FieldByName("name")->SetAsString("歌曲七");
  Table.Post();
  Table.First();
  App.ProcessMessages();
  Type("歌曲");
  EXPECT_EQ(Grid->IncSearchText(), "歌曲");
  EXPECT_EQ(CurrentName(), "歌曲七");
  Press(VK_BACK);
  EXPECT_EQ(Grid->IncSearchText(), "歌");
  EXPECT_TRUE(Grid->IncSearchActive());
}

TEST_F(SearchTest, CtrlEnterSearchesOnAndCtrlShiftEnterBack) {
  Type("row1");
  EXPECT_EQ(CurrentName(), "row1");
  Press(VK_RETURN, {ssCtrl});
  EXPECT_EQ(CurrentName(), "row10");
  Press(VK_RETURN, {ssCtrl});
  EXPECT_EQ(CurrentName(), "row11");
  Press(VK_RETURN, {ssCtrl, ssShift});
  EXPECT_EQ(CurrentName(), "row10");
  // A move the search did not make ends it.
  Table.Next();
  App.ProcessMessages();
  EXPECT_FALSE(Grid->IncSearchActive());
}

TEST_F(SearchTest, TheTypedPrefixIsMarkedYellowInTheCurrentCell) {
  Type("ro");
  Paint();
  const TRect cell = Grid->CellRect(2, Grid->Row());
  const gdi::TSurface shot = App.Presenter().Snapshot(Form->Handle());
  if (const char* dir = std::getenv("OSTROVEL_GRID_PNGS")) test::SavePng(shot, std::string(dir) + "/search-prefix.png");
  int yellow = 0;
  for (int y = cell.Top; y < cell.Bottom; ++y)
    for (int x = cell.Left; x < cell.Right; ++x) yellow += gdi::ColorOfPixel(shot.Get(x, y)) == RGB(255, 255, 0);
  EXPECT_GT(yellow, 20);
  Press(VK_ESCAPE);
  Paint();
  const gdi::TSurface after = App.Presenter().Snapshot(Form->Handle());
  for (int y = cell.Top; y < cell.Bottom; ++y)
    for (int x = cell.Left; x < cell.Right; ++x) ASSERT_NE(gdi::ColorOfPixel(after.Get(x, y)), RGB(255, 255, 0));
}

// ---- the screen position ----

TEST_F(GridTest, TheScreenPositionComesBackAtEitherEndOfTheData) {
  auto check = [&](int RecNo) {
    SCOPED_TRACE(RecNo);
    Table.First();
    Table.MoveBy(RecNo - 1);
    App.ProcessMessages();
    const int row = Grid->Row();
    const TCustomDBGridGd::TScreenPositionGd position = Grid->SaveScreenPosition();
    EXPECT_EQ(Table.RecNo(), RecNo);  // saving leaves the current record where it was
    Table.DisableControls();
    Table.Last();
    Table.First();
    Grid->RestoreScreenPosition(position);
    Table.EnableControls();
    App.ProcessMessages();
    EXPECT_EQ(Table.RecNo(), RecNo);
    EXPECT_EQ(Grid->Row(), row);
  };
  for (int recNo : {1, 2, 10, 19, 20}) check(recNo);
  // Fewer records than the rows shown: the window holds only these.
  Table.First();
  while (Table.RecordCount() > 3) Table.Delete();
  App.ProcessMessages();
  for (int recNo : {1, 2, 3}) check(recNo);
}

// ---- tool-tips ----

class TipsTest : public GridTest {
 protected:
  TipsTest() {
    Name()->SetToolTips(true);
    Name()->SetWidth(24);
    App.ProcessMessages();
  }
  TColumnGd* Name() { return Grid->Columns()->Items(1); }
  // Asks for the hint at a client point; the grid's own hint stands before.
  bool AskHint(TPoint Client, THintInfo& Info) {
    Info.HintControl = Grid;
    Info.CursorPos = Client;
    Info.HintStr = "own";
    return SendMessage(Grid->Handle(), CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info)) == 0;
  }
  TRect NameCell(int DataRow) { return Grid->CellRect(2, DataRow + Grid->TitleOffset()); }
  int TextWidth(const std::string& Text) {
    Grid->Canvas()->SetFont(Name()->Font());
    return Grid->Canvas()->TextWidth(Text);
  }
  test::TInputDriver Input;
};

TEST_F(TipsTest, ACutOffCellShowsItsTextOverItsOwnPlace) {
  struct TCase {
    TAlignment Alignment;
    bool Flat;
  };
  const TCase cases[] = {{taLeftJustify, false}, {taRightJustify, false}, {taCenter, false}, {taLeftJustify, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Alignment) + (c.Flat ? " flat" : ""));
    Name()->SetAlignment(c.Alignment);
    Grid->SetFlat(c.Flat);
    App.ProcessMessages();
    const TRect cell = NameCell(2);
    THintInfo info;
    ASSERT_TRUE(AskHint({cell.Left + 3, cell.Top + 3}, info));
    EXPECT_EQ(info.HintStr, "row3");
    const int width = TextWidth("row3");
    const int right = cell.Left + Name()->Width();
    const int x = c.Alignment == taLeftJustify    ? cell.Left - 1
                  : c.Alignment == taRightJustify ? right - width - 6
                                                  : (cell.Left + right + 4) / 2 - width / 2 - 5;
    EXPECT_EQ(info.HintPos, Grid->ClientToScreen(TPoint{x, cell.Top - (c.Flat ? 2 : 1)}));
    EXPECT_EQ(info.CursorRect, cell);
  }
}

TEST_F(TipsTest, NoTipForTextThatFitsWithCtrlHeldOrWithoutToolTips) {
  const TRect cell = NameCell(0);
  const TPoint p{cell.Left + 3, cell.Top + 3};
  THintInfo info;
  Input.KeyDown(VK_CONTROL);
  App.ProcessMessages();
  AskHint(p, info);
  EXPECT_EQ(info.HintStr, "own");
  Input.KeyUp(VK_CONTROL);
  App.ProcessMessages();
  Name()->SetToolTips(false);
  AskHint(p, info);
  EXPECT_EQ(info.HintStr, "own");
  Name()->SetToolTips(true);
  Name()->SetWidth(120);
  App.ProcessMessages();
  AskHint(p, info);
  EXPECT_EQ(info.HintStr, "own");
  // Right-aligned text cut by no more than 2 pixels keeps its place.
  Name()->SetAlignment(taRightJustify);
  Name()->SetWidth(TextWidth("row1"));
  App.ProcessMessages();
  AskHint(p, info);
  EXPECT_EQ(info.HintStr, "own");
}

TEST_F(TipsTest, TheHintPauseIsZeroOverCellsWithToolTips) {
  struct TCase {
    int GridCol;
    int Expected;
  };
  for (const TCase& c : {TCase{2, 0}, TCase{1, 500}}) {
    const TRect cell = Grid->CellRect(c.GridCol, 2);
    Input.MoveTo(Grid->Handle(), {cell.Left + 3, cell.Top + 3});
    App.ProcessMessages();
    int pause = 500;
    SendMessage(Grid->Handle(), CM_HINTSHOWPAUSE, 0, reinterpret_cast<LPARAM>(&pause));
    EXPECT_EQ(pause, c.Expected);
  }
}

TEST_F(TipsTest, ATitlesOwnHintWinsOverItsToolTipAndKeepsTheNormalPause) {
  Name()->Title()->SetToolTips(true);
  const TRect title = Grid->CellRect(2, 0);
  const TPoint p{title.Left + 3, title.Top + 3};
  THintInfo info;
  Name()->Title()->SetHint("Sort by name|Click to sort the songs by name");
  ASSERT_TRUE(AskHint(p, info));
  EXPECT_EQ(info.HintStr, "Sort by name");
  EXPECT_EQ(info.CursorRect, title);
  EXPECT_EQ(info.HintWindowClass, nullptr) << "a plain hint, not a tool-tip";
  Input.MoveTo(Grid->Handle(), p);
  App.ProcessMessages();
  int pause = 500;
  SendMessage(Grid->Handle(), CM_HINTSHOWPAUSE, 0, reinterpret_cast<LPARAM>(&pause));
  EXPECT_EQ(pause, 500);
  Name()->Title()->SetHint("");
  pause = 500;
  SendMessage(Grid->Handle(), CM_HINTSHOWPAUSE, 0, reinterpret_cast<LPARAM>(&pause));
  EXPECT_EQ(pause, 0) << "a title with tool-tips and no hint shows its tip at once";
}

}  // namespace

namespace {

// The first and the last column of a dark pixel (text) within a band of the screen.
struct TInk {
  int First = -1;
  int Last = -1;
};
TInk InkColumns(const gdi::TSurface& Shot, const TRect& Band) {
  TInk ink;
  for (int x = Band.Left; x < Band.Right; ++x)
    for (int y = Band.Top; y < Band.Bottom; ++y) {
      const COLORREF c = gdi::ColorOfPixel(Shot.Get(x, y));
      if (GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80) {
        if (ink.First < 0) ink.First = x;
        ink.Last = x;
        break;
      }
    }
  return ink;
}

TEST_F(TipsTest, TheTipShowsItsTextExactlyOverTheCutOffText) {
  Grid->SetShowHint(true);
  Application->SetShowHint(true);
  for (TAlignment alignment : {taLeftJustify, taRightJustify, taCenter}) {
    SCOPED_TRACE(alignment);
    Name()->SetAlignment(alignment);
    Name()->SetWidth(alignment == taCenter ? 20 : 24);
    Paint();
    const TRect cell = NameCell(2);
    const TPoint topLeft = Grid->ClientToScreen(cell.TopLeft());
    const TRect band{topLeft.X + 1, topLeft.Y + 2, topLeft.X + cell.Width() - 1, topLeft.Y + cell.Height() - 2};
    const TInk before = InkColumns(App.Presenter().ScreenSnapshot(), band);
    Input.MoveTo(Grid->Handle(), {cell.Left + 3, cell.Top + 3});
    App.RunFor(100);
    THintWindow* tip = Application->HintWindow();
    ASSERT_NE(tip, nullptr);
    ASSERT_TRUE(IsWindowVisible(tip->Handle()));
    const gdi::TSurface shot = App.Presenter().ScreenSnapshot();
    if (const char* dir = std::getenv("OSTROVEL_GRID_PNGS"))
      test::SavePng(shot, std::string(dir) + "/tip-" + std::to_string(alignment) + ".png");
    // Inside the tip's border, its text stands where the cell's text stands: from the same
    // left edge, up to the same right edge, or round the same middle.
    const TRect tipRect = tip->BoundsRect();
    const TInk after = InkColumns(shot, {tipRect.Left + 1, band.Top, tipRect.Right - 1, band.Bottom});
    if (alignment == taLeftJustify) {
      EXPECT_EQ(after.First, before.First);
    } else if (alignment == taRightJustify) {
      EXPECT_EQ(after.Last, before.Last);
    } else {
      EXPECT_NEAR((after.First + after.Last) / 2, topLeft.X + cell.Width() / 2, 1);
    }
    EXPECT_GT(after.Last - after.First, before.Last - before.First);  // the whole text
    Input.MoveTo(Form->Handle(), {280, 190});
    App.RunFor(100);
  }
}

}  // namespace
