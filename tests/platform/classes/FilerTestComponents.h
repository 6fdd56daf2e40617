#pragma once
// Small components for the definition reader and writer tests: a control that holds child
// controls (panel-like), a grid-like control with a column collection, a menu with nested items,
// a timer-like component and a form-like root with fields and handlers.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Resources.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypeInfo.h"

namespace filertest {

enum TTestAlign { taNone, taTop, taBottom, taClient };
enum TTestAnchor { akLeft, akTop, akRight, akBottom };
enum TTestFontStyle { fsBold, fsItalic, fsUnderline };
using TTestAnchors = uint32_t;  // bit i = TTestAnchor i
using TTestColor = int32_t;

inline const classes::TEnumInfo& EnumInfo(TTestAlign) {
  static const classes::TEnumInfo info{"TTestAlign", {"taNone", "taTop", "taBottom", "taClient"}};
  return info;
}
inline const classes::TEnumInfo& EnumInfo(TTestAnchor) {
  static const classes::TEnumInfo info{"TTestAnchor", {"akLeft", "akTop", "akRight", "akBottom"}};
  return info;
}
inline const classes::TEnumInfo& EnumInfo(TTestFontStyle) {
  static const classes::TEnumInfo info{"TTestFontStyle", {"fsBold", "fsItalic", "fsUnderline"}};
  return info;
}

constexpr TTestColor clBlack = 0;
constexpr TTestColor clRed = 0x0000FF;
constexpr TTestColor clWindow = static_cast<TTestColor>(0x80000005u);
const classes::TIdentMap& ColorIdents();

// The files under tests/platform/classes/resources (registered before the program's resources).
const classes::TResourceTable& TestResources();

// Everything that happened, in order ("Loaded Panel1", "Click Button1"...).
std::vector<std::string>& Log();

class TTestFont : public TPersistent {
 public:
  const std::string& Name() const { return FName; }
  void SetName(const std::string& V) { FName = V; }
  bool IsNameStored() const { return FName != "Sans"; }
  int Size() const { return FSize; }
  void SetSize(int V) { FSize = V; }
  void SetHeight(int V) { FSize = V < 0 ? -V : V; }  // write-only
  TTestColor Color() const { return FColor; }
  void SetColor(TTestColor V) { FColor = V; }
  uint32_t Style() const { return FStyle; }
  void SetStyle(uint32_t V) { FStyle = V; }
  void Assign(TPersistent* Source) override;

 private:
  std::string FName = "Sans";
  int FSize = 8;
  TTestColor FColor = clBlack;
  uint32_t FStyle = 0;
};

class TTestMenu;

class TTestControl : public TComponent {
 public:
  explicit TTestControl(TComponent* AOwner);
  ~TTestControl() override;

  int Left() const { return FLeft; }
  void SetLeft(int V) { FLeft = V; }
  int64_t Big() const { return FBig; }
  void SetBig(int64_t V) { FBig = V; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& V) { FCaption = V; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) { FVisible = V; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool V) { FFlat = V; }
  TTestAlign Align() const { return FAlign; }
  void SetAlign(TTestAlign V) { FAlign = V; }
  TTestAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TTestAnchors V) { FAnchors = V; }
  TTestColor Color() const { return FColor; }
  void SetColor(TTestColor V) { FColor = V; }
  char32_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char32_t V) { FPasswordChar = V; }
  double Ratio() const { return FRatio; }
  void SetRatio(double V) { FRatio = V; }
  TTestFont* Font() const { return FFont.get(); }
  void SetFont(TTestFont* V) { FFont->Assign(V); }
  TStringList* Lines() const { return FLines.get(); }
  void SetLines(TStrings* V) { FLines->Assign(V); }
  TTestMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TTestMenu* V);
  TTestControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TTestControl* V);
  const std::string& Data() const { return FData; }
  void SetData(const std::string& V) { FData = V; }

  TNotifyEvent OnClick;
  void Click() {
    if (OnClick) OnClick(this);
  }

  TTestControl* Parent() const { return FParent; }
  void SetParent(TTestControl* V);
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TTestControl* Controls(int I) const { return FControls[static_cast<size_t>(I)]; }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* Value) override { SetParent(dynamic_cast<TTestControl*>(Value)); }
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Seen in Loaded: the state and the popup menu then.
  bool LoadingInLoaded = false;
  bool ReadingInLoaded = true;
  TTestMenu* PopupInLoaded = nullptr;

 protected:
  void DefineProperties(TFiler* Filer) override;

 private:
  int FLeft = 0;
  int64_t FBig = 0;
  std::string FCaption;
  bool FVisible = true;
  bool FFlat = false;
  TTestAlign FAlign = taNone;
  TTestAnchors FAnchors = (1u << akLeft) | (1u << akTop);
  TTestColor FColor = clWindow;
  double FRatio = 0.0;
  char32_t FPasswordChar = 0;
  std::unique_ptr<TTestFont> FFont = std::make_unique<TTestFont>();
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  TTestMenu* FPopupMenu = nullptr;
  TTestControl* FFocusControl = nullptr;
  std::string FData;
  TTestControl* FParent = nullptr;
  std::vector<TTestControl*> FControls;
};

