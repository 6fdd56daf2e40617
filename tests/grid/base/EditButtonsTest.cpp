// The edit buttons: their description (collection items with clamped and defaulted
// properties) and the button control with its pressed halves and auto-repeat.
#include <gtest/gtest.h>

#include "grid/base/ToolCtrlsGd.h"
#include "platform/classes/TypeInfo.h"
#include "platform/os/Input.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"

namespace {

TEST(EditButtonGdTest, PropertiesClampTheirValuesAndReportChanges) {
  TEditButtonsGd buttons(nullptr);
  std::vector<TCollectionItem*> changed;
  buttons.OnChanged = [&](TCollectionItem* Item) { changed.push_back(Item); };
  TEditButtonGd* b = buttons.Add();
  changed.clear();
  b->SetNumGlyphs(0);
  EXPECT_EQ(b->NumGlyphs(), 1);
  b->SetNumGlyphs(7);
  EXPECT_EQ(b->NumGlyphs(), 4);
  b->SetNumGlyphs(4);  // no change: no report
  EXPECT_EQ(changed, (std::vector<TCollectionItem*>{b}));
  int own = 0;
  b->OnButtonChanged = [&](TObject*) { ++own; };
  b->SetStyle(ebsUpDownGd);
  EXPECT_EQ(own, 1);
  EXPECT_EQ(changed.size(), 1u) << "an owner's handler takes the report over";
  EXPECT_EQ(buttons.ButtonAt(0), b);
}

TEST(EditButtonGdTest, TheMainButtonIsVisibleAndClickedByAltDown) {
  TVisibleEditButtonGd main(static_cast<TWinControl*>(nullptr));
  EXPECT_TRUE(main.Visible());
  EXPECT_EQ(main.ShortCut(), 32808);
  EXPECT_EQ(main.ShortCut(), scAlt | VK_DOWN);
  TEditButtonGd plain(static_cast<TCollection*>(nullptr));
  EXPECT_FALSE(plain.Visible());
  EXPECT_EQ(plain.ShortCut(), 0);
  // Only values other than the class's defaults are stored.
  const classes::TPropInfo* visible = classes::ClassInfoOf(&main)->FindProperty("Visible");
  ASSERT_NE(visible, nullptr);
  EXPECT_EQ(visible->Default, 1);
  plain.SetStyle(ebsEllipsisGd);
  plain.SetHint("pick");
  plain.SetWidth(12);
  main.Assign(&plain);
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(main.Style(), ebsEllipsisGd);
  EXPECT_EQ(main.Hint(), "pick");
  EXPECT_EQ(main.Width(), 12);
}

class EditButtonControlTest : public test::HeadlessTest {
 protected:
  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 200, 100);
    Button = new TEditButtonControlGd(Form);
    Button->SetParent(Form);
    Button->SetBounds(10, 10, 17, 21);
    Button->SetStyle(ebsUpDownGd);
    Button->OnDown = [this](TObject*, bool Top, bool&, bool&) { Downs.push_back({App.ElapsedMs(), Top}); };
    Button->OnClick = [this](TObject*) { ++Clicks; };
    Form->Show();
    App.ProcessMessages();
  }
  void TearDown() override { os::ResetInput(); }
  TPoint At(int Y) { return test::TInputDriver::ScreenPoint(Form->Handle(), {18, 10 + Y}); }

  struct TDown {
    int64_t At;
    bool Top;
    bool operator==(const TDown&) const = default;
  };
  TForm* Form = nullptr;
  TEditButtonControlGd* Button = nullptr;
  test::TInputDriver Input;
  std::vector<TDown> Downs;
  int Clicks = 0;
};

TEST_F(EditButtonControlTest, RowsOfAnUpDownButtonPressItsHalves) {
  for (int y = 0; y < 21; ++y) {
    SCOPED_TRACE(y);
    Input.MoveTo(At(y));
    Input.Press();
    App.ProcessMessages();
    EXPECT_EQ(Button->PressedPart(), y <= 9 ? 1 : y >= 12 ? 2 : 0);
    Input.Release();
    App.ProcessMessages();
    EXPECT_EQ(Button->PressedPart(), 0);
  }
  // Only the halves fire OnDown.
  EXPECT_EQ(Downs.size(), 19u);
}

TEST_F(EditButtonControlTest, HoldingAHalfRepeatsAfter400MsThenEvery100Ms) {
  const int64_t start = App.ElapsedMs();
  Input.MoveTo(At(15));
  Input.Press();
  Input.Wait(650);
  Input.Release();
  App.RunFor(1000);
  std::vector<TDown> expected;
  for (int64_t at : {0, 400, 500, 600}) expected.push_back({start + at, false});
  EXPECT_EQ(Downs, expected) << "none after the release";
  EXPECT_EQ(Clicks, 1);
}

TEST_F(EditButtonControlTest, SlidingOffThePressedHalfStopsTheRepeatAndTheClick) {
  const int64_t start = App.ElapsedMs();
  Input.MoveTo(At(3));
  Input.Press();
  Input.Wait(450);
  Input.MoveTo(At(16));
  Input.Wait(500);
  Input.Release();
  App.RunFor(1500);
  EXPECT_EQ(Downs, (std::vector<TDown>{{start, true}, {start + 400, true}}));
  EXPECT_EQ(Clicks, 0);
}

TEST_F(EditButtonControlTest, AHeldDownDropDownStaysPressedUntilReleased) {
  Button->SetStyle(ebsDropDownGd);
  Button->SetHeldDown(true);
  EXPECT_TRUE(Button->Down());
  EXPECT_EQ(Button->GroupIndex(), 1);
  EXPECT_FALSE(Button->AllowAllUp());
  Button->SetHeldDown(false);
  EXPECT_FALSE(Button->Down());
  EXPECT_EQ(Button->GroupIndex(), 0);
  EXPECT_TRUE(Button->AllowAllUp());
}

}  // namespace
