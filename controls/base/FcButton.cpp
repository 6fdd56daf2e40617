#include "controls/base/FcButton.h"

#include "platform/controls/ButtonCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/gdi/DC.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/ThemeParts.h"
#include "platform/os/Themes.h"

namespace fc {

int GlyphStripCells(int Width, int Height, int Current) {
  if (Height <= 0 || Width % Height != 0) return Current;
  const int cells = Width / Height;
  return cells >= 1 && cells <= 4 ? cells : 1;
}

bool VisualStylesOn() { return IsThemeActive() && IsAppThemed(); }

void BroadcastGroupMessage(TControl* Sender, UINT Msg, int Group) {
  if (!Sender->Parent()) return;
  TMessage message{Msg, static_cast<WPARAM>(Group), reinterpret_cast<LPARAM>(Sender), 0};
  Sender->Parent()->Broadcast(message);
}

bool RelinkImages(TCustomImageList*& Field, TCustomImageList* Value, TChangeLink* Link, TComponent* Client) {
  if (Field == Value) return false;
  if (Field) Field->UnRegisterChanges(Link);
  Field = Value;
  if (Field) {
    Field->RegisterChanges(Link);
    Field->FreeNotification(Client);
  }
  return true;
}

bool HearGroupMember(bool& Down, bool& AllowAllUp, bool SenderDown, bool SenderAllowAllUp) {
  const bool release = SenderDown && Down;
  if (release) Down = false;
  AllowAllUp = SenderAllowAllUp;
  return release;
}

}  // namespace fc

// ---- TFcCustomButton ----

TFcCustomButton::TFcCustomButton(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks, csReplicatable, csReflector});
  SetBounds(0, 0, 115, 17);
  SetTabStop(true);
  SetColor(clBtnFace);
}

bool TFcCustomButton::ThemesActive() const { return FThemeAware && fc::VisualStylesOn(); }

void TFcCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) {
    if (CanFocus()) SetFocus();
    if (Focused()) {
      FShownDown = true;
      RepaintState();
      FDragging = true;
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TFcCustomButton::MouseMove(TShiftState Shift, int X, int Y) {
  if (FDragging) {
    const bool inside = ClientRect().Contains({X, Y});
    if (inside != FShownDown) {
      FShownDown = inside;
      RepaintState();
    }
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TFcCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  FShownDown = false;
  if (ClientRect().Contains({X, Y})) ChangeState();
  RepaintState();
}

void TFcCustomButton::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_SPACE && !Shift.Contains(ssAlt)) {
    FKeyToggle = true;
    FShownDown = true;
    RepaintState();
  }
}

void TFcCustomButton::KeyUp(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  if (Key != VK_SPACE) return;
  FShownDown = false;
  if (FKeyToggle) {
    FKeyToggle = false;
    ChangeState();
  }
  RepaintState();
}

void TFcCustomButton::CMMouseEnter(TMessage& Message) {
  if (HasState(csDesigning)) return;
  FMouseIn = true;
  TCustomControl::CMMouseEnter(Message);
  if ((FHotTrack || ThemesActive()) && HandleAllocated()) {
    const TRect r = GetHotTrackRect();
    InvalidateRect(Handle(), &r, false);
  }
}

void TFcCustomButton::CMMouseLeave(TMessage& Message) {
  FMouseIn = false;
  TCustomControl::CMMouseLeave(Message);
  if ((FHotTrack || ThemesActive()) && HandleAllocated()) {
    const TRect r = GetHotTrackRect();
    InvalidateRect(Handle(), &r, false);
  }
}

void TFcCustomButton::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
}

void TFcCustomButton::CMEnabledChanged(TMessage& Message) {
  if (!Enabled() && Parent())
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

void TFcCustomButton::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  FocusChanged();
}

void TFcCustomButton::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  FKeyToggle = false;
  FShownDown = false;
  RepaintState();
  FocusChanged();
}

void TFcCustomButton::WMEraseBkgnd(TMessage& Message) {
  if (!FTransparent) {
    TCustomControl::WMEraseBkgnd(Message);
    return;
  }
  EraseButtonBackground(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 1;
}

void TFcCustomButton::EraseButtonBackground(HDC) {}

void TFcCustomButton::DrawStyledCaption(TCanvas* Canvas, TRect Rect, UINT Flags) {
  const std::string caption = Caption();
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->SetName("System");
  Canvas->Font()->Assign(Font());
  TRect measure = Rect;
  DrawCanvasText(Canvas, caption, measure, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
  const int h = measure.Height();
  switch (FAlignmentVertical) {
    case avTop: Rect.Bottom = Rect.Top + h; break;
    case avCenter:
      Rect.Top = (Rect.Top + Rect.Bottom - h) / 2;
      Rect.Bottom = Rect.Top + h;
      break;
    case avBottom: Rect.Top = Rect.Bottom - h - 1; break;
  }
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  const bool right = (Flags & DT_RIGHT) != 0;
  auto copy = [&](TColor Colour, int Dx, int Dy) {
    TRect r = Rect;
    OffsetRect(&r, Dx, Dy);
    Canvas->Font()->SetColor(Colour);
    DrawCanvasText(Canvas, caption, r, Flags);
  };
  if (Enabled()) {
    const TColor ink = Font()->Color();
    switch (FTextStyle) {
      case tsRaised:
        if (!FLightTextStyle) copy(FTextShadowColor, 1, 1);
        copy(FTextHighlightColor, -1, -1);
        break;
      case tsRecessed:
        copy(FTextHighlightColor, 1, 1);
        if (!FLightTextStyle) copy(FTextShadowColor, -1, -1);
        break;
      case tsShadow: copy(FTextShadowColor, right ? 0 : FTextShadowDepth, FTextShadowDepth); break;
      case tsNormal: break;
    }
    Canvas->Font()->SetColor(ink);
  } else {
    Canvas->Font()->SetColor(ColorsAreClose(clGrayText, Color()) ? cl3DDkShadow : clGrayText);
  }
  if (right) OffsetRect(&Rect, -FTextShadowDepth, 0);
  DrawCanvasText(Canvas, caption, Rect, Flags);
  Canvas->Brush()->SetStyle(bsSolid);
}

// ---- TFcButton ----

TFcButton::TFcButton(TComponent* AOwner) : TFcCustomButton(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetColor(clBtnFace);
}

void TFcButton::CreateWnd() {
  TFcCustomButton::CreateWnd();
  FActive = FDefault;
}

void TFcButton::SetDefault(bool Value) {
  FDefault = Value;
  if (!HandleAllocated()) return;
  // Every button of the form works out again whether it is the one Enter presses.
  if (TCustomForm* form = GetParentForm(this))
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TFcButton::CMFocusChanged(TMessage& Message) {
  auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
  const bool button = focused && (dynamic_cast<TFcButton*>(focused) || dynamic_cast<TButton*>(focused));
  const bool active = button ? focused == this : FDefault;
  if (active != FActive) {
    FActive = active;
    Invalidate();
  }
  TFcCustomButton::CMFocusChanged(Message);
}

void TFcButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  FExclusive = Value;
  Invalidate();
  if (Value) SendGroupMessage();
}

void TFcButton::SetGroupIndex(int Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  SendGroupMessage();
}

void TFcButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  SendGroupMessage();
}

void TFcButton::SendGroupMessage() { fc::BroadcastGroupMessage(this, FCM_BUTTONGROUP, FGroupIndex); }

void TFcButton::GroupMessage(int Group, TFcButton* Sender) {
  if (Group != FGroupIndex || Sender == this || Sender == nullptr) return;
  if (fc::HearGroupMember(FDown, FAllowAllUp, Sender->FDown, Sender->FAllowAllUp)) {
    FExclusive = false;
    Invalidate();
  }
}

void TFcButton::WndProc(TMessage& Message) {
  if (Message.Msg == FCM_BUTTONGROUP) {
    GroupMessage(static_cast<int>(Message.WParam), reinterpret_cast<TFcButton*>(Message.LParam));
    return;
  }
  TFcCustomButton::WndProc(Message);
}

void TFcButton::ChangeState() {
  if (FGroupIndex != 0) SetDown(!FDown);
  else RepaintState();
  FClicking = true;
  try {
    Click();
  } catch (...) {
    FClicking = false;
    throw;
  }
  FClicking = false;
}

void TFcButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TFcCustomButton::Click();
}

