#include "platform/data/Filter.h"

#include <cmath>
#include <vector>

#include "platform/data/FieldText.h"
#include "platform/data/SqlDates.h"
#include "platform/rtl/Strings.h"

namespace data {

namespace {

[[noreturn]] void SyntaxError(const std::string& Text, const std::string& What) {
  DatabaseError("Filter expression '" + Text + "': " + What);
}


// Matches Text against Pattern where Many matches any run and One (when not 0) one character.
bool Wildcard(const std::string& Text, const std::string& Pattern, char Many, char Many2, char One) {
  size_t t = 0, p = 0, star = std::string::npos, mark = 0;
  auto step = [&](size_t i) {  // length of the UTF-8 character at i
    unsigned char c = static_cast<unsigned char>(Text[i]);
    size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    return std::min(n, Text.size() - i);
  };
  while (t < Text.size()) {
    if (p < Pattern.size() && (Pattern[p] == Many || Pattern[p] == Many2)) {
      star = p++;
      mark = t;
    } else if (p < Pattern.size() && One && Pattern[p] == One) {
      ++p;
      t += step(t);
    } else if (p < Pattern.size() && Pattern[p] == Text[t]) {
      ++p;
      ++t;
    } else if (star != std::string::npos) {
      p = star + 1;
      mark += step(mark);
      t = mark;
    } else {
      return false;
    }
  }
  while (p < Pattern.size() && (Pattern[p] == Many || Pattern[p] == Many2)) ++p;
  return p == Pattern.size();
}

}  // namespace

class FilterNode {
 public:
  virtual ~FilterNode() = default;
  virtual Value Eval() const = 0;
  virtual const TField* Field() const { return nullptr; }
  virtual bool IsStringLiteral() const { return false; }
};

namespace {

class Literal : public FilterNode {
 public:
  explicit Literal(Value V, bool Str = false) : FValue(std::move(V)), FStr(Str) {}
  Value Eval() const override { return FValue; }
  bool IsStringLiteral() const override { return FStr; }

 private:
  Value FValue;
  bool FStr;
};

class FieldRef : public FilterNode {
 public:
  explicit FieldRef(TField* F) : FField(F) {}
  Value Eval() const override { return FField->GetData(); }
  const TField* Field() const override { return FField; }

 private:
  TField* FField;
};

bool Truth(const Value& V) {
  if (IsNullValue(V)) return false;
  try {
    return ToBoolean(V);
  } catch (const Exception&) {
    return false;
  }
}

class Not : public FilterNode {
 public:
  explicit Not(std::unique_ptr<FilterNode> A) : FA(std::move(A)) {}
  Value Eval() const override { return !Truth(FA->Eval()); }

 private:
  std::unique_ptr<FilterNode> FA;
};

class Logic : public FilterNode {
 public:
  Logic(bool And, std::unique_ptr<FilterNode> A, std::unique_ptr<FilterNode> B)
      : FAnd(And), FA(std::move(A)), FB(std::move(B)) {}
  Value Eval() const override {
    bool a = Truth(FA->Eval());
    if (FAnd ? !a : a) return a;
    return Truth(FB->Eval());
  }

 private:
  bool FAnd;
  std::unique_ptr<FilterNode> FA, FB;
};

class IsNull : public FilterNode {
 public:
  IsNull(std::unique_ptr<FilterNode> A, bool Negate) : FA(std::move(A)), FNegate(Negate) {}
  Value Eval() const override {
    Value v = FA->Eval();
    bool null = IsNullValue(v);
    return FNegate ? !null : null;
  }

 private:
  std::unique_ptr<FilterNode> FA;
  bool FNegate;
};

class Arith : public FilterNode {
 public:
  Arith(char Op, std::unique_ptr<FilterNode> A, std::unique_ptr<FilterNode> B)
      : FOp(Op), FA(std::move(A)), FB(std::move(B)) {}
  Value Eval() const override {
    Value a = FA->Eval(), b = FB->Eval();
    if (IsNullValue(a) || IsNullValue(b)) return {};
    if (FOp == '+' && std::holds_alternative<std::string>(a) && std::holds_alternative<std::string>(b))
      return std::get<std::string>(a) + std::get<std::string>(b);
    double x, y;
    try {
      x = ToFloat(a);
      y = ToFloat(b);
    } catch (const Exception&) {
      return {};
    }
    switch (FOp) {
      case '+': return x + y;
      case '-': return x - y;
      case '*': return x * y;
      default: return y == 0 ? Value() : Value(x / y);
    }
  }

 private:
  char FOp;
  std::unique_ptr<FilterNode> FA, FB;
};

enum class Op { Eq, Ne, Lt, Gt, Le, Ge, Like };

class Compare : public FilterNode {
 public:
  Compare(Op O, std::unique_ptr<FilterNode> A, std::unique_ptr<FilterNode> B, TFilterOptions Options)
      : FOp(O), FA(std::move(A)), FB(std::move(B)), FOptions(Options) {}

