#include <gtest/gtest.h>

#include "platform/os/MessageLoop.h"
#include "platform/os/Window.h"
#include "platform/rtl/Clock.h"
#include "platform/shell/DragDrop.h"
#include "platform/shell/ShellMenus.h"
#include "tests/support/HeadlessLoop.h"
#include "tests/support/InputDriver.h"

namespace {

// A target that records what it is told and accepts copies.
class RecordingTarget : public IDropTarget {
 public:
  bool QueryInterface(const TGUID& IID, void** Obj) override { return classes::QueryInterfaces<IDropTarget>(this, IID, Obj); }
  HRESULT DragEnter(IDataObject* Data, DWORD, POINTL, DWORD* Effect) override {
    calls.push_back("enter");
    paths = shell::DataObjectPaths(Data);
    *Effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT DragOver(DWORD, POINTL, DWORD* Effect) override {
    if (calls.back() != "over") calls.push_back("over");
    *Effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT DragLeave() override {
    calls.push_back("leave");
    return S_OK;
  }
  HRESULT Drop(IDataObject*, DWORD, POINTL Point, DWORD* Effect) override {
    calls.push_back("drop");
    at = Point;
    *Effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  std::vector<std::string> calls;
  std::vector<std::string> paths;
  POINTL at;
};

class LeftButtonSource : public IDropSource {
 public:
  bool QueryInterface(const TGUID& IID, void** Obj) override { return classes::QueryInterfaces<IDropSource>(this, IID, Obj); }
  HRESULT QueryContinueDrag(BOOL Escape, DWORD Keys) override {
    if (Escape) return DRAGDROP_S_CANCEL;
    return (Keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT GiveFeedback(DWORD Effect) override {
    effects.push_back(Effect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }
  std::vector<DWORD> effects;
};

class DoDragDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASS wc;
    wc.lpszClassName = "DragTestWindow";
    wc.lpfnWndProc = MakeWndProc([](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT { return DefWindowProc(w, m, wp, lp); });
    RegisterClass(wc);
    top = CreateWindowEx(0, "DragTestWindow", "top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    source = CreateWindowEx(0, "DragTestWindow", "a", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top, nullptr, nullptr, nullptr);
    holder = CreateWindowEx(0, "DragTestWindow", "b", WS_CHILD | WS_VISIBLE, 200, 0, 100, 100, top, nullptr, nullptr, nullptr);
    inner = CreateWindowEx(0, "DragTestWindow", "c", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, holder, nullptr, nullptr, nullptr);
    target = std::make_shared<RecordingTarget>();
    ASSERT_EQ(RegisterDragDrop(holder, target), S_OK);
    data = std::make_shared<shell::BlockDataObject>();
    data->Add(CF_HDROP, shell::MakeFileDropList({"/music/a.mp3"}));
    dropSource = std::make_shared<LeftButtonSource>();
  }
  void TearDown() override { DestroyWindow(top); }
  // The button goes down over the source before the drag starts, as a control's drag does.
  void PressOnSource() {
    input.MoveTo(source);
    input.Press();
    loop.RunFor(10);
  }

  test::THeadlessLoop loop;
  test::TInputDriver input;
  HWND top = nullptr, source = nullptr, holder = nullptr, inner = nullptr;
  std::shared_ptr<RecordingTarget> target;
  std::shared_ptr<shell::BlockDataObject> data;
  std::shared_ptr<LeftButtonSource> dropSource;
};

TEST_F(DoDragDropTest, ADropOverAChildGoesToItsParentsTarget) {
  PressOnSource();
  input.MoveTo(holder, {5, 5});
  input.Wait(50);  // moves apart in time are not merged into one
  input.MoveTo(inner);
  input.Wait(50);  // the child has no target of its own: its parent's takes the drag
  input.Release();
  DWORD effect = 0;
  EXPECT_EQ(DoDragDrop(data, dropSource, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect), DRAGDROP_S_DROP);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(target->calls, (std::vector<std::string>{"enter", "over", "drop"}));
  EXPECT_EQ(target->paths, std::vector<std::string>{"/music/a.mp3"});
  TPoint centre = test::TInputDriver::ScreenPoint(inner);
  EXPECT_EQ(target->at.x, centre.X);
  EXPECT_EQ(target->at.y, centre.Y);
  EXPECT_EQ(dropSource->effects.front(), DROPEFFECT_NONE);  // over the source: no target
  EXPECT_EQ(dropSource->effects.back(), DROPEFFECT_COPY);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(shell::DragInProgress());
}

TEST_F(DoDragDropTest, EscapeCancelsAndTheTargetIsLeft) {
  PressOnSource();
  input.MoveTo(holder);
  input.KeyDown(VK_ESCAPE);
  DWORD effect = 7;
  EXPECT_EQ(DoDragDrop(data, dropSource, DROPEFFECT_COPY, &effect), DRAGDROP_S_CANCEL);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(target->calls, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(DoDragDropTest, ADropWhereNoTargetIsDoesNothing) {
  PressOnSource();
  input.MoveTo(holder);
  input.Wait(50);
  input.MoveTo(source);
  input.Wait(50);
  input.Release();
  DWORD effect = 7;
  EXPECT_EQ(DoDragDrop(data, dropSource, DROPEFFECT_COPY, &effect), DRAGDROP_S_DROP);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(target->calls, (std::vector<std::string>{"enter", "leave"}));
}

}  // namespace
