// Construction, settings, Assign and the simple virtual operations of the
// import component (the header lists the files of its other parts).
#include "import_engine/t_smi_import_base_component.h"

#include "dataset/t_data_set.h"
#include "import_engine/t_smi_data_formats.h"
#include "platform/user_interface.h"

namespace {

// The name a new component's SourceFileName starts with, before Extension().
constexpr char16_t kBaseSourceName[] = u"Import";

// A delimiter, qualifier or separator kind and the value it stands for. The
// custom kinds (fdCustom, tqCustom, rsCustom) are in no table: they keep the
// value that was set.
template <typename Kind, typename Value>
struct KindValue {
  Kind kind;
  Value value;
};

constexpr KindValue<TSMIFieldDelimiter, char16_t> kFieldDelimiters[] = {
    {fdNone, 0}, {fdTab, u'\t'}, {fdSemicolon, u';'}, {fdComma, u','}, {fdSpace, u' '}};
constexpr KindValue<TSMITextQualifier, char16_t> kTextQualifiers[] = {{tqNone, 0}, {tqQuot, u'"'}, {tqApos, u'\''}};
constexpr KindValue<TSMIRecordSeparator, const char16_t*> kRecordSeparators[] = {
    {rsCRLF, u"\r\n"}, {rsCR, u"\r"}, {rsLF, u"\n"}};

// Sets `kind` and the value it stands for; a kind not in the table keeps
// the value.
template <typename Kind, typename Value, size_t N, typename Target>
void AssignKind(const KindValue<Kind, Value> (&table)[N], Kind newKind, Kind& kind, Target& value) {
  kind = newKind;
  for (const auto& row : table) {
    if (row.kind == newKind) {
      value = row.value;
      return;
    }
  }
}

// Sets `value` and the kind that stands for it, `custom` when none does.
template <typename Kind, typename Value, size_t N, typename Target>
void AssignValue(const KindValue<Kind, Value> (&table)[N], const Target& newValue, Target& value, Kind& kind,
                 Kind custom) {
  value = newValue;
  kind = custom;
  for (const auto& row : table) {
    if (value == row.value) {
      kind = row.kind;
      return;
    }
  }
}

}  // namespace

Variant MappingTableToVariant(const TSMIMappingTable& table) {
  if (table.empty()) return Variant::Null();
  Variant::Array rows;
  rows.reserve(table.size());
  for (const TSMIMappingEntry& e : table)
    rows.emplace_back(Variant::Array{Variant(e.name), Variant(e.source), e.value, Variant(e.index)});
  return Variant(std::move(rows));
}

TSMImportBaseComponent::TSMImportBaseComponent(TComponent* owner)
    : TComponent(owner), FDataFormats(std::make_unique<TSMIDataFormats>()) {
  FDataFormats->LoadRegionalSettings();
  FDataFormats->SetBooleanTrue(u"True");
  FDataFormats->SetBooleanFalse(u"False");
  FStatistic.SetUpdateStep(1);
  InitSourceFileName();
}

TSMImportBaseComponent::~TSMImportBaseComponent() {
  // Tell linked components while this object is whole, then drop the link.
  NotifyDestruction();
  if (FDataSet) RemoveFreeNotification(FDataSet);
}

void TSMImportBaseComponent::InitSourceFileName() { FSourceFileName = UnicodeString(kBaseSourceName) + Extension(); }

void TSMImportBaseComponent::SetDataSet(TDataSet* v) {
  if (v == FDataSet) return;
  if (FDataSet) RemoveFreeNotification(FDataSet);
  FDataSet = v;
  if (FDataSet) FreeNotification(FDataSet);
}

void TSMImportBaseComponent::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component != nullptr && component == FDataSet) {
    FDataSet = nullptr;
    // Its fields go with it.
    for (TSMIMappingEntry& entry : vFields) {
      entry.field = nullptr;
      entry.index = -1;
    }
  }
}

void TSMImportBaseComponent::SetDataFormats(const TSMIDataFormats& v) { FDataFormats->Assign(v); }

void TSMImportBaseComponent::LoadRegionalSettings() { FDataFormats->LoadRegionalSettings(); }

void TSMImportBaseComponent::SetFieldDelimiter(TSMIFieldDelimiter v) {
  AssignKind(kFieldDelimiters, v, FFieldDelimiter, FFieldDelimiterCustom);
}
void TSMImportBaseComponent::SetFieldDelimiterCustom(char16_t v) {
  AssignValue(kFieldDelimiters, v, FFieldDelimiterCustom, FFieldDelimiter, fdCustom);
}
void TSMImportBaseComponent::SetTextQualifier(TSMITextQualifier v) {
  AssignKind(kTextQualifiers, v, FTextQualifier, FTextQualifierCustom);
}
void TSMImportBaseComponent::SetTextQualifierCustom(char16_t v) {
  AssignValue(kTextQualifiers, v, FTextQualifierCustom, FTextQualifier, tqCustom);
}
void TSMImportBaseComponent::SetRecordSeparator(TSMIRecordSeparator v) {
  AssignKind(kRecordSeparators, v, FRecordSeparator, FRecordSeparatorCustom);
}
void TSMImportBaseComponent::SetRecordSeparatorCustom(const UnicodeString& v) {
  AssignValue(kRecordSeparators, v, FRecordSeparatorCustom, FRecordSeparator, rsCustom);
}

