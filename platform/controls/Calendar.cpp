#include "platform/controls/Calendar.h"

#include <algorithm>
#include <cmath>

#include "platform/classes/TypeInfo.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/MemoryDC.h"
#include "platform/os/Input.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

const classes::TEnumInfo& EnumInfo(TCalDayOfWeek) {
  static const classes::TEnumInfo info{"TCalDayOfWeek",
                                       {"dowMonday", "dowTuesday", "dowWednesday", "dowThursday", "dowFriday",
                                        "dowSaturday", "dowSunday", "dowLocaleDefault"}};
  return info;
}

void DateTimeToSystemTime(TDateTime DateTime, SYSTEMTIME& S) {
  uint16_t y, m, d, h, n, s, ms;
  DecodeDate(DateTime, y, m, d);
  DecodeTime(DateTime, h, n, s, ms);
  S = {y, m, static_cast<WORD>(DayOfWeek(DateTime) - 1), d, h, n, s, ms};
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& S) {
  return EncodeDate(S.wYear, S.wMonth, S.wDay) + EncodeTime(S.wHour, S.wMinute, S.wSecond, S.wMilliseconds);
}

namespace {

TDateTime WholeDay(TDateTime Value) { return std::floor(static_cast<double>(Value)); }

TDateTime FirstOfMonth(TDateTime Value) {
  int y, m, d;
  DecodeDate(Value, y, m, d);
  return EncodeDate(y, m, 1);
}

// 0 Monday … 6 Sunday.
int MondayIndex(TDateTime Value) { return (DayOfWeek(Value) + 5) % 7; }

// The ISO 8601 week of a date: the week of its Thursday, counted in the Thursday's year.
int IsoWeek(TDateTime Value) {
  const TDateTime thursday = WholeDay(Value) - MondayIndex(Value) + 3;
  int y, m, d;
  DecodeDate(thursday, y, m, d);
  return static_cast<int>((thursday - EncodeDate(y, 1, 1)) / 7) + 1;
}

bool ChineseUi() { return rtl::ProcessLocaleName().rfind("zh", 0) == 0; }

}  // namespace

// ---- TCommonCalendar ----

TCommonCalendar::TCommonCalendar(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clWindow;
  FParentColor = false;
  SetTabStop(true);
  FDate = WholeDay(::Date());
  FViewDate = FirstOfMonth(FDate);
  TRect r;
  GetMinReqRect(r);
  SetBounds(0, 0, r.Width(), r.Height());
}

int TCommonCalendar::EffectiveFirstDay() const {
  if (FFirstDayOfWeek != dowLocaleDefault) return FFirstDayOfWeek;
  // US English weeks start on Sunday; most others, Chinese included, on Monday.
  const std::string locale = rtl::ProcessLocaleName();
  return locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("en_US", 0) == 0 ? dowSunday
                                                                                                : dowMonday;
}

bool TCommonCalendar::InRange(TDateTime Value) const {
  return (FMinDate == 0 || Value >= FMinDate) && (FMaxDate == 0 || Value <= FMaxDate);
}

TDateTime TCommonCalendar::Clamp(TDateTime Value) const {
  if (FMinDate != 0 && Value < FMinDate) Value = FMinDate;
  if (FMaxDate != 0 && Value > FMaxDate) Value = FMaxDate;
  return Value;
}

bool TCommonCalendar::MsgSetDateTime(const SYSTEMTIME& Value) {
  return !HandleAllocated() || SendMessage(FHandle, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&Value)) != 0;
}

void TCommonCalendar::SetDate(TDateTime Value) {
  Value = WholeDay(Value);
  if (FMinDate != 0 && Value < FMinDate)
    throw ECommonCalendarError("Date is less than minimum of " + DateToStr(FMinDate));
  if (FMaxDate != 0 && Value > FMaxDate)
    throw ECommonCalendarError("Date exceeds maximum of " + DateToStr(FMaxDate));
  SYSTEMTIME st;
  DateTimeToSystemTime(Value, st);
  if (!MsgSetDateTime(st)) throw ECommonCalendarError("Failed to set calendar date or time");
  FDate = Value;
  FViewDate = FirstOfMonth(Value);
  Invalidate();
}

