#include "platform/controls/ExtCtrls.h"

#include <algorithm>

#include "platform/classes/TypeInfo.h"
#include "platform/controls/Forms.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/os/Timers.h"
#include "platform/os/WindowDC.h"

namespace {
constexpr UINT_PTR kTimerId = 1;

// The dashed outline a window-less control shows at design time, where it draws nothing else.
void DesignFrame(TControl* Control, TCanvas* Canvas) {
  if (!Control->HasState(csDesigning)) return;
  Canvas->Pen()->SetStyle(psDash);
  Canvas->Pen()->SetColor(clBlack);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Rectangle(0, 0, Control->Width(), Control->Height());
}
}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
  UpdateTimer();
}

TTimer::~TTimer() {
  *FAlive = false;
  FEnabled = false;
  DeallocateHWnd(FWindowHandle);
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  KillTimer(FWindowHandle, kTimerId);
  if (FEnabled && FInterval != 0 && SetTimer(FWindowHandle, kTimerId, FInterval, nullptr) == 0)
    throw EOutOfResources("Not enough timers available");
}

void TTimer::WndProc(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  try {
    Timer();
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}

void TTimer::Timer() {
  if (FInTimer || !OnTimer) return;
  std::shared_ptr<bool> alive = FAlive;
  FInTimer = true;
  struct TReset {
    TTimer* Self;
    std::shared_ptr<bool>& Alive;
    ~TReset() {
      if (*Alive) Self->FInTimer = false;
    }
  } reset{this, alive};
  TNotifyEvent handler = OnTimer;  // the handler may replace itself or free the timer
  handler(this);
}

static const classes::TPublished<TTimer, TComponent> TimerInfo([](classes::TPublisher<TTimer>& p) {
  p.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
  p.Int("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
  p.Event("OnTimer", &TTimer::OnTimer);
});

// ---- Frame3D ----

HBRUSH controls::CreateCheckerBrush() {
  // Eight rows of alternating pixels, each row padded to 16 bits.
  static const uint8_t kRows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kRows);
  HBRUSH brush = CreatePatternBrush(pattern);
  DeleteObject(pattern);
  return brush;
}

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);
  --Rect.Bottom;
  --Rect.Right;
  for (; Width > 0; --Width) {
    Canvas->Pen()->SetColor(TopColor);
    Canvas->Polyline({{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}});
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->Polyline({{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}});
    InflateRect(&Rect, -1, -1);
  }
  ++Rect.Bottom;
  ++Rect.Right;
}

// ---- TCustomPanel ----

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable});
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
  FOldSize = {Width(), Height()};
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::FrameChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  FrameChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  FrameChanged();
}

void TCustomPanel::SetBevelWidth(int Value) {
  Value = std::max(Value, 1);
  if (FBevelWidth == Value) return;
  FBevelWidth = Value;
  FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) {
    if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
    else Params.Style |= WS_BORDER;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

int TCustomPanel::BevelSize() const {
  return (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  InflateRect(&Rect, -BevelSize(), -BevelSize());
}

void TCustomPanel::Paint() {
  TCanvas* canvas = TCustomControl::Canvas();
  TRect r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    const TColor light = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    const TColor dark = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    if (cut == bvSpace) Frame3D(canvas, r, Color(), Color(), FBevelWidth);
    else Frame3D(canvas, r, light, dark, FBevelWidth);
  };
  bevel(FBevelOuter);
  bevel(FBevelInner);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  const std::string caption = Caption();
  if (caption.empty()) return;
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->Assign(Font());
  UINT flags = DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | kAlign[FAlignment];
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  DrawText(canvas->Handle(), caption, &r, flags);
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
}

void TCustomPanel::WMWindowPosChanged(TMessage& Message) {
  const TSize old = FOldSize;
  FOldSize = {Width(), Height()};
  if (HandleAllocated() && (old.cx != Width() || old.cy != Height())) {
    if (FFullRepaint || !Caption().empty()) {
      InvalidateRect(Handle(), nullptr, TRUE);
    } else {
      // Only the frame on the right and at the bottom moved: repaint its old and new strips.
      const int frame = BevelSize() + 1;
      TRect client = ClientRect();
      TRect strips[] = {{std::min(old.cx, client.Right) - frame, 0, client.Right, client.Bottom},
                        {0, std::min(old.cy, client.Bottom) - frame, client.Right, client.Bottom}};
      if (old.cx != Width()) InvalidateRect(Handle(), &strips[0], TRUE);
      if (old.cy != Height()) InvalidateRect(Handle(), &strips[1], TRUE);
    }
  }
  TCustomControl::WMWindowPosChanged(Message);
}

static const classes::TPublished<TCustomPanel, TCustomControl> CustomPanelInfo(
    [](classes::TPublisher<TCustomPanel>& p) {
      p.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter);
      p.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).Default(bvNone);
      p.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter).Default(bvRaised);
      p.Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
      p.Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle).Default(bsNone);
      p.Int("Color", &TCustomPanel::Color, &TCustomPanel::SetColor)
          .Default(clBtnFace)
          .Idents(ColorIdents())
          .Stored(&TCustomPanel::IsColorStored);
      p.Bool("ParentColor", &TCustomPanel::ParentColor, &TCustomPanel::SetParentColor).Default(false);
      p.Bool("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(true);
      p.Bool("Locked", &TCustomPanel::Locked, &TCustomPanel::SetLocked).Default(false);
      p.Bool("ParentBackground", &TCustomPanel::ParentBackground, &TCustomPanel::SetParentBackground)
          .Default(true);
    });
