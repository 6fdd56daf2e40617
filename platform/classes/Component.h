#pragma once
// TPersistent and TComponent: named, owned components with free notification.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/System.h"

class TFiler;
class TReader;
class TWriter;
class TComponent;

// Generic event handler: the sender is the object that raised the event.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class EComponentError : public Exception { public: using Exception::Exception; };

class TPersistent : public TObject {
 public:
  // Copies Source into this object; raises EConvertError when neither side knows how.
  virtual void Assign(TPersistent* Source);
  // Name used in messages and definitions ("Form1.Button1").
  virtual std::string GetNamePath() const;

 protected:
  // Called by Assign when this object does not know Source: lets Source copy itself into Dest.
  virtual void AssignTo(TPersistent* Dest);
  // Lets a class read and write properties that are not published (see TFiler).
  virtual void DefineProperties(TFiler* Filer);
  // The object that owns this one for naming purposes (a collection's owner, say).
  virtual TPersistent* GetOwner() const { return nullptr; }
  friend class TFiler;
  friend class TReader;
  friend class TWriter;
};

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : uint32_t {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csAncestor = 1u << 5,
  csUpdating = 1u << 6,
  csFixups = 1u << 7,
  csInline = 1u << 8,
};
using TComponentState = uint32_t;

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  // Raises EComponentError when the name is not a valid identifier or a sibling has it.
  virtual void SetName(const std::string& NewName);
  intptr_t Tag() const { return FTag; }
  void SetTag(intptr_t Value) { FTag = Value; }
  // Where a component that is not a control sits on its form at design time: its definition
  // holds it as "Left" (low 16 bits) and "Top" (high 16 bits). It has no effect at run time.
  int32_t DesignInfo() const { return FDesignInfo; }
  void SetDesignInfo(int32_t Value) { FDesignInfo = Value; }

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;
  int ComponentIndex() const;
  TComponent* FindComponent(const std::string& AName) const;

  TComponentState ComponentState() const { return FComponentState; }
  bool HasState(TComponentStateFlag Flag) const { return (FComponentState & Flag) != 0; }
  void SetComponentState(TComponentStateFlag Flag, bool On);

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, last created first.
  void DestroyComponents();
  // Marks this component and everything it owns as being destroyed.
  void Destroying();

  // AComponent will tell this component (through Notification(opRemove)) when it is freed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  std::string GetNamePath() const override;

  // Called once after the component and its siblings were read from a definition.
  virtual void Loaded();

  // ---- definitions (see platform/classes/Filer.h) ----
  // Calls Proc for every component written as this component's child in a definition.
  // The default lists, for the root only, the owned components that have no parent.
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root);
  // The owner of the children read inside this component's block (none = the root).
  virtual TComponent* GetChildOwner() { return nullptr; }
  // The parent given to the children read inside this component's block.
  virtual TComponent* GetChildParent() { return this; }
  // True for components that live inside a parent (controls, menu items).
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent*) {}
  // Moves Child to position Order among this component's children.
  virtual void SetChildOrder(TComponent*, int) {}
  // Reads this component's properties and children (the reader calls it).
  virtual void ReadState(TReader* Reader);
  // Writes this component's properties and children (the writer calls it).
  virtual void WriteState(TWriter* Writer);
  // Called on every component that must hear of AComponent's insertion or removal.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

 protected:
  TPersistent* GetOwner() const override { return FOwner; }
  // Defines "Left" and "Top" (DesignInfo), written when they differ from the ancestor's.
  void DefineProperties(TFiler* Filer) override;
  // Sends Notification(AComponent, Operation) to this component and everything it owns.
  void NotifyAll(TComponent* AComponent, TOperation Operation);

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);
  // Points the owner's published field of this component's name at this component (or nil).
  void SetReference(bool Enable);

  TComponent* FOwner = nullptr;
  std::string FName;
  intptr_t FTag = 0;
  int32_t FDesignInfo = 0;
  TComponentState FComponentState = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
};

// Frees a component or any object held through a raw pointer (the platform's FreeAndNil).
template <class T>
void FreeAndNil(T*& Obj) {
  T* tmp = Obj;
  Obj = nullptr;
  delete tmp;
}
