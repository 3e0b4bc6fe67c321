// Where arvoline-host's exports go: the program runs as a child process on a
// database written by the project's Access writer. An export must never harm
// what is at its output or beside it, and says why when it cannot write.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/host/host_process.h"
#include "tests/platform/automation/temp_directory.h"
#include "tools/accessdb/outline_database.h"

namespace fs = std::filesystem;

namespace {

constexpr char kNoModule[] = "/nonexistent/Arvoline.so";

class ExportOutputTest : public ::testing::Test {
 protected:
  void SetUp() override { database_ = WriteDatabase("notes.xtp", 12); }

  void TearDown() override {
    for (const std::string& point : mounts_) umount2(point.c_str(), MNT_DETACH);
  }

  std::string WriteDatabase(const std::string& name, int nodes) {
    accessdb::GeneratorOptions generator;
    generator.nodes = nodes;
    generator.content_bytes = 400;
    const std::string path = directory_.File(name);
    accessdb::WriteGeneratedOutlineDatabase(path, accessdb::OutlineOptions{}, generator);
    return path;
  }

  std::vector<std::string> Args(const std::string& format, const std::string& output,
                                const std::string& plugin = ARVOLINE_MODULE) const {
    return {"--plugin", plugin, "export", database_, "--to", format, "-o", output};
  }
  ProcessResult Export(const std::string& format, const std::string& output) {
    return RunProcess(ARVOLINE_HOST, Args(format, output));
  }

  // A tmpfs of one 4 KiB page at `name`, mounted with `flags`; false where
  // this process may not mount one.
  bool Mount(const std::string& name, unsigned long flags) {
    const std::string point = directory_.File(name);
    fs::create_directory(point);
    if (mount("tmpfs", point.c_str(), "tmpfs", flags, "size=4k") != 0) return false;
    mounts_.push_back(point);
    return true;
  }

  // Entries of `folder` named as partial outputs are.
  static std::vector<std::string> Partials(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
      if (e.path().filename().string().find(".partial-") != std::string::npos) names.push_back(e.path().filename());
    return names;
  }

