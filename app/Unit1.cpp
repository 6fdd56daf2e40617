#include "app/Unit1.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/Pictures.h"
#include "app/Volume.h"
#include "app/option.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/Dialogs.h"
#include "platform/os/Input.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Strings.h"
#include "platform/os/WindowPos.h"
#include "platform/shell/ShellApi.h"

TForm1* Form1 = nullptr;

namespace {

const char* const kPendingSql =
    "select * from db where use=true and ptime>time() and stardate<=date() and enddate>=date() and week like :v "
    "order by ptime";
const char* const kPendingShownSql =
    "select * from db where use=true and ptime>time() and stardate<=date() and enddate>=date() and week like :a "
    "order by ptime";
const char* const kRepeatingSql =
    "select * from db where use=true and moreplay=true and stardate<=date() and enddate>=date() and week like :v "
    "order by ptime";
const char* const kAllMusicSql = "select * from music order by id";
const char* const kCategorySql = "select * from music where status=:a order by id";
const char* const kSlotsSql = "select * from musictype_do where week like :a order by starttime";

constexpr int kDaySeconds = 86400;
constexpr int kClashShiftSeconds = 10;
// A tick this many seconds after a task's time still plays it.
constexpr int kLateTickSeconds = 5;

// Times of day as whole seconds since midnight, and back; arithmetic wraps at midnight.
int SecondsOf(TDateTime Value) {
  double frac = Value - std::floor(Value);
  return static_cast<int>(std::llround(frac * kDaySeconds)) % kDaySeconds;
}
TDateTime TimeOfSeconds(int Seconds) {
  int s = ((Seconds % kDaySeconds) + kDaySeconds) % kDaySeconds;
  return static_cast<double>(s) / kDaySeconds;
}
int NowSeconds() {
  double frac = Time() - std::floor(Time());
  return static_cast<int>(std::floor(frac * kDaySeconds + 1e-6)) % kDaySeconds;
}
std::string HMS(TDateTime Value) { return FormatDateTime("hh:nn:ss", Value); }

// The repetition interval of a task in seconds; 0 when the task does not repeat.
int IntervalSeconds(TDataSet* Row) {
  if (!Row->FieldByName("moreplay")->AsBoolean()) return 0;
  TField* bew = Row->FieldByName("bew");
  if (bew->IsNull() || bew->AsInteger() <= 0) return 0;
  return bew->AsInteger() * 60;
}

// The first repetition of a repeating row later than Now inside its window, or the window's
// start when none is left today.
int NextRepetitionAfter(TDataSet* Row, int Interval, int Now) {
  int start = SecondsOf(Row->FieldByName("startime")->AsDateTime());
  int end = SecondsOf(Row->FieldByName("endtime")->AsDateTime());
  int q = start;
  while (Now >= q) q += Interval;
  return q < start || q > end ? start : q;
}

std::string ConfigPath() { return ExtractFilePath(Application->ExeName()) + "config.ini"; }

// "mm:ss" of a player position in milliseconds.
std::string ElapsedText(int PositionMs) {
  std::string s = FormatDateTime("hh:mm:ss", PositionMs / 1000.0 / 86400.0);
  return s.substr(s.size() - 5);
}

bool IsPlaying(TMediaPlayer* Player) { return Player->Mode() == mpPlaying; }
bool IsPaused(TMediaPlayer* Player) { return Player->Mode() == mpPaused; }

}  // namespace

static const classes::TPublished<TForm1, TForm> Form1Info([](classes::TPublisher<TForm1>& p) {
#define FIELD(name) p.Field(#name, &TForm1::name)
  FIELD(ADOConnection1); FIELD(ADOTable1); FIELD(ADOQuery1); FIELD(ADOQuery2); FIELD(moreplay2);
  FIELD(ADOQuery3_music); FIELD(ADOQuery3_music_po); FIELD(music_type);
  FIELD(DataSource1); FIELD(DataSource2); FIELD(DataSource3); FIELD(DataSource4);
  FIELD(MediaPlayer1); FIELD(MediaPlayer2);
  FIELD(Timer1); FIELD(Timer2); FIELD(num1); FIELD(moreplaydoin); FIELD(T_music); FIELD(T_music_vo_add);
  FIELD(T_musictype); FIELD(TrayIconEx1);
  FIELD(PopupMenu2); FIELD(PopupMenu3); FIELD(PopupMenu4_music); FIELD(PopupMenu4musictype);
  FIELD(N9); FIELD(N7); FIELD(N17); FIELD(N18); FIELD(N22); FIELD(N25); FIELD(N27); FIELD(N29);
  FIELD(form2ShowModal1);
  FIELD(FcOpenDialog1); FIELD(FcOpenDialog2); FIELD(FcSelectFolderDialog1);
  FIELD(FcPanel3); FIELD(Image1); FIELD(FcLabel13); FIELD(FcRapidFireButton6); FIELD(FcRapidFireButton7);
  FIELD(FcPanel4); FIELD(FcClockStatus1); FIELD(FcLabel14); FIELD(FcLabel15); FIELD(FcPanel5); FIELD(FcPanel6);
  FIELD(FcLabel17); FIELD(FcPageControl1); FIELD(TabSheet1); FIELD(TabSheet2); FIELD(TabSheet3);
  FIELD(TabSheet4); FIELD(DBGridGd1); FIELD(DBGridGd2); FIELD(DBGridGd3); FIELD(DBGridGd4); FIELD(FcGroupBox1);
  FIELD(FcPanel1); FIELD(FcRapidFireButton1); FIELD(FcRapidFireButton2); FIELD(FcRapidFireButton3);
  FIELD(FcRapidFireButton4); FIELD(FcRapidFireButton5); FIELD(FcLabel12); FIELD(FcSpinEdit1);
  FIELD(FcPanel6_music); FIELD(FcRapidFireButton10); FIELD(FcRapidFireButton11); FIELD(FcRapidFireButton12);
  FIELD(FcRapidFireButton13); FIELD(FcRapidFireButton14); FIELD(FcLabel16); FIELD(FcSpinEdit2);
#undef FIELD
#define METHOD(name) p.Method(#name, &TForm1::name)
  METHOD(FormCreate); METHOD(FormClose);
  METHOD(FcRapidFireButton4Click); METHOD(FcRapidFireButton5Click); METHOD(FcRapidFireButton6Click);
  METHOD(FcRapidFireButton7Click); METHOD(N9Click); METHOD(N7Click); METHOD(TrayIconEx1DblClick);
  METHOD(FcLabel13MouseMove);
  METHOD(moreplaydoinTimer); METHOD(Timer2Timer); METHOD(num1Timer); METHOD(ADOTable1CalcFields);
  METHOD(FcRapidFireButton1Click); METHOD(FcRapidFireButton2Click); METHOD(FcRapidFireButton3Click);
  METHOD(Timer1Timer); METHOD(DBGridGd1DblClick); METHOD(DBGridGd1DrawColumnCell);
  METHOD(FcRapidFireButton10Click); METHOD(FcRapidFireButton11Click); METHOD(FcRapidFireButton12Click);
  METHOD(T_musicTimer); METHOD(T_music_vo_addTimer); METHOD(N17Click); METHOD(N18Click);
  METHOD(DBGridGd3DblClick); METHOD(DBGridGd3DrawColumnCell); METHOD(ADOQuery3_musicCalcFields);
  METHOD(T_musictypeTimer); METHOD(N22Click); METHOD(N27Click);
  METHOD(FcSpinEdit1Change); METHOD(FcSpinEdit2Change);
#undef METHOD
});

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {}

