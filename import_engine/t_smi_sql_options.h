// TSMISQLOptions and TSMISQLFieldNameOptions: how names and values are
// written in the SQL texts an akGenerateSQL run composes. TSMISQLOptions is
// owned by the import component and owns its TSMISQLFieldNameOptions.
#pragma once

#include "import_engine/smi_types.h"
#include "runtime/component.h"
#include "runtime/unicode_string.h"

class TSMISQLFieldNameOptions : public TPersistent {
 public:
  UnicodeString ClassName() const override { return u"TSMISQLFieldNameOptions"; }
  void Assign(const TPersistent& source) override {
    auto* other = dynamic_cast<const TSMISQLFieldNameOptions*>(&source);
    if (!other) return TPersistent::Assign(source);
    quoteOpen_ = other->quoteOpen_;
    quoteClose_ = other->quoteClose_;
  }

  // Characters enclosing a field name that needs quoting.
  char16_t SQLQuoteOpen() const { return quoteOpen_; }
  void SetSQLQuoteOpen(char16_t v) { quoteOpen_ = v; }
  char16_t SQLQuoteClose() const { return quoteClose_; }
  void SetSQLQuoteClose(char16_t v) { quoteClose_ = v; }

 private:
  char16_t quoteOpen_ = u'[';
  char16_t quoteClose_ = u']';
};

class TSMISQLOptions : public TPersistent {
 public:
  UnicodeString ClassName() const override { return u"TSMISQLOptions"; }
  void Assign(const TPersistent& source) override {
    auto* other = dynamic_cast<const TSMISQLOptions*>(&source);
    if (!other) return TPersistent::Assign(source);
    fieldNameCharCase_ = other->fieldNameCharCase_;
    sqlQuote_ = other->sqlQuote_;
    sqlTerm_ = other->sqlTerm_;
    fieldNameOptions_.Assign(other->fieldNameOptions_);
  }

  TSMIFieldCharCase FieldNameCharCase() const { return fieldNameCharCase_; }
  void SetFieldNameCharCase(TSMIFieldCharCase v) { fieldNameCharCase_ = v; }
  // Quote around text values.
  char16_t SQLQuote() const { return sqlQuote_; }
  void SetSQLQuote(char16_t v) { sqlQuote_ = v; }
  // Statement terminator.
  const UnicodeString& SQLTerm() const { return sqlTerm_; }
  void SetSQLTerm(const UnicodeString& v) { sqlTerm_ = v; }
  TSMISQLFieldNameOptions& FieldNameOptions() { return fieldNameOptions_; }
  const TSMISQLFieldNameOptions& FieldNameOptions() const { return fieldNameOptions_; }
  // Copies the given values into the owned object.
  void SetFieldNameOptions(const TSMISQLFieldNameOptions& v) { fieldNameOptions_.Assign(v); }

 private:
  TSMIFieldCharCase fieldNameCharCase_ = ifcNormal;
  char16_t sqlQuote_ = u'"';
  UnicodeString sqlTerm_ = u";";
  TSMISQLFieldNameOptions fieldNameOptions_;
};
