// The folder locator of the shell controls.
#include <cstring>

#include "controls/shell/FcShellCtrls.h"
#include "platform/classes/Filer.h"
#include "platform/controls/Forms.h"

TFcHourglass::TFcHourglass() : FOld(Screen ? Screen->Cursor() : crDefault) {
  if (Screen) Screen->SetCursor(crHourGlass);
}

TFcHourglass::~TFcHourglass() {
  if (Screen) Screen->SetCursor(static_cast<TCursor>(FOld));
}

TFcShellLocator::TFcShellLocator() = default;
TFcShellLocator::~TFcShellLocator() = default;

void TFcShellLocator::Changed() {
  if (OnLocationChange) OnLocationChange(this);
}

LPCITEMIDLIST TFcShellLocator::GetIdList() {
  if (FKind == 1 && !FIdList) {
    LPITEMIDLIST list = nullptr;
    HWND owner = Application ? Application->Handle() : nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(owner, FCsidl, &list))) FIdList.reset(list);
  }
  return FIdList.get();
}

void TFcShellLocator::SetIdList(LPCITEMIDLIST List) {
  const bool empty = List == nullptr || ILGetSize(List) <= 2;
  const bool changed = FKind == 1 || (empty ? FIdList != nullptr : !FIdList || !ILIsEqual(FIdList.get(), List));
  FKind = 0;
  FCsidl = kNoCsidl;
  FIdList.reset(empty ? nullptr : ILClone(List));
  if (changed) Changed();
}

void TFcShellLocator::SetCsidl(BYTE Value) {
  const bool changed = FKind != 1 || FCsidl != Value;
  FIdList.reset();
  FKind = 1;
  FCsidl = Value;
  if (changed) Changed();
}

void TFcShellLocator::SetPathName(const std::string& Path) {
  LPITEMIDLIST list = nullptr;
  if (SUCCEEDED(ShellParsePath(Path, list)) && list) {
    shell::TIdListPtr owned(list);
    SetIdList(owned.get());
  } else {
    SetIdList(nullptr);
  }
}

std::string TFcShellLocator::GetPathName() { return ShellGetPathFromIdList(GetIdList()); }

bool TFcShellLocator::SameLocation(TFcShellLocator* Other) {
  if (!Other || Other->FKind != FKind) return false;
  if (FKind == 1) return FCsidl == Other->FCsidl;
  if (Other == this) return true;
  if (!FIdList || !Other->FIdList) return !FIdList && !Other->FIdList;
  return CompareIdLists(FIdList.get(), Other->FIdList.get()) == 0;
}

void TFcShellLocator::Assign(TPersistent* Source) {
  if (!Source) {
    const bool held = FIdList != nullptr;
    FKind = 0;
    FCsidl = kNoCsidl;
    FIdList.reset();
    if (held) Changed();
    return;
  }
  auto* other = dynamic_cast<TFcShellLocator*>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  if (SameLocation(other)) return;
  FKind = other->FKind;
  FCsidl = other->FCsidl;
  FIdList.reset(other->FKind == 0 && other->FIdList ? ILClone(other->FIdList.get()) : nullptr);
  Changed();
}

// ---- the stored record ----

void TFcShellLocator::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineBinaryProperty("Pidl", [this](TStream* S) { ReadData(S); }, [this](TStream* S) { WriteData(S); },
                              FKind == 1 || FIdList != nullptr);
}

void TFcShellLocator::ReadData(TStream* Stream) {
  BYTE kind = 0;
  Stream->ReadBuffer(&kind, 1);
  if (kind != 0) {
    BYTE csidl = 0;
    Stream->ReadBuffer(&csidl, 1);
    SetCsidl(csidl);
    return;
  }
  uint8_t size[4];
  Stream->ReadBuffer(size, 4);
  const uint32_t length = size[0] | (size[1] << 8) | (size[2] << 16) | (static_cast<uint32_t>(size[3]) << 24);
  if (length == 0) {
    SetCsidl(0);
    return;
  }
  // The length must fit what is left, and the item sizes must lead to the terminator.
  if (length > static_cast<uint64_t>(Stream->Size() - Stream->Position()))
    throw EReadError("Invalid folder location: the item list is cut short");
  std::string bytes(length, '\0');
  Stream->ReadBuffer(bytes.data(), length);
  if (!shell::IsValidIdList(bytes.data(), bytes.size()))
    throw EReadError("Invalid folder location: the item list is damaged");
  SetIdList(reinterpret_cast<LPCITEMIDLIST>(bytes.data()));
}

void TFcShellLocator::WriteData(TStream* Stream) {
  Stream->WriteBuffer(&FKind, 1);
  if (FKind == 1) {
    Stream->WriteBuffer(&FCsidl, 1);
    return;
  }
  const uint32_t length = FIdList ? ILGetSize(FIdList.get()) : 0;
  const uint8_t size[4] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                           static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24)};
  Stream->WriteBuffer(size, 4);
  if (length > 0) Stream->WriteBuffer(FIdList.get(), length);
}
