#include "platform/controls/ButtonCtrls.h"

#include "platform/classes/TypeInfo.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/WindowPos.h"

const classes::TEnumInfo& EnumInfo(TCheckBoxState) {
  static const classes::TEnumInfo info{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};
  return info;
}

namespace {

constexpr int kCheckSize = 13;

// Text in the canvas's font, transparent: in TextColor when enabled, else embossed (a highlight
// copy one pixel down-right under grey text). DT_CALCRECT only measures into R.
void DrawControlText(TCanvas* Canvas, TRect& R, const std::string& Text, UINT Format, bool Enabled) {
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
  HDC dc = Canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  if (Format & DT_CALCRECT) {
    DrawText(dc, Text, &R, Format);
    return;
  }
  if (Enabled) {
    SetTextColor(dc, ColorToRGB(Canvas->Font()->Color()));
    DrawText(dc, Text, &R, Format);
    return;
  }
  TRect light = R;
  OffsetRect(&light, 1, 1);
  SetTextColor(dc, ColorToRGB(clBtnHighlight));
  DrawText(dc, Text, &light, Format);
  SetTextColor(dc, ColorToRGB(clBtnShadow));
  DrawText(dc, Text, &R, Format);
}

}  // namespace

// ---- TButtonControl ----

TButtonControl::TButtonControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  // The button window reports its clicks itself (BN_CLICKED) and holds the capture itself.
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  FColor = clBtnFace;
}

TButtonControl::~TButtonControl() {
  // The window goes first, while Paint and the canvas are still there for its last messages.
  Destroying();
  if (FParent) RemoveFocus(true);
  if (HandleAllocated()) DestroyWindowHandle();
  FCanvas->SetControl(nullptr);
}

void TButtonControl::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  Invalidate();
}

void TButtonControl::SetPushed(bool Value) {
  if (FPushed == Value) return;
  FPushed = Value;
  Invalidate();
}

void TButtonControl::NotifyClicked() {
  // As a button window does: the parent hears BN_CLICKED and reflects it back (CN_COMMAND).
  HWND wnd = FHandle;
  HWND parent = wnd ? GetParent(wnd) : nullptr;
  const WPARAM w = MAKEWPARAM(static_cast<WORD>(wnd ? GetWindowLongPtr(wnd, GWL_ID) : 0), BN_CLICKED);
  if (parent && FindControl(parent)) SendMessage(parent, WM_COMMAND, w, reinterpret_cast<LPARAM>(wnd));
  else Perform(CN_COMMAND, w, reinterpret_cast<LPARAM>(wnd));
}

LRESULT TButtonControl::DialogCode() { return DLGC_BUTTON; }

void TButtonControl::CNCommand(TMessage&) {}

void TButtonControl::DefaultHandler(TMessage& M) {
  // The behaviour of the button window class.
  if (FHandle) {
    switch (M.Msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (GetFocus() != FHandle) ::SetFocus(FHandle);
        SetCapture(FHandle);
        FTracking = true;
        SetPushed(true);
        M.Result = 0;
        return;
      case WM_MOUSEMOVE:
        if (FTracking) SetPushed(ClientRect().Contains(LParamToPoint(M.LParam)));
        M.Result = 0;
        return;
      case WM_LBUTTONUP: {
        if (!FTracking) break;
        const bool clicked = FPushed && ClientRect().Contains(LParamToPoint(M.LParam));
        FTracking = false;
        SetPushed(false);
        if (GetCapture() == FHandle) ReleaseCapture();
        M.Result = 0;
        if (clicked) NotifyClicked();
        return;
      }
      case WM_CAPTURECHANGED:
      case WM_CANCELMODE:
        if (FTracking) {
          FTracking = false;
          SetPushed(false);
        }
        if (M.Msg == WM_CANCELMODE && GetCapture() == FHandle) ReleaseCapture();
        break;
      case WM_KEYDOWN:
        if (M.WParam == VK_SPACE && !FTracking) {
          FSpaceDown = true;
          SetPushed(true);
          M.Result = 0;
          return;
        }
        break;
      case WM_KEYUP:
        if (M.WParam == VK_SPACE && FSpaceDown) {
          FSpaceDown = false;
          SetPushed(false);
          M.Result = 0;
          NotifyClicked();
          return;
        }
        break;
      case WM_KILLFOCUS:
        if (FSpaceDown) {
          FSpaceDown = false;
          SetPushed(false);
        }
        Invalidate();
        break;
      case WM_SETFOCUS: Invalidate(); break;
      case WM_GETDLGCODE: M.Result = DialogCode(); return;
      case BM_GETCHECK: M.Result = static_cast<LRESULT>(FCheckState); return;
      case BM_SETCHECK:
        FCheckState = M.WParam;
        Invalidate();
        M.Result = 0;
        return;
      case BM_GETSTATE:
        M.Result = static_cast<LRESULT>(FCheckState) | (FPushed ? BST_PUSHED : 0) |
                   (GetFocus() == FHandle ? BST_FOCUS : 0);
        return;
      case BM_SETSTATE:
        SetPushed(M.WParam != 0);
        M.Result = 0;
        return;
      case BM_SETSTYLE:
        Invalidate();
        M.Result = 0;
        return;
      case BM_CLICK:
        M.Result = 0;
        if (IsWindowEnabled(FHandle)) NotifyClicked();
        return;
      default: break;
    }
  }
  TWinControl::DefaultHandler(M);
}

void TButtonControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_COMMAND:
      if (!FClicksDisabled) CNCommand(M);
      return;
    default: TWinControl::Dispatch(M);
  }
}

void TButtonControl::WMPaint(TMessage& M) { PaintCustom(M); }

void TButtonControl::PaintWindow(HDC DC) {
  controls::TCanvasPaint paint(*FCanvas, DC);
  FCanvas->UpdateTextFlags();
  FCanvas->Font()->Assign(Font());
  Paint();
}

void TButtonControl::CMEnabledChanged(TMessage& M) {
  TWinControl::CMEnabledChanged(M);
  Invalidate();
}

void TButtonControl::CMTextChanged(TMessage& M) {
  TWinControl::CMTextChanged(M);
  Invalidate();
}

void TButtonControl::CMFontChanged(TMessage& M) {
  TWinControl::CMFontChanged(M);
  Invalidate();
}

void TButtonControl::DrawCaption(TCanvas* ACanvas, TRect& R, const std::string& Text, UINT Format) {
  DrawControlText(ACanvas, R, Text, Format, Enabled());
}

void TButtonControl::PaintCheckControl(UINT Kind, UINT GlyphState, TLeftRight Alignment) {
  TCanvas* canvas = FCanvas.get();
  const TRect client = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  const bool boxLeft = (Alignment == taRightJustify) != UseRightToLeftAlignment();
  const int top = (client.Height() - kCheckSize) / 2;
  TRect box = boxLeft ? TRect{0, top, kCheckSize, top + kCheckSize}
                      : TRect{client.Right - kCheckSize, top, client.Right, top + kCheckSize};
  UINT state = Kind | GlyphState;
  if (!Enabled()) state |= DFCS_INACTIVE;
  if (Pushed()) state |= DFCS_PUSHED;
  DrawFrameControl(canvas->Handle(), &box, DFC_BUTTON, state);

  TRect area = boxLeft ? TRect{kCheckSize + 4, 0, client.Right, client.Bottom}
                       : TRect{0, 0, client.Right - kCheckSize - 4, client.Bottom};
  const std::string text = Caption();
  const UINT wrap = WordWrap() ? DT_WORDBREAK : DT_SINGLELINE;
  TRect measured{area.Left, 0, area.Right, 0};
  DrawCaption(canvas, measured, text, wrap | DT_CALCRECT);
  const int h = measured.Height();
  const int w = std::min(measured.Width(), area.Width());
  TRect r{boxLeft ? area.Left : area.Right - w, (client.Height() - h) / 2, 0, 0};
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
  DrawCaption(canvas, r, text, wrap | (boxLeft ? DT_LEFT : DT_RIGHT));
  if (Focused() && !text.empty()) {
    TRect focus{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1};
    IntersectRect(&focus, &focus, &client);
    canvas->DrawFocusRect(focus);
  }
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  if (TCustomForm* form = GetParentForm(this); form && form->ActiveControl() &&
                                               dynamic_cast<TButton*>(form->ActiveControl()))
    SetActive(form->ActiveControl() == this);
  else
    SetActive(FDefault);
}

