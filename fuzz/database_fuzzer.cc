// libFuzzer target: whole databases through the DAO engine. Each input is
// written to a temporary file (one per process, rewritten for every input),
// opened with OpenDatabase, and every table the seeds hold is read whole:
// every field of every row. Errors raised by the engine (EOleError and the
// other errors of the system) are clean; a crash, a hang (libFuzzer's
// -timeout), unbounded memory (-rss_limit_mb) or any other exception is not.
// The outline tables are also recovered through the reader's salvage scan,
// which finds their definitions without the catalog when it must.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/jet_definition_repair.h"
#include "jet/jet_salvage_scan.h"
#include "platform/automation/create_ole_object.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

const std::string& InputPath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/arvoline-database-fuzzer-" + std::to_string(getpid()) + ".mdb";
  }();
  return path;
}

template <typename F>
void Clean(F&& f) {
  try {
    f();
  } catch (const Exception&) {
  }
}

void ReadTable(const Variant& db, const char16_t* name) {
  constexpr int kRowLimit = 20000;  // the seeds hold a few dozen rows; mutations may claim more
  Variant rs;
  Clean([&] { rs = db.Call(u"OpenRecordset", {Variant(name), Variant(1), Variant(0), Variant(2)}); });
  if (rs.IsEmpty()) return;
  Clean([&] { rs.Get(u"RecordCount"); });
  Variant fields = rs.Get(u"Fields");
  const int32_t count = fields.Get(u"Count").ToInt32();
  for (int row = 0; row < kRowLimit && !rs.Get(u"Eof").ToBoolean(); ++row) {
    for (int32_t i = 0; i < count; ++i) {
      Variant field = fields.Get(u"Item", {Variant(i)});
      field.Get(u"Name");
      field.Get(u"Type");
      Clean([&] { field.Get(u"Value"); });
    }
    bool moved = false;
    Clean([&] {
      rs.Call(u"MoveNext", {});
      moved = true;
    });
    if (!moved) break;
  }
  rs.Call(u"Close", {});
}

// The node table as salvage reads it, its definition repaired where damaged.
void SalvageTable(const char16_t* name, const std::vector<UnicodeString>& columns) {
  Clean([&] {
    auto file = std::make_shared<const JetFile>(FromUtf8(InputPath()));
    std::vector<UnicodeString> damage;
    std::optional<JetSalvageDefinition> found = FindSalvageDefinition(file, name, columns, damage);
    if (!found) return;
    JetSalvageScan scan(file, name, found->page, std::move(found->definition));
    JetPartialRow row;
    while (scan.Next(row)) {
    }
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* f = std::fopen(InputPath().c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  Clean([&] {
    Variant db = CreateOleObject(u"DAO.DBEngine.36").Call(u"OpenDatabase", {Variant(FromUtf8(InputPath()))});
    Variant queries = db.Get(u"QueryDefs");
    const int32_t n = queries.Get(u"Count").ToInt32();
    for (int32_t i = 0; i < n; ++i) queries.Get(u"Item", {Variant(i)}).Get(u"Name");
    // The outline tables, the typed table of the writer's seeds, the catalog,
    // and the tables of the files Access wrote (calculated, complex and
    // unknown columns), which a run may add to its corpus.
    for (const char16_t* table : {u"Arvoline32XTPro", u"DocumentsTreeNodes", u"Typed", u"MSysObjects", u"Table1",
                                  u"test", u"MSP_PROJECTS", u"MSysComplexColumns"})
      ReadTable(db, table);
    db.Call(u"Close", {});
  });
  SalvageTable(u"Arvoline32XTPro", {u"NodeKeyValue", u"NodeTextValue", u"NodeTextRTFValue"});
  SalvageTable(u"DocumentsTreeNodes", {u"NodeKeyValue", u"NodeDocumentDescription", u"NodeDocumentKeywords"});
  return 0;
}
