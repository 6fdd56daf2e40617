#include "controls/base/FcRadChk.h"

#include <algorithm>

#include "platform/classes/Filer.h"
#include "platform/controls/ControlMessages.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Text.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/Themes.h"
#include "platform/os/WindowDC.h"

namespace {

// Target becomes a copy of Source (of the same size) on a fill of Background, Source's pixels
// of colour Key leaving the fill to show.
void CopyLeavingOut(TBitmap* Source, TBitmap* Target, TColor Key, TColor Background) {
  Target->SetSize(Source->Width(), Source->Height());
  const TRect r{0, 0, Source->Width(), Source->Height()};
  Target->Canvas()->Brush()->SetStyle(bsSolid);
  Target->Canvas()->Brush()->SetColor(Background);
  Target->Canvas()->FillRect(r);
  PaintStretchedTransparent(Target->Canvas(), Source, r, Key, r);
}

void FillBitmap(TBitmap* Bitmap, int Width, int Height, TColor Colour) {
  Bitmap->SetSize(Width, Height);
  Bitmap->Canvas()->Brush()->SetStyle(bsSolid);
  Bitmap->Canvas()->Brush()->SetColor(Colour);
  Bitmap->Canvas()->FillRect({0, 0, Width, Height});
}

}  // namespace

// ---- TFcCustomGlyphButton ----

TFcCustomGlyphButton::TFcCustomGlyphButton(TComponent* AOwner)
    : TFcCustomButton(AOwner),
      FCustomGlyphs(std::make_unique<TBitmap>()),
      FImageChangeLink(std::make_unique<TChangeLink>()),
      FBackground(std::make_unique<TBitmap>()) {
  // The control changes its state on a release inside it itself: the platform's click on every
  // mouse release is left out, so a click is one change and one OnClick.
  TControlStyle style = ControlStyle();
  style.Exclude(csClickEvents);
  // Every repaint but the hot glyph's erases first, so a transparent box gets its parent's
  // picture under it (the paint covers the whole control either way).
  style.Exclude(csOpaque);
  style.Include(csSetCaption);
  style.Include(csReplicatable);
  SetControlStyle(style);
  FCustomGlyphs->OnChange = [this](TObject*) {
    CustomGlyphsChanged();
    FUpdateBackground = true;
    Invalidate();
  };
  FImageChangeLink->OnChange = [this](TObject*) {
    FUpdateBackground = true;
    CustomGlyphsChanged();
    Invalidate();
  };
  TControl::SetAutoSize(true);
}

TFcCustomGlyphButton::~TFcCustomGlyphButton() {
  FFrameController.Release(this);
  if (FCustomGlyphImages) FCustomGlyphImages->UnRegisterChanges(FImageChangeLink.get());
}

bool TFcCustomGlyphButton::QueryInterface(const TGUID& IID, void** Obj) {
  return classes::QueryInterfaces<IFrameControllerClient>(this, IID, Obj);
}

void TFcCustomGlyphButton::ApplyFrameController() {
  TFcFrameController* controller = FFrameController.Controller();
  if (!controller || !controller->FrameVisible()) return;
  SetHotTrack(true);
  const TFcFrameControllerNotifications mask = FFrameControllerNotifications;
  if (mask.Contains(fcpColor)) SetFillColor(controller->Color());
  if (mask.Contains(fcpFrameColor)) SetFrameColor(controller->FrameColor());
  if (mask.Contains(fcpFocusColor)) SetFocusColor(controller->FocusColor());
  if (mask.Contains(fcpDisabledColor)) SetDisabledColor(controller->DisabledColor());
  if (mask.Contains(fcpReadOnlyColor)) SetReadOnlyColor(controller->ReadOnlyColor());
  if (mask.Contains(fcpReadOnlyColorOnFocus)) SetReadOnlyColorOnFocus(controller->ReadOnlyColorOnFocus());
  if (mask.Contains(fcpFrameHotTrack)) SetHotTrackStyle(controller->FrameHotTrack() ? htsFrame : htsInterior);
  if (mask.Contains(fcpFrameHotColor) && FHotTrackStyle == htsFrame) SetHotTrackColor(controller->FrameHotColor());
  Invalidate();
}

void TFcCustomGlyphButton::Loaded() {
  TFcCustomButton::Loaded();
  AdjustSize();
}

void TFcCustomGlyphButton::CreateWnd() {
  TFcCustomButton::CreateWnd();
  AdjustSize();
}

