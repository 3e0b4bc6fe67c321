// TCustomClientDataSet / TClientDataSet: the in-memory dataset defined by
// field and index definitions, with a change log and keyed positioning on
// the current index.
//
// Lifecycle: created closed and empty; CreateDataSet builds the fields from
// FieldDefs and opens it empty; rows are then appended; Close or destruction
// releases rows and fields. Opening a closed client dataset other than by
// CreateDataSet fails with "Missing data provider or data packet." (it has
// no provider to read rows from).
//
// Keyed positioning: SetKey enters dsSetKey, field assignments fill the
// search key (converted by the fields' kinds, so a string key is cut and
// encoded exactly as stored), GotoKey searches the current index
// (logarithmic) for the first row whose index fields equal the key.
#pragma once

#include <vector>

#include "dataset/t_data_set.h"
#include "dataset/t_field_defs.h"
#include "dataset/t_index_defs.h"

class TCustomClientDataSet : public TDataSet {
 public:
  explicit TCustomClientDataSet(TComponent* owner = nullptr);
  ~TCustomClientDataSet() override;
  UnicodeString ClassName() const override { return u"TCustomClientDataSet"; }

  TFieldDefs& FieldDefs() { return fieldDefs_; }
  const TFieldDefs& FieldDefs() const { return fieldDefs_; }
  TIndexDefs& IndexDefs() { return indexDefs_; }
  const TIndexDefs& IndexDefs() const { return indexDefs_; }

  // Builds the fields from FieldDefs, empties the dataset and opens it.
  // Fails with "No fields defined.  Cannot create dataset" without
  // definitions (the dataset stays closed) and with "Cannot perform this
  // operation on an open dataset" when it is open. The current IndexName, if
  // any, is built.
  void CreateDataSet();
  // Removes every row (the dataset stays open).
  void EmptyDataSet();

  // The change log (on by default): while on, every insertion, change and
  // removal is kept so that CancelUpdates can undo them.
  bool LogChanges() const { return Store().Logging(); }
  void SetLogChanges(bool on) { Store().SetLogging(on); }
  int ChangeCount() const { return Store().ChangeCount(); }
  // Keeps every logged change and empties the log.
  void MergeChangeLog() { Store().MergeChangeLog(); }
  // Undoes every logged change, latest first, and empties the log.
  void CancelUpdates();

  // The current index definition's name; empty: rows in the order added.
  const UnicodeString& IndexName() const { return indexName_; }
  // Makes the named index definition current and orders the rows by it
  // (an open dataset builds it at once, a closed one when created). Fails
  // with "Index '<name>' not found" for an unknown name, and with
  // "Field '<name>' not found" for an unknown field of the index.
  void SetIndexName(const UnicodeString& name);

  // Enters dsSetKey with an empty search key (closed: EDatabaseError).
  void SetKey();
  // Searches the current index for the search key; on success moves there
  // and answers true, else answers false and keeps the cursor. Leaves
  // dsSetKey for dsBrowse. Closed: EDatabaseError; no current index:
  // EDatabaseError "No index currently active".
  bool GotoKey();
  // SetKey, the values assigned to the index fields in order, GotoKey.
  bool FindKey(const std::vector<Variant>& keyValues);

 protected:
  void InternalOpen() override;
  void InternalClose() override;

 private:
  void ApplyIndex();

  TFieldDefs fieldDefs_;
  TIndexDefs indexDefs_;
  UnicodeString indexName_;
};

class TClientDataSet : public TCustomClientDataSet {
 public:
  explicit TClientDataSet(TComponent* owner = nullptr) : TCustomClientDataSet(owner) {}
  ~TClientDataSet() override;
  UnicodeString ClassName() const override { return u"TClientDataSet"; }
};
