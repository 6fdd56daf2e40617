#include "platform/classes/Filer.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "FilerTestComponents.h"

using namespace filertest;

namespace {

// A form with every kind of value, written exactly as the writer writes it.
const char* const kForm =
    "object Form1: TTestForm\n"
    "  Tag = 7\n"
    "  Left = 10\n"
    "  Big = 5000000000\n"
    "  Caption = 'It''s '#13#10'ok \xE4\xBD\xA0\xE5\xA5\xBD'\n"
    "  Visible = False\n"
    "  Align = taClient\n"
    "  Anchors = [akLeft, akRight]\n"
    "  Color = clRed\n"
    "  Ratio = 0.25\n"
    "  Font.Name = 'Serif'\n"
    "  Font.Size = 12\n"
    "  Font.Color = clRed\n"
    "  Font.Style = [fsBold, fsUnderline]\n"
    "  Lines.Strings = (\n"
    "    'first'\n"
    "    'second')\n"
    "  PopupMenu = PopupMenu1\n"
    "  OnClick = Button1Click\n"
    "  Data = {\n"
    "    00FF7F}\n"
    "  object PopupMenu1: TTestMenu\n"
    "    object N1: TTestMenuItem\n"
    "      Caption = 'File'\n"
    "      object N19: TTestMenuItem\n"
    "        Caption = 'Exit'\n"
    "        Checked = True\n"
    "        OnClick = N19Click\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "  object Timer1: TTestTimer\n"
    "    Interval = 250\n"
    "    Enabled = False\n"
    "    Schedule = <\n"
    "      item\n"
    "        FieldName = 'x'\n"
    "      end>\n"
    "    OnTimer = Timer1Timer\n"
    "  end\n"
    "  object Panel1: TTestControl\n"
    "    Color = -5\n"
    "    FocusControl = Button1\n"
    "    object Button1: TTestControl\n"
    "      PasswordChar = '\xE2\x97\x8F'\n"
    "      Ratio = 1.5\n"
    "      OnClick = Button1Click\n"
    "    end\n"
    "  end\n"
    "  object Grid1: TTestGrid\n"
    "    Visible = True\n"
    "    Columns = <\n"
    "      item\n"
    "        FieldName = 'a'\n"
    "        PopupMenu = PopupMenu1\n"
    "      end\n"
    "      item\n"
    "        Width = 80\n"
    "      end>\n"
    "    Extra = 3\n"
    "  end\n"
    "end\n";

std::string ReadError(TComponent* Root, const std::string& Text) {
  try {
    ReadComponentText(Root, Text, "Form.txt");
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no error";
}

TTestControl* Control(TComponent* Root, const char* Name) {
  return dynamic_cast<TTestControl*>(Root->FindComponent(Name));
}

class FilerTest : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
};

}  // namespace

TEST_F(FilerTest, ReadsEveryValueKindAndWritesTheSameText) {
  TTestForm form(nullptr);
  ReadComponentText(&form, kForm, "Form1.txt");

  EXPECT_EQ(form.Name(), "Form1");
  EXPECT_EQ(form.Tag(), 7);
  EXPECT_EQ(form.Big(), 5000000000);
  EXPECT_EQ(form.Caption(), "It's \r\nok \xE4\xBD\xA0\xE5\xA5\xBD");
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(form.Align(), taClient);
  EXPECT_EQ(form.Anchors(), (1u << akLeft) | (1u << akRight));
  EXPECT_EQ(form.Color(), clRed);
  EXPECT_DOUBLE_EQ(form.Ratio(), 0.25);
  EXPECT_EQ(form.Font()->Name(), "Serif");
  EXPECT_EQ(form.Font()->Size(), 12);
  EXPECT_EQ(form.Font()->Style(), (1u << fsBold) | (1u << fsUnderline));
  ASSERT_EQ(form.Lines()->Count(), 2);
  EXPECT_EQ(form.Lines()->Strings(1), "second");
  EXPECT_EQ(form.Data(), std::string("\x00\xFF\x7F", 3));
  EXPECT_EQ(form.PopupMenu(), form.PopupMenu1);
  EXPECT_EQ(Control(&form, "Panel1")->Color(), -5);
  auto* grid = dynamic_cast<TTestGrid*>(form.FindComponent("Grid1"));
  ASSERT_NE(grid, nullptr);
  ASSERT_EQ(grid->Columns()->Count(), 2);
  auto* col0 = static_cast<TTestColumn*>(grid->Columns()->Items(0));
  EXPECT_EQ(col0->FieldName(), "a");
  EXPECT_EQ(col0->Width(), 64);
  EXPECT_EQ(col0->PopupMenu(), form.PopupMenu1);
  EXPECT_EQ(static_cast<TTestColumn*>(grid->Columns()->Items(1))->Width(), 80);
  EXPECT_EQ(grid->Extra(), 3);

  EXPECT_EQ(WriteComponentText(&form), kForm);
}