void TCommonCalendar::SetMinDate(TDateTime Value) {
  Value = WholeDay(Value);
  if (Value != 0 && FMaxDate != 0 && Value > FMaxDate)
    throw ECommonCalendarError("Minimum date " + DateToStr(Value) + " is after the maximum date " + DateToStr(FMaxDate));
  FMinDate = Value;
  if (!InRange(FDate)) SetDate(Clamp(FDate));
  Invalidate();
}

void TCommonCalendar::SetMaxDate(TDateTime Value) {
  Value = WholeDay(Value);
  if (Value != 0 && FMinDate != 0 && Value < FMinDate)
    throw ECommonCalendarError("Maximum date " + DateToStr(Value) + " is before the minimum date " + DateToStr(FMinDate));
  FMaxDate = Value;
  if (!InRange(FDate)) SetDate(Clamp(FDate));
  Invalidate();
}

void TCommonCalendar::SetFirstDayOfWeek(TCalDayOfWeek Value) {
  if (FFirstDayOfWeek == Value) return;
  FFirstDayOfWeek = Value;
  Invalidate();
}

void TCommonCalendar::Relayout() {
  if (AutoSize()) AdjustSize();
  Invalidate();
}

void TCommonCalendar::SetShowToday(bool Value) {
  if (FShowToday == Value) return;
  FShowToday = Value;
  Relayout();
}

void TCommonCalendar::SetShowTodayCircle(bool Value) {
  if (FShowTodayCircle == Value) return;
  FShowTodayCircle = Value;
  Invalidate();
}

void TCommonCalendar::SetWeekNumbers(bool Value) {
  if (FWeekNumbers == Value) return;
  FWeekNumbers = Value;
  Relayout();
}

void TCommonCalendar::SetViewDate(TDateTime Value) {
  Value = FirstOfMonth(Value);
  // Only months with a selectable day can be shown.
  if (FMinDate != 0 && IncMonth(Value, 1) <= FMinDate) return;
  if (FMaxDate != 0 && Value > FMaxDate) return;
  if (FViewDate == Value) return;
  FViewDate = Value;
  Invalidate();
}

TDateTime TCommonCalendar::FirstVisibleDate() const {
  int offset = (MondayIndex(FViewDate) - EffectiveFirstDay() + 7) % 7;
  if (offset == 0) offset = 7;  // a whole week of the previous month leads
  return FViewDate - offset;
}

TCommonCalendar::TLayout TCommonCalendar::Layout() {
  // Measured on a scratch DC: the calendar may have no window yet.
  graphics::TMemoryDC scratch(1, 1);
  TCanvas measure;
  measure.SetHandle(scratch.DC());
  measure.Font()->Assign(Font());
  TCanvas* canvas = &measure;
  TLayout l{};
  l.TextHeight = canvas->TextHeight("0");
  int names = 0;
  for (const std::string& n : FormatSettings().ShortDayNames) names = std::max(names, canvas->TextWidth(n));
  l.CellWidth = std::max(canvas->TextWidth("00") + 10, names + 4);
  l.CellHeight = l.TextHeight + 3;
  l.WeekColumn = FWeekNumbers ? canvas->TextWidth("00") + 8 : 0;
  l.Left = 4 + l.WeekColumn;
  l.TitleHeight = l.TextHeight + 10;
  l.DayRowTop = 2 + l.TitleHeight + 2;
  l.GridTop = l.DayRowTop + l.CellHeight + 2;
  l.TodayTop = l.GridTop + 6 * l.CellHeight + 2;
  l.Width = l.Left + 7 * l.CellWidth + 4;
  l.Height = l.TodayTop + (FShowToday ? l.CellHeight + 4 : 2);
  const int side = l.TitleHeight - 6;
  l.PrevButton = {5, 5, 5 + side, 5 + side};
  l.NextButton = {l.Width - 5 - side, 5, l.Width - 5, 5 + side};
  measure.SetHandle(nullptr);
  return l;
}

