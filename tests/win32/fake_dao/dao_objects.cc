#include "dao_objects.h"

#include <memory>

#include "fixture.h"

namespace {

using FixturePtr = std::shared_ptr<const Fixture>;

[[noreturn]] void NoCurrentRecord() { throw DaoError{3021, L"No current record."}; }
[[noreturn]] void ObjectClosed() { throw DaoError{3420, L"Object invalid or no longer set."}; }

// The rows of one open recordset and its position.
struct Cursor {
  FixturePtr fixture;
  const Table* table = nullptr;
  size_t position = 0;
  bool closed = false;
  bool AtEnd() const { return position >= table->rows.size(); }
  void CheckOpen() const {
    if (closed) ObjectClosed();
  }
};
using CursorPtr = std::shared_ptr<Cursor>;

// ----------------------------------------------------------------------------
class Field : public DispatchBase {
 public:
  Field(CursorPtr cursor, size_t index) : DispatchBase(L"Field", Members()), cursor_(std::move(cursor)), index_(index) {}

 protected:
  bool Logged() const override { return false; }
  void Call(size_t member, const std::vector<VARIANT*>&, VARIANT& result) override {
    cursor_->CheckOpen();
    const FieldDef& f = cursor_->table->fields[index_];
    switch (member) {
      case 0: SetText(result, f.name); return;
      case 1: SetLong(result, f.type); return;  // DAO answers an Integer; a Long reads the same
      case 2: SetLong(result, f.size); return;
      default:
        if (cursor_->AtEnd()) NoCurrentRecord();
        VariantCopy(&result, const_cast<VARIANT*>(&cursor_->table->rows[cursor_->position][index_].get()));
        return;
    }
  }

 private:
  static const std::vector<MemberSpec>& Members() {
    static const std::vector<MemberSpec> m = {
        {L"Name", true, {}, 0}, {L"Type", true, {}, 0}, {L"Size", true, {}, 0}, {L"Value", true, {}, 0}};
    return m;
  }
  CursorPtr cursor_;
  size_t index_;
};

class Fields : public DispatchBase {
 public:
  explicit Fields(CursorPtr cursor) : DispatchBase(L"Fields", Members()), cursor_(std::move(cursor)) {}

 protected:
  bool Logged() const override { return false; }
  void Call(size_t member, const std::vector<VARIANT*>& a, VARIANT& result) override {
    cursor_->CheckOpen();
    const auto& fields = cursor_->table->fields;
    if (member == 0) {
      SetLong(result, static_cast<long>(fields.size()));
      return;
    }
    size_t index = fields.size();
    if ((V_VT(a[0]) & VT_TYPEMASK) == VT_BSTR) {
      std::wstring name = TextArgument(a[0]);
      for (size_t i = 0; i < fields.size(); ++i)
        if (_wcsicmp(fields[i].name.c_str(), name.c_str()) == 0) index = i;
    } else {
      long i = LongArgument(a[0]);
      if (i >= 0) index = static_cast<size_t>(i);
    }
    if (index >= fields.size()) throw DaoError{3265, L"Item not found in this collection."};
    SetObject(result, new Field(cursor_, index));
  }

 private:
  static const std::vector<MemberSpec>& Members() {
    static const std::vector<MemberSpec> m = {{L"Count", true, {}, 0}, {L"Item", true, {L"Item"}, 1}};
    return m;
  }
  CursorPtr cursor_;
};

class Recordset : public DispatchBase {
 public:
  explicit Recordset(CursorPtr cursor) : DispatchBase(L"Recordset", Members()), cursor_(std::move(cursor)) {}

 protected:
  void Call(size_t member, const std::vector<VARIANT*>&, VARIANT& result) override {
    cursor_->CheckOpen();
    Cursor& c = *cursor_;
    switch (member) {
      case 0:  // MoveFirst
        if (c.table->rows.empty()) NoCurrentRecord();
        c.position = 0;
        return;
      case 1:  // MoveNext
        if (c.AtEnd()) NoCurrentRecord();
        ++c.position;
        return;
      case 2: SetBool(result, c.AtEnd()); return;
      case 3: SetBool(result, c.table->rows.empty()); return;
      case 4: SetLong(result, static_cast<long>(c.table->rows.size())); return;
      case 5: SetObject(result, new Fields(cursor_)); return;
      case 6: SetText(result, c.table->name); return;
      default: c.closed = true; return;  // Close
    }
  }

