#include "platform/controls/Dialogs.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/controls/ButtonCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/StdLabels.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/FormatSettings.h"

namespace dialogs {

namespace {

TAnswerHook& Hook() {
  static TAnswerHook hook;
  return hook;
}

constexpr int kHelpButton = -1;  // the help button's id in the tables below (it answers nothing)

bool ChineseUi() { return rtl::ProcessLocaleName().rfind("zh", 0) == 0; }

struct TText {
  int Id;
  const char* English;
  const char* Chinese;
};
// Buttons by answer (the ID* and mr* numbers agree), and MessageDlg titles.
const TText kButtons[] = {
    {mrOk, "OK", "确定"},           {mrCancel, "Cancel", "取消"},       {mrAbort, "&Abort", "中止(&A)"},
    {mrRetry, "&Retry", "重试(&R)"}, {mrIgnore, "&Ignore", "忽略(&I)"}, {mrYes, "&Yes", "是(&Y)"},
    {mrNo, "&No", "否(&N)"},        {mrAll, "&All", "全部(&A)"},        {mrNoToAll, "N&o to All", "全否(&O)"},
    {mrYesToAll, "Yes to &All", "全是(&L)"}, {kHelpButton, "&Help", "帮助(&H)"},
};
const TText kTitles[] = {
    {mtWarning, "Warning", "警告"},
    {mtError, "Error", "错误"},
    {mtInformation, "Information", "信息"},
    {mtConfirmation, "Confirm", "确认"},
};

std::string Lookup(const TText* Table, size_t Count, int Id) {
  const bool zh = ChineseUi();
  for (size_t i = 0; i < Count; ++i)
    if (Table[i].Id == Id) return zh ? Table[i].Chinese : Table[i].English;
  return "";
}

std::string ButtonCaption(int Id) { return Lookup(kButtons, std::size(kButtons), Id); }

// The title of a MessageDlg of the type.
std::string TitleOf(TMsgDlgType Type) {
  if (Type == mtCustom) return Application ? Application->Title() : "";
  return Lookup(kTitles, std::size(kTitles), Type);
}

enum TIconKind { ikNone, ikError, ikQuestion, ikWarning, ikInformation };

TIconKind IconOfFlags(UINT Flags) {
  switch (Flags & MB_ICONMASK) {
    case MB_ICONERROR: return ikError;
    case MB_ICONQUESTION: return ikQuestion;
    case MB_ICONWARNING: return ikWarning;
    case MB_ICONINFORMATION: return ikInformation;
    default: return ikNone;
  }
}

TIconKind IconOfType(TMsgDlgType Type) {
  switch (Type) {
    case mtWarning: return ikWarning;
    case mtError: return ikError;
    case mtInformation: return ikInformation;
    case mtConfirmation: return ikQuestion;
    default: return ikNone;
  }
}

constexpr int kIconSize = 32;
constexpr int kMargin = 11;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

// The message icons, 32 × 32 at (X, Y): a red disc with a white cross, a yellow triangle with
// a black "!", blue discs with a white "?" or "i".
void DrawIcon(TCanvas* Canvas, int X, int Y, TIconKind Kind) {
  if (Kind == ikNone) return;
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Pen()->SetWidth(1);
  Canvas->Brush()->SetStyle(bsSolid);
  std::string mark;
  TColor markColor = clWhite;
  if (Kind == ikWarning) {
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Brush()->SetColor(clYellow);
    Canvas->Polygon({{X + 15, Y + 1}, {X + 16, Y + 1}, {X + 31, Y + 29}, {X + 30, Y + 30}, {X + 1, Y + 30}, {X, Y + 29}});
    mark = "!";
    markColor = clBlack;
  } else {
    Canvas->Pen()->SetColor(Kind == ikError ? TColor(RGB(128, 0, 0)) : TColor(RGB(0, 0, 128)));
    Canvas->Brush()->SetColor(Kind == ikError ? TColor(RGB(255, 0, 0)) : TColor(RGB(0, 0, 255)));
    Canvas->Ellipse(X + 1, Y + 1, X + kIconSize - 1, Y + kIconSize - 1);
    if (Kind == ikError) {
      Canvas->Pen()->SetColor(clWhite);
      Canvas->Pen()->SetWidth(3);
      Canvas->MoveTo(X + 10, Y + 10);
      Canvas->LineTo(X + 21, Y + 21);
      Canvas->MoveTo(X + 21, Y + 10);
      Canvas->LineTo(X + 10, Y + 21);
      Canvas->Pen()->SetWidth(1);
      return;
    }
    mark = Kind == ikQuestion ? "?" : "i";
  }
  TFont saved;
  saved.Assign(Canvas->Font());
  Canvas->Font()->SetHeight(-22);
  Canvas->Font()->SetStyle({fsBold});
  Canvas->Font()->SetColor(markColor);
  Canvas->Brush()->SetStyle(bsClear);
  TRect r{X, Y + (Kind == ikWarning ? 5 : 1), X + kIconSize, Y + kIconSize};
  Canvas->TextRect(r, mark, {tfCenter, tfVerticalCenter, tfSingleLine, tfNoPrefix});
  Canvas->Font()->Assign(&saved);
}

// The modal form of a message box: the icon and wrapped text painted on the form, the buttons
// below.
class TMessageForm : public TForm {
 public:
  TMessageForm(HWND Owner, TIconKind Icon, const std::string& Text)
      : TForm(nullptr), FOwnerWnd(Owner), FIcon(Icon), FText(Text) {}
  TRect TextBounds;
  TPoint IconPos;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TForm::CreateParams(Params);
    if (FOwnerWnd) Params.WndParent = FOwnerWnd;  // owned: stays above its owner
  }
  void Paint() override {
    DrawIcon(Canvas(), IconPos.X, IconPos.Y, FIcon);
    Canvas()->Font()->Assign(Font());
    Canvas()->Brush()->SetStyle(bsClear);
    TRect r = TextBounds;
    std::string text = FText;
    Canvas()->TextRect(r, text, {tfWordBreak, tfNoPrefix, tfExpandTabs, tfLeft});
  }