TForm1::~TForm1() {
  // The owned components go first while the fields that point at them still exist.
  DestroyComponents();
  if (Form1 == this) Form1 = nullptr;
}

// ================================================================ start-up, settings, log

void TForm1::Loaded() {
  TForm::Loaded();
  using app::TGlyphKind;
  app::SetTitlePicture(Image1, FcPanel3->Color());
  app::SetButtonGlyph(FcRapidFireButton6, TGlyphKind::Hide);
  app::SetButtonGlyph(FcRapidFireButton7, TGlyphKind::Close);
  for (TFcRapidFireButton* play : {FcRapidFireButton1, FcRapidFireButton10}) app::SetButtonGlyph(play, TGlyphKind::Play);
  for (TFcRapidFireButton* pause : {FcRapidFireButton2, FcRapidFireButton12}) app::SetButtonGlyph(pause, TGlyphKind::Pause);
  for (TFcRapidFireButton* stop : {FcRapidFireButton3, FcRapidFireButton11}) app::SetButtonGlyph(stop, TGlyphKind::Stop);
  for (TFcRapidFireButton* on : {FcRapidFireButton4, FcRapidFireButton13}) app::SetButtonGlyph(on, TGlyphKind::AutoStart);
  for (TFcRapidFireButton* off : {FcRapidFireButton5, FcRapidFireButton14}) app::SetButtonGlyph(off, TGlyphKind::AutoStop);
}

void TForm1::FormCreate(TObject*) {
  Form1 = this;
  FToday = Date();
  try {
    FcSpinEdit1->SetMax(10);
    FcSpinEdit2->SetMax(10);
    CategoryFilterOn = 0;
    Application->SetShowMainForm(false);
    FcLabel14->SetCaption(FormatDateTime("dddd", Date()));
    ADOConnection1->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=" +
                                        ExtractFilePath(Application->ExeName()) + "VN.dll" +
                                        ";Jet OLEDB:Database Password=lantorix;Persist Security Info=False");
    ShowBalloon("Ostrovel", "数据加载中...");
    ADOTable1->Close();
    ADOTable1->Open();
    ADOTable1->Refresh();
    ReadConfig();
    WriteProgramName();
    moreplaydoin->SetEnabled(true);
    ADOQuery3_music_po->Open();
    ADOQuery3_music->Open();
    ADOQuery3_music->Refresh();
    OpenTodayTimeSlots();
    RepeatsLeft = 0;
    ShowBalloon("Ostrovel", "正在后台运行...");
  } catch (const Exception& E) {
    WriteErrorLog("初始化失败—查询读取 " + E.Message());
    Application->MessageBox("系统初始化失败！读取\r" + E.Message(), "初始化", MB_ICONERROR);
    Application->Terminate();
  }
}

void TForm1::ReadConfig() {
  try {
    std::string path = ConfigPath();
    if (!FileExists(path)) {
      T_musictype->SetEnabled(false);
      ShowMode(false);
      return;
    }
    TIniFile ini(path);
    TNotifyEvent change1 = FcSpinEdit1->OnChange, change2 = FcSpinEdit2->OnChange;
    FcSpinEdit1->OnChange = nullptr;
    FcSpinEdit2->OnChange = nullptr;
    try {
      FcSpinEdit1->SetValue(StrToInt(ini.ReadString("set", "广播音量", "0")));
      FcSpinEdit2->SetValue(StrToInt(ini.ReadString("set", "音乐音量", "0")));
    } catch (...) {
      FcSpinEdit1->OnChange = change1;
      FcSpinEdit2->OnChange = change2;
      throw;
    }
    FcSpinEdit1->OnChange = change1;
    FcSpinEdit2->OnChange = change2;
    if (ini.ReadString("set", "时段播放", "0") == "是") {
      N22->SetChecked(true);
      N27->SetEnabled(false);
      N29->SetEnabled(false);
    } else {
      T_musictype->SetEnabled(false);
    }
    if (ini.ReadString("set", "自动运行", "0") == "是") {
      AutoMode = true;
      LoadTodayTasks();
      ShowMode(true);
    } else {
      ShowMode(false);
    }
  } catch (const Exception& E) {
    WriteErrorLog("初始化失败—配置 " + E.Message());
    Application->MessageBox("系统初始化失败！配置\r" + E.Message(), "初始化", MB_ICONERROR);
    Application->Terminate();
  }
}

