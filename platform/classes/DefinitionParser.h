#pragma once
// The text form of component definitions and its value stream.
//
// A definition describes a tree of components:
//
//   object Form1: TForm1
//     Caption = 'Main'#13#10'window' + ' joined'
//     Font.Color = clRed            // a sub-property
//     Anchors = [akLeft, akTop]
//     Items.Strings = ('one' 'two')
//     Columns = <
//       item
//         Width = 64
//       end>
//     Data = {0A0B0C}
//     object Panel1: TPanel          // a child
//       OnClick = Panel1Click        // an event bound to the root's handler
//     end
//   end
//
// `inherited Name: TClass` names a component that already exists in the root; `object TClass`
// (no name) reads an unnamed component. Text is UTF-8; `#nnn` is a code point. `//` starts a
// comment that runs to the end of the line.
//
// The parser turns the text into a flat stream of tokens (the same shape a writer produces),
// which TReader walks value by value; FormatDefinition turns such a stream back into text.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/System.h"

// Kinds of value in a definition stream (the platform's value tags).
enum TValueType : uint8_t {
  vaNull,        // end of a list
  vaList,        // ( ... )
  vaInt8,
  vaInt16,
  vaInt32,
  vaExtended,    // a float
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaBinary,      // { hex }
  vaSet,         // [a, b]
  vaLString,     // a string longer than 255 bytes
  vaNil,
  vaCollection,  // < item ... end >
  vaSingle,      // float with the suffix s
  vaCurrency,    // float with the suffix c
  vaDate,        // float with the suffix d
  vaWString,
  vaInt64,
  vaUTF8String,
};

// Flags of an object header.
enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

// Raised for malformed definition text: "<file>(<line>): <what was expected>".
class EParserError : public Exception { public: using Exception::Exception; };

namespace classes {

struct TDefToken {
  enum TKind : uint8_t {
    Value,   // a value: Type with Int, Float or Text (strings, identifiers, binary bytes)
    Str,     // a bare word: a property name, a class or object name, a set element
    Prefix,  // an object header: Int = TFilerFlag bits, ChildPos
  };
  TKind Kind = Value;
  TValueType Type = vaNull;
  int64_t Int = 0;
  double Float = 0.0;
  std::string Text;
  int ChildPos = 0;
  int Line = 0;
};

struct TDefStream {
  std::string FileName;
  std::vector<TDefToken> Tokens;
};

// The integer tag that fits Value (vaInt8, vaInt16, vaInt32 or vaInt64).
TValueType IntegerValueType(int64_t Value);

// Parses definition text; raises EParserError naming the file and line.
TDefStream ParseDefinition(const std::string& Text, const std::string& FileName = {});

// Turns a stream holding one object back into definition text.
std::string FormatDefinition(const TDefStream& Stream);

// Text forms of single values, as the formatter writes them.
std::string QuoteDefinitionString(const std::string& S);
std::string FormatDefinitionFloat(double Value);

// ---- shared small helpers ----
bool SameIdent(const std::string& A, const std::string& B);  // ASCII case-insensitive
std::string LocationText(const std::string& FileName, int Line);  // "file(line)"

}  // namespace classes
