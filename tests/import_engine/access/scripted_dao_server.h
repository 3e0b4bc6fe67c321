// A scripted stand-in for the DAO engine, registered under the engine's class
// names for the lifetime of the object. It serves an in-memory database of
// tables and saved queries and records every call it receives, so tests can
// check what the Access source sends.
//
// Log lines: "create DAO.DBEngine.36", then "<Object>.<Member>(<args>)" with
// texts quoted, numbers plain and named arguments as Name=value, e.g.
// `Engine.OpenDatabase("a.mdb")`, `Database.OpenRecordset("T", 1, 0, 2)`,
// `QueryDefs.Item(0)`, `QueryDef.Name()`, `Recordset.MoveFirst()`.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation/automation_server_registry.h"
#include "runtime/variant.h"

struct ScriptedField {
  UnicodeString name;
  int32_t type;  // DAO type code
  int32_t size;
};

struct ScriptedTable {
  UnicodeString name;
  std::vector<ScriptedField> fields;
  std::vector<std::vector<Variant>> rows;
  // RecordCount as reported; the row count when not set.
  std::optional<int32_t> recordCount;
};

class ScriptedDaoServer {
 public:
  // Which class names answer: a failing name raises EOleError on creation.
  explicit ScriptedDaoServer(bool answer36 = true, bool answer35 = true);

  std::vector<ScriptedTable> tables;
  std::vector<ScriptedTable> queries;  // saved queries and their results
  bool failOpenDatabase = false;

  const std::vector<std::string>& Log() const { return *log_; }
  // The log lines that start with `prefix`.
  std::vector<std::string> LogLines(const std::string& prefix) const;
  // How many engine objects are still alive.
  long LiveEngines() const;

 private:
  DispatchRef NewEngine(const char* className);

  std::shared_ptr<std::vector<std::string>> log_ = std::make_shared<std::vector<std::string>>();
  std::vector<std::weak_ptr<IDispatchObject>> engines_;
  ScopedAutomationServer server36_;
  ScopedAutomationServer server35_;
};
