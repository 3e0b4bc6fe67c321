// TSMIStatistic: the counters and the result of an import component's last
// run. Owned by the component; the run resets the counters when its row
// loop starts and Execute sets Result.
#pragma once

#include <cstdint>

#include "import_engine/smi_types.h"
#include "runtime/component.h"
#include "runtime/unicode_string.h"

class TSMIStatistic : public TPersistent {
 public:
  UnicodeString ClassName() const override { return u"TSMIStatistic"; }
  // Copies the seven counters, UpdateStep, LastAction, LastGeneratedSQL and Result.
  void Assign(const TPersistent& source) override;

  // The seven counters to 0, LastAction to iaUnknown, LastGeneratedSQL empty.
  void Reset();

  int32_t TotalCount() const { return totalCount_; }
  void SetTotalCount(int32_t v) { totalCount_ = v; }
  int32_t TotalImported() const { return totalImported_; }
  void SetTotalImported(int32_t v) { totalImported_ = v; }
  int32_t TotalAdded() const { return totalAdded_; }
  void SetTotalAdded(int32_t v) { totalAdded_ = v; }
  int32_t TotalDeleted() const { return totalDeleted_; }
  void SetTotalDeleted(int32_t v) { totalDeleted_ = v; }
  int32_t TotalUpdated() const { return totalUpdated_; }
  void SetTotalUpdated(int32_t v) { totalUpdated_ = v; }
  int32_t TotalErrors() const { return totalErrors_; }
  void SetTotalErrors(int32_t v) { totalErrors_ = v; }
  int32_t TotalSkipped() const { return totalSkipped_; }
  void SetTotalSkipped(int32_t v) { totalSkipped_ = v; }
  // Rows between two updates of the progress window.
  int32_t UpdateStep() const { return updateStep_; }
  void SetUpdateStep(int32_t v) { updateStep_ = v; }
  TSMIAction LastAction() const { return lastAction_; }
  void SetLastAction(TSMIAction v) { lastAction_ = v; }
  TSMIResult Result() const { return result_; }
  void SetResult(TSMIResult v) { result_ = v; }
  // The SQL text of the current row in akGenerateSQL runs.
  const UnicodeString& LastGeneratedSQL() const { return lastGeneratedSQL_; }
  void SetLastGeneratedSQL(const UnicodeString& v) { lastGeneratedSQL_ = v; }

 private:
  int32_t totalCount_ = 0;
  int32_t totalImported_ = 0;
  int32_t totalAdded_ = 0;
  int32_t totalDeleted_ = 0;
  int32_t totalUpdated_ = 0;
  int32_t totalErrors_ = 0;
  int32_t totalSkipped_ = 0;
  int32_t updateStep_ = 1;
  TSMIAction lastAction_ = iaUnknown;
  TSMIResult result_ = irUnknown;
  UnicodeString lastGeneratedSQL_;
};
