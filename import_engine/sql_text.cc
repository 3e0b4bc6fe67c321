// The SQL texts of akGenerateSQL runs: one INSERT, UPDATE or DELETE
// statement per row, kept in Statistic().LastGeneratedSQL().
#include "dataset/t_data_set.h"
#include "import_engine/import_run_internal.h"
#include "import_engine/t_smi_import_base_component.h"

namespace {

// Field types whose values are written as bare numbers.
bool IsSqlNumber(TFieldType type) {
  switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftBCD: case ftAutoInc:
      return true;
    default:
      return false;
  }
}

// Words that are always quoted as field names.
bool IsReservedName(const UnicodeString& upper) {
  return upper == u"NAME" || upper == u"TYPE" || upper == u"SIZE" || upper == u"ASC" || upper == u"DESC";
}

UnicodeString Join(const std::vector<UnicodeString>& items, UnicodeStringView separator) {
  UnicodeString text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) text += separator;
    text += items[i];
  }
  return text;
}

// The runtime has no full lower-case mapping; letters beyond ASCII keep their case.
UnicodeString LowerCase(UnicodeStringView s) { return AsciiLowerCase(s); }

}  // namespace

UnicodeString TSMImportBaseComponent::SqlTableName() const {
  if (!FTableName.empty() || !FDataSet) return FTableName;
  return FDataSet->TableNameForSql();
}

UnicodeString TSMImportBaseComponent::SqlFieldName(const UnicodeString& name) const {
  UnicodeString written;
  switch (FSQLOptions.FieldNameCharCase()) {
    case ifcNormal: written = name; break;
    case ifcUpperCase: written = UpperCase(name); break;
    case ifcLowerCase: written = LowerCase(name); break;
    case ifcProper:
      written = LowerCase(name);
      if (!written.empty()) written = UpperCase(written.substr(0, 1)) + written.substr(1);
      break;
  }
  if (written.find(u' ') != UnicodeString::npos || IsReservedName(UpperCase(written))) {
    const TSMISQLFieldNameOptions& quotes = FSQLOptions.FieldNameOptions();
    written = quotes.SQLQuoteOpen() + written + quotes.SQLQuoteClose();
  }
  return written;
}

UnicodeString TSMImportBaseComponent::SqlValue(const Variant& value, const TField* field) const {
  if (value.IsNull()) return u"NULL";
  UnicodeString text = value.ToString();
  if (field && IsSqlNumber(field->DataType())) {
    for (char16_t& c : text)
      if (c == u',') c = u'.';
    return text;
  }
  const char16_t quote = FSQLOptions.SQLQuote();
  UnicodeString quoted(1, quote);
  for (char16_t c : text) {
    quoted += c;
    if (c == quote) quoted += c;
  }
  quoted += quote;
  return quoted;
}

UnicodeString TSMImportBaseComponent::SqlKeyTerms() const {
  std::vector<UnicodeString> terms;
  for (const TSMIMappingEntry& key : vLocate) {
    if (key.value.IsNull()) {
      terms.push_back(u"(" + key.name + u" IS NULL)");
      continue;
    }
    const TField* field = (key.index >= 0 && key.index < static_cast<int32_t>(vFields.size()))
                              ? vFields[static_cast<size_t>(key.index)].field
                              : nullptr;
    terms.push_back(u"(" + key.name + u"=" + SqlValue(key.value, field) + u")");
  }
  return Join(terms, u" AND ");
}

UnicodeString TSMImportBaseComponent::ComposeSql(TSMIAction action, const RowState& row) const {
  const UnicodeString table = SqlTableName();
  const UnicodeString where = row.keyTerms.empty() ? UnicodeString() : u" WHERE " + row.keyTerms;
  switch (action) {
    case iaAdd: {
      std::vector<UnicodeString> names, values;
      for (const auto& pair : row.sqlPairs) {
        names.push_back(pair.first);
        values.push_back(pair.second);
      }
      return u"INSERT INTO " + table + u" (" + Join(names, u", ") + u") VALUES (" + Join(values, u", ") + u")";
    }
    case iaUpdate: {
      std::vector<UnicodeString> sets;
      for (size_t i = 0; i < row.sqlPairs.size(); ++i)
        if (!row.sqlIsKey[i]) sets.push_back(row.sqlPairs[i].first + u"=" + row.sqlPairs[i].second);
      return u"UPDATE " + table + u" SET " + Join(sets, u", ") + where;
    }
    case iaDelete:
      return u"DELETE FROM " + table + where;
    case iaUnknown:
      break;
  }
  return UnicodeString();
}