static const classes::TPublished<TPanel, TCustomPanel> PanelInfo;

// ---- TBevel ----

const classes::TEnumInfo& EnumInfo(TBevelStyle) {
  static const classes::TEnumInfo info{"TBevelStyle", {"bsLowered", "bsRaised"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TBevelShape) {
  static const classes::TEnumInfo info{
      "TBevelShape", {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"}};
  return info;
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = TGraphicControl::Canvas();
  DesignFrame(this, canvas);
  // The shadow goes on the upper-left of a lowered bevel, the highlight on a raised one.
  TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  auto box = [&](const TRect& r, TColor upper, TColor lower) {
    canvas->Pen()->SetColor(upper);
    canvas->Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
    canvas->Pen()->SetColor(lower);
    canvas->Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}});
  };
  auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  const int w = Width(), h = Height();
  switch (FShape) {
    case bsBox: box({0, 0, w - 1, h - 1}, c1, c2); break;
    case bsFrame:
      // Two rings, the inner one in the opposite colours: an etched (or bumped) frame.
      box({1, 1, w - 1, h - 1}, c2, c2);
      box({0, 0, w - 2, h - 2}, c1, c1);
      break;
    case bsTopLine:
      line(c1, 0, 0, w, 0);
      line(c2, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(c1, 0, h - 2, w, h - 2);
      line(c2, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(c1, 0, 0, 0, h);
      line(c2, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(c1, w - 2, 0, w - 2, h);
      line(c2, w - 1, 0, w - 1, h);
      break;
    case bsSpacer: break;
  }
}

static const classes::TPublished<TBevel, TGraphicControl> BevelInfo([](classes::TPublisher<TBevel>& p) {
  p.Enum("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
  p.Enum("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
});

// ---- TShape ----

const classes::TEnumInfo& EnumInfo(TShapeType) {
  static const classes::TEnumInfo info{
      "TShapeType", {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"}};
  return info;
}

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(0, 0, 65, 65);
  FPen->OnChange = [this](TObject*) { Invalidate(); };
  FBrush->OnChange = [this](TObject*) { Invalidate(); };
}

void TShape::SetShape(TShapeType Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* canvas = TGraphicControl::Canvas();
  canvas->SetPen(FPen.get());
  canvas->SetBrush(FBrush.get());
  // The pen's width is kept inside the control.
  const int pw = FPen->Width();
  int x = pw / 2, y = pw / 2;
  int w = Width() - pw + 1, h = Height() - pw + 1;
  if (pw == 0) {
    --w;
    --h;
  }
  const int s = std::min(w, h);
  if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
    x += (w - s) / 2;
    y += (h - s) / 2;
    w = h = s;
  }
  switch (FShape) {
    case stRectangle:
    case stSquare: canvas->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: canvas->RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
    case stEllipse:
    case stCircle: canvas->Ellipse(x, y, x + w, y + h); break;
  }
}

static const classes::TPublished<TShape, TGraphicControl> ShapeInfo([](classes::TPublisher<TShape>& p) {
  p.Object("Brush", &TShape::Brush, &TShape::SetBrush);
  p.Object("Pen", &TShape::Pen, &TShape::SetPen);
  p.Enum("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
});

// ---- TImage ----

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

TCanvas* TImage::Canvas() {
  if (!FPicture->Graphic()) {
    TBitmap* bitmap = FPicture->Bitmap();
    bitmap->SetSize(Width(), Height());
  }
  auto* bitmap = dynamic_cast<TBitmap*>(FPicture->Graphic());
  if (!bitmap) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return bitmap->Canvas();
}

void TImage::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  PictureChanged();
}

void TImage::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  PictureChanged();
}

void TImage::SetProportional(bool Value) {
  if (FProportional == Value) return;
  FProportional = Value;
  PictureChanged();
}

void TImage::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  PictureChanged();
}

TRect TImage::DestRect() {
  int w = FPicture->Width(), h = FPicture->Height();
  const int cw = ClientWidth(), ch = ClientHeight();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      // The largest size of the picture's aspect that fits.
      if (static_cast<long long>(cw) * h <= static_cast<long long>(ch) * w) {
        h = static_cast<int>(static_cast<long long>(cw) * h / w);
        w = cw;
      } else {
        w = static_cast<int>(static_cast<long long>(ch) * w / h);
        h = ch;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (FCenter) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TCanvas* canvas = TGraphicControl::Canvas();
  DesignFrame(this, canvas);
  TGraphic* graphic = FPicture->Graphic();
  if (!graphic || graphic->Empty()) return;
  FDrawing = true;
  try {
    canvas->StretchDraw(DestRect(), graphic);
  } catch (...) {
    FDrawing = false;
    throw;
  }
  FDrawing = false;
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (FPicture->Width() > 0 && FPicture->Height() > 0) {
    NewWidth = FPicture->Width();
    NewHeight = FPicture->Height();
  }
  return true;
}

void TImage::PictureChanged() {
  if (FDrawing) return;
  TGraphic* graphic = FPicture->Graphic();
  if (AutoSize() && FPicture->Width() > 0 && FPicture->Height() > 0)
    SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
  if (graphic && graphic->Transparent() != FTransparent) {
    FDrawing = true;  // the graphic's change comes back here
    graphic->SetTransparent(FTransparent);
    FDrawing = false;
  }
  // Opaque when the picture covers the whole control.
  TControlStyle style = ControlStyle();
  TRect dest = DestRect();
  if (graphic && !graphic->Empty() && !FTransparent && dest.Left <= 0 && dest.Top <= 0 && dest.Right >= Width() &&
      dest.Bottom >= Height())
    style.Include(csOpaque);
  else
    style.Exclude(csOpaque);
  SetControlStyle(style);
  InvalidateControl(Visible(), false);
}

static const classes::TPublished<TImage, TGraphicControl> ImageInfo([](classes::TPublisher<TImage>& p) {
  p.Bool("Center", &TImage::Center, &TImage::SetCenter).Default(false);
  p.Object("Picture", &TImage::Picture, &TImage::SetPicture);
  p.Bool("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
  p.Bool("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
  p.Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
  p.Event("OnProgress", &TImage::OnProgress);
});

// ---- TPaintBox ----

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetColor(Color());
  DesignFrame(this, canvas);
  if (OnPaint) OnPaint(this);
}

static const classes::TPublished<TPaintBox, TGraphicControl> PaintBoxInfo([](classes::TPublisher<TPaintBox>& p) {
  p.Event("OnPaint", &TPaintBox::OnPaint);
});

// ---- TSplitter ----

const classes::TEnumInfo& EnumInfo(TResizeStyle) {
  static const classes::TEnumInfo info{"TResizeStyle", {"rsNone", "rsLine", "rsUpdate", "rsPattern"}};
  return info;
}

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetAlign(alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
}

TSplitter::~TSplitter() { ReleaseLineDC(); }

void TSplitter::SetMinSize(int Value) { FMinSize = std::max(Value, 1); }

void TSplitter::SetBeveled(bool Value) {
  if (FBeveled == Value) return;
  FBeveled = Value;
  Invalidate();
}

void TSplitter::RequestAlign() {
  TGraphicControl::RequestAlign();
  if (Cursor() != crHSplit && Cursor() != crVSplit) return;
  SetCursor(Align() == alTop || Align() == alBottom ? crVSplit : crHSplit);
}

void TSplitter::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  if (FBeveled) {
    if (Vertical()) InflateRect(&r, -1, 2);
    else InflateRect(&r, 2, -1);
    OffsetRect(&r, 1, 1);
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->FrameRect(r);
    OffsetRect(&r, -2, -2);
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(r);
  }
  DesignFrame(this, canvas);
  if (OnPaint) OnPaint(this);
}

TControl* TSplitter::FindControl() {
  TWinControl* parent = Parent();
  if (!parent || Align() == alNone || Align() == alClient || Align() == alCustom) return nullptr;
  // A point just outside the splitter on the side of the control it resizes.
  TPoint p{Left(), Top()};
  switch (Align()) {
    case alLeft: --p.X; break;
    case alRight: p.X += Width(); break;
    case alTop: --p.Y; break;
    case alBottom: p.Y += Height(); break;
    default: break;
  }
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == this || !c->Visible() || !c->Enabled() || c->Align() != Align()) continue;
    TRect r = c->BoundsRect();
    // A control collapsed to nothing is still found, on its edge.
    if (r.Width() == 0) {
      if (Align() == alLeft) --r.Left;
      else ++r.Right;
    }
    if (r.Height() == 0) {
      if (Align() == alTop) --r.Top;
      else ++r.Bottom;
    }
    if (r.Contains(p)) return c;
  }
  return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || FControl) return;
  FControl = FindControl();
  if (!FControl) return;
  FDownPos = {X, Y};
  // The most the control may grow: what the other aligned controls along the same axis leave,
  // keeping MinSize for the rest.
  TWinControl* parent = Parent();
  const bool vertical = Vertical();
  FMaxSize = (vertical ? parent->ClientWidth() : parent->ClientHeight()) - FMinSize;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!c->Visible()) continue;
    if (vertical && (c->Align() == alLeft || c->Align() == alRight)) FMaxSize -= c->Width();
    if (!vertical && (c->Align() == alTop || c->Align() == alBottom)) FMaxSize -= c->Height();
  }
  FMaxSize += vertical ? FControl->Width() : FControl->Height();
  FOldSize = vertical ? FControl->Width() : FControl->Height();
  UpdateSize(X, Y);
  AllocateLineDC();
  TCustomForm* form = GetParentForm(this);
  if (form && form->ActiveControl()) {
    FActiveControl = form->ActiveControl();
    FActiveControl->FreeNotification(this);
    FOldKeyDown = FActiveControl->OnKeyDown;
    FActiveControl->OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState Shift) {
      FocusKeyDown(Sender, Key, Shift);
    };
  }
  if (FResizeStyle == rsLine || FResizeStyle == rsPattern) DrawLine();
}

