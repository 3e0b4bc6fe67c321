#include "import_engine/t_smi_statistic.h"

void TSMIStatistic::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TSMIStatistic*>(&source);
  if (!other) return TPersistent::Assign(source);
  totalCount_ = other->totalCount_;
  totalImported_ = other->totalImported_;
  totalAdded_ = other->totalAdded_;
  totalDeleted_ = other->totalDeleted_;
  totalUpdated_ = other->totalUpdated_;
  totalErrors_ = other->totalErrors_;
  totalSkipped_ = other->totalSkipped_;
  updateStep_ = other->updateStep_;
  lastAction_ = other->lastAction_;
  lastGeneratedSQL_ = other->lastGeneratedSQL_;
  result_ = other->result_;
}

void TSMIStatistic::Reset() {
  totalCount_ = totalImported_ = totalAdded_ = totalDeleted_ = totalUpdated_ = totalErrors_ = totalSkipped_ = 0;
  lastAction_ = iaUnknown;
  lastGeneratedSQL_.clear();
}
