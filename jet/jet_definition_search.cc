#include "jet/jet_definition_search.h"

#include <algorithm>

#include "jet/jet_catalog.h"
#include "jet/jet_table_definition.h"

namespace {

// Whether the definition on `page` reads whole and has every column named.
bool HasColumns(const JetFile& file, uint32_t page, const std::vector<UnicodeString>& columns) {
  try {
    const JetTableDefinition definition = JetTableDefinition::Read(
        file.Format(), page, file.TextCodePage(),
        [&](uint32_t number, std::string& bytes) { return file.ReadPage(number, bytes); });
    const auto& have = definition.Columns();
    return std::all_of(columns.begin(), columns.end(), [&](const UnicodeString& name) {
      return std::any_of(have.begin(), have.end(), [&](const auto& c) { return SameText(c.name, name); });
    });
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

std::optional<JetDefinitionFound> FindTableDefinition(const std::shared_ptr<const JetFile>& file,
                                                      UnicodeStringView name,
                                                      const std::vector<UnicodeString>& columns,
                                                      std::vector<UnicodeString>& damage,
                                                      uint32_t* catalogPage) {
  std::optional<uint32_t> named;
  try {
    const JetCatalog catalog(file);
    if (const JetCatalog::Object* table = catalog.FindTable(name)) named = table->DefinitionPage();
    else damage.push_back(FormatText(u"The catalog does not name table '%s'.", {UnicodeString(name)}));
  } catch (const Exception& e) {
    damage.push_back(u"The catalog cannot be read: " + e.Message());
  }
  if (catalogPage) *catalogPage = named.value_or(0);
  if (named && HasColumns(*file, *named, columns)) return JetDefinitionFound{*named, true};
  if (named)
    damage.push_back(FormatText(u"The definition of table '%s' on page %d cannot be read.",
                                {UnicodeString(name), static_cast<int64_t>(*named)}));
  std::string page;
  for (uint32_t number = 1; number < file->PageCount(); ++number) {
    if (named && number == *named) continue;
    if (!file->ReadPage(number, page) || JetByte(page, 0) != kJetTableDefinitionPage) continue;
    if (HasColumns(*file, number, columns)) return JetDefinitionFound{number, false};
  }
  return std::nullopt;
}