TEST_F(FilerTest, VariantValuesKeepTheirKind) {
  struct Case {
    const char* Text;
    TVarType Type;
  };
  const Case cases[] = {{"Null", varNull},         {"5", varInteger},          {"5000000000", varInt64},
                        {"1.5", varDouble},         {"2.5s", varSingle},        {"1.25c", varCurrency},
                        {"45000.5d", varDate},      {"'text'", varString},      {"True", varBoolean}};
  for (const Case& c : cases) {
    std::string text = std::string(
                           "object Form1: TTestForm\n"
                           "  object Grid1: TTestGrid\n"
                           "    Columns = <\n"
                           "      item\n"
                           "        Value = ") +
                       c.Text +
                       "\n"
                       "      end>\n"
                       "  end\n"
                       "end\n";
    TTestForm form(nullptr);
    ReadComponentText(&form, text);
    auto* grid = dynamic_cast<TTestGrid*>(form.FindComponent("Grid1"));
    const Variant& v = static_cast<TTestColumn*>(grid->Columns()->Items(0))->Value();
    EXPECT_EQ(VarType(v), c.Type) << c.Text;
    EXPECT_EQ(WriteComponentText(&form), text);
  }
}

TEST_F(FilerTest, FormLoadsItsTreeBindsFieldsAndFiresHandlers) {
  TTestForm form(nullptr);
  ReadComponentText(&form, kForm, "Form1.txt");

  // Fields point at the components of their names; children sit in their parents.
  ASSERT_NE(form.Panel1, nullptr);
  ASSERT_NE(form.Button1, nullptr);
  ASSERT_NE(form.Timer1, nullptr);
  EXPECT_EQ(form.Panel1->Owner(), &form);
  EXPECT_EQ(form.Button1->Owner(), &form);
  EXPECT_EQ(form.Button1->Parent(), form.Panel1);
  EXPECT_EQ(form.Panel1->Parent(), &form);
  EXPECT_EQ(form.Panel1->FocusControl(), form.Button1);  // a reference to a later component
  ASSERT_EQ(form.PopupMenu1->Count(), 1);
  TTestMenuItem* n1 = form.PopupMenu1->Items(0);
  ASSERT_EQ(n1->Count(), 1);
  TTestMenuItem* n19 = n1->Items(0);
  EXPECT_EQ(n19->Name(), "N19");
  EXPECT_TRUE(n19->Checked());
  EXPECT_EQ(form.Timer1->Interval(), 250);
  EXPECT_EQ(form.Button1->PasswordChar(), U'\u25CF');
  ASSERT_EQ(form.Timer1->Schedule()->Count(), 1);
  EXPECT_EQ(static_cast<TTestColumn*>(form.Timer1->Schedule()->Items(0))->FieldName(), "x");

  // Loaded ran once per component, in reading order, still loading and with references resolved.
  EXPECT_EQ(Log(), (std::vector<std::string>{"Loaded Form1", "Loaded Timer1", "Loaded Panel1", "Loaded Button1",
                                             "Loaded Grid1"}));
  EXPECT_TRUE(form.LoadingInLoaded);
  EXPECT_FALSE(form.ReadingInLoaded);
  EXPECT_EQ(form.PopupInLoaded, form.PopupMenu1);
  for (int i = 0; i < form.ComponentCount(); ++i)
    EXPECT_EQ(form.Components(i)->ComponentState() & (csLoading | csReading), 0u) << form.Components(i)->Name();

  Log().clear();
  form.Button1->Click();
  n19->Click();
  form.Timer1->Tick();
  form.Click();
  form.Panel1->Click();  // not bound
  EXPECT_EQ(Log(), (std::vector<std::string>{"Button1Click Button1", "N19Click N19", "Timer1Timer Timer1",
                                             "Button1Click Form1"}));

  // Freeing a component clears the field that named it and the references to it.
  delete form.PopupMenu1;
  EXPECT_EQ(form.PopupMenu1, nullptr);
  EXPECT_EQ(form.PopupMenu(), nullptr);
}

