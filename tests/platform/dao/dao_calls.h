// Late-bound calls the DAO engine tests make again and again: open a file,
// open a table as the Access source does, read a field, catch an error's text.
#ifndef ARVOLINE_TESTS_PLATFORM_AUTOMATION_DAO_CALLS_H_
#define ARVOLINE_TESTS_PLATFORM_AUTOMATION_DAO_CALLS_H_

#include <functional>
#include <string>

#include "platform/automation/create_ole_object.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace dao_calls {

inline Variant Engine() { return CreateOleObject(u"DAO.DBEngine.36"); }

inline Variant Open(const std::string& path) {
  return Engine().Call(u"OpenDatabase", {Variant(FromUtf8(path))});
}

// A table recordset: dbOpenTable, no options, read-only.
inline Variant OpenTable(const Variant& db, const char16_t* table) {
  return db.Call(u"OpenRecordset", {Variant(table), Variant(1), Variant(0), Variant(2)});
}

inline Variant Field(const Variant& rs, int i) { return rs.Get(u"Fields").Get(u"Item", {Variant(i)}); }

// The message of the automation error that f raises, or "(no error)".
inline UnicodeString ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EOleError& e) {
    return e.Message();
  }
  return u"(no error)";
}

}  // namespace dao_calls

#endif  // ARVOLINE_TESTS_PLATFORM_AUTOMATION_DAO_CALLS_H_