bool TCommonCalendar::GetMinReqRect(TRect& Rect) {
  const TLayout l = Layout();
  Rect = {0, 0, l.Width, l.Height};
  return true;
}

bool TCommonCalendar::CanAutoSize(int& NewWidth, int& NewHeight) {
  TRect r;
  GetMinReqRect(r);
  NewWidth = r.Width();
  NewHeight = r.Height();
  return true;
}

UINT TCommonCalendar::HitTest(TPoint P, TDateTime* Date) {
  const TLayout l = Layout();
  if (!ClientRect().Contains(P)) return MCHT_NOWHERE;
  if (P.Y < 2 + l.TitleHeight) {
    if (l.PrevButton.Contains(P)) return MCHT_TITLEBTNPREV;
    if (l.NextButton.Contains(P)) return MCHT_TITLEBTNNEXT;
    return P.X < ClientWidth() / 2 + 10 ? MCHT_TITLEMONTH : MCHT_TITLEYEAR;
  }
  if (P.Y >= l.DayRowTop && P.Y < l.DayRowTop + l.CellHeight) return MCHT_CALENDARDAY;
  if (P.Y >= l.GridTop && P.Y < l.GridTop + 6 * l.CellHeight) {
    if (P.X < l.Left) return FWeekNumbers ? MCHT_CALENDARWEEKNUM : MCHT_CALENDARBK;
    const int col = (P.X - l.Left) / l.CellWidth;
    if (col > 6) return MCHT_CALENDARBK;
    const int row = (P.Y - l.GridTop) / l.CellHeight;
    const TDateTime day = FirstVisibleDate() + row * 7 + col;
    if (Date) *Date = day;
    if (day < FViewDate) return MCHT_CALENDARDATEPREV;
    if (day >= IncMonth(FViewDate, 1)) return MCHT_CALENDARDATENEXT;
    return MCHT_CALENDARDATE;
  }
  if (FShowToday && P.Y >= l.TodayTop) return MCHT_TODAYLINK;
  return MCHT_CALENDARBK;
}

void TCommonCalendar::UserSelect(TDateTime Value) {
  Value = Clamp(WholeDay(Value));
  const bool changed = Value != FDate;
  SYSTEMTIME st;
  DateTimeToSystemTime(Value, st);
  if (!MsgSetDateTime(st)) return;
  FDate = Value;
  FViewDate = FirstOfMonth(Value);
  Invalidate();
  if (changed && OnChange) OnChange(this);
}

void TCommonCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    TDateTime day = 0;
    switch (const UINT hit = HitTest({X, Y}, &day)) {
      case MCHT_TITLEBTNPREV: SetViewDate(IncMonth(FViewDate, -1)); break;
      case MCHT_TITLEBTNNEXT: SetViewDate(IncMonth(FViewDate, 1)); break;
      case MCHT_TODAYLINK: UserSelect(::Date()); break;
      default:
        if ((hit & MCHT_CALENDARDATE) == MCHT_CALENDARDATE && hit != MCHT_CALENDARWEEKNUM && InRange(day))
          UserSelect(day);
        break;
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCommonCalendar::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  int y, m, d;
  DecodeDate(FDate, y, m, d);
  switch (Key) {
    case VK_LEFT: UserSelect(FDate - 1); break;
    case VK_RIGHT: UserSelect(FDate + 1); break;
    case VK_UP: UserSelect(FDate - 7); break;
    case VK_DOWN: UserSelect(FDate + 7); break;
    case VK_PRIOR: UserSelect(IncMonth(FDate, -1)); break;
    case VK_NEXT: UserSelect(IncMonth(FDate, 1)); break;
    case VK_HOME: UserSelect(EncodeDate(y, m, 1)); break;
    case VK_END: UserSelect(EncodeDate(y, m, DaysInAMonth(y, m))); break;
    default: return;
  }
  Key = 0;
}

