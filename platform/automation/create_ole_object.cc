#include "platform/automation/create_ole_object.h"

#include "platform/automation/automation_server_registry.h"
#include "runtime/exceptions.h"

Variant CreateOleObject(UnicodeStringView className) {
  AutomationServerFactory factory = AutomationServerRegistry::Find(className);
  if (!factory) throw EOleError(u"Invalid class string");
  DispatchRef object = factory();
  if (!object) throw EOleError(u"Invalid class string");
  return Variant(std::move(object));
}
