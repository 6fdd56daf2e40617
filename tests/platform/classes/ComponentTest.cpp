#include "platform/classes/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> gLog;

class TProbe : public TComponent {
 public:
  TProbe(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
  ~TProbe() override { gLog.push_back("free " + Name()); }
  TComponent* Watched = nullptr;
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == Watched) {
      Watched = nullptr;
      gLog.push_back(Name() + " cleared");
    }
  }
};

TEST(Component, OwnerFreesOwnedInReverseOrder) {
  gLog.clear();
  auto* owner = new TProbe(nullptr, "Form1");
  new TProbe(owner, "A");
  new TProbe(owner, "B");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->FindComponent("b")->Name(), "B");
  delete owner;
  EXPECT_EQ(gLog, (std::vector<std::string>{"free Form1", "free B", "free A"}));
}

TEST(Component, FreeNotificationClearsReferences) {
  gLog.clear();
  TProbe holder(nullptr, "Holder");
  auto* target = new TProbe(nullptr, "Target");
  holder.Watched = target;
  target->FreeNotification(&holder);
  delete target;
  EXPECT_EQ(holder.Watched, nullptr);
  EXPECT_EQ(gLog, (std::vector<std::string>{"free Target", "Holder cleared"}));
}

TEST(Component, SiblingsHearOfRemovalAndNamesAreChecked) {
  TProbe owner(nullptr, "Form1");
  auto* a = new TProbe(&owner, "A");
  auto* b = new TProbe(&owner, "B");
  a->Watched = b;
  delete b;
  EXPECT_EQ(a->Watched, nullptr);
  EXPECT_THROW(a->SetName("1bad"), EComponentError);
  EXPECT_THROW(new TProbe(&owner, "A"), EComponentError);
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_THROW(owner.Components(5), EListError);
}

}  // namespace