void TFcButton::CMDialogKey(TMessage& Message) {
  const bool enter = Message.WParam == VK_RETURN && FActive;
  const bool escape = Message.WParam == VK_ESCAPE && FCancel;
  if ((enter || escape) && KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TFcCustomButton::CMDialogKey(Message);
}

void TFcButton::CMDialogChar(TMessage& Message) {
  if (IsAccel(static_cast<UINT>(Message.WParam), Caption()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TFcCustomButton::CMDialogChar(Message);
}

void TFcButton::SetHotTrack(bool Value) {
  TFcCustomButton::SetHotTrack(Value);
  SetTransparent(HotTrack());
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, true);
}

void TFcButton::DefineProperties(TFiler* Filer) {
  TFcCustomButton::DefineProperties(Filer);
  Filer->DefineProperty("FrameFlat", [this](TReader* Reader) { SetHotTrack(Reader->ReadBoolean()); }, nullptr, false);
}

void TFcButton::EraseButtonBackground(HDC DC) {
  if (!Transparent()) return;
  // The face covers all but its rounded corners: those show the parent.
  TRect a = ClientRect();
  const int inset = Enabled() ? 1 : 2;
  InflateRect(&a, -inset, -inset);
  const TRect b{a.Left - 1, a.Top + 1, a.Right + 1, a.Bottom - 1};
  const TRect c{b.Left + 2, b.Top - 2, b.Right - 2, b.Bottom + 2};
  for (const TRect& r : {a, b, c}) ExcludeClipRect(DC, r.Left, r.Top, r.Right, r.Bottom);
  PaintParentBackground(this, DC, false);
  SelectClipRgn(DC, nullptr);
}

void TFcButton::GetCaptionRect(TRect& Rect) {
  Rect = ClientRect();
  InflateRect(&Rect, -5, -5);
  if (IsPressed() && !HotTrack() && !ThemesActive()) OffsetRect(&Rect, 1, 1);
}

void TFcButton::DrawButtonCaption() {
  TAlignment alignment = FAlignment;
  if (UseRightToLeftAlignment() && alignment != taCenter)
    alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
  UINT flags = alignment == taRightJustify ? UINT{DT_RIGHT} : alignment == taCenter ? UINT{DT_CENTER} : 0u;
  flags |= DT_WORDBREAK | DT_EXPANDTABS;
  TRect r;
  GetCaptionRect(r);
  DrawStyledCaption(Canvas(), r, flags);
}

void TFcButton::BuildDownPattern(TBitmap* Bitmap) {
  Bitmap->SetSize(8, 8);
  TCanvas* canvas = Bitmap->Canvas();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect({0, 0, 8, 8});
  const TColor dot = ColorToRGB(Color()) == clSilver ? clGray : clSilver;
  for (int y = 0; y < 8; ++y)
    for (int x = y % 2; x < 8; x += 2) canvas->SetPixels(x, y, dot);
}

void TFcButton::PaintFaceFill(TRect R) {
  TCanvas* canvas = Canvas();
  if (R.Height() <= 0) return;
  canvas->Brush()->SetColor(DarkenColor(Color(), 30));
  canvas->FillRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
  canvas->Brush()->SetColor(DarkenColor(Color(), 20));
  canvas->FillRect({R.Left, R.Bottom - 2, R.Right, R.Bottom - 1});
  R.Bottom -= 2;
  if (FullColorDisplay()) {
    PaintGradientRect(canvas, R, gdHorizontalEnd, 1, DarkenColor(Color(), 10), BrightenColor(Color(), 30));
  } else {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(R);
  }
}

namespace {

// The outer ring of the hot-track face: Dark on the left and top, Light on the right and
// bottom, each side two pixels short of the corners, one pixel set inside each corner.
void PaintOuterRing(TCanvas* Canvas, const TRect& R, TColor Dark, TColor Light) {
  auto fill = [Canvas](TRect Part, TColor Colour) {
    Canvas->Brush()->SetColor(Colour);
    Canvas->FillRect(Part);
  };
  fill({R.Left + 2, R.Top, R.Right - 2, R.Top + 1}, Dark);
  fill({R.Left, R.Top + 2, R.Left + 1, R.Bottom - 2}, Dark);
  fill({R.Right - 1, R.Top + 2, R.Right, R.Bottom - 2}, Light);
  fill({R.Left + 2, R.Bottom - 1, R.Right - 2, R.Bottom}, Light);
  fill({R.Left + 1, R.Top + 1, R.Left + 2, R.Top + 2}, Dark);
  fill({R.Right - 2, R.Top + 1, R.Right - 1, R.Top + 2}, Dark);
  fill({R.Left + 1, R.Bottom - 2, R.Left + 2, R.Bottom - 1}, Dark);
  fill({R.Right - 2, R.Bottom - 2, R.Right - 1, R.Bottom - 1}, Light);
}

// A one-pixel rectangle whose corner pixels are left out.
void PaintCutCornerFrame(TCanvas* Canvas, const TRect& R, TColor Colour) {
  Canvas->Brush()->SetColor(Colour);
  Canvas->FillRect({R.Left + 1, R.Top, R.Right - 1, R.Top + 1});
  Canvas->FillRect({R.Left + 1, R.Bottom - 1, R.Right - 1, R.Bottom});
  Canvas->FillRect({R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1});
  Canvas->FillRect({R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1});
}

}  // namespace

void TFcButton::PaintHotTrackFace(TRect R) {
  TCanvas* canvas = Canvas();
  const TColor parent = Parent() ? Parent()->Color() : clBtnFace;
  if (!Enabled()) {
    PaintOuterRing(canvas, R, parent, parent);
    InflateRect(&R, -1, -1);
    PaintCutCornerFrame(canvas, R, Color() == clBtnFace ? BrightenColor(clBtnShadow, 30) : DarkenColor(Color(), 80));
    InflateRect(&R, -1, -1);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(R);
    return;
  }
  PaintOuterRing(canvas, R, DarkenColor(parent, 20), BrightenColor(parent, 20));
  InflateRect(&R, -1, -1);
  PaintCutCornerFrame(canvas, R, FFrameColor);
  InflateRect(&R, -1, -1);
  if (IsPressed()) {
    canvas->Brush()->SetColor(DarkenColor(Color(), 10));
    canvas->FillRect(R);
  } else if (MouseInControl()) {
    PaintFaceFill(R);
    TColor a, b;
    if (HotTrackColorType() == htctActual) {
      a = HotTrackColor();
      b = MixColors(0xFFFFFF, HotTrackColor(), 190);
    } else {
      b = ComplementColor(HotTrackColor(), 180);
      a = DarkenColor(b, 30);
    }
    PaintHighlightRing(canvas, R, gdHorizontalEnd, a, b);
  } else if (FGroupIndex != 0 || (!FActive && !Focused()) || ShownDown()) {
    PaintFaceFill(R);
  } else {
    PaintFaceFill(R);
    const TColor h = ColorsAreClose(HighlightColor(), clBtnFace) ? DarkenColor(HighlightColor(), 30) : HighlightColor();
    const TColor l = BrightenColor(Color(), 30);
    PaintHighlightRing(canvas, R, gdHorizontalEnd, MixColors(h, l, 160), MixColors(h, l, 60));
  }
}

void TFcButton::PaintClassicFace(TRect R) {
  TCanvas* canvas = Canvas();
  const bool inGroup = FGroupIndex != 0;
  if (!inGroup && (((FActive || Focused()) && !ShownDown()) || FClicking)) R = PaintBoxOutline(canvas, R, clWindowFrame);
  if (Color() == clBtnFace) {
    R = inGroup ? PaintFrameStyle(canvas, R, IsPressed() ? fsLowered : fsButtonUp) : PaintButtonEdge(canvas, R, ShownDown());
  } else if (!inGroup) {
    R = PaintColorButtonEdge(canvas, R, Color(), ShownDown());
  } else {
    R = IsPressed() ? PaintColorFrameStyle(canvas, R, Color(), fsLowered) : PaintColorButtonEdge(canvas, R, Color(), false);
  }
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(R);
}

void TFcButton::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  TRect focus = client;
  const int inset = HotTrack() || ThemesActive() ? 3 : 4;
  InflateRect(&focus, -inset, -inset);
  if (FGroupIndex != 0 && (FDown || ShownDown())) OffsetRect(&focus, 1, 1);
  if (ThemesActive()) {
    const int state = !Enabled()    ? PBS_DISABLED
                      : IsPressed() ? PBS_PRESSED
                      : MouseInControl() ? PBS_HOT
                      : (FGroupIndex != 0 || (!FActive && !Focused()) || ShownDown()) ? PBS_NORMAL
                                                                                        : PBS_DEFAULTED;
    PaintParentBackground(this, canvas, false);
    HTHEME theme = OpenThemeData(Handle(), "BUTTON");
    DrawThemeBackground(theme, canvas->Handle(), BP_PUSHBUTTON, state, &client, nullptr);
    CloseThemeData(theme);
  } else if (HotTrack()) {
    PaintHotTrackFace(client);
  } else {
    PaintClassicFace(client);
  }
  if (FGroupIndex != 0 && FExclusive && FShowDownPattern) {
    TRect face = client;
    InflateRect(&face, -2, -2);
    TBitmap pattern;
    BuildDownPattern(&pattern);
    canvas->Brush()->SetBitmap(&pattern);
    canvas->FillRect(face);
    canvas->Brush()->SetBitmap(nullptr);
  }
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetColor(Color());
  DrawButtonCaption();
  if (Focused() && FShowFocusRect) PaintDottedFocusFrame(canvas, focus);
}

// ---- TFcBitBtn ----

TFcBitBtn::TFcBitBtn(TComponent* AOwner)
    : TFcButton(AOwner), FGlyph(std::make_unique<TBitmap>()), FImageChangeLink(std::make_unique<TChangeLink>()) {
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
  FImageChangeLink->OnChange = [this](TObject*) { Repaint(); };
}

TFcBitBtn::~TFcBitBtn() {
  FGlyph->OnChange = nullptr;
  if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
}

void TFcBitBtn::GlyphChanged() {
  FNumGlyphs = fc::GlyphStripCells(FGlyph->Width(), FGlyph->Height(), FNumGlyphs);
  Invalidate();
}

void TFcBitBtn::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  FGlyphModified = true;
}

