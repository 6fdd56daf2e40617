#include "controls/shell/FcTreeVw.h"

#include <string>

#include "platform/controls/StdCtrls.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/SystemMetrics.h"

namespace {

// One wheel step of the vertical bar; false when the content fits or the position stays.
bool ScrollStep(HWND Wnd, WORD Code) {
  SCROLLINFO info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(Wnd, SB_VERT, &info)) return false;
  if (info.nMax - info.nMin - static_cast<int>(info.nPage) <= 0) return false;
  SendMessage(Wnd, WM_VSCROLL, MAKEWPARAM(Code, 0), 0);
  SCROLLINFO after;
  after.fMask = SIF_POS;
  GetScrollInfo(Wnd, SB_VERT, &after);
  return after.nPos != info.nPos;
}

bool WheelScroll(TWinControl* Control, bool Down) {
  if (!Control->HandleAllocated()) return false;
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  if (static_cast<int>(lines) == -1) return ScrollStep(Control->Handle(), Down ? SB_PAGEDOWN : SB_PAGEUP);
  bool moved = false;
  for (UINT i = 0; i < lines % 256; ++i) moved = ScrollStep(Control->Handle(), Down ? SB_LINEDOWN : SB_LINEUP) || moved;
  return moved;
}

}  // namespace

TFcCustomTreeView::TFcCustomTreeView(TComponent* AOwner)
    : TFcFramedView<TCustomTreeView>(AOwner), FUnfocusedSelectionPen(std::make_unique<TPen>()) {
  FUnfocusedSelectionPen->SetColor(clBtnShadow);
  FUnfocusedSelectionPen->SetStyle(psSolid);
  FUnfocusedSelectionPen->OnChange = [this](TObject*) { Invalidate(); };
}

TFcCustomTreeView::~TFcCustomTreeView() { FUnfocusedSelectionPen->OnChange = nullptr; }

// ---- settings ----

void TFcCustomTreeView::SetItemHeight(int Value) {
  if (FItemHeight == Value) return;
  FItemHeight = Value;
  UpdateItemHeight();
}

void TFcCustomTreeView::UpdateItemHeight() {
  if (!HandleAllocated()) return;
  if (FItemHeight < 0) FItemHeight = 0;
  SendMessage(Handle(), TVM_SETITEMHEIGHT, FItemHeight == 0 ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(FItemHeight), 0);
}

void TFcCustomTreeView::SetAutoExpand(bool Value) {
  TCustomTreeView::SetAutoExpand(Value);
  if (AutoExpand()) FSelectOnExpand = false;
}

void TFcCustomTreeView::SetSelectOnExpand(bool Value) {
  if (FSelectOnExpand == Value) return;
  FSelectOnExpand = Value;
  if (Value) SetAutoExpand(false);
}

void TFcCustomTreeView::SetUnfocusedSelectionPen(TPen* Value) {
  FUnfocusedSelectionPen->Assign(Value);
  Invalidate();
}

void TFcCustomTreeView::Loaded() {
  TFcFramedView<TCustomTreeView>::Loaded();
  UpdateItemHeight();
}

void TFcCustomTreeView::CreateWnd() {
  TFcFramedView<TCustomTreeView>::CreateWnd();
  UpdateItemHeight();
}

void TFcCustomTreeView::Collapse(TTreeNode* Node) {
  if (FSelectOnExpand) SetSelected(Node);
  TFcFramedView<TCustomTreeView>::Collapse(Node);
}

void TFcCustomTreeView::Expand(TTreeNode* Node) {
  TFcFramedView<TCustomTreeView>::Expand(Node);
  if (FSelectOnExpand) SetSelected(Node);
}

bool TFcCustomTreeView::DoMouseWheelDown(TShiftState, TPoint) {
  WheelScroll(this, true);
  return true;
}

bool TFcCustomTreeView::DoMouseWheelUp(TShiftState, TPoint) {
  WheelScroll(this, false);
  return true;
}

// ---- the unfocused outline ----

TTreeNode* TFcCustomTreeView::GetCurrentNode() {
  if (!HandleAllocated()) return nullptr;
  if (RightClickSelect() && FRightClickNode) return FRightClickNode;
  return Selected();
}

void TFcCustomTreeView::WMPaint(TMessage& Message) {
  TFcFramedView<TCustomTreeView>::WMPaint(Message);
  PaintUnfocusedOutline();
}

void TFcCustomTreeView::PaintUnfocusedOutline() {
  if (HideSelection() || HasFocusNow() || !HandleAllocated()) return;
  TCustomEdit* editor = EditControl();
  if (editor && editor->HandleAllocated() && GetFocus() == editor->Handle()) return;
  TTreeNode* node = GetCurrentNode();
  if (!node) return;
  const TRect text = node->DisplayRect(true);
  if (IsRectEmpty(&text)) return;
  TControlCanvas canvas;
  canvas.SetControl(this);
  canvas.Pen()->Assign(FUnfocusedSelectionPen.get());
  canvas.Brush()->SetStyle(bsClear);
  canvas.Rectangle(text);
  canvas.Pen()->SetWidth(1);
  canvas.Pen()->SetStyle(psSolid);
  canvas.FreeHandle();
}

// ---- context menus ----