  TempDirectory directory_;
  std::string database_;
  std::vector<std::string> mounts_;
};

int Mode(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return static_cast<int>(st.st_mode & 07777);
}

TEST_F(ExportOutputTest, OutputsNeverHarmWhatIsThere) {
  const std::string d = directory_.path() + "/";
  const std::string databaseBytes = ReadFile(database_);
  // Rows that need root: tmpfs mounts, and a device node like /dev/full.
  const bool privileged = Mount("readonly", MS_RDONLY) && Mount("full", 0) &&
                          mknod(directory_.File("full-device").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
  auto unchangedDatabase = [&](const ProcessResult&) { EXPECT_EQ(ReadFile(database_), databaseBytes); };
  auto sameAsFile = [&](const std::string& format) {
    return [this, format](const ProcessResult& r) {
      ASSERT_EQ(Export(format, directory_.File("copy")).status, 0);
      EXPECT_EQ(r.out, ReadFile(directory_.File("copy")));
      EXPECT_FALSE(fs::exists(directory_.File("-")));
    };
  };
  struct Row {
    std::string name;
    std::function<void()> prepare;
    std::vector<std::string> args;
    int status;
    std::string err;
    std::function<void(const ProcessResult&)> check;
    bool privileged = false;
  } rows[] = {
      // The output is the database, however named; refused before the
      // plug-in is even loaded.
      {"the database itself", [] {}, Args("html", database_, kNoModule), 1,
       "error: cannot write " + database_ + ": it is the database being exported\n", unchangedDatabase},
      {"a link to the database", [&] { fs::create_symlink(database_, d + "link.xtp"); },
       Args("json", d + "link.xtp", kNoModule), 1,
       "error: cannot write " + d + "link.xtp: it is the database being exported\n", unchangedDatabase},
      {"a second name of the database", [&] { fs::create_hard_link(database_, d + "hard.xtp"); },
       Args("text", d + "hard.xtp", kNoModule), 1,
       "error: cannot write " + d + "hard.xtp: it is the database being exported\n", unchangedDatabase},
      // A replaced file keeps its mode; a link is written through.
      {"a private file",
       [&] {
         std::ofstream(d + "private.txt") << "old";
         chmod((d + "private.txt").c_str(), 0600);
       },
       Args("text", d + "private.txt"), 0, "",
       [&](const ProcessResult&) {
         EXPECT_EQ(Mode(d + "private.txt"), 0600);
         EXPECT_NE(ReadFile(d + "private.txt"), "old");
       }},
      {"a link to a file",
       [&] {
         fs::create_directory(d + "real");
         std::ofstream(d + "real/notes.opml") << "old";
         chmod((d + "real/notes.opml").c_str(), 0640);
         fs::create_symlink("real/notes.opml", d + "link.opml");
       },
       Args("opml", d + "link.opml"), 0, "",
       [&](const ProcessResult&) {
         EXPECT_TRUE(fs::is_symlink(d + "link.opml"));
         EXPECT_EQ(ReadFile(d + "real/notes.opml").rfind("<?xml", 0), 0u);
         EXPECT_EQ(Mode(d + "real/notes.opml"), 0640);
       }},
      {"a link to no file yet", [&] { fs::create_symlink("new.html", d + "dangling.html"); },
       Args("html", d + "dangling.html"), 0, "",
       [&](const ProcessResult&) {
         EXPECT_TRUE(fs::is_symlink(d + "dangling.html"));
         EXPECT_EQ(ReadFile(d + "new.html").rfind("<!DOCTYPE html>", 0), 0u);
       }},
      // Checked before the import; the person's path and the system's reason.
      {"a missing folder", [] {}, Args("opml", d + "no/such/notes.opml", kNoModule), 1,
       "error: cannot write " + d + "no/such/notes.opml: No such file or directory\n", nullptr},
      // A device of its own (as /dev/full), so that a failure replaces no system file.
      {"a full device", [] {}, Args("json", d + "full-device"), 1,
       "error: cannot write " + d + "full-device: No space left on device\n",
       [&](const ProcessResult&) { EXPECT_TRUE(fs::is_character_file(d + "full-device")); }, true},
      {"a read-only folder", [] {}, Args("html", d + "readonly/notes.html", kNoModule), 1,
       "error: cannot write " + d + "readonly/notes.html: Read-only file system\n", nullptr, true},
      {"a full disk", [] {}, Args("html", d + "full/notes.html"), 1,
       "error: cannot write " + d + "full/notes.html: No space left on device\n",
       [&](const ProcessResult&) { EXPECT_TRUE(fs::is_empty(d + "full")); }, true},
      {"a full disk under a folder", [] {}, Args("markdown", d + "full/notes"), 1, "",
       [&](const ProcessResult& r) {
         const std::string start = "error: cannot write " + d + "full/notes/";
         const std::string end = ": No space left on device\n";
         EXPECT_EQ(r.err.rfind(start, 0), 0u) << r.err;
         EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), end.size())), end) << r.err;
         EXPECT_TRUE(fs::is_empty(d + "full"));
       },
       true},
      // A folder named with a trailing slash, new or empty.
      {"a new folder/", [] {}, Args("markdown", d + "new/"), 0, "",
       [&](const ProcessResult&) { EXPECT_TRUE(fs::is_directory(d + "new") && !fs::is_empty(d + "new")); }},
      {"an empty folder/", [&] { fs::create_directory(d + "empty"); }, Args("markdown", d + "empty/"), 0, "",
       [&](const ProcessResult&) { EXPECT_TRUE(fs::is_directory(d + "empty") && !fs::is_empty(d + "empty")); }},
      // Standard output.
      {"json to -", [] {}, Args("json", "-"), 0, "", sameAsFile("json")},
      {"text to -", [] {}, Args("text", "-"), 0, "", sameAsFile("text")},
      {"html to -", [] {}, Args("html", "-"), 0, "", sameAsFile("html")},
      {"opml to -", [] {}, Args("opml", "-"), 0, "", sameAsFile("opml")},
      {"markdown to -", [] {}, Args("markdown", "-", kNoModule), 1,
       "error: cannot write Markdown to standard output: it is a folder of files; give -o a folder\n", nullptr},
      {"- when it is full", [] {}, {"-c", std::string(ARVOLINE_HOST) + " --plugin " + ARVOLINE_MODULE + " export " +
                                              database_ + " --to text -o - > /dev/full"},
       1, "error: cannot write standard output: No space left on device\n", nullptr},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.privileged && !privileged) {
      std::cout << "not run (this process may not mount a tmpfs or make a device): " << row.name << "\n";
      continue;
    }
    row.prepare();
    const bool shell = row.args[0] == "-c";
    ProcessResult r = RunProcess(shell ? "/bin/sh" : ARVOLINE_HOST, row.args);
    EXPECT_EQ(r.status, row.status) << r.err;
    if (!row.err.empty() || row.status == 0) {
      EXPECT_EQ(r.err, row.err);
    }
    if (row.check) row.check(r);
    EXPECT_TRUE(Partials(directory_.path()).empty());
  }
}

// Ctrl-C, a closed terminal or a plain kill during an export leave nothing
// behind; a partial output left by SIGKILL is recognisably named, and the
// next export to the same place removes it.
TEST_F(ExportOutputTest, InterruptedExportsLeaveNothingBehind) {
  // Large enough that the import is still running when the signal comes.
  database_ = WriteDatabase("large.xtp", 50000);
  const std::string folder = directory_.File("out");
  fs::create_directory(folder);
  const struct {
    int signal;
    std::string format;
  } rows[] = {{SIGINT, "html"}, {SIGTERM, "json"}, {SIGHUP, "markdown"}, {SIGKILL, "text"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(strsignal(row.signal));
    const std::string output = folder + "/notes." + row.format;
    const pid_t pid = StartProcess(ARVOLINE_HOST, Args(row.format, output));
    ASSERT_GT(pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (Partials(folder).empty() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    kill(pid, row.signal);
    EXPECT_EQ(FinishProcess(pid).status, 128 + row.signal) << "the export ended before the signal came";
    EXPECT_FALSE(fs::exists(output));
    if (row.signal != SIGKILL) {
      EXPECT_TRUE(Partials(folder).empty());
      continue;
    }
    const std::vector<std::string> left = Partials(folder);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].rfind(".notes.text.partial-", 0), 0u) << left[0];
    EXPECT_EQ(Export(row.format, output).status, 0);
    EXPECT_TRUE(Partials(folder).empty());
    EXPECT_TRUE(fs::exists(output));
  }
}

}  // namespace