void TForm1::WriteConfigValue(int Kind, const std::string& Value) {
  const char* key = Kind == 1 ? "广播音量" : Kind == 2 ? "音乐音量" : Kind == 3 ? "时段播放" : nullptr;
  if (!key) return;
  TIniFile(ConfigPath()).WriteString("set", key, Value);
}

void TForm1::WriteProgramName() {
  TIniFile(ConfigPath()).WriteString("set", "程序名称", ExtractFileName(Application->ExeName()));
}

void TForm1::WriteErrorLog(const std::string& Message) {
  AppendTextLine(ExtractFilePath(Application->ExeName()) + "err.txt",
                 FormatDateTime("yyyymmdd hh:nn:ss", Now()) + " " + Message);
}

void TForm1::ShowMode(bool Automatic) {
  AutoMode = Automatic;
  FcRapidFireButton4->SetVisible(!Automatic);
  FcRapidFireButton13->SetVisible(!Automatic);
  FcRapidFireButton5->SetVisible(Automatic);
  FcRapidFireButton14->SetVisible(Automatic);
  Timer2->SetEnabled(Automatic);
  FcLabel15->SetCaption(Automatic ? "状态：自动" : "状态：手动");
}

void TForm1::FcRapidFireButton4Click(TObject*) {
  // Loaded before the mode changes: what fell due in manual mode is not the scheduler's.
  ReloadTasks();
  ShowMode(true);
  FcGroupBox1->SetEnabled(false);
  FcGroupBox1->SetCaption("参数");
  DBGridGd1->SetEnabled(true);
}

void TForm1::FcRapidFireButton5Click(TObject*) {
  DropDueTasks();
  ShowMode(false);
}

void TForm1::FcRapidFireButton6Click(TObject*) {
  ShowBalloon("Ostrovel", "正在后台运行...");
  TrayIconEx1->SendMainFormToTray();
}

void TForm1::FcRapidFireButton7Click(TObject*) { Close(); }
void TForm1::N9Click(TObject*) { Close(); }
void TForm1::N7Click(TObject*) {
  if (Form2) Form2->ShowModal();
}
void TForm1::TrayIconEx1DblClick(TObject*) { TrayIconEx1->ShowMainForm(); }

void TForm1::FcLabel13MouseMove(TObject*, TShiftState, int, int) {
  ReleaseCapture();
  SendMessage(Handle(), WM_SYSCOMMAND, 0xF012, 0);
}

