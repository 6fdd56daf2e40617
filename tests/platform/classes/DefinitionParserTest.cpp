#include "platform/classes/DefinitionParser.h"

#include <gtest/gtest.h>

using classes::FormatDefinition;
using classes::ParseDefinition;
using classes::TDefToken;

namespace {

// Every value kind in the form the formatter writes it.
const char* const kCanonical =
    "object Form1: TForm1\n"
    "  Left = -12\n"
    "  Hex = 255\n"
    "  Big = 5000000000\n"
    "  Ratio = 0.25\n"
    "  Scale = 2.5s\n"
    "  Price = 1.25c\n"
    "  When = 45000.5d\n"
    "  Caption = 'It''s '#13#10'ok \xE4\xBD\xA0\xE5\xA5\xBD'\n"
    "  Long = '0123456789012345678901234567890123456789012345678901234567890123' +\n"
    "    '456789'\n"
    "  Empty = ''\n"
    "  Visible = False\n"
    "  Enabled = True\n"
    "  Align = alClient\n"
    "  Font.Color = clRed\n"
    "  Anchors = [akLeft, akTop]\n"
    "  NoAnchors = []\n"
    "  Items.Strings = (\n"
    "    'one'\n"
    "    'two')\n"
    "  Bounds = (\n"
    "    1\n"
    "    2)\n"
    "  Nothing = ()\n"
    "  DataSource = Form2.DataSource1\n"
    "  Ref = nil\n"
    "  Columns = <\n"
    "    item\n"
    "      Title.Caption = 'A'\n"
    "    end\n"
    "    item\n"
    "    end>\n"
    "  Data = {\n"
    "    00FF7F}\n"
    "  object Panel1: TPanel\n"
    "    inherited Button1: TButton [2]\n"
    "    end\n"
    "  end\n"
    "  object TTimer\n"
    "  end\n"
    "end\n";

const TDefToken& PropValue(const classes::TDefStream& s, const std::string& name) {
  for (size_t i = 0; i + 1 < s.Tokens.size(); ++i)
    if (s.Tokens[i].Kind == TDefToken::Str && s.Tokens[i].Text == name) return s.Tokens[i + 1];
  throw std::runtime_error("no property " + name);
}

}  // namespace

TEST(DefinitionParserTest, FormatsWhatItParsedUnchanged) {
  classes::TDefStream s = ParseDefinition(kCanonical, "Form1.txt");
  EXPECT_EQ(FormatDefinition(s), kCanonical);
}

TEST(DefinitionParserTest, ValuesAreDecodedWithTheirKinds) {
  classes::TDefStream s = ParseDefinition(
      "\xEF\xBB\xBF"  // a byte order mark is skipped
      "object F: TF // comment\r\n"
      "  A = $FF\r\n"
      "  B = -$10\n"
      "  C = 5000000000\n"
      "  D = 1e3\n"
      "  E = 'x'#$41 + // joined across lines\n"
      "      'y'\n"
      "  G = #20320#22909\n"
      "  L = ('a' 'b'#9'c')\n"
      "  N = Null\n"
      "end\n");
  EXPECT_EQ(PropValue(s, "A").Int, 255);
  EXPECT_EQ(PropValue(s, "A").Type, vaInt16);
  EXPECT_EQ(PropValue(s, "B").Int, -16);
  EXPECT_EQ(PropValue(s, "B").Type, vaInt8);
  EXPECT_EQ(PropValue(s, "C").Type, vaInt64);
  EXPECT_EQ(PropValue(s, "D").Type, vaExtended);
  EXPECT_DOUBLE_EQ(PropValue(s, "D").Float, 1000.0);
  EXPECT_EQ(PropValue(s, "E").Text, "xAy");
  EXPECT_EQ(PropValue(s, "E").Line, 6);
  EXPECT_EQ(PropValue(s, "G").Text, "\xE4\xBD\xA0\xE5\xA5\xBD");
  // In a list, pieces separated by blanks are separate strings; touching pieces join.
  const TDefToken& list = PropValue(s, "L");
  const TDefToken* items = &list + 1;
  EXPECT_EQ(items[0].Text, "a");
  EXPECT_EQ(items[1].Text, "b\tc");
  EXPECT_EQ(items[2].Type, vaNull);
  EXPECT_EQ(PropValue(s, "N").Type, vaNull);
  EXPECT_EQ(PropValue(s, "N").Int, 1);  // a null value, not the end of a list
}

