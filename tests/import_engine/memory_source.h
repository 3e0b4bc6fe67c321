// An import source over rows of variants held in memory, for driving the
// engine in tests and benchmarks.
#pragma once

#include <utility>
#include <vector>

#include "dataset/t_client_data_set.h"
#include "import_engine/t_smi_import_base_component.h"

class TMemorySource : public TSMImportBaseComponent {
 public:
  struct Column {
    UnicodeString name;
    TSMIDataType type = itString;
    int32_t size = 0;
  };

  explicit TMemorySource(TComponent* owner = nullptr) : TSMImportBaseComponent(owner) {
    SetAnimatedStatus(false);
    TSMIOptions options = Options();
    options.Exclude(soShowMessage);
    SetOptions(options);
  }

  std::vector<Column> columns;
  std::vector<std::vector<Variant>> rows;
  int32_t reportedRowCount = -1;  // -1: the number of rows
  int openCount = 0, closeCount = 0, rowCountCalls = 0;
  int32_t current = 0;   // 0-based row
  int32_t passed = 0;    // rows moved past since FirstRow
  // Raised by GetSourceValue for this column name when set.
  UnicodeString failingColumn;
  int32_t failingRow = -1;

  void OpenSource() override {
    TSMImportBaseComponent::OpenSource();
    ++openCount;
  }
  void CloseSource() override { ++closeCount; }
  void FirstRow() override {
    current = RowFirst() - 1;
    passed = 0;
  }
  void NextRow() override {
    ++current;
    ++passed;
  }
  bool HasRow() override {
    return current >= 0 && current < static_cast<int32_t>(rows.size()) && passed <= RowLast() - RowFirst();
  }
  int32_t GetRowCount() override {
    ++rowCountCalls;
    return reportedRowCount >= 0 ? reportedRowCount : static_cast<int32_t>(rows.size());
  }
  void GetSourceValue(const UnicodeString& name, Variant& value) override {
    for (size_t c = 0; c < columns.size(); ++c) {
      if (!SameText(columns[c].name, name)) continue;
      if (SameText(name, failingColumn) && current == failingRow) throw EConvertError(u"source failure");
      value = rows.at(static_cast<size_t>(current)).at(c);
      return;
    }
    TSMImportBaseComponent::GetSourceValue(name, value);
  }
  void DetectAutoMapping() override {
    for (const Column& c : columns) {
      TSMIColumn* column = Columns().Add();
      column->SetFieldName(c.name.find(u' ') != UnicodeString::npos ? u"[" + c.name + u"]" : c.name);
      column->SetDataType(c.type);
      column->SetSize(c.size);
    }
  }
};

// A client dataset with the given string fields (size 50) and other fields.
inline void DefineFields(TClientDataSet& ds, const std::vector<std::pair<UnicodeString, TFieldType>>& fields) {
  for (const auto& f : fields) ds.FieldDefs().Add(f.first, f.second, f.second == ftString ? 50 : 0);
  ds.CreateDataSet();
  ds.SetLogChanges(false);
}

// The dataset's rows, each as its fields' texts joined by "|", in cursor order.
inline std::vector<UnicodeString> RowTexts(TDataSet& ds) {
  std::vector<UnicodeString> out;
  ds.First();
  while (!ds.Eof()) {
    UnicodeString line;
    for (int i = 0; i < ds.FieldCount(); ++i) {
      if (i) line += u"|";
      line += ds.Fields(i)->AsString();
    }
    out.push_back(line);
    ds.Next();
  }
  return out;
}