void TSplitter::CalcSplitSize(int X, int Y, int& NewSize, int& Split) {
  int s = Vertical() ? X - FDownPos.X : Y - FDownPos.Y;
  Split = s;
  switch (Align()) {
    case alLeft: s = FControl->Width() + s; break;
    case alRight: s = FControl->Width() - s; break;
    case alTop: s = FControl->Height() + s; break;
    case alBottom: s = FControl->Height() - s; break;
    default: break;
  }
  NewSize = std::max(std::min(s, FMaxSize), FMinSize);
  if (s != NewSize) {
    // The bar stops where the clamped size puts it.
    Split += (Align() == alRight || Align() == alBottom) ? s - NewSize : NewSize - s;
  }
}

bool TSplitter::CanResize(int& NewSize) {
  bool accept = true;
  if (OnCanResize) OnCanResize(this, NewSize, accept);
  return accept;
}

void TSplitter::UpdateSize(int X, int Y) { CalcSplitSize(X, Y, FNewSize, FSplit); }

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FControl) return;
  int newSize = 0, split = 0;
  CalcSplitSize(X, Y, newSize, split);
  if (!CanResize(newSize)) return;
  if (newSize <= FMinSize && FAutoSnap) newSize = 0;
  const bool line = FResizeStyle == rsLine || FResizeStyle == rsPattern;
  if (line) DrawLine();
  FNewSize = newSize;
  FSplit = split;
  if (FResizeStyle == rsUpdate) UpdateControlSize();
  if (line) DrawLine();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FControl) return;
  if (FLineVisible) DrawLine();
  UpdateControlSize();
  StopSizing();
}