 private:
  static const std::vector<MemberSpec>& Members() {
    static const std::vector<MemberSpec> m = {
        {L"MoveFirst", false, {}, 0}, {L"MoveNext", false, {}, 0}, {L"EOF", true, {}, 0},
        {L"BOF", true, {}, 0},        {L"RecordCount", true, {}, 0}, {L"Fields", true, {}, 0},
        {L"Name", true, {}, 0},       {L"Close", false, {}, 0}};
    return m;
  }
  CursorPtr cursor_;
};

IDispatch* OpenRows(const FixturePtr& fixture, const Table* table) {
  auto cursor = std::make_shared<Cursor>();
  cursor->fixture = fixture;
  cursor->table = table;
  return new Recordset(cursor);
}

// Types DAO's OpenRecordset knows: table, dynaset, snapshot, forward-only, dynamic.
void CheckRecordsetArguments(VARIANT* type, VARIANT* options, VARIANT* lockEdit) {
  if (type) {
    long t = LongArgument(type);
    if (t != 1 && t != 2 && t != 4 && t != 8 && t != 16) throw DaoError{3001, L"Invalid argument."};
  }
  if (options) LongArgument(options);
  if (lockEdit) {
    long l = LongArgument(lockEdit);
    if (l < 1 || l > 5) throw DaoError{3001, L"Invalid argument."};
  }
}

class QueryDef : public DispatchBase {
 public:
  QueryDef(FixturePtr fixture, size_t index) : DispatchBase(L"QueryDef", Members()), fixture_(std::move(fixture)), index_(index) {}

 protected:
  void Call(size_t member, const std::vector<VARIANT*>& a, VARIANT& result) override {
    const SavedQuery& q = fixture_->queries[index_];
    if (member == 0) {
      SetText(result, q.name);
      return;
    }
    CheckRecordsetArguments(a[0], a[1], a[2]);
    if (a[0] && LongArgument(a[0]) == 1) throw DaoError{3219, L"Invalid operation."};
    SetObject(result, OpenRows(fixture_, fixture_->FindTable(q.table)));
  }

 private:
  static const std::vector<MemberSpec>& Members() {
    static const std::vector<MemberSpec> m = {{L"Name", true, {}, 0},
                                              {L"OpenRecordset", false, {L"Type", L"Options", L"LockEdit"}, 0}};
    return m;
  }
  FixturePtr fixture_;
  size_t index_;
};

class QueryDefs : public DispatchBase {
 public:
  explicit QueryDefs(FixturePtr fixture) : DispatchBase(L"QueryDefs", Members()), fixture_(std::move(fixture)) {}

 protected:
  void Call(size_t member, const std::vector<VARIANT*>& a, VARIANT& result) override {
    const auto& queries = fixture_->queries;
    if (member == 0) {
      SetLong(result, static_cast<long>(queries.size()));
      return;
    }
    size_t index = queries.size();
    if ((V_VT(a[0]) & VT_TYPEMASK) == VT_BSTR) {
      if (const SavedQuery* q = fixture_->FindQuery(TextArgument(a[0]))) index = static_cast<size_t>(q - queries.data());
    } else {
      long i = LongArgument(a[0]);
      if (i >= 0) index = static_cast<size_t>(i);
    }
    if (index >= queries.size()) throw DaoError{3265, L"Item not found in this collection."};
    SetObject(result, new QueryDef(fixture_, index));
  }

 private:
  static const std::vector<MemberSpec>& Members() {
    static const std::vector<MemberSpec> m = {{L"Count", true, {}, 0}, {L"Item", true, {L"Item"}, 1}};
    return m;
  }
  FixturePtr fixture_;
};

class Database : public DispatchBase {
 public:
  Database(FixturePtr fixture, std::wstring name)
      : DispatchBase(L"Database", Members()), fixture_(std::move(fixture)), name_(std::move(name)) {}

