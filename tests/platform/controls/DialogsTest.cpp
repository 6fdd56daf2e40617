#include "platform/controls/Dialogs.h"

#include <gtest/gtest-spi.h>

#include "platform/controls/ButtonCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/StdLabels.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Presenter.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/ScriptedAnswers.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

class DialogsTest : public ControlTest {
 protected:
  // Runs Act on the box once it is up (50 ms after the call that shows it), then again every
  // 50 ms until the box is gone (Act may decide to do nothing the next times).
  void WhenShown(std::function<void(TCustomForm* Box)> Act) {
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetInterval(50);
    FTimer->OnTimer = [this, Act](TObject*) {
      TCustomForm* box = Screen->ActiveCustomForm();
      if (box && box != Form && box->Visible()) Act(box);
    };
  }
  static TButton* ButtonOf(TCustomForm* Box, int Result) {
    for (int i = 0; i < Box->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TButton*>(Box->Controls(i)); b && b->ModalResult() == Result) return b;
    return nullptr;
  }
  static std::vector<int> ResultsOf(TCustomForm* Box) {
    std::vector<int> r;
    for (int i = 0; i < Box->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TButton*>(Box->Controls(i))) r.push_back(b->ModalResult());
    return r;
  }

  std::unique_ptr<TTimer> FTimer;
};

TEST_F(DialogsTest, AMessageBoxAnswersTheButtonChosenByMouseOrKeyboard) {
  ShowForm();
  struct TCase {
    const char* Name;
    UINT Flags;
    std::vector<int> Buttons;
    std::function<void(test::TInputDriver&, TCustomForm*)> Act;
    int Expected;
  };
  auto click = [](int Result) {
    return [Result](test::TInputDriver& In, TCustomForm* Box) { In.Click(ButtonOf(Box, Result)->Handle()); };
  };
  auto key = [](UINT Key) { return [Key](test::TInputDriver& In, TCustomForm*) { In.Key(Key); }; };
  auto close = [](test::TInputDriver&, TCustomForm* Box) { PostMessage(Box->Handle(), WM_CLOSE, 0, 0); };
  const std::vector<TCase> cases = {
      {"click No", MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, click(IDNO), IDNO},
      {"Enter on the first", MB_OKCANCEL, {IDOK, IDCANCEL}, key(VK_RETURN), IDOK},
      {"Enter on the second", MB_YESNO | MB_DEFBUTTON2, {IDYES, IDNO}, key(VK_RETURN), IDNO},
      {"Enter on the third", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, key(VK_RETURN), IDIGNORE},
      {"Esc with a cancel", MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, key(VK_ESCAPE), IDCANCEL},
      {"Esc on OK only", MB_OK, {IDOK}, key(VK_ESCAPE), IDOK},
      {"closed with a cancel", MB_OKCANCEL | MB_ICONQUESTION, {IDOK, IDCANCEL}, close, IDCANCEL},
      {"closed with OK only", MB_OK | MB_ICONERROR, {IDOK}, close, IDOK},
      {"accelerator", MB_YESNO, {IDYES, IDNO}, key('N'), IDNO},
  };
  for (const TCase& c : cases) {
    std::vector<int> buttons;
    bool acted = false;
    WhenShown([&](TCustomForm* Box) {
      if (acted) return;
      acted = true;
      buttons = ResultsOf(Box);
      c.Act(Input, Box);
    });
    EXPECT_EQ(MessageBox(Form->Handle(), "Text", "Caption", c.Flags), c.Expected) << c.Name;
    EXPECT_EQ(buttons, c.Buttons) << c.Name;
  }
}

