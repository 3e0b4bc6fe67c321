// TSMImportBaseComponent: the import engine's component. It copies the rows
// of a source table into a destination dataset: Execute checks the settings,
// opens the source, makes sure there is a mapping (detecting the source's
// columns and raising OnCreateStructure when there is none), runs the row
// loop ImportData, closes the source and records the outcome in Statistic().
//
// A source format derives from this class and overrides the virtual source
// operations (OpenSource, CloseSource, FirstRow, NextRow, HasRow,
// GetRowCount, GetSourceValue, CheckProperties, DetectAutoMapping, ...).
// The base class reads no source: HasRow answers false.
//
// Ownership: the component owns its Columns, Parameters, Mappings,
// LoadCondition, SQLOptions, DataFormats and Statistic (created by the
// constructor, destroyed with the component). It never owns the destination
// dataset: DataSet() is a free-notification link that is cleared when the
// dataset is destroyed first. The component itself follows TComponent
// ownership (an owner destroys it; without one its creator does).
//
// Events are std::function slots (a callable bound to an object); an empty
// slot is skipped. Handlers run on the caller's thread, inside Execute. A
// handler may destroy the destination dataset (the run then stops touching
// it), but must not close it while a run is going: the run holds the
// dataset's fields from the start of its row loop to its end.
//
// Construction and Extension(): the default SourceFileName is a fixed base
// name followed by Extension(). A C++ constructor cannot ask the derived
// class, so the base constructor uses its own ".SMI"; a derived class whose
// Extension() differs calls InitSourceFileName() in its own constructor.
//
// The class's bodies live in one file per part:
//   t_smi_import_base_component.cc  construction, settings, Assign, the base
//                                   source's operations, pausing
//   execute.cc          Execute (the whole run), AskParameters, the result
//   import_data.cc      the row loop (ImportData, ReadRow), transactions,
//                       progress, the row error event
//   mapping_tables.cc   the run's tables: BuildMappingTables, PrepareFieldTable
//   row_apply.cc        applying an accepted row: search, action, fields
//   sql_text.cc         the SQL texts of akGenerateSQL runs
//   evaluate.cc         evaluating a cell: EvaluateSourceExpression, EvaluateName
//   columns_mapping.cc  the column model: DetectAutoMapping, Columns2Mapping
//   specification.cc    saving and loading import specifications
// The run's state stays in the component rather than in a run object of its
// own: derived sources and event handlers read it during a run (vFields,
// CurrentParsedFieldIndex, Abort ...) and it is kept after the run.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <vector>

#include "import_engine/esmi_invalid_property_exception.h"
#include "import_engine/smi_types.h"
#include "import_engine/source_expression_cache.h"
#include "import_engine/t_smi_column.h"
#include "import_engine/t_smi_load_condition.h"
#include "import_engine/t_smi_parameters.h"
#include "import_engine/t_smi_parser.h"
#include "import_engine/t_smi_sql_options.h"
#include "import_engine/t_smi_statistic.h"
#include "runtime/component.h"
#include "runtime/exceptions.h"
#include "runtime/string_list.h"
#include "runtime/unicode_string.h"
#include "runtime/variant.h"

class TDataSet;
class TField;
class TSMIDataFormats;
class TSMImportBaseComponent;
class IProgressWindow;
struct SpecificationSetting;

// ---- Event slot types --------------------------------------------------
// a row failed: the exception and the in/out abort flag
using TSMIErrorEvent = std::function<void(TSMImportBaseComponent* sender, const Exception& error, bool& abort)>;
// after each cell of a row was read; field may be nullptr
using TSMIGetCellParamsEvent = std::function<void(TSMImportBaseComponent* sender, TField* field, Variant& value)>;
// the evaluate hook fetched a named value; field may be nullptr
using TSMIParsedValueEvent = std::function<void(TSMImportBaseComponent* sender, TField* field, Variant& value)>;
// after the evaluate hook resolved a name (the calculator's hook shape)
using TSMIParserEvaluateEvent =
    std::function<void(TPersistent* sender, const UnicodeString& name, const std::vector<Variant>& args,
                       int32_t argCount, bool isChild, Variant& value, bool& done)>;
// OnBeforeExecute, OnAfterExecute, OnBeforeUpdate, OnStartTransaction, OnFinishTransaction
using TSMINotifyEvent = std::function<void(TSMImportBaseComponent* sender)>;
// after a row was read and filtered: field names (always empty), the row's
// values as a Variant array of [name, source, value, index] arrays, accept
using TSMIBeforeRecordEvent =
    std::function<void(TSMImportBaseComponent* sender, const UnicodeString& fields, Variant& values, bool& accept)>;
