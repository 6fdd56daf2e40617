#pragma once
// The library's tree view: the platform tree view with the framed look and state colours
// (FcViewFrame.h), an outline of the selected node while the tree is not focused, wheel
// scrolling of its own, a settable row height, expanding that selects, and a node context
// menu that OnNodeContextMenu may replace or cancel. It publishes nothing itself: the shell
// tree derives from it and publishes.
#include <functional>
#include <memory>

#include "controls/shell/FcViewFrame.h"
#include "platform/classes/StringList.h"
#include "platform/controls/Menus.h"
#include "platform/controls/TreeView.h"
#include "platform/graphics/GraphicsObjects.h"

// Raised when tree lines cannot be loaded.
class ETreeViewError : public Exception {
 public:
  using Exception::Exception;
};

using TFcTvOnNodeContextMenuEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, TPoint Pos, TPopupMenu*& Menu)>;

class TFcCustomTreeView : public TFcFramedView<TCustomTreeView> {
 public:
  explicit TFcCustomTreeView(TComponent* AOwner);
  ~TFcCustomTreeView() override;

  // Row height in pixels; 0: the control's default (a negative value is stored as 0).
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  // Expanding or collapsing a node also selects it; excludes AutoExpand.
  bool SelectOnExpand() const { return FSelectOnExpand; }
  virtual void SetSelectOnExpand(bool Value);
  void SetAutoExpand(bool Value) override;
  // The outline of the selected node while the tree is unfocused.
  TPen* UnfocusedSelectionPen() const { return FUnfocusedSelectionPen.get(); }
  void SetUnfocusedSelectionPen(TPen* Value);

  // The node a right click is being handled for while RightClickSelect is on, else the
  // selected node; none without a window.
  TTreeNode* GetCurrentNode();

  // One line per node: a tab per level, then the text.
  virtual void LoadNodesFromStrings(TStrings* Strings);
  virtual void SaveNodesToStrings(TStrings* Strings);

  TFcTvOnNodeContextMenuEvent OnNodeContextMenu;

  void Loaded() override;

 protected:
  virtual void UpdateItemHeight();
  virtual void ShowKeyboardContextMenu();
  virtual void ShowNodeContextMenu(TTreeNode* Node, TPoint Pos);
  virtual void DoNodeContextMenu(TTreeNode* Node, TPoint Pos, TPopupMenu*& Menu);
  bool MenuHandled() const { return FMenuHandled; }

  void CreateWnd() override;
  void Collapse(TTreeNode* Node) override;
  void Expand(TTreeNode* Node) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void WMPaint(TMessage& Message) override;
  void WMRButtonUp(TMessage& Message) override;
  void WMContextMenu(TMessage& Message) override;
  void CNNotify(TMessage& Message) override;

 private:
  void PopupAt(TPopupMenu* Menu, TPoint ClientPos);
  void PaintUnfocusedOutline();

  int FItemHeight = 0;
  bool FSelectOnExpand = false;
  std::unique_ptr<TPen> FUnfocusedSelectionPen;
  TTreeNode* FRightClickNode = nullptr;
  bool FMenuHandled = false;
};