TEST_F(DialogsTest, ABoxWithoutCancelIgnoresEscAndClosing) {
  ShowForm();
  int step = 0;
  WhenShown([&](TCustomForm* Box) {
    switch (step++) {
      case 0: Input.Key(VK_ESCAPE); break;
      case 1: PostMessage(Box->Handle(), WM_CLOSE, 0, 0); break;
      case 2: Input.Click(ButtonOf(Box, IDYES)->Handle()); break;
    }
  });
  EXPECT_EQ(MessageBox(Form->Handle(), "Delete?", "", MB_YESNO), IDYES);
  EXPECT_EQ(step, 3) << "Esc and closing left the box up";
}

TEST_F(DialogsTest, TheBoxFitsItsWrappedTextIsCentredAndStaysAboveItsOwner) {
  ShowForm();
  const std::string longText(40, 'x');
  std::string many;
  for (int i = 0; i < 60; ++i) many += "播放异常 word ";
  TRect shortBox, longBox;
  HWND owner = nullptr;
  bool above = false, timersRan = false;
  TTimer other(nullptr);
  other.SetInterval(20);
  other.OnTimer = [&](TObject*) { timersRan = true; };
  WhenShown([&](TCustomForm* Box) {
    GetWindowRect(Box->Handle(), shortBox.Width() ? &longBox : &shortBox);
    owner = GetWindow(Box->Handle(), GW_OWNER);
    above = GetWindow(Box->Handle(), GW_HWNDNEXT) == Form->Handle() || GetWindow(Form->Handle(), GW_HWNDPREV) == Box->Handle();
    Input.Key(VK_RETURN);
  });
  Application->MessageBox("Short", "Caption", MB_OK | MB_ICONINFORMATION);
  Application->MessageBox(many, "Caption", MB_OK | MB_ICONINFORMATION);
  EXPECT_EQ(owner, Form->Handle()) << "owned by the active form";
  EXPECT_TRUE(above);
  EXPECT_TRUE(timersRan) << "the loop runs while the box is up";
  EXPECT_LT(shortBox.Width(), 250);
  EXPECT_GT(longBox.Height(), shortBox.Height() + 30) << "long text wraps onto more lines";
  EXPECT_LE(longBox.Width(), Screen->Width() * 5 / 8 + 20);
  const TRect formRect = Form->BoundsRect();
  const TPoint centre{(formRect.Left + formRect.Right) / 2, (formRect.Top + formRect.Bottom) / 2};
  EXPECT_NEAR((shortBox.Left + shortBox.Right) / 2, centre.X, 1) << "centred on its owner";
  EXPECT_NEAR((shortBox.Top + shortBox.Bottom) / 2, centre.Y, 1);
}

TEST_F(DialogsTest, MessageDlgAnswersModalResultsWithDefaultAndCancelButtons) {
  ShowForm();
  struct TCase {
    TMsgDlgButtons Buttons;
    std::function<void(test::TInputDriver&, TCustomForm*)> Act;
    int Expected;
  };
  const std::vector<TCase> cases = {
      {{mbYes, mbNo, mbAll}, [](test::TInputDriver& In, TCustomForm* B) { In.Click(ButtonOf(B, mrAll)->Handle()); }, mrAll},
      {{mbYes, mbNo, mbAll}, [](test::TInputDriver& In, TCustomForm*) { In.Key(VK_ESCAPE); }, mrNo},
      {{mbYes, mbNo, mbAll}, [](test::TInputDriver& In, TCustomForm*) { In.Key(VK_RETURN); }, mrYes},
      {mbOKCancel, [](test::TInputDriver& In, TCustomForm*) { In.Key(VK_ESCAPE); }, mrCancel},
      {mbOKCancel, [](test::TInputDriver& In, TCustomForm*) { In.Key(VK_RETURN); }, mrOk},
      {mbYesNoCancel, [](test::TInputDriver&, TCustomForm* B) { PostMessage(B->Handle(), WM_CLOSE, 0, 0); }, mrCancel},
  };
  for (const TCase& c : cases) {
    bool acted = false;
    WhenShown([&](TCustomForm* Box) {
      if (!acted) c.Act(Input, Box);
      acted = true;
    });
    EXPECT_EQ(MessageDlg("插入值过程中出错:\n忽略错误?", mtConfirmation, c.Buttons, 0), c.Expected);
  }
  Application->SetTitle("Ostrovel");
  std::string caption;
  WhenShown([&](TCustomForm* Box) {
    caption = Box->Caption();
    Input.Key(VK_RETURN);
  });
  ShowMessage("Done");
  EXPECT_EQ(caption, "Ostrovel");
}

