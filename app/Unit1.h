#pragma once
// The main window: the schedule database and its datasets, the scheduler of broadcast tasks,
// the broadcast and music players with their monitors, the weekly time slots, the tray icon,
// config.ini and the error log. It starts hidden; the tray icon is its only sign.
#include <deque>
#include <set>
#include <string>

#include "controls/base/FcLabel.h"
#include "controls/base/FcPanel.h"
#include "controls/base/FcStatus.h"
#include "controls/base/FcTabs.h"
#include "controls/input/FcSpnEdt.h"
#include "controls/shell/FcShellDialogs.h"
#include "grid/DBGridGd.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/data/ADODB.h"
#include "platform/data/DataLink.h"
#include "platform/media/MPlayer.h"
#include "tray/TrayIconEx.h"

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* AOwner);
  ~TForm1() override;

  // ---- components of the definition ----
  TADOConnection* ADOConnection1 = nullptr;
  TADOTable* ADOTable1 = nullptr;
  TADOQuery* ADOQuery1 = nullptr;
  TADOQuery* ADOQuery2 = nullptr;
  TADOQuery* moreplay2 = nullptr;
  TADOQuery* ADOQuery3_music = nullptr;
  TADOQuery* ADOQuery3_music_po = nullptr;
  TADOQuery* music_type = nullptr;
  TDataSource* DataSource1 = nullptr;
  TDataSource* DataSource2 = nullptr;
  TDataSource* DataSource3 = nullptr;
  TDataSource* DataSource4 = nullptr;
  TMediaPlayer* MediaPlayer1 = nullptr;
  TMediaPlayer* MediaPlayer2 = nullptr;
  TTimer* Timer1 = nullptr;
  TTimer* Timer2 = nullptr;
  TTimer* num1 = nullptr;
  TTimer* moreplaydoin = nullptr;
  TTimer* T_music = nullptr;
  TTimer* T_music_vo_add = nullptr;
  TTimer* T_musictype = nullptr;
  TTrayIconEx* TrayIconEx1 = nullptr;
  TPopupMenu* PopupMenu2 = nullptr;
  TPopupMenu* PopupMenu3 = nullptr;
  TPopupMenu* PopupMenu4_music = nullptr;
  TPopupMenu* PopupMenu4musictype = nullptr;
  TMenuItem* N9 = nullptr;
  TMenuItem* N7 = nullptr;
  TMenuItem* N17 = nullptr;
  TMenuItem* N18 = nullptr;
  TMenuItem* N22 = nullptr;
  TMenuItem* N25 = nullptr;
  TMenuItem* N27 = nullptr;
  TMenuItem* N29 = nullptr;
  TMenuItem* form2ShowModal1 = nullptr;
  TFcOpenDialog* FcOpenDialog1 = nullptr;
  TFcOpenDialog* FcOpenDialog2 = nullptr;
  TFcSelectFolderDialog* FcSelectFolderDialog1 = nullptr;

  TFcPanel* FcPanel3 = nullptr;
  TImage* Image1 = nullptr;
  TFcLabel* FcLabel13 = nullptr;
  TFcRapidFireButton* FcRapidFireButton6 = nullptr;
  TFcRapidFireButton* FcRapidFireButton7 = nullptr;
  TFcPanel* FcPanel4 = nullptr;
  TFcClockStatus* FcClockStatus1 = nullptr;
  TFcLabel* FcLabel14 = nullptr;
  TFcLabel* FcLabel15 = nullptr;
  TFcPanel* FcPanel5 = nullptr;
  TFcPanel* FcPanel6 = nullptr;
  TFcLabel* FcLabel17 = nullptr;
  TFcPageControl* FcPageControl1 = nullptr;
  TFcTabSheet* TabSheet1 = nullptr;
  TFcTabSheet* TabSheet2 = nullptr;
  TFcTabSheet* TabSheet3 = nullptr;
  TFcTabSheet* TabSheet4 = nullptr;
  TDBGridGd* DBGridGd1 = nullptr;
  TDBGridGd* DBGridGd2 = nullptr;
  TDBGridGd* DBGridGd3 = nullptr;
  TDBGridGd* DBGridGd4 = nullptr;
  TFcGroupBox* FcGroupBox1 = nullptr;
  TFcPanel* FcPanel1 = nullptr;
  TFcRapidFireButton* FcRapidFireButton1 = nullptr;
  TFcRapidFireButton* FcRapidFireButton2 = nullptr;
  TFcRapidFireButton* FcRapidFireButton3 = nullptr;
  TFcRapidFireButton* FcRapidFireButton4 = nullptr;
  TFcRapidFireButton* FcRapidFireButton5 = nullptr;
  TFcLabel* FcLabel12 = nullptr;
  TFcSpinEdit* FcSpinEdit1 = nullptr;
  TFcPanel* FcPanel6_music = nullptr;
  TFcRapidFireButton* FcRapidFireButton10 = nullptr;
  TFcRapidFireButton* FcRapidFireButton11 = nullptr;
  TFcRapidFireButton* FcRapidFireButton12 = nullptr;
  TFcRapidFireButton* FcRapidFireButton13 = nullptr;
  TFcRapidFireButton* FcRapidFireButton14 = nullptr;
  TFcLabel* FcLabel16 = nullptr;
  TFcSpinEdit* FcSpinEdit2 = nullptr;

  // ---- run-time state ----
  int PlayingTaskNo = 0;     // the task last started (painted lime)
  int PlayingMusicId = 0;    // the song last started (painted lime)
  int RepeatsLeft = 0;       // immediate repeats still to play
  int RepeatTaskNo = 0;      // the task whose repeats are counted
  int RepeatPending = 0;     // 1: the running broadcast still has repeats
  int FadeStep = 0;          // fade-in steps still to do
  int ResumeRequested = 0;   // 1: the next music start resumes the saved track and position
  int LastMusicId = 0;       // the song of the resume row after the last music start
  int CategoryFilterOn = 0;  // 1: the music list holds one category
  TDateTime SlotStart = 0;   // bounds of the selected time slot
  TDateTime SlotEnd = 0;
  std::string PreludeMark;   // "1" while the broadcast's prelude has been handed off
  std::string PreludePath;   // the prelude file handed to the options window's player
  bool AutoMode = false;     // the scheduler tick runs

  // The buttons' glyphs and the title picture, once the definition is read.
  void Loaded() override;

  // ---- start-up, settings, log ----
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void ReadConfig();
  // 1 "广播音量", 2 "音乐音量", 3 "时段播放"; any other kind writes nothing.
  void WriteConfigValue(int Kind, const std::string& Value);
  void WriteProgramName();
  void WriteErrorLog(const std::string& Message);
  // Automatic mode on (start buttons) and off (stop buttons).
  void FcRapidFireButton4Click(TObject* Sender);
  void FcRapidFireButton5Click(TObject* Sender);
  void FcRapidFireButton6Click(TObject* Sender);
  void FcRapidFireButton7Click(TObject* Sender);
  void N9Click(TObject* Sender);
  void N7Click(TObject* Sender);
  void TrayIconEx1DblClick(TObject* Sender);
  void FcLabel13MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);

  // ---- the pending list and the scheduler ----
  void ReloadTasks();
  void LoadTodayTasks();
  void RecalcRepeatTasks();
  void OpenRepeatTasks();
  void moreplaydoinTimer(TObject* Sender);
  void Timer2Timer(TObject* Sender);
  void num1Timer(TObject* Sender);
  void ADOTable1CalcFields(TDataSet* DataSet);
  // When the date has changed since the last look: the weekday label, today's repeating
  // tasks, today's pending list and today's time slots. Called first by every once-a-second
  // tick that depends on the date.
  void CheckNewDay();

  // ---- broadcasts ----
  void FcRapidFireButton1Click(TObject* Sender);
  void FcRapidFireButton2Click(TObject* Sender);
  void FcRapidFireButton3Click(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void DBGridGd1DblClick(TObject* Sender);
  void DBGridGd1DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumnGd* Column,
                               TGridDrawState State);

  // ---- background music ----
  void FcRapidFireButton10Click(TObject* Sender);
  void FcRapidFireButton11Click(TObject* Sender);
  void FcRapidFireButton12Click(TObject* Sender);
  void T_musicTimer(TObject* Sender);
  void T_music_vo_addTimer(TObject* Sender);
  void StartMusicFadeIn();
  void SaveMusicPosition();
  void UpdateMusicPosition();
  void AppendMusicPosition();
  void N17Click(TObject* Sender);
  void N18Click(TObject* Sender);
  void DBGridGd3DblClick(TObject* Sender);
  void DBGridGd3DrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumnGd* Column,
                               TGridDrawState State);
  void ADOQuery3_musicCalcFields(TDataSet* DataSet);

  // ---- time slots ----
  void OpenTodayTimeSlots();
  void LoadAllMusic();
  void LoadMusicByCategory(int CategoryId, bool Filter);
  void SelectCurrentTimeSlot();
  void T_musictypeTimer(TObject* Sender);
  void N22Click(TObject* Sender);
  void N27Click(TObject* Sender);

  // ---- volume ----
  void FcSpinEdit1Change(TObject* Sender);
  void FcSpinEdit2Change(TObject* Sender);
  void RecycleSelectedFiles(const std::string& Kind, TADOTable* Tasks, TDBGridGd* Grid, TADOQuery* Music);

 private:
  // Re-issues a query: close, new text, the weekday or category parameter, open.
  static void Requery(TADOQuery* Query, const std::string& Sql, const std::string& Param, const Variant& Value);
  // Automatic mode's buttons, tick and status text.
  void ShowMode(bool Automatic);
  // The broadcast has ended (or could not start): full volume, player closed, music back.
  void EndBroadcast();
  // After a broadcast, when music is allowed and the options ask for it: the paused music
  // resumes (its title back in the marquee when ShowTitle) or the music starts, fading in.
  // False when the music stays as it is.
  bool BringMusicBack(bool ShowTitle);
  // Ends the immediate repeats of the running task.
  void CancelRepeats();
  // Starts the current song of the music list; false when it could not be opened.
  bool PlayCurrentSong();
  // Moves the music list to the row after the current one, or to the first after the last.
  void MoveToNextSong();
  // The music player is done: closed, buttons back to play.
  void ResetMusicPlayer();
  // The broadcast and music levels (0..10) of the spin edits.
  int BroadcastLevel() const;
  int MusicLevel() const;
  // The resume key of the list that plays: its category while filtered, else 0.
  int ResumeKey() const;
  void StartRestartCompanion();
  void ShowBalloon(const std::string& Title, const std::string& Text);
  // A pending task that fell due: its number and the second of the day it was due at.
  struct TDueTask {
    int No = 0;
    int Due = 0;
  };
  // Walks the rows of the pending list due at or before Now (seconds of the day; the day
  // before counts up to 86400 more), in the order of their current times, each only once per
  // loaded list: a row up to the tick's late window behind joins the due tasks, which the
  // scheduler fires one per tick; a row further behind is logged as missed and moved on.
  // Only in automatic mode.
  void TakeDueTasks(int Now);
  bool IsDueTask(int No) const;
  // Fires a due task: stamps it, moves it on, reloads the list and plays it. False when the
  // task is gone.
  bool FireTask(const TDueTask& Task);
  // Logs the task as missed and moves it on unplayed: a repeating task to its next repetition
  // after Now, a task shifted by a clash back to its own time.
  void SkipMissedTask(int No, int Now);
  // The due tasks not fired when automatic mode ends are missed.
  void DropDueTasks();
  // Advances a repeating task from its ptime by its interval (or back to startime).
  void AdvanceRepeatingTask();
  void MoveMarquee();

  int FMusicFailures = 0;  // consecutive songs that could not be opened
  TDateTime FToday = 0;    // the date the lists were loaded for
  int FPreludeTaskNo = 0;  // the task waiting for the prelude handed off
  std::deque<TDueTask> FDueTasks;  // fallen due, to fire in this order, one per tick
  std::set<int> FTakenTasks;       // rows of the loaded pending list already fired, due or missed
};

extern TForm1* Form1;
