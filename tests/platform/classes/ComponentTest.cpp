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
  std::vector<std::string> Heard;
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    Heard.push_back((op == opInsert ? "insert " : "remove ") + c->Name());
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

// TTitle knows how to copy itself into a TLabelText; TLabelText knows nothing of TTitle.
class TLabelText : public TPersistent {
 public:
  std::string Text;
};

class TTitle : public TPersistent {
 public:
  std::string Caption;
  void Assign(TPersistent* Source) override {
    if (auto* other = dynamic_cast<TTitle*>(Source)) {
      Caption = other->Caption;
      return;
    }
    TPersistent::Assign(Source);
  }

 protected:
  void AssignTo(TPersistent* Dest) override {
    if (auto* label = dynamic_cast<TLabelText*>(Dest)) {
      label->Text = Caption;
      return;
    }
    TPersistent::AssignTo(Dest);
  }
};

TEST(Component, AssignUsesTheSourcesAssignToAndNamesBothClassesWhenNeitherKnows) {
  TTitle title, copy;
  title.Caption = "定时广播";
  copy.Assign(&title);
  EXPECT_EQ(copy.Caption, "定时广播");
  TLabelText label;
  label.Assign(&title);  // TLabelText does not know TTitle; TTitle::AssignTo does the work
  EXPECT_EQ(label.Text, "定时广播");
  try {
    title.Assign(&label);
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TLabelText to a TTitle");
  }
  try {
    label.Assign(nullptr);
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TLabelText");
  }
  EXPECT_EQ(title.GetNamePath(), "TTitle");
}

class TStateProbe : public TComponent {
 public:
  using TComponent::TComponent;
  ~TStateProbe() override {
    if (Seen) *Seen = HasState(csDestroying);
  }
  bool* Seen = nullptr;
};

TEST(Component, LoadedEndsLoadingAndOwnedComponentsSeeTheirOwnerDestroying) {
  bool ownedSawDestroying = false;
  auto* owner = new TStateProbe(nullptr);
  auto* owned = new TStateProbe(owner);
  owned->Seen = &ownedSawDestroying;
  owned->SetComponentState(csLoading, true);
  owned->SetComponentState(csReading, true);
  EXPECT_TRUE(owned->HasState(csLoading));
  owned->Loaded();
  EXPECT_FALSE(owned->HasState(csLoading));
  EXPECT_TRUE(owned->HasState(csReading)) << "only the loading flag is Loaded's";
  EXPECT_FALSE(owned->HasState(csDesigning));
  delete owner;
  EXPECT_TRUE(ownedSawDestroying);
}

TEST(Component, InsertionIsAnnouncedAndOwnershipMovesWithoutFreeing) {
  gLog.clear();
  TProbe first(nullptr, "Form1"), second(nullptr, "Form2");
  auto* sibling = new TProbe(&first, "Sibling");
  auto* moved = new TProbe(nullptr, "Timer1");
  first.InsertComponent(moved);
  EXPECT_EQ(sibling->Heard, (std::vector<std::string>{"insert Timer1"}));
  EXPECT_EQ(moved->Owner(), &first);
  EXPECT_EQ(moved->ComponentIndex(), 1);

  second.InsertComponent(moved);
  EXPECT_EQ(moved->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 1);
  EXPECT_EQ(second.Components(0), moved);
  EXPECT_EQ(sibling->Heard, (std::vector<std::string>{"insert Timer1", "remove Timer1"}));

  second.RemoveComponent(moved);
  EXPECT_EQ(moved->Owner(), nullptr);
  EXPECT_EQ(moved->ComponentIndex(), -1);
  EXPECT_TRUE(gLog.empty()) << "moving and removing free nothing";
  delete moved;
  EXPECT_EQ(first.GetNamePath(), "Form1");
}

TEST(Component, FreeNotificationHoldsWhicheverSideGoesFirstAndCanBeWithdrawn) {
  gLog.clear();
  auto* holder = new TProbe(nullptr, "Holder");
  auto* target = new TProbe(nullptr, "Target");
  target->FreeNotification(holder);
  delete holder;          // the target forgets the holder...
  delete target;          // ...so nothing is told to a freed object
  EXPECT_EQ(gLog, (std::vector<std::string>{"free Holder", "free Target"}));

  TProbe keeper(nullptr, "Keeper");
  auto* other = new TProbe(nullptr, "Other");
  keeper.Watched = other;
  other->FreeNotification(&keeper);
  other->RemoveFreeNotification(&keeper);
  delete other;
  EXPECT_EQ(keeper.Watched, other) << "a withdrawn request is not answered";
}

}  // namespace