 protected:
  void Call(size_t member, const std::vector<VARIANT*>& a, VARIANT& result) override {
    if (closed_) ObjectClosed();
    switch (member) {
      case 0: SetText(result, name_); return;
      case 1: SetObject(result, new QueryDefs(fixture_)); return;
      case 2: {
        std::wstring name = TextArgument(a[0]);
        CheckRecordsetArguments(a[1], a[2], a[3]);
        bool tableType = a[1] && LongArgument(a[1]) == 1;
        if (const Table* t = fixture_->FindTable(name)) {
          SetObject(result, OpenRows(fixture_, t));
          return;
        }
        if (const SavedQuery* q = fixture_->FindQuery(name)) {
          if (tableType) throw DaoError{3219, L"Invalid operation."};
          SetObject(result, OpenRows(fixture_, fixture_->FindTable(q->table)));
          return;
        }
        throw DaoError{3078, L"Cannot find the input table or query '" + name + L"'."};
      }
      default: closed_ = true; return;  // Close
    }
  }

 private:
  static const std::vector<MemberSpec>& Members() {
    static const std::vector<MemberSpec> m = {
        {L"Name", true, {}, 0},
        {L"QueryDefs", true, {}, 0},
        {L"OpenRecordset", false, {L"Name", L"Type", L"Options", L"LockEdit"}, 1},
        {L"Close", false, {}, 0}};
    return m;
  }
  FixturePtr fixture_;
  std::wstring name_;
  bool closed_ = false;
};

class Engine : public DispatchBase {
 public:
  explicit Engine(const wchar_t* version) : DispatchBase(L"DBEngine", Members()), version_(version) {}

 protected:
  void Call(size_t member, const std::vector<VARIANT*>& a, VARIANT& result) override {
    switch (member) {
      case 0: OpenDatabase(a, result); return;
      case 1: SetText(result, version_); return;
      case 2: EchoArguments(a, result); return;
      case 3: VariantCopy(&result, a[0]); return;
      default: throw DaoError{3000, TextArgument(a[0])};
    }
  }

 private:
  void OpenDatabase(const std::vector<VARIANT*>& a, VARIANT& result) {
    std::wstring name = TextArgument(a[0]);
    if (a[1]) LongArgument(a[1]);
    if (a[2]) LongArgument(a[2]);
    std::wstring connect = a[3] ? TextArgument(a[3]) : std::wstring();
    auto fixture = std::make_shared<Fixture>();
    std::wstring error;
    bool missing = false;
    if (!LoadFixture(name, *fixture, error, missing)) {
      if (missing) throw DaoError{3024, L"Could not find file '" + name + L"'."};
      throw DaoError{3343, L"Unrecognized database format '" + name + L"' (" + error + L")."};
    }
    if (!fixture->engine.empty() && fixture->engine != version_)
      throw DaoError{3343, L"Unrecognized database format '" + name + L"'."};
    if (!fixture->password.empty() && connect != L";PWD=" + fixture->password)
      throw DaoError{3031, L"Not a valid password."};
    SetObject(result, new Database(fixture, name));
  }

  void EchoArguments(const std::vector<VARIANT*>& a, VARIANT& result) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(a.size()));
    VARIANT* items = static_cast<VARIANT*>(array->pvData);
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i]) VariantCopy(&items[i], a[i]);
      else SetText(items[i], L"<missing>");
    }
    V_VT(&result) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&result) = array;
  }

  static const std::vector<MemberSpec>& Members() {
    static const std::vector<MemberSpec> m = {
        {L"OpenDatabase", false, {L"Name", L"Options", L"ReadOnly", L"Connect"}, 1},
        {L"Version", true, {}, 0},
        {L"EchoArguments", false, {L"A", L"B", L"C", L"D"}, 0},
        {L"EchoValue", false, {L"Value"}, 1},
        {L"Fail", false, {L"Description"}, 1}};
    return m;
  }
  const wchar_t* version_;
};

}  // namespace

IDispatch* NewEngine(const wchar_t* version) { return new Engine(version); }
