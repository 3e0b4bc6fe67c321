// Small helpers shared by the files of the import run. Not part of the
// component's interface.
#pragma once

#include "dataset/field_type.h"
#include "import_engine/smi_types.h"
#include "import_engine/t_smi_import_base_component.h"
#include "import_engine/t_smi_statistic.h"
#include "platform/user_interface.h"
#include "runtime/variant.h"

namespace import_run {

inline bool IsKeyedMode(TImportMode mode) {
  return mode == imUpdate || mode == imAppendUpdate || mode == imDelete || mode == imAppendNewOnly;
}

// The dataset holds a pending change (edit, insert or search key).
inline bool IsEditingState(TDataSetState state) {
  return state == dsEdit || state == dsInsert || state == dsSetKey;
}

inline bool IsNumericFieldType(TFieldType type) {
  switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftBCD:
    case ftAutoInc: case ftLargeint: case ftFMTBcd:
      return true;
    default:
      return false;
  }
}

inline bool IsDateTimeFieldType(TFieldType type) {
  return type == ftDate || type == ftTime || type == ftDateTime || type == ftTimeStamp;
}

// True when the value's text form is empty. Numbers, dates and Booleans
// always have a text, so only texts and byte arrays are looked at.
inline bool HasEmptyText(const Variant& value) {
  switch (value.Type()) {
    case VarType::Empty:
    case VarType::Null:
      return true;
    case VarType::String:
      return value.AsStringRef().empty();
    case VarType::ByteArray:
      return value.AsBytes().empty();
    default:
      return false;
  }
}

inline ProgressCounters CountersOf(const TSMIStatistic& s) {
  ProgressCounters c;
  c.processed = s.TotalImported();
  c.errors = s.TotalErrors();
  c.added = s.TotalAdded();
  c.updated = s.TotalUpdated();
  c.deleted = s.TotalDeleted();
  c.skipped = s.TotalSkipped();
  return c;
}

}  // namespace import_run

// Per-run state of the row loop that outlives one row.
struct TSMImportBaseComponent::RowState {
  bool found = false;  // result of the last keyed search
  TImportMode mode = imAppend;
  UnicodeString keyTerms;  // WHERE terms of this row (akGenerateSQL)
  std::vector<std::pair<UnicodeString, UnicodeString>> sqlPairs;  // written name, written value
  std::vector<bool> sqlIsKey;
};
