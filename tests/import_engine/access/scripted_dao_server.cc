#include "tests/import_engine/access/scripted_dao_server.h"

#include <functional>

#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

using LogPtr = std::shared_ptr<std::vector<std::string>>;
using Handler = std::function<Variant(const UnicodeString& member, const std::vector<Variant>& positional,
                                      const std::vector<NamedArgument>& named)>;

std::string ArgText(const Variant& v) {
  if (v.IsString()) return "\"" + ToUtf8(v.AsStringRef()) + "\"";
  if (v.IsNull()) return "Null";
  if (v.IsEmpty()) return "Empty";
  return ToUtf8(v.ToString());
}

// Logs every call as "<tag>.<member>(<args>)" and hands it to its handler.
class ScriptedObject : public IDispatchObject {
 public:
  ScriptedObject(std::string tag, LogPtr log, Handler handler)
      : tag_(std::move(tag)), log_(std::move(log)), handler_(std::move(handler)) {}
  Variant Invoke(UnicodeStringView member, InvokeKind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override {
    std::string line = tag_ + "." + ToUtf8(member) + "(";
    bool first = true;
    for (const Variant& v : positional) {
      line += (first ? "" : ", ") + ArgText(v);
      first = false;
    }
    for (const NamedArgument& a : named) {
      line += (first ? "" : ", ") + ToUtf8(a.name) + "=" + ArgText(a.value);
      first = false;
    }
    log_->push_back(line + ")");
    return handler_(UnicodeString(member), positional, named);
  }

 private:
  std::string tag_;
  LogPtr log_;
  Handler handler_;
};

Variant Object(const std::string& tag, const LogPtr& log, Handler handler) {
  return Variant(DispatchRef(std::make_shared<ScriptedObject>(tag, log, std::move(handler))));
}

[[noreturn]] void Unknown(const UnicodeString& member) {
  throw EOleError(u"Unknown name: '" + member + u"'.");
}

Variant MakeRecordset(const ScriptedTable& table, const LogPtr& log) {
  auto pos = std::make_shared<size_t>(0);
  auto closed = std::make_shared<bool>(false);
  auto fieldsHandler = [table, pos, log](const UnicodeString& m, const std::vector<Variant>& args,
                                         const std::vector<NamedArgument>&) -> Variant {
    if (m == u"Count") return Variant(static_cast<int32_t>(table.fields.size()));
    if (m != u"Item") Unknown(m);
    size_t i = static_cast<size_t>(args.at(0).ToInt64());
    if (i >= table.fields.size()) throw EOleError(u"Item not found in this collection.");
    return Object("Field", log, [table, pos, i](const UnicodeString& fm, const std::vector<Variant>&,
                                                const std::vector<NamedArgument>&) -> Variant {
      const ScriptedField& f = table.fields[i];
      if (fm == u"Name") return Variant(f.name);
      if (fm == u"Type") return Variant(f.type);
      if (fm == u"Size") return Variant(f.size);
      if (fm == u"Value") {
        if (*pos >= table.rows.size()) throw EOleError(u"No current record.");
        return table.rows[*pos][i];
      }
      Unknown(fm);
    });
  };
  return Object("Recordset", log, [table, pos, closed, log, fieldsHandler](const UnicodeString& m,
                                                                          const std::vector<Variant>&,
                                                                          const std::vector<NamedArgument>&) -> Variant {
    if (*closed) throw EOleError(u"Object invalid or no longer set.");
    if (m == u"MoveFirst") *pos = 0;
    else if (m == u"MoveNext") ++*pos;
    else if (m == u"Eof") return Variant(*pos >= table.rows.size());
    else if (m == u"RecordCount")
      return Variant(table.recordCount ? *table.recordCount : static_cast<int32_t>(table.rows.size()));
    else if (m == u"Fields") return Object("Fields", log, fieldsHandler);
    else if (m == u"Close") *closed = true;
    else Unknown(m);
    return Variant();
  });
}

}  // namespace

ScriptedDaoServer::ScriptedDaoServer(bool answer36, bool answer35)
    : server36_(u"DAO.DBEngine.36",
                [this, answer36]() -> DispatchRef {
                  log_->push_back("create DAO.DBEngine.36");
                  if (!answer36) throw EOleError(u"Class not registered");
                  return NewEngine("DAO.DBEngine.36");
                }),
      server35_(u"DAO.DBEngine.35", [this, answer35]() -> DispatchRef {
        log_->push_back("create DAO.DBEngine.35");
        if (!answer35) throw EOleError(u"Class not registered");
        return NewEngine("DAO.DBEngine.35");
      }) {}

std::vector<std::string> ScriptedDaoServer::LogLines(const std::string& prefix) const {
  std::vector<std::string> lines;
  for (const std::string& l : *log_)
    if (l.rfind(prefix, 0) == 0) lines.push_back(l);
  return lines;
}

long ScriptedDaoServer::LiveEngines() const {
  long n = 0;
  for (const auto& e : engines_) n += e.expired() ? 0 : 1;
  return n;
}

DispatchRef ScriptedDaoServer::NewEngine(const char*) {
  LogPtr log = log_;
  ScriptedDaoServer* self = this;
  auto database = [self, log](const std::vector<Variant>&) -> Variant {
    return Object("Database", log, [self, log](const UnicodeString& m, const std::vector<Variant>& args,
                                               const std::vector<NamedArgument>&) -> Variant {
      if (m == u"Close") return Variant();
      if (m == u"QueryDefs") {
        return Object("QueryDefs", log, [self, log](const UnicodeString& qm, const std::vector<Variant>& qargs,
                                                    const std::vector<NamedArgument>&) -> Variant {
          if (qm == u"Count") return Variant(static_cast<int32_t>(self->queries.size()));
          if (qm != u"Item") Unknown(qm);
          const ScriptedTable query = self->queries.at(static_cast<size_t>(qargs.at(0).ToInt64()));
          return Object("QueryDef", log, [query, log](const UnicodeString& dm, const std::vector<Variant>&,
                                                      const std::vector<NamedArgument>&) -> Variant {
            if (dm == u"Name") return Variant(query.name);
            if (dm == u"OpenRecordset") return MakeRecordset(query, log);
            Unknown(dm);
          });
        });
      }
      if (m == u"OpenRecordset") {
        UnicodeString name = args.at(0).ToString();
        for (const ScriptedTable& t : self->tables)
          if (t.name == name) return MakeRecordset(t, log);
        throw EOleError(u"Cannot find the input table or query '" + name + u"'.");
      }
      Unknown(m);
    });
  };
  auto engine = std::make_shared<ScriptedObject>(
      "Engine", log_, [self, database](const UnicodeString& m, const std::vector<Variant>& args,
                                       const std::vector<NamedArgument>&) -> Variant {
        if (m != u"OpenDatabase") Unknown(m);
        if (self->failOpenDatabase) throw EOleError(u"Could not find file.");
        return database(args);
      });
  engines_.push_back(engine);
  return engine;
}
