// TSMImportFromADODOA: the import engine's source over a recordset of a
// late-bound database engine. It walks the open recordset row by row and
// reads values by field name; a derived class (TSMImportFromAccess) opens
// and closes the engine, the database and the recordset.
//
// Everything goes through Variant calls by member name (MoveFirst, MoveNext,
// Eof, RecordCount, Fields, Count, Item, Name, Value), so the same code runs
// over the platform's automation server and over any stand-in registered
// under its class name.
//
// Ownership: `connection` and `recordset` hold references to automation
// objects; releasing the Variant releases the reference. The component never
// owns the destination dataset (see TSMImportBaseComponent).
#pragma once

#include <cstdint>
#include <vector>

#include "import_engine/t_smi_import_base_component.h"

class TSMImportFromADODOA : public TSMImportBaseComponent {
 public:
  explicit TSMImportFromADODOA(TComponent* owner = nullptr);
  UnicodeString ClassName() const override { return u"TSMImportFromADODOA"; }

  // Moves to the first record, then skips RowFirst - 1 records.
  void FirstRow() override;
  void NextRow() override;
  // A record is current and within RowFirst..RowLast (1-based, counted from
  // the recordset's first record).
  bool HasRow() override;
  // The recordset's RecordCount, 10000 when negative; 0 without a recordset.
  int32_t GetRowCount() override;
  // The current record's value of the field called `name` (ASCII letter case
  // ignored); `name` itself when no field has that name. A decimal value
  // becomes its text; byte data becomes a text of the same bytes read as
  // ANSI characters.
  void GetSourceValue(const UnicodeString& name, Variant& value) override;

 protected:
  // Forgets the field look-up built for the previous recordset; called
  // whenever `recordset` is replaced.
  void ResetFieldLookup();

  int32_t intCurRow = 0;
  Variant connection;
  Variant recordset;

 private:
  // The recordset's fields, read once per recordset: GetSourceValue would
  // otherwise scan the fields by name for every value. Field objects of a
  // recordset follow its current record, so keeping them gives the same
  // values as fetching them anew.
  void BuildFieldLookup();

  // The position in `fieldNames_` of the field called `name`, -1 when none.
  // Cells are read in the same column order row after row, so the search
  // starts after the previous hit and usually ends at its first comparison.
  int64_t FindField(UnicodeStringView name);

  struct FieldName {
    UnicodeString name;  // the field's Name
    size_t object;       // its position in fieldObjects_
  };

  bool lookupBuilt_ = false;
  std::vector<Variant> fieldObjects_;
  std::vector<FieldName> fieldNames_;  // one entry per distinct name (ASCII case ignored), the first field's
  size_t nextSearch_ = 0;              // where FindField starts
};
