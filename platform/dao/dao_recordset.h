// A DAO recordset reading one table front to back.
//
// Opens positioned on the first record (Eof at once for an empty table).
// Members:
//   MoveFirst, MoveNext   methods; raise "No current record." when there is
//                         no record to move to from (an empty recordset, or
//                         MoveNext at Eof), as DAO does.
//   Eof, BOF              properties.
//   RecordCount           property; the table's records, as a table-type
//                         recordset reports them: counted from the table's
//                         pages when first asked for (jet_table_cursor.h,
//                         CountRows), not taken from the count its
//                         definition records, which Access lets go stale.
//   Fields                property; the same Fields collection (dao_fields.h)
//                         every time, whose fields follow the current record.
//                         A version-history column is not among them: Access
//                         shows none; its memo column holds the latest text.
//   Close                 method; later calls to the recordset or its fields
//                         raise "Object invalid or no longer set."
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "jet/jet_table_cursor.h"
#include "platform/dao/dao_complex_column_types.h"
#include "platform/dao/dao_complex_values.h"
#include "runtime/dispatch.h"
#include "runtime/variant.h"

// One field as DAO describes it.
struct DaoColumn {
  UnicodeString name;
  int32_t type;  // DAO's type code
  int32_t size;  // DAO's size
  size_t index;  // the table's column (the cursor's)
  bool complex = false;
  std::shared_ptr<DaoComplexValues> complexValues;  // complex columns with a flat table

  // The field's value on the cursor's current row.
  Variant Value(JetTableCursor& cursor) const;
};

// What a recordset and its field objects share.
struct DaoRecordsetState {
  std::unique_ptr<JetTableCursor> cursor;  // null once closed
  std::vector<DaoColumn> columns;
  bool bof = false;
  std::optional<uint64_t> recordCount;  // once counted

  JetTableCursor& Cursor() const;  // raises when closed
};

class DaoRecordset : public IDispatchObject {
 public:
  // Takes the open table of `file`; `complexTypes` gives its complex
  // fields' DAO types and values.
  DaoRecordset(std::unique_ptr<JetTableCursor> cursor, const std::shared_ptr<const JetFile>& file,
               const DaoComplexColumnTypes& complexTypes);
  Variant Invoke(UnicodeStringView member, InvokeKind kind, const std::vector<Variant>& positional,
                 const std::vector<NamedArgument>& named) override;

 private:
  std::shared_ptr<DaoRecordsetState> state_;
  Variant fields_;  // created on first use
};
