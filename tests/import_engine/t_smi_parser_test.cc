#include "import_engine/t_smi_parser.h"

#include <gtest/gtest.h>

#include "runtime/date_time.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Records every call of the hook; optionally answers with its own value.
struct RecordingHook {
  struct Call {
    TPersistent* sender;
    UnicodeString name;
    std::vector<Variant> args;
    int32_t argCount;
    bool isChild;
    Variant presetValue;
    bool presetDone;
  };
  std::vector<Call> calls;
  bool setValue = false;
  Variant answer;
  bool answerDone = false;

  TOnEvaluate Callable() {
    return [this](TPersistent* sender, const UnicodeString& name, const std::vector<Variant>& args,
                  int32_t argCount, bool isChild, Variant& value, bool& done) {
      calls.push_back({sender, name, args, argCount, isChild, value, done});
      if (setValue) value = answer;
      done = answerDone;
    };
  }
};

TEST(TSMIParser, SingleNamesReachTheHookWithTheirQuotingRemoved) {
  struct Row {
    const char16_t* expression;
    const char16_t* nameAsWritten;
    const char16_t* preset;
  } rows[] = {
      {u"Title", u"Title", u"Title"},
      {u"  Title  ", u"Title", u"Title"},
      {u"[Node Text]", u"[Node Text]", u"Node Text"},
      {u"[[Node Text]]", u"[[Node Text]]", u"Node Text"},
      {u"\"Node Text\"", u"\"Node Text\"", u"Node Text"},
      {u"'Node Text'", u"'Node Text'", u"Node Text"},
      {u"[a/b]", u"[a/b]", u"a/b"},
      {u"[A]]", u"[A]]", u"A"},
      {u"[AND]", u"[AND]", u"AND"},
      {u"Orders.Total", u"Orders.Total", u"Orders.Total"},
      {u"_x1", u"_x1", u"_x1"},
      {u"Andrew", u"Andrew", u"Andrew"},
      {u"[]", u"[]", u""},
      {u"[GETDATE]", u"[GETDATE]", u"GETDATE"},
  };
  for (const Row& r : rows) {
    RecordingHook hook;
    TSMIParser parser(r.expression, hook.Callable());
    const Variant result = parser.Evaluate();
    const std::string label = ToUtf8(r.expression);
    ASSERT_EQ(hook.calls.size(), 1u) << label;
    const RecordingHook::Call& call = hook.calls[0];
    EXPECT_EQ(call.sender, &parser) << label;
    EXPECT_EQ(call.name, r.nameAsWritten) << label;
    EXPECT_EQ(call.presetValue, Variant(r.preset)) << label;
    EXPECT_FALSE(call.isChild) << label;
    EXPECT_FALSE(call.presetDone) << label;
    // Without an answer of its own the hook leaves the preset as the result.
    EXPECT_EQ(result, Variant(r.preset)) << label;
  }
}

TEST(TSMIParser, TheHookGetsElevenUnassignedArgumentsAndItsValueIsTheResult) {
  RecordingHook hook;
  hook.setValue = true;
  hook.answer = Variant(int32_t{42});
  TSMIParser parser(u"Amount", hook.Callable());
  EXPECT_EQ(parser.Evaluate(), Variant(int32_t{42}));
  ASSERT_EQ(hook.calls.size(), 1u);
  EXPECT_EQ(hook.calls[0].argCount, 11);
  ASSERT_EQ(hook.calls[0].args.size(), 11u);
  for (const Variant& arg : hook.calls[0].args) EXPECT_TRUE(arg.IsEmpty());
}

TEST(TSMIParser, WithoutAHookTheNameItselfIsTheValue) {
  TSMIParser parser;
  parser.SetExpression(u"[[Node Text]]");
  EXPECT_EQ(parser.Evaluate(), Variant(u"Node Text"));
}

TEST(TSMIParser, GetDateYieldsNowWithoutReachingTheHook) {
  for (const char16_t* expression : {u"GETDATE", u"getdate", u" GetDate "}) {
    RecordingHook hook;
    TSMIParser parser(expression, hook.Callable());
    const TDateTime before = Now();
    const Variant result = parser.Evaluate();
    const TDateTime after = Now();
    EXPECT_TRUE(hook.calls.empty()) << ToUtf8(expression);
    ASSERT_EQ(result.Type(), VarType::Date) << ToUtf8(expression);
    EXPECT_GE(result.AsDate(), before);
    EXPECT_LE(result.AsDate(), after);
  }
}

