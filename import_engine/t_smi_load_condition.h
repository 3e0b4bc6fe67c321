// TSMILoadCondition: the two row-filter expressions of an import run. A row
// is imported only when LoadWhen is empty or true and SkipIf is empty or
// false. Owned by the import component.
#pragma once

#include "runtime/component.h"
#include "runtime/unicode_string.h"

class TSMILoadCondition : public TPersistent {
 public:
  UnicodeString ClassName() const override { return u"TSMILoadCondition"; }
  void Assign(const TPersistent& source) override {
    auto* other = dynamic_cast<const TSMILoadCondition*>(&source);
    if (!other) return TPersistent::Assign(source);
    loadWhen_ = other->loadWhen_;
    skipIf_ = other->skipIf_;
  }

  const UnicodeString& LoadWhen() const { return loadWhen_; }
  void SetLoadWhen(const UnicodeString& v) { loadWhen_ = v; }
  const UnicodeString& SkipIf() const { return skipIf_; }
  void SetSkipIf(const UnicodeString& v) { skipIf_ = v; }

 private:
  UnicodeString loadWhen_;
  UnicodeString skipIf_;
};