void TSplitter::WMCancelMode(TMessage& Message) {
  // A drag cut short (the capture taken away, Escape) leaves the control as it was.
  if (FControl) {
    if (FLineVisible) DrawLine();
    StopSizing();
  }
  TGraphicControl::WMCancelMode(Message);
}

void TSplitter::UpdateControlSize() {
  if (FNewSize == FOldSize || !FControl) return;
  switch (Align()) {
    case alLeft: FControl->SetWidth(FNewSize); break;
    case alTop: FControl->SetHeight(FNewSize); break;
    case alRight:
      Parent()->DisableAlign();
      FControl->SetBounds(FControl->Left() + FControl->Width() - FNewSize, FControl->Top(), FNewSize,
                          FControl->Height());
      Parent()->EnableAlign();
      break;
    case alBottom:
      Parent()->DisableAlign();
      FControl->SetBounds(FControl->Left(), FControl->Top() + FControl->Height() - FNewSize, FControl->Width(),
                          FNewSize);
      Parent()->EnableAlign();
      break;
    default: break;
  }
  FOldSize = FNewSize;
  Update();
  Moved();
}

void TSplitter::Moved() {
  if (OnMoved) OnMoved(this);
}

void TSplitter::AllocateLineDC() {
  if (FBrush || FResizeStyle == rsNone || FResizeStyle == rsUpdate) return;
  if (FResizeStyle == rsPattern) {
    FBrush = controls::CreateCheckerBrush();
  } else {
    FBrush = CreateSolidBrush(RGB(255, 255, 255));
  }
}