void TFcCustomGlyphButton::SetAutoSize(bool Value) {
  if (AutoSize() == Value) return;
  TFcCustomButton::SetAutoSize(Value);
  AdjustSize();
}

void TFcCustomGlyphButton::SetAlignment(TLeftRight Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TFcCustomGlyphButton::StoreColor(TColor& Field, TColor Value) {
  if (Field == Value) return;
  Field = Value;
  Invalidate();
}

void TFcCustomGlyphButton::SetFillColor(TColor Value) { StoreColor(FFillColor, Value); }
void TFcCustomGlyphButton::SetFocusColor(TColor Value) { StoreColor(FFocusColor, Value); }
void TFcCustomGlyphButton::SetFrameColor(TColor Value) { StoreColor(FFrameColor, Value); }
void TFcCustomGlyphButton::SetDisabledColor(TColor Value) { StoreColor(FDisabledColor, Value); }
void TFcCustomGlyphButton::SetReadOnlyColor(TColor Value) { StoreColor(FReadOnlyColor, Value); }
void TFcCustomGlyphButton::SetTransparentColor(TColor Value) { StoreColor(FTransparentColor, Value); }
void TFcCustomGlyphButton::SetWinMaskColor(TColor Value) { StoreColor(FWinMaskColor, Value); }

void TFcCustomGlyphButton::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  Invalidate();
}

void TFcCustomGlyphButton::SetReadOnlyColorOnFocus(bool Value) {
  if (FReadOnlyColorOnFocus == Value) return;
  FReadOnlyColorOnFocus = Value;
  Invalidate();
}

void TFcCustomGlyphButton::SetHotTrackStyle(TFcButtonHotTrackStyle Value) {
  if (FHotTrackStyle == Value) return;
  FHotTrackStyle = Value;
  Invalidate();
}

void TFcCustomGlyphButton::SetFrameController(TFcFrameController* Value) { FFrameController.Set(this, Value); }

void TFcCustomGlyphButton::SetCustomGlyphs(TBitmap* Value) { FCustomGlyphs->Assign(Value); }

void TFcCustomGlyphButton::SetCustomGlyphImages(TCustomImageList* Value) {
  if (FCustomGlyphImages == Value) return;
  if (FCustomGlyphImages) FCustomGlyphImages->UnRegisterChanges(FImageChangeLink.get());
  FCustomGlyphImages = Value;
  if (Value) {
    Value->RegisterChanges(FImageChangeLink.get());
    Value->FreeNotification(this);
  }
  FUpdateBackground = true;
  CustomGlyphsChanged();
  Invalidate();
}

void TFcCustomGlyphButton::CustomGlyphsChanged() {
  TCustomImageList* images = FCustomGlyphImages;
  if (images && images->Width() > 0 && images->Height() > 0 && images->Count() > 0) SetUseCustomGlyphs(true);
  else SetUseCustomGlyphs(!FCustomGlyphs->Empty());
}

void TFcCustomGlyphButton::SetUseCustomGlyphs(bool Value) {
  FUseCustomGlyphs = Value;
  // The glyph's size follows whatever the glyphs now come from, also when a strip is replaced
  // by one of another size.
  TCustomImageList* images = FCustomGlyphImages;
  if (Value && images && images->Count() > 0) {
    FGlyphWidth = images->Width();
    FGlyphHeight = images->Height();
  } else if (Value && !FCustomGlyphs->Empty()) {
    FGlyphWidth = FCustomGlyphs->Width() / FGlyphCells;
    FGlyphHeight = FCustomGlyphs->Height();
  } else {
    FGlyphWidth = 13;
    FGlyphHeight = 13;
  }
  AdjustSize();
  Invalidate();
}

void TFcCustomGlyphButton::DefineProperties(TFiler* Filer) {
  TFcCustomButton::DefineProperties(Filer);
  Filer->DefineProperty("Flat", [this](TReader* Reader) { SetHotTrack(Reader->ReadBoolean()); }, nullptr, false);
}

void TFcCustomGlyphButton::Notification(TComponent* AComponent, TOperation Operation) {
  TFcCustomButton::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  FFrameController.Removed(AComponent);
  if (AComponent == FCustomGlyphImages) SetCustomGlyphImages(nullptr);
}

bool TFcCustomGlyphButton::GlyphOnRight() const {
  return UseRightToLeftReading() ? FAlignment == taRightJustify : FAlignment == taLeftJustify;
}

