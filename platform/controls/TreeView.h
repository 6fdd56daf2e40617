#pragma once
// The tree view: TTreeNode (one node: text, images, data, children), TTreeNodes (the nodes of a
// tree: adding, inserting, clearing, the whole tree in order) and TCustomTreeView / TTreeView,
// the windowed control that shows the expanded part of the tree one row per node, with dotted
// lines, +/- buttons, images, selection, hot tracking, in-place label editing and the window's
// own scroll bars.
//
// The control answers the tree messages its descendants send (TVM_SETITEMHEIGHT,
// TVM_GETITEMHEIGHT, TVM_DELETEITEM) in its default handling, as the window class of the platform
// does, and reports to itself as CN_NOTIFY what that class reports to its parent: NM_CLICK
// before a click selects, NM_RCLICK on a right click (nonzero: handled, no context menu),
// TVN_GETDISPINFO for each node's images while painting, TVN_BEGINDRAG / TVN_BEGINRDRAG when a
// pressed node is dragged, TVN_BEGINLABELEDIT before a label is edited (nonzero refuses; the
// editor already holds the text, TVM_GETEDITCONTROL answers it) and TVN_ENDLABELEDIT when the
// editing ends (the new text with TVIF_TEXT in the mask, no TVIF_TEXT when it was cancelled).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/CommCtrl.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/ImgList.h"

class TCustomTreeView;
class TTreeNodes;
class TTreeNode;
class TCustomEdit;

// ---- the tree messages and notifications ----

using HTREEITEM = struct TTreeItemHandle*;
// TVM_DELETEITEM: every node.
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x10000));

constexpr UINT TV_FIRST = 0x1100;
// lParam the node's handle (TVI_ROOT: all nodes); TRUE when deleted.
constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
// The label editor's window while a label is being edited, else 0.
constexpr UINT TVM_GETEDITCONTROL = TV_FIRST + 15;
// wParam the row height in pixels, -1 for the default; the previous height.
constexpr UINT TVM_SETITEMHEIGHT = TV_FIRST + 27;
constexpr UINT TVM_GETITEMHEIGHT = TV_FIRST + 28;

constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_EDITLABELS = 0x0008;
constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
constexpr DWORD TVS_NOTOOLTIPS = 0x0080;
constexpr DWORD TVS_TRACKSELECT = 0x0200;
constexpr DWORD TVS_FULLROWSELECT = 0x1000;

constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;

struct TVITEM {
  UINT mask = 0;
  HTREEITEM hItem = nullptr;
  UINT state = 0;
  UINT stateMask = 0;
  std::string pszText;
  int iImage = 0;
  int iSelectedImage = 0;
  int cChildren = 0;
  LPARAM lParam = 0;
};

constexpr UINT TVN_FIRST = 0u - 400u;
constexpr UINT TVN_GETDISPINFO = TVN_FIRST - 3;
constexpr UINT TVN_BEGINDRAG = TVN_FIRST - 7;
constexpr UINT TVN_BEGINRDRAG = TVN_FIRST - 8;
constexpr UINT TVN_BEGINLABELEDIT = TVN_FIRST - 10;
constexpr UINT TVN_ENDLABELEDIT = TVN_FIRST - 11;

struct NMTREEVIEW {
  NMHDR hdr;
  UINT action = 0;
  TVITEM itemOld;
  TVITEM itemNew;
  TPoint ptDrag;
};
struct NMTVDISPINFO {
  NMHDR hdr;
  TVITEM item;
};

// ---- enumerations and events ----

enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };
enum THitTest {
  htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight, htOnStateIcon,
  htToLeft, htToRight
};
using THitTests = TSet<THitTest>;