TEST_F(FilerTest, ErrorsNameTheLineAndWhatWentWrong) {
  struct Case {
    const char* Body;
    const char* Message;
  };
  const Case cases[] = {
      {"  Left 5\n", "Form.txt(2): '=' expected but '5' found"},
      {"  object X: TNoSuchClass\n  end\n", "Form.txt(2): Class TNoSuchClass not found"},
      {"  object X: TTestFont\n  end\n", "Form.txt(2): Class TTestFont cannot be created as a component"},
      {"  object X: TOrphan\n  end\n",
       "Form.txt(2): Class TOrphan cannot be read: its base class TUnregisteredBase is not registered"},
      {"  Foo = 1\n", "Form.txt(2): Error reading Form1.Foo: Property Foo does not exist"},
      {"  Font.Bogus = (1 2)\n", "Form.txt(2): Error reading Form1.Font.Bogus: Property Bogus does not exist"},
      {"  Tag.Bogus = 1\n", "Form.txt(2): Error reading Form1.Tag.Bogus: Property Tag does not exist"},
      {"  object P: TTestControl\n    OnClick = NoSuchHandler\n  end\n",
       "Form.txt(3): Error reading P.OnClick: Handler NoSuchHandler not found in TTestForm"},
      {"  OnClick = FormKeyPress\n", "Form.txt(2): Error reading Form1.OnClick: Handler FormKeyPress does not fit event OnClick"},
      {"  PopupMenu = Missing1\n", "Form.txt(2): Error reading Form1.PopupMenu: Component Missing1 not found"},
      {"  PopupMenu = Timer1\n  object Timer1: TTestTimer\n  end\n",
       "Form.txt(2): Error reading Form1.PopupMenu: Component Timer1 is a TTestTimer, not a TTestMenu"},
      {"  Align = alWrong\n", "Form.txt(2): Error reading Form1.Align: Invalid property value: alWrong"},
      {"  Anchors = [akLeft, akNowhere]\n", "Form.txt(2): Error reading Form1.Anchors: Invalid property element: akNowhere"},
      {"  Left = 'text'\n",
       "Form.txt(2): Error reading Form1.Left: Invalid property value: integer expected but string found"},
      {"  Visible = 1\n", "Form.txt(2): Error reading Form1.Visible: Invalid property value: True or False expected"},
      {"  Font = 1\n", "Form.txt(2): Error reading Form1.Font: Invalid property value: sub-property"},
      {"  PasswordChar = 'ab'\n",
       "Form.txt(2): Error reading Form1.PasswordChar: Invalid property value: one character expected but 'ab' found"},
      {"  Color = clPurple\n", "Form.txt(2): Error reading Form1.Color: Invalid property value: clPurple"},
      {"  Left = 99999999999\n", "Form.txt(2): Error reading Form1.Left: Invalid property value: 99999999999 is out of range"},
      {"  object A: TTestControl\n  end\n  object A: TTestControl\n  end\n",
       "Form.txt(4): A component named A already exists"},
      {"  inherited Nope: TTestControl\n  end\n", "Form.txt(2): Ancestor for 'Nope' not found"},
      {"  object Grid1: TTestGrid\n    Columns = <\n      item\n        Width = 'wide'\n      end>\n  end\n",
       "Form.txt(5): Error reading Grid1.Columns[0].Width: Invalid property value: integer expected"},
      {"  object Timer1: TTestControl\n  end\n",
       "Form.txt(2): Field TTestForm.Timer1 of class TTestTimer cannot hold a TTestControl"},
  };
  for (const Case& c : cases) {
    TTestForm form(nullptr);
    std::string message = ReadError(&form, std::string("object Form1: TTestForm\n") + c.Body + "end\n");
    EXPECT_EQ(message.rfind(c.Message, 0), 0u) << message << "\nexpected: " << c.Message;
  }
}

