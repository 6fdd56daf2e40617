// The list of recently used texts.
#include <gtest/gtest.h>

#include "grid/base/ToolCtrlsGd.h"
#include "platform/os/Kernel.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Window.h"
#include "tests/support/HeadlessApp.h"

namespace {

std::vector<std::string> Texts(const TStrings* List) {
  std::vector<std::string> out;
  for (int i = 0; i < List->Count(); ++i) out.push_back(List->Strings(i));
  return out;
}

using V = std::vector<std::string>;

TEST(MRUListGdTest, RememberingMovesKnownTextsToTheEndAndDropsTheOldest) {
  TMRUListGd mru(nullptr);
  mru.RememberText("  ");
  mru.RememberText("");
  EXPECT_EQ(mru.Items()->Count(), 0) << "blank texts are not remembered";
  mru.RememberText("alpha");
  mru.RememberText(" beta ");
  mru.RememberText("gamma");
  mru.RememberText("ALPHA");
  EXPECT_EQ(Texts(mru.Items()), (V{" beta ", "gamma", "alpha"})) << "found without regard to case, moved to the end";
  mru.SetCaseSensitive(true);
  mru.RememberText("GAMMA");
  EXPECT_EQ(Texts(mru.Items()), (V{" beta ", "gamma", "alpha", "GAMMA"}));
  for (int i = 0; i < 100; ++i) mru.RememberText("t" + std::to_string(i));
  EXPECT_EQ(mru.Items()->Count(), 100);
  EXPECT_EQ(mru.Items()->Strings(0), "t0") << "the 101st distinct text drops the oldest";
  EXPECT_EQ(mru.Items()->Strings(99), "t99");
}

TEST(MRUListGdTest, ANegativeLimitKeepsNothingAndTrimsAtOnce) {
  TMRUListGd mru(nullptr);
  for (const char* t : {"a", "b", "c"}) mru.RememberText(t);
  mru.SetLimit(2);
  EXPECT_EQ(Texts(mru.Items()), (V{"b", "c"}));
  mru.SetLimit(-5);
  EXPECT_EQ(mru.Limit(), 0);
  EXPECT_EQ(mru.Items()->Count(), 0);
  mru.RememberText("d");
  EXPECT_EQ(mru.Items()->Count(), 0);
}

TEST(MRUListGdTest, MatchesBeginWithTheTextAndPassTheFilter) {
  TMRUListGd mru(nullptr);
  for (const char* t : {"abcdef", "Abc", "xyz", "ab", "音乐一", "音乐二"}) mru.RememberText(t);
  TStringList target;
  target.Add("stale");
  EXPECT_TRUE(mru.CollectMatches(&target, "ABC"));
  EXPECT_EQ(Texts(&target), (V{"abcdef", "Abc"}));
  mru.SetCaseSensitive(true);
  EXPECT_TRUE(mru.CollectMatches(&target, "ab"));
  EXPECT_EQ(Texts(&target), (V{"abcdef", "ab"}));
  EXPECT_TRUE(mru.CollectMatches(&target, "音乐"));
  EXPECT_EQ(Texts(&target), (V{"音乐一", "音乐二"}));
  mru.OnItemFilter = [&](TObject*, bool& Accept) { Accept = !Accept; };
  EXPECT_TRUE(mru.CollectMatches(&target, "音乐"));
  EXPECT_EQ(Texts(&target), (V{"abcdef", "Abc", "xyz", "ab"}));
  EXPECT_TRUE(mru.CollectMatches(&target, ""));
  EXPECT_EQ(target.Count(), 0) << "the filter refused every item";
}

TEST(MRUListGdTest, CollectingStopsAtAWaitingKeyAndLeavesIt) {
  test::THeadlessApp app;
  TMRUListGd mru(nullptr);
  mru.SetLimit(1000);
  for (int i = 0; i < 350; ++i) mru.RememberText("item" + std::to_string(i));
  TStringList target;
  PostThreadMessage(GetCurrentThreadId(), WM_KEYDOWN, 'A', 0);
  EXPECT_FALSE(mru.CollectMatches(&target, "item"));
  EXPECT_EQ(target.Count(), 1) << "checked after the first item";
  MSG msg;
  EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << "the key is still there";
  EXPECT_TRUE(mru.CollectMatches(&target, "item"));
  EXPECT_EQ(target.Count(), 350);
  mru.SetStopOnPendingKey(false);
  PostThreadMessage(GetCurrentThreadId(), WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(mru.CollectMatches(&target, "item"));
  EXPECT_EQ(target.Count(), 350);
  PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
}

TEST(MRUListGdTest, AssignAndTheOwnersEvents) {
  TMRUListGd a(nullptr), b(nullptr);
  a.RememberText("one");
  a.SetLimit(5);
  a.SetRows(3);
  a.SetCaseSensitive(true);
  int activeChanges = 0, dropDowns = 0;
  std::vector<bool> closeUps;
  b.OnActiveChange = [&](TObject*) { ++activeChanges; };
  b.OnSetDropDown = [&](TObject*) { ++dropDowns; };
  b.OnSetCloseUp = [&](TObject*, bool Accept) { closeUps.push_back(Accept); };
  a.SetActive(true);
  b.Assign(&a);
  EXPECT_TRUE(b.Active());
  EXPECT_EQ(activeChanges, 1);
  EXPECT_EQ(Texts(b.Items()), (V{"one"}));
  EXPECT_EQ(b.Limit(), 5);
  EXPECT_EQ(b.Rows(), 3);
  EXPECT_TRUE(b.CaseSensitive());
  b.SetActive(true);
  EXPECT_EQ(activeChanges, 1) << "only a new value is reported";
  b.DropDown();
  b.CloseUp(true);
  b.CloseUp(false);
  EXPECT_EQ(dropDowns, 1);
  EXPECT_EQ(closeUps, (std::vector<bool>{true, false}));
}

}  // namespace
