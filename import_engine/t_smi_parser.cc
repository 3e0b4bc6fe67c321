#include "import_engine/t_smi_parser.h"

#include <optional>

#include "import_engine/numeric_text.h"
#include "runtime/date_time.h"
#include "runtime/exceptions.h"
#include "runtime/str_to_int.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool OpensQuotedName(char16_t c) { return c == u'[' || c == u'"' || c == u'\''; }
bool ClosesQuotedName(char16_t c) { return c == u']' || c == u'"' || c == u'\''; }

// Characters that end a plain name.
bool IsDelimiter(char16_t c) {
  switch (c) {
    case u'(': case u')': case u',':
    case u'+': case u'-': case u'*': case u'/': case u'^': case u'!': case u'=': case u'<': case u'>':
      return true;
    default:
      return IsBlank(c);
  }
}

bool IsOperatorWord(UnicodeStringView word) {
  return SameTextAscii(word, u"AND") || SameTextAscii(word, u"OR") || SameTextAscii(word, u"NOT");
}

// The single token an expression consists of.
struct Token {
  enum Kind { kName, kQuotedName, kNumber } kind;
  UnicodeString text;
};

// The length of the quoted name that starts `s` (s[0] opens it), or nothing
// when it is not closed.
std::optional<size_t> QuotedNameLength(UnicodeStringView s) {
  for (size_t i = 1; i < s.size(); ++i) {
    if (!ClosesQuotedName(s[i])) continue;
    const bool followedByCloser = i + 1 < s.size() && ClosesQuotedName(s[i + 1]);
    if (!followedByCloser) return i + 1;
  }
  return std::nullopt;
}

// `expr` (already trimmed, not empty) as one token, or nothing when it is
// more than one token or no valid token.
std::optional<Token> SingleToken(UnicodeStringView expr) {
  if (OpensQuotedName(expr[0])) {
    const std::optional<size_t> length = QuotedNameLength(expr);
    if (!length || *length != expr.size()) return std::nullopt;
    return Token{Token::kQuotedName, UnicodeString(expr)};
  }
  for (char16_t c : expr) {
    if (IsDelimiter(c)) return std::nullopt;
  }
  if (IsDigit(expr[0])) {
    if (!IsNumericText(expr, u'.')) return std::nullopt;
    return Token{Token::kNumber, UnicodeString(expr)};
  }
  if (IsOperatorWord(expr)) return std::nullopt;
  return Token{Token::kName, UnicodeString(expr)};
}

Variant NumberValue(const UnicodeString& literal) {
  int32_t integer = 0;
  bool decimalDigitsOnly = true;
  for (char16_t c : literal) decimalDigitsOnly = decimalDigitsOnly && IsDigit(c);
  if (decimalDigitsOnly && TryStrToInt(literal, integer)) return Variant(integer);
  double value = 0;
  if (!TryNumericTextToFloat(literal, u'.', value)) {
    throw EConvertError(u"Cannot evaluate expression: " + literal);
  }
  return Variant(value);
}

}  // namespace

TSMIParser::TSMIParser(const UnicodeString& expression, TOnEvaluate onEvaluate)
    : expression_(expression), onEvaluate_(std::move(onEvaluate)) {}

UnicodeString TSMIParser::NameWithoutQuoting(UnicodeStringView nameAsWritten) {
  UnicodeString name(nameAsWritten);
  if (!name.empty() && OpensQuotedName(name.front())) {
    name = name.size() >= 2 ? name.substr(1, name.size() - 2) : UnicodeString();
  }
  if (!name.empty() && (name.front() == u'[' || name.front() == u'"')) name.erase(0, 1);
  if (!name.empty() && (name.back() == u']' || name.back() == u'"')) name.pop_back();
  return name;
}

TSMIParser::ParsedExpression TSMIParser::Parse(const UnicodeString& expression) {
  ParsedExpression parsed;
  parsed.expression = expression;
  const UnicodeString expr = Trim(expression);
  if (expr.empty()) return parsed;  // kBlank
  const std::optional<Token> token = SingleToken(expr);
  if (!token) {
    parsed.kind = ParsedExpression::kInvalid;
    return parsed;
  }
  parsed.token = token->text;
  switch (token->kind) {
    case Token::kNumber:
      parsed.kind = ParsedExpression::kNumber;
      break;
    case Token::kName:
      parsed.kind = SameTextAscii(token->text, u"GETDATE") ? ParsedExpression::kGetDate : ParsedExpression::kName;
      parsed.isPi = SameTextAscii(token->text, u"PI");
      break;
    case Token::kQuotedName:
      parsed.kind = ParsedExpression::kQuotedName;
      break;
  }
  if (parsed.kind == ParsedExpression::kName || parsed.kind == ParsedExpression::kQuotedName)
    parsed.preset = NameWithoutQuoting(parsed.token);
  return parsed;
}

Variant TSMIParser::Evaluate() { return Evaluate(Parse(expression_)); }

Variant TSMIParser::Evaluate(const ParsedExpression& parsed) {
  Variant value;
  Evaluate(parsed, value);
  return value;
}

void TSMIParser::Evaluate(const ParsedExpression& parsed, Variant& value) {
  switch (parsed.kind) {
    case ParsedExpression::kBlank: value = Variant::Null(); return;
    case ParsedExpression::kInvalid: throw EConvertError(u"Cannot evaluate expression: " + parsed.expression);
    case ParsedExpression::kNumber: value = NumberValue(parsed.token); return;
    case ParsedExpression::kGetDate: value = Variant::FromDate(Now()); return;
    case ParsedExpression::kName:
    case ParsedExpression::kQuotedName: break;
  }
  value.AssignString(parsed.preset);
  bool done = false;
  if (onEvaluate_) {
    // Never changed by a hook (it gets them read-only), so one set serves every call.
    static const std::vector<Variant> kUnassignedArguments(kArgumentCount);
    onEvaluate_(this, parsed.token, kUnassignedArguments, kArgumentCount, false, value, done);
  }
  // The built-in function of the same name (only PI) has the last word when
  // the hook did not claim the name.
  if (!done && parsed.isPi) value = Variant(kPi);
}