TEST_F(FilerTest, ExceptionClassesTellTheKindOfError) {
  TTestForm form(nullptr);
  EXPECT_THROW(ReadComponentText(&form, "object F: TTestForm\n  Left 1\nend"), EParserError);
  EXPECT_THROW(ReadComponentText(&form, "object F: TTestForm\n  object X: TNope\n  end\nend"), EClassNotFound);
  EXPECT_THROW(ReadComponentText(&form, "object F: TTestForm\n  Nope = 1\nend"), EReadError);
  EXPECT_EQ(ReadError(&form, "object F: TTestGrid\nend"),
            "Form.txt(1): The definition is for a TTestGrid, not for a TTestForm");
}

TEST_F(FilerTest, WritingRefusesValuesTheTextCannotHold) {
  TTestForm form(nullptr);
  auto* control = new TTestControl(&form);
  control->SetName("Panel1");
  control->SetParent(&form);
  auto* grid = new TTestGrid(&form);
  grid->SetName("Grid1");
  grid->SetParent(&form);
  auto* column = static_cast<TTestColumn*>(grid->Columns()->Add());
  struct Case {
    std::function<void()> Spoil;
    const char* Message;
  };
  const Case cases[] = {
      {[&] { control->SetAnchors(1u << 10); }, "Property Anchors holds the element 10 that TTestAnchor does not name"},
      {[&] { column->SetValue(VarArrayOf({Variant(1), Variant(2)})); }, "A variant of type"},
      {[&] { (new TOrphan(&form))->SetName("Orphan"); },
       "Class TOrphan cannot be written: its base class TUnregisteredBase is not registered"},
  };
  for (const Case& c : cases) {
    control->SetAnchors(3u);
    column->SetValue(Variant());
    c.Spoil();
    try {
      WriteComponentText(&form);
      ADD_FAILURE() << c.Message;
    } catch (const EWriteError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.Message, 0), 0u) << e.what();
    }
    EXPECT_FALSE(form.HasState(csWriting));
  }
}

TEST_F(FilerTest, HalfReadFormIsFreedWithoutLeaksOrDanglingFields) {
  auto* form = new TTestForm(nullptr);
  std::string message = ReadError(form,
                                  "object Form1: TTestForm\n"
                                  "  PopupMenu = PopupMenu1\n"
                                  "  object PopupMenu1: TTestMenu\n"
                                  "    object N1: TTestMenuItem\n"
                                  "      OnClick = N19Click\n"
                                  "    end\n"
                                  "  end\n"
                                  "  object Panel1: TTestControl\n"
                                  "    PopupMenu = PopupMenu1\n"
                                  "    object Button1: TTestControl\n"
                                  "      Lines.Strings = ('a' 'b')\n"
                                  "      FocusControl = Panel1\n"
                                  "      Data = {0102}\n"
                                  "      Bogus = 1\n"
                                  "    end\n"
                                  "  end\n"
                                  "end\n");
  EXPECT_EQ(message, "Form.txt(14): Error reading Button1.Bogus: Property Bogus does not exist");
  // The components being read when the error came were freed; the fields naming them are clear.
  EXPECT_EQ(form->Button1, nullptr);
  EXPECT_EQ(form->Panel1, nullptr);
  EXPECT_EQ(form->ControlCount(), 0);
  ASSERT_NE(form->PopupMenu1, nullptr);  // read completely before the error
  EXPECT_EQ(form->ComponentCount(), 2);  // the menu and its item
  EXPECT_TRUE(Log().empty());  // nothing was announced as loaded
  delete form;                 // the sanitizer run checks that nothing leaks
}

