// Drag and drop of the shell tree and list: their data objects, drop targets, drags and drops.
#include <algorithm>

#include "controls/shell/FcShellCtrls.h"
#include "platform/os/Input.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/Kernel.h"

namespace {

constexpr int64_t kScrollEvery = 100;
constexpr int kScrollMarginX = 26;
constexpr int kScrollMarginY = 20;

TPoint ToClient(TWinControl* Control, POINTL Point) {
  return Control->ScreenToClient(TPoint{static_cast<int>(Point.x), static_cast<int>(Point.y)});
}

// The key state of a drop with the buttons that were down when the drag entered.
DWORD WithEnterButtons(DWORD KeyState, DWORD AtEnter) { return KeyState | (AtEnter & (MK_LBUTTON | MK_RBUTTON)); }

}  // namespace

// ---- data objects ----

TFcShellDataObject::TFcShellDataObject(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items,
                                       const std::vector<std::string>& Paths) {
  if (Items.empty()) return;
  FIdListBlock = BuildIdListArray(Parent, Items);
  if (FIdListBlock) {
    const CLIPFORMAT format = static_cast<CLIPFORMAT>(CF_SHELLIDLIST());
    FFormats.Add(&format, 1);
  }
  FDropBlock = BuildFileDropData(Paths);
  if (FDropBlock) {
    const CLIPFORMAT format = CF_HDROP;
    FFormats.Add(&format, 1);
  }
}

TFcShellDataObject::~TFcShellDataObject() {
  if (FIdListBlock) GlobalFree(FIdListBlock);
  if (FDropBlock) GlobalFree(FDropBlock);
}

bool TFcShellDataObject::QueryInterface(const TGUID& IID, void** Obj) {
  if (IID == IDataObject::IID || IID == IInterface::IID) {
    *Obj = static_cast<IDataObject*>(this);
    return true;
  }
  *Obj = nullptr;
  return false;
}

