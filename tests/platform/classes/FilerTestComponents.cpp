#include "FilerTestComponents.h"

#include <algorithm>

namespace filertest {

namespace {

std::vector<TTestForm*>& LiveForms() {
  static std::vector<TTestForm*> forms;
  return forms;
}

const int FindFormProc = RegisterFindGlobalComponentProc([](const std::string& Name) -> TComponent* {
  for (TTestForm* f : LiveForms())
    if (classes::SameIdent(f->Name(), Name)) return f;
  return nullptr;
});

const bool TestResourcesRegistered = (classes::RegisterResources(TestResources()), true);

}  // namespace

const classes::TIdentMap& ColorIdents() {
  static const classes::TIdentMap map{"TTestColor", {{clBlack, "clBlack"}, {clRed, "clRed"}, {clWindow, "clWindow"}}};
  return map;
}

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// ---- TTestFont ----

void TTestFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TTestFont*>(Source)) {
    FName = f->FName;
    FSize = f->FSize;
    FColor = f->FColor;
    FStyle = f->FStyle;
    return;
  }
  TPersistent::Assign(Source);
}

static const classes::TPublished<TTestFont, TPersistent> FontInfo([](auto& p) {
  p.String("Name", &TTestFont::Name, &TTestFont::SetName).Stored(&TTestFont::IsNameStored);
  p.Int("Size", &TTestFont::Size, &TTestFont::SetSize).Default(8);
  p.Int("Height", nullptr, &TTestFont::SetHeight);
  p.Int("Color", &TTestFont::Color, &TTestFont::SetColor).Default(clBlack).Idents(ColorIdents());
  p.template Set<TTestFontStyle>("Style", &TTestFont::Style, &TTestFont::SetStyle).Default(0);
});

// ---- TTestControl ----

TTestControl::TTestControl(TComponent* AOwner) : TComponent(AOwner) {}

TTestControl::~TTestControl() {
  SetParent(nullptr);
  for (TTestControl* c : FControls) c->FParent = nullptr;
}

void TTestControl::SetParent(TTestControl* V) {
  if (V == FParent) return;
  if (FParent != nullptr) std::erase(FParent->FControls, this);
  FParent = V;
  if (V != nullptr) V->FControls.push_back(this);
}

void TTestControl::SetPopupMenu(TTestMenu* V) {
  FPopupMenu = V;
  if (V != nullptr) V->FreeNotification(this);
}

void TTestControl::SetFocusControl(TTestControl* V) {
  FFocusControl = V;
  if (V != nullptr) V->FreeNotification(this);
}

void TTestControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
  if (AComponent == FFocusControl) FFocusControl = nullptr;
}

void TTestControl::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TTestControl* c : FControls)
    if (c->Owner() == Root) Proc(c);
}

void TTestControl::Loaded() {
  LoadingInLoaded = HasState(csLoading);
  PopupInLoaded = FPopupMenu;
  ReadingInLoaded = HasState(csReading);
  TComponent::Loaded();
  Log().push_back("Loaded " + Name());
}

void TTestControl::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Data",
      [this](TStream* S) {
        FData.resize(static_cast<size_t>(S->Size()));
        if (!FData.empty()) S->ReadBuffer(FData.data(), S->Size());
      },
      [this](TStream* S) { S->WriteBuffer(FData.data(), static_cast<int64_t>(FData.size())); }, !FData.empty());
  // Older definitions: FrameFlat became Flat; OldStyle (a set) is dropped.
  Filer->DefineProperty("FrameFlat", [this](TReader* R) { SetFlat(R->ReadBoolean()); }, nullptr, false);
  // FocusAlign named an alignment; OldColor was a colour name or a number.
  Filer->DefineProperty(
      "FocusAlign",
      [this](TReader* R) {
        std::string ident = R->ReadIdent();
        int v = classes::GetEnumValue(EnumInfo(TTestAlign{}), ident);
        if (v < 0) throw EReadError("Invalid property value: " + ident);
        SetAlign(static_cast<TTestAlign>(v));
      },
      nullptr, false);
  Filer->DefineProperty(
      "OldColor",
      [this](TReader* R) {
        int64_t v = 0;
        if (R->NextValue() == vaIdent)
          ColorIdents().IdentToInt(R->ReadIdent(), v);
        else
          v = R->ReadInteger();
        SetColor(static_cast<TTestColor>(v));
      },
      nullptr, false);
  Filer->DefineProperty(
      "OldStyle",
      [](TReader* R) {
        R->ReadValue();
        while (!R->ReadStr().empty()) {
        }
      },
      nullptr, false);
}