void TButton::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  Invalidate();
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

LRESULT TButton::DialogCode() { return DLGC_BUTTON | (FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON); }

void TButton::CNCommand(TMessage& M) {
  if (HIWORD(M.WParam) == BN_CLICKED) Click();
}

void TButton::CMDialogKey(TMessage& M) {
  const bool enter = M.WParam == VK_RETURN && FActive;
  const bool esc = M.WParam == VK_ESCAPE && FCancel;
  if ((enter || esc) && KeyDataToShiftState(M.LParam).Empty() && CanFocus()) {
    Click();
    M.Result = 1;
    return;
  }
  TButtonControl::CMDialogKey(M);
}

void TButton::CMDialogChar(TMessage& M) {
  if (IsAccel(static_cast<UINT>(M.WParam), Caption()) && CanFocus()) {
    Click();
    M.Result = 1;
    return;
  }
  TButtonControl::CMDialogChar(M);
}

void TButton::CMFocusChanged(TMessage& M) {
  // The focused button takes Enter; with the focus on anything else, the default button does.
  auto* focused = reinterpret_cast<TWinControl*>(M.LParam);
  if (focused && dynamic_cast<TButton*>(focused)) SetActive(focused == this);
  else SetActive(FDefault);
  TButtonControl::CMFocusChanged(M);
}

void TButton::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  HDC dc = canvas->Handle();
  const bool pushed = Pushed();
  if (FActive || pushed) {
    HBRUSH frame = CreateSolidBrush(ColorToRGB(clWindowFrame));
    FrameRect(dc, &r, frame);
    DeleteObject(frame);
    InflateRect(&r, -1, -1);
  }
  if (pushed) {
    HBRUSH shadow = CreateSolidBrush(ColorToRGB(clBtnShadow));
    FrameRect(dc, &r, shadow);
    DeleteObject(shadow);
    InflateRect(&r, -1, -1);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clBtnFace);
    canvas->FillRect(r);
  } else {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
  }
  TRect content = r;
  if (pushed) OffsetRect(&content, 1, 1);
  PaintContent(content);
  if (Focused()) {
    TRect focus = ClientRect();
    InflateRect(&focus, -4, -4);
    canvas->DrawFocusRect(focus);
  }
}