TBitBtnKind TFcBitBtn::Kind() const {
  if (FKind != bkCustom) {
    const TBitBtnKindInfo& k = BitBtnKindInfo(FKind);
    if (FGlyphModified || Default() != k.Default || Cancel() != k.Cancel || ModalResult() != k.Result)
      FKind = bkCustom;
  }
  return FKind;
}

void TFcBitBtn::SetKind(TBitBtnKind Value) {
  if (Value == Kind()) return;
  if (Value != bkCustom) {
    const TBitBtnKindInfo& k = BitBtnKindInfo(Value);
    SetDefault(k.Default);
    SetCancel(k.Cancel);
    if (!HasState(csLoading) || Caption().empty()) SetCaption(k.Caption);
    SetModalResult(k.Result);
    FGlyph->Assign(BitBtnKindGlyph(Value).get());
    FNumGlyphs = 2;
    FGlyphModified = false;
  }
  FKind = Value;
  Invalidate();
}

bool TFcBitBtn::IsCaptionStored() const {
  return const_cast<TFcBitBtn*>(this)->Caption() != BitBtnKindInfo(Kind()).Caption;
}

void TFcBitBtn::SetMargin(int Value) {
  if (Value < -1) return;
  Store(FMargin, Value);
}

void TFcBitBtn::SetImages(TCustomImageList* Value) {
  if (!fc::RelinkImages(FImages, Value, FImageChangeLink.get(), this)) return;
  Invalidate();
}

