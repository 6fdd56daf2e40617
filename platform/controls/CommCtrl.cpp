#include "platform/controls/CommCtrl.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/graphics/ImageLists.h"
#include "platform/graphics/ImgList.h"
#include "platform/os/Cursors.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Kernel.h"
#include "platform/rtl/Strings.h"
#include "platform/os/Painting.h"
#include "platform/os/WindowDC.h"
#include "platform/os/SystemMetrics.h"

const classes::TEnumInfo& EnumInfo(TSortType) {
  static const classes::TEnumInfo info{"TSortType", {"stNone", "stData", "stText", "stBoth"}};
  return info;
}

namespace controls {

namespace {

// How near a divider (pixels on either side) a press starts sizing the column left of it.
constexpr int kDividerGrip = 4;

// The state of one header window, kept behind its user data slot.
struct THeader {
  HWND Wnd = nullptr;
  std::vector<HDITEM> Items;
  HFONT Font = nullptr;
  HIMAGELIST Images = nullptr;
  int Pressed = -1;       // the item held down by the left button
  bool PressedInside = false;
  int Tracking = -1;      // the item whose divider is dragged
  int TrackStartX = 0;
  int TrackStartWidth = 0;

  TRect ItemRect(int Index) const {
    TRect client;
    GetClientRect(Wnd, &client);
    int x = 0;
    for (int i = 0; i < Index; ++i) x += Items[i].cxy;
    return {x, 0, x + Items[Index].cxy, client.Bottom};
  }

  int HitTest(TPoint P, UINT& Flags) const {
    TRect client;
    GetClientRect(Wnd, &client);
    Flags = 0;
    if (P.X < 0) {
      Flags = HHT_TOLEFT;
      return -1;
    }
    int x = 0;
    // A divider is found first, also when it lies inside the next item's left edge.
    for (int i = 0; i < static_cast<int>(Items.size()); ++i) {
      x += Items[i].cxy;
      if (P.X >= x - kDividerGrip && P.X < x + kDividerGrip) {
        Flags = HHT_ONDIVIDER;
        return i;
      }
    }
    x = 0;
    for (int i = 0; i < static_cast<int>(Items.size()); ++i) {
      if (P.X >= x && P.X < x + Items[i].cxy) {
        Flags = HHT_ONHEADER;
        return i;
      }
      x += Items[i].cxy;
    }
    Flags = P.X >= x ? HHT_TORIGHT | HHT_NOWHERE : HHT_NOWHERE;
    return -1;
  }

  LRESULT Notify(UINT Code, int Item, HDITEM* Data = nullptr) {
    NMHEADER n;
    n.hdr.hwndFrom = Wnd;
    n.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongPtr(Wnd, GWLP_ID));
    n.hdr.code = Code;
    n.iItem = Item;
    n.pitem = Data;
    HWND parent = GetParent(Wnd);
    if (!parent) return 0;
    return SendMessage(parent, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
  }

  void SetWidth(int Index, int Width) {
    HDITEM changed = Items[Index];
    changed.mask = HDI_WIDTH;
    changed.cxy = Width;
    if (Notify(HDN_ITEMCHANGING, Index, &changed) != 0) return;
    Items[Index].cxy = Width;
    InvalidateRect(Wnd, nullptr, TRUE);
    Notify(HDN_ITEMCHANGED, Index, &changed);
  }

