#include "jet/jet_flat_table.h"

#include <algorithm>
#include <tuple>

#include "jet/jet_error.h"
#include "jet/jet_table_cursor.h"

std::vector<JetFlatRow> ReadJetFlatTable(const std::shared_ptr<const JetFile>& file, const UnicodeString& column,
                                         const UnicodeString& flatTable, uint32_t definitionPage,
                                         const std::vector<UnicodeStringView>& columns) {
  JetTableCursor cursor(file, flatTable, definitionPage);
  auto lacking = [&] {
    return EJetError(
        FormatText(u"The values of column '%s' are damaged: table '%s' lacks their columns.", {column, flatTable}));
  };
  const int keyColumn = cursor.ColumnIndex(u"_" + column);
  if (keyColumn < 0) throw lacking();
  std::vector<size_t> wanted;
  for (UnicodeStringView name : columns) {
    const int at = cursor.ColumnIndex(name);
    if (at < 0) throw lacking();
    wanted.push_back(static_cast<size_t>(at));
  }
  int idColumn = -1;
  const auto& definitions = cursor.Columns();
  for (size_t i = 0; i < definitions.size(); ++i)
    if (static_cast<int>(i) != keyColumn && definitions[i].type == kJetLong &&
        (definitions[i].flags & kJetColumnAutoLong))
      idColumn = static_cast<int>(i);

  std::vector<JetFlatRow> rows;
  for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
    const Variant key = cursor.Value(static_cast<size_t>(keyColumn));
    if (key.IsNull()) continue;
    const int64_t id =
        idColumn < 0 ? static_cast<int64_t>(rows.size()) : cursor.Value(static_cast<size_t>(idColumn)).ToInt64();
    JetFlatRow row{key.ToInt32(), id, {}};
    for (size_t at : wanted) row.values.push_back(cursor.Value(at));
    rows.push_back(std::move(row));
  }
  std::stable_sort(rows.begin(), rows.end(), [](const JetFlatRow& a, const JetFlatRow& b) {
    return std::tie(a.key, a.id) < std::tie(b.key, b.id);
  });
  return rows;
}