void TButton::PaintContent(TRect Content) {
  const std::string text = Caption();
  if (!WordWrap()) {
    DrawCaption(Canvas(), Content, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  InflateRect(&Content, -2, 0);
  TRect measured{Content.Left, 0, Content.Right, 0};
  DrawCaption(Canvas(), measured, text, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
  TRect r{Content.Left, Content.Top + (Content.Height() - measured.Height()) / 2, Content.Right, 0};
  r.Bottom = r.Top + measured.Height();
  DrawCaption(Canvas(), r, text, DT_CENTER | DT_WORDBREAK);
}

// ---- TCustomCheckBox ----

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  if (HandleAllocated()) SendMessage(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
  Invalidate();
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TLeftRight Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::CNCommand(TMessage& M) {
  if (HIWORD(M.WParam) == BN_CLICKED) Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& M) {
  if (IsAccel(static_cast<UINT>(M.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    M.Result = 1;
    return;
  }
  TButtonControl::CMDialogChar(M);
}

void TCustomCheckBox::Paint() {
  const UINT glyph = FState == cbUnchecked ? 0u
                     : FState == cbChecked ? UINT{DFCS_CHECKED}
                                           : UINT{DFCS_CHECKED | DFCS_BUTTON3STATE};
  PaintCheckControl(DFCS_BUTTONCHECK, glyph, FAlignment);
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetAlignment(TLeftRight Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TRadioButton::DoSetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  SetTabStop(Value);
  if (HandleAllocated()) SendMessage(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  Invalidate();
  if (!Value) return;
  if (TWinControl* parent = Parent())
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
        sibling->SetChecked(false);
  if (!ClicksDisabled()) Click();
}

LRESULT TRadioButton::DialogCode() { return DLGC_BUTTON | DLGC_RADIOBUTTON; }

void TRadioButton::CNCommand(TMessage& M) {
  if (HIWORD(M.WParam) == BN_CLICKED) SetChecked(true);
  else if (HIWORD(M.WParam) == BN_DOUBLECLICKED) DblClick();
}

void TRadioButton::CMDialogChar(TMessage& M) {
  if (IsAccel(static_cast<UINT>(M.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) SetChecked(true);
    M.Result = 1;
    return;
  }
  TButtonControl::CMDialogChar(M);
}

void TRadioButton::WMSetFocus(TMessage& M) {
  TButtonControl::WMSetFocus(M);
  // Moving into a group of radio buttons with the arrow keys checks the one reached.
  for (int key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
    if (GetKeyState(key) < 0) {
      SetChecked(true);
      break;
    }
}

void TRadioButton::Paint() { PaintCheckControl(DFCS_BUTTONRADIO, FChecked ? UINT{DFCS_CHECKED} : 0u, FAlignment); }

// ---- TCustomGroupBox ----

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  FColor = clBtnFace;
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TWinControl::AdjustClientRect(Rect);
  Canvas()->Font()->Assign(Font());
  Rect.Top += Canvas()->TextHeight("0");
  InflateRect(&Rect, -2, -2);
}

void TCustomGroupBox::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(M);
      Realign();
      Invalidate();
      return;
    default: TCustomControl::Dispatch(M);
  }
}

void TCustomGroupBox::CMDialogChar(TMessage& M) {
  // The accelerator of the caption moves the focus to the first control inside.
  if (IsAccel(static_cast<UINT>(M.WParam), Caption()) && CanFocus()) {
    SelectFirst();
    M.Result = 1;
    return;
  }
  TCustomControl::CMDialogChar(M);
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  const TRect client = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  const int textHeight = canvas->TextHeight("0");
  TRect frame{0, textHeight / 2 - 1, client.Right, client.Bottom};
  DrawEdge(canvas->Handle(), &frame, EDGE_ETCHED, BF_RECT);
  const std::string text = Caption();
  if (text.empty()) return;
  TRect r{0, 0, 0, 0};
  DrawControlText(canvas, r, text, DT_SINGLELINE | DT_CALCRECT, true);
  const int left = UseRightToLeftAlignment() ? client.Right - 8 - r.Width() : 8;
  r = {left, 0, left + r.Width(), textHeight};
  // The caption sits on the face colour, cutting the frame's top edge.
  TRect back{r.Left - 1, r.Top, r.Right + 1, r.Bottom};
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(back);
  DrawControlText(canvas, r, text, DT_SINGLELINE, Enabled());
}

// ---- published properties ----

static const classes::TPublished<TButtonControl, TWinControl> ButtonControlInfo(
    [](classes::TPublisher<TButtonControl>& p) {
      p.Bool("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap).Default(false);
    });

static const classes::TPublished<TButton, TButtonControl> ButtonInfo([](classes::TPublisher<TButton>& p) {
  p.Bool("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  p.Bool("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  p.Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(mrNone);
});

static const classes::TPublished<TCustomCheckBox, TButtonControl> CustomCheckBoxInfo(
    [](classes::TPublisher<TCustomCheckBox>& p) {
      p.Enum("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment).Default(taRightJustify);
      p.Bool("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed).Default(false);
      p.Bool("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked).Default(false);
      p.Enum("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState).Default(cbUnchecked);
    });
static const classes::TPublished<TCheckBox, TCustomCheckBox> CheckBoxInfo;

static const classes::TPublished<TRadioButton, TButtonControl> RadioButtonInfo(
    [](classes::TPublisher<TRadioButton>& p) {
      p.Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment).Default(taRightJustify);
      p.Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
    });

static const classes::TPublished<TCustomGroupBox, TCustomControl> CustomGroupBoxInfo;
static const classes::TPublished<TGroupBox, TCustomGroupBox> GroupBoxInfo;