  void Paint(HDC DC) {
    TRect client;
    GetClientRect(Wnd, &client);
    FillRect(DC, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = SelectObject(DC, Font ? static_cast<HGDIOBJ>(Font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(DC, TRANSPARENT);
    int right = 0;
    for (int i = 0; i < static_cast<int>(Items.size()); ++i) {
      TRect r = ItemRect(i);
      right = r.Right;
      const HDITEM& item = Items[i];
      const bool pressed = Pressed == i && PressedInside;
      if (item.fmt & HDF_OWNERDRAW) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_HEADER;
        dis.CtlID = static_cast<UINT>(GetWindowLongPtr(Wnd, GWLP_ID));
        dis.itemID = static_cast<UINT>(i);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = pressed ? ODS_SELECTED : 0;
        dis.hwndItem = Wnd;
        dis.hDC = DC;
        dis.rcItem = r;
        dis.itemData = static_cast<UINT_PTR>(item.lParam);
        const int saved = SaveDC(DC);
        if (HWND parent = GetParent(Wnd)) SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        RestoreDC(DC, saved);
        TRect edge = r;
        DrawEdge(DC, &edge, pressed ? UINT(BDR_SUNKENOUTER) : UINT(EDGE_RAISED), BF_RECT | (pressed ? UINT(BF_FLAT) : 0u));
        continue;
      }
      TRect edge = r;
      if (pressed) DrawEdge(DC, &edge, BDR_SUNKENOUTER, BF_RECT | BF_FLAT);
      else DrawEdge(DC, &edge, EDGE_RAISED, BF_RECT);
      TRect text{r.Left + 6, r.Top + 2, r.Right - 6, r.Bottom - 2};
      if (pressed) text = {text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1};
      const bool sorted = (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
      if (sorted) {
        // The arrow sits at the right end; the title gives way to it.
        const int size = 8;
        TRect arrow{text.Right - size, (r.Top + r.Bottom) / 2 - 2, text.Right, (r.Top + r.Bottom) / 2 + 3};
        if (arrow.Left > text.Left + 4) {
          DrawSortTriangle(DC, arrow, (item.fmt & HDF_SORTUP) != 0, GetSysColor(COLOR_BTNSHADOW));
          text.Right = arrow.Left - 4;
        }
      }
      if ((item.fmt & HDF_IMAGE) && Images && item.iImage >= 0) {
        int w = 0, h = 0;
        ImageList_GetIconSize(Images, &w, &h);
        ImageList_Draw(Images, item.iImage, DC, text.Left, (r.Top + r.Bottom - h) / 2, ILD_TRANSPARENT);
        text.Left += w + 4;
      }
      if (text.Right > text.Left) {
        UINT align = DT_LEFT;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
        else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
        SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
        DrawText(DC, item.pszText, &text, align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
      }
    }
    // The space right of the last item is an empty, raised section.
    if (right < client.Right) {
      TRect rest{right, 0, client.Right, client.Bottom};
      DrawEdge(DC, &rest, EDGE_RAISED, BF_RECT);
    }
    SelectObject(DC, oldFont);
  }

  int Height() {
    HDC dc = GetDC(Wnd);
    HGDIOBJ old = SelectObject(dc, Font ? static_cast<HGDIOBJ>(Font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(Wnd, dc);
    return tm.tmHeight + 7;
  }

  LRESULT Proc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
      case WM_SETFONT:
        Font = reinterpret_cast<HFONT>(WParam);
        if (LParam) InvalidateRect(Wnd, nullptr, TRUE);
        return 0;
      case WM_GETFONT:
        return reinterpret_cast<LRESULT>(Font);
      case HDM_GETITEMCOUNT:
        return static_cast<LRESULT>(Items.size());
      case HDM_INSERTITEM: {
        const auto* in = reinterpret_cast<const HDITEM*>(LParam);
        if (!in) return -1;
        HDITEM item;
        if (in->mask & HDI_WIDTH) item.cxy = in->cxy;
        if (in->mask & HDI_TEXT) item.pszText = in->pszText;
        item.fmt = (in->mask & HDI_FORMAT) ? in->fmt : HDF_STRING;
        if (in->mask & HDI_LPARAM) item.lParam = in->lParam;
        if (in->mask & HDI_IMAGE) item.iImage = in->iImage;
        const int at = std::clamp(static_cast<int>(WParam), 0, static_cast<int>(Items.size()));
        item.iOrder = at;
        Items.insert(Items.begin() + at, item);
        InvalidateRect(Wnd, nullptr, TRUE);
        return at;
      }
      case HDM_DELETEITEM:
        if (WParam >= Items.size()) return FALSE;
        Items.erase(Items.begin() + static_cast<ptrdiff_t>(WParam));
        if (Pressed >= static_cast<int>(Items.size())) Pressed = -1;
        if (Tracking >= static_cast<int>(Items.size())) Tracking = -1;
        InvalidateRect(Wnd, nullptr, TRUE);
        return TRUE;
      case HDM_GETITEM: {
        auto* out = reinterpret_cast<HDITEM*>(LParam);
        if (!out || WParam >= Items.size()) return FALSE;
        const HDITEM& item = Items[WParam];
        if (out->mask & HDI_WIDTH) out->cxy = item.cxy;
        if (out->mask & HDI_TEXT) out->pszText = item.pszText;
        if (out->mask & HDI_FORMAT) out->fmt = item.fmt;
        if (out->mask & HDI_LPARAM) out->lParam = item.lParam;
        if (out->mask & HDI_IMAGE) out->iImage = item.iImage;
        if (out->mask & HDI_ORDER) out->iOrder = static_cast<int>(WParam);
        return TRUE;
      }
      case HDM_SETITEM: {
        const auto* in = reinterpret_cast<const HDITEM*>(LParam);
        if (!in || WParam >= Items.size()) return FALSE;
        HDITEM changed = *in;
        const int index = static_cast<int>(WParam);
        if (Notify(HDN_ITEMCHANGING, index, &changed) != 0) return FALSE;
        HDITEM& item = Items[WParam];
        if (in->mask & HDI_WIDTH) item.cxy = std::max(0, in->cxy);
        if (in->mask & HDI_TEXT) item.pszText = in->pszText;
        if (in->mask & HDI_FORMAT) item.fmt = in->fmt;
        if (in->mask & HDI_LPARAM) item.lParam = in->lParam;
        if (in->mask & HDI_IMAGE) item.iImage = in->iImage;
        InvalidateRect(Wnd, nullptr, TRUE);
        Notify(HDN_ITEMCHANGED, index, &changed);
        return TRUE;
      }
      case HDM_LAYOUT: {
        auto* layout = reinterpret_cast<HDLAYOUT*>(LParam);
        if (!layout || !layout->prc) return FALSE;
        const int h = (GetWindowLongPtr(Wnd, GWL_STYLE) & WS_VISIBLE) ? Height() : 0;
        if (layout->pwpos) {
          layout->pwpos->hwnd = Wnd;
          layout->pwpos->x = layout->prc->Left;
          layout->pwpos->y = layout->prc->Top;
          layout->pwpos->cx = layout->prc->Width();
          layout->pwpos->cy = h;
          layout->pwpos->flags = 0;
        }
        layout->prc->Top += h;
        return TRUE;
      }
      case HDM_HITTEST: {
        auto* info = reinterpret_cast<HDHITTESTINFO*>(LParam);
        if (!info) return -1;
        info->iItem = HitTest(info->pt, info->flags);
        return info->iItem;
      }
      case HDM_GETITEMRECT: {
        auto* r = reinterpret_cast<TRect*>(LParam);
        if (!r || WParam >= Items.size()) return FALSE;
        *r = ItemRect(static_cast<int>(WParam));
        return TRUE;
      }
      case HDM_SETIMAGELIST: {
        HIMAGELIST old = Images;
        Images = reinterpret_cast<HIMAGELIST>(LParam);
        return reinterpret_cast<LRESULT>(old);
      }
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = WParam ? reinterpret_cast<HDC>(WParam) : BeginPaint(Wnd, &ps);
        Paint(dc);
        if (!WParam) EndPaint(Wnd, &ps);
        return 0;
      }
      case WM_ERASEBKGND:
        return 1;
      case WM_SETCURSOR: {
        TPoint p;
        GetCursorPos(&p);
        ScreenToClient(Wnd, &p);
        UINT flags = 0;
        HitTest(p, flags);
        if (LOWORD(LParam) == HTCLIENT && (flags & HHT_ONDIVIDER)) {
          SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
          return TRUE;
        }
        break;
      }
      case WM_LBUTTONDBLCLK:
      case WM_LBUTTONDOWN: {
        const TPoint p = LParamToPoint(LParam);
        UINT flags = 0;
        const int hit = HitTest(p, flags);
        if (hit < 0) return 0;
        if (Msg == WM_LBUTTONDBLCLK) {
          if (flags & HHT_ONDIVIDER) {
            Notify(HDN_DIVIDERDBLCLICK, hit);
            return 0;
          }
          // A quick second click on a title is still a click (a sort order flips twice).
          Notify(HDN_ITEMDBLCLICK, hit);
        }
        if (flags & HHT_ONDIVIDER) {
          if (Notify(HDN_BEGINTRACK, hit, &Items[hit]) != 0) return 0;
          Tracking = hit;
          TrackStartX = p.X;
          TrackStartWidth = Items[hit].cxy;
        } else {
          Pressed = hit;
          PressedInside = true;
          InvalidateRect(Wnd, nullptr, TRUE);
        }
        SetCapture(Wnd);
        return 0;
      }
      case WM_MOUSEMOVE: {
        const TPoint p = LParamToPoint(LParam);
        if (Tracking >= 0) {
          HDITEM moved = Items[Tracking];
          moved.mask = HDI_WIDTH;
          moved.cxy = std::max(0, TrackStartWidth + p.X - TrackStartX);
          if (Notify(HDN_TRACK, Tracking, &moved) == 0 && moved.cxy != Items[Tracking].cxy) SetWidth(Tracking, moved.cxy);
        } else if (Pressed >= 0) {
          const bool inside = ItemRect(Pressed).Contains(p);
          if (inside != PressedInside) {
            PressedInside = inside;
            InvalidateRect(Wnd, nullptr, TRUE);
          }
        }
        return 0;
      }
      case WM_LBUTTONUP:
      case WM_CANCELMODE:
      case WM_CAPTURECHANGED: {
        const int tracking = Tracking;
        const int pressed = PressedInside ? Pressed : -1;
        Tracking = -1;
        Pressed = -1;
        PressedInside = false;
        if (Msg != WM_CAPTURECHANGED && GetCapture() == Wnd) ReleaseCapture();
        InvalidateRect(Wnd, nullptr, TRUE);
        if (Msg == WM_LBUTTONUP) {
          if (tracking >= 0) Notify(HDN_ENDTRACK, tracking, &Items[tracking]);
          else if (pressed >= 0 && pressed < static_cast<int>(Items.size())) Notify(HDN_ITEMCLICK, pressed);
        }
        return 0;
      }
      default:
        break;
    }
    return DefWindowProc(Wnd, Msg, WParam, LParam);
  }
};

THeader* HeaderOf(HWND Wnd) { return reinterpret_cast<THeader*>(GetWindowLongPtr(Wnd, GWLP_USERDATA)); }

LRESULT HeaderProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCCREATE) {
    auto* h = new THeader;
    h->Wnd = Wnd;
    SetWindowLongPtr(Wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(h));
    return TRUE;
  }
  THeader* h = HeaderOf(Wnd);
  if (!h) return DefWindowProc(Wnd, Msg, WParam, LParam);
  if (Msg == WM_NCDESTROY) {
    SetWindowLongPtr(Wnd, GWLP_USERDATA, 0);
    delete h;
    return DefWindowProc(Wnd, Msg, WParam, LParam);
  }
  return h->Proc(Msg, WParam, LParam);
}

}  // namespace

bool LinkImageList(TComponent* Owner, TCustomImageList*& Field, TCustomImageList* Value, TChangeLink* Link) {
  if (Field == Value) return false;
  if (Field) {
    Field->UnRegisterChanges(Link);
    Field->RemoveFreeNotification(Owner);
  }
  Field = Value;
  if (Field) {
    Field->RegisterChanges(Link);
    Field->FreeNotification(Owner);
  }
  return true;
}

bool TTypeAhead::Type(char32_t Ch) {
  if (Ch <= 0x20 || Ch == 0x7F) return false;
  const DWORD now = GetTickCount();
  if (now - FTime > 1000) FPrefix.clear();
  FTime = now;
  std::string typed;
  rtl::AppendUtf8(typed, Ch);
  const bool repeat = FPrefix == typed;
  if (!repeat) FPrefix += typed;
  FFromNext = FPrefix.size() == typed.size() || repeat;
  return true;
}

int TTypeAhead::Find(int Current, int Count, const std::function<std::string(int)>& TextOf) const {
  const int start = FFromNext ? Current + 1 : std::max(Current, 0);
  for (int k = 0; k < Count; ++k) {
    const int i = (start + k) % Count;
    const std::string text = TextOf(i);
    if (text.size() >= FPrefix.size() && AnsiCompareText(text.substr(0, FPrefix.size()), FPrefix) == 0) return i;
  }
  return -1;
}

int WheelLines(int WheelDelta, int Page) {
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const int step = lines == static_cast<UINT>(-1) ? std::max(Page, 1) : static_cast<int>(lines);
  return -(WheelDelta / WHEEL_DELTA) * step;
}

bool FireWheelEvent(const TMouseWheelUpDownEvent& Event, TObject* Sender, TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (Event) Event(Sender, Shift, MousePos, handled);
  return handled;
}

const char* HeaderClass() {
  static const bool registered = [] {
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MakeWndProc(HeaderProc);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = WC_HEADER;
    RegisterClass(wc);
    return true;
  }();
  (void)registered;
  return WC_HEADER;
}

LRESULT NotifySelf(HWND Wnd, NMHDR& Header, UINT Code) {
  Header.hwndFrom = Wnd;
  Header.idFrom = static_cast<UINT_PTR>(GetWindowLongPtr(Wnd, GWLP_ID));
  Header.code = Code;
  return SendMessage(Wnd, CN_NOTIFY, Header.idFrom, reinterpret_cast<LPARAM>(&Header));
}

void DottedHLine(HDC DC, int X1, int X2, int Y, COLORREF Color) {
  for (int x = X1; x < X2; ++x)
    if (((x + Y) & 1) == 0) SetPixel(DC, x, Y, Color);
}

void DottedVLine(HDC DC, int X, int Y1, int Y2, COLORREF Color) {
  for (int y = Y1; y < Y2; ++y)
    if (((X + y) & 1) == 0) SetPixel(DC, X, y, Color);
}

void DrawSortTriangle(HDC DC, const TRect& R, bool Up, COLORREF Color) {
  const int w = std::min(R.Width(), 2 * R.Height() - 1) | 1;
  const int h = (w + 1) / 2;
  const int x = R.Left + (R.Width() - w) / 2;
  const int y = R.Top + (R.Height() - h) / 2;
  for (int row = 0; row < h; ++row) {
    const int half = Up ? row : h - 1 - row;
    const int cx = x + w / 2;
    for (int px = cx - half; px <= cx + half; ++px) SetPixel(DC, px, y + row, Color);
  }
}


// ---- TLabelEdit ----

TLabelEdit::TLabelEdit(TWinControl* Host) : TCustomEdit(Host), FHost(Host) {
  SetVisible(false);
  SetParentCtl3D(false);
  SetCtl3D(false);  // the thin border of WS_BORDER
  SetTabStop(false);
  SetAutoSize(false);
  SetAutoSelect(false);
  SetParent(Host);
}

void TLabelEdit::Load(const std::string& Text) {
  Font()->Assign(FHost->Font());
  HandleNeeded();
  SetText(Text);
  ClearUndo();
  SetModified(false);
}

void TLabelEdit::Open(const TRect& Label, bool Centred) {
  FLabel = Label;
  FCentred = Centred;
  FOpen = true;
  Fit();
  BringToFront();
  SetVisible(true);
  SelectAll();
  if (FHost->HandleAllocated() && IsWindowVisible(FHost->Handle()) && IsWindowEnabled(FHost->Handle()))
    ::SetFocus(Handle());
}

void TLabelEdit::Follow(const TRect& Label) {
  if (!FOpen || Label == FLabel) return;
  FLabel = Label;
  Fit();
}

void TLabelEdit::Close() {
  FOpen = false;
  if (HandleAllocated() && GetFocus() == Handle() && FHost->HandleAllocated()) ::SetFocus(FHost->Handle());
  SetVisible(false);
}

void TLabelEdit::DestroyWnd() {
  // The window goes with its host's (children first): the host ends the editing itself, so
  // the focus leaving now accepts nothing.
  FOpen = false;
  TCustomEdit::DestroyWnd();
}

void TLabelEdit::Done(bool Cancel) {
  if (!FOpen) return;
  Close();
  if (!OnDone) return;
  auto handler = OnDone;  // the host may replace its editor's handler while it finishes
  handler(Cancel);
}

void TLabelEdit::Fit() {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, Font()->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  TSize text{};
  GetTextExtentPoint32(dc, Text(), &text);
  DeleteDC(dc);
  const LRESULT margins = HandleAllocated() ? SendMessage(Handle(), EM_GETMARGINS, 0, 0) : 0;
  const int border = GetSystemMetrics(SM_CXBORDER);
  // Room for the text, the margins, the border and one more character for the caret.
  int width = text.cx + LOWORD(margins) + HIWORD(margins) + 2 * border + tm.tmAveCharWidth;
  width = std::max(width, FLabel.Width());
  const int height = std::max(FLabel.Height(), tm.tmHeight + 2 * border + 2);
  const int hostWidth = std::max(FHost->ClientWidth(), 1);
  int left = FLabel.Left;
  if (FCentred) {
    width = std::min(width, hostWidth);
    left = (FLabel.Left + FLabel.Right) / 2 - width / 2;
    left = std::clamp(left, 0, hostWidth - width);
  } else if (left + width > hostWidth) {
    width = std::max(hostWidth - left, std::min(width, FLabel.Width()));
  }
  const int top = FLabel.Top + (FLabel.Height() - height) / 2;
  SetBounds(left, top, width, height);
}

void TLabelEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      // The host stays its form's focused control while its editor has the focus.
      TCustomForm* form = GetParentForm(this);
      if (!form || form->SetFocusedControl(FHost)) Dispatch(Message);
      return;
    }
    case WM_KILLFOCUS:
      TCustomEdit::WndProc(Message);
      Done(false);
      return;
    case WM_GETDLGCODE:
      // Enter and Esc end the editing; they are no dialog keys of the form.
      TCustomEdit::WndProc(Message);
      Message.Result |= DLGC_WANTALLKEYS;
      return;
    default:
      TCustomEdit::WndProc(Message);
  }
}

void TLabelEdit::KeyDown(WORD& Key, TShiftState Shift) {
  if (FOpen && (Key == VK_RETURN || Key == VK_ESCAPE)) {
    const bool cancel = Key == VK_ESCAPE;
    Key = 0;
    Done(cancel);
    return;
  }
  TCustomEdit::KeyDown(Key, Shift);
}

void TLabelEdit::KeyPress(char32_t& Key) {
  if (Key == U'\r' || Key == 27) {
    Key = 0;
    return;
  }
  TCustomEdit::KeyPress(Key);
}

void TLabelEdit::Change() {
  if (FOpen) Fit();
  TCustomEdit::Change();
}

}  // namespace controls