void TSplitter::ReleaseLineDC() {
  if (FBrush) DeleteObject(FBrush);
  FBrush = nullptr;
}

void controls::InvertTree(TWinControl* Control, const TRect& R, HBRUSH Brush) {
  if (!Control->HandleAllocated() || !Control->Showing()) return;
  HDC dc = GetDCEx(Control->Handle(), nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  HGDIOBJ old = SelectObject(dc, Brush);
  PatBlt(dc, R.Left, R.Top, R.Width(), R.Height(), PATINVERT);
  SelectObject(dc, old);
  ReleaseDC(Control->Handle(), dc);
  const TPoint origin = Control->ClientOrigin();
  for (int i = 0; i < Control->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(Control->Controls(i));
    if (!child || !child->Visible()) continue;
    const TPoint o = child->ClientOrigin();
    TRect r = R;
    OffsetRect(&r, origin.X - o.X, origin.Y - o.Y);
    InvertTree(child, r, Brush);
  }
}

void TSplitter::DrawLine() {
  if (!FBrush || !Parent()) return;
  FLineVisible = !FLineVisible;
  TPoint p{Left(), Top()};
  if (Vertical()) p.X += FSplit;
  else p.Y += FSplit;
  controls::InvertTree(Parent(), Bounds(p.X, p.Y, Width(), Height()), FBrush);
}

void TSplitter::FocusKeyDown(TObject* Sender, WORD& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && FControl) {
    if (FLineVisible) DrawLine();
    StopSizing();
    Key = 0;
    return;
  }
  if (FOldKeyDown) FOldKeyDown(Sender, Key, Shift);
}

void TSplitter::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActiveControl) {
    FActiveControl = nullptr;
    FOldKeyDown = nullptr;
  }
  if (Operation == opRemove && AComponent == FControl) StopSizing();
}

void TSplitter::StopSizing() {
  if (FActiveControl) {
    FActiveControl->OnKeyDown = FOldKeyDown;
    FActiveControl->RemoveFreeNotification(this);
    FActiveControl = nullptr;
    FOldKeyDown = nullptr;
  }
  FControl = nullptr;
  FLineVisible = false;
  ReleaseLineDC();
}

static const classes::TPublished<TSplitter, TGraphicControl> SplitterInfo([](classes::TPublisher<TSplitter>& p) {
  p.Enum("Align", &TSplitter::Align, &TSplitter::SetAlign).Default(alLeft);
  p.Int("Width", &TSplitter::Width, &TSplitter::SetWidth);
  p.Int("Cursor", &TSplitter::Cursor, &TSplitter::SetCursor).Default(crHSplit).Idents(CursorIdents());
  p.Bool("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap).Default(true);
  p.Bool("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled).Default(false);
  p.Int("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize).Default(30);
  p.Enum("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle).Default(rsPattern);
  p.Event("OnCanResize", &TSplitter::OnCanResize);
  p.Event("OnMoved", &TSplitter::OnMoved);
  p.Event("OnPaint", &TSplitter::OnPaint);
});
