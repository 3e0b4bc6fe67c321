// Execute: the whole run around the row loop, and AskParameters.
#include "dataset/t_data_set.h"
#include "import_engine/import_run_internal.h"
#include "import_engine/t_smi_import_base_component.h"
#include "platform/user_interface.h"

namespace {

constexpr char16_t kCanceledText[] = u"The data import process was canceled by the user.";
constexpr char16_t kCompletedText[] = u"The data import process has completed successfully.";
constexpr char16_t kFailedText[] = u"An error has occurred during the data import process.";

}  // namespace

// Puts back what Execute sets up around a run: the mapping the run built for
// itself, the wait cursor, the progress window and the open source. Execute
// takes each step in its place when the run ends; when an exception that is
// not the runtime's passes through Execute, the destructor takes the steps
// still due, and a failure among them is dropped so that the exception
// passing through is the one that arrives.
class TSMImportBaseComponent::ExecuteCleanup {
 public:
  ExecuteCleanup(TSMImportBaseComponent& component, bool waitCursor)
      : component_(component), waitCursor_(waitCursor) {}
  ~ExecuteCleanup() {
    try {
      EndRun();
      component_.frmSMIProcess.reset();
      if (sourceOpen_) CloseSource();
    } catch (...) {
    }
  }
  ExecuteCleanup(const ExecuteCleanup&) = delete;
  ExecuteCleanup& operator=(const ExecuteCleanup&) = delete;

  void MappingBuilt() { builtMapping_ = true; }
  // A mapping the run made for itself is dropped again, also after a
  // failure, so that the next run detects the columns afresh; the cursor
  // returns to the default.
  void EndRun() {
    if (runEnded_) return;
    runEnded_ = true;
    if (builtMapping_) component_.FMappings.Clear();
    if (waitCursor_) UserInterface().SetCursor(TCursorKind::crDefault);
  }
  void CloseSource() {
    sourceOpen_ = false;
    component_.CloseSource();
  }

 private:
  TSMImportBaseComponent& component_;
  const bool waitCursor_;
  bool builtMapping_ = false;
  bool runEnded_ = false;
  bool sourceOpen_ = true;
};

void TSMImportBaseComponent::Execute() {
  FStatistic.SetResult(irUnknown);
  if (FOnBeforeExecute) FOnBeforeExecute(this);

  UnicodeString missing;
  if (CheckProperties(missing)) throw ESMIInvalidPropertyException::Missing(missing);
  if (FDatasetKeys.empty() && import_run::IsKeyedMode(FMode))
    throw ESMIInvalidPropertyException::Missing(u"DatasetKeys");
  if (!AskParameters()) return;

  OpenSource();

  IUserInterface& ui = UserInterface();
  const bool waitCursor = FOptions.Contains(soWaitCursor);
  ExecuteCleanup cleanup(*this, waitCursor);
  UnicodeString resultText;
  try {
    if (waitCursor) ui.SetCursor(TCursorKind::crHourGlass);
    if (FAnimatedStatus) {
      ProgressWindowOptions options;
      options.caption = u"Importing...";
      options.titleStatus = FTitleStatus;
      options.extendedStatistic = FOptions.Contains(soExtendedStatistic);
      options.animated = FOptions.Contains(soUseAnimatedControl);
      frmSMIProcess = ui.CreateProgressWindow(options);
      if (!frmSMIProcess) ui.ShowMessage(u"Can't create a process dialog", TMessageKind::mtError);
    }

    if (FMappings.Count() == 0) {
      FColumns.Clear();
      DetectAutoMapping();
      if (FOnCreateStructure) FOnCreateStructure(this, &FColumns);
      if (FMappings.Count() == 0) {
        Columns2Mapping();
        cleanup.MappingBuilt();
      }
    }

    ImportData();

    if (CancelPressed() || FAbort) {
      resultText = kCanceledText;
      FStatistic.SetResult(irCanceled);
    } else {
      resultText = kCompletedText;
      FStatistic.SetResult(irExecuted);
    }
  } catch (const Exception& error) {
    resultText = UnicodeString(kFailedText) + u"\r\n" + error.Message();
    FStatistic.SetResult(irFailed);
  }
  cleanup.EndRun();
  ReportResult(resultText);
  cleanup.CloseSource();
  if (FOnAfterExecute) FOnAfterExecute(this);
}

void TSMImportBaseComponent::ReportResult(const UnicodeString& resultText) {
  IUserInterface& ui = UserInterface();
  if (FAnimatedStatus && frmSMIProcess) {
    frmSMIProcess->ShowResult(resultText, import_run::CountersOf(FStatistic), u"&OK");
    if (!FOptions.Contains(soAutoCloseStatistic)) {
      ui.ProcessMessages();
      while (!frmSMIProcess->Dismissed()) {
        ui.Sleep(100);
        ui.ProcessMessages();
      }
    }
    frmSMIProcess.reset();
  } else {
    frmSMIProcess.reset();
    if (FOptions.Contains(soShowMessage)) ui.ShowMessage(resultText, TMessageKind::mtInformation);
  }
}

bool TSMImportBaseComponent::AskParameters() {
  if (FParameters.Count() == 0) return true;

  std::vector<IUserInterface::PromptItem> items;
  std::vector<TSMIParameter*> asked;
  for (int32_t i = 0; i < FParameters.Count(); ++i) {
    TSMIParameter* parameter = FParameters.Items(i);
    if (parameter->Expression().empty()) {
      parameter->SetValue(Variant::Null());
    } else if (parameter->ParameterMode() == ipmAsk) {
      parameter->SetValue(Variant(parameter->Expression()));
    } else {
      Variant value;
      EvaluateSourceExpression(parameter->Expression(), -1, value);
      parameter->SetValue(value);
    }
    if (parameter->ParameterMode() == ipmAsk || parameter->ParameterMode() == ipmCalculateAndAsk) {
      IUserInterface::PromptItem item;
      item.caption = parameter->Caption();
      item.name = parameter->Name();
      item.description = parameter->Description();
      item.choices = parameter->ParamPromptValues().Lines();
      item.editor = parameter->ParameterEditor();
      item.required = parameter->Required();
      item.value = parameter->Value().IsArray() ? UnicodeString() : parameter->Value().ToString();
      items.push_back(std::move(item));
      asked.push_back(parameter);
    }
  }
  if (items.empty()) return true;
  if (!UserInterface().PromptValues(u"Parameters", items)) return false;
  for (size_t i = 0; i < asked.size(); ++i) {
    // An answer left as proposed keeps the value's own kind (a number stays a number).
    const Variant& current = asked[i]->Value();
    const UnicodeString proposed = current.IsArray() ? UnicodeString() : current.ToString();
    if (items[i].value != proposed) asked[i]->SetValue(Variant(items[i].value));
  }
  return true;
}
