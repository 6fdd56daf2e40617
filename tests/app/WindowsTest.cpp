// The three windows as their definitions lay them out, shown on the headless presenter.
#include "tests/app/AppFixture.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace apptest;

TEST_F(AppTest, TheWindowsComeFromTheirDefinitions) {
  WriteConfig({{"自动运行", "是"}});
  AddTask({.Name = "早间广播", .PTime = "08:30:00"});
  StartProgram();
  EXPECT_EQ(Form1->ClientWidth(), 290);
  EXPECT_EQ(Form1->ClientHeight(), 213);
  EXPECT_EQ(Form2->ClientWidth(), 247);
  EXPECT_EQ(Form2->ClientHeight(), 314);
  EXPECT_EQ(Form3->ClientWidth(), 207);
  EXPECT_EQ(Form3->ClientHeight(), 136);
  EXPECT_EQ(Form1->FcPageControl1->TabCount(), 4);
  EXPECT_EQ(Form1->FcSpinEdit1->Max(), 10);
  // The timers as the window starts: only the slot watch runs, with the start-up recompute
  // and the scheduler of automatic mode.
  EXPECT_EQ(Form1->Timer2->Interval(), 1000u);
  EXPECT_EQ(Form1->Timer1->Interval(), 100u);
  EXPECT_EQ(Form1->T_music_vo_add->Interval(), 300u);
  EXPECT_EQ(Form1->moreplaydoin->Interval(), 1500u);
  EXPECT_TRUE(Form1->moreplaydoin->Enabled());
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_TRUE(Form2->Timer3->Enabled());
  EXPECT_FALSE(Form2->Timer1->Enabled());
  EXPECT_EQ(Form2->FcSpinner1->Value(), 1);
  EXPECT_EQ(FormatDateTime("hh:nn:ss", Form2->FcDateTimeEdit4->Time()), "07:50:00");
  EXPECT_EQ(FormatDateTime("hh:nn:ss", Form2->FcDateTimeEdit6->Time()), "22:50:00");
  EXPECT_TRUE(Form1->N18->Checked());
  EXPECT_TRUE(Form1->N17->Checked());
  App.RunFor(2 * test::kSecond);
  for (TForm* form : std::initializer_list<TForm*>{Form1, Form2, Form3}) {
    form->Show();
    App.ProcessMessages();
    if (const char* dir = getenv("OSTROVEL_WINDOW_PNGS"))
      test::SavePng(App.Presenter().Snapshot(form->Handle()), std::string(dir) + "/" + form->ClassName() + ".png");
    form->Hide();
  }
}

// Every glyph button of the three windows carries its two-cell picture and shows it; each
// title strip shows its picture, stretched from white at the left to the strip's colour.
TEST_F(AppTest, TheButtonsAndTitleStripsShowTheirPictures) {
  WriteConfig({{"自动运行", "是"}});
  StartProgram();
  for (TForm* form : std::initializer_list<TForm*>{Form1, Form2, Form3}) {
    form->Show();
    App.ProcessMessages();
    gdi::TSurface shot = App.Presenter().Snapshot(form->Handle());
    const TPoint origin = form->ClientToScreen({0, 0});
    auto at = [&](TControl* Control, int X, int Y) {
      TPoint p = Control->ClientToScreen({X, Y});
      return gdi::ColorOfPixel(shot.Get(p.X - origin.X, p.Y - origin.Y));
    };
    int buttons = 0;
    for (int i = 0; i < form->ComponentCount(); ++i) {
      auto* button = dynamic_cast<TFcRapidFireButton*>(form->Components(i));
      if (!button) continue;
      ++buttons;
      EXPECT_EQ(button->NumGlyphs(), 2) << button->Name();
      EXPECT_EQ(button->Glyph()->Width(), 32) << button->Name();
      if (!button->Visible()) continue;
      int drawn = 0;
      for (int y = 0; y < button->Height(); ++y)
        for (int x = 0; x < button->Width(); ++x) drawn += at(button, x, y) != ColorToRGB(button->Color());
      EXPECT_GE(drawn, 10) << form->Name() << "." << button->Name() << " shows no picture";
    }
    EXPECT_GT(buttons, 0) << form->Name();
    auto* image = dynamic_cast<TImage*>(form->FindComponent("Image1"));
    ASSERT_NE(image, nullptr) << form->Name();
    EXPECT_TRUE(image->Stretch());
    EXPECT_EQ(image->Width(), image->Parent()->ClientWidth()) << "the picture fills its strip";
    EXPECT_EQ(at(image, 0, image->Height() / 2), RGB(255, 255, 255)) << form->Name();
    EXPECT_EQ(at(image, image->Width() - 1, image->Height() / 2), ColorToRGB(image->Parent()->Color())) << form->Name();
    form->Hide();
  }
}

}  // namespace
