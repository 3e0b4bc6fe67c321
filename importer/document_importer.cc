#include "importer/document_importer.h"

#include "dataset/t_client_data_set.h"
#include "loader/ms_access_importer.h"
#include "outline/tree_items_parser.h"
#include "runtime/exceptions.h"

DocumentImporter::DocumentImporter(const UnicodeString& path)
    : dataSet_(std::make_unique<TClientDataSet>(nullptr)), path_(path) {}

DocumentImporter::~DocumentImporter() {
  // The dataset goes first, while everything else here is whole: its
  // destruction notifies the components linked to it, and they may still ask
  // this importer for its path or items. The members follow in reverse order.
  dataSet_.reset();
}

UnicodeString DocumentImporter::KeyFieldName() { return u"NodeKeyValue"; }

void DocumentImporter::Open() {
  LoadNodeTable();
  ParseStructure(StructureText());
  EnqueueItems();
}

void DocumentImporter::LoadNodeTable() {
  auto loader = std::make_unique<MsAccessImporter>(dataSet_.get());
  loader->SetKeyField(KeyFieldName());
  loader->Load(path_, TableName());
}

UnicodeString DocumentImporter::StructureText() {
  if (!FindByKey(KeyFieldName(), RootKey())) throw ERangeError(u"Cannot find specified record");
  return dataSet_->FieldByName(StructureFieldName())->AsString();
}

void DocumentImporter::ParseStructure(UnicodeString text) {
  auto parser = std::make_unique<TreeItemsParser>();
  parser->Parse(std::move(text), items_);
}

void DocumentImporter::EnqueueItems() {
  for (int32_t i = 0; i < items_.Count(); ++i) queue_.Push(items_.Item(i));
}

bool DocumentImporter::FindByKey(const UnicodeString& fieldName, const UnicodeString& value) {
  dataSet_->SetKey();
  dataSet_->FieldByName(fieldName)->SetAsString(value);
  return dataSet_->GotoKey();
}

bool DocumentImporter::IsQueueEmpty() { return queue_.IsEmpty(); }

TreeItem DocumentImporter::NextItem() { return queue_.Pop(); }

UTF8String DocumentImporter::DocumentText(const UnicodeString& key) {
  if (!FindByKey(KeyFieldName(), key)) return UTF8String();
  return dataSet_->FieldByName(ContentFieldName())->AsUtf8();
}
