#include "platform/automation/automation_server_registry.h"

#include <vector>

#include "platform/automation/builtin_servers.h"

namespace {

struct Entry {
  UnicodeString className;
  AutomationServerFactory factory;
};

std::vector<Entry>& Entries() {
  static std::vector<Entry> entries;
  return entries;
}

Entry* FindEntry(UnicodeStringView className) {
  for (Entry& e : Entries())
    if (SameTextAscii(e.className, className)) return &e;
  return nullptr;
}

}  // namespace

void AutomationServerRegistry::Register(UnicodeStringView className, AutomationServerFactory factory) {
  if (Entry* e = FindEntry(className)) {
    e->factory = std::move(factory);
    return;
  }
  Entries().push_back(Entry{UnicodeString(className), std::move(factory)});
}

void AutomationServerRegistry::Unregister(UnicodeStringView className) {
  auto& entries = Entries();
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (SameTextAscii(it->className, className)) {
      entries.erase(it);
      return;
    }
  }
}

AutomationServerFactory AutomationServerRegistry::Find(UnicodeStringView className) {
  if (Entry* e = FindEntry(className)) return e->factory;
  return FindBuiltinServer(className);
}

std::optional<AutomationServerFactory> AutomationServerRegistry::Registration(UnicodeStringView className) {
  if (Entry* e = FindEntry(className)) return e->factory;
  return std::nullopt;
}

ScopedAutomationServer::ScopedAutomationServer(UnicodeStringView className, AutomationServerFactory factory)
    : className_(className), previous_(AutomationServerRegistry::Registration(className)) {
  AutomationServerRegistry::Register(className, std::move(factory));
}

ScopedAutomationServer::~ScopedAutomationServer() {
  if (previous_) AutomationServerRegistry::Register(className_, std::move(*previous_));
  else AutomationServerRegistry::Unregister(className_);
}