// at the end of every row
using TSMIAfterRecordEvent = std::function<void(TSMImportBaseComponent* sender, bool& abort)>;
// before an accepted row is applied: the row's values (as above) and its mode
using TSMIGetRowModeEvent =
    std::function<void(TSMImportBaseComponent* sender, const Variant& values, TImportMode& mode)>;
// before each field of a row is written
using TSMIBeforeFieldUpdateEvent =
    std::function<void(TSMImportBaseComponent* sender, TField* field, Variant& value, bool& accept)>;
// before the keyed search of a row
using TSMILocateRecordEvent =
    std::function<void(TSMImportBaseComponent* sender, const UnicodeString& keyFields, const Variant& keyValues,
                       bool& exists, bool& executeLocate)>;
// once per run after the columns were detected, when Mappings was empty
using TSMICreateStructureEvent = std::function<void(TSMImportBaseComponent* sender, TSMIColumns* columns)>;
// around loading and saving an import specification
using TSMISpecificationEvent = std::function<void(TSMImportBaseComponent* sender, UnicodeString& fileName)>;

// One entry of the run's mapping tables (vLocate, vValues, vFields).
struct TSMIMappingEntry {
  UnicodeString name;    // destination field name, trimmed and upper-cased
  UnicodeString source;  // source text, trimmed
  Variant value;         // the current row's value (Null until a row is read)
  // vValues / vLocate: position of the vFields entry of the same name;
  // vFields: index of the destination field, -1 when the dataset has none.
  int32_t index = -1;
  TField* field = nullptr;  // vFields: the destination field at `index`
};
using TSMIMappingTable = std::vector<TSMIMappingEntry>;

// The table as a Variant: an array of [name, source, value, index] arrays,
// or Null when the table is empty.
Variant MappingTableToVariant(const TSMIMappingTable& table);

class TSMImportBaseComponent : public TComponent {
 public:
  explicit TSMImportBaseComponent(TComponent* owner = nullptr);
  ~TSMImportBaseComponent() override;

  UnicodeString ClassName() const override { return u"TSMImportBaseComponent"; }
  // From another import component: its settings, owned objects and event
  // slots (not its columns or run state). Other sources: the persistent base.
  void Assign(const TPersistent& source) override;

  // ---- Running ----------------------------------------------------------
  // Runs the import. Raises ESMIInvalidPropertyException for a missing
  // property; failures inside the run end up in Statistic().Result().
  void Execute();
  // Set / clear PausedProcess (and the progress window's pause button).
  void PauseImport();
  void ContinueImport();
  // Sets every parameter's value and asks for those in an asking mode;
  // false cancels the run. True at once without parameters.
  bool AskParameters();
  // The evaluate hook of the expression calculator (shape of TOnEvaluate).
  void EvaluateName(TPersistent* sender, const UnicodeString& name, const std::vector<Variant>& args,
                    int32_t argCount, bool isChild, Variant& value, bool& done);
  // Reloads the regional settings into DataFormats().
  void LoadRegionalSettings();

  // Import specifications: the component's settings as name=value lines.
  // LoadSpecification / SaveSpecification raise the import-specification events
  // around reading / writing the file.
  void LoadSpecification(const UnicodeString& fileName);
  void SaveSpecification(const UnicodeString& fileName);

  // ---- Virtual operations, in slot order ----------------------------------
  virtual void ImportData();                                                            // 1
  virtual void OpenSource();                                                            // 2
  virtual void CloseSource();                                                           // 3
  virtual void PrepareFieldTable();                                                     // 4
  virtual void BuildMappingTables();                                                    // 5
  virtual bool ReadRow();                                                               // 6
  virtual void FirstRow();                                                              // 7
  virtual void NextRow();                                                               // 8
  virtual bool HasRow();                                                                // 9
  virtual int32_t GetRowCount();                                                        // 10
  virtual void ClearValue(Variant& value);                                              // 11
  virtual void GetSourceValue(const UnicodeString& name, Variant& value);               // 12
  virtual void EvaluateSourceExpression(const UnicodeString& source, int32_t fieldIndex,
                                        Variant& value);                                // 13
  virtual bool ShortColumnNames();                                                      // 14
  virtual bool CheckProperties(UnicodeString& propertyName);                            // 15
  virtual bool IsXMLSource();                                                           // 16
  virtual int32_t ReservedOperation();                                                  // 17
  virtual void LoadFromStream(std::istream* stream);                                    // 18
  virtual UnicodeString Extension() const;                                              // 19
  virtual UnicodeString FillFileFilters() const;                                        // 20
  virtual void DetectAutoMapping();                                                     // 21
  virtual void Columns2Mapping();                                                       // 22
  virtual UnicodeString GetColumnFieldName(int32_t index);                              // 23
  virtual void LoadSpecificationFromStrings(const TStringList& lines);                  // 24
  virtual void SaveSpecificationToStream(std::ostream* stream);                         // 25