using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, std::string& S)>;
using TTVCompareEvent = std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;
using TTVCustomDrawEvent = std::function<void(TCustomTreeView* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TTVCustomDrawItemEvent =
    std::function<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;
// A comparison for CustomSort: negative when Node1 comes first.
using TTVCompare = std::function<int(TTreeNode* Node1, TTreeNode* Node2, LPARAM Data)>;

// ---- TTreeNode ----

class TTreeNode : public TPersistent {
 public:
  explicit TTreeNode(TTreeNodes* AOwner);
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return FOwner; }
  TCustomTreeView* TreeView() const;
  // The handle the tree messages and notifications carry for this node.
  HTREEITEM ItemId() const { return reinterpret_cast<HTREEITEM>(const_cast<TTreeNode*>(this)); }
  static TTreeNode* FromItemId(HTREEITEM Item) { return reinterpret_cast<TTreeNode*>(Item); }

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  void* Data() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int Value);
  int StateIndex() const { return FStateIndex; }
  void SetStateIndex(int Value);
  int OverlayIndex() const { return FOverlayIndex; }
  void SetOverlayIndex(int Value);
  // Shows a button: set by hand (for children added later, on expanding) or by having children.
  bool HasChildren() const { return FHasChildren || !FChildren.empty(); }
  void SetHasChildren(bool Value);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value);
  void Expand(bool Recurse);
  void Collapse(bool Recurse);

  // nullptr for a root node.
  TTreeNode* Parent() const;
  int Level() const;
  // The place among its siblings.
  int Index() const;
  // The place in the whole tree (all nodes in order).
  int AbsoluteIndex() const;
  int Count() const { return static_cast<int>(FChildren.size()); }
  TTreeNode* Item(int Index) const;
  bool HasAsParent(TTreeNode* Value) const;
  bool IsVisible() const;

  TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front().get(); }
  TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back().get(); }
  // The next / previous node in tree order (children first).
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  TTreeNode* getNextSibling() const;
  TTreeNode* getPrevSibling() const;
  // The next / previous node shown when the tree's expanded parts are shown.
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;

  // Sorts the children (and theirs with Recurse) by text / by the function.
  bool AlphaSort(bool Recurse = false);
  bool CustomSort(const TTVCompare& SortProc, LPARAM Data, bool Recurse = false);
  void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);

  // Deletes the node with its children (the object goes away).
  void Delete();
  void DeleteChildren();
  // Expands the parents and scrolls the node into view.
  void MakeVisible();
  // The row of the node (TextOnly: its label) in client coordinates; empty when not shown.
  TRect DisplayRect(bool TextOnly) const;
  // Starts label editing; false when the tree refused.
  bool EditText();
  void EndEdit(bool Cancel);

  bool Focused() const { return FFocused; }
  void SetFocused(bool Value);
  bool Selected() const;
  void SetSelected(bool Value);
  bool DropTarget() const;
  void SetDropTarget(bool Value);
  // Drawn greyed, as a node on the clipboard to be moved.
  bool Cut() const { return FCut; }
  void SetCut(bool Value);

  void Assign(TPersistent* Source) override;

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void Changed();
  void SortChildren(const std::function<int(TTreeNode*, TTreeNode*)>& Compare, bool Recurse);

  TTreeNodes* FOwner;
  TTreeNode* FParent = nullptr;  // the hidden root holder for root nodes
  std::vector<std::unique_ptr<TTreeNode>> FChildren;
  std::string FText;
  void* FData = nullptr;
  int FImageIndex = 0;
  int FSelectedIndex = 0;
  int FStateIndex = -1;
  int FOverlayIndex = -1;
  bool FHasChildren = false;
  bool FExpanded = false;
  bool FFocused = false;
  bool FCut = false;
  bool FDeleting = false;
  int FTextWidth = -1;  // measured in the tree's font; -1 until measured
};

// ---- TTreeNodes ----