static const classes::TPublished<TTestControl, TComponent> ControlInfo([](auto& p) {
  p.Int("Left", &TTestControl::Left, &TTestControl::SetLeft).Default(0);
  p.Int("Big", &TTestControl::Big, &TTestControl::SetBig).Default(0);
  p.String("Caption", &TTestControl::Caption, &TTestControl::SetCaption);
  p.Bool("Visible", &TTestControl::Visible, &TTestControl::SetVisible).Default(true);
  p.Bool("Flat", &TTestControl::Flat, &TTestControl::SetFlat).Default(false);
  p.Enum("Align", &TTestControl::Align, &TTestControl::SetAlign).Default(taNone);
  p.template Set<TTestAnchor>("Anchors", &TTestControl::Anchors, &TTestControl::SetAnchors).Default(3u);
  p.Int("Color", &TTestControl::Color, &TTestControl::SetColor).Default(clWindow).Idents(ColorIdents());
  p.Char("PasswordChar", &TTestControl::PasswordChar, &TTestControl::SetPasswordChar).Default(0);
  p.Float("Ratio", &TTestControl::Ratio, &TTestControl::SetRatio);
  p.Object("Font", &TTestControl::Font, &TTestControl::SetFont);
  p.Object("Lines", &TTestControl::Lines, &TTestControl::SetLines);
  p.Component("PopupMenu", &TTestControl::PopupMenu, &TTestControl::SetPopupMenu);
  p.Component("FocusControl", &TTestControl::FocusControl, &TTestControl::SetFocusControl);
  p.Event("OnClick", &TTestControl::OnClick);
});

// ---- TTestGrid ----

TTestGrid::TTestGrid(TComponent* AOwner)
    : TTestControl(AOwner), FColumns(std::make_unique<TOwnedCollection>(this, TCollectionItemClass::Of<TTestColumn>())) {
  SetVisible(false);
}

void TTestGrid::DefineProperties(TFiler* Filer) {
  TTestControl::DefineProperties(Filer);
  auto* ancestor = dynamic_cast<TTestGrid*>(Filer->Ancestor());
  bool columnsDiffer = ancestor == nullptr ? FColumns->Count() > 0
                                           : !CollectionsEqual(FColumns.get(), ancestor->FColumns.get());
  Filer->DefineProperty(
      "Columns",
      [this](TReader* R) {
        FColumns->Clear();
        R->ReadCollection(FColumns.get());
      },
      [this](TWriter* W) { W->WriteCollection(FColumns.get()); }, columnsDiffer);
  bool extraDiffers = ancestor == nullptr ? FExtra != 0 : FExtra != ancestor->FExtra;
  Filer->DefineProperty(
      "Extra", [this](TReader* R) { FExtra = R->ReadInteger(); }, [this](TWriter* W) { W->WriteInteger(FExtra); },
      extraDiffers);
}

static const classes::TPublished<TTestColumn, TCollectionItem> ColumnInfo([](auto& p) {
  p.String("FieldName", &TTestColumn::FieldName, &TTestColumn::SetFieldName);
  p.Int("Width", &TTestColumn::Width, &TTestColumn::SetWidth).Default(64);
  p.Component("PopupMenu", &TTestColumn::PopupMenu, &TTestColumn::SetPopupMenu);
  p.Var("Value", &TTestColumn::Value, &TTestColumn::SetValue);
});

// The grid starts hidden: it publishes Visible again with its own default.
static const classes::TPublished<TTestGrid, TTestControl> GridInfo([](auto& p) {
  p.Bool("Visible", &TTestGrid::Visible, &TTestGrid::SetVisible).Default(false);
  p.Event("OnClick", &TTestGrid::OnClick);  // declared by the base class
});

// ---- menus ----

TTestMenu::~TTestMenu() {
  for (TTestMenuItem* i : FItems) i->FMenu = nullptr;
}

void TTestMenu::Add(TTestMenuItem* Item) {
  Item->Detach();
  Item->FMenu = this;
  FItems.push_back(Item);
}

void TTestMenu::Remove(TTestMenuItem* Item) { std::erase(FItems, Item); }

void TTestMenu::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TTestMenuItem* i : FItems)
    if (i->Owner() == Root) Proc(i);
}