void TSMImportBaseComponent::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TSMImportBaseComponent*>(&source);
  if (!other) return TComponent::Assign(source);
  if (other == this) return;
  FTableType = other->FTableType;
  FAnimatedStatus = other->FAnimatedStatus;
  FActionKind = other->FActionKind;
  SetDataSet(other->FDataSet);
  FDatasetKeys = other->FDatasetKeys;
  FFixed = other->FFixed;
  FUseDisplayNames = other->FUseDisplayNames;
  // Each custom value with its kind.
  FRecordSeparatorCustom = other->FRecordSeparatorCustom;
  FRecordSeparator = other->FRecordSeparator;
  FFieldDelimiterCustom = other->FFieldDelimiterCustom;
  FFieldDelimiter = other->FFieldDelimiter;
  FTextQualifierCustom = other->FTextQualifierCustom;
  FTextQualifier = other->FTextQualifier;
  FRowFirst = other->FRowFirst;
  FRowLast = other->FRowLast;
  FRowFieldNames = other->FRowFieldNames;
  FMappings.Assign(other->FMappings);
  FParameters.Assign(other->FParameters);
  FMode = other->FMode;
  FOptions = other->FOptions;
  FSourceFileName = other->FSourceFileName;
  FCharacterSet = other->FCharacterSet;
  FTrimSpaces = other->FTrimSpaces;
  FTitleStatus = other->FTitleStatus;
  FOnCreateStructure = other->FOnCreateStructure;
  FOnErrorEvent = other->FOnErrorEvent;
  FOnGetCellParams = other->FOnGetCellParams;
  FOnParsedValue = other->FOnParsedValue;
  FOnParserEvaluate = other->FOnParserEvaluate;
  FOnBeforeRecordEvent = other->FOnBeforeRecordEvent;
  FOnAfterRecordEvent = other->FOnAfterRecordEvent;
  FOnLocateRecord = other->FOnLocateRecord;
  FOnBeforeUpdate = other->FOnBeforeUpdate;
  FOnBeforeFieldUpdate = other->FOnBeforeFieldUpdate;
  FStatistic.Assign(other->FStatistic);
  FDataFormats->Assign(*other->FDataFormats);
  FLoadCondition.Assign(other->FLoadCondition);
  FSQLOptions.Assign(other->FSQLOptions);
  FCommitCount = other->FCommitCount;
  FOnStartTransaction = other->FOnStartTransaction;
  FOnFinishTransaction = other->FOnFinishTransaction;
}

// ---- Base source: reads nothing ---------------------------------------------

void TSMImportBaseComponent::OpenSource() {
  if (FDataFormats->UseRegionalSettings()) FDataFormats->LoadRegionalSettings();
  FPausedProcess = false;
}

void TSMImportBaseComponent::CloseSource() {}
void TSMImportBaseComponent::FirstRow() {}
void TSMImportBaseComponent::NextRow() {}
bool TSMImportBaseComponent::HasRow() { return false; }
int32_t TSMImportBaseComponent::GetRowCount() { return 0; }
void TSMImportBaseComponent::ClearValue(Variant& value) { value = Variant::Null(); }
void TSMImportBaseComponent::GetSourceValue(const UnicodeString& name, Variant& value) { value = Variant(name); }
bool TSMImportBaseComponent::ShortColumnNames() { return false; }

bool TSMImportBaseComponent::CheckProperties(UnicodeString& propertyName) {
  if (FDataSet == nullptr) {
    propertyName = u"DataSet";
    return true;
  }
  return false;
}

bool TSMImportBaseComponent::IsXMLSource() { return false; }
int32_t TSMImportBaseComponent::ReservedOperation() { return 0; }

void TSMImportBaseComponent::LoadFromStream(std::istream* stream) {
  DataStream_ = stream;
  Execute();
}

UnicodeString TSMImportBaseComponent::Extension() const { return u".SMI"; }
UnicodeString TSMImportBaseComponent::FillFileFilters() const { return u"All files (*.*)|*.*"; }

void TSMImportBaseComponent::PauseImport() {
  FPausedProcess = true;
  if (frmSMIProcess) frmSMIProcess->SetPauseDown(true);
}

void TSMImportBaseComponent::ContinueImport() {
  FPausedProcess = false;
  if (frmSMIProcess) frmSMIProcess->SetPauseDown(false);
}
