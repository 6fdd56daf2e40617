#include "app/week.h"

#include "app/Pictures.h"
#include "app/Unit1.h"
#include "platform/os/Input.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/Strings.h"

TForm3* Form3 = nullptr;

static const classes::TPublished<TForm3, TForm> Form3Info([](classes::TPublisher<TForm3>& p) {
#define FIELD(name) p.Field(#name, &TForm3::name)
  FIELD(FcPanel1); FIELD(FcPanel3); FIELD(Image1); FIELD(FcLabel13); FIELD(FcRapidFireButton7);
  FIELD(FcCheckBox1); FIELD(FcCheckBox2); FIELD(FcCheckBox3); FIELD(FcCheckBox4); FIELD(FcCheckBox5);
  FIELD(FcCheckBox6); FIELD(FcCheckBox7); FIELD(FcBitBtn1); FIELD(FcBitBtn2); FIELD(FcBitBtn3);
#undef FIELD
  p.Method("Image1MouseMove", &TForm3::Image1MouseMove);
  p.Method("FcBitBtn1Click", &TForm3::FcBitBtn1Click);
  p.Method("FcBitBtn2Click", &TForm3::FcBitBtn2Click);
  p.Method("FcBitBtn3Click", &TForm3::FcBitBtn3Click);
  p.Method("FcRapidFireButton7Click", &TForm3::FcRapidFireButton7Click);
});

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner) { Form3 = this; }

TForm3::~TForm3() {
  DestroyComponents();
  if (Form3 == this) Form3 = nullptr;
}

void TForm3::Loaded() {
  TForm::Loaded();
  app::SetTitlePicture(Image1, FcPanel3->Color());
  app::SetButtonGlyph(FcRapidFireButton7, app::TGlyphKind::Close);
}

void TForm3::Image1MouseMove(TObject*, TShiftState, int, int) {
  ReleaseCapture();
  SendMessage(Handle(), WM_SYSCOMMAND, 0xF012, 0);
}

TFcCheckBox* TForm3::Box(int Digit) const {
  TFcCheckBox* boxes[] = {FcCheckBox1, FcCheckBox2, FcCheckBox3, FcCheckBox4, FcCheckBox5, FcCheckBox6, FcCheckBox7};
  return Digit >= 1 && Digit <= 7 ? boxes[Digit - 1] : nullptr;
}

void TForm3::TickWeekday(int Digit) {
  if (TFcCheckBox* box = Box(Digit)) box->SetChecked(true);
}

void TForm3::LoadWeekdays(const std::string& Text) {
  for (int d = 1; d <= 7; ++d) Box(d)->SetChecked(false);
  std::string s = Text;
  for (size_t blank = s.find(' '); blank != std::string::npos; blank = s.find(' ')) {
    std::string token = Trim(s.substr(0, blank));
    if (!token.empty()) TickWeekday(StrToInt(token));
    s = Trim(s.substr(blank));
  }
  if (!s.empty()) TickWeekday(StrToInt(Trim(s)));
}

std::string TForm3::WeekdaysText() const {
  std::string text;
  for (int d = 1; d <= 7; ++d)
    if (Box(d)->Checked()) text += " " + IntToStr(d);
  return Trim(text);
}

void TForm3::FcBitBtn1Click(TObject*) {
  // The music-category window, the other opener, is not part of this build: the set goes to
  // the task being edited.
  Form1->ADOTable1->FieldByName("week")->SetAsString(WeekdaysText());
}

void TForm3::FcBitBtn2Click(TObject*) { LoadWeekdays(WeekText); }
void TForm3::FcBitBtn3Click(TObject*) { Close(); }
void TForm3::FcRapidFireButton7Click(TObject*) { Close(); }
