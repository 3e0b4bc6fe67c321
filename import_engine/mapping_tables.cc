// The run's mapping tables: vLocate (key fields), vValues (mapped fields)
// and vFields (their union, tied to the destination dataset's fields once
// per run so that rows address fields by position).
#include "dataset/t_data_set.h"
#include "import_engine/import_run_internal.h"
#include "import_engine/t_smi_import_base_component.h"

namespace {

int32_t PositionByName(const TSMIMappingTable& table, const UnicodeString& name) {
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i].name == name) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace

void TSMImportBaseComponent::BuildMappingTables() {
  const bool shortNames = ShortColumnNames();
  auto sourceText = [shortNames](const UnicodeString& text) {
    UnicodeString s = Trim(text);
    if (shortNames && s.size() > 10) s.resize(10);
    return s;
  };

  vLocate.clear();
  if (!FDatasetKeys.empty() && (import_run::IsKeyedMode(FMode) || FOnGetRowMode)) {
    // Every name up to a ";" counts; a ";" is appended so the last one does too.
    const UnicodeString keys = UpperCase(FDatasetKeys) + u";";
    size_t start = 0;
    for (size_t end = keys.find(u';'); end != UnicodeString::npos; end = keys.find(u';', start)) {
      const UnicodeString key = keys.substr(start, end - start);
      start = end + 1;
      for (int32_t i = 0; i < FMappings.Count(); ++i) {
        if (UpperCase(Trim(FMappings.Names(i))) != key) continue;
        vLocate.push_back(TSMIMappingEntry{key, sourceText(FMappings.ValueFromIndex(i)), Variant::Null(), -1});
        break;
      }
    }
  }

  vValues.clear();
  for (int32_t i = 0; i < FMappings.Count(); ++i) {
    UnicodeString source = sourceText(FMappings.ValueFromIndex(i));
    if (source.empty()) continue;
    vValues.push_back(TSMIMappingEntry{UpperCase(Trim(FMappings.Names(i))), std::move(source), Variant::Null(), -1});
  }
}

void TSMImportBaseComponent::PrepareFieldTable() {
  vFields = vValues;
  for (const TSMIMappingEntry& key : vLocate)
    if (PositionByName(vFields, key.name) < 0) vFields.push_back(key);

  for (TSMIMappingEntry& entry : vFields) {
    entry.field = FDataSet ? FDataSet->FindField(entry.name) : nullptr;
    entry.index = entry.field ? entry.field->Index() : -1;
  }
  for (TSMIMappingEntry& entry : vValues) entry.index = PositionByName(vFields, entry.name);
  for (TSMIMappingEntry& entry : vLocate) entry.index = PositionByName(vFields, entry.name);
}
