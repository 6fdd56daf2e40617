#pragma once
// The library's list view: the platform list view with the framed look and state colours
// (FcViewFrame.h), a header whose sections it draws itself to show a sort arrow for one column
// (HeaderSortDisplayMode), a last column that stretches to the client width in the report
// view, check-box change events, an item context menu that OnItemContextMenu may replace or
// cancel, its own wheel scrolling and DisabledColor behind the items while disabled. It
// publishes nothing itself: the shell list derives from it and publishes.
#include <functional>

#include "controls/shell/FcViewFrame.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Menus.h"

enum TFcLVHeaderSortDisplayMode { hsdmNone, hsdmLeftAlign, hsdmRightOfText, hsdmRightAlign };
const classes::TEnumInfo& EnumInfo(TFcLVHeaderSortDisplayMode);

using TFcLVItemCheckedEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TFcLVItemCheckingEvent = std::function<void(TObject* Sender, TListItem* Item, bool& Allow, bool Checked)>;
using TFcLVOnItemContextMenuEvent =
    std::function<void(TObject* Sender, TListItem* Item, TPoint Pos, TPopupMenu*& Menu)>;

// Posted to itself after the window is made: the header's sections are set up again.
constexpr UINT FCLV_UPDATEHEADER = WM_USER + 100;

class TFcCustomListView : public TFcFramedView<TCustomListView> {
 public:
  explicit TFcCustomListView(TComponent* AOwner);
  ~TFcCustomListView() override;

  TFcLVHeaderSortDisplayMode HeaderSortDisplayMode() const { return FHeaderSortDisplayMode; }
  void SetHeaderSortDisplayMode(TFcLVHeaderSortDisplayMode Value);
  // The column showing the sort arrow (-1: none) and its direction (false: ascending, up).
  int SortedColumn() const { return FSortedColumn; }
  void SetSortedColumn(int Value);
  bool SortedDescending() const { return FSortedDescending; }
  void SetSortedDescending(bool Value);
  bool StretchLastColumn() const { return FStretchLastColumn; }
  virtual void SetStretchLastColumn(bool Value);

  void SetViewStyle(TViewStyle Value) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Loaded() override;

  // Sets each header section's format: owner-drawn by the list, or the platform's strings.
  void UpdateHeaderSortDisplay();
  // Draws header section Index in Rect on Canvas, as the list's own header painting does.
  void DefaultDrawHeaderSection(TCanvas* Canvas, int Index, TRect Rect);

  TFcLVItemCheckedEvent OnItemChecked;
  TFcLVItemCheckingEvent OnItemChecking;
  TFcLVOnItemContextMenuEvent OnItemContextMenu;

 protected:
  virtual void ResizeLastColumn();
  virtual void DoItemChecked(TListItem* Item);
  virtual bool CanChangeItemCheck(TListItem* Item, bool Checked);
  virtual void ShowContextMenuAt(TPoint Pos);
  virtual void ShowItemContextMenu(TPoint Pos);
  virtual void DoItemContextMenu(TListItem* Item, TPoint Pos, TPopupMenu*& Menu);
  bool DragStarted() const { return FDragStarted; }
  bool MenuHandled() const { return FMenuHandled; }

  void RepaintFrame() override;
  void FrameVisibleChanged() override;
  void SetFrameController(TFcFrameController* Value) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) override;
  bool CustomDrawItem(TListItem* Item, TCustomDrawState State, TCustomDrawStage Stage) override;
  void CMColorChanged(TMessage& Message) override;
  void CMParentColorChanged(TMessage& Message) override;
  void WMRButtonUp(TMessage& Message) override;
  void WMContextMenu(TMessage& Message) override;
  void CNNotify(TMessage& Message) override;
  void HeaderNotify(TMessage& Message) override;

 private:
  void SendBackgroundColors();
  void InvalidateHeaderSection(int Index);
  void DrawHeaderSection(const DRAWITEMSTRUCT& Item);
  void GeneralPopup(TPoint Pos);
  void PopupAt(TPopupMenu* Menu, TPoint ClientPos);
  bool WheelScroll(bool Down);

  TFcLVHeaderSortDisplayMode FHeaderSortDisplayMode = hsdmRightOfText;
  int FSortedColumn = -1;
  bool FSortedDescending = false;
  bool FStretchLastColumn = true;
  int FHeaderUpdateLock = 0;
  bool FRightClicked = false;
  bool FMenuHandled = false;
  bool FDragStarted = false;
  bool FSettingController = false;
  bool FLoadingColumns = false;
  std::unique_ptr<TCanvas> FHeaderCanvas;
};
