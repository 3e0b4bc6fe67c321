#include <gtest/gtest.h>

#include "platform/automation/automation_server_registry.h"
#include "platform/automation/create_ole_object.h"
#include "platform/automation/dispatch_arguments.h"
#include "runtime/exceptions.h"

namespace {

// A server that answers every call with the member name and counts objects.
class EchoServer : public IDispatchObject {
 public:
  explicit EchoServer(UnicodeString tag) : tag_(std::move(tag)) {}
  Variant Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>&,
                 const std::vector<NamedArgument>&) override {
    return Variant(tag_ + u":" + UnicodeString(member));
  }

 private:
  UnicodeString tag_;
};

AutomationServerFactory Echo(const char16_t* tag) {
  UnicodeString t = tag;
  return [t] { return DispatchRef(std::make_shared<EchoServer>(t)); };
}

UnicodeString CreationError(const char16_t* className) {
  try {
    CreateOleObject(className);
  } catch (const EOleError& e) {
    return e.Message();
  }
  return u"(created)";
}

}  // namespace

TEST(CreateOleObject, UnknownClassFailsLikeThePlatform) {
  EXPECT_EQ(CreationError(u"No.Such.Server"), u"Invalid class string");
  EXPECT_EQ(CreationError(u""), u"Invalid class string");
}

TEST(CreateOleObject, BuiltinDaoEnginesAnswerToBothVersionsIgnoringCase) {
  EXPECT_EQ(CreateOleObject(u"DAO.DBEngine.36").Get(u"Version").ToString(), u"3.6");
  EXPECT_EQ(CreateOleObject(u"dao.dbengine.35").Get(u"Version").ToString(), u"3.5");
  EXPECT_EQ(CreationError(u"DAO.DBEngine.120"), u"Invalid class string");
}

TEST(CreateOleObject, RegisteredServersOverrideAndRestore) {
  {
    ScopedAutomationServer fake(u"DAO.DBEngine.36", Echo(u"fake"));
    EXPECT_EQ(CreateOleObject(u"DAO.DBEngine.36").Call(u"OpenDatabase").ToString(), u"fake:OpenDatabase");
    {
      // An empty factory hides the server: the name fails like an unknown one.
      ScopedAutomationServer none(u"dao.dbengine.36", AutomationServerFactory());
      EXPECT_EQ(CreationError(u"DAO.DBEngine.36"), u"Invalid class string");
    }
    EXPECT_EQ(CreateOleObject(u"DAO.DBEngine.36").Get(u"X").ToString(), u"fake:X");
    // The other version still reaches the built-in engine.
    EXPECT_EQ(CreateOleObject(u"DAO.DBEngine.35").Get(u"Version").ToString(), u"3.5");
  }
  EXPECT_EQ(CreateOleObject(u"DAO.DBEngine.36").Get(u"Version").ToString(), u"3.6");

  ScopedAutomationServer custom(u"Test.Echo", Echo(u"e"));
  EXPECT_EQ(CreateOleObject(u"TEST.ECHO").Get(u"Y").ToString(), u"e:Y");
  // Each creation makes a new object.
  EXPECT_FALSE(CreateOleObject(u"Test.Echo") == CreateOleObject(u"Test.Echo"));
}

TEST(CreateOleObject, AFactoryFailurePassesThrough) {
  ScopedAutomationServer failing(u"Test.Failing", [] () -> DispatchRef { throw EOleError(u"Server execution failed"); });
  EXPECT_EQ(CreationError(u"Test.Failing"), u"Server execution failed");
}

TEST(DispatchArguments, BindsPositionalAndNamedArgumentsToParameters) {
  using Args = std::vector<Variant>;
  using Named = std::vector<NamedArgument>;
  DispatchArguments a(Args{Variant(u"p")}, Named{{u"connect", Variant(u";PWD=x")}},
                      {u"Name", u"Options", u"ReadOnly", u"Connect"});
  EXPECT_EQ(a[0], Variant(u"p"));
  EXPECT_FALSE(a.Has(1));
  EXPECT_TRUE(a[2].IsEmpty());
  EXPECT_EQ(a[3], Variant(u";PWD=x"));

  struct Row {
    Args positional;
    Named named;
    const char16_t* error;
  } rows[] = {
      {Args{Variant(1), Variant(2), Variant(3)}, Named{}, u"Invalid number of parameters."},
      {Args{}, Named{{u"Nope", Variant(1)}}, u"Unknown name."},
      {Args{Variant(1)}, Named{{u"A", Variant(2)}}, u"Invalid number of parameters."},
  };
  for (const Row& r : rows) {
    try {
      DispatchArguments(r.positional, r.named, {u"A", u"B"});
      ADD_FAILURE() << "no error";
    } catch (const EOleError& e) {
      EXPECT_EQ(e.Message(), r.error);
    }
  }
}
