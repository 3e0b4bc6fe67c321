#include "jet/jet_attachments.h"

#include "jet/jet_attachment_data.h"
#include "jet/jet_error.h"
#include "jet/jet_flat_table.h"
#include "runtime/variant.h"

namespace {

UnicodeString TextOrEmpty(const Variant& v) { return v.IsNull() ? UnicodeString() : v.ToString(); }

}  // namespace

JetAttachments::JetAttachments(std::shared_ptr<const JetFile> file, UnicodeString column, UnicodeString flatTable,
                               uint32_t definitionPage)
    : file_(std::move(file)),
      column_(std::move(column)),
      flatTable_(std::move(flatTable)),
      definitionPage_(definitionPage) {}

std::map<int32_t, std::vector<JetAttachment>> JetAttachments::Read(bool withData) const {
  std::vector<UnicodeStringView> columns{u"FileName", u"FileType"};
  if (withData) columns.push_back(u"FileData");
  std::map<int32_t, std::vector<JetAttachment>> out;
  uint64_t left = file_->ByteSize() * kJetAttachmentInflation;
  for (JetFlatRow& row : ReadJetFlatTable(file_, column_, flatTable_, definitionPage_, columns)) {
    JetAttachment a{TextOrEmpty(row.values[0]), TextOrEmpty(row.values[1]), {}};
    if (withData && !row.values[2].IsNull()) {
      if (row.values[2].Type() != VarType::ByteArray)
        throw EJetError(FormatText(u"The data of attachment '%s' is damaged: it is no binary value.", {a.name}));
      const Variant::Bytes& stored = row.values[2].AsBytes();
      a.data = DecodeJetAttachmentData(
                   std::string_view(reinterpret_cast<const char*>(stored.data()), stored.size()), a.name, left)
                   .bytes;
      left -= a.data.size();
    }
    out[row.key].push_back(std::move(a));
  }
  return out;
}
