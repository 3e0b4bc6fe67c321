// arvoline-host end to end: the program runs as a child process on the
// test-loader module and fixture databases.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/host/host_paths.h"
#include "tests/host/host_process.h"
#include "tests/importer/fake_database_file.h"

namespace {

using Result = ProcessResult;

// Runs arvoline-host with `args`, capturing both output streams.
Result RunHost(const std::vector<std::string>& args) { return RunProcess(kHostProgram, args); }

const std::string kOutline = "04Root02A1005First123456789"
                             "02A102B2003Two123456789"
                             "02B202C3005Three123456789"
                             "04Root02D4004Last123456789";

class HostProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = ::testing::TempDir() + "host_test_database.xtp";
    fake_database_file::WriteArvoline(database_, kOutline, {{"A1", "one"}, {"C3", "three"}, {"D4", "\"quoted\"\n"}});
  }
  void TearDown() override { std::remove(database_.c_str()); }

  std::string database_;
};

TEST_F(HostProgramTest, InfoPrintsTheInformationRecord) {
  Result r = RunHost({"--plugin", kFakeModule, "info"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  for (const char* line : {"version:     1.50\n", "name:        Arvoline/Gleanery\n",
                           "description: Imports Arvoline, Arvoline32 XPPro, and Gleanery databases.\n",
                           "vendor:      Quenlith Software Ltd.\n", "integers:    1, 0, 1\n",
                           "extensions:  .xtp;*.xrd;\n", "filter:      Arvoline/Gleanery databases (*.xtp;*.xrd)\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\nin:\n" << r.out;
  EXPECT_NE(r.out.find(std::string("module:      ") + kFakeModule), std::string::npos);
}

TEST_F(HostProgramTest, OptionsMayFollowTheCommand) {
  Result r = RunHost({"info", "--plugin", kFakeModule});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("version:     1.50"), std::string::npos);
}

TEST_F(HostProgramTest, WithoutPluginOptionTheModuleBesideTheProgramIsLoaded) {
  Result r = RunHost({"info"});
  std::ifstream real(kDefaultModule);
  if (real) {
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(std::string("module:      ") + kDefaultModule), std::string::npos) << r.out;
  } else {
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind(std::string("error: cannot load the plug-in ") + kDefaultModule, 0), 0u) << r.err;
  }
}

TEST_F(HostProgramTest, ImportPrintsTheOutlineAsAnIndentedTree) {
  Result r = RunHost({"--plugin", kFakeModule, "import", database_});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "First  [3 bytes]\n"
            "  Two  [0 bytes]\n"
            "    Three  [5 bytes]\n"
            "Last  [9 bytes]\n"
            "4 documents\n");
}

TEST_F(HostProgramTest, JsonHoldsEveryDocumentInDeliveryOrder) {
  const nlohmann::json expected = nlohmann::json::parse(R"([
    {"level": 0, "title": "First", "content": "one"},
    {"level": 1, "title": "Two", "content": ""},
    {"level": 2, "title": "Three", "content": "three"},
    {"level": 0, "title": "Last", "content": "\"quoted\"\n"}])");

  const std::string jsonFile = ::testing::TempDir() + "host_test_output.json";
  Result toFile = RunHost({"--plugin", kFakeModule, "import", database_, "--json", jsonFile});
  EXPECT_EQ(toFile.status, 0) << toFile.err;
  EXPECT_EQ(nlohmann::json::parse(ReadFile(jsonFile)), expected);
  EXPECT_NE(toFile.out.find("4 documents"), std::string::npos) << "the tree still goes to standard output";
  std::remove(jsonFile.c_str());

  Result toStdout = RunHost({"--plugin", kFakeModule, "import", "--json", "-", database_});
  EXPECT_EQ(toStdout.status, 0) << toStdout.err;
  EXPECT_EQ(nlohmann::json::parse(toStdout.out), expected) << "only JSON on standard output";
  // Keys in the documented order.
  EXPECT_LT(toStdout.out.find("\"level\""), toStdout.out.find("\"title\""));
  EXPECT_LT(toStdout.out.find("\"title\""), toStdout.out.find("\"content\""));
}

