#include "platform/automation/mdb_database_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/automation/jet_database_password.h"
#include "platform/automation/standard_error_capture.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

namespace {

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
    if (c.objectType == MDB_LINKED_TABLE && SameText(c.name, name)) return true;
  return false;
}

bool MdbDatabaseFile::IsQuery(UnicodeStringView name) const {
  for (const CatalogName& c : catalog_)
    if (c.objectType == MDB_QUERY && SameText(c.name, name)) return true;
  return false;
}
