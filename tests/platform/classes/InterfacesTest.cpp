#include "platform/classes/Interfaces.h"

#include <gtest/gtest.h>

#include "platform/classes/Component.h"

namespace {

class IPopupHost : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{B64255B5-386A-4524-8BC7-7F49DDB410F4}");
  virtual void CloseUp(bool Accept) = 0;
};

class IFrameClient : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{64b1c9ea-c954-428a-95c4-4ea2eb0f1e16}");
  virtual void ApplyFrameController() = 0;
};

class IUnused : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{A8C3C87A-E556-4BDB-B8A7-5B33497D1624}");
};

// A component implementing two interfaces; its component base comes first.
class TEditor : public TComponent, public IPopupHost, public IFrameClient {
 public:
  TEditor() : TComponent(nullptr) {}
  bool QueryInterface(const TGUID& IID, void** Obj) override {
    return classes::QueryInterfaces<IPopupHost, IFrameClient>(this, IID, Obj);
  }
  void CloseUp(bool Accept) override { Closed = Accept ? 1 : 2; }
  void ApplyFrameController() override { ++Applied; }
  int Closed = 0;
  int Applied = 0;
};

static_assert(IPopupHost::IID.D1 == 0xB64255B5u && IPopupHost::IID.D4[7] == 0xF4);
static_assert(IFrameClient::IID == TGUID::Parse("{64B1C9EA-C954-428A-95C4-4EA2EB0F1E16}"));
static_assert(!(IFrameClient::IID == IPopupHost::IID));

TEST(Interfaces, GuidTextRoundTripAndErrors) {
  EXPECT_EQ(IFrameClient::IID.ToString(), "{64B1C9EA-C954-428A-95C4-4EA2EB0F1E16}");
  EXPECT_EQ(StringToGUID(GUIDToString(IPopupHost::IID)), IPopupHost::IID);
  for (const char* bad : {"", "64B1C9EA-C954-428A-95C4-4EA2EB0F1E16", "{64B1C9EA-C954-428A-95C4-4EA2EB0F1E1G}",
                          "{64B1C9EA+C954-428A-95C4-4EA2EB0F1E16}", "{64B1C9EA-C954-428A-95C4-4EA2EB0F1E16"}) {
    EXPECT_THROW(StringToGUID(bad), EConvertError) << bad;
  }
}

TEST(Interfaces, SupportsFindsImplementedInterfaces) {
  TEditor editor;
  TObject* obj = &editor;

  IPopupHost* host = Supports<IPopupHost>(obj);
  ASSERT_NE(host, nullptr);
  host->CloseUp(true);
  EXPECT_EQ(editor.Closed, 1);

  IFrameClient* client = nullptr;
  ASSERT_TRUE(Supports(obj, client));
  client->ApplyFrameController();
  EXPECT_EQ(editor.Applied, 1);

  void* raw = &editor;
  EXPECT_FALSE(Supports(obj, IUnused::IID, &raw));
  EXPECT_EQ(raw, nullptr);
  EXPECT_TRUE(Supports(&editor, IInterface::IID));
  EXPECT_TRUE(GetInterface(obj, IFrameClient::IID, &raw));
  EXPECT_EQ(static_cast<IFrameClient*>(raw), client);

  // From one interface to another of the same object.
  EXPECT_EQ(Supports<IFrameClient>(host), client);
}

TEST(Interfaces, ObjectsWithoutInterfacesAndNil) {
  TComponent plain(nullptr);
  EXPECT_EQ(Supports<IPopupHost>(&plain), nullptr);
  TObject* none = nullptr;
  EXPECT_FALSE(Supports(none, IPopupHost::IID));
  TEditor other;
  IPopupHost* host = &other;  // the out parameter is cleared when not supported
  EXPECT_FALSE(Supports(static_cast<TObject*>(nullptr), host));
  EXPECT_EQ(host, nullptr);
}

}  // namespace
