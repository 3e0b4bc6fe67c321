// The in-process automation servers, found by class name.
//
// CreateOleObject asks this registry for the factory of a class name. A name
// registered at run time wins; otherwise the built-in table of this folder
// answers (on Linux the DAO server of platform/dao/ for "DAO.DBEngine.36" and
// "DAO.DBEngine.35"). The built-in table is a constant array looked up by
// code, not filled by static initialisers, so linking the static library
// always brings the servers along.
//
// Class names compare ignoring ASCII case, as class strings do on the
// platform. The registry is process-wide and, like everything in the
// system, used from one thread.
#pragma once

#include <functional>
#include <optional>

#include "runtime/dispatch.h"
#include "runtime/unicode_string.h"

// Creates one new server object. It may raise EOleError to report that the
// server failed to start; it never returns null.
using AutomationServerFactory = std::function<DispatchRef()>;

class AutomationServerRegistry {
 public:
  // Registers `factory` for `className`, replacing an earlier registration
  // and hiding a built-in server of that name. An empty factory registers
  // "no server": the name then fails like an unknown class.
  static void Register(UnicodeStringView className, AutomationServerFactory factory);
  // Removes a registration; a built-in server of that name answers again.
  static void Unregister(UnicodeStringView className);
  // The factory that answers to `className`, or an empty one.
  static AutomationServerFactory Find(UnicodeStringView className);
  // The current registration for `className` (the empty factory included),
  // or nullopt when none was made. ScopedAutomationServer uses it to restore.
  static std::optional<AutomationServerFactory> Registration(UnicodeStringView className);
};

// Registers a server for its own lifetime and restores the previous state of
// the name afterwards (tests install scripted servers this way).
class ScopedAutomationServer {
 public:
  ScopedAutomationServer(UnicodeStringView className, AutomationServerFactory factory);
  ~ScopedAutomationServer();
  ScopedAutomationServer(const ScopedAutomationServer&) = delete;
  ScopedAutomationServer& operator=(const ScopedAutomationServer&) = delete;

 private:
  UnicodeString className_;
  std::optional<AutomationServerFactory> previous_;
};
