// The row loop: ImportData with its steps, and ReadRow.
#include <utility>
#include <vector>

#include "dataset/t_data_set.h"
#include "import_engine/character_sets.h"
#include "import_engine/import_run_internal.h"
#include "import_engine/t_smi_import_base_component.h"
#include "platform/user_interface.h"

using import_run::IsDateTimeFieldType;
using import_run::IsNumericFieldType;

namespace {

// Resets CurrentParsedFieldIndex when a cell's evaluation ends, also by an exception.
class ParsedFieldScope {
 public:
  explicit ParsedFieldScope(int32_t& index) : index_(index) {}
  ~ParsedFieldScope() { index_ = -1; }
  ParsedFieldScope(const ParsedFieldScope&) = delete;
  ParsedFieldScope& operator=(const ParsedFieldScope&) = delete;

 private:
  int32_t& index_;
};

// Copies names, sources and values a handler may have changed in the
// Variant form of vFields back into the table. Entries the handler did not
// leave as arrays of at least three values keep their own content.
void CopyBack(const Variant& rows, TSMIMappingTable& table) {
  if (!rows.IsArray()) return;
  const Variant::Array& items = rows.AsArray();
  for (size_t i = 0; i < items.size() && i < table.size(); ++i) {
    if (!items[i].IsArray() || items[i].AsArray().size() < 3) continue;
    const Variant::Array& entry = items[i].AsArray();
    table[i].name = entry[0].ToString();
    table[i].source = entry[1].ToString();
    table[i].value = entry[2];
  }
}

// Runs `body`, then `finally` on every way out, as a finally block does: an
// exception `finally` raises replaces the one `body` raised. (A destructor
// cannot take this part: it must not throw while an exception is leaving.)
template <typename Body, typename Finally>
void RunThenFinally(Body&& body, Finally&& finally) {
  try {
    body();
  } catch (...) {
    finally();
    throw;
  }
  finally();
}

// Keeps a dataset's controls disabled from Disable to its own end. A dataset
// destroyed in the meantime (the component then no longer holds it) is not
// touched.
class DisabledControls {
 public:
  explicit DisabledControls(const TSMImportBaseComponent& component) : component_(component) {}
  ~DisabledControls() {
    if (dataset_ && component_.DataSet() == dataset_) dataset_->EnableControls();
  }
  DisabledControls(const DisabledControls&) = delete;
  DisabledControls& operator=(const DisabledControls&) = delete;

  void Disable(TDataSet* dataset) {
    dataset_ = dataset;
    if (dataset_) dataset_->DisableControls();
  }

 private:
  const TSMImportBaseComponent& component_;
  TDataSet* dataset_ = nullptr;
};

}  // namespace

bool TSMImportBaseComponent::CancelPressed() const { return frmSMIProcess && frmSMIProcess->CancelPressed(); }

bool TSMImportBaseComponent::PausedNow() const {
  return FPausedProcess || (frmSMIProcess && frmSMIProcess->PauseDown());
}

void TSMImportBaseComponent::StartTransaction() {
  FOnStartTransaction(this);
  FTransactionStarted = true;
}

void TSMImportBaseComponent::FinishTransaction() {
  FTransactionStarted = false;
  if (FOnFinishTransaction) FOnFinishTransaction(this);
}

void TSMImportBaseComponent::UpdateProgress(int32_t& stepCounter) {
  if (!frmSMIProcess) return;
  if (stepCounter >= FStatistic.UpdateStep()) {
    frmSMIProcess->ShowProgress(FTitleStatus, FStatistic.TotalImported(), import_run::CountersOf(FStatistic));
    UserInterface().ProcessMessages();
    stepCounter = 0;
  }
  ++stepCounter;
}

void TSMImportBaseComponent::ImportData() {
  if (FOnStartTransaction)
    StartTransaction();
  else
    FTransactionStarted = false;
  DisabledControls controls(*this);
  bool rowsStarted = false;
  RunThenFinally(
      [&] {
        BuildMappingTables();
        PrepareFieldTable();
        controls.Disable(FDataSet);
        rowsStarted = true;
        FStatistic.Reset();
        if (FMode == imCopy && FDataSet) EmptyDestination();
        ImportRows();
      },
      // The open transaction is finished and, once the rows have started,
      // the dataset goes to its first record; its controls are enabled last.
      [&] {
        if (FTransactionStarted) FinishTransaction();
        if (rowsStarted && FDataSet) FDataSet->First();
        cellValues_ = {};
      });
}

