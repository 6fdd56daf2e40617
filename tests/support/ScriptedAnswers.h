#pragma once
// Scripted answers for message boxes, message dialogs and input queries: while a
// TScriptedAnswers lives, no dialog window opens; each one takes the next queued answer and is
// recorded (kind, text, caption, flags, answer).
//
//   test::TScriptedAnswers answers;
//   answers.Answer(IDCANCEL, "真的关闭程序？");   // the next box must contain this text
//   answers.Input("Rock", true);                 // the next InputQuery: types "Rock", OK
//   ... code under test ...
//   EXPECT_EQ(answers.Shown().at(0).Caption, "关闭 Ostrovel");
//
// A box with nothing queued for it fails the test and answers as Esc would (IDOK for an
// OK-only box, else IDCANCEL; mrCancel for MessageDlg and InputQuery), unless SetUnscripted
// gave an answer for such boxes. A queued answer whose expected text the box does not contain,
// or one meant for another kind of dialog, fails the test too. Answers still queued when the
// object ends fail the test. Scripts nest: the innermost one answers, and the one outside
// takes over again when it ends.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/Dialogs.h"

namespace test {

class TScriptedAnswers {
 public:
  TScriptedAnswers();
  ~TScriptedAnswers();
  TScriptedAnswers(const TScriptedAnswers&) = delete;
  TScriptedAnswers& operator=(const TScriptedAnswers&) = delete;

  // The next MessageBox (Result an ID*) or MessageDlg / ShowMessage (Result an mr*).
  // ExpectedText, when given, must be part of the box's text.
  TScriptedAnswers& Answer(int Result, const std::string& ExpectedText = "");
  // The next InputQuery / InputBox: Value typed and OK, or Cancel when !Ok. ExpectedPrompt,
  // when given, must be part of the prompt.
  TScriptedAnswers& Input(const std::string& Value, bool Ok = true, const std::string& ExpectedPrompt = "");
  // What boxes without a queued answer answer, without failing the test (MessageBox and
  // MessageDlg take Result as it is; input queries OK with their value when Result is IDOK /
  // mrOk, else cancel).
  void SetUnscripted(int Result) { FUnscripted = Result; }

  struct TShown {
    dialogs::TDialogRequest Request;
    int Result = 0;
    std::string Value;  // what an input query answered
  };
  const std::vector<TShown>& Shown() const { return FShown; }
  // The texts shown, one a line (for failure messages).
  std::string ShownTexts() const;
  size_t Pending() const { return FQueue.size(); }

 private:
  struct TScripted {
    bool IsInput = false;
    int Result = 0;
    std::string Value;
    std::string Expected;
  };
  dialogs::TDialogAnswer Respond(const dialogs::TDialogRequest& Request);

  std::deque<TScripted> FQueue;
  std::vector<TShown> FShown;
  std::optional<int> FUnscripted;
  dialogs::TAnswerHook FOuter;  // the hook this one replaced, put back at the end
};

}  // namespace test