TEST_F(DialogsTest, ScriptedAnswersReplaceTheWindowsAndRecordEveryBox) {
  test::TScriptedAnswers answers;
  answers.Answer(IDCANCEL, "真的关闭程序？").Answer(mrAll);
  EXPECT_EQ(Application->MessageBox("真的关闭程序？", "关闭 Ostrovel", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
  EXPECT_EQ(MessageDlg("忽略错误?", mtError, {mbYes, mbNo, mbAll}, 0), mrAll);
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[0].Request.Caption, "关闭 Ostrovel");
  EXPECT_EQ(answers.Shown()[0].Request.Flags, MB_OKCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(answers.Shown()[0].Result, IDCANCEL);
  EXPECT_EQ(answers.Shown()[1].Request.Kind, dialogs::TDialogKind::MessageDlg);
  EXPECT_TRUE(answers.Shown()[1].Request.Buttons.Contains(mbAll));
  EXPECT_EQ(answers.Pending(), 0u);
  EXPECT_EQ(Screen->CustomFormCount(), 1) << "no box window was made";

  EXPECT_NONFATAL_FAILURE(
      {
        test::TScriptedAnswers inner;
        inner.Answer(IDOK, "another text");
        MessageBox(nullptr, "This text", "", MB_OK);
      },
      "another text");
  EXPECT_NONFATAL_FAILURE(
      {
        test::TScriptedAnswers inner;
        EXPECT_EQ(MessageBox(nullptr, "Nobody expects this", "", MB_OKCANCEL), IDCANCEL);
      },
      "Nobody expects this");
  EXPECT_NONFATAL_FAILURE({ test::TScriptedAnswers inner; inner.Answer(IDOK, "never shown"); }, "never shown");
  answers.Input("Rock").Input("ignored", false, "Category");
  std::string value = "Pop";
  EXPECT_TRUE(InputQuery("Music", "Category name", value));
  EXPECT_EQ(value, "Rock");
  EXPECT_EQ(InputBox("Music", "Category name", "Pop"), "Pop") << "cancelled: the default";
  EXPECT_EQ(answers.Shown().back().Request.Value, "Pop") << "the value offered is recorded";

  test::TScriptedAnswers lenient;
  lenient.SetUnscripted(IDYES);
  EXPECT_EQ(MessageBox(nullptr, "Any", "", MB_YESNO), IDYES);
}

TEST_F(DialogsTest, AnInputQueryOffersTheValueSelectedAndTakesWhatIsTypedOnlyOnOk) {
  ShowForm();
  struct TCase {
    const char* Name;
    std::function<void(test::TInputDriver&, TCustomForm*)> Act;
    bool Ok;
    const char* Value;
  };
  auto typeThen = [](const char* Text, std::function<void(test::TInputDriver&, TCustomForm*)> Then) {
    return [Text, Then](test::TInputDriver& In, TCustomForm* Box) {
      In.Type(Text);
      Then(In, Box);
    };
  };
  auto key = [](UINT Key) { return [Key](test::TInputDriver& In, TCustomForm*) { In.Key(Key); }; };
  auto click = [](int Result) {
    return [Result](test::TInputDriver& In, TCustomForm* Box) { In.Click(ButtonOf(Box, Result)->Handle()); };
  };
  auto close = [](test::TInputDriver&, TCustomForm* Box) { PostMessage(Box->Handle(), WM_CLOSE, 0, 0); };
  auto append = [](test::TInputDriver& In, TCustomForm* Box) {
    In.Key(VK_END);
    In.Type(" Rock");
    In.Click(ButtonOf(Box, mrOk)->Handle());
  };
  const std::vector<TCase> cases = {
      {"typed over the selection, Enter", typeThen("Jazz", key(VK_RETURN)), true, "Jazz"},
      {"appended, OK clicked", append, true, "Pop Rock"},
      {"nothing typed, Enter", key(VK_RETURN), true, "Pop"},
      {"typed, Esc", typeThen("Jazz", key(VK_ESCAPE)), false, "Pop"},
      {"typed, Cancel clicked", typeThen("Jazz", click(mrCancel)), false, "Pop"},
      {"typed, closed", typeThen("Jazz", close), false, "Pop"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string caption, prompt, selected;
    bool acted = false;
    WhenShown([&](TCustomForm* Box) {
      if (acted) return;
      acted = true;
      caption = Box->Caption();
      for (int i = 0; i < Box->ControlCount(); ++i)
        if (auto* label = dynamic_cast<TLabel*>(Box->Controls(i))) prompt = label->Caption();
      if (auto* edit = dynamic_cast<TEdit*>(Box->ActiveControl()); edit && edit->Focused()) selected = edit->SelText();
      c.Act(Input, Box);
    });
    std::string value = "Pop";
    EXPECT_EQ(InputQuery("Music", "Category &name:", value), c.Ok);
    EXPECT_EQ(value, c.Value);
    EXPECT_EQ(caption, "Music");
    EXPECT_EQ(prompt, "Category &name:");
    EXPECT_EQ(selected, "Pop");  // the edit has the focus and the whole value selected
  }
  EXPECT_EQ(Screen->CustomFormCount(), 1) << "every box is freed";

  bool acted = false;
  WhenShown([&](TCustomForm*) {
    if (acted) return;
    acted = true;
    Input.Type("ignored");
    Input.Key(VK_ESCAPE);
  });
  EXPECT_EQ(InputBox("Music", "Category name", "Pop"), "Pop") << "cancelled: the default";
}

TEST_F(DialogsTest, SnapshotOfAnInputQuery) {
  ShowForm();
  WhenShown([&](TCustomForm* Box) {
    App.RunFor(controls::CaretBlinkTime + 10);
    EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Box->Handle()), "controls-input-query", 24, 200));
    Input.Key(VK_ESCAPE);
  });
  std::string value = "背景音乐";
  EXPECT_FALSE(InputQuery("Ostrovel", "请输入新的音乐类别名称：", value));
}

TEST_F(DialogsTest, SnapshotsOfEachIcon) {
  struct TCase {
    const char* Name;
    UINT Flags;
    const char* Text;
  };
  const TCase cases[] = {
      {"error", MB_OK | MB_ICONERROR, "系统初始化失败！读取\rThe file VN.dll could not be opened."},
      {"question", MB_OKCANCEL | MB_ICONQUESTION, "真的关闭程序？"},
      {"warning", MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2, "Save the changes to the playlist?"},
      {"information", MB_OK | MB_ICONINFORMATION,
       "系统播放异常！\r\r稍后程序自动关闭并重新运行。 A longer line of text that has to wrap because it runs far wider "
       "than five eighths of the screen allows for a message box, so it goes on."},
  };
  for (const TCase& c : cases) {
    WhenShown([&](TCustomForm* Box) {
      Application->ProcessMessages();
      EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Box->Handle()),
                                        std::string("controls-message-box-") + c.Name, 24, 300));
      Input.Key(VK_ESCAPE);
      Input.Click(ButtonOf(Box, ButtonOf(Box, IDCANCEL) ? IDCANCEL : IDOK)->Handle());
    });
    MessageBox(nullptr, c.Text, "Ostrovel", c.Flags);
  }
}

}  // namespace