TEST(DefinitionParserTest, ControlCharactersAndQuotesAreWrittenAsCodes) {
  EXPECT_EQ(classes::QuoteDefinitionString(""), "''");
  EXPECT_EQ(classes::QuoteDefinitionString("a'b"), "'a''b'");
  EXPECT_EQ(classes::QuoteDefinitionString("\r\n"), "#13#10");
  EXPECT_EQ(classes::QuoteDefinitionString("x\ty"), "'x'#9'y'");
  EXPECT_EQ(classes::FormatDefinitionFloat(2.0), "2.0");
  EXPECT_EQ(classes::FormatDefinitionFloat(0.1), "0.1");
  EXPECT_EQ(classes::FormatDefinitionFloat(1e300), "1e+300");
  EXPECT_EQ(PropValue(ParseDefinition("object F: TF\n X = 1e+300\nend"), "X").Float, 1e300);
}

TEST(DefinitionParserTest, ErrorsNameTheFileTheLineAndWhatWasExpected) {
  struct Case {
    const char* Text;
    const char* Message;
  };
  const Case cases[] = {
      {"objet F: TF\nend", "Form.txt(1): 'object', 'inherited' or 'inline' expected but 'objet' found"},
      {"object F: TF\n  Left 5\nend", "Form.txt(2): '=' expected but '5' found"},
      {"object F: TF\n  Left = \nend", "Form.txt(2): value expected but end of line found"},
      {"object F: TF\n  Caption = 'abc\nend", "Form.txt(2): unterminated string"},
      {"object F: TF\n  Caption = 'a' +\n  Left = 1\nend", "Form.txt(3): string expected but 'Left' found"},
      {"object F: TF\n  H = 'a' 'b'\nend", "Form.txt(2): property name, 'object' or 'end' expected but ''' found"},
      {"object F: TF\n  C = #55296\nend", "Form.txt(2): invalid character code #55296"},
      {"object F: TF\n  Data = {0A0}\nend", "Form.txt(2): second hexadecimal digit expected but '}' found"},
      {"object F: TF\n  Anchors = [akLeft akTop]\nend", "Form.txt(2): ',' or ']' expected but 'akTop' found"},
      {"object F: TF\n  L = ('a'\nend", "Form.txt(3): ')' expected but end of text found"},
      {"object F: TF\n  Cols = <\n    Width = 1\n  >\nend", "Form.txt(3): 'item' or '>' expected but 'Width' found"},
      {"object F: TF\n  X = 12abc\nend", "Form.txt(2): end of number expected but 'abc' found"},
      {"object F: TF\n  X = 1.\nend", "Form.txt(2): digit expected but"},
      {"object F: TF\n  X = 99999999999999999999\nend", "Form.txt(2): integer too large"},
      {"object F: TF\n  object : TB\n  end\nend", "Form.txt(2): object name or class name expected but ':' found"},
      {"object F: TF\nend\nend", "Form.txt(3): end of text expected after the final 'end'"},
      {"object F: TF\n  Left = 1\n", "Form.txt(3): property name, 'object' or 'end' expected but end of text found"},
  };
  for (const Case& c : cases) {
    try {
      ParseDefinition(c.Text, "Form.txt");
      ADD_FAILURE() << "no error for: " << c.Text;
    } catch (const EParserError& e) {
      EXPECT_EQ(std::string(e.Message()).rfind(c.Message, 0), 0u) << e.Message() << "\nfor: " << c.Text;
    }
  }
}