TRect TFcCustomGlyphButton::GlyphRect() {
  const int x = GlyphOnRight() ? Width() - FGlyphWidth : 0;
  const int y = AlignmentVertical() == avTop      ? 2
                : AlignmentVertical() == avBottom ? Height() - FGlyphHeight - 2
                                                  : (Height() - FGlyphHeight) / 2;
  return {x, y, x + FGlyphWidth, y + FGlyphHeight};
}

TRect TFcCustomGlyphButton::CaptionRect() {
  TRect r = ClientRect();
  InflateRect(&r, -1, -1);
  if (GlyphOnRight()) r.Right -= FGlyphWidth + 4;
  else r.Left += FGlyphWidth + 4;
  return r;
}

void TFcCustomGlyphButton::AdjustSize() {
  if (!HandleAllocated() || (ComponentState() & (csReading | csLoading)) || !AutoSize()) return;
  TRect r = ClientRect();
  InflateRect(&r, -1, -1);
  r.Right -= FGlyphWidth + 4;
  const int least = (ComponentState() & csDesigning) ? 100 : 2;
  r.Right = std::max(r.Right, r.Left + least);
  std::string text = Caption();
  if (text.empty()) text = " ";
  HDC dc = GetDC(nullptr);
  const LOGFONT lf = Font()->LogFont();
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  DrawText(dc, text, &r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  const int height = std::max(FGlyphHeight + 2, r.Height() + 2);
  const int width = r.Width() + FGlyphWidth + 6;
  const int left = GlyphOnRight() ? Left() + Width() - width : Left();
  SetBounds(left, Top(), width, height);
}

// ---- input ----

// The base shows the button pressed while the left button is held inside it and runs
// ChangeState on a release inside; the glyph button only remembers that the mouse is in use.
void TFcCustomGlyphButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FUsingMouse = true;
  TFcCustomButton::MouseDown(Button, Shift, X, Y);
}

void TFcCustomGlyphButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TFcCustomButton::MouseUp(Button, Shift, X, Y);
  FUsingMouse = false;
}

// Space is left to the kinds of glyph button (the check box refuses it when read-only), so the
// base's Space handling is passed over here.
void TFcCustomGlyphButton::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (FTabOnEnter && Key == VK_RETURN) {
    Key = 0;
    PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
  }
}

void TFcCustomGlyphButton::WMSetFocus(TMessage& Message) {
  TFcCustomButton::WMSetFocus(Message);
  Repaint();
}

void TFcCustomGlyphButton::WMKillFocus(TMessage& Message) {
  TFcCustomButton::WMKillFocus(Message);
  Repaint();
}

// ---- painting ----

void TFcCustomGlyphButton::EraseButtonBackground(HDC DC) {
  if (Transparent()) PaintParentBackground(this, DC, true);
}