TTestMenuItem::~TTestMenuItem() {
  Detach();
  for (TTestMenuItem* i : FItems) i->FParentItem = nullptr;
}

void TTestMenuItem::Detach() {
  if (FMenu != nullptr) FMenu->Remove(this);
  if (FParentItem != nullptr) std::erase(FParentItem->FItems, this);
  FMenu = nullptr;
  FParentItem = nullptr;
}

TComponent* TTestMenuItem::GetParentComponent() const {
  if (FParentItem != nullptr) return FParentItem;
  return FMenu;
}

void TTestMenuItem::SetParentComponent(TComponent* Value) {
  if (auto* menu = dynamic_cast<TTestMenu*>(Value)) {
    menu->Add(this);
  } else if (auto* item = dynamic_cast<TTestMenuItem*>(Value)) {
    Detach();
    FParentItem = item;
    item->FItems.push_back(this);
  }
}

void TTestMenuItem::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  for (TTestMenuItem* i : FItems)
    if (i->Owner() == Root) Proc(i);
}

static const classes::TPublished<TTestMenu, TComponent> MenuInfo;
static const classes::TPublished<TTestMenuItem, TComponent> MenuItemInfo([](auto& p) {
  p.String("Caption", &TTestMenuItem::Caption, &TTestMenuItem::SetCaption);
  p.Bool("Checked", &TTestMenuItem::Checked, &TTestMenuItem::SetChecked).Default(false);
  p.Event("OnClick", &TTestMenuItem::OnClick);
});

// ---- timer ----

TTestTimer::TTestTimer(TComponent* AOwner)
    : TComponent(AOwner), FSchedule(std::make_unique<TOwnedCollection>(this, TCollectionItemClass::Of<TTestColumn>())) {}

void TTestTimer::Loaded() {
  TComponent::Loaded();
  Log().push_back("Loaded " + Name());
}

static const classes::TPublished<TTestTimer, TComponent> TimerInfo([](auto& p) {
  p.Int("Interval", &TTestTimer::Interval, &TTestTimer::SetInterval).Default(1000);
  p.Bool("Enabled", &TTestTimer::Enabled, &TTestTimer::SetEnabled).Default(true);
  p.Object("Schedule", &TTestTimer::Schedule, &TTestTimer::SetSchedule);
  p.Event("OnTimer", &TTestTimer::OnTimer);
});

// ---- form ----

TTestForm::TTestForm(TComponent* AOwner) : TTestControl(AOwner) { LiveForms().push_back(this); }

TTestForm::~TTestForm() {
  std::erase(LiveForms(), this);
  // The owned components go first while the fields still exist.
  DestroyComponents();
}

void TTestForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  TComponent::GetChildren(Proc, Root);  // menus, timers: owned and without a parent
  TTestControl::GetChildren(Proc, Root);
}

void TTestForm::Button1Click(TObject* Sender) { Log().push_back("Button1Click " + static_cast<TComponent*>(Sender)->Name()); }
void TTestForm::N19Click(TObject* Sender) { Log().push_back("N19Click " + static_cast<TComponent*>(Sender)->Name()); }
void TTestForm::Timer1Timer(TObject* Sender) { Log().push_back("Timer1Timer " + static_cast<TComponent*>(Sender)->Name()); }
void TTestForm::FormKeyPress(TObject*, char& Key) { Key = 0; }

static const classes::TPublished<TTestForm, TTestControl> FormInfo([](auto& p) {
  p.Field("Panel1", &TTestForm::Panel1);
  p.Field("Button1", &TTestForm::Button1);
  p.Field("PopupMenu1", &TTestForm::PopupMenu1);
  p.Field("Timer1", &TTestForm::Timer1);
  p.Method("Button1Click", &TTestForm::Button1Click);
  p.Method("N19Click", &TTestForm::N19Click);
  p.Method("Timer1Timer", &TTestForm::Timer1Timer);
  p.Method("FormKeyPress", &TTestForm::FormKeyPress);
});

TOrphan::TOrphan(TComponent* AOwner) : TUnregisteredBase(AOwner) {}
static const classes::TPublished<TOrphan, TUnregisteredBase> OrphanInfo;

static const classes::TPublished<TTestDerivedForm, TTestForm> DerivedFormInfo([](auto& p) {
  p.Field("Timer2", &TTestDerivedForm::Timer2);
});

}  // namespace filertest