void TCommonCalendar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_GETDLGCODE: M.Result = DLGC_WANTARROWS; return;
    case MCM_GETCURSEL:
      if (auto* st = reinterpret_cast<SYSTEMTIME*>(M.LParam)) DateTimeToSystemTime(FDate, *st);
      M.Result = 1;
      return;
    case MCM_SETCURSEL: {
      const auto* st = reinterpret_cast<const SYSTEMTIME*>(M.LParam);
      TDateTime value = 0;
      M.Result = st && TryEncodeDate(st->wYear, st->wMonth, st->wDay, value) && InRange(value);
      return;
    }
    case MCM_GETMINREQRECT:
      if (auto* r = reinterpret_cast<TRect*>(M.LParam)) GetMinReqRect(*r);
      M.Result = 1;
      return;
    case MCM_HITTEST:
      if (auto* info = reinterpret_cast<MCHITTESTINFO*>(M.LParam)) {
        TDateTime day = 0;
        info->uHit = HitTest(info->pt, &day);
        info->st = {};
        if (day != 0) DateTimeToSystemTime(day, info->st);
        M.Result = info->uHit;
      }
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(M);
      Relayout();
      return;
    default: break;
  }
  TCustomControl::Dispatch(M);
}

void TCommonCalendar::Paint() {
  TCanvas* canvas = Canvas();
  const TLayout l = Layout();
  const TRect client = ClientRect();
  const TFormatSettings& fs = FormatSettings();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);

  // The title band: month and year between the arrow buttons.
  TRect title{2, 2, client.Right - 2, 2 + l.TitleHeight};
  canvas->Brush()->SetColor(clActiveCaption);
  canvas->FillRect(title);
  int y, m, d;
  DecodeDate(FViewDate, y, m, d);
  std::string caption = fs.LongMonthNames[m - 1] + " " + std::to_string(y);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->SetColor(clCaptionText);
  canvas->Font()->SetStyle({fsBold});
  canvas->TextRect(title, caption, {tfCenter, tfVerticalCenter, tfSingleLine, tfNoPrefix});
  canvas->Font()->Assign(Font());
  TRect prev = l.PrevButton, next = l.NextButton;
  const bool canPrev = FMinDate == 0 || FViewDate > FMinDate;
  const bool canNext = FMaxDate == 0 || IncMonth(FViewDate, 1) <= FMaxDate;
  DrawFrameControl(canvas->Handle(), &prev, DFC_SCROLL, DFCS_SCROLLLEFT | (canPrev ? 0u : UINT{DFCS_INACTIVE}));
  DrawFrameControl(canvas->Handle(), &next, DFC_SCROLL, DFCS_SCROLLRIGHT | (canNext ? 0u : UINT{DFCS_INACTIVE}));

  // Weekday names and the line under them.
  const int first = EffectiveFirstDay();
  canvas->Brush()->SetStyle(bsClear);
  for (int c = 0; c < 7; ++c) {
    TRect cell{l.Left + c * l.CellWidth, l.DayRowTop, l.Left + (c + 1) * l.CellWidth, l.DayRowTop + l.CellHeight};
    std::string name = fs.ShortDayNames[(first + c + 1) % 7];  // the names start on Sunday
    canvas->Font()->SetColor(clActiveCaption);
    canvas->TextRect(cell, name, {tfCenter, tfVerticalCenter, tfSingleLine, tfNoPrefix});
  }
  canvas->Pen()->SetColor(clBtnShadow);
  canvas->MoveTo(l.Left, l.DayRowTop + l.CellHeight);
  canvas->LineTo(l.Left + 7 * l.CellWidth, l.DayRowTop + l.CellHeight);

  // The days.
  const TDateTime today = WholeDay(::Date());
  const TDateTime start = FirstVisibleDate();
  const TDateTime nextMonth = IncMonth(FViewDate, 1);
  for (int row = 0; row < 6; ++row) {
    const int top = l.GridTop + row * l.CellHeight;
    if (FWeekNumbers) {
      TRect wk{4, top, l.Left - 4, top + l.CellHeight};
      std::string n = std::to_string(IsoWeek(start + row * 7 + 3));
      canvas->Brush()->SetStyle(bsClear);
      canvas->Font()->SetColor(clBtnShadow);
      canvas->TextRect(wk, n, {tfRight, tfVerticalCenter, tfSingleLine});
    }
    for (int c = 0; c < 7; ++c) {
      const TDateTime day = start + row * 7 + c;
      TRect cell{l.Left + c * l.CellWidth, top, l.Left + (c + 1) * l.CellWidth, top + l.CellHeight};
      DecodeDate(day, y, m, d);
      std::string text = std::to_string(d);
      const bool other = day < FViewDate || day >= nextMonth;
      TColor fore = other || !InRange(day) ? clGrayText : clWindowText;
      if (day == FDate) {
        TRect sel = cell;
        InflateRect(&sel, -2, 0);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(Focused() ? clHighlight : clBtnFace);
        canvas->FillRect(sel);
        fore = Focused() ? clHighlightText : clWindowText;
      }
      canvas->Brush()->SetStyle(bsClear);
      canvas->Font()->SetColor(fore);
      canvas->TextRect(cell, text, {tfCenter, tfVerticalCenter, tfSingleLine});
      if (FShowTodayCircle && day == today) {
        canvas->Pen()->SetColor(clRed);
        canvas->Ellipse(cell.Left, cell.Top, cell.Right, cell.Bottom);
      }
    }
  }
  if (FWeekNumbers) {
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(l.Left - 2, l.GridTop);
    canvas->LineTo(l.Left - 2, l.GridTop + 6 * l.CellHeight);
  }

  // "Today: <date>".
  if (FShowToday) {
    TRect line{l.Left, l.TodayTop + 2, client.Right - 4, l.TodayTop + 2 + l.CellHeight};
    if (FShowTodayCircle) {
      TRect mark{line.Left + 2, line.Top, line.Left + 2 + l.CellWidth - 6, line.Bottom};
      canvas->Pen()->SetColor(clRed);
      canvas->Brush()->SetStyle(bsClear);
      canvas->Ellipse(mark.Left, mark.Top, mark.Right, mark.Bottom);
      line.Left = mark.Right + 4;
    }
    std::string text = std::string(ChineseUi() ? "今天: " : "Today: ") + DateToStr(today);
    canvas->Font()->SetColor(clWindowText);
    canvas->Font()->SetStyle({fsBold});
    canvas->TextRect(line, text, {tfLeft, tfVerticalCenter, tfSingleLine, tfNoPrefix});
    canvas->Font()->Assign(Font());
  }
  if (Focused()) {
    TRect focus = client;
    InflateRect(&focus, -1, -1);
    canvas->DrawFocusRect(focus);
  }
}

