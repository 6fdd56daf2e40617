#include "app/option.h"

#include "app/Unit1.h"
#include "app/Volume.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/Dialogs.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Strings.h"
#include "platform/os/WindowPos.h"
#include "platform/shell/ShellApi.h"

TForm2* Form2 = nullptr;

static const classes::TPublished<TForm2, TForm> Form2Info([](classes::TPublisher<TForm2>& p) {
#define FIELD(name) p.Field(#name, &TForm2::name)
  FIELD(FcPanel1); FIELD(FcPanel3); FIELD(FcLabel13); FIELD(FcLabel2); FIELD(FcRapidFireButton7);
  FIELD(FcRapidFireButton1); FIELD(FcRapidFireButton3);
  FIELD(FcCheckBox1); FIELD(FcCheckBox2); FIELD(FcCheckBox3); FIELD(FcCheckBox4); FIELD(FcCheckBox5);
  FIELD(FcCheckBox6); FIELD(FcCheckBox7); FIELD(FcCheckBox8); FIELD(FcCheckBox9); FIELD(FcCheckBox10);
  FIELD(FcDateTimeEdit1); FIELD(FcDateTimeEdit2); FIELD(FcDateTimeEdit3); FIELD(FcDateTimeEdit4);
  FIELD(FcDateTimeEdit5); FIELD(FcDateTimeEdit6); FIELD(FcButtonEdit1); FIELD(FcSpinner1);
  FIELD(FcBitBtn1); FIELD(FcBitBtn2); FIELD(FcBitBtn3); FIELD(MediaPlayer1); FIELD(FcOpenDialog1);
  FIELD(Timer1); FIELD(Timer2); FIELD(Timer3);
#undef FIELD
  p.Method("FormCreate", &TForm2::FormCreate);
  p.Method("FcRapidFireButton1Click", &TForm2::FcRapidFireButton1Click);
  p.Method("FcRapidFireButton3Click", &TForm2::FcRapidFireButton3Click);
  p.Method("Timer1Timer", &TForm2::Timer1Timer);
  p.Method("Timer2Timer", &TForm2::Timer2Timer);
  p.Method("Timer3Timer", &TForm2::Timer3Timer);
  p.Method("FcRapidFireButton7Click", &TForm2::FcRapidFireButton7Click);
  p.Method("FcBitBtn3Click", &TForm2::FcBitBtn3Click);
});

namespace {
std::string HMS(TDateTime Value) { return FormatDateTime("hh:nn:ss", Value); }
double TimeOfDay(TDateTime Value) { return Value - static_cast<long long>(Value); }
}  // namespace

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {}

TForm2::~TForm2() {
  DestroyComponents();
  if (Form2 == this) Form2 = nullptr;
}

void TForm2::FormCreate(TObject*) {
  Form2 = this;
  LoadOptions();
}

void TForm2::LoadOptions() {
  std::string path = ExtractFilePath(Application->ExeName()) + "config.ini";
  if (!FileExists(path)) return;
  TIniFile ini(path);
  auto has = [&](const char* key) { return ini.ValueExists("set", key); };
  auto text = [&](const char* key) { return ini.ReadString("set", key, ""); };
  auto yesNo = [&](const char* key, TFcCheckBox* box) {
    if (has(key)) box->SetChecked(text(key) == "是");
  };
  auto timeOrOff = [&](const char* key, TFcCheckBox* box, TFcDateTimeEdit* edit) {
    if (!has(key)) return;
    std::string value = text(key);
    box->SetChecked(!value.empty());
    if (!value.empty()) edit->SetTime(StrToTime(value));
  };
  auto time = [&](const char* key, TFcDateTimeEdit* edit) {
    if (has(key)) edit->SetTime(StrToTime(text(key)));
  };
  yesNo("随机启动", FcCheckBox1);
  yesNo("自动运行", FcCheckBox2);
  timeOrOff("自动关闭时间", FcCheckBox5, FcDateTimeEdit1);
  timeOrOff("自动关机时间", FcCheckBox9, FcDateTimeEdit5);
  if (has("播放时先播放")) {
    std::string prelude = text("播放时先播放");
    FcCheckBox6->SetChecked(!prelude.empty());
    if (!prelude.empty()) {
      if (Trim(ExtractFilePath(prelude)).empty()) prelude = ExtractFilePath(Application->ExeName()) + prelude;
      FcButtonEdit1->SetText(prelude);
    }
  }
  if (has("前奏音量")) FcSpinner1->SetValue(StrToInt(text("前奏音量")));
  yesNo("播放时暂停音乐", FcCheckBox3);
  yesNo("播放完播放音乐", FcCheckBox4);
  yesNo("随程序启动播放音乐时间段", FcCheckBox8);
  time("播放音乐启动时间段起", FcDateTimeEdit2);
  time("播放音乐启动时间段止", FcDateTimeEdit3);
  yesNo("指定播放音乐启动时间", FcCheckBox7);
  time("播放音乐启动指定时间", FcDateTimeEdit4);
  yesNo("音乐关闭", FcCheckBox10);
  time("音乐关闭时间", FcDateTimeEdit6);
}

