#pragma once
// The framed combo boxes, on the platform's combo box.
//
// TFcCustomComboBox adds the library's look (frame style, hot frame, flat drop button, colours
// by state), a read-only mode, its own incremental search in the list styles (the typed
// letters within the search delay form one prefix) and its own auto-complete in the edit part
// (the typed prefix completed to the first item beginning with it, the tail selected), and the
// events OnMatch, OnNotInList, OnSelEndOk, OnSelEndCancel and OnDeleteItem. TFcComboBox
// publishes it and adds Values, parallel to Items.
//
// TFcCustomImageComboBox draws its entries owner-drawn: each carries a TFcImageComboBoxItem
// (caption, image, overlay, indent level) that the combo owns and frees once, when the entry
// is deleted through the combo or the combo is destroyed.
#include <memory>

#include "controls/base/FcCommon.h"
#include "platform/classes/StringList.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/ListCtrls.h"
#include "platform/graphics/ImgList.h"

// The pause after which the typed search string starts afresh (ms).
constexpr int kFcSearchDelay = 1500;

using TFcDeleteComboItemEvent = std::function<void(TObject* Sender, TObject* Item)>;

class TFcCustomComboBox : public TCustomComboBox {
 public:
  explicit TFcCustomComboBox(TComponent* AOwner);
  ~TFcCustomComboBox() override;