void TForm1::FormClose(TObject*, TCloseAction& Action) {
  if (Application->MessageBox("真的关闭程序？", "关闭 Ostrovel", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    ShowBalloon("Ostrovel正在运行...", "您没有选择关闭！");
    Action = caNone;
    return;
  }
  if (IsPlaying(MediaPlayer2) || IsPaused(MediaPlayer2)) {
    SaveMusicPosition();
    MediaPlayer2->Stop();
    MediaPlayer2->Close();
  }
  SetMixerVolume(kFullVolume);
}

void TForm1::ShowBalloon(const std::string& Title, const std::string& Text) {
  TrayIconEx1->ShowBalloonHint(Title, Text, 4, 10);
}

void TForm1::StartRestartCompanion() {
  ShellExecuteA(Handle(), "open", (ExtractFilePath(Application->ExeName()) + "quorvex.exe").c_str(), nullptr,
                nullptr, SW_SHOWNORMAL);
}

// ================================================================ the pending list

void TForm1::Requery(TADOQuery* Query, const std::string& Sql, const std::string& Param, const Variant& Value) {
  Query->Close();
  Query->SQL()->Clear();
  Query->SQL()->Add(Sql);
  if (!Param.empty()) Query->ParamByName(Param)->SetValue(Value);
  Query->Open();
}

void TForm1::ReloadTasks() {
  Timer2->SetEnabled(false);
  // The new list holds only rows due later than now: the rows that fell due since the last
  // load are taken first, so none is dropped unplayed and unlogged.
  TakeDueTasks(NowSeconds());
  LoadTodayTasks();
  // In manual mode the scheduler stays off whatever reloads the list.
  if (AutoMode) Timer2->SetEnabled(true);
}

void TForm1::LoadTodayTasks() {
  std::string today = "%" + GetWeekDayDigit() + "%";
  Requery(ADOQuery1, kPendingSql, "v", today);
  FTakenTasks.clear();
  if (ADOQuery1->RecordCount() >= 2) {
    ADOQuery1->First();
    std::string first = HMS(ADOQuery1->FieldByName("ptime")->AsDateTime());
    for (ADOQuery1->Next(); !ADOQuery1->Eof(); ADOQuery1->Next()) {
      if (HMS(ADOQuery1->FieldByName("ptime")->AsDateTime()) != first) break;
      if (!ADOTable1->Locate("no", ADOQuery1->FieldByName("no")->AsString(), loCaseInsensitive)) continue;
      int ptime = SecondsOf(ADOTable1->FieldByName("ptime")->AsDateTime());
      int interval = IntervalSeconds(ADOTable1);
      ADOTable1->Edit();
      if (interval == 0) {
        // A task shifted again before it played keeps its own time; status stays 1 once a
        // task has been shifted, so it is its time differing from nexttime that tells.
        TField* own = ADOTable1->FieldByName("nexttime");
        bool shifted = ADOTable1->FieldByName("status")->AsInteger() == 1 && !own->IsNull() &&
                       SecondsOf(own->AsDateTime()) != ptime;
        if (!shifted) own->SetAsDateTime(TimeOfSeconds(ptime));
        ADOTable1->FieldByName("status")->SetAsInteger(1);
        ADOTable1->FieldByName("ptime")->SetAsDateTime(TimeOfSeconds(ptime + kClashShiftSeconds));
      } else {
        int t = (ptime + interval) % kDaySeconds;
        int start = SecondsOf(ADOTable1->FieldByName("startime")->AsDateTime());
        int end = SecondsOf(ADOTable1->FieldByName("endtime")->AsDateTime());
        if (start <= t && t <= end) {
          ADOTable1->FieldByName("nexttime")->SetAsDateTime(TimeOfSeconds(t));
          ADOTable1->FieldByName("ptime")->SetAsDateTime(TimeOfSeconds(t));
        } else {
          ADOTable1->FieldByName("ptime")->SetAsDateTime(TimeOfSeconds(start));
        }
      }
      ADOTable1->Post();
    }
    ADOQuery1->First();
  }
  if (ADOQuery1->IsEmpty())
    FcPanel5->SetCaption(" 没有任务");
  else
    FcPanel5->SetCaption(" " + TimeToStr(ADOQuery1->FieldByName("ptime")->AsDateTime()) + "  播出  " +
                         ADOQuery1->FieldByName("filename")->AsString());
  Requery(ADOQuery2, kPendingShownSql, "a", today);
}

void TForm1::OpenRepeatTasks() { Requery(moreplay2, kRepeatingSql, "v", "%" + GetWeekDayDigit() + "%"); }

void TForm1::RecalcRepeatTasks() {
  // Taken before any time moves, so that a row due now is fired or logged at the time it had.
  TakeDueTasks(NowSeconds());
  OpenRepeatTasks();
  if (moreplay2->IsEmpty()) {
    ADOTable1->Close();
    ADOTable1->Open();
    return;
  }
  int now = NowSeconds();
  for (moreplay2->First(); !moreplay2->Eof(); moreplay2->Next()) {
    int interval = IntervalSeconds(moreplay2);
    if (interval == 0) continue;  // no interval: the task is taken as not repeating
    // A task that fell due and waits for its tick keeps the time it fell due at; its firing
    // moves it on.
    if (IsDueTask(moreplay2->FieldByName("no")->AsInteger())) continue;
    int next = NextRepetitionAfter(moreplay2, interval, now);
    moreplay2->Edit();
    moreplay2->FieldByName("ptime")->SetAsDateTime(TimeOfSeconds(next));
    moreplay2->Post();
  }
  ADOTable1->Close();
  ADOTable1->Open();
  ReloadTasks();
}

void TForm1::moreplaydoinTimer(TObject*) {
  moreplaydoin->SetEnabled(false);
  RecalcRepeatTasks();
}

void TForm1::ADOTable1CalcFields(TDataSet* DataSet) {
  int n = DataSet->RecNo();
  DataSet->FieldByName("noer")->SetAsInteger(n > 0 ? n : 1);
}

// ================================================================ the scheduler

void TForm1::AdvanceRepeatingTask() {
  int interval = IntervalSeconds(ADOTable1);
  if (interval == 0) return;
  int t = (SecondsOf(ADOTable1->FieldByName("ptime")->AsDateTime()) + interval) % kDaySeconds;
  int start = SecondsOf(ADOTable1->FieldByName("startime")->AsDateTime());
  int end = SecondsOf(ADOTable1->FieldByName("endtime")->AsDateTime());
  int next = (start <= t && t <= end) ? t : start;
  ADOTable1->Edit();
  ADOTable1->FieldByName("nexttime")->SetAsDateTime(TimeOfSeconds(next));
  ADOTable1->FieldByName("ptime")->SetAsDateTime(TimeOfSeconds(next));
  ADOTable1->Post();
}

void TForm1::Timer2Timer(TObject*) {
  CheckNewDay();
  if (FDueTasks.empty()) {
    if (!ADOQuery1->Active() || ADOQuery1->IsEmpty()) return;
    ADOQuery1->First();
    if (NowSeconds() < SecondsOf(ADOQuery1->FieldByName("ptime")->AsDateTime())) return;
    TakeDueTasks(NowSeconds());
    if (FDueTasks.empty()) {
      // Every row that fell due was missed: the list moves on past them.
      ReloadTasks();
      return;
    }
  }
  while (!FDueTasks.empty()) {
    TDueTask task = FDueTasks.front();
    FDueTasks.pop_front();
    if (FireTask(task)) return;
  }
}

void TForm1::TakeDueTasks(int Now) {
  if (!AutoMode || !ADOQuery1->Active() || ADOQuery1->IsEmpty()) return;
  std::vector<TDueTask> due;
  for (ADOQuery1->First(); !ADOQuery1->Eof(); ADOQuery1->Next()) {
    // The list is ordered by the times it was read with, and a clash only moves a row later:
    // the first row read for later than now ends the walk.
    int listed = SecondsOf(ADOQuery1->FieldByName("ptime")->AsDateTime());
    if (listed > Now) break;
    int no = ADOQuery1->FieldByName("no")->AsInteger();
    if (FTakenTasks.count(no) || !ADOTable1->Locate("no", IntToStr(no), loCaseInsensitive)) continue;
    // Lateness counts from the row's time now, which a clash may have moved. A repeating row
    // that a clash set back to its window's start is not due today.
    int at = SecondsOf(ADOTable1->FieldByName("ptime")->AsDateTime());
    if (at < listed || at > Now) continue;
    due.push_back({no, at});
  }
  ADOQuery1->First();
  std::stable_sort(due.begin(), due.end(), [](const TDueTask& a, const TDueTask& b) { return a.Due < b.Due; });
  for (const TDueTask& task : due) {
    FTakenTasks.insert(task.No);
    if (Now - task.Due <= kLateTickSeconds)
      FDueTasks.push_back(task);
    else
      SkipMissedTask(task.No, Now);
  }
}

bool TForm1::IsDueTask(int No) const {
  return std::any_of(FDueTasks.begin(), FDueTasks.end(), [No](const TDueTask& t) { return t.No == No; });
}

bool TForm1::FireTask(const TDueTask& Task) {
  std::string no = IntToStr(Task.No);
  if (!ADOTable1->Locate("no", no, loCaseInsensitive)) return false;
  ADOTable1->Edit();
  ADOTable1->FieldByName("backtime")->SetAsDateTime(Time() - std::floor(Time()));
  ADOTable1->Post();
  AdvanceRepeatingTask();
  ReloadTasks();
  ADOTable1->Locate("no", no, loCaseInsensitive);
  if (IntervalSeconds(ADOTable1) == 0 && ADOTable1->FieldByName("status")->AsInteger() == 1) {
    // Back at its own time for the next day; status keeps telling that it was shifted.
    ADOTable1->Edit();
    ADOTable1->FieldByName("ptime")->SetAsDateTime(ADOTable1->FieldByName("nexttime")->AsDateTime());
    ADOTable1->Post();
  }
  if (ADOTable1->FieldByName("num")->AsInteger() != 0) {
    RepeatsLeft = ADOTable1->FieldByName("num")->AsInteger();
    num1->SetEnabled(true);
    RepeatTaskNo = Task.No;
  }
  PreludeMark.clear();
  PlayingTaskNo = Task.No;
  DBGridGd1->Invalidate();
  FcRapidFireButton1Click(this);
  return true;
}

void TForm1::SkipMissedTask(int No, int Now) {
  if (!ADOTable1->Locate("no", IntToStr(No), loCaseInsensitive)) return;
  WriteErrorLog("错过播放时间 " + ADOTable1->FieldByName("filename")->AsString());
  int interval = IntervalSeconds(ADOTable1);
  if (interval != 0) {
    int next = NextRepetitionAfter(ADOTable1, interval, Now);
    ADOTable1->Edit();
    ADOTable1->FieldByName("nexttime")->SetAsDateTime(TimeOfSeconds(next));
    ADOTable1->FieldByName("ptime")->SetAsDateTime(TimeOfSeconds(next));
    ADOTable1->Post();
  } else if (ADOTable1->FieldByName("status")->AsInteger() == 1) {
    ADOTable1->Edit();
    ADOTable1->FieldByName("ptime")->SetAsDateTime(ADOTable1->FieldByName("nexttime")->AsDateTime());
    ADOTable1->Post();
  }
}

void TForm1::DropDueTasks() {
  int now = NowSeconds();
  std::deque<TDueTask> dropped;
  dropped.swap(FDueTasks);
  for (const TDueTask& task : dropped) SkipMissedTask(task.No, now);
}

void TForm1::CheckNewDay() {
  TDateTime today = Date();
  if (today == FToday) return;
  FToday = today;
  FcLabel14->SetCaption(FormatDateTime("dddd", today));
  // Rows still in the list fell due on the day that ended (the machine was busy or asleep over
  // midnight): they are taken as a late tick takes them, counted from that day.
  TakeDueTasks(NowSeconds() + kDaySeconds);
  // Today's repeating tasks wait at their first repetition; the list holds today's tasks.
  RecalcRepeatTasks();
  ReloadTasks();
  // Today's slots: with slot playback on, the current or next one is armed again.
  if (N22->Checked())
    SelectCurrentTimeSlot();
  else
    OpenTodayTimeSlots();
}

void TForm1::num1Timer(TObject*) {
  if (Form2 && Form2->Timer1->Enabled()) return;
  if (MediaPlayer1->Mode() == mpStopped && RepeatsLeft != 0) {
    // The current row may have moved since the firing: play the counted task itself.
    if (!ADOTable1->Locate("no", IntToStr(RepeatTaskNo), loCaseInsensitive)) {
      CancelRepeats();
      return;
    }
    ADOTable1->Edit();
    ADOTable1->FieldByName("backtime")->SetAsDateTime(Time() - std::floor(Time()));
    ADOTable1->Post();
    --RepeatsLeft;
    RepeatPending = 1;
    FcRapidFireButton1Click(this);
  }
  if (RepeatsLeft == 0) num1->SetEnabled(false);
}

void TForm1::CancelRepeats() {
  RepeatPending = 0;
  RepeatsLeft = 0;
  num1->SetEnabled(false);
}

// ================================================================ broadcasts

void TForm1::FcRapidFireButton1Click(TObject* Sender) {
  if (ADOTable1->IsEmpty()) return;
  // Back from the prelude: the task table may have been reopened meanwhile (a recompute, a
  // new day), so the task that waits is found again by its number.
  if (Sender == Form2 && PreludeMark == "1" && FPreludeTaskNo != 0 &&
      !ADOTable1->Locate("no", IntToStr(FPreludeTaskNo), loCaseInsensitive)) {
    PreludeMark.clear();
    CancelRepeats();
    EndBroadcast();
    return;
  }
  if (ADOTable1->State() == dsEdit || ADOTable1->State() == dsInsert) {
    // An edit open in the parameter box is given up.
    ADOTable1->Cancel();
    DBGridGd1->SetEnabled(true);
    FcGroupBox1->SetCaption("参数");
    FcGroupBox1->SetEnabled(false);
  }
  FcRapidFireButton1->SetVisible(false);
  FcRapidFireButton2->SetVisible(true);
  if (Form2->FcCheckBox3->Checked()) {
    T_music->SetEnabled(false);
    if (IsPlaying(MediaPlayer2)) MediaPlayer2->Pause();
  }
  if (IsPlaying(MediaPlayer1)) MediaPlayer1->Close();
  PreludePath = ADOTable1->FieldByName("befromy")->AsBoolean() ? ADOTable1->FieldByName("befrompath")->AsString() : "";
  FcPanel6_music->SetVisible(false);
  FcPanel1->SetVisible(true);
  if (IsPaused(MediaPlayer1)) {
    SetMixerVolume(static_cast<uint16_t>(BroadcastLevel() * kLevelStep));
    MediaPlayer1->Resume();
  } else {
    if (Form2->FcCheckBox6->Checked() && PreludeMark != "1" && ADOTable1->FieldByName("befrom")->AsBoolean()) {
      PreludeMark = "1";
      FPreludeTaskNo = ADOTable1->FieldByName("no")->AsInteger();
      Form2->FcRapidFireButton1Click(this);
      return;
    }
    PreludeMark.clear();
    SetMixerVolume(static_cast<uint16_t>(BroadcastLevel() * kLevelStep));
    std::string path = Trim(ADOTable1->FieldByName("filenameall")->AsString());
    if (!FileExists(path)) {
      // Nothing to play: the broadcast ends at once, and its repeats with it.
      WriteErrorLog("广播播放异常！ " + path);
      CancelRepeats();
      EndBroadcast();
      return;
    }
    try {
      PlayingTaskNo = ADOTable1->FieldByName("no")->AsInteger();
      DBGridGd1->Invalidate();
      MediaPlayer1->Close();
      MediaPlayer1->SetFileName(ADOTable1->FieldByName("filenameall")->AsString());
      MediaPlayer1->Open();
      MediaPlayer1->Play();
      FcLabel17->SetCaption(Trim(ADOTable1->FieldByName("filename")->AsString()) + "        ");
      RepeatPending = RepeatsLeft != 0 ? 1 : 0;
    } catch (const Exception&) {
      WriteErrorLog("广播播放异常！ " + ADOTable1->FieldByName("filename")->AsString());
      StartRestartCompanion();
    }
  }
  Timer1->SetEnabled(true);
  FcRapidFireButton1->SetEnabled(false);
  FcRapidFireButton2->SetEnabled(true);
  FcRapidFireButton3->SetEnabled(true);
}

void TForm1::FcRapidFireButton2Click(TObject*) {
  if (!IsPlaying(MediaPlayer1)) return;
  MediaPlayer1->Pause();
  FcRapidFireButton1->SetEnabled(true);
  FcRapidFireButton2->SetEnabled(false);
  FcRapidFireButton1->SetVisible(true);
  FcRapidFireButton2->SetVisible(false);
  Timer1->SetEnabled(false);
}

void TForm1::FcRapidFireButton3Click(TObject*) {
  if (!IsPlaying(MediaPlayer1) && !IsPaused(MediaPlayer1)) return;
  CancelRepeats();
  MediaPlayer1->Stop();
  MediaPlayer1->Close();
  MediaPlayer1->SetFileName("");
  FcRapidFireButton1->SetEnabled(true);
  FcRapidFireButton2->SetEnabled(false);
  FcRapidFireButton3->SetEnabled(false);
  Timer1->SetEnabled(false);
  FcLabel12->SetCaption("00:00");
  FcRapidFireButton1->SetVisible(true);
  FcRapidFireButton2->SetVisible(false);
  if (!BringMusicBack(false)) SetMixerVolume(kFullVolume);
}

void TForm1::MoveMarquee() {
  if (FcLabel17->Left() < -FcLabel17->Width())
    FcLabel17->SetLeft(FcPanel6->Width());
  else
    FcLabel17->SetLeft(FcLabel17->Left() - 6);
}

void TForm1::Timer1Timer(TObject*) {
  MoveMarquee();
  if (MediaPlayer1->Mode() != mpStopped || RepeatPending == 1) {
    FcLabel12->SetCaption(ElapsedText(MediaPlayer1->Position()));
    return;
  }
  EndBroadcast();
}

void TForm1::EndBroadcast() {
  SetMixerVolume(kFullVolume);
  MediaPlayer1->Close();
  MediaPlayer1->SetFileName("");
  Timer1->SetEnabled(false);
  FcRapidFireButton1->SetEnabled(true);
  FcRapidFireButton2->SetEnabled(false);
  FcRapidFireButton3->SetEnabled(false);
  FcRapidFireButton1->SetVisible(true);
  FcRapidFireButton2->SetVisible(false);
  BringMusicBack(true);
}

bool TForm1::BringMusicBack(bool ShowTitle) {
  if (!N18->Checked() || !Form2->FcCheckBox4->Checked()) return false;
  StartMusicFadeIn();
  T_music->SetEnabled(true);
  if (IsPaused(MediaPlayer2)) {
    MediaPlayer2->Resume();
    FcPanel6_music->SetVisible(true);
    FcPanel1->SetVisible(false);
    if (ShowTitle && !ADOQuery3_music->IsEmpty())
      FcLabel17->SetCaption(Trim(ADOQuery3_music->FieldByName("name")->AsString()) + "        ");
  } else {
    FcRapidFireButton10Click(this);
  }
  return true;
}

void TForm1::DBGridGd1DblClick(TObject*) {
  if (!ADOTable1->IsEmpty()) FcRapidFireButton1Click(this);
}

void TForm1::DBGridGd1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumnGd* Column,
                                     TGridDrawState State) {
  if (ADOTable1->Active() && !ADOTable1->IsEmpty() && ADOTable1->FieldByName("no")->AsInteger() == PlayingTaskNo)
    DBGridGd1->Canvas()->Font()->SetColor(RGB(0, 255, 0));
  DBGridGd1->DefaultDrawColumnCell(Rect, DataCol, Column, State);
}