// ---------------------------------------------------------------- the prelude

void TForm2::FcRapidFireButton1Click(TObject*) {
  SetMixerVolume(static_cast<uint16_t>(FcSpinner1->Value() * kPreludeStep));
  if (Trim(Form1->PreludePath).empty() || Screen->ActiveCustomForm() == this)
    Form1->PreludePath = FcButtonEdit1->Text();
  if (!FileExists(Trim(Form1->PreludePath))) {
    EndPrelude();
    return;
  }
  try {
    MediaPlayer1->Close();
    MediaPlayer1->SetFileName(Form1->PreludePath);
    MediaPlayer1->Open();
    MediaPlayer1->Play();
  } catch (const Exception&) {
    ShellExecuteA(Handle(), "open", (ExtractFilePath(Application->ExeName()) + "quorvex.exe").c_str(), nullptr,
                  nullptr, SW_SHOWNORMAL);
    Application->MessageBox("系统播放异常！\r\r稍后程序自动关闭并重新运行。", "播放异常", MB_ICONERROR);
  }
  Timer1->SetEnabled(true);
  FcRapidFireButton1->SetEnabled(false);
  FcRapidFireButton3->SetEnabled(true);
}

void TForm2::FcRapidFireButton3Click(TObject*) {
  MediaPlayer1->Stop();
  FcRapidFireButton1->SetEnabled(true);
  FcRapidFireButton3->SetEnabled(false);
  Timer1->SetEnabled(false);
}

void TForm2::Timer1Timer(TObject*) {
  if (MediaPlayer1->Mode() != mpStopped) return;
  EndPrelude();
}

void TForm2::EndPrelude() {
  Timer1->SetEnabled(false);
  SetMixerVolume(kFullVolume);
  FcRapidFireButton1->SetEnabled(true);
  FcRapidFireButton3->SetEnabled(false);
  if (Form1->PreludeMark == "1") Form1->FcRapidFireButton1Click(this);
}

// ---------------------------------------------------------------- music at start-up, time actions

void TForm2::Timer2Timer(TObject*) {
  Timer2->SetEnabled(false);
  if (!FcCheckBox2->Checked() || !FcCheckBox8->Checked()) return;
  double now = TimeOfDay(Time());
  if (!(TimeOfDay(FcDateTimeEdit2->Time()) <= now && now <= TimeOfDay(FcDateTimeEdit3->Time()))) return;
  Form1->ResumeRequested = 1;
  if (Form1->N22->Checked()) Form1->SelectCurrentTimeSlot();
  Form1->FcRapidFireButton10Click(this);
}

void TForm2::Timer3Timer(TObject*) {
  // This check runs for the whole run: a new day reaches the main window even in manual mode.
  Form1->CheckNewDay();
  if (++TimeActionTickCount > 3600) {
    TADOQuery* pending = Form1->ADOQuery1;
    if (pending->Active() && !pending->IsEmpty() &&
        HMS(pending->FieldByName("ptime")->AsDateTime()) < HMS(Time()))
      Form1->RecalcRepeatTasks();
    TimeActionTickCount = 0;
  }
  if (FcCheckBox7->Checked() && HMS(Time()) == HMS(FcDateTimeEdit4->Time())) {
    Form1->ResumeRequested = 1;
    if (Form1->N22->Checked()) Form1->SelectCurrentTimeSlot();
    Form1->FcRapidFireButton10Click(this);
  }
  if (FcCheckBox10->Checked() && HMS(Time()) == HMS(FcDateTimeEdit6->Time())) {
    Form1->T_musictype->SetEnabled(false);
    Form1->FcRapidFireButton11Click(this);
  }
  if (FcCheckBox5->Checked() && HMS(Time()) == HMS(FcDateTimeEdit1->Time())) {
    Form1->FcRapidFireButton11Click(this);
    // No question at the configured time; the volume is left as the program found it.
    Form1->OnClose = nullptr;
    SetMixerVolume(kFullVolume);
    Form1->Close();
  }
  if (FcCheckBox9->Checked() && HMS(Time()) == HMS(FcDateTimeEdit5->Time()))
    ShellExecuteA(Handle(), "open", "shutdown.exe", "-s -f -t 10", nullptr, SW_SHOWNORMAL);
}

void TForm2::FcRapidFireButton7Click(TObject*) { Close(); }
void TForm2::FcBitBtn3Click(TObject*) { Close(); }
