// TSMIColumn and TSMIColumns: the columns detected in an import source.
//
// TSMIColumns is the ordered collection owned by an import component (its
// Owner()); it owns its TSMIColumn items, which are destroyed by Clear or
// with the collection. A TSMIColumn* stays valid until then.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dataset/field_type.h"
#include "import_engine/smi_types.h"
#include "runtime/component.h"
#include "runtime/unicode_string.h"

class TSMIColumns;

class TSMIColumn : public TPersistent {
 public:
  explicit TSMIColumn(TSMIColumns* collection = nullptr) : collection_(collection) {}
  UnicodeString ClassName() const override { return u"TSMIColumn"; }

  // Copies the six values of another column (inside the collection's
  // BeginUpdate / EndUpdate).
  void Assign(const TPersistent& source) override;

  TSMIColumns* Collection() const { return collection_; }
  // Position in the collection, -1 outside one.
  int32_t Index() const;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value) { alignment_ = value; }
  const UnicodeString& FieldName() const { return fieldName_; }
  void SetFieldName(const UnicodeString& value) { fieldName_ = value; }
  const UnicodeString& Caption() const { return caption_; }
  void SetCaption(const UnicodeString& value) { caption_ = value; }
  TSMIDataType DataType() const { return dataType_; }
  void SetDataType(TSMIDataType value) { dataType_ = value; }
  int32_t Size() const { return size_; }
  void SetSize(int32_t value) { size_ = value; }
  int32_t Precision() const { return precision_; }
  void SetPrecision(int32_t value) { precision_ = value; }

 private:
  TSMIColumns* collection_;
  TAlignment alignment_ = taLeftJustify;
  UnicodeString fieldName_;
  UnicodeString caption_;
  TSMIDataType dataType_ = itString;
  int32_t size_ = 0;
  int32_t precision_ = 0;
};

class TSMIColumns : public TPersistent {
 public:
  explicit TSMIColumns(TComponent* owner = nullptr) : owner_(owner) {}
  TSMIColumns(const TSMIColumns&) = delete;
  TSMIColumns& operator=(const TSMIColumns&) = delete;
  UnicodeString ClassName() const override { return u"TSMIColumns"; }

  // Replaces the columns by copies of another collection's columns.
  void Assign(const TPersistent& source) override;

  // The component that owns the collection.
  TComponent* Owner() const { return owner_; }

  // Appends a new column (empty texts, itString, size and precision 0, left).
  TSMIColumn* Add();
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Column at a 0-based index; ERangeError outside.
  TSMIColumn* Items(int32_t index) const;
  void Clear() { items_.clear(); }

  // Nested update brackets; UpdateCount() > 0 between them.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
  }
  int32_t UpdateCount() const { return updateCount_; }

 private:
  friend class TSMIColumn;
  TComponent* owner_;
  std::vector<std::unique_ptr<TSMIColumn>> items_;
  int32_t updateCount_ = 0;
};