void TFcCustomGlyphButton::WMEraseBkgnd(TMessage& Message) {
  FUpdateBackground = true;
  if (Transparent()) {
    EraseButtonBackground(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
    return;
  }
  TFcCustomButton::WMEraseBkgnd(Message);
}

void TFcCustomGlyphButton::CMTextChanged(TMessage& Message) {
  TFcCustomButton::CMTextChanged(Message);
  AdjustSize();
}

void TFcCustomGlyphButton::CMFontChanged(TMessage& Message) {
  TFcCustomButton::CMFontChanged(Message);
  AdjustSize();
}

void TFcCustomGlyphButton::CMColorChanged(TMessage& Message) {
  TFcCustomButton::CMColorChanged(Message);
  FUpdateBackground = true;
  Invalidate();
}

void TFcCustomGlyphButton::CMParentColorChanged(TMessage& Message) {
  TFcCustomButton::CMParentColorChanged(Message);
  FUpdateBackground = true;
  Invalidate();
}

void TFcCustomGlyphButton::CMEnabledChanged(TMessage& Message) {
  TFcCustomButton::CMEnabledChanged(Message);
  FUpdateBackground = true;
  Invalidate();
}

void TFcCustomGlyphButton::InvalidateHotTrack() {
  if (!HandleAllocated() || !(HotTrack() || ThemesActive() || FUseCustomGlyphs)) return;
  const TRect r = GlyphRect();
  InvalidateRect(Handle(), &r, FALSE);
}

void TFcCustomGlyphButton::CMMouseEnter(TMessage& Message) {
  TFcCustomButton::CMMouseEnter(Message);
  InvalidateHotTrack();
}

void TFcCustomGlyphButton::CMMouseLeave(TMessage& Message) {
  TFcCustomButton::CMMouseLeave(Message);
  InvalidateHotTrack();
}

void TFcCustomGlyphButton::CopyGlyphCell(int Index, TBitmap* Target, int Height, int Width, TBitmap* Strip) {
  Target->SetSize(Width, Height);
  Target->Canvas()->CopyRect({0, 0, Width, Height}, Strip->Canvas(), {Index * Width, 0, (Index + 1) * Width, Height});
}

void TFcCustomGlyphButton::DrawGlyph(TCanvas* Canvas) {
  const TRect at = GlyphRect();
  const TRect cell{0, 0, FGlyphWidth, FGlyphHeight};
  const bool themed = ThemesActive();
  TBitmap a, b, c;
  FillBitmap(&a, FGlyphWidth, FGlyphHeight, FTransparentColor);
  if (Transparent()) {
    if (themed) {
      a.Canvas()->CopyRect(cell, Canvas, at);
      PrepareGlyph(&a);
      b.Assign(&a);
    } else {
      b.SetSize(FGlyphWidth, FGlyphHeight);
      b.Canvas()->CopyRect(cell, Canvas, at);
      PrepareGlyph(&a);
      PaintStretchedTransparent(b.Canvas(), &a, cell, FTransparentColor, {0, 0, a.Width(), a.Height()});
    }
  } else {
    PrepareGlyph(&a);
    CopyLeavingOut(&a, &b, FTransparentColor, Color());
  }
  if (FUseCustomGlyphs) {
    CopyLeavingOut(&b, &c, FWinMaskColor, clWindow);
  } else {
    c.Assign(&b);
    if (!themed && Transparent()) AdjustTransparentGlyph(&c);
  }
  Canvas->Draw(at.Left, at.Top, &c);
}

void TFcCustomGlyphButton::DrawCaption(TCanvas* Canvas, TRect R, UINT Flags) {
  const std::string text = Caption();
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->Assign(Font());
  TRect calc = R;
  DrawCanvasText(Canvas, text, calc, Flags | DT_CALCRECT | DT_VCENTER | DT_CENTER);
  const int h = calc.Height();
  switch (AlignmentVertical()) {
    case avTop: R.Bottom = R.Top + h; break;
    case avCenter:
      R.Top = (R.Top + R.Bottom - h) / 2;
      R.Bottom = R.Top + h;
      break;
    case avBottom: R.Top = R.Bottom - h - 1; break;
  }
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  auto copyAt = [&](int Dx, int Dy, TColor Colour) {
    TRect r = R;
    OffsetRect(&r, Dx, Dy);
    Canvas->Font()->SetColor(Colour);
    DrawCanvasText(Canvas, text, r, Flags);
  };
  if (!Enabled()) {
    copyAt(0, 0, ColorsAreClose(Color(), clGrayText) ? cl3DDkShadow : clGrayText);
  } else {
    switch (TextStyle()) {
      case tsRaised:
        copyAt(1, 1, clBtnShadow);
        copyAt(-1, -1, clBtnHighlight);
        break;
      case tsRecessed:
        copyAt(1, 1, clBtnHighlight);
        copyAt(-1, -1, clBtnShadow);
        break;
      case tsShadow: copyAt(2, 2, clBtnShadow); break;
      case tsNormal: break;
    }
    copyAt(0, 0, Font()->Color());
  }
  Canvas->Brush()->SetStyle(bsSolid);
}

void TFcCustomGlyphButton::Paint() {
  if (ComponentState() & csDestroying) return;
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0) return;
  const TRect client{0, 0, w, h};
  if (FBackground->Width() != w || FBackground->Height() != h || FBackgroundTransparent != Transparent())
    FUpdateBackground = true;
  if (FUpdateBackground) {
    FBackgroundTransparent = Transparent();
    if (Transparent()) {
      FBackground->SetSize(w, h);
      FBackground->Canvas()->CopyRect(client, Canvas(), client);
    } else {
      FillBitmap(FBackground.get(), w, h, Color());
    }
    FUpdateBackground = false;
  }
  TBitmap buffer(w, h);
  TCanvas* canvas = buffer.Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetColor(Color());
  canvas->CopyRect(client, FBackground->Canvas(), client);
  DrawGlyph(canvas);
  const TRect caption = CaptionRect();
  UINT flags = DT_WORDBREAK | DT_EXPANDTABS;
  if (UseRightToLeftReading()) flags |= DT_RIGHT;
  DrawCaption(canvas, caption, flags);
  if (Focused() && !Caption().empty()) {
    TRect focus = caption;
    InflateRect(&focus, 1, 1);
    PaintDottedFocusFrame(canvas, focus);
  }
  Canvas()->Draw(0, 0, &buffer);
}

