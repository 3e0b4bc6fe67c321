// TSMIParser: the import engine's expression calculator, limited to what the
// engine's evaluation of cells needs: an expression made of one name (or one
// number). Operators and functions other than PI and GETDATE are not
// evaluated: such an expression raises EConvertError (see Evaluate), so a
// mapping the calculator cannot read fails visibly as a row error instead of
// importing a wrong value.
//
// A parser serves one evaluation or, kept by its user, many (the import
// component keeps one for its cells): set the expression and the hook, call
// Evaluate. It holds no reference after Evaluate returns; the hook (a
// callable) must stay valid while Evaluate runs.
//
// Names:
//   plain   a run of characters other than blanks, "(", ")", ",", and the
//           operator characters + - * / ^ ! = < >, that does not begin with
//           a digit and is not one of the operator words AND, OR, NOT
//           (compared ignoring case);
//   quoted  text, blanks included, that begins with "[", a double quote or
//           an apostrophe and ends at the first "]", double quote or
//           apostrophe that is not followed by another of these three.
// Blanks around the expression are ignored.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "runtime/component.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"

// The calculator's callback for names: sender (the object that calls), the
// name as written in the expression (quoting included), the argument values
// with their count, the is-child flag (true when the name is part of a larger
// expression), the in/out value and the in/out done flag (true: the name
// needs no further treatment by the calculator).
//
// The calculator always passes TSMIParser::kArgumentCount argument values
// (all unassigned for a bare name) and that count, so a hook that derives
// "done" from "count = 0" leaves done false for the calculator, which then
// lets a built-in function of that name (PI) replace the value. A direct
// caller that has no arguments passes an empty array and 0.
using TOnEvaluate = std::function<void(TPersistent* sender, const UnicodeString& name,
                                       const std::vector<Variant>& args, int32_t argCount, bool isChild,
                                       Variant& value, bool& done)>;

class TSMIParser : public TPersistent {
 public:
  static constexpr int32_t kArgumentCount = 11;

  TSMIParser() = default;
  TSMIParser(const UnicodeString& expression, TOnEvaluate onEvaluate);

  UnicodeString ClassName() const override { return u"TSMIParser"; }

  const UnicodeString& Expression() const { return expression_; }
  void SetExpression(const UnicodeString& value) { expression_ = value; }
  const TOnEvaluate& OnEvaluate() const { return onEvaluate_; }
  void SetOnEvaluate(TOnEvaluate value) { onEvaluate_ = std::move(value); }

  // The value of the expression:
  //   empty or blank       Null;
  //   a number literal     (digits, optional fraction after ".", optional
  //                        exponent) its value: a 32-bit integer when it is
  //                        one, else a double;
  //   the plain name GETDATE (any case)
  //                        the current date and time; the hook is not called;
  //   any other name       the hook is called with this parser as sender,
  //                        the name as written, kArgumentCount unassigned
  //                        arguments and that count, is-child false, done
  //                        false and the value preset to the name without
  //                        its quoting (see NameWithoutQuoting); the result
  //                        is what the hook leaves in the value, except that
  //                        a plain name PI (any case) left with done false
  //                        yields pi. Without a hook the preset value is the
  //                        result.
  // Anything else (operators, function calls, an unterminated quoted name,
  // an operator word alone) raises EConvertError
  // "Cannot evaluate expression: <expression>".
  Variant Evaluate();

  // An expression read once, for a caller that evaluates the same text many
  // times (the import run evaluates one mapping per field and row): what
  // Evaluate works out from the text alone before any name is resolved.
  // Evaluate(parsed) then gives what Evaluate gives for that text, errors
  // included, with this parser as the hook's sender.
  struct ParsedExpression {
    enum Kind { kBlank, kInvalid, kNumber, kGetDate, kName, kQuotedName } kind = kBlank;
    UnicodeString expression;  // the whole text, for the error message
    UnicodeString token;       // the name as written, or the number literal
    UnicodeString preset;      // names: NameWithoutQuoting(token)
    bool isPi = false;         // a plain name PI (any case)
  };
  static ParsedExpression Parse(const UnicodeString& expression);
  Variant Evaluate(const ParsedExpression& parsed);
  // The same into `value`, whatever it held: a text it holds lends its
  // storage to the preset name (the result does not depend on it).
  void Evaluate(const ParsedExpression& parsed, Variant& value);

  // The value a quoted or plain name is preset to: the quoting characters
  // removed, then one leading "[" or double quote and one trailing "]" or
  // double quote removed ([A B] and [[A B]] both give A B).
  static UnicodeString NameWithoutQuoting(UnicodeStringView nameAsWritten);

 private:
  UnicodeString expression_;
  TOnEvaluate onEvaluate_;
};