TEST_F(FilerTest, OnErrorCanSkipUnknownPropertiesAndReadingGoesOn) {
  TTestForm form(nullptr);
  TReader reader(
      "object Form1: TTestForm\n"
      "  Gone = (1 (2 3) 'x')\n"
      "  Left = 5\n"
      "  Caption = 'after'\n"
      "  object Grid1: TTestGrid\n"
      "    Columns = <\n"
      "      item\n"
      "        OldWidth = <item Width = 1 end>\n"
      "        Width = 9\n"
      "      end>\n"
      "  end\n"
      "end\n",
      "Form.txt");
  std::vector<std::string> messages;
  reader.OnError = [&](TReader*, const std::string& Message, bool& Handled) {
    messages.push_back(Message);
    Handled = Message.find("does not exist") != std::string::npos;
  };
  reader.ReadRootComponent(&form);
  EXPECT_EQ(messages, (std::vector<std::string>{"Property Gone does not exist", "Property OldWidth does not exist"}));
  EXPECT_EQ(form.Left(), 5);
  EXPECT_EQ(form.Caption(), "after");
  auto* grid = dynamic_cast<TTestGrid*>(form.FindComponent("Grid1"));
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(static_cast<TTestColumn*>(grid->Columns()->Items(0))->Width(), 9);
}

TEST_F(FilerTest, LegacyPropertiesAreReadMappedAndNeverWritten) {
  TTestForm form(nullptr);
  ReadComponentText(&form,
                    "object Form1: TTestForm\n"
                    "  object Panel1: TTestControl\n"
                    "    FrameFlat = True\n"
                    "    OldStyle = [osOne, osTwo]\n"
                    "    FocusAlign = taBottom\n"
                    "    OldColor = clRed\n"
                    "    Left = 3\n"
                    "  end\n"
                    "  object Button1: TTestControl\n"
                    "    OldColor = 7\n"
                    "  end\n"
                    "end\n");
  EXPECT_TRUE(form.Panel1->Flat());
  EXPECT_EQ(form.Panel1->Align(), taBottom);
  EXPECT_EQ(form.Panel1->Color(), clRed);
  EXPECT_EQ(form.Button1->Color(), 7);
  EXPECT_EQ(form.Panel1->Left(), 3);
  EXPECT_EQ(WriteComponentText(&form),
            "object Form1: TTestForm\n"
            "  object Panel1: TTestControl\n"
            "    Left = 3\n"
            "    Flat = True\n"
            "    Align = taBottom\n"
            "    Color = clRed\n"
            "  end\n"
            "  object Button1: TTestControl\n"
            "    Color = 7\n"
            "  end\n"
            "end\n");
  EXPECT_EQ(ReadError(&form, "object Form1: TTestForm\n  FocusAlign = 5\nend\n"),
            "Form.txt(2): Error reading Form1.FocusAlign: Invalid property value: identifier expected but integer "
            "found");
}

TEST_F(FilerTest, DescendantWritesOnlyWhatDiffersFromItsAncestor) {
  const char* text =
      "object Form1: TTestForm\n"
      "  object Grid1: TTestGrid\n"
      "    Left = 1\n"
      "    Columns = <\n"
      "      item\n"
      "        FieldName = 'a'\n"
      "      end>\n"
      "    Extra = 2\n"
      "  end\n"
      "end\n";
  TTestForm ancestor(nullptr);
  ReadComponentText(&ancestor, text);
  TTestForm form(nullptr);
  ReadComponentText(&form, text);
  ASSERT_EQ(form.Name(), "Form1_1");  // the ancestor holds the name already
  EXPECT_EQ(WriteComponentText(&form, &ancestor),
            "inherited Form1_1: TTestForm\n"
            "  inherited Grid1: TTestGrid\n"
            "  end\n"
            "end\n");

  auto* grid = dynamic_cast<TTestGrid*>(form.FindComponent("Grid1"));
  grid->SetExtra(5);
  grid->SetLeft(0);  // back to the default, but the ancestor has 1
  static_cast<TTestColumn*>(grid->Columns()->Items(0))->SetWidth(70);
  auto* extra = new TTestControl(&form);
  extra->SetName("Added");
  extra->SetParent(&form);
  EXPECT_EQ(WriteComponentText(&form, &ancestor),
            "inherited Form1_1: TTestForm\n"
            "  inherited Grid1: TTestGrid\n"
            "    Left = 0\n"
            "    Columns = <\n"
            "      item\n"
            "        FieldName = 'a'\n"
            "        Width = 70\n"
            "      end>\n"
            "    Extra = 5\n"
            "  end\n"
            "  object Added: TTestControl\n"
            "  end\n"
            "end\n");
}