  Value Eval() const override {
    Value a = FA->Eval(), b = FB->Eval();
    if (IsNullValue(a) || IsNullValue(b)) return false;
    // A value compared with a field takes the field's type.
    const TField* fa = FA->Field();
    const TField* fb = FB->Field();
    try {
      if (fa && !fb) b = fa->ConvertForStorage(b);
      if (fb && !fa) a = fb->ConvertForStorage(a);
    } catch (const Exception&) {
      if (FOp == Op::Like) {
        // like compares text whatever the field
      } else {
        return FOp == Op::Ne;
      }
    }
    bool textual = std::holds_alternative<std::string>(a) || std::holds_alternative<std::string>(b) ||
                   FOp == Op::Like;
    if (textual) {
      std::string x = ToText(a, fa ? StorageOf(fa->DataType()) : Storage::Text);
      std::string y = ToText(b, fb ? StorageOf(fb->DataType()) : Storage::Text);
      if (FOptions & foCaseInsensitive) {
        x = AnsiLowerCase(x);
        y = AnsiLowerCase(y);
      }
      if (FOp == Op::Like) return Wildcard(x, y, '%', '*', '_');
      if ((FOp == Op::Eq || FOp == Op::Ne) && !(FOptions & foNoPartialCompare) && FB->IsStringLiteral() &&
          y.find('*') != std::string::npos) {
        bool m = Wildcard(x, y, '*', '*', 0);
        return FOp == Op::Eq ? m : !m;
      }
      int c = x.compare(y);
      return Result(c < 0 ? -1 : c > 0 ? 1 : 0);
    }
    double x, y;
    try {
      x = ToFloat(a);
      y = ToFloat(b);
    } catch (const Exception&) {
      return false;
    }
    bool dates = (fa && StorageOf(fa->DataType()) == Storage::DateTime) ||
                 (fb && StorageOf(fb->DataType()) == Storage::DateTime);
    if (dates) {
      x = static_cast<double>(std::llround(x * 86400000.0));
      y = static_cast<double>(std::llround(y * 86400000.0));
    }
    return Result(x < y ? -1 : x > y ? 1 : 0);
  }

 private:
  bool Result(int C) const {
    switch (FOp) {
      case Op::Eq: return C == 0;
      case Op::Ne: return C != 0;
      case Op::Lt: return C < 0;
      case Op::Gt: return C > 0;
      case Op::Le: return C <= 0;
      case Op::Ge: return C >= 0;
      default: return false;
    }
  }
  Op FOp;
  std::unique_ptr<FilterNode> FA, FB;
  TFilterOptions FOptions;
};

struct Token {
  enum Kind { End, Ident, Number, String, Symbol } K = End;
  std::string Text;
};

class Parser {
 public:
  Parser(const std::string& Text, TDataSet* DataSet, TFilterOptions Options)
      : FText(Text), FDataSet(DataSet), FOptions(Options) {
    Next();
  }

  std::unique_ptr<FilterNode> Parse() {
    auto n = ParseOr();
    if (FTok.K != Token::End) SyntaxError(FText, "unexpected '" + FTok.Text + "'");
    return n;
  }

 private:
  bool IsWord(const char* W) const { return FTok.K == Token::Ident && !FBracketed && SameName(FTok.Text, W); }
  bool IsSym(const char* S) const { return FTok.K == Token::Symbol && FTok.Text == S; }

  void Next() {
    FBracketed = false;
    while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t' || FText[FPos] == '\r' || FText[FPos] == '\n'))
      ++FPos;
    FTok = Token();
    if (FPos >= FText.size()) return;
    char c = FText[FPos];
    if (c == '\'' || c == '"') {
      std::string s;
      ++FPos;
      for (;;) {
        if (FPos >= FText.size()) SyntaxError(FText, "unterminated string");
        if (FText[FPos] == c) {
          if (FPos + 1 < FText.size() && FText[FPos + 1] == c) {
            s += c;
            FPos += 2;
            continue;
          }
          ++FPos;
          break;
        }
        s += FText[FPos++];
      }
      FTok = {Token::String, s};
    } else if (c == '[') {
      size_t e = FText.find(']', FPos);
      if (e == std::string::npos) SyntaxError(FText, "missing ']'");
      FTok = {Token::Ident, FText.substr(FPos + 1, e - FPos - 1)};
      FPos = e + 1;
      FBracketed = true;
    } else if ((c >= '0' && c <= '9') || (c == '.' && FPos + 1 < FText.size() && FText[FPos + 1] >= '0' && FText[FPos + 1] <= '9')) {
      size_t b = FPos;
      while (FPos < FText.size() && ((FText[FPos] >= '0' && FText[FPos] <= '9') || FText[FPos] == '.')) ++FPos;
      FTok = {Token::Number, FText.substr(b, FPos - b)};
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_' || static_cast<unsigned char>(c) >= 0x80) {
      size_t b = FPos;
      while (FPos < FText.size() && (std::isalnum(static_cast<unsigned char>(FText[FPos])) || FText[FPos] == '_' ||
                                     static_cast<unsigned char>(FText[FPos]) >= 0x80))
        ++FPos;
      FTok = {Token::Ident, FText.substr(b, FPos - b)};
    } else {
      static const char* const two[] = {"<>", "<=", ">=", "!="};
      for (const char* t : two)
        if (FText.compare(FPos, 2, t) == 0) {
          FTok = {Token::Symbol, t};
          FPos += 2;
          return;
        }
      if (std::string("=<>()+-*/").find(c) == std::string::npos)
        SyntaxError(FText, std::string("unexpected '") + c + "'");
      FTok = {Token::Symbol, std::string(1, c)};
      ++FPos;
    }
  }

