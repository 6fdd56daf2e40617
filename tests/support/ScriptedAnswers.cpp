#include "tests/support/ScriptedAnswers.h"

#include <gtest/gtest.h>

#include "platform/controls/Forms.h"

namespace test {

namespace {

const char* KindName(dialogs::TDialogKind Kind) {
  switch (Kind) {
    case dialogs::TDialogKind::MessageBox: return "message box";
    case dialogs::TDialogKind::MessageDlg: return "message dialog";
    default: return "input query";
  }
}

// What Esc would answer.
int EscapeAnswer(const dialogs::TDialogRequest& R) {
  if (R.Kind == dialogs::TDialogKind::MessageBox) return (R.Flags & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
  return mrCancel;
}

}  // namespace

TScriptedAnswers::TScriptedAnswers() : FOuter(dialogs::AnswerHook()) {
  dialogs::SetAnswerHook([this](const dialogs::TDialogRequest& R) { return Respond(R); });
}

TScriptedAnswers::~TScriptedAnswers() {
  dialogs::SetAnswerHook(FOuter);
  for (const TScripted& s : FQueue)
    ADD_FAILURE() << "a scripted answer was not used: " << (s.IsInput ? "input \"" + s.Value + "\"" : std::to_string(s.Result))
                  << (s.Expected.empty() ? "" : " for \"" + s.Expected + "\"") << "\nshown:\n"
                  << ShownTexts();
}

TScriptedAnswers& TScriptedAnswers::Answer(int Result, const std::string& ExpectedText) {
  FQueue.push_back({false, Result, "", ExpectedText});
  return *this;
}

TScriptedAnswers& TScriptedAnswers::Input(const std::string& Value, bool Ok, const std::string& ExpectedPrompt) {
  FQueue.push_back({true, Ok ? mrOk : mrCancel, Value, ExpectedPrompt});
  return *this;
}

std::string TScriptedAnswers::ShownTexts() const {
  std::string out;
  for (const TShown& s : FShown) out += std::string(KindName(s.Request.Kind)) + " \"" + s.Request.Text + "\"\n";
  return out;
}

dialogs::TDialogAnswer TScriptedAnswers::Respond(const dialogs::TDialogRequest& R) {
  const bool input = R.Kind == dialogs::TDialogKind::InputQuery;
  dialogs::TDialogAnswer answer;
  if (FQueue.empty()) {
    if (FUnscripted) {
      answer.Result = *FUnscripted;
      if (input && (answer.Result == mrOk)) answer.Value = R.Value;
    } else {
      ADD_FAILURE() << "an unexpected " << KindName(R.Kind) << ": \"" << R.Text << "\" (" << R.Caption << ")";
      answer.Result = EscapeAnswer(R);
    }
  } else {
    TScripted s = FQueue.front();
    FQueue.pop_front();
    if (s.IsInput != input)
      ADD_FAILURE() << "the scripted answer was meant for " << (s.IsInput ? "an input query" : "a message box")
                    << ", but a " << KindName(R.Kind) << " came: \"" << R.Text << "\"";
    if (!s.Expected.empty() && R.Text.find(s.Expected) == std::string::npos)
      ADD_FAILURE() << "expected a " << KindName(R.Kind) << " with \"" << s.Expected << "\", but it says \"" << R.Text
                    << "\"";
    answer.Result = s.Result;
    if (input) answer.Value = s.Result == mrOk ? s.Value : R.Value;
  }
  FShown.push_back({R, answer.Result, answer.Value});
  return answer;
}

}  // namespace test