  // The library's own auto-complete and key handling in the edit part; the platform combo's
  // own completion and type-ahead stay off.
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  bool AllowEdit() const { return FAllowEdit; }
  void SetAllowEdit(bool Value) { FAllowEdit = Value; }
  bool BeepOnInvalidKey() const { return FBeepOnInvalidKey; }
  void SetBeepOnInvalidKey(bool Value) { FBeepOnInvalidKey = Value; }
  bool KeepSearchCase() const { return FKeepSearchCase; }
  void SetKeepSearchCase(bool Value) { FKeepSearchCase = Value; }
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool Value) { FShowFocus = Value; }
  // Width of the dropped-down list; 0 or less: the widest item's.
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
  // The list width the last drop-down used.
  int ActualDropDownWidth() const { return FActualDropDownWidth; }
  // Shown while the text is empty (kept; the platform draws no cue banner without visual
  // styles).
  const std::string& TextHint() const { return FTextHint; }
  void SetTextHint(const std::string& Value);
  bool ReadOnly() const { return FReadOnly; }
  virtual void SetReadOnly(bool Value);
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  virtual void SetReadOnlyColor(TColor Value);
  bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
  void SetReadOnlyColorOnFocus(bool Value);
  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor Value);
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor Value);
  bool FlatButtons() const { return FFlatButtons; }
  virtual void SetFlatButtons(bool Value);
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  virtual void SetFlatButtonColor(TColor Value);
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor Value);
  TColor FrameHotColor() const { return FFrameHotColor; }
  virtual void SetFrameHotColor(TColor Value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  virtual void SetFrameHotTrack(bool Value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  virtual void SetFrameHotStyle(TFrameStyle Value);
  TSides FrameSides() const { return FFrameSides; }
  virtual void SetFrameSides(TSides Value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle Value);
  bool FrameVisible() const { return FFrameVisible; }
  virtual void SetFrameVisible(bool Value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  virtual void SetFramingPreference(TFramingPreference Value);
  TFcFrameController* FrameController() const { return FFrameController; }
  virtual void SetFrameController(TFcFrameController* Value);
  TFcFrameControllerNotifications FrameControllerNotifications() const { return FFrameControllerNotifications; }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) { FFrameControllerNotifications = Value; }
  // Enter moves the focus to the next control.
  bool TabOnEnter() const { return FTabOnEnter; }
  void SetTabOnEnter(bool Value) { FTabOnEnter = Value; }

  // The focus is in the combo (kept by the enter and exit handlers).
  bool Focused() const { return FFocused; }
  int GetCount() const { return Items()->Count(); }
  // Sets the text without completing it; AutoComplete stays as it was.
  virtual void SetTextSilently(const std::string& Value);
  // The item whose whole text is Value (-1: none).
  virtual int IndexOfItem(const std::string& Value);
  // The first item beginning with Value, ignoring case (-1: none).
  virtual int FindItem(const std::string& Value);
  // Chooses item Index as the user does: the text follows, Click and Change fire.
  void SelectItem(int Index);
  // Heights of owner-drawn rows; a new one re-creates the window.
  void SetItemHeight(int Value) override;
  bool UseThemes() const;
  // The platform's visual styles are on (off on Linux unless a test turns them on).
  static bool VisualStylesActive();

  TNotifyEvent OnMatch;
  TNotifyEvent OnNotInList;
  TNotifyEvent OnSelEndOk;
  TNotifyEvent OnSelEndCancel;
  TFcDeleteComboItemEvent OnDeleteItem;

  void Loaded() override;

  // Called from the list's notifications; the shell combo calls them from its own overrides.
  virtual void SelEndOk();
  virtual void SelEndCancel();
  void DropDown() override;

  // Stored rules of the published colour and frame properties.
  bool IsColorStored() const;
  bool IsFocusColorStored() const;
  bool IsStoredByController(TFcFrameControllerProperty Property) const;
  template <TFcFrameControllerProperty P>
  bool IsStoredFor() const {
    return IsStoredByController(P);
  }

 protected:
  virtual void UpdateColors();
  virtual void UpdateFrame(bool ViaMouse, bool Value);
  virtual void InvalidKeyPressed();
  virtual void SelectMatchingItem(const std::string& Value, TMessage& Message);
  virtual bool AutoCompleteText(const std::string& Value, TMessage& Message);
  virtual void DoDeleteItem(TObject* Item);
  virtual void UpdateTextHint();
  virtual void Match();
  virtual void NotInList();

  void WndProc(TMessage& Message) override;
  void EditWndProc(TMessage& Message) override;
  void CNCommand(TMessage& Message) override;
  void CloseUp() override;
  void CreateWnd() override;
  void KeyPress(char32_t& Key) override;
  void Change() override;
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
  void CNDrawItem(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMParentColorChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DefineProperties(TFiler* Filer) override;
  // The library's frame and drop button over the default painting.
  virtual void PaintFrame();
  bool Typing() const { return FTyping; }
  void SetTyping(bool Value) { FTyping = Value; }

 private:
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  bool IsEditStyle() const { return Style() == csDropDown || Style() == csSimple; }
  void ListKeyDown(TMessage& Message);
  void ListChar(TMessage& Message);
  void EditKeyDown(TMessage& Message);
  void EditChar(TMessage& Message);
  bool EditBackspace(TMessage& Message);
  void CompleteAfterPaste();
  void RestartSearchTimer();
  void SearchTimerTick();
  void SetColorInternal(TColor Value);
  void PostTab();
  TRect FrameButtonRect();
  void PaintButton(TCanvas* Canvas, const TRect& Button);

  bool FAutoComplete = true;
  bool FAllowEdit = true;
  bool FBeepOnInvalidKey = true;
  bool FKeepSearchCase = false;
  bool FShowFocus = true;
  int FDropDownWidth = 0;
  int FActualDropDownWidth = 0;
  std::string FTextHint;
  bool FReadOnly = false;
  TColor FReadOnlyColor = clInfoBk;
  bool FReadOnlyColorOnFocus = false;
  TColor FDisabledColor = clBtnFace;
  TColor FFocusColor = clWindow;
  TColor FNormalColor = clWindow;
  bool FFlatButtons = false;
  TColor FFlatButtonColor = clBtnFace;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = AllSides;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TFramingPreference FFramingPreference = fpXPThemes;
  TFcFrameController* FFrameController = nullptr;
  TFcFrameControllerNotifications FFrameControllerNotifications = AllFrameControllerNotifications;
  bool FTabOnEnter = false;

  std::string FSearch;
  std::unique_ptr<TTimer> FSearchTimer;
  bool FFocused = false;
  bool FOverControl = false;
  bool FInControl = false;
  bool FTyping = false;
  bool FEnterPressed = false;
  bool FSysKeyDown = false;
  bool FUpdatingColor = false;
  bool FKeyBusy = false;
  bool FPasteNoted = false;
  std::unique_ptr<TControlCanvas> FFrameCanvas;
};

class TFcComboBox : public TFcCustomComboBox {
 public:
  explicit TFcComboBox(TComponent* AOwner);
  ~TFcComboBox() override;
  // The value of each item (an item without one stands for its own text).
  TStrings* Values() const { return FValues.get(); }
  virtual void SetValues(TStrings* Value) { FValues->Assign(Value); }
  // The value of item Index: its Values entry when not empty, else its text.
  virtual std::string GetItemValue(int Index) const;
  // The value of the chosen item (the text when it has none); setting it chooses the first
  // item with that value (none when no item has it).
  virtual std::string GetValue() const;
  virtual void SetValue(const std::string& Value);
  std::string Value() const { return GetValue(); }

 protected:
  void Change() override;
  void Click() override;

 private:
  void ValuesChanged();
  std::unique_ptr<TStringList> FValues;
  std::string FValue;
  bool FInSetValue = false;
  bool FForceSetValue = false;
};

class TFcCustomImageComboBox;

class TFcImageComboBoxItem : public TObject {
 public:
  explicit TFcImageComboBoxItem(TFcCustomImageComboBox* AOwner) : FOwner(AOwner) {}
  TFcCustomImageComboBox* Owner() const { return FOwner; }
  int Index() const { return FIndex; }
  void SetIndex(int Value) { FIndex = Value; }
  int IndentLevel() const { return FIndentLevel; }
  void SetIndentLevel(int Value) { FIndentLevel = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  // Overlay number of the image list (-1: none).
  int OverlayIndex() const { return FOverlayIndex; }
  void SetOverlayIndex(int Value);
  // The text drawn; the entry's text in Items stays as it was.
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);

 private:
  void Repaint();
  TFcCustomImageComboBox* FOwner;
  int FIndex = -1;
  int FIndentLevel = 0;
  int FImageIndex = 0;
  int FOverlayIndex = -1;
  std::string FCaption;
};

using TFcDeleteImageComboBoxItemEvent = std::function<void(TObject* Sender, TFcImageComboBoxItem* Item)>;
using TFcGetImageComboBoxItemDataEvent = std::function<void(TObject* Sender, TFcImageComboBoxItem* Item)>;

class TFcCustomImageComboBox : public TFcCustomComboBox {
 public:
  explicit TFcCustomImageComboBox(TComponent* AOwner);
  ~TFcCustomImageComboBox() override;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int ItemIndent() const { return FItemIndent; }
  void SetItemIndent(int Value);
  bool AutoSizeHeight() const { return FAutoSizeHeight; }
  void SetAutoSizeHeight(bool Value);

  // Appends an entry with a new item; the combo owns the item.
  virtual TFcImageComboBoxItem* AddItem(const std::string& Caption, int ImageIndex, int IndentLevel);
  // The item of entry Index (nullptr when the entry has none, or Index is out of range).
  TFcImageComboBoxItem* GetImageItem(int Index) const;
  // Deletes entry Index; OnDeleteItem fires and the item is freed.
  void DeleteItem(int Index);
  // Deletes every entry, the last first.
  void ClearItems();
  void BeginUpdate() { Items()->BeginUpdate(); }
  void EndUpdate() { Items()->EndUpdate(); }
  // The first entry whose caption is Value, ignoring case.
  int IndexOfItem(const std::string& Value) override;

  TFcGetImageComboBoxItemDataEvent OnGetItemData;
  // Hides the base's event of the same name: the deleted entry's item, typed.
  TFcDeleteImageComboBoxItemEvent OnDeleteItem;

 protected:
  virtual void DoGetItemData(TFcImageComboBoxItem* Item);
  // Fires OnDeleteItem and frees the item. A descendant frees its own data here and calls
  // this step; it never frees the item itself.
  void DoDeleteItem(TObject* Item) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateWnd() override;
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
  void CMFontChanged(TMessage& Message) override;

 private:
  void AdjustItemHeight();
  TCustomImageList* FImages = nullptr;
  int FItemIndent = 12;
  bool FAutoSizeHeight = true;
  bool FInSetFont = false;
};

class TFcImageComboBox : public TFcCustomImageComboBox {
 public:
  using TFcCustomImageComboBox::TFcCustomImageComboBox;
};
