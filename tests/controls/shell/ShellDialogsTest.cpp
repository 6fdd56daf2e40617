// The shell dialogs: settings from a definition, Execute with its window (typed path, OK,
// Cancel), the re-entry guard and the runner that answers in place of the window.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "controls/shell/FcShellDialogs.h"
#include "platform/classes/Filer.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"

namespace {

class TDialogForm : public TForm {
 public:
  using TForm::TForm;
  TFcOpenDialog* FcOpenDialog1 = nullptr;
  TFcSelectFolderDialog* FcSelectFolderDialog1 = nullptr;
};

const classes::TPublished<TDialogForm, TForm> DialogFormInfo([](auto& p) {
  p.Field("FcOpenDialog1", &TDialogForm::FcOpenDialog1);
  p.Field("FcSelectFolderDialog1", &TDialogForm::FcSelectFolderDialog1);
});

class ShellDialogsTest : public test::HeadlessTest {
 protected:
  ShellDialogsTest() : Form(std::make_unique<TDialogForm>(nullptr)) {
    ReadComponentText(Form.get(), R"(object DialogForm: TDialogForm
  object FcOpenDialog1: TFcOpenDialog
    Filter = #38899#39057#25991#20214'(*.mp3;*.wma;*.wav;*.mid)|*.mp3;*.wma;*.wav;*.mid'
    Options = [osoAllowMultiselect, osoHideReadOnly, osoAllowTree, osoShowHints, osoOleDrag, osoOleDrop, osoShowHidden]
  end
  object FcSelectFolderDialog1: TFcSelectFolderDialog
  end
end
)");
    std::ofstream(App.PathInExeDir("a.mp3")) << "x";
    std::ofstream(App.PathInExeDir("b.wav")) << "x";
  }
  ~ShellDialogsTest() override { fc::SetShellDialogRunner(nullptr); }
  // Types Text into the dialog's window and presses Enter (OK) or Esc (Cancel) once it runs.
  void Answer(const std::string& Text, bool Ok) {
    Input.Wait(50);
    Input.Type(Text);
    Input.Key(Ok ? VK_RETURN : VK_ESCAPE);
  }
  std::unique_ptr<TDialogForm> Form;
  test::TInputDriver Input;
};

TEST_F(ShellDialogsTest, TheDefinitionSetsFilterAndOptions) {
  EXPECT_EQ(Form->FcOpenDialog1->Filter(), "音频文件(*.mp3;*.wma;*.wav;*.mid)|*.mp3;*.wma;*.wav;*.mid");
  EXPECT_TRUE(Form->FcOpenDialog1->Options().Contains(osoAllowMultiselect));
  EXPECT_FALSE(Form->FcOpenDialog1->Options().Contains(osoFileMustExist));
}

TEST_F(ShellDialogsTest, OkGivesTheTypedFilesAndCancelGivesFalse) {
  TFcOpenDialog* dialog = Form->FcOpenDialog1;
  Answer(App.PathInExeDir("a.mp3") + ";" + App.PathInExeDir("b.wav"), true);
  ASSERT_TRUE(dialog->Execute());
  ASSERT_EQ(dialog->Files()->Count(), 2);
  EXPECT_EQ(dialog->Files()->Strings(0), App.PathInExeDir("a.mp3"));
  EXPECT_EQ(dialog->Files()->Strings(1), App.PathInExeDir("b.wav"));
  EXPECT_FALSE(dialog->Busy());

  Answer("whatever", false);
  EXPECT_FALSE(dialog->Execute());
}

TEST_F(ShellDialogsTest, TheFolderDialogTakesOnlyAFolderThatExists) {
  TFcSelectFolderDialog* dialog = Form->FcSelectFolderDialog1;
  Answer(App.ExeDir() + "missing", true);  // refused: the window stays
  Input.Wait(50);
  Input.Key(VK_ESCAPE);
  EXPECT_FALSE(dialog->Execute());
  Answer(App.ExeDir(), true);
  ASSERT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->GetSelectedPathName() + "/", App.ExeDir());
}

TEST_F(ShellDialogsTest, ARunningDialogRefusesASecondExecute) {
  std::string message;
  fc::SetShellDialogRunner([&message](TFcShellDialog* Dialog) {
    try {
      Dialog->Execute();
    } catch (const Exception& e) {
      message = e.Message();
    }
    static_cast<TFcOpenDialog*>(Dialog)->Files()->Add("/x.mp3");
    return true;
  });
  EXPECT_TRUE(Form->FcOpenDialog1->Execute());
  EXPECT_EQ(message, "TFcOpenDialog already executing");
  EXPECT_EQ(Form->FcOpenDialog1->FileName(), "/x.mp3");
}

}  // namespace
