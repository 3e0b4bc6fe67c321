#include "platform/automation/mdb_database_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/automation/jet_database_password.h"
#include "platform/automation/standard_error_capture.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

constexpr int kComplexTextDaoType = 109;

[[noreturn]] void Fail(const char16_t* format, const UnicodeString& path, const std::string& report) {
  UnicodeString message = FormatText(format, {path});
  if (!report.empty()) message += u" " + FromUtf8(report);
  throw EOleError(message);
}

}  // namespace

MdbDatabaseFile::MdbDatabaseFile(const UnicodeString& path) : path_(path) {
  const std::string file = ToUtf8(path);
  struct stat st;
  if (file.empty() || stat(file.c_str(), &st) != 0) Fail(u"Could not find file '%s'.", path, {});
  if (S_ISDIR(st.st_mode)) Fail(u"Unrecognized database format '%s'.", path, {});
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail(u"Cannot open the file '%s'. You need permission to view its data.", path, {});
  std::string header(0x100, '\0');
  ssize_t got = pread(fd, header.data(), header.size(), 0);
  header.resize(got > 0 ? static_cast<size_t>(got) : 0);
  close(fd);

  StandardErrorCapture capture;
  mdb_ = mdb_open(file.c_str(), MDB_NOFLAGS);
  if (!mdb_) Fail(u"Unrecognized database format '%s'.", path, capture.Text());
  if (!mdb_read_catalog(mdb_, MDB_ANY)) {
    std::string report = capture.Text();
    mdb_close(mdb_);
    mdb_ = nullptr;
    Fail(u"Unrecognized database format '%s'.", path, report);
  }
  password_ = JetDatabasePassword(header, CodePage());
  for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
    catalog_.push_back(CatalogName{FromUtf8(entry->object_name), entry->object_type});
    if (entry->object_type == MDB_QUERY) queryNames_.push_back(catalog_.back().name);
  }
  MarkOdbcLinks();
  ReadComplexColumns();
}

void MdbDatabaseFile::ForEachRow(UnicodeStringView tableName, const std::vector<const char*>& columns,
                                 const std::function<void(const std::vector<std::string>&)>& row) {
  const int index = FindTable(tableName);
  if (index < 0) return;
  auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, index));
  MdbTableDef* table = mdb_read_table(entry);
  if (!table) return;
  // Bound buffers of at least a page: libmdb copies up to a page into them.
  const size_t size = std::max<size_t>(mdb_->bind_size, 4096) + 1;
  std::vector<std::vector<char>> buffers(columns.size(), std::vector<char>(size));
  bool bound = mdb_read_columns(table) != nullptr;
  for (size_t i = 0; bound && i < columns.size(); ++i) {
    std::string name = columns[i];
    bound = mdb_bind_column_by_name(table, name.data(), buffers[i].data(), nullptr) > 0;
  }
  if (bound) {
    mdb_rewind_table(table);
    std::vector<std::string> values(columns.size());
    while (mdb_fetch_row(table)) {
      for (size_t i = 0; i < columns.size(); ++i) values[i] = buffers[i].data();
      row(values);
    }
  }
  mdb_free_tabledef(table);
}

void MdbDatabaseFile::MarkOdbcLinks() {
  constexpr int kOdbcLinkType = 4;  // MSysObjects.Type of a table linked through ODBC
  bool any = false;
  for (const CatalogName& c : catalog_) any = any || c.objectType == kOdbcLinkType;
  if (!any) return;
  ForEachRow(u"MSysObjects", {"Name", "Type"}, [&](const std::vector<std::string>& v) {
    if (std::atoi(v[1].c_str()) != kOdbcLinkType) return;
    const UnicodeString linked = FromUtf8(v[0]);
    for (CatalogName& c : catalog_)
      if (c.objectType == kOdbcLinkType && c.name == linked) c.odbcLink = true;
  });
}

void MdbDatabaseFile::ReadComplexColumns() {
  // Access names the template table of each kind of complex column.
  static const struct {
    const char16_t* templateName;
    int daoType;
  } kKinds[] = {
      {u"MSysComplexType_Attachment", 101}, {u"MSysComplexType_UnsignedByte", 102},
      {u"MSysComplexType_Short", 103},      {u"MSysComplexType_Long", 104},
      {u"MSysComplexType_IEEESingle", 105}, {u"MSysComplexType_IEEEDouble", 106},
      {u"MSysComplexType_GUID", 107},       {u"MSysComplexType_Decimal", 108},
      {u"MSysComplexType_Text", 109},
  };
  ForEachRow(u"MSysComplexColumns", {"ComplexID", "ComplexTypeObjectID"}, [&](const std::vector<std::string>& v) {
    const unsigned long templatePage = std::strtoul(v[1].c_str(), nullptr, 10) & 0x00FFFFFF;
    int daoType = kComplexTextDaoType;
    for (unsigned i = 0; i < mdb_->num_catalog; ++i) {
      auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
      if (entry->table_pg != templatePage || entry->object_type == MDB_QUERY) continue;
      for (const auto& k : kKinds)
        if (SameText(catalog_[i].name, k.templateName)) daoType = k.daoType;
    }
    complexTypes_[static_cast<int32_t>(std::strtol(v[0].c_str(), nullptr, 10))] = daoType;
  });
}

int MdbDatabaseFile::ComplexColumnDaoType(int32_t complexId) const {
  auto it = complexTypes_.find(complexId);
  return it == complexTypes_.end() ? kComplexTextDaoType : it->second;
}

MdbDatabaseFile::~MdbDatabaseFile() {
  if (!mdb_) return;
  StandardErrorCapture capture;
  mdb_close(mdb_);
}

bool MdbDatabaseFile::IsJet3() const { return mdb_->f->jet_version == MDB_VER_JET3; }

int MdbDatabaseFile::CodePage() const { return mdb_->f->code_page ? mdb_->f->code_page : 1252; }

int MdbDatabaseFile::FindTable(UnicodeStringView name) const {
  for (size_t i = 0; i < catalog_.size(); ++i) {
    const CatalogName& c = catalog_[i];
    if ((c.objectType == MDB_TABLE || c.objectType == MDB_SYSTEM_TABLE) && SameText(c.name, name))
      return static_cast<int>(i);
  }
  return -1;
}

bool MdbDatabaseFile::IsLinkedTable(UnicodeStringView name) const {
  for (const CatalogName& c : catalog_)
    if ((c.objectType == MDB_LINKED_TABLE || c.odbcLink) && SameText(c.name, name)) return true;
  return false;
}

bool MdbDatabaseFile::IsQuery(UnicodeStringView name) const {
  for (const CatalogName& c : catalog_)
    if (c.objectType == MDB_QUERY && SameText(c.name, name)) return true;
  return false;
}
