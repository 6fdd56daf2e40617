#include "platform/controls/StdLabels.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Input.h"
#include "tests/platform/controls/StaticFixtures.h"

namespace {

using namespace ctltest;

const COLORREF kFace = GetSysColor(COLOR_BTNFACE);

class LabelTest : public StaticControlTest {
 protected:
  TLabel* MakeLabel(const std::string& Caption, TRect Bounds) {
    auto* l = Make<TLabel>(Form, "Label" + std::to_string(++FCount), Bounds);
    l->SetCaption(Caption);
    return l;
  }
  int FCount = 0;
};

TEST_F(LabelTest, AutoSizeFitsTheTextAndARightAlignedLabelKeepsItsRightEdge) {
  auto* shortOne = MakeLabel("Hi", Bounds(10, 10, 200, 50));
  auto* longOne = MakeLabel("Hello, world", Bounds(10, 40, 5, 5));
  EXPECT_GT(shortOne->Width(), 5);
  EXPECT_LT(shortOne->Width(), longOne->Width());
  EXPECT_GT(shortOne->Height(), 10);
  EXPECT_EQ(shortOne->Height(), longOne->Height()) << "one line each";
  // An empty caption still takes a line, so the label does not vanish.
  auto* empty = MakeLabel("", Bounds(10, 70, 100, 100));
  EXPECT_EQ(empty->Height(), shortOne->Height());

  auto* right = MakeLabel("", Bounds(100, 100, 80, 17));
  right->SetAlignment(taRightJustify);
  const int rightEdge = right->Left() + right->Width();
  right->SetCaption("A longer caption");
  EXPECT_EQ(right->Left() + right->Width(), rightEdge);

  // Word wrap breaks the text within the width and grows downwards; without AutoSize nothing
  // moves.
  auto* wrapped = MakeLabel("", Bounds(10, 120, 60, 17));
  wrapped->SetWordWrap(true);
  wrapped->SetBounds(10, 120, 60, 17);
  wrapped->SetCaption("one two three four five six");
  EXPECT_LE(wrapped->Width(), 60);
  EXPECT_GE(wrapped->Height(), 3 * shortOne->Height());
  auto* fixed = MakeLabel("", Bounds(10, 150, 30, 40));
  fixed->SetAutoSize(false);
  fixed->SetBounds(10, 150, 30, 40);
  fixed->SetCaption("Much longer than thirty pixels");
  EXPECT_EQ(fixed->BoundsRect(), Bounds(10, 150, 30, 40));
}

TEST_F(LabelTest, TheAcceleratorFocusesTheFocusControl) {
  auto* edit = Make<TTestButton>(Form, "Edit", Bounds(100, 10, 80, 20));
  auto* other = Make<TTestButton>(Form, "Other", Bounds(100, 40, 80, 20));
  auto* name = MakeLabel("&Name:", Bounds(10, 10, 50, 17));
  name->SetFocusControl(edit);
  auto* plain = Make<TLabel>(Form, "Plain", Bounds(10, 40, 50, 17));
  plain->SetCaption("&Type:");
  plain->SetShowAccelChar(false);
  plain->SetFocusControl(other);
  ShowForm();
  other->SetFocus();
  Input.KeyDown(VK_MENU);
  Input.Key('N');
  Input.KeyUp(VK_MENU);
  Pump();
  EXPECT_TRUE(edit->Focused()) << "Alt+N";
  Input.KeyDown(VK_MENU);
  Input.Key('T');
  Input.KeyUp(VK_MENU);
  Pump();
  EXPECT_TRUE(edit->Focused()) << "with ShowAccelChar off the '&' is plain text";
  // The label forgets a focus control that goes away.
  delete edit;
  EXPECT_EQ(name->FocusControl(), nullptr);
  Input.KeyDown(VK_MENU);
  Input.Key('N');
  Input.KeyUp(VK_MENU);
  Pump();
}

TEST_F(LabelTest, LayoutPlacesTheTextVertically) {
  const TTextLayout layouts[] = {tlTop, tlCenter, tlBottom};
  int tops[3] = {};
  for (int i = 0; i < 3; ++i) {
    auto* l = MakeLabel("Text", Bounds(10 + 60 * i, 10, 50, 60));
    l->SetAutoSize(false);
    l->SetBounds(10 + 60 * i, 10, 50, 60);
    l->SetLayout(layouts[i]);
  }
  ShowForm();
  for (int i = 0; i < 3; ++i) {
    TRect ink = InkBox(Bounds(10 + 60 * i, 10, 50, 60), kFace);
    ASSERT_FALSE(ink.IsEmpty()) << i;
    tops[i] = ink.Top;
    if (i == 2) {
      EXPECT_GE(ink.Bottom, 10 + 60 - 6) << "bottom: the text ends near the bottom";
    }
  }
  EXPECT_LT(tops[0], 10 + 6) << "top";
  EXPECT_GT(tops[1], tops[0] + 10);
  EXPECT_GT(tops[2], tops[1] + 10);
}

TEST_F(LabelTest, ADisabledLabelIsEmbossedAndATransparentOneShowsItsParent) {
  auto* back = Make<TTestPanel>(Form, "Back", Bounds(0, 0, 300, 200));
  back->SetColor(RGB(255, 0, 0));
  auto* disabled = Make<TLabel>(Form, "Disabled", Bounds(10, 10, 10, 10));
  disabled->SetParent(back);
  disabled->SetCaption("Disabled");
  disabled->SetColor(kFace);
  disabled->SetEnabled(false);
  auto* clear = Make<TLabel>(Form, "Clear", Bounds(10, 50, 10, 10));
  clear->SetParent(back);
  clear->SetCaption("Clear");
  clear->SetTransparent(true);
  ShowForm();
  const TRect d = disabled->BoundsRect();
  EXPECT_GT(CountOf(d, GetSysColor(COLOR_BTNHIGHLIGHT)), 5);
  EXPECT_GT(CountOf(d, GetSysColor(COLOR_BTNSHADOW)), 5);
  EXPECT_EQ(CountOf(d, RGB(0, 0, 0)), 0) << "no text in the font colour";
  EXPECT_EQ(CountOf(d, RGB(255, 0, 0)), 0) << "an opaque label fills its background";
  const TRect c = clear->BoundsRect();
  EXPECT_GT(CountOf(c, RGB(255, 0, 0)), c.Width() * c.Height() / 2) << "the red parent shows through";
  EXPECT_GT(CountOf(c, RGB(0, 0, 0)), 5) << "the text is drawn";
}

}  // namespace
