#include "platform/classes/Component.h"

#include <algorithm>

#include "platform/classes/DefinitionParser.h"
#include "platform/classes/Filer.h"
#include "platform/classes/TypeInfo.h"

namespace {

bool IsValidIdent(const std::string& s) {
  if (s.empty()) return false;
  auto alpha = [](unsigned char c) { return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  auto digit = [](unsigned char c) { return c >= '0' && c <= '9'; };
  if (!alpha(static_cast<unsigned char>(s[0]))) return false;
  return std::all_of(s.begin(), s.end(), [&](char c) {
    auto u = static_cast<unsigned char>(c);
    return alpha(u) || digit(u);
  });
}

}  // namespace

// ---- TPersistent ----

void TPersistent::Assign(TPersistent* Source) {
  if (Source != nullptr) {
    Source->AssignTo(this);
    return;
  }
  AssignTo(this);  // reports the nil source below
}

void TPersistent::AssignTo(TPersistent* Dest) {
  std::string source = (Dest == this) ? std::string("nil") : ClassName();
  throw EConvertError("Cannot assign a " + source + " to a " + Dest->ClassName());
}

void TPersistent::DefineProperties(TFiler*) {}

std::string TPersistent::GetNamePath() const { return ClassName(); }

// ---- TComponent ----

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who asked that this component goes away.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    other->RemoveNotification(this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  const auto* ancestor = dynamic_cast<const TComponent*>(Filer->Ancestor());
  const uint32_t mine = static_cast<uint32_t>(FDesignInfo);
  const uint32_t theirs = ancestor ? static_cast<uint32_t>(ancestor->FDesignInfo) : 0;
  auto half = [](uint32_t info, bool high) { return static_cast<int16_t>(high ? info >> 16 : info & 0xFFFF); };
  auto define = [&](const char* name, bool high) {
    Filer->DefineProperty(
        name,
        [this, high](TReader* Reader) {
          const uint32_t value = static_cast<uint16_t>(Reader->ReadInteger());
          const uint32_t info = static_cast<uint32_t>(FDesignInfo);
          FDesignInfo = static_cast<int32_t>(high ? (info & 0xFFFF) | (value << 16) : (info & 0xFFFF0000u) | value);
        },
        [this, high, half](TWriter* Writer) { Writer->WriteInteger(half(static_cast<uint32_t>(FDesignInfo), high)); },
        half(mine, high) != half(theirs, high));
  };
  define("Left", false);
  define("Top", true);
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (FOwner == nullptr) return -1;
  auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (classes::SameIdent(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& NewName) {
  if (NewName == FName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError("'" + NewName + "' is not a valid component name");
  if (!NewName.empty() && FOwner != nullptr) {
    TComponent* other = FOwner->FindComponent(NewName);
    if (other != nullptr && other != this)
      throw EComponentError("A component named " + NewName + " already exists");
  }
  SetReference(false);
  std::string oldName = FName;
  FName = NewName;
  try {
    SetReference(true);
  } catch (...) {
    FName = oldName;
    SetReference(true);
    throw;
  }
}

void TComponent::SetComponentState(TComponentStateFlag Flag, bool On) {
  if (On)
    FComponentState |= Flag;
  else
    FComponentState &= ~static_cast<TComponentState>(Flag);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent->FOwner == this) return;
  if (!AComponent->FName.empty()) {
    TComponent* other = FindComponent(AComponent->FName);
    if (other != nullptr)
      throw EComponentError("A component named " + AComponent->FName + " already exists");
  }
  if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  AComponent->SetReference(true);
  NotifyAll(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  NotifyAll(AComponent, opRemove);
  AComponent->SetReference(false);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it != FComponents.end()) FComponents.erase(it);
  AComponent->FOwner = nullptr;
}

void TComponent::NotifyAll(TComponent* AComponent, TOperation Operation) {
  Notification(AComponent, Operation);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
  // Owned components hear of every insertion and removal in their owner.
  if (!HasState(csDestroying)) {
    // Copy: a handler may free components while we iterate.
    std::vector<TComponent*> owned = FComponents;
    for (TComponent* c : owned)
      if (std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end())
        c->Notification(AComponent, Operation);
  }
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    Remove(last);
    delete last;
  }
}

void TComponent::Destroying() {
  if (HasState(csDestroying)) return;
  SetComponentState(csDestroying, true);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  // A component owned by the same owner is told anyway; the platform still records it both ways.
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
    FFreeNotifies.push_back(AComponent);
  auto& back = AComponent->FFreeNotifies;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  RemoveNotification(AComponent);
  if (AComponent != nullptr) AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
  if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
}

std::string TComponent::GetNamePath() const { return FName; }

void TComponent::Loaded() { SetComponentState(csLoading, false); }

void TComponent::SetReference(bool Enable) {
  if (FOwner == nullptr || FName.empty() || FOwner->HasState(csDestroying)) return;
  classes::SetFieldReference(FOwner, FName, Enable ? this : nullptr);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  if (Root != this) return;
  for (TComponent* c : FComponents)
    if (!c->HasParent()) Proc(c);
}

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }
