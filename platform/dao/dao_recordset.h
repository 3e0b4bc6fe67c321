// A DAO recordset reading one table front to back.
//
// Opens positioned on the first record (Eof at once for an empty table).
// Members:
//   MoveFirst, MoveNext   methods; raise "No current record." when there is
//                         no record to move to from (an empty recordset, or
//                         MoveNext at Eof), as DAO does.
//   Eof, BOF              properties.
//   RecordCount           property; the table's row count.
//   Fields                property; the same Fields collection (dao_fields.h)
//                         every time, whose fields follow the current record.
//   Name                  property; the table name.
//   Close                 method; later calls to the recordset or its fields
//                         raise "Object invalid or no longer set."
#pragma once

#include <memory>

#include "jet/mdb_table_cursor.h"
#include "runtime/dispatch.h"
#include "runtime/variant.h"

// What a recordset and its field objects share.
struct DaoRecordsetState {
  std::unique_ptr<MdbTableCursor> cursor;  // null once closed
  bool bof = false;

  MdbTableCursor& Cursor() const;  // raises when closed
};

class DaoRecordset : public IDispatchObject {
 public:
  explicit DaoRecordset(std::unique_ptr<MdbTableCursor> cursor);
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;

 private:
  std::shared_ptr<DaoRecordsetState> state_;
  UnicodeString name_;
  Variant fields_;  // created on first use
};