class TTreeNodes : public TPersistent {
 public:
  explicit TTreeNodes(TCustomTreeView* AOwner);
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return FOwner; }
  // All nodes of the tree.
  int Count() const { return FCount; }
  // The node at a place in the whole tree (all nodes in order).
  TTreeNode* Item(int Index) const;
  TTreeNode* GetFirstNode() const;

  // Sibling: a node whose level the new node joins (nullptr: a root node).
  TTreeNode* Add(TTreeNode* Sibling, const std::string& S) { return AddObject(Sibling, S, nullptr); }
  TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S) { return AddObjectFirst(Sibling, S, nullptr); }
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr);
  // Parent nullptr: a root node.
  TTreeNode* AddChild(TTreeNode* Parent, const std::string& S) { return AddChildObject(Parent, S, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S) { return AddChildObjectFirst(Parent, S, nullptr); }
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr);
  // Before Sibling (nullptr: the last root node).
  TTreeNode* Insert(TTreeNode* Sibling, const std::string& S) { return InsertObject(Sibling, S, nullptr); }
  TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
  void Delete(TTreeNode* Node);
  // Deletes every node (through TVM_DELETEITEM with TVI_ROOT).
  void Clear();

  // Changes between BeginUpdate and EndUpdate are shown once, at the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  bool AlphaSort(bool Recurse = false);
  bool CustomSort(const TTVCompare& SortProc, LPARAM Data, bool Recurse = false);

  void Assign(TPersistent* Source) override;

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InternalAdd(TTreeNode* Parent, int Index, const std::string& S, void* Ptr);
  TTreeNode* Root() const { return FRoot.get(); }
  // Frees the node and its children, telling the tree for each one (children first).
  void Remove(TTreeNode* Node);

  TCustomTreeView* FOwner;
  std::unique_ptr<TTreeNode> FRoot;  // holds the root nodes as its children
  int FCount = 0;
  int FUpdateCount = 0;
};

// ---- TCustomTreeView ----