// ---- TFcCustomCheckBox ----

TFcCustomCheckBox::TFcCustomCheckBox(TComponent* AOwner) : TFcCustomGlyphButton(AOwner) {
  SetGlyphCells(9);
  SetAlignmentVertical(avTop);
}

void TFcCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  RepaintState();
  if (!ClicksDisabled() && !(ComponentState() & csLoading)) Click();
}

void TFcCustomCheckBox::ShowState(TCheckBoxState Value) {
  const bool disabled = ClicksDisabled();
  SetClicksDisabled(true);
  try {
    SetState(Value);
  } catch (...) {
    SetClicksDisabled(disabled);
    throw;
  }
  SetClicksDisabled(disabled);
}

void TFcCustomCheckBox::ChangeState() {
  if (UsingMouse() && ReadOnly()) return;
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TFcCustomCheckBox::KeyDown(WORD& Key, TShiftState Shift) {
  TFcCustomGlyphButton::KeyDown(Key, Shift);
  if (ReadOnly()) return;
  if (Key == VK_ESCAPE) {
    FKeyToggle = false;
    SetShownDown(false);
    RepaintState();
  } else if (Key == VK_SPACE) {
    FKeyToggle = true;
    SetShownDown(true);
    RepaintState();
  }
}

void TFcCustomCheckBox::KeyUp(WORD& Key, TShiftState Shift) {
  TFcCustomGlyphButton::KeyUp(Key, Shift);
  if (ReadOnly() || Key != VK_SPACE) return;
  SetShownDown(false);
  // One change per press: a release whose press the box did not see changes nothing.
  if (FKeyToggle) {
    FKeyToggle = false;
    ChangeState();
  }
  RepaintState();
}

void TFcCustomCheckBox::CMExit(TMessage& Message) {
  TFcCustomGlyphButton::CMExit(Message);
  FKeyToggle = false;
  SetShownDown(false);
  RepaintState();
}

void TFcCustomCheckBox::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<UINT>(Message.WParam), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused() && !ReadOnly()) {
      ChangeState();
      RepaintState();
    }
    Message.Result = 1;
    return;
  }
  TFcCustomGlyphButton::CMDialogChar(Message);
}

void TFcCustomCheckBox::WndProc(TMessage& Message) {
  if (Message.Msg == BM_GETCHECK) {
    Message.Result = FState == cbChecked ? BST_CHECKED : FState == cbGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
    return;
  }
  TFcCustomGlyphButton::WndProc(Message);
}

void TFcCustomCheckBox::PrepareGlyph(TBitmap* Bitmap) {
  const int w = GlyphWidth(), h = GlyphHeight();
  const TRect r{0, 0, w, h};
  const int state = static_cast<int>(FState);
  TCustomImageList* images = CustomGlyphImages();
  if (UseCustomGlyphs() && images && images->Count() > 0) {
    TBitmap work;
    FillBitmap(&work, w, h, TransparentColor());
    int index = state;
    const bool hotCells = MouseInControl() && images->Count() > 9;
    if (!Enabled()) index = 6 + state;
    else if (ShownDown()) index = 3 + state;
    else if (FState != cbGrayed && hotCells && HotTrack()) index = 9 + state;
    else if (FState == cbGrayed && hotCells) index = 11;
    images->Draw(work.Canvas(), 0, 0, index, true);
    Bitmap->Assign(&work);
    return;
  }
  if (UseCustomGlyphs() && !CustomGlyphs()->Empty()) {
    const int index = !Enabled() ? 6 + state : ShownDown() ? 3 + state : state;
    CopyGlyphCell(index, Bitmap, h, w, CustomGlyphs());
    return;
  }
  FillBitmap(Bitmap, w, h, ThemesActive() ? Color() : TransparentColor());
  TCanvas* canvas = Bitmap->Canvas();
  if (HotTrack() && !ThemesActive()) {
    TColor hot1 = HotTrackColor(), hot2 = MixColors(0xFFFFFF, HotTrackColor(), 190);
    if (HotTrackColorType() == htctComplement) {
      hot2 = ComplementColor(HotTrackColor(), 180);
      hot1 = DarkenColor(hot2, 30);
    }
    const int drawState = !Enabled() ? GlyphDisabled : ShownDown() ? GlyphPressed : MouseInControl() ? GlyphHot
                                                                                                      : GlyphNormal;
    PaintCheckGlyph(canvas, r, state, ReadOnlyColor(), ReadOnlyColorOnFocus(), ReadOnly(), hot1, hot2, DisabledColor(),
                    FocusColor(), FillColor(), HighlightColor(), FrameColor(), HotTrackStyle(), Focused(), drawState);
    return;
  }
  // The classic check box of the platform; with visual styles on, its flat hot-tracking kind
  // on the control's colour.
  UINT flags = DFCS_BUTTONCHECK;
  if (FState == cbChecked) flags |= DFCS_CHECKED;
  if (FState == cbGrayed) flags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
  if (ShownDown()) flags |= DFCS_PUSHED;
  if (!Enabled()) flags |= DFCS_INACTIVE;
  if (ThemesActive()) {
    flags |= DFCS_FLAT;
    if (MouseInControl()) flags |= DFCS_HOT;
  }
  TRect box = r;
  DrawFrameControl(canvas->Handle(), &box, DFC_BUTTON, flags);
}