TEST_F(FilerTest, InheritedBlocksReadIntoExistingComponents) {
  TTestForm form(nullptr);
  ReadComponentText(&form,
                    "object Form1: TTestForm\n"
                    "  object Timer1: TTestTimer\n"
                    "    Schedule = <\n"
                    "      item\n"
                    "      end>\n"
                    "  end\n"
                    "  object Grid1: TTestGrid\n"
                    "    Columns = <\n"
                    "      item\n"
                    "        FieldName = 'a'\n"
                    "      end>\n"
                    "  end\n"
                    "end\n");
  Log().clear();
  ReadComponentText(&form,
                    "inherited Form1: TTestForm\n"
                    "  Caption = 'derived'\n"
                    "  inherited Timer1: TTestTimer\n"
                    "    Schedule = <>\n"
                    "  end\n"
                    "  inherited Grid1: TTestGrid\n"
                    "    Extra = 9\n"
                    "  end\n"
                    "end\n");
  auto* grid = dynamic_cast<TTestGrid*>(form.FindComponent("Grid1"));
  EXPECT_EQ(form.Caption(), "derived");
  EXPECT_EQ(grid->Extra(), 9);
  EXPECT_EQ(grid->Columns()->Count(), 1);
  EXPECT_EQ(form.Timer1->Schedule()->Count(), 0);
  EXPECT_EQ(form.ComponentCount(), 2);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Loaded Form1", "Loaded Timer1", "Loaded Grid1"}));
}

TEST_F(FilerTest, ReferencesAcrossFormsWaitForTheOtherForm) {
  auto* a = new TTestForm(nullptr);
  ReadComponentText(a, "object FormA: TTestForm\n  PopupMenu = FormB.Menu\nend\n");
  EXPECT_EQ(a->PopupMenu(), nullptr);
  EXPECT_EQ(PendingGlobalFixups(), 1);

  auto* b = new TTestForm(nullptr);
  ReadComponentText(b,
                    "object FormB: TTestForm\n"
                    "  object Menu: TTestMenu\n"
                    "  end\n"
                    "  object Panel1: TTestControl\n"
                    "    PopupMenu = FormB.Menu\n"  // its own root named explicitly
                    "  end\n"
                    "end\n");
  auto* menu = dynamic_cast<TTestMenu*>(b->FindComponent("Menu"));
  EXPECT_EQ(a->PopupMenu(), menu);
  EXPECT_EQ(b->Panel1->PopupMenu(), menu);
  EXPECT_EQ(PendingGlobalFixups(), 0);

  // A form read while the other exists is resolved at once.
  auto* c = new TTestForm(nullptr);
  ReadComponentText(c, "object FormC: TTestForm\n  PopupMenu = FormB.Menu\nend\n");
  EXPECT_EQ(c->PopupMenu(), menu);
  EXPECT_EQ(WriteComponentText(c), "object FormC: TTestForm\n  PopupMenu = FormB.Menu\nend\n");

  // A form freed before the other arrives forgets its waiting reference.
  auto* d = new TTestForm(nullptr);
  ReadComponentText(d, "object FormD: TTestForm\n  PopupMenu = FormZ.Menu\nend\n");
  EXPECT_EQ(PendingGlobalFixups(), 1);
  delete d;
  EXPECT_EQ(PendingGlobalFixups(), 0);

  delete b;
  EXPECT_EQ(a->PopupMenu(), nullptr);  // cleared through the free notification
  delete a;
  delete c;
}