void TSMImportBaseComponent::EmptyDestination() {
  TDataSet* ds = FDataSet;
  ds->First();
  while (!ds->Eof()) {
    if (FActionKind == akDatasetApply)
      ds->Delete();
    else
      ds->Next();
    FStatistic.SetTotalDeleted(FStatistic.TotalDeleted() + 1);
  }
  if (FActionKind == akGenerateSQL) FStatistic.SetLastGeneratedSQL(u"DELETE FROM " + SqlTableName());
}

void TSMImportBaseComponent::ImportRows() {
  IUserInterface& ui = UserInterface();
  FirstRow();
  int32_t total = GetRowCount();
  if (total > FRowLast) total = FRowLast;
  FStatistic.SetTotalCount(total);
  if (frmSMIProcess) frmSMIProcess->SetRange(total);

  FAbort = false;
  RowState row;
  int32_t stepCounter = 0;
  while (!FAbort && !CancelPressed() && HasRow()) {
    while (!FAbort && !CancelPressed() && PausedNow()) {
      ui.Sleep(100);
      ui.ProcessMessages();
    }
    UpdateProgress(stepCounter);

    FStatistic.SetTotalImported(FStatistic.TotalImported() + 1);
    FStatistic.SetLastAction(iaUnknown);

    // Transaction boundary before the row that brings the count to a
    // multiple of CommitCount; none inside the run when it is 0 or less.
    if (FCommitCount > 0 && FStatistic.TotalImported() % FCommitCount == 0) {
      if (FTransactionStarted) FinishTransaction();
      if (FOnStartTransaction) StartTransaction();
    }

    try {
      if (ReadRow())
        ApplyRow(row);
      else
        FStatistic.SetTotalSkipped(FStatistic.TotalSkipped() + 1);
    } catch (const Exception& error) {
      if (RaiseErrorEvent(error)) throw;
    }

    FAbort = false;
    if (FOnAfterRecordEvent) FOnAfterRecordEvent(this, FAbort);
    NextRow();
  }
}

bool TSMImportBaseComponent::RaiseErrorEvent(const Exception& error) {
  if (!FOnErrorEvent) return false;
  FAbort = FAbortOnProblem;
  FOnErrorEvent(this, error, FAbort);
  return FAbort;
}

bool TSMImportBaseComponent::ReadRow() {
  {
    ParsedFieldScope scope(intCurrentParsedFieldIndex);
    // Taken for the row, so that a row read by a handler meanwhile starts
    // without them.
    std::vector<Variant> cells = std::move(cellValues_);
    cells.resize(vFields.size());
    for (size_t k = 0; k < vFields.size(); ++k) {
      TSMIMappingEntry& entry = vFields[k];
      TField* field = entry.field;
      intCurrentParsedFieldIndex = field ? field->Index() : -1;
      Variant& value = cells[k];
      EvaluateSourceExpression(entry.source, intCurrentParsedFieldIndex, value);
      if (FCharacterSet != csiANSI_WINDOWS && value.IsSet() &&
          (!field || !(IsNumericFieldType(field->DataType()) || IsDateTimeFieldType(field->DataType()))))
        ConvertCharacterSet(value, FCharacterSet);
      if (FOnGetCellParams) FOnGetCellParams(this, field, value);
      std::swap(entry.value, value);
    }
    cellValues_ = std::move(cells);
  }

  bool accept = true;
  if (!FLoadCondition.LoadWhen().empty()) {
    Variant v;
    EvaluateSourceExpression(FLoadCondition.LoadWhen(), -1, v);
    accept = v.ToBoolean();
  }
  if (accept && !FLoadCondition.SkipIf().empty()) {
    Variant v;
    EvaluateSourceExpression(FLoadCondition.SkipIf(), -1, v);
    accept = !v.ToBoolean();
  }
  if (accept && FOptions.Contains(soSkipEmptyRow)) {
    accept = false;
    for (const TSMIMappingEntry& entry : vFields) {
      UnicodeString text = Trim(entry.value.ToString());
      if (!text.empty() && text != u"0") {
        accept = true;
        break;
      }
    }
  }

  bool namesChanged = false;
  if (FOnBeforeRecordEvent) {
    Variant rows = MappingTableToVariant(vFields);
    FOnBeforeRecordEvent(this, UnicodeString(), rows, accept);
    CopyBack(rows, vFields);
    namesChanged = true;
  }

  if (accept && !vFields.empty()) {
    auto takeOver = [this, namesChanged](TSMIMappingTable& table) {
      for (TSMIMappingEntry& entry : table) {
        if (entry.index < 0 || entry.index >= static_cast<int32_t>(vFields.size())) continue;
        const TSMIMappingEntry& from = vFields[static_cast<size_t>(entry.index)];
        if (namesChanged) {
          entry.name = from.name;
          entry.source = from.source;
        }
        entry.value = from.value;
      }
    };
    takeOver(vValues);
    takeOver(vLocate);
  }
  return accept;
}