int TForm1::BroadcastLevel() const { return StrToIntDef(Trim(FcSpinEdit1->Text()), 0); }
int TForm1::MusicLevel() const { return StrToIntDef(Trim(FcSpinEdit2->Text()), 0); }

// ================================================================ background music

int TForm1::ResumeKey() const {
  if (CategoryFilterOn != 1 || ADOQuery3_music->IsEmpty()) return 0;
  return ADOQuery3_music->FieldByName("status")->AsInteger();
}

void TForm1::FcRapidFireButton10Click(TObject*) {
  if (!ADOQuery3_music->Active() || ADOQuery3_music->IsEmpty() || !N18->Checked() || IsPlaying(MediaPlayer1) ||
      (Form2 && IsPlaying(Form2->MediaPlayer1)))
    return;
  if (IsPlaying(MediaPlayer2)) MediaPlayer2->Close();
  SetMixerVolume(static_cast<uint16_t>(MusicLevel() * kLevelStep));
  FcPanel6_music->SetVisible(true);
  FcPanel1->SetVisible(false);
  DBGridGd3->Invalidate();
  if (IsPaused(MediaPlayer2)) {
    StartMusicFadeIn();
    MediaPlayer2->Resume();
  } else if (!PlayCurrentSong()) {
    return;
  }
  FcRapidFireButton10->SetVisible(false);
  FcRapidFireButton12->SetVisible(true);
  T_music->SetEnabled(true);
  FcRapidFireButton10->SetEnabled(false);
  FcRapidFireButton12->SetEnabled(true);
  FcRapidFireButton11->SetEnabled(true);
}

