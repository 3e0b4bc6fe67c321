#include "platform/automation/builtin_servers.h"

#include "platform/dao/dao_db_engine.h"

namespace {

struct BuiltinServer {
  const char16_t* className;
  const char16_t* version;
};

// The DAO engine in its two versions; both read the same files here.
constexpr BuiltinServer kBuiltinServers[] = {
    {u"DAO.DBEngine.36", u"3.6"},
    {u"DAO.DBEngine.35", u"3.5"},
};

}  // namespace

AutomationServerFactory FindBuiltinServer(UnicodeStringView className) {
  for (const BuiltinServer& s : kBuiltinServers) {
    if (SameTextAscii(className, s.className)) {
      UnicodeString version = s.version;
      return [version] { return DispatchRef(std::make_shared<DaoDbEngine>(version)); };
    }
  }
  return {};
}