TEST(TSMIParser, PiReplacesTheHookValueUnlessTheHookIsDone) {
  struct Row {
    const char16_t* expression;
    bool hookDone;
    bool expectPi;
  } rows[] = {
      {u"PI", false, true},
      {u"pi", false, true},
      {u"PI", true, false},
      // A quoted name is a reference, never the function.
      {u"[PI]", false, false},
  };
  for (const Row& r : rows) {
    RecordingHook hook;
    hook.setValue = true;
    hook.answer = Variant(u"column value");
    hook.answerDone = r.hookDone;
    TSMIParser parser(r.expression, hook.Callable());
    const Variant result = parser.Evaluate();
    const std::string label = ToUtf8(r.expression) + (r.hookDone ? " done" : "");
    EXPECT_EQ(hook.calls.size(), 1u) << label;
    EXPECT_EQ(result, r.expectPi ? Variant(kPi) : Variant(u"column value")) << label;
  }
  TSMIParser noHook(u"Pi", nullptr);
  EXPECT_EQ(noHook.Evaluate(), Variant(kPi));
}

TEST(TSMIParser, AParsedExpressionEvaluatesLikeItsTextEveryTime) {
  // Each evaluation asks the hook anew; errors and their texts are those of
  // the text itself.
  struct Row {
    const char16_t* expression;
    int hookCalls;  // per evaluation
    Variant value;  // with the hook answering "hook"
    const char16_t* error;
  } rows[] = {
      {u"Title", 1, Variant(u"hook"), nullptr},
      {u" [Node Text] ", 1, Variant(u"hook"), nullptr},
      {u"Pi", 1, Variant(kPi), nullptr},
      {u"12", 0, Variant(int32_t{12}), nullptr},
      {u"  ", 0, Variant::Null(), nullptr},
      {u" a + b", 0, Variant(), u"Cannot evaluate expression:  a + b"},
      {u"[open", 0, Variant(), u"Cannot evaluate expression: [open"},
  };
  for (const Row& r : rows) {
    const std::string label = ToUtf8(r.expression);
    const TSMIParser::ParsedExpression parsed = TSMIParser::Parse(r.expression);
    RecordingHook hook;
    hook.setValue = true;
    hook.answer = Variant(u"hook");
    TSMIParser parser;
    parser.SetOnEvaluate(hook.Callable());
    for (int pass = 1; pass <= 2; ++pass) {
      if (r.error) {
        try {
          parser.Evaluate(parsed);
          ADD_FAILURE() << label << ": no error";
        } catch (const EConvertError& e) {
          EXPECT_EQ(e.Message(), r.error) << label;
        }
      } else {
        EXPECT_EQ(parser.Evaluate(parsed), r.value) << label;
      }
      EXPECT_EQ(hook.calls.size(), static_cast<size_t>(r.hookCalls * pass)) << label;
    }
  }
}

TEST(TSMIParser, NumberLiteralsGiveTheirValue) {
  struct Row {
    const char16_t* expression;
    Variant value;
  } rows[] = {
      {u"42", Variant(int32_t{42})},
      {u"007", Variant(int32_t{7})},
      {u"1.5", Variant(1.5)},
      {u"2e3", Variant(2000.0)},
      {u"3000000000", Variant(3000000000.0)},
  };
  for (const Row& r : rows) {
    RecordingHook hook;
    TSMIParser parser(r.expression, hook.Callable());
    EXPECT_EQ(parser.Evaluate(), r.value) << ToUtf8(r.expression);
    EXPECT_TRUE(hook.calls.empty()) << ToUtf8(r.expression);
  }
}

TEST(TSMIParser, BlankExpressionIsNull) {
  for (const char16_t* expression : {u"", u"   "}) {
    RecordingHook hook;
    TSMIParser parser(expression, hook.Callable());
    EXPECT_TRUE(parser.Evaluate().IsNull());
    EXPECT_TRUE(hook.calls.empty());
  }
}

TEST(TSMIParser, AnythingButOneNameOrNumberFailsWithoutCallingTheHook) {
  const char16_t* expressions[] = {
      u"AND", u"or", u"Not", u"A + B", u"A B", u"A,B", u"F(x)", u"x=1", u"-5", u"!x", u"1abc", u"1.2.3",
      u"[unterminated", u"[a]b]", u"[A] [B]", u"\"A", u"[\"A\"]",
  };
  for (const char16_t* expression : expressions) {
    RecordingHook hook;
    TSMIParser parser(expression, hook.Callable());
    try {
      parser.Evaluate();
      ADD_FAILURE() << "no exception for " << ToUtf8(expression);
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), UnicodeString(u"Cannot evaluate expression: ") + expression);
    }
    EXPECT_TRUE(hook.calls.empty()) << ToUtf8(expression);
  }
}

}  // namespace