bool TForm1::PlayCurrentSong() {
  bool resume = ResumeRequested == 1;
  int resumePosition = 0;
  if (resume) {
    if (ADOQuery3_music_po->Locate("idset", ResumeKey(), 0)) {
      resumePosition = ADOQuery3_music_po->FieldByName("Position")->AsInteger();
      ADOQuery3_music->Locate("id", ADOQuery3_music_po->FieldByName("id")->AsInteger(), 0);
    }
  }
  try {
    while (!ADOQuery3_music->IsEmpty()) {
      if (FileExists(Trim(ADOQuery3_music->FieldByName("namepath")->AsString()))) break;
      ADOQuery3_music->Delete();
    }
  } catch (const Exception& E) {
    WriteErrorLog("清除无效歌曲异常！  " + E.Message() + " " +
                  (ADOQuery3_music->IsEmpty() ? "" : ADOQuery3_music->FieldByName("name")->AsString()));
    Application->Terminate();
    return false;
  }
  if (ADOQuery3_music->IsEmpty()) return false;
  std::string name = ADOQuery3_music->FieldByName("name")->AsString();
  try {
    PlayingMusicId = ADOQuery3_music->FieldByName("id")->AsInteger();
    DBGridGd3->Invalidate();
    MediaPlayer2->Close();
    MediaPlayer2->SetFileName(ADOQuery3_music->FieldByName("namepath")->AsString());
    MediaPlayer2->Open();
    FcLabel17->SetCaption(Trim(name) + "        ");
    if (resume) {
      MediaPlayer2->SetPosition(resumePosition);
      ResumeRequested = 0;
    }
    StartMusicFadeIn();
    MediaPlayer2->Play();
    SaveMusicPosition();
    LastMusicId = ADOQuery3_music->FieldByName("id")->AsInteger();
    FMusicFailures = 0;
    return true;
  } catch (const Exception& E) {
    WriteErrorLog("音乐播放异常！  " + E.Message() + " " + name);
    ResumeRequested = 0;
    if (++FMusicFailures == 1) {
      // One song that cannot be opened is passed over; a second in a row ends the music.
      MoveToNextSong();
      FcRapidFireButton10Click(this);
      return false;
    }
    FMusicFailures = 0;
    ResetMusicPlayer();
    T_music_vo_add->SetEnabled(false);
    SetMixerVolume(kFullVolume);
    StartRestartCompanion();
    return false;
  }
}

