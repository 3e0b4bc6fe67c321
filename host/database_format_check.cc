#include "host/database_format_check.h"

#include <cstring>
#include <fstream>

#include "host/host_error.h"
#include "jet/jet_file.h"
#include "runtime/utf8.h"

namespace {

const char kClosedDataset[] = "Cannot perform this operation on a closed dataset";

enum class Refusal { kNotAccess, kPassword, kEncrypted };

struct RefusalText {
  Refusal refusal;
  const char* text;
};
const RefusalText kRefusalTexts[] = {
    {Refusal::kNotAccess, "not an Access database"},
    {Refusal::kPassword,
     "the database is protected by a password; the plug-in opens databases without one (remove the "
     "password in Access, then export again)"},
    {Refusal::kEncrypted,
     "the database is encrypted with the Access 2007 or later scheme, which this reader does not "
     "open (decrypt it in Access, then export again)"},
};

// Every Access file names its engine in bytes 4 to 19 of its first page;
// the reader itself only needs the version byte, so a file of zeros would
// pass it.
bool HasEngineName(const std::string& path) {
  char start[20] = {};
  std::ifstream file(path, std::ios::binary);
  if (!file.read(start, sizeof start)) return false;
  const std::string_view name(start + 4, 16);
  return name == std::string_view("Standard Jet DB", 16) || name == std::string_view("Standard ACE DB", 16);
}

[[noreturn]] void Refuse(const std::string& path, Refusal refusal) {
  for (const RefusalText& entry : kRefusalTexts)
    if (entry.refusal == refusal) throw HostError(path + ": " + entry.text);
  throw HostError(path + ": cannot be read");
}

}  // namespace

void CheckDatabaseFormat(const std::string& path) {
  if (!HasEngineName(path)) Refuse(path, Refusal::kNotAccess);
  try {
    const JetFile file(FromUtf8(path));
    const JetHeader& header = file.Header();
    // From version 2 on the page key no longer means the Jet RC4 scheme.
    if (header.version >= 2 && header.pageKey != 0) Refuse(path, Refusal::kEncrypted);
    if (!header.password.empty()) Refuse(path, Refusal::kPassword);
  } catch (const EJetFileError& e) {
    if (e.reason() == EJetFileError::kNotADatabase) Refuse(path, Refusal::kNotAccess);
    // Missing or unreadable files were reported by CheckDatabasePath; a race
    // that makes them so now is left to the plug-in's own message.
  } catch (const Exception&) {
    // A header the platform cannot convert (an unknown Jet 3 code page) is
    // the plug-in's to report, in its own words.
  }
}

void RunDiagnosingRefusedDatabase(const std::string& path, const std::function<void()>& import) {
  try {
    import();
  } catch (const std::exception& e) {
    if (std::strcmp(e.what(), kClosedDataset) == 0) CheckDatabaseFormat(path);
    throw;
  }
}
