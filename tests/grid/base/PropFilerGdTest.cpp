// The stored-property interceptors: the registry and the form's placement.
#include "grid/base/PropFilerGd.h"

#include <gtest/gtest.h>

#include "platform/controls/ExtCtrls.h"
#include "platform/os/WindowPos.h"
#include "tests/support/HeadlessApp.h"

namespace {

class TFirstInterceptor : public TStoragePropertyInterceptor {
 public:
  using TStoragePropertyInterceptor::TStoragePropertyInterceptor;
};
class TSecondInterceptor : public TStoragePropertyInterceptor {
 public:
  using TStoragePropertyInterceptor::TStoragePropertyInterceptor;
  bool WantsIntercept() override { return false; }
};
class TSpecialPanel : public TPanel {
 public:
  using TPanel::TPanel;
};

TEST(PropertyReadInterceptorsTest, ASecondRegistrationForAClassReplacesTheFirst) {
  const auto first = TInterceptorClassGd::Of<TFirstInterceptor>();
  const auto second = TInterceptorClassGd::Of<TSecondInterceptor>();
  AddPropertyReadInterceptor(typeid(TPanel), first);
  AddPropertyReadInterceptor(typeid(TPanel), second);
  ASSERT_NE(PropertyReadInterceptorOf(typeid(TPanel)), nullptr);
  EXPECT_EQ(*PropertyReadInterceptorOf(typeid(TPanel)), second);
  TPanel panel(nullptr);
  auto interceptor = MakePropertyReadInterceptor(&panel);
  ASSERT_NE(interceptor, nullptr);
  EXPECT_FALSE(interceptor->WantsIntercept()) << "made by the second class";
  EXPECT_EQ(interceptor->Target(), &panel);
  // A class without a registration of its own takes its nearest registered ancestor's.
  TSpecialPanel special(nullptr);
  ASSERT_NE(MakePropertyReadInterceptor(&special), nullptr);
  RemovePropertyReadInterceptor(typeid(TPanel), first);
  EXPECT_NE(PropertyReadInterceptorOf(typeid(TPanel)), nullptr) << "only the pair of both classes goes";
  RemovePropertyReadInterceptor(typeid(TPanel), second);
  EXPECT_EQ(PropertyReadInterceptorOf(typeid(TPanel)), nullptr);
  EXPECT_EQ(MakePropertyReadInterceptor(&panel), nullptr);
}

// The form's interceptor on a screen of a chosen resolution.
class TScreenAt : public TFormStoragePropertyInterceptor {
 public:
  TScreenAt(TObject* Target, int PixelsPerInch) : TFormStoragePropertyInterceptor(Target), FScreen(PixelsPerInch) {}

 protected:
  int ScreenPixelsPerInch() const override { return FScreen; }

 private:
  int FScreen;
};

class FormInterceptorTest : public test::HeadlessTest {
 protected:
  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBounds(80, 40, 400, 300);
  }
  TForm* Form = nullptr;
};

TEST_F(FormInterceptorTest, FormsAreRegisteredAndStartFromTheFormsPlacement) {
  auto interceptor = MakePropertyReadInterceptor(Form);
  auto* own = dynamic_cast<TFormStoragePropertyInterceptor*>(interceptor.get());
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->Left(), 80);
  EXPECT_EQ(own->Width(), 400);
  EXPECT_EQ(own->PixelsPerInch(), 96);
  EXPECT_FALSE(own->PositionRead());
  own->SetTop(5);
  EXPECT_TRUE(own->PositionRead());
  EXPECT_EQ(own->Top(), 40) << "the getters read the form as it is";
}

TEST_F(FormInterceptorTest, TheStoredPlacementIsScaledToTheScreensResolution) {
  struct TCase { int Stored, Screen; TRect Bounds; };
  const TCase cases[] = {
      {96, 120, {100, 50, 600, 425}},
      {120, 96, {64, 32, 384, 272}},
      {96, 96, {80, 40, 480, 340}},
      // A stored resolution of 0 is taken as no scaling.
      {0, 120, {80, 40, 480, 340}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Stored << " -> " << c.Screen);
    Form->SetBounds(0, 0, 10, 10);
    TScreenAt interceptor(Form, c.Screen);
    interceptor.SetPixelsPerInch(c.Stored);
    interceptor.SetLeft(80);
    interceptor.SetTop(40);
    interceptor.SetWidth(400);
    interceptor.SetHeight(300);
    interceptor.AfterRead();
    EXPECT_EQ(Form->BoundsRect(), c.Bounds);
  }
}

TEST_F(FormInterceptorTest, AMaximisedFormKeepsItsStateAndGetsTheRectangleToRestoreTo) {
  Form->Show();
  Form->SetWindowState(wsMaximized);
  App.ProcessMessages();
  TScreenAt interceptor(Form, 96);
  interceptor.SetLeft(10);
  interceptor.SetTop(20);
  interceptor.SetWidth(300);
  interceptor.SetHeight(200);
  interceptor.SetWindowState(wsMaximized);
  interceptor.AfterRead();
  EXPECT_EQ(Form->WindowState(), wsMaximized);
  EXPECT_TRUE(IsZoomed(Form->Handle()));
  EXPECT_EQ(ReadNormalPlacement(Form), TRect(10, 20, 310, 220));
  Form->SetWindowState(wsNormal);
  App.ProcessMessages();
  EXPECT_EQ(Form->BoundsRect(), TRect(10, 20, 310, 220));
}

TEST_F(FormInterceptorTest, AReadPositionKeepsACentredFormWhereItWas) {
  Form->SetPosition(poScreenCenter);
  TScreenAt untouched(Form, 96);
  untouched.AfterRead();
  EXPECT_EQ(Form->Position(), poScreenCenter);
  TScreenAt moved(Form, 96);
  moved.SetLeft(30);
  moved.AfterRead();
  EXPECT_EQ(Form->Position(), poDesigned);
  EXPECT_EQ(Form->Left(), 30);
}

}  // namespace
