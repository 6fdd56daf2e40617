// TCustomComboBox as the framed and image combos derive from it: owner-drawn items with a
// picture before the text (in the list and in the combo's face), a drop-down step of its own
// that widens the list to its widest item, and a frame painted over the default painting.
#include <string>

#include "platform/controls/ListCtrls.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

constexpr COLORREF kFrame = RGB(255, 0, 0);
constexpr COLORREF kPictures[] = {RGB(0, 160, 0), RGB(0, 0, 255), RGB(255, 160, 0)};
constexpr int kPicture = 10;

class TImageCombo : public TCustomComboBox {
 public:
  explicit TImageCombo(TComponent* AOwner) : TCustomComboBox(AOwner) {
    FFrameCanvas.SetControl(this);
    SetStyle(csOwnerDrawFixed);
    SetItemHeight(18);
  }
  int DrawnInFace = 0;
  int DropDowns = 0;
  int CloseUps = 0;
  int WidestItem = 0;

 protected:
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override {
    if (State.Contains(odComboBoxEdit)) ++DrawnInFace;
    Canvas()->FillRect(Rect);
    TCanvas* canvas = Canvas();
    const TColor text = canvas->Brush()->Color();
    canvas->Brush()->SetColor(kPictures[Index % 3]);
    canvas->FillRect({Rect.Left + 2, Rect.Top + 4, Rect.Left + 2 + kPicture, Rect.Top + 4 + kPicture});
    canvas->Brush()->SetColor(text);
    canvas->TextOut(Rect.Left + 4 + kPicture, Rect.Top + 2, Items()->Strings(Index));
  }
  void DropDown() override {
    TCustomComboBox::DropDown();
    ++DropDowns;
    Canvas()->Font()->Assign(Font());
    WidestItem = 0;
    for (int i = 0; i < Items()->Count(); ++i)
      WidestItem = std::max(WidestItem, Canvas()->TextWidth(Items()->Strings(i)) + kPicture + 12);
    Perform(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(WidestItem), 0);
  }
  void CloseUp() override {
    TCustomComboBox::CloseUp();
    ++CloseUps;
  }
  void WMPaint(TMessage& Message) override {
    TCustomComboBox::WMPaint(Message);
    FFrameCanvas.Brush()->SetColor(kFrame);
    FFrameCanvas.FrameRect(ClientRect());
  }

 private:
  TControlCanvas FFrameCanvas;
};

class ComboBoxAsBaseTest : public ControlTest {
 protected:
  ComboBoxAsBaseTest() {
    Combo = Make<TImageCombo>(Form, "Images", Bounds(10, 10, 120, 24));
    for (const char* s : {"one", "a much longer entry than the combo", "three"}) Combo->Items()->Add(s);
    ShowForm();
  }
  TImageCombo* Combo;
};

TEST_F(ComboBoxAsBaseTest, TheDropDownIsAsWideAsTheWidestItemAndItsRowsAreDrawnByTheCombo) {
  TRect window;
  GetWindowRect(Combo->Handle(), &window);
  Input.Click({window.Right - 5, window.Top + 12});
  Pump();
  ASSERT_TRUE(Combo->DroppedDown());
  EXPECT_EQ(Combo->DropDowns, 1);
  ASSERT_GT(Combo->WidestItem, 120);
  HWND list = Combo->ListBox()->Handle();
  TRect listRect;
  GetWindowRect(list, &listRect);
  EXPECT_EQ(listRect.Width(), Combo->WidestItem) << "the width the drop-down step set";

  // Each row shows its picture before its text.
  const gdi::TSurface& rows = *os::SurfaceOf(list);
  for (int i = 0; i < 3; ++i) {
    const TRect r = Combo->ListBox()->ItemRect(i);
    TPoint p{r.Left, r.Top};
    ClientToScreen(list, &p);
    EXPECT_EQ(gdi::ColorOfPixel(rows.Get(p.X - listRect.Left + 2 + kPicture / 2, p.Y - listRect.Top + 4 + kPicture / 2)),
              kPictures[i])
        << i;
  }

  // Choosing a row closes the list and shows the row, picture and all, in the combo's face.
  const TRect third = Combo->ListBox()->ItemRect(2);
  Input.Click(list, {third.Left + 40, (third.Top + third.Bottom) / 2});
  Pump();
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_EQ(Combo->CloseUps, 1);
  EXPECT_EQ(Combo->ItemIndex(), 2);
  EXPECT_GT(Combo->DrawnInFace, 0);
  const TRect text = Combo->TextRect();
  EXPECT_EQ(Pixel(10 + text.Left + 2 + kPicture / 2, 10 + text.Top + 4 + kPicture / 2), kPictures[2]);
}

TEST_F(ComboBoxAsBaseTest, ItsFrameIsPaintedOverTheDefaultPainting) {
  EXPECT_EQ(Pixel(10, 10), kFrame);
  EXPECT_EQ(Pixel(129, 20), kFrame);
  EXPECT_EQ(Pixel(60, 33), kFrame);
  Combo->Invalidate();
  Pump();
  EXPECT_EQ(Pixel(10, 20), kFrame) << "and again on each paint";
}

}  // namespace
