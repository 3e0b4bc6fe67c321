#include "jet/mdb_database_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "jet/jet_database_password.h"
#include "jet/mdb_table_cursor.h"
#include "jet/standard_error_capture.h"
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
  // Only a regular file is opened, and without waiting: opening a FIFO that
  // has no writer would block for ever.
  if (!S_ISREG(st.st_mode)) Fail(u"Unrecognized database format '%s'.", path, {});
  int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) Fail(u"Cannot open the file '%s'. You need permission to view its data.", path, {});
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    Fail(u"Unrecognized database format '%s'.", path, {});
  }
  std::string header(0x100, '\0');
  ssize_t got = pread(fd, header.data(), header.size(), 0);
  header.resize(got > 0 ? static_cast<size_t>(got) : 0);
  close(fd);

  StandardErrorCapture capture;
  mdb_ = mdb_open(file.c_str(), MDB_NOFLAGS);
  if (!mdb_) Fail(u"Unrecognized database format '%s'.", path, capture.Text());
  // A constructor that throws runs no destructor: whatever fails from here on
  // closes the handle itself. A code page the platform cannot convert (Jet 3
  // keeps its text in the header's) is met first by the password.
  try {
    password_ = JetDatabasePassword(header, CodePage());
    ReadCatalog();
    for (const CatalogObject& c : catalog_)
      if (c.objectType == MDB_QUERY) queryNames_.push_back(c.name);
  } catch (const Exception& e) {
    std::string report = capture.Text();
    mdb_close(mdb_);
    mdb_ = nullptr;
    UnicodeString message = FormatText(u"Unrecognized database format '%s'.", {path}) + u" " + e.Message();
    if (!report.empty()) message += u" " + FromUtf8(report);
    throw EOleError(message);
  } catch (...) {
    mdb_close(mdb_);
    mdb_ = nullptr;
    throw;
  }
}

// MSysObjects: its definition is always on page 2. An object's type is the
// low 7 bits of Type, a table's definition page the low 24 bits of Id.
void MdbDatabaseFile::ReadCatalog() {
  constexpr uint32_t kCatalogPage = 2;
  MdbTableCursor cursor(*this, u"MSysObjects", kCatalogPage);
  int id = -1, name = -1, type = -1;
  for (size_t i = 0; i < cursor.Columns().size(); ++i) {
    const UnicodeString& column = cursor.Columns()[i].name;
    if (SameText(column, u"Id")) id = static_cast<int>(i);
    if (SameText(column, u"Name")) name = static_cast<int>(i);
    if (SameText(column, u"Type")) type = static_cast<int>(i);
  }
  if (id < 0 || name < 0 || type < 0) throw EOleError(u"The system catalog lacks Id, Name or Type.");
  for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
    Variant objectName = cursor.Value(static_cast<size_t>(name));
    Variant objectId = cursor.Value(static_cast<size_t>(id));
    Variant objectType = cursor.Value(static_cast<size_t>(type));
    if (!objectName.IsString() || objectId.IsNull() || objectType.IsNull()) continue;
    constexpr int64_t kOdbcLinkType = 4;  // MSysObjects.Type of a table linked through ODBC
    const int64_t rawType = objectType.ToInt64();
    catalog_.push_back(CatalogObject{objectName.AsStringRef(), static_cast<int>(rawType & 0x7F),
                                     static_cast<uint32_t>(objectId.ToInt64() & 0x00FFFFFF), rawType == kOdbcLinkType});
  }
  ReadComplexColumns();
}

// Through a table cursor, like the catalog: a row that cannot be read is
// left out (the caller reads descriptions, and falls back on a default).
void MdbDatabaseFile::ForEachRow(UnicodeStringView tableName, const std::vector<const char16_t*>& columns,
                                 const std::function<void(const std::vector<UnicodeString>&)>& row) const {
  const int index = FindTable(tableName);
  if (index < 0) return;
  try {
    MdbTableCursor cursor(*this, catalog_[static_cast<size_t>(index)].name, catalog_[static_cast<size_t>(index)].tablePage);
    std::vector<size_t> positions;
    for (const char16_t* column : columns) {
      size_t i = 0;
      while (i < cursor.Columns().size() && !SameText(cursor.Columns()[i].name, column)) ++i;
      if (i == cursor.Columns().size()) return;
      positions.push_back(i);
    }
    std::vector<UnicodeString> values(columns.size());
    for (bool more = cursor.MoveFirst(); more; more = cursor.MoveNext()) {
      try {
        for (size_t i = 0; i < positions.size(); ++i) {
          Variant v = cursor.Value(positions[i]);
          values[i] = v.IsNull() ? UnicodeString() : v.ToString();
        }
      } catch (const EOleError&) {
        continue;
      }
      row(values);
    }
  } catch (const EOleError&) {
  }
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
  ForEachRow(u"MSysComplexColumns", {u"ComplexID", u"ComplexTypeObjectID"}, [&](const std::vector<UnicodeString>& v) {
    const unsigned long templatePage = std::strtoul(ToUtf8(v[1]).c_str(), nullptr, 10) & 0x00FFFFFF;
    int daoType = kComplexTextDaoType;
    for (const CatalogObject& c : catalog_) {
      if (c.tablePage != templatePage || c.objectType == MDB_QUERY) continue;
      for (const auto& k : kKinds)
        if (SameText(c.name, k.templateName)) daoType = k.daoType;
    }
    complexTypes_[static_cast<int32_t>(std::strtol(ToUtf8(v[0]).c_str(), nullptr, 10))] = daoType;
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
    const CatalogObject& c = catalog_[i];
    if ((c.objectType == MDB_TABLE || c.objectType == MDB_SYSTEM_TABLE) && SameText(c.name, name))
      return static_cast<int>(i);
  }
  return -1;
}

bool MdbDatabaseFile::IsLinkedTable(UnicodeStringView name) const {
  for (const CatalogObject& c : catalog_)
    if ((c.objectType == MDB_LINKED_TABLE || c.odbcLink) && SameText(c.name, name)) return true;
  return false;
}

bool MdbDatabaseFile::IsQuery(UnicodeStringView name) const {
  for (const CatalogObject& c : catalog_)
    if (c.objectType == MDB_QUERY && SameText(c.name, name)) return true;
  return false;
}