  std::unique_ptr<FilterNode> ParseOr() {
    auto a = ParseAnd();
    while (IsWord("or")) {
      Next();
      a = std::make_unique<Logic>(false, std::move(a), ParseAnd());
    }
    return a;
  }

  std::unique_ptr<FilterNode> ParseAnd() {
    auto a = ParseNot();
    while (IsWord("and")) {
      Next();
      a = std::make_unique<Logic>(true, std::move(a), ParseNot());
    }
    return a;
  }

  std::unique_ptr<FilterNode> ParseNot() {
    if (IsWord("not")) {
      Next();
      return std::make_unique<Not>(ParseNot());
    }
    return ParseCompare();
  }

  std::unique_ptr<FilterNode> ParseCompare() {
    auto a = ParseAdd();
    if (IsWord("is")) {
      Next();
      bool negate = false;
      if (IsWord("not")) {
        negate = true;
        Next();
      }
      if (!IsWord("null")) SyntaxError(FText, "'null' expected after 'is'");
      Next();
      return std::make_unique<IsNull>(std::move(a), negate);
    }
    Op op;
    if (IsSym("=")) op = Op::Eq;
    else if (IsSym("<>") || IsSym("!=")) op = Op::Ne;
    else if (IsSym("<")) op = Op::Lt;
    else if (IsSym(">")) op = Op::Gt;
    else if (IsSym("<=")) op = Op::Le;
    else if (IsSym(">=")) op = Op::Ge;
    else if (IsWord("like")) op = Op::Like;
    else return a;
    Next();
    return std::make_unique<Compare>(op, std::move(a), ParseAdd(), FOptions);
  }

  std::unique_ptr<FilterNode> ParseAdd() {
    auto a = ParseMul();
    while (IsSym("+") || IsSym("-")) {
      char op = FTok.Text[0];
      Next();
      a = std::make_unique<Arith>(op, std::move(a), ParseMul());
    }
    return a;
  }

  std::unique_ptr<FilterNode> ParseMul() {
    auto a = ParseUnary();
    while (IsSym("*") || IsSym("/")) {
      char op = FTok.Text[0];
      Next();
      a = std::make_unique<Arith>(op, std::move(a), ParseUnary());
    }
    return a;
  }

  std::unique_ptr<FilterNode> ParseUnary() {
    if (IsSym("-")) {
      Next();
      return std::make_unique<Arith>('-', std::make_unique<Literal>(int64_t{0}), ParseUnary());
    }
    return ParsePrimary();
  }

  std::unique_ptr<FilterNode> ParsePrimary() {
    Token t = FTok;
    switch (t.K) {
      case Token::End:
        SyntaxError(FText, "unexpected end");
      case Token::String:
        Next();
        return std::make_unique<Literal>(t.Text, true);
      case Token::Number: {
        Next();
        if (t.Text.find('.') != std::string::npos) return std::make_unique<Literal>(ToFloat(t.Text));
        return std::make_unique<Literal>(ToInteger(t.Text));
      }
      case Token::Ident: {
        bool bracketed = FBracketed;
        Next();
        if (!bracketed) {
          if (SameName(t.Text, "null")) return std::make_unique<Literal>(Value());
          if (SameName(t.Text, "true")) return std::make_unique<Literal>(true);
          if (SameName(t.Text, "false")) return std::make_unique<Literal>(false);
        }
        TField* f = FDataSet->FindField(t.Text);
        if (!f) DatabaseError("Field '" + t.Text + "' not found");
        return std::make_unique<FieldRef>(f);
      }
      case Token::Symbol:
        if (t.Text == "(") {
          Next();
          auto n = ParseOr();
          if (!IsSym(")")) SyntaxError(FText, "')' expected");
          Next();
          return n;
        }
        SyntaxError(FText, "unexpected '" + t.Text + "'");
    }
    SyntaxError(FText, "unexpected end");
  }

  const std::string& FText;
  TDataSet* FDataSet;
  TFilterOptions FOptions;
  size_t FPos = 0;
  Token FTok;
  bool FBracketed = false;
};

}  // namespace

FilterExpression::FilterExpression(const std::string& Text, TDataSet* DataSet, TFilterOptions Options) {
  Parser p(Text, DataSet, Options);
  FRoot = p.Parse();
}

FilterExpression::~FilterExpression() = default;

bool FilterExpression::Evaluate() const { return Truth(FRoot->Eval()); }

}  // namespace data
