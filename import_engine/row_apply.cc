// Applying an accepted row: the row's mode, the keyed search, the action,
// writing the fields (or composing the SQL text) and the handling of a
// failure while the row is applied.
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

}  // namespace

void TSMImportBaseComponent::ApplyRow(RowState& row) {
  const bool apply = FActionKind == akDatasetApply;
  const bool sql = FActionKind == akGenerateSQL;

  row.mode = FMode;
  if (FOnGetRowMode) FOnGetRowMode(this, MappingTableToVariant(vFields), row.mode);

  row.keyTerms.clear();
  if (IsKeyedMode(row.mode) && !FDatasetKeys.empty() && !vLocate.empty()) {
    Variant keyValues;
    if (vLocate.size() == 1) {
      keyValues = vLocate.front().value;
    } else {
      Variant::Array values;
      values.reserve(vLocate.size());
      for (const TSMIMappingEntry& key : vLocate) values.push_back(key.value);
      keyValues = Variant(std::move(values));
    }
    if (sql) row.keyTerms = SqlKeyTerms();
    bool found = true;
    bool executeLocate = true;
    if (FOnLocateRecord) FOnLocateRecord(this, FDatasetKeys, keyValues, found, executeLocate);
    if (found && executeLocate) {
      if (!FDataSet) throw ESMIInvalidPropertyException::Missing(u"DataSet");
      found = FDataSet->Locate(FDatasetKeys, keyValues, {});
    }
    row.found = found;
  }

  if (FOnBeforeUpdate) FOnBeforeUpdate(this);

  TSMIAction action = iaUnknown;
  switch (row.mode) {
    case imAppend:
    case imCopy: action = iaAdd; break;
    case imUpdate: action = row.found ? iaUpdate : iaUnknown; break;
    case imAppendUpdate: action = row.found ? iaUpdate : iaAdd; break;
    case imDelete: action = row.found ? iaDelete : iaUnknown; break;
    case imAppendNewOnly: action = row.found ? iaUnknown : iaAdd; break;
  }
  FStatistic.SetLastAction(action);

  row.raised = RowState::Raised::kNone;
  try {
    if (apply && action != iaUnknown && !FDataSet) throw ESMIInvalidPropertyException::Missing(u"DataSet");
    switch (action) {
      case iaAdd:
        if (apply) FDataSet->Append();
        FStatistic.SetTotalAdded(FStatistic.TotalAdded() + 1);
        row.raised = RowState::Raised::kAdded;
        break;
      case iaUpdate:
        if (apply) FDataSet->Edit();
        FStatistic.SetTotalUpdated(FStatistic.TotalUpdated() + 1);
        row.raised = RowState::Raised::kUpdated;
        break;
      case iaDelete:
        if (apply) FDataSet->Delete();
        FStatistic.SetTotalDeleted(FStatistic.TotalDeleted() + 1);
        row.raised = RowState::Raised::kDeleted;
        break;
      case iaUnknown:
        break;
    }

    if ((apply && FDataSet && IsEditingState(FDataSet->State())) || sql) WriteRowFields(row);

    if (apply) {
      if (FDataSet && IsEditingState(FDataSet->State())) FDataSet->Post();
    } else {
      FStatistic.SetLastGeneratedSQL(ComposeSql(action, row));
    }
  } catch (const Exception& error) {
    if (apply && FDataSet && IsEditingState(FDataSet->State())) FDataSet->Cancel();
    FStatistic.SetTotalErrors(FStatistic.TotalErrors() + 1);
    // Only the counter this row actually raised is taken back.
    switch (row.raised) {
      case RowState::Raised::kAdded: FStatistic.SetTotalAdded(FStatistic.TotalAdded() - 1); break;
      case RowState::Raised::kUpdated: FStatistic.SetTotalUpdated(FStatistic.TotalUpdated() - 1); break;
      case RowState::Raised::kDeleted: FStatistic.SetTotalDeleted(FStatistic.TotalDeleted() - 1); break;
      case RowState::Raised::kNone: break;
    }
    row.raised = RowState::Raised::kNone;
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
