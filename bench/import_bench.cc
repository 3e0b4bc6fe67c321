// Whole import of a large Arvoline database through the plug-in module,
// against mdb-export of the same node table, measured in the same run.
//
//   import_bench [--nodes N] [--content-bytes K] [--runs R] [--keep DIR]
//
// Writes a database of N nodes (default 100,000) with K bytes (default 1024)
// of RTF-like content each, then times, R times each (default 3, best run
// reported, by CPU time): (1) a whole import in a child process through Arvoline.so's four
// exports, from BeginImportSession to the last document, and (2)
// `mdb-export <file> Arvoline32XTPro > /dev/null`. CPU time (user + system)
// is what is compared, since the wall time on a shared machine also counts
// other processes; both are printed. Peak memory is each child's maximum
// resident set size.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "host/import_run.h"
#include "host/plugin_module.h"
#include "tools/accessdb/outline_database.h"

namespace {

struct Measure {
  double seconds = 1e300;     // wall time
  double cpuSeconds = 1e300;  // user + system time of the child
  long peakKiB = 0;
};

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Runs `child` in a forked process; wall time and peak memory of the child.
template <typename F>
Measure InChild(F child) {
  std::fflush(stdout);
  double start = Now();
  pid_t pid = fork();
  if (pid == 0) _exit(child());
  int status = 0;
  struct rusage usage;
  wait4(pid, &status, 0, &usage);
  Measure m;
  m.seconds = Now() - start;
  m.peakKiB = usage.ru_maxrss;
  m.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "child failed (status %d)\n", status);
    std::exit(1);
  }
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  int nodes = 100000, contentBytes = 1024, runs = 3;
  std::string keep;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--nodes") nodes = std::atoi(argv[i + 1]);
    else if (a == "--content-bytes") contentBytes = std::atoi(argv[i + 1]);
    else if (a == "--runs") runs = std::atoi(argv[i + 1]);
    else if (a == "--keep") keep = argv[i + 1];
  }
  std::string dir = keep.empty() ? (std::filesystem::temp_directory_path() / ("import-bench-" + std::to_string(getpid()))).string() : keep;
  std::filesystem::create_directories(dir);
  std::string path = dir + "/bench.xtp";

  double writeStart = Now();
  accessdb::OutlineOptions options;
  accessdb::GeneratorOptions generator;
  generator.nodes = nodes;
  generator.depth = 4;
  generator.content_bytes = contentBytes;
  accessdb::WriteGeneratedOutlineDatabase(path, options, generator);
  double writeSeconds = Now() - writeStart;
  const double fileMiB = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
  std::printf("database: %d nodes, %d content bytes each, %.1f MiB, written in %.2f s\n", nodes, contentBytes,
              fileMiB, writeSeconds);

  Measure import, exportRun;
  long documents = 0;
  for (int r = 0; r < runs; ++r) {
    // mdb-export's output goes to /dev/null: redirected in the child before exec.
    Measure ex = InChild([&] {
      if (!freopen("/dev/null", "w", stdout)) return 126;
      execlp("mdb-export", "mdb-export", path.c_str(), "Arvoline32XTPro", static_cast<char*>(nullptr));
      return 127;
    });
    if (ex.cpuSeconds < exportRun.cpuSeconds) exportRun = ex;

    Measure im = InChild([&] {
      setenv("LC_ALL", "en_US.UTF-8", 1);
      PluginModule module(ARVOLINE_MODULE);
      long count = 0;
      RunImport(module, path, [&](const ImportedDocument&) { ++count; });
      return count == nodes ? 0 : 3;
    });
    if (im.cpuSeconds < import.cpuSeconds) import = im;
    documents = nodes;
  }
  std::printf("whole import through the plug-in: %.3f s CPU (%.3f s wall), peak memory %.1f MiB (%ld documents)\n",
              import.cpuSeconds, import.seconds, import.peakKiB / 1024.0, documents);
  std::printf("mdb-export of the node table:     %.3f s CPU (%.3f s wall), peak memory %.1f MiB\n",
              exportRun.cpuSeconds, exportRun.seconds, exportRun.peakKiB / 1024.0);
  std::printf("ratio import / mdb-export: %.2f CPU, %.2f wall (target 1.5); import memory / file size: %.2f (target 2)\n",
              import.cpuSeconds / exportRun.cpuSeconds, import.seconds / exportRun.seconds,
              (import.peakKiB / 1024.0) / fileMiB);
  if (keep.empty()) std::filesystem::remove_all(dir);
  return 0;
}