class TCustomTreeView : public TWinControl {
 public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return FTreeNodes.get(); }
  void SetItems(TTreeNodes* Value) { FTreeNodes->Assign(Value); }
  TCanvas* Canvas() const { return FCanvas.get(); }

  TTreeNode* Selected() const { return FSelected; }
  void SetSelected(TTreeNode* Value);
  TTreeNode* DropTarget() const { return FDropTarget; }
  void SetDropTarget(TTreeNode* Value);
  // The first row shown.
  TTreeNode* TopItem();
  void SetTopItem(TTreeNode* Value);

  TTreeNode* GetNodeAt(int X, int Y);
  THitTests GetHitTestInfoAt(int X, int Y);
  bool IsEditing() const { return FEditNode != nullptr; }
  // The label editor while a label is being edited (from TVN_BEGINLABELEDIT on), else nullptr.
  TCustomEdit* EditControl() const;
  void FullExpand();
  void FullCollapse();
  bool AlphaSort(bool Recurse = true);
  bool CustomSort(const TTVCompare& SortProc, LPARAM Data, bool Recurse = true);
  // The number of rows that fit the client area.
  int VisibleCount();

  // ---- properties ----
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool Value);
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool RightClickSelect() const { return FRightClickSelect; }
  void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
  int Indent() const { return FIndent; }
  void SetIndent(int Value);
  // A selected node expands and the one left collapses (keyboard and mouse selection).
  virtual bool GetAutoExpand() const { return FAutoExpand; }
  virtual void SetAutoExpand(bool Value) { FAutoExpand = Value; }
  bool AutoExpand() const { return GetAutoExpand(); }
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }
  int ChangeDelay() const { return FChangeDelay; }
  void SetChangeDelay(int Value) { FChangeDelay = Value; }
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* Value);

  // ---- events ----
  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVCompareEvent OnCompare;
  TTVExpandedEvent OnDeletion;
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVCustomDrawEvent OnCustomDraw;
  TTVCustomDrawItemEvent OnCustomDrawItem;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

 protected:
  void WndProc(TMessage& Message) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintWindow(HDC DC) override;
  void WMPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void CMDrag(TMessage& Message) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  // The reflected notifications (see the top of this file).
  virtual void CNNotify(TMessage& Message);

  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual bool CanEdit(TTreeNode* Node);
  // The end of label editing: Text is the new label, none when it was cancelled.
  virtual void Edit(TTreeNode* Node, const std::optional<std::string>& Text);
  // A node is going away (OnDeletion).
  virtual void Delete(TTreeNode* Node);
  virtual void GetImageIndex(TTreeNode* Node);
  virtual void GetSelectedIndex(TTreeNode* Node);
  virtual bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage);
  virtual bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage);
  virtual bool CustomDrawItem(TTreeNode* Node, TCustomDrawState State, TCustomDrawStage Stage, bool& PaintImages);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  // Where the parts of a node's row lie, in client coordinates.
  struct TRowLayout {
    TRect Row;
    int ButtonX = -1;  // the centre of the column of the node's button and lines; -1 none
    int IndentRight = 0;
    int StateLeft = -1;
    int ImageLeft = -1;
    TRect Label;
    int CenterY = 0;
  };

  // Layout.
  void Invalidated();
  const std::vector<TTreeNode*>& Rows();
  int RowOf(const TTreeNode* Node);
  int RowHeight();
  int DefaultRowHeight();
  TRowLayout Layout(TTreeNode* Node, int Row);
  void UpdateScrollBars();
  void ScrollToRow(int Row);
  void ScrollHorz(int Pos);
  void EnsureVisible(TTreeNode* Node);
  void NodeChanged(TTreeNode* Node);
  void NodeRemoving(TTreeNode* Node);
  void NodesSorted(TTreeNode* Parent);
  void EndUpdateNodes();
  int CompareForSort(TTreeNode* A, TTreeNode* B);
  void SortNew(TTreeNode* Node);

  // Behaviour.
  bool SelectNode(TTreeNode* Node);
  bool ExpandNode(TTreeNode* Node, bool Expanded);
  void ToggleNode(TTreeNode* Node);
  void HandleKey(TMessage& Message);
  void HandleChar(TMessage& Message);
  void HandleScroll(TMessage& Message, int Bar);
  void HandleLButtonDown(TMessage& Message, bool Double);
  void HandleMouseMove(TMessage& Message);
  void HandleLButtonUp(TMessage& Message);
  void HandleRButtonUp(TMessage& Message);
  void SetHotNode(TTreeNode* Node);
  void BeginEdit(TTreeNode* Node);
  void FinishEdit(bool Cancel);
  // Keeps the editor over its node's label; a node no longer shown ends the editing.
  void PlaceEditor();
  void DeleteAll();
  void DrawNode(HDC DC, TTreeNode* Node, int Row, const TRect& Client);
  void DrawLines(HDC DC, TTreeNode* Node, const TRowLayout& L);
  void ImageListChange(TObject* Sender);
  TCustomDrawState NodeState(TTreeNode* Node);

  std::unique_ptr<TTreeNodes> FTreeNodes;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  std::unique_ptr<TChangeLink> FStateChangeLink;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  TTreeNode* FSelected = nullptr;
  TTreeNode* FDropTarget = nullptr;
  TTreeNode* FHotNode = nullptr;
  TTreeNode* FPressNode = nullptr;
  TPoint FPressPos;
  bool FPressRight = false;
  TTreeNode* FEditNode = nullptr;
  controls::TLabelEdit* FEditor = nullptr;  // made on first use; a child, freed with the tree
  bool FEditPending = false;
  std::vector<TTreeNode*> FRows;
  bool FRowsValid = false;
  int FTopRow = 0;
  int FScrollX = 0;
  int FItemHeight = -1;  // -1: the default for the font and images
  bool FUpdatingScrollBars = false;
  HDC FMeasureDC = nullptr;
  int TextWidth(TTreeNode* Node);
  controls::TTypeAhead FSearch;

  TBorderStyle FBorderStyle = bsSingle;
  bool FShowLines = true;
  bool FShowRoot = true;
  bool FShowButtons = true;
  bool FHotTrack = false;
  bool FRowSelect = false;
  bool FHideSelection = true;
  bool FReadOnly = false;
  bool FRightClickSelect = false;
  int FIndent = 19;
  bool FAutoExpand = false;
  bool FToolTips = true;
  int FChangeDelay = 0;
  TSortType FSortType = stNone;
};

class TTreeView : public TCustomTreeView {
 public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};
