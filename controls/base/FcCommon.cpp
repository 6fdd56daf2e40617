#include "controls/base/FcCommon.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/Menus.h"
#include "platform/gdi/Text.h"
#include "platform/graphics/GraphicsObjects.h"
#include "platform/graphics/Idents.h"
#include "platform/os/Kernel.h"
#include "platform/os/SystemMetrics.h"

// ---- enumeration names ----

const classes::TEnumInfo& EnumInfo(TFrameStyleEx) {
  static const classes::TEnumInfo info{
      "TFrameStyleEx", {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown", "fsRaised",
                        "fsButtonUp", "fsStatus", "fsPopup", "fsFlatBold", "fsFlatRounded"}};
  return info;
}
const classes::TEnumInfo& FrameStyleInfo() {
  static const classes::TEnumInfo info{
      "TFrameStyle", {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown", "fsRaised", "fsButtonUp",
                      "fsStatus", "fsPopup", "fsFlatBold"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TSide) {
  static const classes::TEnumInfo info{"TSide", {"sdLeft", "sdTop", "sdRight", "sdBottom"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TTextStyle) {
  static const classes::TEnumInfo info{"TTextStyle", {"tsNormal", "tsRaised", "tsRecessed", "tsShadow"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TAlignmentVertical) {
  static const classes::TEnumInfo info{"TAlignmentVertical", {"avTop", "avCenter", "avBottom"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TOrientation) {
  static const classes::TEnumInfo info{"TOrientation", {"orHorizontal", "orVertical"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcVisualStyle) {
  static const classes::TEnumInfo info{"TFcVisualStyle", {"vsClassic", "vsWinXP", "vsGradient"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFramingPreference) {
  static const classes::TEnumInfo info{"TFramingPreference", {"fpCustomFraming", "fpXPThemes"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcHotTrackColorType) {
  static const classes::TEnumInfo info{"TFcHotTrackColorType", {"htctComplement", "htctActual"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcButtonHotTrackStyle) {
  static const classes::TEnumInfo info{"TFcButtonHotTrackStyle", {"htsInterior", "htsFrame"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcScrollStyle) {
  static const classes::TEnumInfo info{"TFcScrollStyle", {"scsNone", "scsLeft", "scsUp", "scsRight", "scsDown"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcFrameControllerProperty) {
  static const classes::TEnumInfo info{
      "TFcFrameControllerProperty",
      {"fcpColor", "fcpFocusColor", "fcpDisabledColor", "fcpReadOnlyColor", "fcpReadOnlyColorOnFocus",
       "fcpParentColor", "fcpFlatButtonColor", "fcpFlatButtons", "fcpFrameColor", "fcpFrameHotColor",
       "fcpFrameHotTrack", "fcpFrameHotStyle", "fcpFrameSides", "fcpFrameStyle", "fcpFrameVisible",
       "fcpFramingPreference", "fcpAll"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcPathType) {
  static const classes::TEnumInfo info{"TFcPathType", {"ptIniFile", "ptRegistry"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcRegKey) {
  static const classes::TEnumInfo info{
      "TFcRegKey", {"hkeyClassesRoot", "hkeyCurrentUser", "hkeyLocalMachine", "hkeyUsers", "hkeyPerformanceData",
                    "hkeyCurrentConfig", "hkeyDynData"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcRegAccessKey) {
  static const classes::TEnumInfo info{
      "TFcRegAccessKey", {"keyQueryValue", "keySetValue", "keyCreateSubKey", "keyEnumerateSubKeys", "keyNotify",
                          "keyCreateLink", "keyRead", "keyWrite", "keyExecute", "keyAllAccess"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcSpecialFolder) {
  static const classes::TEnumInfo info{
      "TFcSpecialFolder",
      {"sfNone", "sfUserAppDataRoaming", "sfUserAppDataLocal", "sfUserDocuments", "sfProgramData"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcIniFileEncoding) {
  static const classes::TEnumInfo info{"TFcIniFileEncoding", {"feDefault", "feUTF8", "feUnicode"}};
  return info;
}

// ---- settings store ----

TFcRegIniFile::TFcRegIniFile(TComponent* AOwner) : TComponent(AOwner) {}
TFcRegIniFile::~TFcRegIniFile() = default;

namespace {
template <class V>
void ChangeSetting(V& Field, const V& Value, bool& Changed) {
  if (Field == Value) return;
  Field = Value;
  Changed = true;
}
}  // namespace

void TFcRegIniFile::SetPath(const std::string& Value) { ChangeSetting(FPath, Value, FSettingsChanged); }
void TFcRegIniFile::SetPathType(TFcPathType Value) { ChangeSetting(FPathType, Value, FSettingsChanged); }
void TFcRegIniFile::SetRegKey(TFcRegKey Value) { ChangeSetting(FRegKey, Value, FSettingsChanged); }
void TFcRegIniFile::SetRegAccess(TFcRegAccess Value) { ChangeSetting(FRegAccess, Value, FSettingsChanged); }
void TFcRegIniFile::SetSpecialFolder(TFcSpecialFolder Value) { ChangeSetting(FSpecialFolder, Value, FSettingsChanged); }
void TFcRegIniFile::SetFileEncoding(TFcIniFileEncoding Value) { ChangeSetting(FFileEncoding, Value, FSettingsChanged); }

static const classes::TPublished<TFcRegIniFile, TComponent> FcRegIniFileInfo([](auto& p) {
  using R = TFcRegIniFile;
  p.String("Path", &R::Path, &R::SetPath);
  p.Enum("PathType", &R::PathType, &R::SetPathType).Default(ptIniFile);
  p.Enum("RegKey", &R::RegKey, &R::SetRegKey).Default(hkeyCurrentUser);
  p.template Set<TFcRegAccessKey>("RegAccess", &R::RegAccess, &R::SetRegAccess).Default(TFcRegAccess{keyAllAccess});
  p.Enum("SpecialFolder", &R::SpecialFolder, &R::SetSpecialFolder).Default(sfNone);
  p.Enum("FileEncoding", &R::FileEncoding, &R::SetFileEncoding).Default(feDefault);
});

// ---- frame controller ----

TFcFrameController::TFcFrameController(TComponent* AOwner) : TComponent(AOwner) {}

TFcFrameController::~TFcFrameController() {
  // The controls stay; they only lose their controller's list entry.
  FControls.clear();
}

bool TFcFrameController::IsRegistered(const TComponent* Control) const {
  return std::find(FControls.begin(), FControls.end(), Control) != FControls.end();
}

void TFcFrameController::RegisterControl(TComponent* Control) {
  if (Control == nullptr || IsRegistered(Control)) return;
  FControls.push_back(Control);
  PushSettingsToControl(Control, fcpAll);
}

void TFcFrameController::UnregisterControl(TComponent* Control) {
  auto it = std::find(FControls.begin(), FControls.end(), Control);
  if (it != FControls.end()) FControls.erase(it);
}

void TFcFrameController::BeginUpdate() { ++FUpdateCount; }

void TFcFrameController::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount <= 0) {
    FUpdateCount = 0;
    PushSettingsToAll(fcpAll);
  }
}

void TFcFrameController::UpdateControls() { PushSettingsToAll(fcpAll); }

void TFcFrameController::PushSettingsToAll(TFcFrameControllerProperty Property) {
  if (FUpdateCount > 0 || FControls.empty()) return;
  // A control may leave the list while it takes the settings: walk a copy, skipping those gone.
  const std::vector<TComponent*> controls = FControls;
  for (TComponent* control : controls)
    if (IsRegistered(control)) PushSettingsToControl(control, Property);
}

namespace {

// The published property each setting is written to, by ordinal.
const char* const kPropertyNames[] = {
    "Color",        "FocusColor",    "DisabledColor",  "ReadOnlyColor", "ReadOnlyColorOnFocus", "ParentColor",
    "FlatButtonColor", "FlatButtons", "FrameColor",   "FrameHotColor", "FrameHotTrack",        "FrameHotStyle",
    "FrameSides",   "FrameStyle",    "FrameVisible",   "FramingPreference"};

TFcFrameControllerNotifications NotificationsOf(TComponent* Control) {
  const classes::TPropInfo* info = GetPropInfo(Control, "FrameControllerNotifications");
  if (info == nullptr || info->Kind != classes::TPropKind::Set || !info->GetOrd) return AllFrameControllerNotifications;
  return TFcFrameControllerNotifications::FromBits(static_cast<uint64_t>(info->GetOrd(Control)));
}

}  // namespace

int64_t TFcFrameController::SettingValue(TFcFrameControllerProperty Property) const {
  switch (Property) {
    case fcpColor: return FColor;
    case fcpFocusColor: return FFocusColor;
    case fcpDisabledColor: return FDisabledColor;
    case fcpReadOnlyColor: return FReadOnlyColor;
    case fcpReadOnlyColorOnFocus: return FReadOnlyColorOnFocus;
    case fcpParentColor: return FParentColor;
    case fcpFlatButtonColor: return FFlatButtonColor;
    case fcpFlatButtons: return FFlatButtons;
    case fcpFrameColor: return FFrameColor;
    case fcpFrameHotColor: return FFrameHotColor;
    case fcpFrameHotTrack: return FFrameHotTrack;
    case fcpFrameHotStyle: return FFrameHotStyle;
    case fcpFrameSides: return static_cast<int64_t>(FFrameSides.Bits());
    case fcpFrameStyle: return FFrameStyle;
    case fcpFrameVisible: return FFrameVisible;
    case fcpFramingPreference: return FFramingPreference;
    case fcpAll: break;
  }
  return 0;
}

void TFcFrameController::WriteSetting(TComponent* Control, TFcFrameControllerProperty Property) {
  const classes::TPropInfo* info = GetPropInfo(Control, kPropertyNames[Property]);
  if (info == nullptr || !info->SetOrd) return;
  switch (info->Kind) {
    case classes::TPropKind::Integer:
    case classes::TPropKind::Enum:
    case classes::TPropKind::Bool:
    case classes::TPropKind::Set: info->SetOrd(Control, SettingValue(Property)); break;
    default: break;  // a property of that name but of another kind is not the setting
  }
}

void TFcFrameController::PushSettingsToControl(TComponent* Control, TFcFrameControllerProperty Property) {
  if (dynamic_cast<TControl*>(Control) == nullptr) return;
  const TFcFrameControllerNotifications mask = NotificationsOf(Control);
  if (auto* client = Supports<IFrameControllerClient>(Control)) {
    client->ApplyFrameController();
    return;
  }
  if (Property != fcpAll) {
    if (mask.Contains(Property)) WriteSetting(Control, Property);
    return;
  }
  // ParentColor first: a control that follows its parent takes no Color.
  static const TFcFrameControllerProperty kOrder[] = {
      fcpParentColor,   fcpColor,         fcpDisabledColor,  fcpReadOnlyColor, fcpReadOnlyColorOnFocus,
      fcpFocusColor,    fcpFlatButtonColor, fcpFlatButtons,  fcpFrameColor,    fcpFrameHotColor,
      fcpFrameHotTrack, fcpFrameHotStyle, fcpFrameSides,     fcpFrameStyle,    fcpFrameVisible,
      fcpFramingPreference};
  for (TFcFrameControllerProperty p : kOrder) {
    if (p == fcpColor && FParentColor) continue;
    if (mask.Contains(p)) WriteSetting(Control, p);
  }
}

void TFcFrameController::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TFcFrameController*>(Source);
  if (other == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    SetColor(other->FColor);
    SetDisabledColor(other->FDisabledColor);
    SetReadOnlyColor(other->FReadOnlyColor);
    SetReadOnlyColorOnFocus(other->FReadOnlyColorOnFocus);
    SetFlatButtonColor(other->FFlatButtonColor);
    SetFlatButtons(other->FFlatButtons);
    SetFocusColor(other->FFocusColor);
    SetFrameColor(other->FFrameColor);
    SetFrameHotColor(other->FFrameHotColor);
    SetFrameHotStyle(other->FFrameHotStyle);
    SetFrameHotTrack(other->FFrameHotTrack);
    SetFrameSides(other->FFrameSides);
    SetFrameStyle(other->FFrameStyle);
    SetFrameVisible(other->FFrameVisible);
    SetFramingPreference(other->FFramingPreference);
    SetParentColor(other->FParentColor);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TFcFrameController::Loaded() {
  TComponent::Loaded();
  UpdateControls();
}

namespace {
template <class V>
bool Store(V& Field, V Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}
}  // namespace

void TFcFrameController::SetColor(TColor Value) {
  if (FColor == Value) return;
  // A focus colour equal to the colour follows it.
  const bool dragFocus = FFocusColor == FColor;
  FColor = Value;
  if (dragFocus) FFocusColor = Value;
  FParentColor = false;
  PushSettingsToAll(fcpColor);
  if (dragFocus) PushSettingsToAll(fcpFocusColor);
}
void TFcFrameController::SetDisabledColor(TColor Value) {
  if (Store(FDisabledColor, Value)) PushSettingsToAll(fcpDisabledColor);
}
void TFcFrameController::SetReadOnlyColor(TColor Value) {
  if (Store(FReadOnlyColor, Value)) PushSettingsToAll(fcpReadOnlyColor);
}
void TFcFrameController::SetReadOnlyColorOnFocus(bool Value) {
  if (Store(FReadOnlyColorOnFocus, Value)) PushSettingsToAll(fcpReadOnlyColorOnFocus);
}
void TFcFrameController::SetFlatButtonColor(TColor Value) {
  if (Store(FFlatButtonColor, Value)) PushSettingsToAll(fcpFlatButtonColor);
}
void TFcFrameController::SetFlatButtons(bool Value) {
  if (Store(FFlatButtons, Value)) PushSettingsToAll(fcpFlatButtons);
}
void TFcFrameController::SetFocusColor(TColor Value) {
  if (Store(FFocusColor, Value)) PushSettingsToAll(fcpFocusColor);
}
void TFcFrameController::SetFrameColor(TColor Value) {
  if (Store(FFrameColor, Value)) PushSettingsToAll(fcpFrameColor);
}
void TFcFrameController::SetFrameHotColor(TColor Value) {
  if (Store(FFrameHotColor, Value)) PushSettingsToAll(fcpFrameHotColor);
}
void TFcFrameController::SetFrameHotStyle(TFrameStyle Value) {
  if (Store(FFrameHotStyle, Value)) PushSettingsToAll(fcpFrameHotStyle);
}
void TFcFrameController::SetFrameHotTrack(bool Value) {
  if (FFrameHotTrack == Value) return;
  FFrameHotTrack = Value;
  if (Value) {
    SetFrameVisible(true);
    if (!HasState(csLoading)) FFrameSides = AllSides;
  }
  PushSettingsToAll(fcpFrameHotTrack);
}
void TFcFrameController::SetFrameSides(TSides Value) {
  if (Store(FFrameSides, Value)) PushSettingsToAll(fcpFrameSides);
}
void TFcFrameController::SetFrameStyle(TFrameStyle Value) {
  if (Store(FFrameStyle, Value)) PushSettingsToAll(fcpFrameStyle);
}
void TFcFrameController::SetFrameVisible(bool Value) {
  if (Store(FFrameVisible, Value)) PushSettingsToAll(fcpFrameVisible);
}
void TFcFrameController::SetFramingPreference(TFramingPreference Value) {
  if (Store(FFramingPreference, Value)) PushSettingsToAll(fcpFramingPreference);
}
void TFcFrameController::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  PushSettingsToAll(fcpParentColor);
  if (!Value) PushSettingsToAll(fcpColor);
}
void TFcFrameController::SetRegIniFile(TFcRegIniFile* Value) {
  if (FRegIniFile == Value) return;
  if (FRegIniFile != nullptr) FRegIniFile->RemoveFreeNotification(this);
  FRegIniFile = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

void TFcFrameController::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FRegIniFile) FRegIniFile = nullptr;
  // A freed control that did not unregister itself must not stay listed.
  UnregisterControl(AComponent);
}

void TFcFrameController::ReadFrameFlat(TReader* Reader) {
  const bool flat = Reader->ReadBoolean();
  SetFrameHotTrack(flat);
  if (flat) {
    SetFrameStyle(fsStatus);
    SetFrameHotStyle(fsLowered);
  }
}

void TFcFrameController::ReadFrameFocusStyle(TReader* Reader) {
  const int value = classes::GetEnumValue(FrameStyleInfo(), Reader->ReadIdent());
  if (value >= 0) SetFrameHotStyle(static_cast<TFrameStyle>(value));
}

void TFcFrameController::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineProperty("FrameFlat", [this](TReader* R) { ReadFrameFlat(R); }, nullptr, false);
  Filer->DefineProperty("FrameFocusStyle", [this](TReader* R) { ReadFrameFocusStyle(R); }, nullptr, false);
  Filer->DefineProperty("FrameFlatStyle", &TFcOldPropReader::ReadOldEnumProp, nullptr, false);
}

static const classes::TPublished<TFcFrameController, TComponent> FcFrameControllerInfo([](auto& p) {
  using C = TFcFrameController;
  p.Int("Color", &C::Color, &C::SetColor).Default(clWindow).Idents(ColorIdents()).Stored(&C::IsColorStored);
  p.Int("DisabledColor", &C::DisabledColor, &C::SetDisabledColor).Default(clBtnFace).Idents(ColorIdents());
  p.Int("ReadOnlyColor", &C::ReadOnlyColor, &C::SetReadOnlyColor).Default(clInfoBk).Idents(ColorIdents());
  p.Bool("ReadOnlyColorOnFocus", &C::ReadOnlyColorOnFocus, &C::SetReadOnlyColorOnFocus).Default(false);
  p.Int("FlatButtonColor", &C::FlatButtonColor, &C::SetFlatButtonColor).Default(clBtnFace).Idents(ColorIdents());
  p.Bool("FlatButtons", &C::FlatButtons, &C::SetFlatButtons).Default(true);
  p.Int("FocusColor", &C::FocusColor, &C::SetFocusColor).Default(clWindow).Idents(ColorIdents());
  p.Int("FrameColor", &C::FrameColor, &C::SetFrameColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("FrameHotColor", &C::FrameHotColor, &C::SetFrameHotColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Enum("FrameHotStyle", &C::FrameHotStyle, &C::SetFrameHotStyle).Default(fsFlatBold);
  p.Bool("FrameHotTrack", &C::FrameHotTrack, &C::SetFrameHotTrack).Default(false);
  p.template Set<TSide>("FrameSides", &C::FrameSides, &C::SetFrameSides).Default(AllSides);
  p.Enum("FrameStyle", &C::FrameStyle, &C::SetFrameStyle).Default(fsFlat);
  p.Bool("FrameVisible", &C::FrameVisible, &C::SetFrameVisible).Default(false);
  p.Enum("FramingPreference", &C::FramingPreference, &C::SetFramingPreference).Default(fpXPThemes);
  p.Bool("ParentColor", &C::ParentColor, &C::SetParentColor).Default(false);
  p.Component("RegIniFile", &C::RegIniFile, &C::SetRegIniFile);
});

// ---- blinking ----

namespace {
std::unique_ptr<TFcBlinkingControlsList>& BlinkList() {
  static std::unique_ptr<TFcBlinkingControlsList> list;
  return list;
}
}  // namespace

TFcBlinkingControlsList::TFcBlinkingControlsList() : FTimer(std::make_unique<TTimer>(nullptr)) {
  FTimer->SetInterval(FIntervalOff);
  FTimer->OnTimer = [this](TObject* Sender) { Tick(Sender); };
  FTimer->SetEnabled(true);
}

TFcBlinkingControlsList::~TFcBlinkingControlsList() = default;

void TFcBlinkingControlsList::Add(TControl* Control) {
  if (Control != nullptr && std::find(FControls.begin(), FControls.end(), Control) == FControls.end())
    FControls.push_back(Control);
}

void TFcBlinkingControlsList::Remove(TControl* Control) {
  auto it = std::find(FControls.begin(), FControls.end(), Control);
  if (it != FControls.end()) FControls.erase(it);
}

void TFcBlinkingControlsList::Tick(TObject*) {
  if (FBlinkState == 1) {
    FBlinkState = 0;
    FTimer->SetInterval(FIntervalOff);
  } else {
    FBlinkState = 1;
    FTimer->SetInterval(FIntervalOn);
  }
  // A control may unregister while it answers: walk a copy, skipping those gone.
  const std::vector<TControl*> controls = FControls;
  for (TControl* control : controls) {
    if (std::find(FControls.begin(), FControls.end(), control) == FControls.end()) continue;
    if (control->Perform(FCM_BLINKQUERY, 0, 0) == 1) control->Perform(FCM_BLINK, FBlinkState, 0);
  }
}

TFcBlinkingControlsList* BlinkingControlsList() { return BlinkList().get(); }

TFcBlinkingControlsList* EnsureBlinkingControlsList() {
  if (!BlinkList()) BlinkList() = std::make_unique<TFcBlinkingControlsList>();
  return BlinkList().get();
}

void ReleaseBlinkingListIfEmpty() {
  if (BlinkList() && BlinkList()->RegisteredCount() == 0) BlinkList().reset();
}

// ---- legacy property readers ----

void TFcOldPropReader::ReadOldBooleanProp(TReader* Reader) { Reader->ReadBoolean(); }
void TFcOldPropReader::ReadOldIntegerProp(TReader* Reader) { Reader->ReadInteger(); }
void TFcOldPropReader::ReadOldStringProp(TReader* Reader) { Reader->ReadString(); }
void TFcOldPropReader::ReadOldEnumProp(TReader* Reader) { Reader->ReadIdent(); }
void TFcOldPropReader::ReadOldSetProp(TReader* Reader) {
  if (Reader->ReadValue() != vaSet) throw EReadError("Invalid property value: a set was expected");
  while (!Reader->ReadStr().empty()) {
  }
}
void TFcOldPropReader::SkipLegacyEnum(TReader* Reader) { ReadOldEnumProp(Reader); }

// ---- versions ----

bool IsOSVersion(int Index) {
  const int platform = Win32Platform(), major = Win32MajorVersion(), minor = Win32MinorVersion();
  const bool w9x = platform == VER_PLATFORM_WIN32_WINDOWS, nt = platform == VER_PLATFORM_WIN32_NT;
  switch (((Index % 128) + 128) % 128) {
    case 0: return w9x && major <= 4 && minor == 0;
    case 1: return nt && major <= 4;
    case 2: return w9x && major <= 4 && minor == 10;
    case 3: return w9x && major <= 4 && minor == 90;
    case 4: return nt && major == 5 && minor == 0;
    case 5: return nt && major == 5 && minor == 1;
    case 6: return nt && major == 5 && minor == 2;
    case 7: return nt && major == 6 && minor == 0;
    default: return false;
  }
}

bool IsOSVersionOrLater(int Index) {
  const int platform = Win32Platform(), major = Win32MajorVersion(), minor = Win32MinorVersion();
  const bool any = platform == VER_PLATFORM_WIN32_WINDOWS || platform == VER_PLATFORM_WIN32_NT;
  const bool nt = platform == VER_PLATFORM_WIN32_NT;
  switch (((Index % 128) + 128) % 128) {
    case 0: return any && major >= 4;
    case 1: return nt && major > 3;
    case 2: return any && (major > 4 || (major >= 4 && minor >= 10));
    case 3: return any && (major > 4 || (major > 3 && minor >= 90));
    case 4: return nt && major > 4;
    case 5: return nt && (major > 5 || (major == 5 && minor > 0));
    case 6: return nt && (major > 5 || (major >= 5 && minor >= 2));
    case 7: return nt && major > 5;
    default: return false;
  }
}

// ---- strings and messages ----

std::string StripAccelerators(const std::string& Caption) { return StripHotkey(Caption); }

bool RemoveFirstOccurrence(std::string& Text, char Ch) {
  const size_t at = Text.find(Ch);
  if (at == std::string::npos) return false;
  Text.erase(at, 1);
  return true;
}

std::string ExpandEnvironmentText(const std::string& Text) {
  char probe[1];
  const DWORD size = ExpandEnvironmentStrings(Text.c_str(), probe, 1);
  if (size == 0) return Text;
  std::string buffer(size, '\0');
  if (ExpandEnvironmentStrings(Text.c_str(), buffer.data(), size) == 0) return Text;
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer;
}

bool IsDBCSLeadChar(uint8_t) {
  // Text is UTF-8: no code page has lead bytes here.
  return false;
}

bool CharIsInSet(uint8_t Ch, const std::bitset<256>& Set) { return Set.test(Ch); }

LRESULT SendTextMessage(HWND Window, UINT Msg, WPARAM WParam, const std::string& Text) {
  return SendMessage(Window, Msg, WParam, reinterpret_cast<LPARAM>(Text.c_str()));
}

TRect CenteredRect(const TRect& Rect, int W, int H) {
  const int left = (Rect.Left + Rect.Right - W) / 2;
  const int top = (Rect.Top + Rect.Bottom - H) / 2;
  return {left, top, left + W, top + H};
}

int IntMin(int A, int B) { return A < B ? A : B; }
int IntMax(int A, int B) { return A > B ? A : B; }
void SwapWords(uint16_t& A, uint16_t& B) { std::swap(A, B); }

// ---- monitors ----

namespace {
HWND WindowOf(TControl* Control) {
  for (TControl* c = Control; c != nullptr; c = c->Parent())
    if (auto* win = dynamic_cast<TWinControl*>(c)) return win->Handle();
  return nullptr;
}
}  // namespace

TRect GetWindowWorkArea(TControl* Control) {
  MONITORINFO info;
  HMONITOR monitor = MonitorFromWindow(WindowOf(Control), MONITOR_DEFAULTTONEAREST);
  if (monitor == nullptr || !GetMonitorInfo(monitor, &info)) return {};
  return info.rcWork;
}

int GetWindowWorkAreaWidth(TControl* Control) { return GetWindowWorkArea(Control).Width(); }

TRect GetMonitorWorkRect(TMonitor* Monitor) { return Monitor != nullptr ? Monitor->WorkareaRect() : TRect{}; }
TRect GetMonitorRect(TMonitor* Monitor) { return Monitor != nullptr ? Monitor->BoundsRect() : TRect{}; }

TMonitor* FindMonitorAtPoint(const TPoint& Point) {
  if (Screen == nullptr) return nullptr;
  for (int i = 0; i < Screen->MonitorCount(); ++i) {
    TMonitor* monitor = Screen->Monitors(i);
    if (monitor->BoundsRect().Contains(Point)) return monitor;
  }
  return nullptr;
}

void NotifyDesignerModified(TControl*) {
  // Forms are never designed in this program: there is no designer to tell.
}

void InvalidateTransparentChildren(TWinControl* Container) {
  if (Container == nullptr) return;
  for (int i = 0; i < Container->ControlCount(); ++i) {
    TControl* child = Container->Controls(i);
    const classes::TPropInfo* info = GetPropInfo(child, "Transparent");
    if (info != nullptr && info->Kind == classes::TPropKind::Bool && info->GetOrd && info->GetOrd(child) != 0)
      child->Invalidate();
  }
}

namespace fc {

void FillSolid(TCanvas* Canvas, const TRect& R, TColor Colour) {
  // The brush keeps the colour: text drawn afterwards uses it as its background.
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Colour);
  Canvas->FillRect(R);
}

void DrawFrame(TCanvas* Canvas, TRect& R, TFrameStyleEx Style, TSides Sides, TColor Colour) {
  auto own = [Colour](TColor Default) { return Colour == clNone ? Default : Colour; };
  switch (Style) {
    case fsNone: return;
    case fsFlat:
    case fsFlatRounded: R = PaintBevelRings(Canvas, R, own(cl3DDkShadow), Sides, 1, own(cl3DDkShadow)); return;
    case fsFlatBold: R = PaintBevelRings(Canvas, R, own(clBtnShadow), Sides, 2, own(clBtnShadow)); return;
    default: R = PaintFrameStyleSides(Canvas, R, Style, Sides); return;
  }
}

void DrawCaption(TCanvas* Canvas, TRect R, const std::string& Text, TAlignment Alignment,
                 TAlignmentVertical Vertical, bool WordWrap) {
  if (Text.empty()) return;
  UINT format = DT_NOPREFIX;
  format |= Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  if (WordWrap) {
    format |= DT_WORDBREAK;
    if (Vertical != avTop) {
      // Centre or bottom-align the wrapped block by measuring it first.
      TRect measure = R;
      int height = DrawText(Canvas->Handle(), Text, &measure, format | DT_CALCRECT);
      int room = R.Height() - height;
      if (room > 0) R.Top += Vertical == avCenter ? room / 2 : room;
    }
  } else {
    format |= DT_SINGLELINE;
    format |= Vertical == avCenter ? DT_VCENTER : Vertical == avBottom ? DT_BOTTOM : DT_TOP;
  }
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
  DrawText(Canvas->Handle(), Text, &R, format);
}

void DrawStyledCaption(TCanvas* Canvas, TRect R, const std::string& Text, TTextStyle Style, TColor Highlight,
                       TColor Shadow, TAlignment Alignment, TAlignmentVertical Vertical, bool WordWrap) {
  if (Style != tsNormal) {
    TColor colour = Canvas->Font()->Color();
    TRect offset = R;
    switch (Style) {
      case tsRaised: Canvas->Font()->SetColor(Highlight); OffsetRect(&offset, -1, -1); break;
      case tsRecessed: Canvas->Font()->SetColor(Highlight); OffsetRect(&offset, 1, 1); break;
      default: Canvas->Font()->SetColor(Shadow); OffsetRect(&offset, 2, 2); break;
    }
    DrawCaption(Canvas, offset, Text, Alignment, Vertical, WordWrap);
    Canvas->Font()->SetColor(colour);
  }
  DrawCaption(Canvas, R, Text, Alignment, Vertical, WordWrap);
}

void DrawButtonFace(TCanvas* Canvas, TRect& R, TColor Face, bool Down, bool Flat) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Face);
  Canvas->FillRect(R);
  if (Flat && !Down) return;
  DrawFrame(Canvas, R, Down ? fsButtonDown : fsButtonUp);
}

void DrawGlyph(TCanvas* Canvas, TBitmap* Glyph, int NumGlyphs, int Index, int X, int Y, TColor Background) {
  if (!Glyph || Glyph->Empty()) return;
  const int cells = NumGlyphs < 1 ? 1 : NumGlyphs;
  const int w = Glyph->Width() / cells;
  const int h = Glyph->Height();
  if (Index < 0 || Index >= cells) Index = 0;
  const TColor transparent = Glyph->Canvas()->Pixels(0, h - 1);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Background);
  Canvas->BrushCopy({X, Y, X + w, Y + h}, Glyph, {Index * w, 0, Index * w + w, h}, transparent);
}

void DrawGlyphAndCaption(TCanvas* Canvas, TRect R, TBitmap* Glyph, int NumGlyphs, int GlyphIndex,
                         const std::string& Caption, TColor Background, int Spacing) {
  const bool hasGlyph = Glyph && !Glyph->Empty();
  const int glyphWidth = hasGlyph ? Glyph->Width() / (NumGlyphs < 1 ? 1 : NumGlyphs) : 0;
  const int glyphHeight = hasGlyph ? Glyph->Height() : 0;
  const int textWidth = Caption.empty() ? 0 : Canvas->TextWidth(Caption);
  const int gap = hasGlyph && textWidth ? Spacing : 0;
  int x = R.Left + (R.Width() - glyphWidth - gap - textWidth) / 2;
  if (hasGlyph) {
    DrawGlyph(Canvas, Glyph, NumGlyphs, GlyphIndex, x, R.Top + (R.Height() - glyphHeight) / 2, Background);
    x += glyphWidth + gap;
  }
  if (textWidth) DrawCaption(Canvas, {x, R.Top, R.Right, R.Bottom}, Caption, taLeftJustify, avCenter);
}

}  // namespace fc
