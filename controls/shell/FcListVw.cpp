#include "controls/shell/FcListVw.h"

#include <algorithm>

#include "platform/gdi/DC.h"
#include "platform/os/Input.h"
#include "platform/os/Messages.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Themes.h"

const classes::TEnumInfo& EnumInfo(TFcLVHeaderSortDisplayMode) {
  static const classes::TEnumInfo info{"TFcLVHeaderSortDisplayMode",
                                       {"hsdmNone", "hsdmLeftAlign", "hsdmRightOfText", "hsdmRightAlign"}};
  return info;
}

namespace {

// The square the sort arrow is drawn in, at the left of a text rectangle.
TRect ArrowBox(const TRect& Text) {
  const int s = (Text.Top + Text.Bottom) / 2 - 1;
  const int top = ((Text.Top + Text.Bottom) - s) / 2 - 1;
  return {Text.Left, top, Text.Left + s + 1, top + s};
}

// The box moved so that its right edge lies 5 pixels inside Right.
TRect ArrowBoxAtRight(TRect Box, int Right) {
  const int w = Box.Width();
  Box.Right = Right - 5;
  Box.Left = Box.Right - w;
  return Box;
}

void DrawSortArrow(TCanvas* Canvas, const TRect& Box, bool Descending) {
  const int h = (Box.Bottom - Box.Top) * 3 / 4;
  const int w = 2 * h - 1;
  const int x = Box.Left, y = Box.Bottom - h;
  Canvas->Pen()->SetColor(clBtnShadow);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(clBtnShadow);
  if (Descending) Canvas->Polygon({{x + w / 2, y + h - 1}, {x, y}, {x + w - 1, y}});
  else Canvas->Polygon({{x + w / 2, y}, {x, y + h - 1}, {x + w - 1, y + h - 1}});
}

}  // namespace

TFcCustomListView::TFcCustomListView(TComponent* AOwner)
    : TFcFramedView<TCustomListView>(AOwner), FHeaderCanvas(std::make_unique<TCanvas>()) {}

TFcCustomListView::~TFcCustomListView() = default;

// ---- frame and colours ----

void TFcCustomListView::RepaintFrame() {
  if (HasState(csLoading)) return;
  TFcFramedView<TCustomListView>::RepaintFrame();
}

void TFcCustomListView::FrameVisibleChanged() {
  if (!FSettingController) TFcFramedView<TCustomListView>::FrameVisibleChanged();
}

void TFcCustomListView::SetFrameController(TFcFrameController* Value) {
  FSettingController = true;
  try {
    TFcFramedView<TCustomListView>::SetFrameController(Value);
  } catch (...) {
    FSettingController = false;
    throw;
  }
  FSettingController = false;
}

