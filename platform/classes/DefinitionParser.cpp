#include "platform/classes/DefinitionParser.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/rtl/Strings.h"

namespace classes {

bool SameIdent(const std::string& A, const std::string& B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(A[i]) != lower(B[i])) return false;
  }
  return true;
}

std::string LocationText(const std::string& FileName, int Line) {
  return (FileName.empty() ? std::string("definition") : FileName) + "(" + std::to_string(Line) + ")";
}

TValueType IntegerValueType(int64_t Value) {
  if (Value >= -128 && Value <= 127) return vaInt8;
  if (Value >= -32768 && Value <= 32767) return vaInt16;
  if (Value >= INT32_MIN && Value <= INT32_MAX) return vaInt32;
  return vaInt64;
}

namespace {

bool IsIdentStart(char c) { return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Recursive-descent reader of the text form; emits tokens as it goes.
class TTextParser {
 public:
  TTextParser(const std::string& Text, const std::string& FileName) : FText(Text) {
    FOut.FileName = FileName;
    if (FText.compare(0, 3, "\xEF\xBB\xBF") == 0) FPos = 3;  // UTF-8 byte order mark
  }

  TDefStream Run() {
    SkipBlanks();
    ParseObject();
    SkipBlanks();
    if (FPos < FText.size()) Fail("end of text expected after the final 'end'");
    return std::move(FOut);
  }

 private:
  [[noreturn]] void Fail(const std::string& What) const {
    throw EParserError(LocationText(FOut.FileName, FLine) + ": " + What);
  }
  [[noreturn]] void Expected(const std::string& What) const {
    std::string found = AtEnd()                         ? std::string("end of text")
                        : (Cur() == '\r' || Cur() == '\n') ? std::string("end of line")
                                                             : "'" + Peek() + "'";
    Fail(What + " expected but " + found + " found");
  }

  bool AtEnd() const { return FPos >= FText.size(); }
  char Cur() const { return AtEnd() ? '\0' : FText[FPos]; }
  // A short excerpt of what is at the cursor, for messages.
  std::string Peek() const {
    if (IsIdentStart(Cur())) return Word(FPos);
    size_t n = 1;
    while (FPos + n < FText.size() && (static_cast<unsigned char>(FText[FPos + n]) & 0xC0) == 0x80) ++n;
    return FText.substr(FPos, n);
  }
  std::string Word(size_t At) const {
    size_t e = At;
    while (e < FText.size() && IsIdentChar(FText[e])) ++e;
    return FText.substr(At, e - At);
  }

  void SkipBlanks() {
    while (!AtEnd()) {
      char c = Cur();
      if (c == '\n') {
        ++FLine;
        ++FPos;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++FPos;
      } else if (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
        while (!AtEnd() && Cur() != '\n') ++FPos;
      } else {
        break;
      }
    }
  }

  bool AtWord(const char* W) const { return IsIdentStart(Cur()) && SameIdent(Word(FPos), W); }

  std::string ReadIdent(const char* What) {
    if (!IsIdentStart(Cur())) Expected(What);
    std::string w = Word(FPos);
    FPos += w.size();
    return w;
  }
  // An identifier with dotted parts ("Font.Color", "Form1.Timer1").
  std::string ReadDotted(const char* What) {
    std::string s = ReadIdent(What);
    while (Cur() == '.' && FPos + 1 < FText.size() && IsIdentStart(FText[FPos + 1])) {
      ++FPos;
      s += '.';
      s += ReadIdent(What);
    }
    return s;
  }

  void Expect(char C, const char* What) {
    SkipBlanks();
    if (Cur() != C) Expected(What);
    ++FPos;
  }

  TDefToken& Emit(TDefToken::TKind Kind, TValueType Type = vaNull) {
    TDefToken t;
    t.Kind = Kind;
    t.Type = Type;
    t.Line = FLine;
    FOut.Tokens.push_back(std::move(t));
    return FOut.Tokens.back();
  }
  void EmitStr(std::string S) { Emit(TDefToken::Str).Text = std::move(S); }

  // object|inherited|inline [Name:] Class [[order]] properties children end
  void ParseObject() {
    uint8_t flags = 0;
    if (AtWord("inherited"))
      flags = ffInherited;
    else if (AtWord("inline"))
      flags = ffInline;
    else if (!AtWord("object"))
      Expected("'object', 'inherited' or 'inline'");
    FPos += Word(FPos).size();
    TDefToken& prefix = Emit(TDefToken::Prefix);
    size_t prefixIndex = FOut.Tokens.size() - 1;
    SkipBlanks();
    std::string first = ReadIdent("object name or class name");
    SkipBlanks();
    std::string name, cls;
    if (Cur() == ':') {
      ++FPos;
      SkipBlanks();
      name = first;
      cls = ReadIdent("class name");
    } else {
      cls = first;
    }
    (void)prefix;
    SkipBlanks();
    if (Cur() == '[') {
      ++FPos;
      SkipBlanks();
      int64_t pos = ReadIntegerText("child position");
      Expect(']', "']'");
      flags |= ffChildPos;
      FOut.Tokens[prefixIndex].ChildPos = static_cast<int>(pos);
    }
    FOut.Tokens[prefixIndex].Int = flags;
    EmitStr(cls);
    EmitStr(name);
    // properties
    for (;;) {
      SkipBlanks();
      if (AtWord("end") || AtWord("object") || AtWord("inherited") || AtWord("inline")) break;
      if (!IsIdentStart(Cur())) Expected("property name, 'object' or 'end'");
      ParseProperty();
    }
    Emit(TDefToken::Value, vaNull);
    for (;;) {
      SkipBlanks();
      if (AtWord("end")) break;
      if (!(AtWord("object") || AtWord("inherited") || AtWord("inline"))) Expected("'object' or 'end'");
      ParseObject();
    }
    Emit(TDefToken::Value, vaNull);
    FPos += 3;  // end
  }

  void ParseProperty() {
    EmitStr(ReadDotted("property name"));
    Expect('=', "'='");
    // The value starts on the line of its name.
    while (Cur() == ' ' || Cur() == '\t') ++FPos;
    if (Cur() == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/')
      while (!AtEnd() && Cur() != '\n') ++FPos;
    ParseValue();
  }

  int64_t ReadIntegerText(const char* What) {
    bool neg = false;
    if (Cur() == '-' || Cur() == '+') {
      neg = Cur() == '-';
      ++FPos;
    }
    uint64_t v = 0;
    bool any = false;
    if (Cur() == '$') {
      ++FPos;
      while (HexValue(Cur()) >= 0) {
        if (v >> 60) Fail("integer too large");
        v = v * 16 + static_cast<uint64_t>(HexValue(Cur()));
        ++FPos;
        any = true;
      }
    } else {
      while (IsDigit(Cur())) {
        if (v > (UINT64_MAX - 9) / 10) Fail("integer too large");
        v = v * 10 + static_cast<uint64_t>(Cur() - '0');
        ++FPos;
        any = true;
      }
    }
    if (!any) Expected(What);
    if (v > static_cast<uint64_t>(INT64_MAX) + (neg ? 1 : 0)) Fail("integer too large");
    return neg ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
  }

  void ParseNumber() {
    size_t start = FPos;
    size_t p = FPos;
    if (p < FText.size() && (FText[p] == '-' || FText[p] == '+')) ++p;
    bool hex = p < FText.size() && FText[p] == '$';
    bool isFloat = false;
    if (!hex) {
      size_t q = p;
      while (q < FText.size() && IsDigit(FText[q])) ++q;
      if (q < FText.size() && (FText[q] == '.' || FText[q] == 'e' || FText[q] == 'E')) isFloat = true;
    }
    if (!isFloat) {
      int64_t v = ReadIntegerText("number");
      if (IsIdentChar(Cur())) Expected("end of number");
      Emit(TDefToken::Value, IntegerValueType(v)).Int = v;
      return;
    }
    // float: digits [. digits] [e [sign] digits] [s|c|d]
    p = FPos;
    if (FText[p] == '-' || FText[p] == '+') ++p;
    while (p < FText.size() && IsDigit(FText[p])) ++p;
    if (p < FText.size() && FText[p] == '.') {
      ++p;
      if (p >= FText.size() || !IsDigit(FText[p])) {
        FPos = p;
        Expected("digit");
      }
      while (p < FText.size() && IsDigit(FText[p])) ++p;
    }
    if (p < FText.size() && (FText[p] == 'e' || FText[p] == 'E')) {
      ++p;
      if (p < FText.size() && (FText[p] == '-' || FText[p] == '+')) ++p;
      if (p >= FText.size() || !IsDigit(FText[p])) {
        FPos = p;
        Expected("exponent digits");
      }
      while (p < FText.size() && IsDigit(FText[p])) ++p;
    }
    std::string digits = FText.substr(start, p - start);
    if (!digits.empty() && digits[0] == '+') digits.erase(0, 1);
    double v = 0;
    auto res = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (res.ec != std::errc() || res.ptr != digits.data() + digits.size()) {
      FPos = start;
      Fail("invalid number '" + digits + "'");
    }
    FPos = p;
    TValueType type = vaExtended;
    char suffix = Cur();
    if (suffix == 's' || suffix == 'S') type = vaSingle;
    if (suffix == 'c' || suffix == 'C') type = vaCurrency;
    if (suffix == 'd' || suffix == 'D') type = vaDate;
    if (type != vaExtended) ++FPos;
    if (IsIdentChar(Cur())) Expected("end of number");
    Emit(TDefToken::Value, type).Float = v;
  }

  // 'text'#13'more' + 'joined'
  void ParseString() {
    std::string s;
    int line = FLine;
    for (;;) {
      if (Cur() == '\'') {
        ++FPos;
        for (;;) {
          if (AtEnd() || Cur() == '\n' || Cur() == '\r') Fail("unterminated string");
          if (Cur() == '\'') {
            if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
              s += '\'';
              FPos += 2;
              continue;
            }
            ++FPos;
            break;
          }
          s += Cur();
          ++FPos;
        }
      } else if (Cur() == '#') {
        ++FPos;
        int64_t code = 0;
        if (Cur() == '$') {
          code = ReadIntegerText("character code");
        } else {
          if (!IsDigit(Cur())) Expected("character code");
          code = ReadIntegerText("character code");
        }
        if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
          Fail("invalid character code #" + std::to_string(code));
        rtl::AppendUtf8(s, static_cast<char32_t>(code));
      } else {
        break;
      }
      // A '+' joins the next piece, also across lines.
      size_t save = FPos;
      int saveLine = FLine;
      SkipBlanks();
      if (Cur() == '+') {
        ++FPos;
        SkipBlanks();
        if (Cur() != '\'' && Cur() != '#') Expected("string");
      } else if (Cur() != '\'' && Cur() != '#') {
        FPos = save;
        FLine = saveLine;
        break;
      } else if (FPos != save) {
        // Two pieces separated by blanks without '+' are two list elements.
        FPos = save;
        FLine = saveLine;
        break;
      }
    }
    TDefToken& t = Emit(TDefToken::Value, s.size() > 255 ? vaLString : vaString);
    t.Text = std::move(s);
    t.Line = line;
  }

  void ParseValue() {
    char c = Cur();
    if (c == '\'' || c == '#') {
      ParseString();
    } else if (IsDigit(c) || c == '-' || c == '+' || c == '$') {
      ParseNumber();
    } else if (IsIdentStart(c)) {
      std::string w = ReadDotted("value");
      if (SameIdent(w, "True"))
        Emit(TDefToken::Value, vaTrue);
      else if (SameIdent(w, "False"))
        Emit(TDefToken::Value, vaFalse);
      else if (SameIdent(w, "nil"))
        Emit(TDefToken::Value, vaNil);
      else if (SameIdent(w, "Null"))
        Emit(TDefToken::Value, vaNull).Int = 1;  // a null value, not a list end
      else
        Emit(TDefToken::Value, vaIdent).Text = w;
    } else if (c == '[') {
      ++FPos;
      Emit(TDefToken::Value, vaSet);
      SkipBlanks();
      if (Cur() != ']') {
        for (;;) {
          SkipBlanks();
          EmitStr(ReadIdent("set element"));
          SkipBlanks();
          if (Cur() == ',') {
            ++FPos;
            continue;
          }
          if (Cur() == ']') break;
          Expected("',' or ']'");
        }
      }
      ++FPos;
      EmitStr("");
    } else if (c == '(') {
      ++FPos;
      Emit(TDefToken::Value, vaList);
      for (;;) {
        SkipBlanks();
        if (Cur() == ')') break;
        if (AtEnd()) Expected("')'");
        ParseValue();
      }
      ++FPos;
      Emit(TDefToken::Value, vaNull);
    } else if (c == '<') {
      ++FPos;
      Emit(TDefToken::Value, vaCollection);
      for (;;) {
        SkipBlanks();
        if (Cur() == '>') break;
        if (Cur() == '[') {  // item order
          ++FPos;
          SkipBlanks();
          int64_t v = ReadIntegerText("item order");
          Emit(TDefToken::Value, IntegerValueType(v)).Int = v;
          Expect(']', "']'");
          SkipBlanks();
        }
        if (!AtWord("item")) Expected("'item' or '>'");
        FPos += 4;
        Emit(TDefToken::Value, vaList);
        for (;;) {
          SkipBlanks();
          if (AtWord("end")) break;
          if (!IsIdentStart(Cur())) Expected("property name or 'end'");
          ParseProperty();
        }
        FPos += 3;
        Emit(TDefToken::Value, vaNull);
      }
      ++FPos;
      Emit(TDefToken::Value, vaNull);
    } else if (c == '{') {
      ++FPos;
      std::string bytes;
      int line = FLine;
      for (;;) {
        SkipBlanks();
        if (Cur() == '}') break;
        int hi = HexValue(Cur());
        if (hi < 0) Expected("hexadecimal digit or '}'");
        ++FPos;
        int lo = HexValue(Cur());
        if (lo < 0) Expected("second hexadecimal digit");
        ++FPos;
        bytes += char(hi * 16 + lo);
      }
      ++FPos;
      TDefToken& t = Emit(TDefToken::Value, vaBinary);
      t.Text = std::move(bytes);
      t.Line = line;
    } else {
      Expected("value");
    }
  }

  const std::string& FText;
  size_t FPos = 0;
  int FLine = 1;
  TDefStream FOut;
};

// Writes a token stream back as text.
class TTextFormatter {
 public:
  explicit TTextFormatter(const TDefStream& S) : FIn(S) {}

  std::string Run() {
    FormatObject(0);
    return std::move(FOut);
  }

 private:
  const TDefToken& Next() {
    if (FPos >= FIn.Tokens.size()) throw EParserError("Definition stream ends unexpectedly");
    return FIn.Tokens[FPos++];
  }
  const TDefToken& PeekTok() const {
    if (FPos >= FIn.Tokens.size()) throw EParserError("Definition stream ends unexpectedly");
    return FIn.Tokens[FPos];
  }
  bool AtEndOfList() const { return PeekTok().Kind == TDefToken::Value && PeekTok().Type == vaNull && PeekTok().Int == 0; }
  void Indent(int N) { FOut.append(static_cast<size_t>(N), ' '); }

  void FormatObject(int Level) {
    const TDefToken& prefix = Next();
    if (prefix.Kind != TDefToken::Prefix) throw EParserError("Definition stream: object header expected");
    int flags = static_cast<int>(prefix.Int);
    int childPos = prefix.ChildPos;
    std::string cls = Next().Text;
    std::string name = Next().Text;
    Indent(Level);
    FOut += (flags & ffInherited) ? "inherited " : (flags & ffInline) ? "inline " : "object ";
    if (!name.empty()) FOut += name + ": ";
    FOut += cls;
    if (flags & ffChildPos) FOut += " [" + std::to_string(childPos) + "]";
    FOut += '\n';
    while (!AtEndOfList()) FormatProperty(Level + 2);
    Next();
    while (!AtEndOfList()) FormatObject(Level + 2);
    Next();
    Indent(Level);
    FOut += "end\n";
  }

  void FormatProperty(int Level) {
    const TDefToken& name = Next();
    if (name.Kind != TDefToken::Str) throw EParserError("Definition stream: property name expected");
    Indent(Level);
    FOut += name.Text + " = ";
    FormatValue(Level);
    FOut += '\n';
  }

  void FormatValue(int Level) {
    const TDefToken& t = Next();
    if (t.Kind != TDefToken::Value) throw EParserError("Definition stream: value expected");
    switch (t.Type) {
      case vaNull: FOut += "Null"; break;
      case vaNil: FOut += "nil"; break;
      case vaTrue: FOut += "True"; break;
      case vaFalse: FOut += "False"; break;
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64: FOut += std::to_string(t.Int); break;
      case vaExtended: FOut += FormatDefinitionFloat(t.Float); break;
      case vaSingle: FOut += FormatDefinitionFloat(t.Float) + "s"; break;
      case vaCurrency: FOut += FormatDefinitionFloat(t.Float) + "c"; break;
      case vaDate: FOut += FormatDefinitionFloat(t.Float) + "d"; break;
      case vaString:
      case vaLString:
      case vaWString:
      case vaUTF8String: FormatString(t.Text, Level); break;
      case vaIdent: FOut += t.Text; break;
      case vaSet: {
        FOut += '[';
        bool first = true;
        for (;;) {
          const TDefToken& e = Next();
          if (e.Text.empty()) break;
          if (!first) FOut += ", ";
          FOut += e.Text;
          first = false;
        }
        FOut += ']';
        break;
      }
      case vaList:
        FOut += '(';
        while (!AtEndOfList()) {
          FOut += '\n';
          Indent(Level + 2);
          FormatValue(Level + 2);
        }
        Next();
        FOut += ')';
        break;
      case vaCollection:
        FOut += '<';
        while (!AtEndOfList()) {
          FOut += '\n';
          Indent(Level + 2);
          const TDefToken& first = Next();
          if (first.Type != vaList) {  // an item order
            FOut += "[" + std::to_string(first.Int) + "] ";
            Next();
          }
          FOut += "item\n";
          while (!AtEndOfList()) FormatProperty(Level + 4);
          Next();
          Indent(Level + 2);
          FOut += "end";
        }
        Next();
        FOut += '>';
        break;
      case vaBinary: {
        static const char* hex = "0123456789ABCDEF";
        FOut += '{';
        for (size_t i = 0; i < t.Text.size(); ++i) {
          if (i % 32 == 0) {
            FOut += '\n';
            Indent(Level + 2);
          }
          auto b = static_cast<unsigned char>(t.Text[i]);
          FOut += hex[b >> 4];
          FOut += hex[b & 15];
        }
        FOut += '}';
        break;
      }
    }
  }

  // Long strings are cut into pieces joined with '+' on following lines.
  void FormatString(const std::string& S, int Level) {
    const size_t kPiece = 64;
    if (S.size() <= kPiece) {
      FOut += QuoteDefinitionString(S);
      return;
    }
    size_t i = 0;
    bool first = true;
    while (i < S.size()) {
      size_t n = std::min(kPiece, S.size() - i);
      while (i + n < S.size() && (static_cast<unsigned char>(S[i + n]) & 0xC0) == 0x80) ++n;  // whole code points
      if (!first) {
        FOut += " +\n";
        Indent(Level + 2);
      }
      FOut += QuoteDefinitionString(S.substr(i, n));
      first = false;
      i += n;
    }
  }

  const TDefStream& FIn;
  size_t FPos = 0;
  std::string FOut;
};

}  // namespace

std::string QuoteDefinitionString(const std::string& S) {
  std::string out;
  bool inQuotes = false;
  for (char ch : S) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 32 || c == 127) {
      if (inQuotes) out += '\'';
      inQuotes = false;
      out += '#' + std::to_string(c);
    } else {
      if (!inQuotes) out += '\'';
      inQuotes = true;
      out += ch;
      if (ch == '\'') out += '\'';
    }
  }
  if (inQuotes) out += '\'';
  if (out.empty()) out = "''";
  return out;
}

std::string FormatDefinitionFloat(double Value) {
  if (!std::isfinite(Value)) return "0.0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, Value);
  std::string s(buf, res.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

TDefStream ParseDefinition(const std::string& Text, const std::string& FileName) {
  return TTextParser(Text, FileName).Run();
}

std::string FormatDefinition(const TDefStream& Stream) { return TTextFormatter(Stream).Run(); }

}  // namespace classes
