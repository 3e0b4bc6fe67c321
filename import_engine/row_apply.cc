// Applying an accepted row: the row's mode, the keyed search, the action its
// mode and the search call for, performing it (writing the fields or
// composing the SQL text) and the handling of a failure while it is performed.
#include "dataset/t_data_set.h"
#include "import_engine/import_run_internal.h"
#include "import_engine/t_smi_import_base_component.h"

using import_run::HasEmptyText;
using import_run::IsEditingState;
using import_run::IsKeyedMode;

namespace {

// An integer field's value above the 32-bit range: its 64-bit integer form.
bool AboveInt32(const Variant& value, int64_t& asInt64) {
  switch (value.Type()) {
    case VarType::Int64:
    case VarType::Double:
    case VarType::Single:
    case VarType::Currency:
    case VarType::Decimal:
      if (value.ToDouble() > 2147483647.0) {
        asInt64 = value.ToInt64();
        return true;
      }
      return false;
    case VarType::String: {
      // Plain decimal digits only; anything else is left to the field.
      UnicodeString text = Trim(value.AsStringRef());
      size_t i = (!text.empty() && (text[0] == u'+' || text[0] == u'-')) ? 1 : 0;
      if (i == text.size() || text.size() - i > 18) return false;
      int64_t n = 0;
      for (size_t k = i; k < text.size(); ++k) {
        if (text[k] < u'0' || text[k] > u'9') return false;
        n = n * 10 + (text[k] - u'0');
      }
      if (text[0] == u'-') n = -n;
      if (n <= 2147483647) return false;
      asInt64 = n;
      return true;
    }
    default:
      return false;
  }
}

bool IsIntegerField(TFieldType type) {
  return type == ftSmallint || type == ftInteger || type == ftWord || type == ftAutoInc;
}

// The action for a row by its mode: {when the keyed search found no record,
// when it found one}.
constexpr TSMIAction kActionByMode[][2] = {
    /* imAppend */ {iaAdd, iaAdd},
    /* imUpdate */ {iaUnknown, iaUpdate},
    /* imAppendUpdate */ {iaAdd, iaUpdate},
    /* imDelete */ {iaUnknown, iaDelete},
    /* imCopy */ {iaAdd, iaAdd},
    /* imAppendNewOnly */ {iaAdd, iaUnknown},
};
static_assert(sizeof kActionByMode / sizeof kActionByMode[0] == kMemberCount<TImportMode>);

TSMIAction ActionFor(TImportMode mode, bool found) {
  // A row-mode handler may hand back any code; one outside does nothing.
  const int32_t code = mode;
  if (code < 0 || code >= kMemberCount<TImportMode>) return iaUnknown;
  return kActionByMode[code][found ? 1 : 0];
}

// What each action does to the dataset and the counter it raises, by
// TSMIAction (iaUnknown does nothing).
struct ActionStep {
  void (TDataSet::*start)();
  int32_t (TSMIStatistic::*count)() const;
  void (TSMIStatistic::*setCount)(int32_t);
};
constexpr ActionStep kActionSteps[] = {
    /* iaUnknown */ {nullptr, nullptr, nullptr},
    /* iaAdd */ {&TDataSet::Append, &TSMIStatistic::TotalAdded, &TSMIStatistic::SetTotalAdded},
    /* iaUpdate */ {&TDataSet::Edit, &TSMIStatistic::TotalUpdated, &TSMIStatistic::SetTotalUpdated},
    /* iaDelete */ {&TDataSet::Delete, &TSMIStatistic::TotalDeleted, &TSMIStatistic::SetTotalDeleted},
};

void CountAction(TSMIStatistic& statistic, TSMIAction action, int32_t delta) {
  const ActionStep& step = kActionSteps[action];
  if (step.count) (statistic.*step.setCount)((statistic.*step.count)() + delta);
}

}  // namespace

void TSMImportBaseComponent::ApplyRow(RowState& row) {
  row.mode = FMode;
  if (FOnGetRowMode) FOnGetRowMode(this, MappingTableToVariant(vFields), row.mode);
  LocateRow(row);
  if (FOnBeforeUpdate) FOnBeforeUpdate(this);
  const TSMIAction action = ActionFor(row.mode, row.found);
  FStatistic.SetLastAction(action);
  PerformAction(action, row);
}