 private:
  HWND FOwnerWnd;
  TIconKind FIcon;
  std::string FText;
};

struct TBoxButton {
  int Result;  // the answer (ID* / mr*), kHelpButton for help
  bool Default;
  bool Cancel;
};

HWND DefaultOwner() {
  if (!Screen) return nullptr;
  TCustomForm* form = Screen->ActiveCustomForm();
  if (!form || !form->Visible()) form = Application ? Application->MainForm() : nullptr;
  return form && form->Visible() && form->HandleAllocated() ? form->Handle() : nullptr;
}

void RequireLoop() {
  if (!Application || !Screen) throw EInvalidOperation("A message box needs the application's message loop");
}

// The form of a box: a dialog frame titled Caption, with a close box when Closable, owned by
// Owner's top-level window (Owner becomes that window).
std::unique_ptr<TMessageForm> NewBox(HWND& Owner, TIconKind Icon, const std::string& Text, const std::string& Caption,
                                     bool Closable) {
  RequireLoop();
  if (Owner) Owner = GetAncestor(Owner, GA_ROOT);
  auto form = std::make_unique<TMessageForm>(Owner, Icon, Text);
  form->SetBorderStyle(bsDialog);
  form->SetBorderIcons(Closable ? TBorderIcons{biSystemMenu} : TBorderIcons{});
  form->SetCaption(Caption);
  form->Canvas()->Font()->Assign(form->Font());
  return form;
}

// The widest a box's text may be: five eighths of the screen less the margins and the icon.
int MaxTextWidth() { return std::max(200, (Screen ? Screen->Width() : 800) * 5 / 8 - 2 * kMargin - kIconSize); }

int ButtonRowWidth(size_t Count) {
  const int n = static_cast<int>(Count);
  return n * kButtonWidth + (n - 1) * kButtonGap;
}

// The row of buttons at Top, centred in the form's client width; answers the button to focus
// (the default one, else the first). A click on any but the help button sets ByButton.
TButton* AddButtons(TForm* Form, const std::vector<TBoxButton>& Buttons, int Top, bool& ByButton) {
  int x = (Form->ClientWidth() - ButtonRowWidth(Buttons.size())) / 2;
  TButton* focus = nullptr;
  for (const TBoxButton& b : Buttons) {
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetBounds(x, Top, kButtonWidth, kButtonHeight);
    button->SetCaption(ButtonCaption(b.Result));
    button->SetModalResult(b.Result == kHelpButton ? mrNone : b.Result);
    button->SetDefault(b.Default);
    button->SetCancel(b.Cancel);
    if (b.Result != kHelpButton) button->OnClick = [&ByButton](TObject*) { ByButton = true; };
    if (b.Default || !focus) focus = button;
    x += kButtonWidth + kButtonGap;
  }
  return focus;
}

// Centres the box on its owner, else on the screen, inside the work area.
void PlaceBox(TForm* Form, HWND Owner) {
  TRect area = Screen ? Screen->WorkAreaRect() : TRect{0, 0, 800, 600};
  TRect around = area;
  if (Owner && IsWindowVisible(Owner)) GetWindowRect(Owner, &around);
  int left = around.Left + (around.Width() - Form->Width()) / 2;
  int top = around.Top + (around.Height() - Form->Height()) / 2;
  left = std::clamp(left, area.Left, std::max(area.Left, area.Right - Form->Width()));
  top = std::clamp(top, area.Top, std::max(area.Top, area.Bottom - Form->Height()));
  Form->SetBounds(left, top, Form->Width(), Form->Height());
}

// Runs the box; answers the chosen button's result, or CloseResult when closed by the close
// box (closing is refused when CloseResult is mrNone).
int RunBox(HWND Owner, const std::string& Text, const std::string& Caption, TIconKind Icon,
           const std::vector<TBoxButton>& Buttons, int CloseResult) {
  auto form = NewBox(Owner, Icon, Text, Caption, CloseResult != mrNone);

  // The text wraps at five eighths of the screen's width.
  TRect text{0, 0, MaxTextWidth(), 0};
  std::string measured = Text;
  form->Canvas()->TextRect(text, measured, {tfCalcRect, tfWordBreak, tfNoPrefix, tfExpandTabs});
  const int textLeft = kMargin + (Icon != ikNone ? kIconSize + 12 : 0);
  const int top = kMargin;
  const int textTop = Icon != ikNone && text.Height() < kIconSize ? top + (kIconSize - text.Height()) / 2 : top;
  form->TextBounds = {textLeft, textTop, textLeft + text.Width(), textTop + text.Height()};
  form->IconPos = {kMargin, top};

  const int clientWidth = std::max({form->TextBounds.Right + kMargin, ButtonRowWidth(Buttons.size()) + 2 * kMargin, 120});
  const int contentBottom = std::max(form->TextBounds.Bottom, Icon != ikNone ? top + kIconSize : 0);
  const int buttonTop = contentBottom + 14;
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(buttonTop + kButtonHeight + kMargin);

  bool byButton = false;
  TButton* focus = AddButtons(form.get(), Buttons, buttonTop, byButton);
  form->OnCloseQuery = [&](TObject*, bool& CanClose) {
    CanClose = byButton || CloseResult != mrNone;
  };
  form->SetActiveControl(nullptr);
  if (focus) form->SetActiveControl(focus);
  PlaceBox(form.get(), Owner);

  int result = form->ShowModal();
  if (result == mrCancel && !byButton) {
    // Closed by the close box, or the application ending.
    const bool hasCancel = std::any_of(Buttons.begin(), Buttons.end(), [](const TBoxButton& b) { return b.Result == mrCancel; });
    if (!hasCancel && CloseResult != mrNone) result = CloseResult;
  }
  form->BeforeDestruction();
  return result;
}

// The input query's box: the prompt above an edit holding the value, all of it selected, and
// OK / Cancel below. Enter is OK; Esc and the close box are Cancel.
bool RunQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
  HWND owner = DefaultOwner();
  auto form = NewBox(owner, ikNone, "", Caption, true);
  auto* edit = new TEdit(form.get());
  // The edit is as wide as the prompt, within readable limits; a longer prompt wraps.
  TRect measured{0, 0, MaxTextWidth(), 0};
  std::string text = Prompt;
  form->Canvas()->TextRect(measured, text, {tfCalcRect, tfSingleLine});
  const int width = std::clamp(measured.Width(), 240, MaxTextWidth());
  auto* prompt = new TLabel(form.get());
  prompt->SetParent(form.get());
  prompt->SetWordWrap(true);
  prompt->SetBounds(kMargin, kMargin, width, 0);
  prompt->SetCaption(Prompt);
  prompt->SetFocusControl(edit);
  edit->SetParent(form.get());
  edit->SetBounds(kMargin, prompt->Top() + prompt->Height() + 6, width, edit->Height());
  edit->SetText(Value);
  const int buttonTop = edit->Top() + edit->Height() + 14;
  form->SetClientWidth(width + 2 * kMargin);
  form->SetClientHeight(buttonTop + kButtonHeight + kMargin);
  bool byButton = false;
  AddButtons(form.get(), {{mrOk, true, false}, {mrCancel, false, true}}, buttonTop, byButton);
  form->SetActiveControl(edit);
  form->OnShow = [edit](TObject*) { edit->SelectAll(); };
  PlaceBox(form.get(), owner);
  const int result = form->ShowModal();
  const std::string typed = edit->Text();
  form->BeforeDestruction();
  if (result != mrOk) return false;
  Value = typed;
  return true;
}