  // ---- Properties -----------------------------------------------------------
  bool AbortOnProblem() const { return FAbortOnProblem; }
  void SetAbortOnProblem(bool v) { FAbortOnProblem = v; }
  TSMIActionKind ActionKind() const { return FActionKind; }
  void SetActionKind(TSMIActionKind v) { FActionKind = v; }
  bool AnimatedStatus() const { return FAnimatedStatus; }
  void SetAnimatedStatus(bool v) { FAnimatedStatus = v; }
  TSMICharacterSet CharacterSet() const { return FCharacterSet; }
  void SetCharacterSet(TSMICharacterSet v) { FCharacterSet = v; }
  TSMIDataFormats& DataFormats() { return *FDataFormats; }
  const TSMIDataFormats& DataFormats() const { return *FDataFormats; }
  void SetDataFormats(const TSMIDataFormats& v);
  // The destination dataset (not owned; cleared when it is destroyed).
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* v);
  // Destination field names separated by ";" that identify a record.
  const UnicodeString& DatasetKeys() const { return FDatasetKeys; }
  void SetDatasetKeys(const UnicodeString& v) { FDatasetKeys = v; }
  TSMILoadCondition& LoadCondition() { return FLoadCondition; }
  const TSMILoadCondition& LoadCondition() const { return FLoadCondition; }
  void SetLoadCondition(const TSMILoadCondition& v) { FLoadCondition.Assign(v); }
  TSMISQLOptions& SQLOptions() { return FSQLOptions; }
  const TSMISQLOptions& SQLOptions() const { return FSQLOptions; }
  void SetSQLOptions(const TSMISQLOptions& v) { FSQLOptions.Assign(v); }
  // One "destination field=source expression" line per field.
  TStringList& Mappings() { return FMappings; }
  const TStringList& Mappings() const { return FMappings; }
  void SetMappings(const TStringList& v) { FMappings.Assign(v); }
  TImportMode Mode() const { return FMode; }
  void SetMode(TImportMode v) { FMode = v; }
  TSMIOptions Options() const { return FOptions; }
  void SetOptions(TSMIOptions v) { FOptions = v; }
  TSMIParameters& Parameters() { return FParameters; }
  const TSMIParameters& Parameters() const { return FParameters; }
  void SetParameters(const TSMIParameters& v) { FParameters.Assign(v); }
  const UnicodeString& TableName() const { return FTableName; }
  void SetTableName(const UnicodeString& v) { FTableName = v; }
  const UnicodeString& TitleStatus() const { return FTitleStatus; }
  void SetTitleStatus(const UnicodeString& v) { FTitleStatus = v; }
  TSMIStatistic& Statistic() { return FStatistic; }
  const TSMIStatistic& Statistic() const { return FStatistic; }
  void SetStatistic(const TSMIStatistic& v) { FStatistic.Assign(v); }
  const UnicodeString& SpecificationDir() const { return FSpecificationDir; }
  void SetSpecificationDir(const UnicodeString& v) { FSpecificationDir = v; }
  bool UseDisplayNames() const { return FUseDisplayNames; }
  void SetUseDisplayNames(bool v) { FUseDisplayNames = v; }
  TSMITrimSpaces TrimSpaces() const { return FTrimSpaces; }
  void SetTrimSpaces(TSMITrimSpaces v) { FTrimSpaces = v; }
  // Rows between two transaction boundaries; 0 or less: none inside the run.
  int32_t CommitCount() const { return FCommitCount; }
  void SetCommitCount(int32_t v) { FCommitCount = v; }

  // ---- Event slots, in declaration order ----------------------------------
  const TSMIErrorEvent& OnErrorEvent() const { return FOnErrorEvent; }
  void SetOnErrorEvent(TSMIErrorEvent v) { FOnErrorEvent = std::move(v); }
  const TSMIGetCellParamsEvent& OnGetCellParams() const { return FOnGetCellParams; }
  void SetOnGetCellParams(TSMIGetCellParamsEvent v) { FOnGetCellParams = std::move(v); }
  const TSMIParsedValueEvent& OnParsedValue() const { return FOnParsedValue; }
  void SetOnParsedValue(TSMIParsedValueEvent v) { FOnParsedValue = std::move(v); }
  const TSMIParserEvaluateEvent& OnParserEvaluate() const { return FOnParserEvaluate; }
  void SetOnParserEvaluate(TSMIParserEvaluateEvent v) { FOnParserEvaluate = std::move(v); }
  const TSMINotifyEvent& OnBeforeExecute() const { return FOnBeforeExecute; }
  void SetOnBeforeExecute(TSMINotifyEvent v) { FOnBeforeExecute = std::move(v); }
  const TSMINotifyEvent& OnAfterExecute() const { return FOnAfterExecute; }
  void SetOnAfterExecute(TSMINotifyEvent v) { FOnAfterExecute = std::move(v); }
  const TSMIBeforeRecordEvent& OnBeforeRecordEvent() const { return FOnBeforeRecordEvent; }
  void SetOnBeforeRecordEvent(TSMIBeforeRecordEvent v) { FOnBeforeRecordEvent = std::move(v); }
  const TSMIAfterRecordEvent& OnAfterRecordEvent() const { return FOnAfterRecordEvent; }
  void SetOnAfterRecordEvent(TSMIAfterRecordEvent v) { FOnAfterRecordEvent = std::move(v); }
  const TSMIGetRowModeEvent& OnGetRowMode() const { return FOnGetRowMode; }
  void SetOnGetRowMode(TSMIGetRowModeEvent v) { FOnGetRowMode = std::move(v); }
  const TSMINotifyEvent& OnBeforeUpdate() const { return FOnBeforeUpdate; }
  void SetOnBeforeUpdate(TSMINotifyEvent v) { FOnBeforeUpdate = std::move(v); }
  const TSMIBeforeFieldUpdateEvent& OnBeforeFieldUpdate() const { return FOnBeforeFieldUpdate; }
  void SetOnBeforeFieldUpdate(TSMIBeforeFieldUpdateEvent v) { FOnBeforeFieldUpdate = std::move(v); }
  const TSMISpecificationEvent& OnBeforeLoadSpecification() const { return FOnBeforeLoadSpecification; }
  void SetOnBeforeLoadSpecification(TSMISpecificationEvent v) { FOnBeforeLoadSpecification = std::move(v); }
  const TSMISpecificationEvent& OnAfterLoadSpecification() const { return FOnAfterLoadSpecification; }
  void SetOnAfterLoadSpecification(TSMISpecificationEvent v) { FOnAfterLoadSpecification = std::move(v); }
  const TSMISpecificationEvent& OnBeforeSaveSpecification() const { return FOnBeforeSaveSpecification; }
  void SetOnBeforeSaveSpecification(TSMISpecificationEvent v) { FOnBeforeSaveSpecification = std::move(v); }
  const TSMISpecificationEvent& OnAfterSaveSpecification() const { return FOnAfterSaveSpecification; }
  void SetOnAfterSaveSpecification(TSMISpecificationEvent v) { FOnAfterSaveSpecification = std::move(v); }
  const TSMILocateRecordEvent& OnLocateRecord() const { return FOnLocateRecord; }
  void SetOnLocateRecord(TSMILocateRecordEvent v) { FOnLocateRecord = std::move(v); }
  const TSMINotifyEvent& OnStartTransaction() const { return FOnStartTransaction; }
  void SetOnStartTransaction(TSMINotifyEvent v) { FOnStartTransaction = std::move(v); }
  const TSMINotifyEvent& OnFinishTransaction() const { return FOnFinishTransaction; }
  void SetOnFinishTransaction(TSMINotifyEvent v) { FOnFinishTransaction = std::move(v); }
  const TSMICreateStructureEvent& OnCreateStructure() const { return FOnCreateStructure; }
  void SetOnCreateStructure(TSMICreateStructureEvent v) { FOnCreateStructure = std::move(v); }

  // ---- Further state (source classes publish some of it) -------------------
  const UnicodeString& SourceFileName() const { return FSourceFileName; }
  void SetSourceFileName(const UnicodeString& v) { FSourceFileName = v; }
  TTableTypeImport TableType() const { return FTableType; }
  void SetTableType(TTableTypeImport v) { FTableType = v; }
  int32_t RowFirst() const { return FRowFirst; }
  void SetRowFirst(int32_t v) { FRowFirst = v; }
  int32_t RowLast() const { return FRowLast; }
  void SetRowLast(int32_t v) { FRowLast = v; }
  int32_t RowFieldNames() const { return FRowFieldNames; }
  void SetRowFieldNames(int32_t v) { FRowFieldNames = v; }
  int32_t MaxScanRows() const { return FMaxScanRows; }
  void SetMaxScanRows(int32_t v) { FMaxScanRows = v; }
  // Delimiter, qualifier and separator: setting the kind sets the custom
  // value and setting the custom value sets the kind.
  TSMIFieldDelimiter FieldDelimiter() const { return FFieldDelimiter; }
  void SetFieldDelimiter(TSMIFieldDelimiter v);
  char16_t FieldDelimiterCustom() const { return FFieldDelimiterCustom; }
  void SetFieldDelimiterCustom(char16_t v);
  TSMITextQualifier TextQualifier() const { return FTextQualifier; }
  void SetTextQualifier(TSMITextQualifier v);
  char16_t TextQualifierCustom() const { return FTextQualifierCustom; }
  void SetTextQualifierCustom(char16_t v);
  TSMIRecordSeparator RecordSeparator() const { return FRecordSeparator; }
  void SetRecordSeparator(TSMIRecordSeparator v);
  const UnicodeString& RecordSeparatorCustom() const { return FRecordSeparatorCustom; }
  void SetRecordSeparatorCustom(const UnicodeString& v);
  bool Fixed() const { return FFixed; }
  void SetFixed(bool v) { FFixed = v; }
  TSMIColumns& Columns() { return FColumns; }
  const TSMIColumns& Columns() const { return FColumns; }

  // Run state.
  bool TransactionStarted() const { return FTransactionStarted; }
  bool Abort() const { return FAbort; }
  void SetAbort(bool v) { FAbort = v; }
  bool PausedProcess() const { return FPausedProcess; }
  const TSMIMappingTable& Locates() const { return vLocate; }
  const TSMIMappingTable& Values() const { return vValues; }
  const TSMIMappingTable& FieldsTable() const { return vFields; }
  int32_t CurrentParsedFieldIndex() const { return intCurrentParsedFieldIndex; }
  // The stream LoadFromStream was given (not owned; kept after the run).
  std::istream* DataStream() const { return DataStream_; }

 protected:
  // Forms the default SourceFileName from the base name and Extension();
  // derived classes with their own Extension() call it in their constructor.
  void InitSourceFileName();
  void Notification(TComponent* component, TOperation operation) override;

  // The dataset a "dataset.field" or LOOKUP name refers to, or nullptr.
  TDataSet* FindNamedDataSet(UnicodeStringView name) const;

  // Run flags and tables (see the accessors above).
  bool FTransactionStarted = false;
  bool FAbort = false;
  bool FPausedProcess = false;
  TSMIMappingTable vLocate;
  TSMIMappingTable vValues;
  TSMIMappingTable vFields;
  int32_t intCurrentParsedFieldIndex = -1;
  std::istream* DataStream_ = nullptr;
  std::unique_ptr<IProgressWindow> frmSMIProcess;
  UnicodeString FSourceFileName;

 private:
  // Pieces of the run (execute.cc, import_data.cc, row_apply.cc, sql_text.cc).
  class ExecuteCleanup;
  // Shows the run's result text in the progress window (waiting for its OK
  // unless soAutoCloseStatistic) or, without one, in a message box when
  // soShowMessage is set; the window is closed afterwards.
  void ReportResult(const UnicodeString& resultText);
  struct RowState;
  // ImportData's steps: imCopy's emptying of the dataset, and the row loop.
  void EmptyDestination();
  void ImportRows();
  void ApplyRow(RowState& row);
  // The keyed search of a keyed row mode: sets row.found and the SQL key terms.
  void LocateRow(RowState& row);
  // Applies the action to the dataset (or composes its SQL text) and counts
  // it; a failure is counted as the row's error and taken to OnErrorEvent.
  void PerformAction(TSMIAction action, RowState& row);
  void WriteRowFields(RowState& row);
  // Raises OnErrorEvent (Abort starting as AbortOnProblem); true when the
  // failure is to be passed on.
  bool RaiseErrorEvent(const Exception& error);
  void UpdateProgress(int32_t& stepCounter);
  bool CancelPressed() const;
  bool PausedNow() const;
  void StartTransaction();
  void FinishTransaction();
  UnicodeString SqlTableName() const;
  UnicodeString SqlFieldName(const UnicodeString& name) const;
  UnicodeString SqlValue(const Variant& value, const TField* field) const;
  UnicodeString SqlKeyTerms() const;
  UnicodeString ComposeSql(TSMIAction action, const RowState& row) const;
  // The steps of EvaluateName (evaluate.cc): the value of LOOKUP, SUBSTITUTE
  // or a STAT* counter (false for any other name), the value of any other
  // name, and the value trimmed and converted for the cell's field.
  bool ResolveSpecialName(const UnicodeString& name, const std::vector<Variant>& args, int32_t argCount,
                          Variant& value);
  void ResolveName(const UnicodeString& name, Variant& value);
  void ShapeValue(TPersistent* sender, bool isChild, Variant& value);
  // Every setting an import specification holds, once, in file order, bound
  // to this component (specification.cc). Built afresh for each save or load.
  std::vector<SpecificationSetting> SpecificationSettings();

  // Properties.
  bool FAbortOnProblem = true;
  TSMIActionKind FActionKind = akDatasetApply;
  bool FAnimatedStatus = true;
  TSMICharacterSet FCharacterSet = csiANSI_WINDOWS;
  std::unique_ptr<TSMIDataFormats> FDataFormats;
  TDataSet* FDataSet = nullptr;
  UnicodeString FDatasetKeys;
  TSMILoadCondition FLoadCondition;
  TSMISQLOptions FSQLOptions;
  TStringList FMappings;
  TImportMode FMode = imAppend;
  TSMIOptions FOptions = kDefaultSMIOptions;
  TSMIParameters FParameters;
  UnicodeString FTableName;
  UnicodeString FTitleStatus = u"Importing...";
  TSMIStatistic FStatistic;
  UnicodeString FSpecificationDir;
  bool FUseDisplayNames = false;
  TSMITrimSpaces FTrimSpaces = tsNoTrim;
  int32_t FCommitCount = 300;

  TSMIErrorEvent FOnErrorEvent;
  TSMIGetCellParamsEvent FOnGetCellParams;
  TSMIParsedValueEvent FOnParsedValue;
  TSMIParserEvaluateEvent FOnParserEvaluate;
  TSMINotifyEvent FOnBeforeExecute;
  TSMINotifyEvent FOnAfterExecute;
  TSMIBeforeRecordEvent FOnBeforeRecordEvent;
  TSMIAfterRecordEvent FOnAfterRecordEvent;
  TSMIGetRowModeEvent FOnGetRowMode;
  TSMINotifyEvent FOnBeforeUpdate;
  TSMIBeforeFieldUpdateEvent FOnBeforeFieldUpdate;
  TSMISpecificationEvent FOnBeforeLoadSpecification;
  TSMISpecificationEvent FOnAfterLoadSpecification;
  TSMISpecificationEvent FOnBeforeSaveSpecification;
  TSMISpecificationEvent FOnAfterSaveSpecification;
  TSMILocateRecordEvent FOnLocateRecord;
  TSMINotifyEvent FOnStartTransaction;
  TSMINotifyEvent FOnFinishTransaction;
  TSMICreateStructureEvent FOnCreateStructure;

  // Further state.
  TTableTypeImport FTableType = teText;
  int32_t FRowFirst = 1;
  int32_t FRowLast = 2147483647;
  int32_t FRowFieldNames = 1;
  int32_t FMaxScanRows = 0;
  TSMIFieldDelimiter FFieldDelimiter = fdTab;
  char16_t FFieldDelimiterCustom = u'\t';
  TSMITextQualifier FTextQualifier = tqQuot;
  char16_t FTextQualifierCustom = u'"';
  TSMIRecordSeparator FRecordSeparator = rsCRLF;
  UnicodeString FRecordSeparatorCustom = u"\r\n";
  bool FFixed = false;
  TSMIColumns FColumns{this};

  // Cell evaluation (evaluate.cc): each field's source text is parsed once
  // and evaluated by one calculator kept for the cells; an evaluation started
  // while another runs (from an event handler) gets a calculator of its own.
  SourceExpressionCache sourceExpressions_;
  TSMIParser cellParser_;
  int32_t evaluationDepth_ = 0;
  // The values the cells held before their last row's, one per mapped field
  // (import_data.cc): each cell is evaluated into one, whose text storage
  // then takes the calculator's preset name without an allocation. Emptied
  // when a run ends.
  std::vector<Variant> cellValues_;
};