void TFcCustomTreeView::PopupAt(TPopupMenu* Menu, TPoint ClientPos) {
  const TPoint screen = ClientToScreen(ClientPos);
  SendMessage(Handle(), WM_CANCELMODE, 0, 0);
  Menu->SetPopupComponent(this);
  Menu->Popup(screen.X, screen.Y);
}

void TFcCustomTreeView::DoNodeContextMenu(TTreeNode* Node, TPoint Pos, TPopupMenu*& Menu) {
  if (OnNodeContextMenu) OnNodeContextMenu(this, Node, Pos, Menu);
}

void TFcCustomTreeView::ShowNodeContextMenu(TTreeNode* Node, TPoint Pos) {
  TPopupMenu* menu = PopupMenu();
  DoNodeContextMenu(Node, Pos, menu);
  if (menu != PopupMenu()) FMenuHandled = true;
  if (!menu) return;
  PopupAt(menu, Pos);
}

void TFcCustomTreeView::ShowKeyboardContextMenu() {
  if (TTreeNode* node = GetCurrentNode()) {
    const TRect r = node->DisplayRect(true);
    ShowNodeContextMenu(node, TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  } else if (PopupMenu()) {
    PopupAt(PopupMenu(), TPoint{0, 0});
  }
}

void TFcCustomTreeView::KeyDown(WORD& Key, TShiftState Shift) {
  if ((Key == VK_APPS && Shift.Empty()) || (Key == VK_F10 && Shift == TShiftState{ssShift})) {
    Key = 0;
    ShowKeyboardContextMenu();
  }
  TFcFramedView<TCustomTreeView>::KeyDown(Key, Shift);
}

void TFcCustomTreeView::CNNotify(TMessage& Message) {
  auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
  if (hdr && hdr->code == NM_RCLICK && !HasState(csDesigning)) {
    TPoint pos;
    GetCursorPos(&pos);
    pos = ScreenToClient(pos);
    FRightClickNode = GetNodeAt(pos.X, pos.Y);
    if (!FRightClickNode) FRightClickNode = Selected();
    if (FRightClickNode) {
      TPopupMenu* menu = PopupMenu();
      DoNodeContextMenu(FRightClickNode, pos, menu);
      if (menu) PopupAt(menu, pos);
      FRightClickNode = nullptr;
      FMenuHandled = true;
    }
  }
  TFcFramedView<TCustomTreeView>::CNNotify(Message);
}

void TFcCustomTreeView::WMRButtonUp(TMessage& Message) {
  TPopupMenu* menu = PopupMenu();
  if (!FMenuHandled || !menu) {
    TFcFramedView<TCustomTreeView>::WMRButtonUp(Message);
    FMenuHandled = false;
    return;
  }
  const bool autoPopup = menu->AutoPopup();
  menu->SetAutoPopup(false);
  try {
    TFcFramedView<TCustomTreeView>::WMRButtonUp(Message);
  } catch (...) {
    menu->SetAutoPopup(autoPopup);
    FMenuHandled = false;
    throw;
  }
  menu->SetAutoPopup(autoPopup);
  FMenuHandled = false;
}

void TFcCustomTreeView::WMContextMenu(TMessage& Message) {
  if (HasState(csDesigning) || GetCurrentNode() || FMenuHandled) return;
  const auto x = static_cast<int16_t>(LOWORD(Message.LParam));
  const auto y = static_cast<int16_t>(HIWORD(Message.LParam));
  if (x == -1 && y == -1) ShowKeyboardContextMenu();
  else ShowNodeContextMenu(nullptr, ScreenToClient(TPoint{x, y}));
}

// ---- nodes as text lines ----

void TFcCustomTreeView::LoadNodesFromStrings(TStrings* Strings) {
  TTreeNodes* nodes = Items();
  nodes->BeginUpdate();
  try {
    nodes->Clear();
    TTreeNode* previous = nullptr;
    for (int i = 0; i < Strings->Count(); ++i) {
      const std::string& line = Strings->Strings(i);
      const size_t tabs = line.find_first_not_of('\t');
      const int level = static_cast<int>(tabs == std::string::npos ? line.size() : tabs);
      const std::string text = line.substr(static_cast<size_t>(level));
      if (!previous) {
        previous = nodes->Add(nullptr, text);
        continue;
      }
      const int previousLevel = previous->Level();
      if (level == previousLevel) {
        previous = nodes->AddChild(previous->Parent(), text);
      } else if (level == previousLevel + 1) {
        previous = nodes->AddChild(previous, text);
      } else if (level < previousLevel) {
        TTreeNode* ancestor = previous;
        while (ancestor->Level() > level) ancestor = ancestor->Parent();
        previous = nodes->AddChild(ancestor->Parent(), text);
      } else {
        throw ETreeViewError("Invalid level (" + std::to_string(level) + ") for item \"" + text + "\"");
      }
    }
  } catch (...) {
    nodes->EndUpdate();
    Invalidate();
    throw;
  }
  nodes->EndUpdate();
}

void TFcCustomTreeView::SaveNodesToStrings(TStrings* Strings) {
  for (TTreeNode* node = Items()->GetFirstNode(); node; node = node->GetNext())
    Strings->Add(std::string(static_cast<size_t>(node->Level()), '\t') + node->Text());
}