HRESULT TFcShellDataObject::GetData(FORMATETC* Format, STGMEDIUM* Medium) {
  if (!Format || !Medium) return E_POINTER;
  if (QueryGetData(Format) != S_OK) return DV_E_FORMATETC;
  HGLOBAL block = Format->cfFormat == CF_HDROP ? FDropBlock : FIdListBlock;
  HGLOBAL copy = CopyGlobalMemory(block);
  if (!copy) return E_OUTOFMEMORY;
  Medium->tymed = TYMED_HGLOBAL;
  Medium->hGlobal = copy;
  Medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT TFcShellDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
HRESULT TFcShellDataObject::QueryGetData(FORMATETC* Format) {
  return Format ? FFormats.QueryFormat(*Format) : E_POINTER;
}
HRESULT TFcShellDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out) {
  if (Out) Out->ptd = nullptr;
  return E_NOTIMPL;
}
HRESULT TFcShellDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }
HRESULT TFcShellDataObject::EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Formats) {
  if (Direction != DATADIR_GET) return E_NOTIMPL;
  Formats = std::make_shared<TFcFormatEtcList_IEnumFormatEtc>(&FFormats);
  return S_OK;
}
HRESULT TFcShellDataObject::DAdvise(FORMATETC*, DWORD, void*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT TFcShellDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT TFcShellDataObject::EnumDAdvise(void**) { return OLE_E_ADVISENOTSUPPORTED; }

namespace {

struct TNodeItems {
  shell::TIdListPtr Parent;
  std::vector<LPCITEMIDLIST> Items;
  std::vector<std::string> Paths;
};

TNodeItems NodeItems(TFcCustomShellTree* Tree, TTreeNode* Node) {
  TNodeItems out;
  TFcShellTreeData* data = Tree->NodeData(Node);
  if (!data) return out;
  TFcShellTreeData* parent = data->Parent();
  out.Parent.reset(parent ? ILClone(parent->AbsIdList()) : nullptr);
  out.Items.push_back(data->RelIdList());
  std::shared_ptr<IShellFolder> folder = data->ParentFolder();
  if (folder) out.Paths.push_back(ShellGetDisplayName(folder.get(), data->RelIdList(), 2));
  return out;
}

}  // namespace

TDataObject_shtv::TDataObject_shtv(TFcCustomShellTree* Tree, TTreeNode* Node)
    : TFcShellDataObject(NodeItems(Tree, Node).Parent.get(), NodeItems(Tree, Node).Items, NodeItems(Tree, Node).Paths) {}

namespace {

TNodeItems SelectionItems(TFcCustomShellList* List) {
  TNodeItems out;
  out.Parent.reset(List->ShownIdList() ? ILClone(List->ShownIdList()) : nullptr);
  for (TListItem* i = List->GetNextItem(nullptr, TSearchDirection::sdAll, {isSelected}); i;
       i = List->GetNextItem(i, TSearchDirection::sdAll, {isSelected}))
    if (TFcShellListData* data = List->ItemData(i)) {
      out.Items.push_back(data->RelIdList());
      out.Paths.push_back(data->PathName());
    }
  return out;
}

}  // namespace

TDataObject_shlv::TDataObject_shlv(TFcCustomShellList* List)
    : TFcShellDataObject(SelectionItems(List).Parent.get(), SelectionItems(List).Items, SelectionItems(List).Paths) {}

// ---- the tree ----

std::shared_ptr<IDropSource> TFcCustomShellTree::CreateDropSource(int Button) {
  return std::make_shared<TDropSource_shlvtv>(Button);
}

void TFcCustomShellTree::RegisterDropTarget(bool On) {
  if (!HandleAllocated()) return;
  if (On && !FRegisteredTarget) {
    FRegisteredTarget = std::make_shared<TDropTarget_shtv>(this);
    if (FAILED(RegisterDragDrop(Handle(), FRegisteredTarget))) FRegisteredTarget.reset();
  } else if (!On && FRegisteredTarget) {
    RevokeDragDrop(Handle());
    FRegisteredTarget.reset();
  }
}

DWORD TFcCustomShellTree::GetDragEffects() {
  TFcShellTreeData* data = NodeData(FDragNode);
  if (!data) return DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  std::shared_ptr<IShellFolder> parent = data->ParentFolder();
  LPCITEMIDLIST item = data->RelIdList();
  SFGAOF attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
  if (!parent || FAILED(parent->GetAttributesOf(1, &item, &attributes)))
    return DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  return ((attributes & SFGAO_CANCOPY) ? DROPEFFECT_COPY : 0) | ((attributes & SFGAO_CANMOVE) ? DROPEFFECT_MOVE : 0) |
         ((attributes & SFGAO_CANLINK) ? DROPEFFECT_LINK : 0);
}

void TFcCustomShellTree::DoOleDrag(int Button) {
  FPostponeRefresh = true;
  HRESULT result = DRAGDROP_S_CANCEL;
  try {
    auto data = std::make_shared<TDataObject_shtv>(this, FDragNode);
    DWORD effect = DROPEFFECT_NONE;
    result = DoDragDrop(data, CreateDropSource(Button), GetDragEffects(), &effect);
  } catch (...) {
    FPostponeRefresh = false;
    FRefreshPending = false;
    throw;
  }
  FPostponeRefresh = false;
  const bool refresh = result == DRAGDROP_S_DROP || FRefreshPending;
  FRefreshPending = false;
  if (refresh) RefreshNodes();
}

std::shared_ptr<IDropTarget> TFcCustomShellTree::NodeDropTarget(TTreeNode* Node) {
  TFcShellTreeData* data = NodeData(Node);
  if (!data || !Node->Parent()) return nullptr;
  std::shared_ptr<IInterface> object;
  if (FAILED(data->GetUIObject(GetTopFormHandle(this), IDropTarget::IID, object))) return nullptr;
  return std::dynamic_pointer_cast<IDropTarget>(object);
}

HRESULT TFcCustomShellTree::OleDragEnter(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) {
  FLastScroll = static_cast<int64_t>(GetTickCount());
  FDropData = Data;
  FDropKeyState = KeyState;
  const TPoint p = ToClient(this, Point);
  FHoverPos = p;
  FHoverTime = FLastScroll;
  TTreeNode* node = GetNodeAt(p.X, p.Y);
  std::shared_ptr<IDropTarget> target = NodeDropTarget(node);
  if (!target) {
    SetDropTarget(FDragNode);
    *Effect = DROPEFFECT_NONE;
    return S_OK;
  }
  SetDropTarget(node);
  target->DragEnter(Data, KeyState, Point, Effect);
  target->DragLeave();
  return S_OK;
}

HRESULT TFcCustomShellTree::OleDragOver(DWORD KeyState, POINTL Point, DWORD* Effect) {
  const TPoint p = ToClient(this, Point);
  TTreeNode* before = DropTarget();
  TTreeNode* node = GetNodeAt(p.X, p.Y);
  std::shared_ptr<IDropTarget> target = NodeDropTarget(node);
  if (target) {
    SetDropTarget(node);
    DWORD allowed = *Effect;
    target->DragEnter(FDropData, KeyState, Point, &allowed);
    allowed = *Effect;
    target->DragOver(KeyState, Point, &allowed);
    target->DragLeave();
    *Effect = allowed;
  } else {
    *Effect = DROPEFFECT_NONE;
    SetDropTarget(FDragNode);
  }
  DragAutoScroll(p);
  *Effect |= DROPEFFECT_SCROLL;
  if (DropTarget() != before) Update();
  return S_OK;
}

HRESULT TFcCustomShellTree::OleDragLeave() {
  FDropData = nullptr;
  SetDropTarget(nullptr);
  return S_OK;
}

HRESULT TFcCustomShellTree::OleDrop(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) {
  const TPoint p = ToClient(this, Point);
  std::shared_ptr<IDropTarget> target = NodeDropTarget(GetNodeAt(p.X, p.Y));
  HRESULT result = S_OK;
  if (target) {
    const DWORD keys = WithEnterButtons(KeyState, FDropKeyState);
    DWORD effect = *Effect;
    target->DragEnter(Data, keys, Point, &effect);
    effect = *Effect;
    target->DragOver(keys, Point, &effect);
    effect = *Effect & GetCommonDropEffects(Data);
    result = target->Drop(Data, keys, Point, &effect);
    *Effect = effect;
    SetDropTarget(nullptr);
    FDropData = nullptr;
    RefreshNodes();
  } else {
    *Effect = DROPEFFECT_NONE;
  }
  SetDropTarget(nullptr);
  FDropData = nullptr;
  return result;
}

void TFcCustomShellTree::DragAutoScroll(TPoint Point) {
  const int64_t now = static_cast<int64_t>(GetTickCount());
  if (now - FLastScroll >= kScrollEvery) {
    FLastScroll = now;
    const TRect client = ClientRect();
    auto scroll = [&](UINT Msg, WORD Code) {
      Perform(Msg, Code, 0);
      FHoverTime = now;
    };
    if (Point.X < kScrollMarginX) scroll(WM_HSCROLL, SB_LINELEFT);
    else if (Point.X > client.Right - kScrollMarginX) scroll(WM_HSCROLL, SB_LINERIGHT);
    if (Point.Y < kScrollMarginY) scroll(WM_VSCROLL, SB_LINEUP);
    else if (Point.Y > client.Bottom - kScrollMarginY) scroll(WM_VSCROLL, SB_LINEDOWN);
  }
  // Resting on a folder that was never filled opens it.
  const int w = ShellHoverWidth(), h = ShellHoverHeight();
  if (Point.X < FHoverPos.X - w / 2 || Point.X > FHoverPos.X + w || Point.Y < FHoverPos.Y - h / 2 ||
      Point.Y > FHoverPos.Y + h) {
    FHoverPos = Point;
    FHoverTime = now;
    return;
  }
  if (now - FHoverTime <= ShellHoverTime()) return;
  TTreeNode* node = GetNodeAt(FHoverPos.X, FHoverPos.Y);
  if (node && node->HasChildren() && node->Count() == 0) {
    try {
      node->Expand(false);
    } catch (const Exception&) {
      node->SetHasChildren(false);
    }
  }
  FHoverTime = now;
}

void TFcCustomShellTree::CNNotify(TMessage& Message) {
  auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
  if (hdr && (hdr->code == TVN_BEGINDRAG || hdr->code == TVN_BEGINRDRAG) && FOptions.Contains(stoOleDrag)) {
    auto* info = reinterpret_cast<NMTREEVIEW*>(hdr);
    FDragNode = TTreeNode::FromItemId(info->itemNew.hItem);
    SetDropTarget(FDragNode);
    try {
      if (NodeData(FDragNode) && FDragNode->Parent()) DoOleDrag(hdr->code == TVN_BEGINDRAG ? 0 : 1);
    } catch (...) {
      FDragNode = nullptr;
      SetDropTarget(nullptr);
      throw;
    }
    FDragNode = nullptr;
    SetDropTarget(nullptr);
    Message.Result = 0;
    return;
  }
  if (hdr && hdr->code == NM_CLICK) FSelectAtOnce = true;
  TFcCustomTreeView::CNNotify(Message);
}

// ---- the list ----

std::shared_ptr<IDropSource> TFcCustomShellList::CreateDropSource(int Button) {
  return std::make_shared<TDropSource_shlvtv>(Button);
}

void TFcCustomShellList::RegisterDropTarget(bool On) {
  if (!HandleAllocated()) return;
  if (On && !FRegisteredTarget) {
    FRegisteredTarget = std::make_shared<TDropTarget_shlv>(this);
    if (FAILED(RegisterDragDrop(Handle(), FRegisteredTarget))) FRegisteredTarget.reset();
  } else if (!On && FRegisteredTarget) {
    RevokeDragDrop(Handle());
    FRegisteredTarget.reset();
  }
}

DWORD TFcCustomShellList::GetDragEffects() {
  std::vector<LPCITEMIDLIST> items = SelectedRelIdLists();
  if (items.empty() || !FShown) return DROPEFFECT_NONE;
  SFGAOF attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
  if (FAILED(FShown->Folder->GetAttributesOf(static_cast<UINT>(items.size()), items.data(), &attributes)))
    return DROPEFFECT_NONE;
  return ((attributes & SFGAO_CANCOPY) ? DROPEFFECT_COPY : 0) | ((attributes & SFGAO_CANMOVE) ? DROPEFFECT_MOVE : 0) |
         ((attributes & SFGAO_CANLINK) ? DROPEFFECT_LINK : 0);
}

void TFcCustomShellList::DoOleDrag(int Button) {
  FPostponeRefresh = true;
  FSkipRightButtonUp = true;
  FDragButton = Button;
  HRESULT result = DRAGDROP_S_CANCEL;
  try {
    auto data = std::make_shared<TDataObject_shlv>(this);
    DWORD effect = DROPEFFECT_NONE;
    result = DoDragDrop(data, CreateDropSource(Button), GetDragEffects(), &effect);
  } catch (...) {
    FPostponeRefresh = false;
    FRefreshPending = false;
    FDragButton = -1;
    throw;
  }
  FPostponeRefresh = false;
  FDragButton = -1;
  const bool refresh = result == DRAGDROP_S_DROP || FRefreshPending;
  FRefreshPending = false;
  if (refresh) RefreshList();
}

std::shared_ptr<IDropTarget> TFcCustomShellList::TargetAt(TPoint Client, TListItem*& Item) {
  Item = GetItemAt(Client.X, Client.Y);
  std::shared_ptr<IInterface> object;
  if (TFcShellListData* data = ItemData(Item)) {
    LPCITEMIDLIST rel = data->RelIdList();
    if (SUCCEEDED(FShown->Folder->GetUIObjectOf(GetTopFormHandle(this), 1, &rel, IDropTarget::IID, nullptr, object)))
      if (auto target = std::dynamic_pointer_cast<IDropTarget>(object)) return target;
  }
  Item = nullptr;
  if (SUCCEEDED(GetItemUIObject(GetTopFormHandle(this), ShownIdList(), IDropTarget::IID, object)))
    return std::dynamic_pointer_cast<IDropTarget>(object);
  return nullptr;
}

HRESULT TFcCustomShellList::OleDragEnter(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) {
  FLastScroll = static_cast<int64_t>(GetTickCount());
  FDropData = Data;
  FDropKeyState = KeyState;
  return OleDragOver(KeyState, Point, Effect);
}

HRESULT TFcCustomShellList::OleDragOver(DWORD KeyState, POINTL Point, DWORD* Effect) {
  const TPoint p = ToClient(this, Point);
  TListItem* item = nullptr;
  TListItem* hit = GetItemAt(p.X, p.Y);
  std::shared_ptr<IDropTarget> target;
  if (hit && !ItemData(hit)) {
    *Effect = DROPEFFECT_COPY;
  } else if (!hit && FPostponeRefresh) {
    // Over empty space of the list's own drag: the right button copies, the left does nothing.
    *Effect = FDragButton == 1 ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  } else {
    target = TargetAt(p, item);
    if (target) {
      DWORD allowed = *Effect;
      target->DragEnter(FDropData, KeyState, Point, &allowed);
      allowed = *Effect;
      target->DragOver(KeyState, Point, &allowed);
      target->DragLeave();
      *Effect = allowed;
    } else {
      *Effect = DROPEFFECT_NONE;
    }
  }
  TListItem* highlight = (*Effect & ~DROPEFFECT_SCROLL) != DROPEFFECT_NONE ? item : nullptr;
  if (highlight != FDropItem) {
    if (FDropItem) FDropItem->SetDropTarget(false);
    FDropItem = highlight;
    if (FDropItem) FDropItem->SetDropTarget(true);
    Update();
  }
  const int64_t now = static_cast<int64_t>(GetTickCount());
  if (now - FLastScroll >= kScrollEvery) {
    FLastScroll = now;
    const TRect client = ClientRect();
    if (p.X < kScrollMarginX) Scroll(-8, 0);
    else if (p.X > client.Right - kScrollMarginX) Scroll(8, 0);
    if (p.Y < kScrollMarginY) Scroll(0, -8);
    else if (p.Y > client.Bottom - kScrollMarginY) Scroll(0, 8);
  }
  *Effect |= DROPEFFECT_SCROLL;
  return S_OK;
}

HRESULT TFcCustomShellList::OleDragLeave() {
  FDropData = nullptr;
  if (FDropItem) FDropItem->SetDropTarget(false);
  FDropItem = nullptr;
  return S_OK;
}

HRESULT TFcCustomShellList::OleDrop(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) {
  const TPoint p = ToClient(this, Point);
  TListItem* item = nullptr;
  TListItem* hit = GetItemAt(p.X, p.Y);
  std::shared_ptr<IDropTarget> target;
  DWORD limit = *Effect;
  if (!hit && FPostponeRefresh) {
    // The list's own items onto its empty space: only a right-button drag, and never a move.
    if (FDragButton == 1) {
      target = TargetAt(TPoint{-1, -1}, item);
      limit &= ~DROPEFFECT_MOVE;
    }
  } else {
    target = TargetAt(p, item);
  }
  HRESULT result = S_OK;
  if (target) {
    const DWORD keys = WithEnterButtons(KeyState, FDropKeyState);
    DWORD effect = limit;
    target->DragEnter(Data, keys, Point, &effect);
    effect = limit;
    target->DragOver(keys, Point, &effect);
    effect = limit & GetCommonDropEffects(Data);
    result = target->Drop(Data, keys, Point, &effect);
    *Effect = effect;
    RefreshList();
  } else {
    *Effect = DROPEFFECT_NONE;
  }
  OleDragLeave();
  return result;
}
