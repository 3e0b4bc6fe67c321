#include "loader/ms_access_importer.h"

#include "dataset/t_client_data_set.h"
#include "import_engine/access/t_smi_import_from_access.h"

namespace {

// Dataset field of a detected column: type and size by the column's kind.
struct FieldForColumn {
  TFieldType type;
  int32_t size;  // -1: the column's own size
};

FieldForColumn FieldFor(TSMIDataType dataType) {
  switch (dataType) {
    case itString: return {ftString, -1};
    case itBoolean: return {ftBoolean, 0};
    case itMEMO: return {ftMemo, -1};
    default: return {ftString, 30};  // numbers, dates, times and byte data arrive as text
  }
}

constexpr size_t kMaxFieldNameLength = 31;

}  // namespace

MsAccessImporter::MsAccessImporter(TClientDataSet* dataSet)
    : dataSet_(dataSet), importer_(std::make_unique<TSMImportFromAccess>(nullptr)) {
  importer_->SetAnimatedStatus(false);
  TSMIOptions options = importer_->Options();
  options.Exclude(soShowMessage);
  importer_->SetOptions(options);
  importer_->SetOnCreateStructure(
      [this](TSMImportBaseComponent* sender, TSMIColumns* columns) { CreateStructure(sender, *columns); });
  importer_->SetDataSet(dataSet_);
}

MsAccessImporter::~MsAccessImporter() {
  // The component goes first: its structure handler reads the key field name
  // and the field sizes, which must outlive it (as members alone they would
  // be released before it).
  importer_.reset();
}

void MsAccessImporter::SetKeyField(const UnicodeString& name) { keyFieldName_ = name; }

void MsAccessImporter::Load(const UnicodeString& path, const UnicodeString& tableName) {
  importer_->SetSourceFileName(path);
  importer_->SetTableName(tableName);
  importer_->Execute();
}

void MsAccessImporter::CreateStructure(TComponent*, TSMIColumns& columns) {
  for (int32_t i = 0; i < columns.Count(); ++i) {
    TSMIColumn* column = columns.Items(i);
    if (column->Size() == 0) column->SetSize(fieldSizes_.Get(column->FieldName()));
    UnicodeString name = column->FieldName().substr(0, kMaxFieldNameLength);
    FieldForColumn field = FieldFor(column->DataType());
    dataSet_->FieldDefs().Add(name, field.type, field.size < 0 ? column->Size() : field.size, false);
  }
  dataSet_->CreateDataSet();
  dataSet_->SetActive(true);
  dataSet_->SetLogChanges(false);
  importer_->Mappings().Clear();
  importer_->Columns2Mapping();
  if (!keyFieldName_.empty()) {
    UnicodeString indexName = keyFieldName_ + u"Index";
    dataSet_->IndexDefs().Add(indexName, keyFieldName_, TIndexOptions{ixPrimary});
    dataSet_->SetIndexName(indexName);
  }
}