// ---- TMonthCalendar ----

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TCommonCalendar(AOwner) {}

// ---- published properties ----

static const classes::TPublished<TCommonCalendar, TCustomControl> CommonCalendarInfo(
    [](classes::TPublisher<TCommonCalendar>& p) {
      p.Float("Date", &TCommonCalendar::Date, &TCommonCalendar::SetDate);
      p.Float("MinDate", &TCommonCalendar::MinDate, &TCommonCalendar::SetMinDate);
      p.Float("MaxDate", &TCommonCalendar::MaxDate, &TCommonCalendar::SetMaxDate);
      p.Enum("FirstDayOfWeek", &TCommonCalendar::FirstDayOfWeek, &TCommonCalendar::SetFirstDayOfWeek)
          .Default(dowLocaleDefault);
      p.Bool("ShowToday", &TCommonCalendar::ShowToday, &TCommonCalendar::SetShowToday).Default(true);
      p.Bool("ShowTodayCircle", &TCommonCalendar::ShowTodayCircle, &TCommonCalendar::SetShowTodayCircle).Default(true);
      p.Bool("WeekNumbers", &TCommonCalendar::WeekNumbers, &TCommonCalendar::SetWeekNumbers).Default(false);
      p.Event("OnChange", &TCommonCalendar::OnChange);
    });
static const classes::TPublished<TMonthCalendar, TCommonCalendar> MonthCalendarInfo;