void TSMImportBaseComponent::LocateRow(RowState& row) {
  row.keyTerms.clear();
  if (!IsKeyedMode(row.mode) || FDatasetKeys.empty() || vLocate.empty()) return;
  Variant keyValues;
  if (vLocate.size() == 1) {
    keyValues = vLocate.front().value;
  } else {
    Variant::Array values;
    values.reserve(vLocate.size());
    for (const TSMIMappingEntry& key : vLocate) values.push_back(key.value);
    keyValues = Variant(std::move(values));
  }
  if (FActionKind == akGenerateSQL) row.keyTerms = SqlKeyTerms();
  bool found = true;
  bool executeLocate = true;
  if (FOnLocateRecord) FOnLocateRecord(this, FDatasetKeys, keyValues, found, executeLocate);
  if (found && executeLocate) {
    if (!FDataSet) throw ESMIInvalidPropertyException::Missing(u"DataSet");
    found = FDataSet->Locate(FDatasetKeys, keyValues, {});
  }
  row.found = found;
}

void TSMImportBaseComponent::PerformAction(TSMIAction action, RowState& row) {
  const bool apply = FActionKind == akDatasetApply;
  TSMIAction counted = iaUnknown;  // the counter to take back when the row fails
  try {
    if (apply && action != iaUnknown && !FDataSet) throw ESMIInvalidPropertyException::Missing(u"DataSet");
    const ActionStep& step = kActionSteps[action];
    if (apply && step.start) (FDataSet->*step.start)();
    CountAction(FStatistic, action, 1);
    counted = action;

    if ((apply && FDataSet && IsEditingState(FDataSet->State())) || FActionKind == akGenerateSQL)
      WriteRowFields(row);

    if (apply) {
      if (FDataSet && IsEditingState(FDataSet->State())) FDataSet->Post();
    } else {
      FStatistic.SetLastGeneratedSQL(ComposeSql(action, row));
    }
  } catch (const Exception& error) {
    if (apply && FDataSet && IsEditingState(FDataSet->State())) FDataSet->Cancel();
    FStatistic.SetTotalErrors(FStatistic.TotalErrors() + 1);
    CountAction(FStatistic, counted, -1);
    if (RaiseErrorEvent(error)) throw;
  }
}

void TSMImportBaseComponent::WriteRowFields(RowState& row) {
  const bool sql = FActionKind == akGenerateSQL;
  const bool isAdd = FStatistic.LastAction() == iaAdd;
  row.sqlPairs.clear();
  row.sqlIsKey.clear();
  Variant local;
  for (const TSMIMappingEntry& entry : vValues) {
    if (entry.index < 0 || entry.index >= static_cast<int32_t>(vFields.size())) continue;
    TField* field = vFields[static_cast<size_t>(entry.index)].field;
    if (!field) continue;

    const Variant* value = &entry.value;
    // Blob fields other than memos stay out of SQL texts.
    bool accept = !(sql && field->IsBlob() && field->DataType() != ftMemo && field->DataType() != ftFmtMemo);
    if (FOnBeforeFieldUpdate) {
      local = entry.value;
      FOnBeforeFieldUpdate(this, field, local, accept);
      value = &local;
    }
    if (!accept) continue;

    if (sql) {
      row.sqlPairs.emplace_back(SqlFieldName(field->FieldName()), SqlValue(*value, field));
      bool isKey = false;
      for (const TSMIMappingEntry& key : vLocate) isKey = isKey || key.name == entry.name;
      row.sqlIsKey.push_back(isKey);
      continue;
    }

    int64_t asInt64 = 0;
    if (HasEmptyText(*value)) {
      // A new record keeps the field's default.
      if (!isAdd) field->Clear();
    } else if (field->DataType() == ftLargeint) {
      field->SetAsString(value->ToString());
    } else if (IsIntegerField(field->DataType()) && AboveInt32(*value, asInt64)) {
      field->SetAsInteger(static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(asInt64))));
    } else {
      field->SetAsVariant(*value);
    }
  }
}
