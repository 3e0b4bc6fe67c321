#include "host/database_format_check.h"

#include <cstring>
#include <fstream>

#include "host/host_error.h"
#include "jet/jet_file.h"
#include "jet/jet_header.h"
#include "runtime/utf8.h"

namespace {

const char kClosedDataset[] = "Cannot perform this operation on a closed dataset";

enum class Refusal { kNotAccess, kPassword, kEncrypted, kPasswordMissing, kPasswordWrong, kPasswordRefused };

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
    {Refusal::kPasswordMissing, "the database is protected by a password; give it with --password"},
    {Refusal::kPasswordWrong, "the password given does not match the database's"},
    {Refusal::kPasswordRefused,
     "--password needs --salvage: the plug-in opens databases without a password"},
};

bool NamesEngine(const std::string& path) {
  char start[20] = {};
  std::ifstream file(path, std::ios::binary);
  return file.read(start, sizeof start) && JetNamesEngine(std::string_view(start, sizeof start));
}

[[noreturn]] void Refuse(const std::string& path, Refusal refusal) {
  for (const RefusalText& entry : kRefusalTexts)
    if (entry.refusal == refusal) throw HostError(path + ": " + entry.text);
  throw HostError(path + ": cannot be read");
}

}  // namespace

void CheckDatabaseFormat(const std::string& path, const std::optional<std::string>& password) {
  if (!NamesEngine(path)) Refuse(path, Refusal::kNotAccess);
  try {
    const JetFile file(FromUtf8(path));
    const JetHeader& header = file.Header();
    // From version 2 on the page key no longer means the Jet RC4 scheme.
    if (header.version >= 2 && header.pageKey != 0) Refuse(path, Refusal::kEncrypted);
    if (header.password.empty()) return;  // a password given for none is not needed
    if (!password) Refuse(path, Refusal::kPassword);
    if (password->empty()) Refuse(path, Refusal::kPasswordMissing);
    if (FromUtf8(*password) != header.password) Refuse(path, Refusal::kPasswordWrong);
  } catch (const EJetFileError& e) {
    if (e.reason() == EJetFileError::kNotADatabase) Refuse(path, Refusal::kNotAccess);
    // Missing or unreadable files were reported by CheckDatabasePath; a race
    // that makes them so now is left to the plug-in's own message.
  } catch (const Exception&) {
    // A header the platform cannot convert (an unknown Jet 3 code page) is
    // the plug-in's to report, in its own words.
  }
}

void RefusePasswordWithoutSalvage(const std::string& path) { Refuse(path, Refusal::kPasswordRefused); }

void RunDiagnosingRefusedDatabase(const std::string& path, const std::function<void()>& import) {
  try {
    import();
  } catch (const std::exception& e) {
    if (std::strcmp(e.what(), kClosedDataset) == 0) CheckDatabaseFormat(path);
    throw;
  }
}