TEST_F(FilerTest, FormsReadTheirBuiltInDefinitionsAlongTheClassChain) {
  // resources/forms/TTestForm.txt, then TTestDerivedForm.txt; Loaded runs once on each component.
  TTestDerivedForm derived(nullptr);
  EXPECT_TRUE(InitInheritedComponent(&derived));
  EXPECT_EQ(derived.Name(), "Base");
  EXPECT_EQ(derived.Left(), 1);
  ASSERT_NE(derived.Timer1, nullptr);
  ASSERT_NE(derived.Timer2, nullptr);
  ASSERT_NE(derived.Button1, nullptr);
  EXPECT_EQ(derived.Timer1->Interval(), 5);
  EXPECT_EQ(derived.Button1->Parent(), derived.Panel1);
  EXPECT_EQ(derived.Panel1->Parent(), &derived);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Loaded Base", "Loaded Timer1", "Loaded Panel1", "Loaded Button1",
                                             "Loaded Timer2"}));
  Log().clear();
  derived.Click();
  derived.Button1->Click();
  derived.Timer2->Tick();
  EXPECT_EQ(Log(), (std::vector<std::string>{"Button1Click Base", "Button1Click Button1", "Timer1Timer Timer2"}));

  TTestForm form(nullptr);
  ReadComponentRes("ttestform", &form);  // names compare without regard to case
  EXPECT_NE(form.Timer1, nullptr);
  EXPECT_THROW(ReadComponentRes("TNoForm", &form), EResNotFound);
  TTestControl plain(nullptr);
  EXPECT_FALSE(InitInheritedComponent(&plain));
  // Classes from the root ancestor up have no definitions read.
  TTestDerivedForm bare(nullptr);
  EXPECT_FALSE(InitInheritedComponent(&bare, FindClass("TTestDerivedForm")));
  EXPECT_EQ(bare.ComponentCount(), 0);

  // Without its base class's definition the derived one refers to a missing component: the
  // half-read form is freed by its maker (the sanitizer run checks that nothing leaks).
  auto* half = new TTestDerivedForm(nullptr);
  try {
    InitInheritedComponent(half, FindClass("TTestForm"));
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "forms/TTestDerivedForm.txt(2): Ancestor for 'Timer1' not found");
  }
  delete half;

  // A registered table comes before the others; errors name the resource's path and line.
  static const char kBroken[] = "object Base: TTestForm\n  Left = 'x'\nend\n";
  static const classes::TResourceEntry entries[] = {{"forms/TTestForm.txt", kBroken, sizeof kBroken - 1}};
  static const classes::TResourceTable broken{entries, 1};
  classes::RegisterResources(broken);
  TTestForm other(nullptr);
  try {
    ReadComponentRes("TTestForm", &other);
    ADD_FAILURE();
  } catch (const EReadError& e) {
    std::string message = e.what();
    EXPECT_EQ(message.rfind("forms/TTestForm.txt(2): Error reading ", 0), 0u) << message;
    EXPECT_NE(message.find(".Left: Invalid property value"), std::string::npos) << message;
  }
  classes::UnregisterResources(broken);
}

TEST_F(FilerTest, ClassRegistryAndPropertyAccessByName) {
  EXPECT_EQ(FindClass("ttestcontrol")->ClassName(), "TTestControl");
  EXPECT_EQ(GetClass("TNoSuchClass"), nullptr);
  try {
    FindClass("TNoSuchClass");
    ADD_FAILURE();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TNoSuchClass not found");
  }
  EXPECT_TRUE(FindClass("TTestGrid")->InheritsFrom("TComponent"));

  // Republishing keeps the place and takes the new default.
  std::vector<const classes::TPropInfo*> controlProps = FindClass("TTestControl")->Properties();
  std::vector<const classes::TPropInfo*> gridProps = FindClass("TTestGrid")->Properties();
  ASSERT_EQ(controlProps.size(), gridProps.size());
  EXPECT_EQ(gridProps[0]->Name, "Name");
  for (size_t i = 0; i < gridProps.size(); ++i) EXPECT_EQ(gridProps[i]->Name, controlProps[i]->Name);

  TTestForm form(nullptr);
  auto* grid = new TTestGrid(&form);
  EXPECT_EQ(GetOrdProp(grid, "Visible"), 0);
  SetEnumProp(grid, "Align", "taTop");
  EXPECT_EQ(grid->Align(), taTop);
  EXPECT_EQ(GetEnumProp(grid, "align"), "taTop");
  SetStrProp(grid, "Caption", "c");
  EXPECT_EQ(GetStrProp(grid, "Caption"), "c");
  SetOrdProp(grid, "Color", 0x80000005);  // a 32-bit colour given as unsigned
  EXPECT_EQ(grid->Color(), clWindow);
  EXPECT_THROW(SetOrdProp(grid, "Color", 0x100000000), EPropertyError);
  SetFloatProp(grid, "Ratio", 2.5);
  EXPECT_DOUBLE_EQ(GetFloatProp(grid, "Ratio"), 2.5);
  EXPECT_EQ(GetObjectProp(grid, "Font"), grid->Font());
  SetOrdProp(grid->Font(), "Height", -11);  // write-only: read from definitions, never written
  EXPECT_EQ(grid->Font()->Size(), 11);
  EXPECT_THROW(GetOrdProp(grid->Font(), "Height"), EPropertyError);
  EXPECT_EQ(WriteComponentText(grid).find("Height"), std::string::npos);
  EXPECT_FALSE(IsPublishedProp(grid, "Transparent"));
  EXPECT_THROW(GetOrdProp(grid, "Transparent"), EPropertyError);
  EXPECT_THROW(GetStrProp(grid, "Left"), EPropertyError);
  EXPECT_THROW(SetEnumProp(grid, "Align", "taNowhere"), EPropertyError);
  auto* timer = new TTestTimer(&form);
  EXPECT_THROW(SetObjectProp(grid, "PopupMenu", timer), EPropertyError);

  // A field takes only components of its class.
  EXPECT_THROW(timer->SetName("Panel1"), EComponentError);
  EXPECT_EQ(timer->Name(), "");
  EXPECT_EQ(form.Panel1, nullptr);
  grid->SetName("Panel1");
  EXPECT_EQ(form.Panel1, grid);
  grid->SetName("Other");
  EXPECT_EQ(form.Panel1, nullptr);
}

