#include "host/node_table_names.h"

#include "runtime/file_name.h"

namespace {

const NodeTableNames kNodeTables[] = {
    {u".xrd", u"DocumentsTreeNodes", u"NodeDocumentDescription", u"NodeDocumentKeywords", u"~DocsTree"},
    {nullptr, u"Arvoline32XTPro", u"NodeTextValue", u"NodeTextRTFValue", u"~Arvo32XT"},
};

}  // namespace

const NodeTableNames& NodeTableNamesFor(const UnicodeString& path) {
  const UnicodeString extension = ExtractFileExt(path);
  for (const NodeTableNames& names : kNodeTables)
    if (!names.extension || extension == names.extension) return names;
  return kNodeTables[1];
}