TEST_F(HostProgramTest, PlugInErrorsArePrintedWithExitStatusOne) {
  const std::string noRoot = ::testing::TempDir() + "host_test_no_root.xtp";
  const std::string notADatabase = ::testing::TempDir() + "host_test_not_a_database.xtp";
  std::ofstream(notADatabase) << "{";
  {
    nlohmann::json fixture = {{"tables",
                               {{"Arvoline32XTPro",
                                 {{"columns", fake_database_file::ArvolineColumns()},
                                  {"rows", nlohmann::json::array({nlohmann::json::array({"A1", kOutline, "x"})})}}}}}};
    std::ofstream(noRoot) << fixture.dump();
  }
  struct Case {
    std::string database;
    std::string err;
  } cases[] = {
      // The plug-in refuses it as a closed dataset; the host says why.
      {notADatabase, "error: " + notADatabase + ": not an Access database\n"},
      {noRoot, "error: Cannot find specified record\n"},
  };
  for (const Case& c : cases) {
    Result r = RunHost({"--plugin", kFakeModule, "import", c.database});
    EXPECT_EQ(r.status, 1) << c.database;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
  std::remove(noRoot.c_str());
  std::remove(notADatabase.c_str());
}

// The host names what is wrong with the path before the plug-in is loaded or
// called; a FIFO without a writer is refused at once, not waited on.
TEST_F(HostProgramTest, PathsThatNameNoReadableFileAreRefusedByTheHost) {
  const std::string missing = ::testing::TempDir() + "host_test_missing.xtp";
  const std::string fifo = ::testing::TempDir() + "host_test_fifo.xtp";
  const std::string unreadable = ::testing::TempDir() + "host_test_unreadable.xtp";
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(unreadable) << "x";
  chmod(unreadable.c_str(), 0);
  const bool canReadAnything = access(unreadable.c_str(), R_OK) == 0;  // root reads every file
  struct Case {
    std::string path;
    std::string err;
  } cases[] = {
      {missing, "error: " + missing + ": No such file or directory\n"},
      {::testing::TempDir(), "error: " + ::testing::TempDir() + ": Is a directory\n"},
      {fifo, "error: " + fifo + ": Not a regular file\n"},
      {unreadable, canReadAnything ? "" : "error: " + unreadable + ": Permission denied\n"},
  };
  for (const Case& c : cases) {
    if (c.err.empty()) continue;
    // The path is checked before the module is even loaded, by both commands.
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"import", c.path}, std::vector<std::string>{"export", c.path, "--to", "json", "-o", "-"}}) {
      std::vector<std::string> args{"--plugin", "/nonexistent/Arvoline.so"};
      args.insert(args.end(), command.begin(), command.end());
      Result r = RunHost(args);
      EXPECT_EQ(r.status, 1) << c.path << " " << command[0];
      EXPECT_EQ(r.err, c.err) << command[0];
      EXPECT_EQ(r.out, "");
    }
  }
  std::remove(fifo.c_str());
  std::remove(unreadable.c_str());
}

TEST_F(HostProgramTest, HostErrorsArePrintedTheSameWay) {
  const std::string notAModule = ::testing::TempDir() + "host_test_not_a_module.so";
  std::ofstream(notAModule) << "not a shared object";
  struct Case {
    std::vector<std::string> args;
    std::string errStart;
  } cases[] = {
      {{"--plugin", notAModule, "info"}, "error: cannot load the plug-in " + notAModule},
      {{"--plugin", "/nonexistent/Arvoline.so", "info"}, "error: cannot load the plug-in /nonexistent/Arvoline.so"},
      {{"--plugin", kFakeModule, "--codepage", "65001", "import", database_}, "error: code page 65001 cannot be selected"},
      {{"--plugin", kFakeModule, "--codepage", "1234", "info"}, "error: code page 1234 cannot be selected"},
      {{"--plugin", kFakeModule, "import", "bad\xFF" "path.xtp"}, "error: the database path is not valid UTF-8"},
  };
  for (const Case& c : cases) {
    Result r = RunHost(c.args);
    EXPECT_EQ(r.status, 1) << c.errStart;
    EXPECT_EQ(r.err.rfind(c.errStart, 0), 0u) << r.err;
  }
  std::remove(notAModule.c_str());
}

TEST_F(HostProgramTest, TheCodePageDecidesThePathAndTheOutlineTexts) {
  // A database whose file name and title are Cyrillic; the title's length
  // field counts its three bytes in code page 1251.
  const std::string cyrillic = "\xD0\x94\xD0\xBE\xD0\xBC";  // "Dom" in Cyrillic letters, UTF-8
  const std::string database = ::testing::TempDir() + "host_test_" + cyrillic + ".xtp";
  fake_database_file::WriteArvoline(database, "04Root02A1003" + cyrillic + "123456789", {{"A1", cyrillic}});

  Result cp1251 = RunHost({"--plugin", kFakeModule, "--codepage", "1251", "import", database});
  EXPECT_EQ(cp1251.status, 0) << cp1251.err;
  EXPECT_EQ(cp1251.out, cyrillic + "  [6 bytes]\n1 document\n");

  // Code page 1252 has no Cyrillic letters: the path is refused before the
  // plug-in sees it.
  Result cp1252 = RunHost({"--plugin", kFakeModule, "--codepage", "1252", "import", database});
  EXPECT_EQ(cp1252.status, 1);
  EXPECT_EQ(cp1252.err.rfind("error: the database path cannot be written in code page 1252", 0), 0u) << cp1252.err;
  EXPECT_EQ(cp1252.out, "");
  std::remove(database.c_str());

  // The same database under an ASCII name: in 1252 the title's letters
  // become the code page's default character.
  const std::string asciiName = ::testing::TempDir() + "host_test_cyrillic_title.xtp";
  fake_database_file::WriteArvoline(asciiName, "04Root02A1003" + cyrillic + "123456789", {{"A1", cyrillic}});
  Result title1252 = RunHost({"--plugin", kFakeModule, "--codepage", "1252", "import", asciiName});
  EXPECT_EQ(title1252.status, 0) << title1252.err;
  EXPECT_EQ(title1252.out, "???  [3 bytes]\n1 document\n");
  std::remove(asciiName.c_str());
}

TEST_F(HostProgramTest, HelpExplainsCommandsAndOptions) {
  Result r = RunHost({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* word : {"info", "import", "--plugin", "--codepage", "--json", "LC_ALL", "error: MESSAGE"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  Result importHelp = RunHost({"import", "--help"});
  EXPECT_EQ(importHelp.status, 0);
  EXPECT_NE(importHelp.out.find("DATABASE"), std::string::npos);
  EXPECT_NE(RunHost({}).status, 0) << "a command is required";
  EXPECT_NE(RunHost({"import"}).status, 0) << "import needs a database";
}

}  // namespace