class TTestColumn : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& V) { FFieldName = V; }
  int Width() const { return FWidth; }
  void SetWidth(int V) { FWidth = V; }
  TTestMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TTestMenu* V) { FPopupMenu = V; }
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& V) { FValue = V; }

 private:
  std::string FFieldName;
  Variant FValue;
  int FWidth = 64;
  TTestMenu* FPopupMenu = nullptr;
};

// A grid-like control: its columns are a defined property written only when they differ
// from the ancestor's; "Extra" likewise; "FrameFlat" and "OldStyle" are legacy and never written.
class TTestGrid : public TTestControl {
 public:
  explicit TTestGrid(TComponent* AOwner);
  TCollection* Columns() const { return FColumns.get(); }
  int Extra() const { return FExtra; }
  void SetExtra(int V) { FExtra = V; }

 protected:
  void DefineProperties(TFiler* Filer) override;

 private:
  std::unique_ptr<TOwnedCollection> FColumns;
  int FExtra = 0;
};

class TTestMenuItem;

class TTestMenu : public TComponent {
 public:
  using TComponent::TComponent;
  ~TTestMenu() override;
  int Count() const { return static_cast<int>(FItems.size()); }
  TTestMenuItem* Items(int I) const { return FItems[static_cast<size_t>(I)]; }
  void Add(TTestMenuItem* Item);
  void Remove(TTestMenuItem* Item);
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

 private:
  std::vector<TTestMenuItem*> FItems;
};

class TTestMenuItem : public TComponent {
 public:
  using TComponent::TComponent;
  ~TTestMenuItem() override;
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& V) { FCaption = V; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool V) { FChecked = V; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TTestMenuItem* Items(int I) const { return FItems[static_cast<size_t>(I)]; }
  TNotifyEvent OnClick;
  void Click() {
    if (OnClick) OnClick(this);
  }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

 private:
  friend class TTestMenu;
  void Detach();
  std::string FCaption;
  bool FChecked = false;
  TTestMenu* FMenu = nullptr;
  TTestMenuItem* FParentItem = nullptr;
  std::vector<TTestMenuItem*> FItems;
};

class TTestTimer : public TComponent {
 public:
  explicit TTestTimer(TComponent* AOwner);
  TCollection* Schedule() const { return FSchedule.get(); }
  void SetSchedule(TCollection* V) { FSchedule->Assign(V); }
  int Interval() const { return FInterval; }
  void SetInterval(int V) { FInterval = V; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool V) { FEnabled = V; }
  TNotifyEvent OnTimer;
  void Tick() {
    if (OnTimer) OnTimer(this);
  }
  void Loaded() override;

 private:
  int FInterval = 1000;
  bool FEnabled = true;
  std::unique_ptr<TOwnedCollection> FSchedule;
};

// A form-like root: a control that is found as a global component by its name while it lives.
class TTestForm : public TTestControl {
 public:
  explicit TTestForm(TComponent* AOwner);
  ~TTestForm() override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

  TTestControl* Panel1 = nullptr;
  TTestControl* Button1 = nullptr;
  TTestMenu* PopupMenu1 = nullptr;
  TTestTimer* Timer1 = nullptr;

  void Button1Click(TObject* Sender);
  void N19Click(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void FormKeyPress(TObject* Sender, char& Key);
};

// A class registered over a base class nobody registered: its chain is broken.
class TUnregisteredBase : public TComponent {
 public:
  using TComponent::TComponent;
};
class TOrphan : public TUnregisteredBase {
 public:
  explicit TOrphan(TComponent* AOwner);
};

// A form class derived from another: both classes have definitions.
class TTestDerivedForm : public TTestForm {
 public:
  using TTestForm::TTestForm;
  TTestTimer* Timer2 = nullptr;
};

}  // namespace filertest
