// The three windows as their definitions lay them out, shown on the headless presenter.
#include "app/Locale.h"
#include "platform/graphics/Bitmap.h"
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

// At its designed size the main window's texts fit their places in the Chinese locale and in
// the default one, for the widest values they take: the clock pane holds the longest date and
// time inside its frame, and no label runs into the control beside it.
TEST_F(AppTest, TheMainWindowsTextsFitTheirPlacesInBothLocales) {
  const TFormatSettings saved = FormatSettings();
  struct TRestore {
    const TFormatSettings& Saved;
    ~TRestore() { FormatSettings() = Saved; }
  } restore{saved};
  StartProgram();
  TBitmap measure;
  auto width = [&](TControl* Control, const std::string& Text) {
    measure.Canvas()->Font()->Assign(Control->Font());
    return measure.Canvas()->TextWidth(Text);
  };
  auto control = [&](const char* Name) {
    auto* c = dynamic_cast<TControl*>(Form1->FindComponent(Name));
    EXPECT_NE(c, nullptr) << Name;
    return c;
  };
  auto fitsBefore = [&](const char* Name, const std::string& Text, const char* Next) {
    TControl* c = control(Name);
    TControl* next = control(Next);
    if (!c || !next) return;
    EXPECT_LT(c->Left() + width(c, Text), next->Left()) << Name << " \"" << Text << "\" runs into " << Next;
  };
  for (const char* locale : {"zh_CN.UTF-8", "C.UTF-8"}) {
    SCOPED_TRACE(locale);
    FormatSettings() = rtl::LocaleFormatSettings(locale);
    app::UseProgramDateFormats(FormatSettings(), locale);
    // The clock: from where its text starts to the end of the area inside its frame, for the
    // widest dates and times.
    TFcClockStatus* clock = Form1->FcClockStatus1;
    TRect inside;
    clock->GetCaptionRect(inside);
    const int room = inside.Right - (inside.Left + clock->CaptionOffset() + 1);
    for (TDateTime at : {test::LocalDateTime(2026, 12, 31, 23, 59, 59), test::LocalDateTime(2026, 10, 28, 10, 58, 58),
                         test::LocalDateTime(2026, 11, 30, 12, 0, 0)}) {
      const std::string text = FormatDateTime(clock->Format(), at);
      EXPECT_LE(width(clock, text), room) << "the clock pane cuts \"" << text << "\"";
    }
    // The weekday label, with the longest name of the week, before the status text.
    for (const std::string& day : FormatSettings().LongDayNames) fitsBefore("FcLabel14", day, "FcLabel15");
    for (const char* status : {"状态：自动", "状态：手动"})
      EXPECT_LE(Form1->FcLabel15->Left() + width(Form1->FcLabel15, status), Form1->ClientWidth());
  }
  // The two player bars: the elapsed time, the volume's name and its spin edit.
  fitsBefore("FcLabel12", "00:00", "FcLabel1");
  fitsBefore("FcLabel16", "00:00/00:00", "FcLabel18");
  fitsBefore("FcLabel1", "广播音量", "FcSpinEdit1");
  fitsBefore("FcLabel18", "音乐音量", "FcSpinEdit2");
  fitsBefore("FcLabel13", Form1->FcLabel13->Caption(), "FcRapidFireButton6");
}

// The 17 check boxes of the options window and the weekday picker size themselves to their
// captions: each on one line, clear of the control that follows it on its row.
TEST_F(AppTest, TheCheckBoxesShowTheirCaptionsOnOneLine) {
  StartProgram();
  int boxes = 0;
  for (TForm* form : std::initializer_list<TForm*>{Form2, Form3}) {
    for (int i = 0; i < form->ComponentCount(); ++i) {
      auto* box = dynamic_cast<TFcCheckBox*>(form->Components(i));
      if (!box) continue;
      ++boxes;
      EXPECT_EQ(box->Height(), Form3->FcCheckBox1->Height()) << box->Name() << " wraps its caption";
      TWinControl* parent = box->Parent();
      for (int j = 0; j < parent->ControlCount(); ++j) {
        TControl* next = parent->Controls(j);
        const bool sameRow =
            next != box && next->Top() < box->Top() + box->Height() && box->Top() < next->Top() + next->Height();
        if (sameRow && next->Left() >= box->Left()) {
          EXPECT_LE(box->Left() + box->Width(), next->Left()) << box->Name() << " runs into " << next->Name();
        }
      }
    }
  }
  EXPECT_EQ(boxes, 17);
}

// The tray icon of the main window has no picture in its definition: it shows the program's
// loudspeaker, with the tooltip "Ostrovel", and the balloons show that picture (kind 4).
TEST_F(AppTest, TheTrayIconShowsTheProgramsLoudspeakerWithItsTip) {
  StartProgram();
  const auto icon =
      shell::FindTrayIcon(TrayIconHandler()->WindowHandle(), reinterpret_cast<UINT_PTR>(Form1->TrayIconEx1));
  ASSERT_TRUE(icon);
  EXPECT_TRUE(Form1->TrayIconEx1->Icon()->Empty());
  EXPECT_NE(icon->icon, nullptr);
  EXPECT_EQ(icon->icon, Application->Icon()->Handle());
  EXPECT_EQ(icon->tip, "Ostrovel");
  ASSERT_FALSE(Services.Tray.Balloons().empty());
  for (const auto& b : Services.Tray.Balloons()) EXPECT_EQ(b.infoFlags, NIIF_USER) << b.text;
}

}  // namespace
