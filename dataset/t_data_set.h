// TDataSet: the general dataset: fields, rows, a cursor, the row editing
// states and the search operations every dataset offers. The import engine
// knows destination datasets only through this class.
//
// Ownership: the dataset owns its fields (created when it opens, destroyed
// when it closes or is destroyed) and its rows. It is a TComponent: an owner
// destroys it, otherwise whoever created it does; components linked by
// FreeNotification are told before it goes (the import engine clears its
// DataSet reference that way).
//
// States: dsInactive (closed) -> dsBrowse (open) -> dsEdit / dsInsert (a
// pending row, from Edit / Append / Insert; ends with Post or Cancel) or
// dsSetKey (a search key being entered, see TCustomClientDataSet).
// Operations that need an open dataset raise EDatabaseError "Cannot perform
// this operation on a closed dataset". Moving the cursor or starting another
// change first finishes a pending one: a modified pending row is posted, an
// unmodified one cancelled, a search key dropped.
//
// The rows live in memory (RecordStore); the cursor order is the current
// index's order, or the order the rows were added in when there is none.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dataset/enum_set.h"
#include "dataset/field_type.h"
#include "dataset/field_value.h"
#include "dataset/record_store.h"
#include "dataset/t_field.h"
#include "runtime/component.h"
#include "runtime/variant.h"

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = EnumSet<TLocateOption>;

class TFieldDefs;

class TDataSet : public TComponent {
 public:
  explicit TDataSet(TComponent* owner = nullptr);
  ~TDataSet() override;
  UnicodeString ClassName() const override { return u"TDataSet"; }

  TDataSetState State() const { return state_; }
  bool Active() const { return state_ != dsInactive; }
  // true opens (InternalOpen), false closes; setting the current value does nothing.
  void SetActive(bool active);
  void Open() { SetActive(true); }
  // Drops a pending change, the rows and the fields.
  void Close() { SetActive(false); }

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  // The field at a 0-based position; ERangeError "List index out of bounds (%d)" outside.
  TField* Fields(int index) const;
  // The field of that name, ignoring case, or nullptr.
  TField* FindField(UnicodeStringView name) const;
  // Like FindField; EDatabaseError "Field '<name>' not found" when there is none.
  TField* FieldByName(UnicodeStringView name) const;

  // Cursor. Bof is true after First and after Prior on the first row, Eof
  // after Last and after Next on the last row; both are true when the
  // dataset is empty. The cursor stays on the first / last row.
  void First();
  void Next();
  void Prior();
  void Last();
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  bool IsEmpty() const;
  // Rows held (a pending new row not counted).
  int RecordCount() const;

  // Starts a new empty row (dsInsert) that Post adds at the end.
  void Append();
  // Starts a new empty row that Post adds before the current row.
  void Insert();
  // Starts changing the current row (dsEdit); on an empty dataset, Insert.
  void Edit();
  // Stores the pending row or change: the row takes its place in the
  // current order, the cursor stays on it, the state returns to dsBrowse.
  // Also ends dsSetKey. Does nothing in dsBrowse.
  virtual void Post();
  // Drops the pending row, change or search key; returns to dsBrowse.
  virtual void Cancel();
  // Removes the current row (a pending new row is cancelled instead); the
  // cursor moves to the following row, or to the new last one.
  void Delete();
  // True when a field was assigned since the pending change began.
  bool Modified() const { return modified_; }
  // Posts a modified pending row, cancels an unmodified one, leaves dsSetKey.
  void CheckBrowseMode();

  // Moves to the first row, in the current order, whose fields named in
  // `keyFields` (separated by ";") equal `keyValues` (one value for one
  // field, else an array Variant with one value per field). Each value is
  // compared as the field would hold it (converted by the field's kind; Null
  // matches null). loCaseInsensitive folds the case of text fields,
  // loPartialKey lets a text field's value start with the given text.
  // Answers false and keeps the cursor when no row matches. Uses the current
  // index when its leading fields are the key fields and no option is given.
  bool Locate(UnicodeStringView keyFields, const Variant& keyValues, TLocateOptions options);

  // Nested pair suspending notifications to observers of the dataset.
  void DisableControls() { ++disableCount_; }
  void EnableControls() {
    if (disableCount_ > 0) --disableCount_;
  }
  bool ControlsDisabled() const { return disableCount_ > 0; }

  // The table name for generated SQL texts; empty when the dataset has none.
  virtual UnicodeString TableNameForSql() const { return UnicodeString(); }

 protected:
  // Opening a closed dataset through SetActive(true).
  virtual void InternalOpen() = 0;
  // After the rows and fields are gone.
  virtual void InternalClose() {}

  void CheckActive() const;
  void CheckInactive() const;
  // Builds the fields from the definitions, empties the rows and opens the
  // dataset (dsBrowse). Raises when a definition has a type the dataset
  // cannot hold or two names are equal once cut to 31 bytes.
  void OpenWithFields(const TFieldDefs& defs);
  void SetState(TDataSetState state) { state_ = state; }
  RecordStore& Store() { return store_; }
  const RecordStore& Store() const { return store_; }
  // The current row; nullptr when the dataset is empty or closed.
  Record* CurrentRecord() const { return current_; }
  // Puts the cursor on `r` (a row of the store); clears Bof and Eof.
  void MoveTo(Record* r);
  // Puts the cursor on the first row (Bof; Eof when empty), for after rows
  // were dropped wholesale.
  void ResetCursor();
  // The search key's values (one per field), filled in dsSetKey.
  std::vector<FieldValue>& KeyBuffer() { return keyBuffer_; }
  // Field indexes of a ";"-separated name list; EDatabaseError "Field '<name>' not found".
  std::vector<int> FieldIndexes(UnicodeStringView names) const;

 private:
  friend class TField;
  // The value a field reads in the current state.
  const FieldValue& ActiveValue(int fieldIndex) const;
  // Writes a field's value; EDatabaseError "Dataset not in edit or insert mode" outside
  // dsEdit, dsInsert and dsSetKey.
  void SetActiveValue(int fieldIndex, FieldValue value);
  void StartPending(TDataSetState state, Record* insertBefore);
  void FillAutoIncrements();
  void CheckRequired() const;

  TDataSetState state_ = dsInactive;
  std::vector<std::unique_ptr<TField>> fields_;
  RecordStore store_;
  Record* current_ = nullptr;
  bool bof_ = true;
  bool eof_ = true;
  // Pending row (dsEdit, dsInsert) and where a new one goes (nullptr: the end).
  std::vector<FieldValue> editBuffer_;
  Record* insertBefore_ = nullptr;
  bool modified_ = false;
  std::vector<FieldValue> keyBuffer_;
  std::vector<int64_t> autoIncLast_;  // per field: the largest value seen by an auto-increment field
  int disableCount_ = 0;
};