TEST_F(FilerTest, DamagedDefinitionsFailCleanlyOrLoad) {
  // Every damaged copy of the form either loads or raises one of our exceptions; the sanitizer
  // run checks that nothing leaks or is touched after being freed on the way.
  std::mt19937 random(12345);
  const std::string original = kForm;
  const char replacements[] = "'#$[]()<>{}=.:+-0123456789aZ \n";
  for (int round = 0; round < 400; ++round) {
    std::string text = original;
    for (int edits = 1 + static_cast<int>(random() % 3); edits > 0; --edits) {
      size_t pos = random() % text.size();
      switch (random() % 3) {
        case 0: text.erase(pos, 1 + random() % 8); break;
        case 1: text.insert(pos, text.substr(random() % text.size(), 1 + random() % 12)); break;
        default: text[pos] = replacements[random() % (sizeof replacements - 1)]; break;
      }
      if (text.empty()) text = "x";
    }
    auto* form = new TTestForm(nullptr);
    try {
      ReadComponentText(form, text, "Damaged.txt");
      WriteComponentText(form);
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.Message()).rfind("Damaged.txt(", 0), 0u) << e.Message();
    }
    delete form;
  }
}

namespace {

TEST(DesignInfoTest, AComponentWithoutAWindowKeepsItsPlaceOnTheForm) {
  TTestForm form(nullptr);
  ReadComponentText(&form,
                    "object Form1: TTestForm\n"
                    "  object Timer1: TTestTimer\n"
                    "    Left = 8\n"
                    "    Top = -16\n"
                    "  end\n"
                    "  object Timer2: TTestTimer\n"
                    "  end\n"
                    "end\n");
  EXPECT_EQ(form.Timer1->DesignInfo() & 0xFFFF, 8);
  EXPECT_EQ(static_cast<int16_t>(static_cast<uint32_t>(form.Timer1->DesignInfo()) >> 16), -16);
  EXPECT_EQ(dynamic_cast<TTestTimer*>(form.FindComponent("Timer2"))->DesignInfo(), 0);
  const std::string text = WriteComponentText(&form);
  EXPECT_NE(text.find("object Timer1: TTestTimer\n    Left = 8\n    Top = -16\n"), std::string::npos) << text;
  EXPECT_NE(text.find("object Timer2: TTestTimer\n  end"), std::string::npos) << "nothing written for 0" << text;
  // A descendant writes only what moved.
  TTestForm derived(nullptr);
  ReadComponentText(&derived, text);
  derived.Timer1->SetDesignInfo((static_cast<int32_t>(static_cast<uint16_t>(-16)) << 16) | 30);
  const std::string delta = WriteComponentText(&derived, &form);
  EXPECT_NE(delta.find("Left = 30"), std::string::npos) << delta;
  EXPECT_EQ(delta.find("Top ="), std::string::npos) << delta;
}

}  // namespace