void TForm1::MoveToNextSong() {
  if (ADOQuery3_music->RecNo() < ADOQuery3_music->RecordCount())
    ADOQuery3_music->Next();
  else
    ADOQuery3_music->First();
}

void TForm1::ResetMusicPlayer() {
  MediaPlayer2->Close();
  MediaPlayer2->SetFileName("");
  T_music->SetEnabled(false);
  FcRapidFireButton10->SetEnabled(true);
  FcRapidFireButton12->SetEnabled(false);
  FcRapidFireButton11->SetEnabled(false);
  FcRapidFireButton10->SetVisible(true);
  FcRapidFireButton12->SetVisible(false);
}

void TForm1::StartMusicFadeIn() {
  SetMixerVolume(10);
  FadeStep = 10;
  T_music_vo_add->SetEnabled(true);
}

void TForm1::T_music_vo_addTimer(TObject*) {
  if (FadeStep == 0) {
    T_music_vo_add->SetEnabled(false);
    return;
  }
  SetMixerVolume(static_cast<uint16_t>(MusicLevel() * (11 - FadeStep) / 10 * kLevelStep));
  --FadeStep;
}

void TForm1::T_musicTimer(TObject*) {
  MoveMarquee();
  if (MediaPlayer2->Mode() == mpStopped) {
    SetMixerVolume(kFullVolume);
    ResetMusicPlayer();
    if (!ADOQuery3_music->IsEmpty() && N17->Checked()) {
      ADOQuery3_music->Locate("id", LastMusicId, 0);
      MoveToNextSong();
      FcRapidFireButton10Click(this);
    }
  }
  FcLabel16->SetCaption(ElapsedText(MediaPlayer2->Position()));
}

void TForm1::FcRapidFireButton11Click(TObject*) {
  if (!IsPlaying(MediaPlayer2) && !IsPaused(MediaPlayer2)) return;
  SaveMusicPosition();
  MediaPlayer2->Stop();
  ResetMusicPlayer();
  FcLabel16->SetCaption("00:00/00:00");
  SetMixerVolume(kFullVolume);
}

void TForm1::FcRapidFireButton12Click(TObject*) {
  if (!IsPlaying(MediaPlayer2)) return;
  SaveMusicPosition();
  MediaPlayer2->Pause();
  FcRapidFireButton10->SetEnabled(true);
  FcRapidFireButton12->SetEnabled(false);
  FcRapidFireButton10->SetVisible(true);
  FcRapidFireButton12->SetVisible(false);
  T_music->SetEnabled(false);
}

void TForm1::SaveMusicPosition() {
  if (!ADOQuery3_music->Active() || ADOQuery3_music->IsEmpty()) return;
  if (ADOQuery3_music_po->Locate("idset", ResumeKey(), 0))
    UpdateMusicPosition();
  else
    AppendMusicPosition();
  ADOQuery3_music_po->Refresh();
}

void TForm1::UpdateMusicPosition() {
  ADOQuery3_music_po->Edit();
  ADOQuery3_music_po->FieldByName("id")->SetAsInteger(ADOQuery3_music->FieldByName("id")->AsInteger());
  ADOQuery3_music_po->FieldByName("FileName")->SetAsString(MediaPlayer2->FileName());
  ADOQuery3_music_po->FieldByName("Position")->SetAsInteger(MediaPlayer2->Position());
  ADOQuery3_music_po->Post();
}