void TFcBitBtn::Notification(TComponent* AComponent, TOperation Operation) {
  TFcButton::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

TSize TFcBitBtn::GetGlyphSize() {
  if (FImages && FImageIndex != -1) return {FImages->Width(), FImages->Height()};
  const int cells = FNumGlyphs < 1 ? 1 : FNumGlyphs;
  return {FGlyph->Width() / cells, FGlyph->Height()};
}

TButtonLayout TFcBitBtn::EffectiveLayout() const {
  return UseRightToLeftReading() && FLayout == blGlyphLeft ? blGlyphRight : FLayout;
}

int TFcBitBtn::CaptionHeight(const TRect& R) {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  TRect measure = R;
  DrawCanvasText(canvas, Caption(), measure, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
  return measure.Height();
}

void TFcBitBtn::GetCaptionRect(TRect& Rect) {
  TFcButton::GetCaptionRect(Rect);
  if (!(FImages && FImageIndex != -1) && FGlyph->Empty()) return;
  const TSize g = GetGlyphSize();
  const TButtonLayout layout = EffectiveLayout();
  if (FMargin >= 0 || layout == blGlyphLeft || layout == blGlyphRight) {
    switch (layout) {
      case blGlyphLeft: Rect.Left += FMargin + g.cx + FSpacing; break;
      case blGlyphRight: Rect.Right -= FMargin + g.cx + FSpacing; break;
      case blGlyphTop: Rect.Top += FMargin + g.cy + FSpacing; break;
      case blGlyphBottom: Rect.Bottom -= FMargin + g.cy + FSpacing; break;
    }
    return;
  }
  const int h = CaptionHeight(Rect);
  const int free = Height() - h - g.cy - FSpacing;
  Rect.Top = layout == blGlyphTop ? Rect.Top + free / 2 + g.cy : Rect.Top + free / 2;
  Rect.Bottom = Rect.Top + h;
}

TRect TFcBitBtn::GetGlyphRect() {
  TRect r;
  TFcButton::GetCaptionRect(r);
  const bool themed = ThemesActive();
  if (ShownDown()) OffsetRect(&r, -1, themed ? 0 : -1);
  const TSize g = GetGlyphSize();
  const TButtonLayout layout = EffectiveLayout();
  if (FMargin >= 0) {
    switch (layout) {
      case blGlyphLeft: r.Left += FMargin; break;
      case blGlyphRight: r.Left = r.Right - FMargin - g.cx; break;
      case blGlyphTop: r.Top += FMargin; break;
      case blGlyphBottom: r.Top = r.Bottom - FMargin - g.cy; break;
    }
  } else {
    const int h = layout == blGlyphTop || layout == blGlyphBottom ? CaptionHeight(r) : 0;
    const int free = Height() - h - g.cy - FSpacing;
    switch (layout) {
      case blGlyphLeft: break;
      case blGlyphRight: r.Left = r.Right - g.cx; break;
      case blGlyphTop: r.Top = free / 2; break;
      case blGlyphBottom: r.Top += h + free / 2; break;
    }
  }
  if (layout == blGlyphTop || layout == blGlyphBottom) r.Left += (r.Width() - g.cx + 1) / 2;
  else r.Top += (r.Height() - g.cy + 1) / 2;
  r.Right = r.Left + g.cx;
  r.Bottom = r.Top + g.cy;
  if (ShownDown()) OffsetRect(&r, themed ? 2 : 1, themed ? 0 : 1);
  return r;
}

void TFcBitBtn::DrawButtonCaption() {
  TFcButton::DrawButtonCaption();
  if (Kind() == bkCustom && FImages && FImageIndex != -1) DrawImageListGlyph(GetGlyphRect());
  else if (!FGlyph->Empty()) DrawBitmapGlyph(GetGlyphRect());
}

void TFcBitBtn::DrawImageListGlyph(const TRect& Rect) {
  if (!FImages) return;
  if (FDisabledIndex == -1) {
    if (FImageIndex != -1) FImages->Draw(Canvas(), Rect.Left, Rect.Top, FImageIndex, Enabled());
  } else if (Enabled()) {
    if (FImageIndex != -1) FImages->Draw(Canvas(), Rect.Left, Rect.Top, FImageIndex, true);
  } else {
    FImages->Draw(Canvas(), Rect.Left, Rect.Top, FDisabledIndex, true);
  }
}

void TFcBitBtn::DrawBitmapGlyph(const TRect& Rect) {
  const int cell = FNumGlyphs == 4 && Exclusive() ? 3
                   : FNumGlyphs >= 3 && IsPressed() ? 2
                   : FNumGlyphs >= 2 && !Enabled() ? 1
                                                   : 0;
  const TSize g = GetGlyphSize();
  PaintStretchedTransparent(Canvas(), FGlyph.get(), Rect, FGlyph->TransparentColor(),
                            {cell * g.cx, 0, (cell + 1) * g.cx, g.cy});
}

// ---- published properties ----

static const classes::TPublished<TFcCustomButton, TCustomControl> FcCustomButtonInfo([](auto& p) {
  using B = TFcCustomButton;
  p.Int("Color", &B::Color, &B::SetColor).Default(clBtnFace).Idents(ColorIdents()).Stored(&B::IsColorStored);
  p.Bool("ParentColor", &B::ParentColor, &B::SetParentColor).Default(false);
  p.Bool("TabStop", &B::TabStop, &B::SetTabStop).Default(true);
  p.Enum("AlignmentVertical", &B::AlignmentVertical, &B::SetAlignmentVertical).Default(avCenter);
  p.Bool("HotTrack", &B::HotTrack, &B::SetHotTrack).Default(false);
  p.Int("HighlightColor", &B::HighlightColor, &B::SetHighlightColor).Default(clHighlight).Idents(ColorIdents());
  p.Int("HotTrackColor", &B::HotTrackColor, &B::SetHotTrackColor).Default(0x149BF0).Idents(ColorIdents());
  p.Enum("HotTrackColorType", &B::HotTrackColorType, &B::SetHotTrackColorType).Default(htctActual);
  p.Enum("TextStyle", &B::TextStyle, &B::SetTextStyle).Default(tsNormal);
  p.Bool("LightTextStyle", &B::LightTextStyle, &B::SetLightTextStyle).Default(false);
  p.Int("TextHighlightColor", &B::TextHighlightColor, &B::SetTextHighlightColor)
      .Default(clBtnHighlight)
      .Idents(ColorIdents());
  p.Int("TextShadowColor", &B::TextShadowColor, &B::SetTextShadowColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("TextShadowDepth", &B::TextShadowDepth, &B::SetTextShadowDepth).Default(2);
  p.Bool("ThemeAware", &B::ThemeAware, &B::SetThemeAware).Default(true);
  p.Bool("Transparent", &B::Transparent, &B::SetTransparent).Default(false);
});
static const classes::TPublished<TFcButton, TFcCustomButton> FcButtonInfo([](auto& p) {
  using B = TFcButton;
  p.Enum("Alignment", &B::Alignment, &B::SetAlignment).Default(taCenter);
  p.Bool("Default", &B::Default, &B::SetDefault).Default(false);
  p.Bool("Cancel", &B::Cancel, &B::SetCancel).Default(false);
  p.Int("ModalResult", &B::ModalResult, &B::SetModalResult).Default(0);
  p.Int("GroupIndex", &B::GroupIndex, &B::SetGroupIndex).Default(0);
  p.Bool("Down", &B::Down, &B::SetDown).Default(false);
  p.Bool("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp).Default(false);
  p.Int("FrameColor", &B::FrameColor, &B::SetFrameColor).Default(cl3DDkShadow).Idents(ColorIdents());
  p.Bool("ShowDownPattern", &B::ShowDownPattern, &B::SetShowDownPattern).Default(true);
  p.Bool("ShowFocusRect", &B::ShowFocusRect, &B::SetShowFocusRect).Default(true);
  p.Bool("DropDownOnEnter", &B::DropDownOnEnter, &B::SetDropDownOnEnter).Default(true);
});
static const classes::TPublished<TFcBitBtn, TFcButton> FcBitBtnInfo([](auto& p) {
  using B = TFcBitBtn;
  p.String("Caption", &B::Caption, &B::SetCaption).Stored(&B::IsCaptionStored);
  p.Bool("Cancel", &B::Cancel, &B::SetCancel).Default(false).Stored(&B::IsCancelStored);
  p.Object("Glyph", &B::Glyph, &B::SetGlyph);
  p.Int("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1);
  p.Enum("Kind", &B::Kind, &B::SetKind).Default(bkCustom);
  p.Enum("Layout", &B::Layout, &B::SetLayout).Default(blGlyphLeft);
  p.Int("Margin", &B::Margin, &B::SetMargin).Default(2);
  p.Int("Spacing", &B::Spacing, &B::SetSpacing).Default(4);
  p.Component("Images", &B::Images, &B::SetImages);
  p.Int("ImageIndex", &B::ImageIndex, &B::SetImageIndex).Default(-1);
  p.Int("DisabledIndex", &B::DisabledIndex, &B::SetDisabledIndex).Default(-1);
});
