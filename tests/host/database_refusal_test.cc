// Files the plug-in cannot open, each named for what it is: the real plug-in
// answers all of them with its closed-dataset message, the host with the reason.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "tests/host/host_process.h"
#include "tests/jet/database_header.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/outline_database.h"

namespace {

TEST(DatabaseRefusal, EachRefusedFileIsNamedForWhatItIs) {
  const std::string kPassword = ": the database is protected by a password; the plug-in opens databases without one "
                                "(remove the password in Access, then export again)\n";
  struct Case {
    const char* name;
    accessdb::Format format;
    std::function<void(const std::string&)> spoil;
    std::string err;  // after "error: " and the path
  } cases[] = {
      {"text file", accessdb::Format::kJet4, [](const std::string& p) { std::ofstream(p) << "{"; },
       ": not an Access database\n"},
      {"header of zeros", accessdb::Format::kJet4,
       [](const std::string& p) { std::ofstream(p, std::ios::binary) << std::string(4096, '\0'); },
       ": not an Access database\n"},
      {"Jet 3 password", accessdb::Format::kJet3,
       [](const std::string& p) { SetDatabasePassword(p, true, u"Geheim 1"); }, kPassword},
      {"Jet 4 password", accessdb::Format::kJet4,
       [](const std::string& p) { SetDatabasePassword(p, false, u"Geheim 1"); }, kPassword},
      {"encrypted Access 2010 file", accessdb::Format::kJet4,
       [](const std::string& p) { SetVersionAndPageKey(p, 3, 0x5A3C1E07); },
       ": the database is encrypted with the Access 2007 or later scheme, which this reader does not open "
       "(decrypt it in Access, then export again)\n"},
  };
  TempDirectory directory;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* name : {"notes.xtp", "notes.xrd"}) {
      const std::string database = directory.File(name);
      accessdb::OutlineOptions options;
      options.format = c.format;
      options.variant = std::string(name) == "notes.xrd" ? accessdb::OutlineVariant::kGleanery
                                                  : accessdb::OutlineVariant::kArvoline;
      accessdb::WriteOutlineDatabase(database, options, {{"Root", "K1", "One", std::string("text")}});
      c.spoil(database);
      const std::string output = directory.File("out.json");
      for (const std::vector<std::string>& command :
           {std::vector<std::string>{"export", database, "--to", "json", "-o", output},
            std::vector<std::string>{"import", database}}) {
        std::vector<std::string> args = {"--plugin", ARVOLINE_MODULE};
        args.insert(args.end(), command.begin(), command.end());
        const ProcessResult r = RunProcess(ARVOLINE_HOST, args);
        EXPECT_EQ(r.status, 1) << command[0];
        EXPECT_EQ(r.err, "error: " + database + c.err) << command[0];
        EXPECT_EQ(r.out, "") << command[0];
      }
      EXPECT_FALSE(std::ifstream(output)) << "nothing is written";
    }
  }
}

}  // namespace
