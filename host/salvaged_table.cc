#include "host/salvaged_table.h"

#include <memory>

#include "jet/jet_definition_repair.h"
#include "jet/jet_salvage_scan.h"
#include "platform/code_page.h"
#include "runtime/utf8.h"

namespace {

SalvagedText TextOf(const JetPartialRow::Cell& cell) {
  SalvagedText text;
  text.state = cell.state == JetPartialRow::State::kRead  ? SalvagedText::kWhole
               : cell.state == JetPartialRow::State::kCut ? SalvagedText::kCut
                                                          : SalvagedText::kUnreadable;
  text.damage = cell.damage;
  if (text.state != SalvagedText::kUnreadable && !cell.value.IsNull()) text.ansi = ToAnsi(cell.value.ToString());
  return text;
}

}  // namespace

SalvagedTable ReadSalvagedTable(const std::string& path, const NodeTableNames& names) {
  auto file = std::make_shared<const JetFile>(FromUtf8(path));
  std::vector<UnicodeString> catalogDamage;
  std::optional<JetSalvageDefinition> found =
      FindSalvageDefinition(file, names.table, {kNodeKeyField, names.structure, names.content}, catalogDamage);
  if (!found) {
    UnicodeString message = FormatText(u"No definition of table '%s' can be read.", {UnicodeString(names.table)});
    for (const UnicodeString& line : catalogDamage) message += u" " + line;
    throw EJetError(message);
  }
  JetSalvageScan scan(file, names.table, found->page, std::move(found->definition));
  const size_t key = static_cast<size_t>(scan.ColumnIndex(kNodeKeyField));
  const size_t structure = static_cast<size_t>(scan.ColumnIndex(names.structure));
  const size_t content = static_cast<size_t>(scan.ColumnIndex(names.content));

  SalvagedTable table;
  JetPartialRow row;
  size_t told = 0;  // of the scan's PassedOver(), kept in file order with the rows without a key
  auto tell = [&] {
    for (; told < scan.PassedOver().size(); ++told) table.passedOver.push_back(scan.PassedOver()[told]);
  };
  while (scan.Next(row)) {
    tell();
    const JetPartialRow::Cell& keyCell = row.cells[key];
    if (keyCell.state != JetPartialRow::State::kRead) {
      table.passedOver.push_back(FormatText(u"The key of row %d of page %d cannot be read: ",
                                            {static_cast<int64_t>(row.row), static_cast<int64_t>(row.page)}) +
                                 keyCell.damage);
      continue;
    }
    const UnicodeString keyText = keyCell.value.IsNull() ? UnicodeString() : keyCell.value.ToString();
    // The first root record counts, as the plug-in's lookup finds it.
    if (keyText == names.root && !table.rootFound) {
      table.rootFound = true;
      table.root = table.records.size();
      table.outline = TextOf(row.cells[structure]);
    }
    if (keyText != names.root) {
      SalvagedText structureText = TextOf(row.cells[structure]);
      if (!structureText.ansi.empty())
        table.outlineCandidates.emplace_back(table.records.size(), std::move(structureText));
    }
    table.records.push_back({keyText, TextOf(row.cells[content])});
  }
  if (table.rootFound) table.outlineCandidates.clear();  // the root's outline is the one followed
  tell();
  return table;
}
