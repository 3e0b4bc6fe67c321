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
  std::string converted;  // the outline text, when the stored bytes cannot be read as they are
  QueueItems(StructureText(converted));
}

void DocumentImporter::LoadNodeTable() {
  auto loader = std::make_unique<MsAccessImporter>(dataSet_.get());
  loader->SetKeyField(KeyFieldName());
  loader->Load(path_, TableName());
}

std::string_view DocumentImporter::StructureText(std::string& converted) {
  if (!FindByKey(KeyFieldName(), RootKey())) throw ERangeError(u"Cannot find specified record");
  // Straight from the stored bytes: the way through UTF-16 and back gives
  // the same bytes for twice the outline's size in copies, and where the
  // code page gives every byte back unchanged, the stored bytes themselves.
  return dataSet_->FieldByName(StructureFieldName())->AnsiView(converted);
}

void DocumentImporter::QueueItems(std::string_view ansiText) {
  // Each item goes to the queue as the parser reads it, so the items are
  // held once; a parse that fails leaves the queue empty.
  try {
    TreeItemsParser().WalkAnsi(ansiText, [this](TreeItem&& item) { queue_.Push(std::move(item)); });
  } catch (...) {
    queue_ = Queue<TreeItem>();
    throw;
  }
}

bool DocumentImporter::FindByKey(const UnicodeString& fieldName, const UnicodeString& value) {
  dataSet_->SetKey();
  dataSet_->FieldByName(fieldName)->SetAsString(value);
  return dataSet_->GotoKey();
}

bool DocumentImporter::IsQueueEmpty() { return queue_.IsEmpty(); }

TreeItem DocumentImporter::NextItem() { return queue_.Pop(); }

UTF8String DocumentImporter::DocumentText(const UnicodeString& key) {
  if (contentFieldName_.empty()) contentFieldName_ = ContentFieldName();
  if (!FindByKey(keyFieldName_, key)) return UTF8String();
  return dataSet_->FieldByName(contentFieldName_)->AsUtf8();
}