void TFcCustomListView::SendBackgroundColors() {
  if (!HandleAllocated()) return;
  SendMessage(Handle(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  SendMessage(Handle(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

void TFcCustomListView::CMColorChanged(TMessage& Message) {
  TFcFramedView<TCustomListView>::CMColorChanged(Message);
  SendBackgroundColors();
}

void TFcCustomListView::CMParentColorChanged(TMessage& Message) {
  TFcFramedView<TCustomListView>::CMParentColorChanged(Message);
  if (ParentColor()) TakeNormalColor();
  if (FrameVisible()) RepaintFrame();
}

bool TFcCustomListView::IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) {
  if (!Enabled() && !HasState(csDesigning)) return true;
  return TFcFramedView<TCustomListView>::IsCustomDrawn(Target, Stage);
}

bool TFcCustomListView::CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage) {
  const bool result = TFcFramedView<TCustomListView>::CustomDrawItem(Item, State, Stage);
  if (!Enabled() && !HasState(csDesigning)) Canvas()->Brush()->SetColor(DisabledColor());
  return result;
}

// ---- window, bounds and the last column ----

void TFcCustomListView::CreateWnd() {
  TFcFramedView<TCustomListView>::CreateWnd();
  SendBackgroundColors();
  UpdateHeaderSortDisplay();
  PostMessage(Handle(), FCLV_UPDATEHEADER, 0, 0);
}

void TFcCustomListView::Loaded() {
  TFcFramedView<TCustomListView>::Loaded();
  if (FStretchLastColumn) {
    FLoadingColumns = true;
    ResizeLastColumn();
    FLoadingColumns = false;
  }
}

void TFcCustomListView::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool changed = ALeft != Left() || ATop != Top() || AWidth != Width() || AHeight != Height();
  TFcFramedView<TCustomListView>::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (changed && HeaderHandle()) ResizeLastColumn();
}

void TFcCustomListView::SetViewStyle(TViewStyle Value) {
  if (Value == ViewStyle()) return;
  TFcFramedView<TCustomListView>::SetViewStyle(Value);
  if (Value == vsReport) UpdateHeaderSortDisplay();
}

void TFcCustomListView::SetStretchLastColumn(bool Value) {
  if (FStretchLastColumn == Value) return;
  FStretchLastColumn = Value;
  ResizeLastColumn();
}

void TFcCustomListView::ResizeLastColumn() {
  const int count = Columns()->Count();
  if (!FStretchLastColumn || ViewStyle() != vsReport || HasState(csDestroying) || count == 0) return;
  Items()->BeginUpdate();
  try {
    int sum = 0;
    for (int c = 0; c + 1 < count; ++c) sum += Column(c)->Width();
    int available = ClientWidth();
    if (Items()->Count() == 0 || FLoadingColumns) available -= GetSystemMetrics(SM_CXVSCROLL);
    if (sum < available) {
      const int rest = available - sum;
      Column(count - 1)->SetWidth(rest <= 4 ? 5 : rest);
    }
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

// ---- the header and its sort arrow ----

void TFcCustomListView::SetHeaderSortDisplayMode(TFcLVHeaderSortDisplayMode Value) {
  if (FHeaderSortDisplayMode == Value) return;
  // The common controls run here are past 4.70, where owner-drawn sections are offered.
  FHeaderSortDisplayMode = Value;
  UpdateHeaderSortDisplay();
  if (HeaderHandle()) InvalidateRect(HeaderHandle(), nullptr, TRUE);
}

void TFcCustomListView::InvalidateHeaderSection(int Index) {
  if (!HeaderHandle() || Index < 0) return;
  TRect r;
  if (SendMessage(HeaderHandle(), HDM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r)))
    InvalidateRect(HeaderHandle(), &r, TRUE);
}

void TFcCustomListView::SetSortedColumn(int Value) {
  if (FSortedColumn == Value) return;
  InvalidateHeaderSection(FSortedColumn);
  InvalidateHeaderSection(Value);
  FSortedColumn = Value;
  if (HeaderHandle()) UpdateHeaderSortDisplay();
}

void TFcCustomListView::SetSortedDescending(bool Value) {
  if (FSortedDescending == Value) return;
  InvalidateHeaderSection(FSortedColumn);
  FSortedDescending = Value;
  if (HeaderHandle() && FSortedColumn >= 0) UpdateHeaderSortDisplay();
  if (HeaderHandle()) UpdateWindow(HeaderHandle());
}

void TFcCustomListView::UpdateHeaderSortDisplay() {
  if (!HandleAllocated() || ViewStyle() != vsReport || FHeaderUpdateLock > 0 || !HeaderHandle()) return;
  ++FHeaderUpdateLock;
  for (int c = Columns()->Count() - 1; c >= 0; --c) {
    HDITEM item;
    item.mask = HDI_FORMAT;
    SendMessage(HeaderHandle(), HDM_GETITEM, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
    const int justify = item.fmt & HDF_JUSTIFYMASK;
    if (FHeaderSortDisplayMode != hsdmNone) item.fmt = justify | HDF_OWNERDRAW;
    else item.fmt = HDF_STRING | justify | (Column(c)->ImageIndex() != -1 && SmallImages() ? HDF_IMAGE : 0);
    SendMessage(HeaderHandle(), HDM_SETITEM, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
  }
  --FHeaderUpdateLock;
  InvalidateRect(HeaderHandle(), nullptr, TRUE);
}

void TFcCustomListView::DrawHeaderSection(const DRAWITEMSTRUCT& Item) {
  const int saved = SaveDC(Item.hDC);
  FHeaderCanvas->SetHandle(Item.hDC);
  try {
    FHeaderCanvas->Font()->Assign(Font());
    FHeaderCanvas->Font()->SetColor(clBtnText);
    FHeaderCanvas->Brush()->SetColor(clBtnFace);
    TRect r = Item.rcItem;
    if (!ThemedLook()) {
      FHeaderCanvas->FillRect(r);
      InflateRect(&r, -2, -2);
    }
    DefaultDrawHeaderSection(FHeaderCanvas.get(), static_cast<int>(Item.itemID), r);
  } catch (...) {
    FHeaderCanvas->SetHandle(nullptr);
    RestoreDC(Item.hDC, saved);
    throw;
  }
  FHeaderCanvas->SetHandle(nullptr);
  RestoreDC(Item.hDC, saved);
}

void TFcCustomListView::DefaultDrawHeaderSection(TCanvas* Canvas, int Index, TRect Rect) {
  if (Index < 0 || Index >= Columns()->Count()) return;
  TListColumn* column = Column(Index);
  const bool themed = ThemedLook();
  TRect text{Rect.Left + 4, Rect.Top, Rect.Right - 4, Rect.Bottom};
  if (themed) InflateRect(&text, -2, 0);
  IntersectClipRect(Canvas->Handle(), Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  const bool sorted = Index == FSortedColumn;
  TRect box = ArrowBox(text);
  bool arrow = sorted && 2 * box.Width() < column->Width();
  bool textDrawn = false;

  // The caption: the column's image, then the text single-line with an end ellipsis.
  auto drawCaption = [&](TRect R) {
    if (column->ImageIndex() >= 0 && SmallImages()) {
      SmallImages()->Draw(Canvas, R.Left, R.Top, column->ImageIndex(), Enabled());
      R.Left += SmallImages()->Width() + 4;
    }
    TTextFormat format{tfSingleLine, tfVerticalCenter, tfEndEllipsis, tfNoPrefix};
    if (column->Alignment() == taRightJustify) format.Include(tfRight);
    else if (column->Alignment() == taCenter) format.Include(tfCenter);
    Canvas->Brush()->SetStyle(themed ? bsClear : bsSolid);
    Canvas->Brush()->SetColor(clBtnFace);
    std::string caption = column->Caption();
    Canvas->TextRect(R, caption, format);
  };

  switch (FHeaderSortDisplayMode) {
    case hsdmLeftAlign:
      if (sorted && column->Width() > 15) text.Left = box.Right + 5;
      else arrow = false;
      break;
    case hsdmRightOfText:
      if (column->Alignment() == taLeftJustify) {
        drawCaption(text);
        textDrawn = true;
        int left = text.Left;
        if (column->ImageIndex() >= 0 && SmallImages()) left += SmallImages()->Width() + 4;
        const int w = box.Width();
        box.Left = left + Canvas->TextWidth(column->Caption()) + 5;
        box.Right = box.Left + w;
      } else if (sorted) {
        box = ArrowBoxAtRight(box, text.Right);
        if (column->Alignment() == taRightJustify) {
          text.Right = box.Left - 5;
        } else {
          text.Left += box.Width() + 5;
          text.Right -= box.Width() + 5;
        }
      }
      break;
    case hsdmRightAlign:
      box = ArrowBoxAtRight(box, text.Right);
      if (sorted) text.Right = box.Left - 5;
      break;
    case hsdmNone: arrow = false; break;
  }
  if (!textDrawn) drawCaption(text);
  if (arrow) DrawSortArrow(Canvas, box, FSortedDescending);
}

void TFcCustomListView::HeaderNotify(TMessage& Message) {
  const auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
  if (hdr->code == HDN_ITEMCLICK && HeaderHandle()) InvalidateRect(HeaderHandle(), nullptr, TRUE);
  TFcFramedView<TCustomListView>::HeaderNotify(Message);
  switch (hdr->code) {
    case HDN_BEGINTRACK:
    case HDN_ENDTRACK:
    case HDN_ITEMCHANGED:
      UpdateHeaderSortDisplay();
      if (FrameVisible()) Invalidate();
      break;
    default: break;
  }
  if (hdr->code == HDN_ENDTRACK || hdr->code == HDN_DIVIDERDBLCLICK) ResizeLastColumn();
}

// ---- messages ----

void TFcCustomListView::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case FCLV_UPDATEHEADER:
      UpdateHeaderSortDisplay();
      return;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
      if (item && HeaderHandle() && item->hwndItem == HeaderHandle()) {
        DrawHeaderSection(*item);
        Message.Result = 1;
        return;
      }
      break;
    }
    default: break;
  }
  TFcFramedView<TCustomListView>::WndProc(Message);
}

void TFcCustomListView::CNNotify(TMessage& Message) {
  auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
  Message.Result = 0;
  if (!hdr) return;
  switch (hdr->code) {
    case LVN_GETINFOTIP: return;  // the platform's own info tip is not shown
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG: FDragStarted = true; break;
    case LVN_ITEMCHANGED: {
      TFcFramedView<TCustomListView>::CNNotify(Message);
      const auto* n = reinterpret_cast<const NMLISTVIEW*>(hdr);
      if (!Checkboxes() || !(n->uChanged & LVIF_STATE)) return;
      const UINT image = n->uNewState & LVIS_STATEIMAGEMASK;
      if ((n->uOldState & LVIS_STATEIMAGEMASK) == image) return;
      if (image == IndexToStateImageMask(2) || image == IndexToStateImageMask(1))
        DoItemChecked(Items()->Item(n->iItem));
      return;
    }
    case LVN_ITEMCHANGING: {
      TFcFramedView<TCustomListView>::CNNotify(Message);
      const auto* n = reinterpret_cast<const NMLISTVIEW*>(hdr);
      if (Message.Result != 0 || !Checkboxes() || !(n->uChanged & LVIF_STATE)) return;
      const UINT image = n->uNewState & LVIS_STATEIMAGEMASK;
      if ((n->uOldState & LVIS_STATEIMAGEMASK) == image) return;
      if (image == IndexToStateImageMask(2) || image == IndexToStateImageMask(1))
        if (!CanChangeItemCheck(Items()->Item(n->iItem), image == IndexToStateImageMask(2))) Message.Result = 1;
      return;
    }
    case NM_RCLICK: {
      TPoint pos;
      GetCursorPos(&pos);
      pos = ScreenToClient(pos);
      if (GetItemAt(pos.X, pos.Y)) FRightClicked = true;
      ShowContextMenuAt(pos);
      FRightClicked = false;
      break;
    }
    default: break;
  }
  TFcFramedView<TCustomListView>::CNNotify(Message);
}

void TFcCustomListView::DoItemChecked(TListItem* Item) {
  if (OnItemChecked) OnItemChecked(this, Item);
}

bool TFcCustomListView::CanChangeItemCheck(TListItem* Item, bool Checked) {
  bool allow = true;
  if (OnItemChecking) OnItemChecking(this, Item, allow, Checked);
  return allow;
}

// ---- context menus ----

void TFcCustomListView::PopupAt(TPopupMenu* Menu, TPoint ClientPos) {
  const TPoint screen = ClientToScreen(ClientPos);
  SendMessage(Handle(), WM_CANCELMODE, 0, 0);
  Menu->SetPopupComponent(this);
  Menu->Popup(screen.X, screen.Y);
}

void TFcCustomListView::GeneralPopup(TPoint Pos) {
  bool handled = false;
  DoContextPopup(Pos, handled);
  if (!handled && PopupMenu() && PopupMenu()->AutoPopup()) PopupAt(PopupMenu(), Pos);
  FMenuHandled = true;
}

void TFcCustomListView::ShowContextMenuAt(TPoint Pos) {
  if (FRightClicked) {
    ShowItemContextMenu(Pos);
    return;
  }
  TListItem* focused = ItemFocused();
  if (!focused) {
    GeneralPopup(Pos);
    return;
  }
  auto iconCentre = [](TListItem* Item) {
    const TRect r = Item->DisplayRect(drIcon);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  };
  if (focused->Selected()) ShowItemContextMenu(iconCentre(focused));
  else if (TListItem* selected = Selected()) ShowItemContextMenu(iconCentre(selected));
  else GeneralPopup(Pos);
}

void TFcCustomListView::DoItemContextMenu(TListItem* Item, TPoint Pos, TPopupMenu*& Menu) {
  if (OnItemContextMenu) OnItemContextMenu(this, Item, Pos, Menu);
}

void TFcCustomListView::ShowItemContextMenu(TPoint Pos) {
  TPopupMenu* menu = PopupMenu();
  DoItemContextMenu(ItemFocused(), Pos, menu);
  FMenuHandled = true;
  if (menu) PopupAt(menu, Pos);
}

void TFcCustomListView::KeyDown(WORD& Key, TShiftState Shift) {
  if ((Key == VK_APPS && Shift.Empty()) || (Key == VK_F10 && Shift == TShiftState{ssShift})) {
    Key = 0;
    ShowContextMenuAt(TPoint{0, 0});
  }
  TFcFramedView<TCustomListView>::KeyDown(Key, Shift);
}

void TFcCustomListView::WMContextMenu(TMessage& Message) {
  if (HasState(csDesigning) || FMenuHandled || !Selected() || !ItemFocused()) return;
  const auto x = static_cast<int16_t>(LOWORD(Message.LParam));
  const auto y = static_cast<int16_t>(HIWORD(Message.LParam));
  if (x == -1 && y == -1) ShowContextMenuAt(TPoint{0, 0});
  else ShowItemContextMenu(ScreenToClient(TPoint{x, y}));
}

void TFcCustomListView::WMRButtonUp(TMessage& Message) {
  TPopupMenu* menu = PopupMenu();
  if (!FMenuHandled || !menu) {
    TFcFramedView<TCustomListView>::WMRButtonUp(Message);
    FMenuHandled = false;
    return;
  }
  // The menu is detached for the default handling, so the platform does not open it again.
  SetPopupMenu(nullptr);
  try {
    TFcFramedView<TCustomListView>::WMRButtonUp(Message);
  } catch (...) {
    SetPopupMenu(menu);
    FMenuHandled = false;
    throw;
  }
  SetPopupMenu(menu);
  FMenuHandled = false;
}

// ---- the wheel ----

bool TFcCustomListView::WheelScroll(bool Down) {
  TCustomImageList* images = ViewStyle() == vsIcon ? LargeImages() : SmallImages();
  const int step = images ? images->Height() : Canvas()->TextHeight("Wg");
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const int dy = static_cast<int>(lines % 256) * step;
  Scroll(0, Down ? dy : -dy);
  return true;
}

bool TFcCustomListView::DoMouseWheelDown(TShiftState, TPoint) { return WheelScroll(true); }
bool TFcCustomListView::DoMouseWheelUp(TShiftState, TPoint) { return WheelScroll(false); }