// ---- published properties ----

static const classes::TPublished<TFcCustomGlyphButton, TFcCustomButton> FcCustomGlyphButtonInfo([](auto& p) {
  using B = TFcCustomGlyphButton;
  p.Enum("Alignment", &B::Alignment, &B::SetAlignment).Default(taRightJustify);
  p.Bool("AutoSize", &B::AutoSize, &B::SetAutoSize).Default(true);
  p.Object("CustomGlyphs", &B::CustomGlyphs, &B::SetCustomGlyphs);
  p.Component("CustomGlyphImages", &B::CustomGlyphImages, &B::SetCustomGlyphImages);
  p.Bool("UseCustomGlyphs", &B::UseCustomGlyphs, &B::SetUseCustomGlyphs).Default(false);
  p.Int("FillColor", &B::FillColor, &B::SetFillColor).Default(clWindow).Idents(ColorIdents());
  p.Int("FocusColor", &B::FocusColor, &B::SetFocusColor).Default(clWindow).Idents(ColorIdents());
  p.Int("FrameColor", &B::FrameColor, &B::SetFrameColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("DisabledColor", &B::DisabledColor, &B::SetDisabledColor).Default(clBtnFace).Idents(ColorIdents());
  p.Bool("ReadOnly", &B::ReadOnly, &B::SetReadOnly).Default(false);
  p.Int("ReadOnlyColor", &B::ReadOnlyColor, &B::SetReadOnlyColor).Default(clInfoBk).Idents(ColorIdents());
  p.Bool("ReadOnlyColorOnFocus", &B::ReadOnlyColorOnFocus, &B::SetReadOnlyColorOnFocus).Default(false);
  p.Int("TransparentColor", &B::TransparentColor, &B::SetTransparentColor).Default(clOlive).Idents(ColorIdents());
  p.Int("WinMaskColor", &B::WinMaskColor, &B::SetWinMaskColor).Default(clLime).Idents(ColorIdents());
  p.Bool("TabOnEnter", &B::TabOnEnter, &B::SetTabOnEnter).Default(false);
  p.Enum("HotTrackStyle", &B::HotTrackStyle, &B::SetHotTrackStyle).Default(htsInterior);
  p.Component("FrameController", &B::FrameController, &B::SetFrameController);
  p.template Set<TFcFrameControllerProperty>("FrameControllerNotifications", &B::FrameControllerNotifications,
                                             &B::SetFrameControllerNotifications)
      .Default(AllFrameControllerNotifications);
});
static const classes::TPublished<TFcCustomCheckBox, TFcCustomGlyphButton> FcCustomCheckBoxInfo([](auto& p) {
  using B = TFcCustomCheckBox;
  p.Enum("AlignmentVertical", &B::AlignmentVertical, &B::SetAlignmentVertical).Default(avTop);
  p.Enum("State", &B::State, &B::SetState).Default(cbUnchecked);
  p.Bool("Checked", &B::Checked, &B::SetChecked).Default(false);
  p.Bool("AllowGrayed", &B::AllowGrayed, &B::SetAllowGrayed).Default(false);
});
static const classes::TPublished<TFcCheckBox, TFcCustomCheckBox> FcCheckBoxInfo;