TDialogAnswer Ask(const TDialogRequest& Request) { return Hook()(Request); }

}  // namespace

void SetAnswerHook(TAnswerHook AHook) { Hook() = std::move(AHook); }
bool HasAnswerHook() { return static_cast<bool>(Hook()); }
TAnswerHook AnswerHook() { return Hook(); }

}  // namespace dialogs

using namespace dialogs;

int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags) {
  if (HasAnswerHook()) {
    TDialogRequest r;
    r.Kind = TDialogKind::MessageBox;
    r.Text = Text;
    r.Caption = Caption;
    r.Flags = Flags;
    return Ask(r).Result;
  }
  std::vector<int> ids;
  switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL: ids = {IDOK, IDCANCEL}; break;
    case MB_ABORTRETRYIGNORE: ids = {IDABORT, IDRETRY, IDIGNORE}; break;
    case MB_YESNOCANCEL: ids = {IDYES, IDNO, IDCANCEL}; break;
    case MB_YESNO: ids = {IDYES, IDNO}; break;
    case MB_RETRYCANCEL: ids = {IDRETRY, IDCANCEL}; break;
    default: ids = {IDOK}; break;
  }
  const size_t def = std::min<size_t>((Flags & MB_DEFMASK) >> 8, ids.size() - 1);
  const bool onlyOk = ids.size() == 1;
  std::vector<TBoxButton> buttons;
  for (size_t i = 0; i < ids.size(); ++i) buttons.push_back({ids[i], i == def, ids[i] == IDCANCEL || onlyOk});
  const bool hasCancel = onlyOk || std::find(ids.begin(), ids.end(), IDCANCEL) != ids.end();
  MessageBeep(Flags & MB_ICONMASK);
  return RunBox(Owner, Text, Caption, IconOfFlags(Flags), buttons, hasCancel ? (onlyOk ? IDOK : IDCANCEL) : mrNone);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
  return ::MessageBox(DefaultOwner(), Text, Caption, Flags);
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  (void)HelpCtx;
  if (HasAnswerHook()) {
    TDialogRequest r;
    r.Kind = TDialogKind::MessageDlg;
    r.Text = Msg;
    r.Caption = TitleOf(DlgType);
    r.DlgType = DlgType;
    r.Buttons = Buttons;
    return Ask(r).Result;
  }
  static const std::pair<TMsgDlgBtn, int> results[] = {
      {mbYes, mrYes},     {mbNo, mrNo},         {mbOK, mrOk},           {mbCancel, mrCancel},
      {mbAbort, mrAbort}, {mbRetry, mrRetry},   {mbIgnore, mrIgnore},   {mbAll, mrAll},
      {mbNoToAll, mrNoToAll}, {mbYesToAll, mrYesToAll}, {mbHelp, kHelpButton},
  };
  const TMsgDlgBtn def = Buttons.Contains(mbOK) ? mbOK : mbYes;
  const TMsgDlgBtn cancel = Buttons.Contains(mbCancel) ? mbCancel : Buttons.Contains(mbNo) ? mbNo : mbOK;
  std::vector<TBoxButton> list;
  for (const auto& [btn, result] : results)
    if (Buttons.Contains(btn)) list.push_back({result, btn == def, btn == cancel});
  if (list.empty()) list.push_back({mrOk, true, true});
  int closeResult = mrCancel;
  if (!Buttons.Contains(mbCancel)) closeResult = Buttons.Contains(mbNo) ? mrNo : Buttons.Contains(mbOK) ? mrOk : mrCancel;
  return RunBox(DefaultOwner(), Msg, TitleOf(DlgType), IconOfType(DlgType), list, closeResult);
}

void ShowMessage(const std::string& Msg) { MessageDlg(Msg, mtCustom, {mbOK}, 0); }

bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value) {
  if (!HasAnswerHook()) return RunQuery(ACaption, APrompt, Value);
  TDialogRequest r;
  r.Kind = TDialogKind::InputQuery;
  r.Text = APrompt;
  r.Caption = ACaption;
  r.Value = Value;
  const TDialogAnswer a = Ask(r);
  if (a.Result != mrOk) return false;
  Value = a.Value;
  return true;
}

std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault) {
  std::string value = ADefault;
  return InputQuery(ACaption, APrompt, value) ? value : ADefault;
}