void TForm1::AppendMusicPosition() {
  int key = ResumeKey();
  ADOQuery3_music_po->Append();
  ADOQuery3_music_po->FieldByName("id")->SetAsInteger(ADOQuery3_music->FieldByName("id")->AsInteger());
  ADOQuery3_music_po->FieldByName("FileName")->SetAsString(MediaPlayer2->FileName());
  ADOQuery3_music_po->FieldByName("Position")->SetAsInteger(MediaPlayer2->Position());
  ADOQuery3_music_po->FieldByName("idset")->SetAsInteger(key);
  ADOQuery3_music_po->Post();
}

void TForm1::N18Click(TObject*) {
  if (!N18->Checked()) {
    N18->SetChecked(true);
  } else {
    N18->SetChecked(false);
    FcRapidFireButton11Click(this);
  }
}

void TForm1::N17Click(TObject*) {
  if (N18->Checked()) N17->SetChecked(!N17->Checked());
}

void TForm1::DBGridGd3DblClick(TObject*) {
  if (ADOQuery3_music->Active() && !ADOQuery3_music->IsEmpty()) FcRapidFireButton10Click(this);
}

void TForm1::DBGridGd3DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumnGd* Column,
                                     TGridDrawState State) {
  if (ADOQuery3_music->Active() && !ADOQuery3_music->IsEmpty() &&
      ADOQuery3_music->FieldByName("id")->AsInteger() == PlayingMusicId)
    DBGridGd3->Canvas()->Font()->SetColor(RGB(0, 255, 0));
  DBGridGd3->DefaultDrawColumnCell(Rect, DataCol, Column, State);
}

void TForm1::ADOQuery3_musicCalcFields(TDataSet* DataSet) {
  DataSet->FieldByName("noer")->SetAsInteger(DataSet->RecNo());
}

// ================================================================ time slots

void TForm1::OpenTodayTimeSlots() { Requery(music_type, kSlotsSql, "a", "%" + GetWeekDayDigit() + "%"); }

void TForm1::LoadAllMusic() { Requery(ADOQuery3_music, kAllMusicSql, "", Variant()); }

void TForm1::LoadMusicByCategory(int CategoryId, bool Filter) {
  if (Filter) {
    Requery(ADOQuery3_music, kCategorySql, "a", CategoryId);
    CategoryFilterOn = 1;
    if (ADOQuery3_music->IsEmpty()) {
      CategoryFilterOn = 0;
      LoadAllMusic();
    }
  } else {
    LoadAllMusic();
    CategoryFilterOn = 0;
  }
  ADOQuery3_music->Refresh();
}

void TForm1::SelectCurrentTimeSlot() {
  OpenTodayTimeSlots();
  if (music_type->IsEmpty()) {
    LoadMusicByCategory(0, false);
    T_musictype->SetEnabled(false);
    return;
  }
  int now = NowSeconds();
  for (music_type->First(); !music_type->Eof(); music_type->Next()) {
    TDateTime start = music_type->FieldByName("starttime")->AsDateTime();
    TDateTime end = music_type->FieldByName("endtime")->AsDateTime();
    if (SecondsOf(start) > now) {
      SlotStart = start;
      SlotEnd = end;
      LoadMusicByCategory(0, false);
      T_musictype->SetEnabled(true);
      return;
    }
    if (SecondsOf(end) > now) {
      SlotStart = start;
      SlotEnd = end;
      LoadMusicByCategory(music_type->FieldByName("idset")->AsInteger(), true);
      T_musictype->SetEnabled(true);
      return;
    }
  }
  LoadMusicByCategory(0, false);
  T_musictype->SetEnabled(false);
}

void TForm1::T_musictypeTimer(TObject*) {
  if (!N22->Checked()) return;
  CheckNewDay();
  std::string now = HMS(Time());
  if (now == HMS(SlotEnd) || now == HMS(SlotStart)) {
    ResumeRequested = 1;
    SelectCurrentTimeSlot();
    FcRapidFireButton10Click(this);
  }
}

void TForm1::N22Click(TObject*) {
  if (N22->Checked()) {
    CategoryFilterOn = 0;
    N22->SetChecked(false);
    WriteConfigValue(3, "否");
    T_musictype->SetEnabled(false);
    N27->SetEnabled(true);
    N29->SetEnabled(true);
  } else {
    N22->SetChecked(true);
    ResumeRequested = 1;
    CategoryFilterOn = 1;
    SelectCurrentTimeSlot();
    WriteConfigValue(3, "是");
    FcRapidFireButton10Click(this);
    N27->SetEnabled(false);
    N29->SetEnabled(false);
  }
}

void TForm1::N27Click(TObject*) {
  ResumeRequested = 1;
  CategoryFilterOn = 0;
  LoadAllMusic();
  FcRapidFireButton10Click(this);
}

// ================================================================ volume

void TForm1::FcSpinEdit1Change(TObject*) {
  WriteConfigValue(1, FcSpinEdit1->Text());
  SetMixerVolume(static_cast<uint16_t>(BroadcastLevel() * kLevelStep));
}

void TForm1::FcSpinEdit2Change(TObject*) {
  WriteConfigValue(2, FcSpinEdit2->Text());
  SetMixerVolume(static_cast<uint16_t>(MusicLevel() * kLevelStep));
}

void TForm1::RecycleSelectedFiles(const std::string& Kind, TADOTable* Tasks, TDBGridGd* Grid, TADOQuery* Music) {
  TBookmarkListGd* rows = Grid->SelectedRows();
  for (int i = 0; i < rows->Count(); ++i) {
    std::string path;
    if (Kind == "0") {
      Tasks->GotoBookmark(rows->Items(i));
      path = Tasks->FieldByName("filenameall")->AsString();
    } else {
      Music->GotoBookmark(rows->Items(i));
      path = Music->FieldByName("namepath")->AsString();
    }
    DeleteToRecycleBin(path);
  }
}
