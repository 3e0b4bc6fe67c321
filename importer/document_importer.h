// DocumentImporter: the object behind one import session.
//
// It loads the variant's node table into its own in-memory dataset, finds
// the root record, parses the outline text stored there into tree items and
// queues them; each served document then costs one keyed lookup. The two
// variants differ only in the four names returned by the abstract
// operations.
//
// Ownership: the importer owns its dataset (created by the constructor, no
// owner component) and its queue of tree items for its whole life. The
// loader and the parser live only inside the opening step that needs them.
// Nothing here catches an error: every failure reaches the caller.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "outline/queue.h"
#include "outline/tree_item.h"
#include "runtime/unicode_string.h"

class TClientDataSet;

// 8-bit text in code page 65001.
using UTF8String = std::string;

class DocumentImporter {
 public:
  explicit DocumentImporter(const UnicodeString& path);
  virtual ~DocumentImporter();
  DocumentImporter(const DocumentImporter&) = delete;
  DocumentImporter& operator=(const DocumentImporter&) = delete;

  // The node table.
  virtual UnicodeString TableName() = 0;
  // The root record's field that holds the outline text.
  virtual UnicodeString StructureFieldName() = 0;
  // The key of the root record.
  virtual UnicodeString RootKey() = 0;
  // The field that holds a node's content.
  virtual UnicodeString ContentFieldName() = 0;

  // The field that identifies every record of the node table.
  UnicodeString KeyFieldName();

  // The opening sequence: load, find the outline text, parse, queue. Called
  // once, right after construction. On an error the queue stays empty.
  void Open();

  bool IsQueueEmpty();
  // Takes the next item off the queue; Queue<TreeItem>::ReadEmptyQueue when
  // there is none.
  TreeItem NextItem();
  // The content of the record keyed `key`, in UTF-8 exactly as the field
  // holds it; empty when no record has that key.
  UTF8String DocumentText(const UnicodeString& key);

  const UnicodeString& Path() const { return path_; }
  TClientDataSet* DataSet() const { return dataSet_.get(); }

 protected:
  void LoadNodeTable();
  // The root record's outline text in the active ANSI code page, the form
  // the parser reads it in: the record's own bytes, or `converted` holding
  // them converted. Valid while the dataset's records and `converted` stay
  // as they are.
  std::string_view StructureText(std::string& converted);
  // Parses the outline text (in the active ANSI code page) into the queue's
  // items; the text must stay unchanged while it is read.
  void QueueItems(std::string_view ansiText);
  // Positions the dataset on the record whose `fieldName` holds `value`.
  bool FindByKey(const UnicodeString& fieldName, const UnicodeString& value);

 private:
  Queue<TreeItem> queue_;
  std::unique_ptr<TClientDataSet> dataSet_;
  UnicodeString path_;
  // The names every served document looks up, made once rather than per
  // document (the content field's on the first document).
  const UnicodeString keyFieldName_ = KeyFieldName();
  UnicodeString contentFieldName_;
};

// A new importer for `path`, owned by the caller: GleaneryDocumentImporter
// when the path's extension is exactly ".xrd", ArvolineDocumentImporter
// otherwise.
std::unique_ptr<DocumentImporter> CreateImporter(const UnicodeString& path);
