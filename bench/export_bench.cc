// Every export format of arvoline-host against `import --json` of the same
// database, run side by side, and the HTML export's first view in headless
// Chromium.
//
//   export_bench [--nodes N] [--content-bytes K] [--runs R] [--keep DIR]
//                [--no-browser]
//
// Writes a generated database of N nodes (default 100,000; depth 4) with K
// bytes (default 400) of RTF-like content each, then runs R rounds (default
// 3). Each round runs, each as a fresh process of the built arvoline-host:
// `import DB --json OUT` and `export DB --to F -o OUT --quiet` for json, text,
// markdown (both layouts), html and opml. Reports the medians of CPU time
// (user + system; wall time in brackets; then user and system time apart,
// since a folder of files costs mostly the kernel's time) and peak memory
// (maximum resident set), and CPU time and peak memory as multiples of the
// import's. --keep DIR puts the database and the outputs in DIR, so that
// file systems can be compared.
//
// Each round also runs the host's damage check (host/node_table_check.h),
// which every export runs after the plug-in is done, alone in a child
// process; it is reported as a share of each export's time without it.
//
// Then tools/chromium_page.py loads the HTML export R times and reports the
// median time until its first view answers a click, and loads the export of
// a 200-note database with every link of its contents followed.
//
// Targets: every format <= 1.5 x the import's CPU time and <= 1.1 x its peak
// memory; the first view of the 100,000-note page within 3 s; the 200-note
// page fetches nothing and every link resolves; the damage check <= 10 % of
// every export's time without it.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bench/bench_support.h"
#include "host/node_table_check.h"
#include "tools/accessdb/outline_database.h"

namespace fs = std::filesystem;

namespace {

constexpr double kTimeTarget = 1.5;
constexpr double kMemoryTarget = 1.1;
constexpr double kFirstViewTargetMs = 3000;
constexpr double kDamageCheckTarget = 0.10;

struct Run {
  std::string name;  // "import --json" or the export format
  std::vector<std::string> args;
  std::vector<bench::Measure> runs;
};

// Runs `program` with `args`, standard output to /dev/null.
bench::Measure Measure(const std::string& program, const std::vector<std::string>& args) {
  return bench::InChild([&] {
    if (!freopen("/dev/null", "w", stdout)) return 126;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    return 127;
  });
}

// Writes the database in a child process, so that this one stays small.
void WriteDatabase(const std::string& path, int nodes, int contentBytes) {
  accessdb::GeneratorOptions generator;
  generator.nodes = nodes;
  generator.depth = 4;
  generator.content_bytes = contentBytes;
  bench::InChild([&] {
    accessdb::WriteGeneratedOutlineDatabase(path, accessdb::OutlineOptions{}, generator);
    return 0;
  });
}

// What tools/chromium_page.py reports for `page`, or null when it failed.
nlohmann::json OpenInBrowser(const std::string& page, bool followLinks) {
  const std::string command = std::string("python3 ") + ARVOLINE_CHROMIUM_PAGE + (followLinks ? " " : " --no-links ") +
                              "'" + page + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return nullptr;
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  if (pclose(pipe) != 0) return nullptr;
  return nlohmann::json::parse(out, nullptr, false);
}

const char* Verdict(bool met) { return met ? "met" : "NOT MET"; }

}  // namespace

int main(int argc, char** argv) {
  int nodes = 100000, contentBytes = 400, rounds = 3;
  bool browser = true;
  std::string keep;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--no-browser") browser = false;
    else if (i + 1 < argc && a == "--nodes") nodes = std::atoi(argv[++i]);
    else if (i + 1 < argc && a == "--content-bytes") contentBytes = std::atoi(argv[++i]);
    else if (i + 1 < argc && a == "--runs") rounds = std::atoi(argv[++i]);
    else if (i + 1 < argc && a == "--keep") keep = argv[++i];
    else {
      std::fprintf(stderr, "export_bench: unknown option %s\n", a.c_str());
      return 2;
    }
  }
  if (nodes < 1 || rounds < 1) {
    std::fprintf(stderr, "export_bench: bad options\n");
    return 2;
  }
  const fs::path dir = keep.empty() ? fs::temp_directory_path() / ("export-bench-" + std::to_string(getpid())) : fs::path(keep);
  fs::create_directories(dir);
  const std::string database = (dir / "bench.xtp").string();
  WriteDatabase(database, nodes, contentBytes);

  auto exportRun = [&](const std::string& format) {
    return Run{format, {"--plugin", ARVOLINE_MODULE, "export", database, "--to", format, "-o",
                        (dir / ("out." + format)).string(), "--quiet"}, {}};
  };
  std::vector<Run> runs = {{"import --json", {"--plugin", ARVOLINE_MODULE, "import", database, "--json",
                                              (dir / "import.json").string()}, {}},
                           exportRun("json"), exportRun("text"), exportRun("markdown"), exportRun("html"),
                           exportRun("opml")};
  // The other Markdown layout, into the same folder.
  runs.push_back(exportRun("markdown"));
  runs.back().name = "md numbered";
  runs.back().args.insert(runs.back().args.end(), {"--layout", "numbered"});
  // Every program once per round: what is compared ran under the same
  // conditions of a shared machine.
  std::vector<bench::Measure> checks;
  for (int round = 0; round < rounds; ++round) {
    for (Run& run : runs) {
      fs::remove_all(dir / "out.markdown");
      run.runs.push_back(Measure(ARVOLINE_HOST, run.args));
    }
    checks.push_back(bench::InChild([&] { return FindLostNotes(database).empty() ? 0 : 1; }));
  }

  std::printf("exports of %d nodes with %d content bytes each against `import --json`, medians of %d rounds\n", nodes,
              contentBytes, rounds);
  std::printf("%-14s %19s %7s %7s %8s %10s %8s  %s\n", "run", "CPU s (wall)", "user s", "sys s", "x CPU", "peak MiB",
              "x peak", "targets");
  const bench::Measure import = bench::Median(runs[0].runs);
  bool timeMet = true, memoryMet = true;
  for (const Run& run : runs) {
    const bench::Measure m = bench::Median(run.runs);
    const double time = m.cpuSeconds / import.cpuSeconds;
    const double memory = static_cast<double>(m.peakKiB) / static_cast<double>(import.peakKiB);
    const bool baseline = &run == &runs[0];
    if (!baseline) {
      timeMet = timeMet && time <= kTimeTarget;
      memoryMet = memoryMet && memory <= kMemoryTarget;
    }
    std::printf("%-14s %7.2f (%8.2f) %7.2f %7.2f %8.2f %10.1f %8.2f  %s\n", run.name.c_str(), m.cpuSeconds, m.seconds,
                m.cpuSeconds - m.systemSeconds, m.systemSeconds, time, m.peakKiB / 1024.0, memory,
                baseline ? "" : Verdict(time <= kTimeTarget && memory <= kMemoryTarget));
  }
  std::printf("every format <= %.1f x the import's CPU time: %s; <= %.1f x its peak memory: %s\n", kTimeTarget,
              Verdict(timeMet), kMemoryTarget, Verdict(memoryMet));

  // Every export above includes the check; its share is of the rest.
  const bench::Measure check = bench::Median(checks);
  double worst = 0;
  for (size_t i = 1; i < runs.size(); ++i)
    worst = std::max(worst, check.cpuSeconds / (bench::Median(runs[i].runs).cpuSeconds - check.cpuSeconds));
  std::printf("damage check after each export: %.2f s CPU (%.2f), %.1f MiB peak alone; at most %.1f %% of an "
              "export's time without it; <= %.0f %%: %s\n",
              check.cpuSeconds, check.seconds, check.peakKiB / 1024.0, worst * 100, kDamageCheckTarget * 100,
              Verdict(worst <= kDamageCheckTarget));

  if (browser) {
    std::vector<double> firstViews;
    for (int round = 0; round < rounds; ++round) {
      const nlohmann::json page = OpenInBrowser((dir / "out.html").string(), false);
      if (page.is_object()) firstViews.push_back(page.value("interactive_ms", 0.0));
    }
    std::sort(firstViews.begin(), firstViews.end());
    const double firstView = firstViews.empty() ? -1 : firstViews[firstViews.size() / 2];
    std::printf("html first view in headless Chromium, %.1f MiB page: %.0f ms (median of %zu); within %.0f ms: %s\n",
                static_cast<double>(fs::file_size(dir / "out.html")) / (1024.0 * 1024.0), firstView,
                firstViews.size(), kFirstViewTargetMs, Verdict(firstView >= 0 && firstView <= kFirstViewTargetMs));

    const std::string small = (dir / "small.xtp").string(), smallPage = (dir / "small.html").string();
    WriteDatabase(small, 200, contentBytes);
    Measure(ARVOLINE_HOST, {"--plugin", ARVOLINE_MODULE, "export", small, "--to", "html", "-o", smallPage, "--quiet"});
    const nlohmann::json page = OpenInBrowser(smallPage, true);
    auto count = [&](const char* key) {
      return page.is_object() ? page.value(key, nlohmann::json::array()).size() : size_t{1};
    };
    const int links = page.is_object() ? page.value("links", 0) : 0;
    const bool works = links == 200 && count("unresolved_links") == 0 && count("requests") == 0 &&
                       count("console_errors") == 0;
    std::printf("html of 200 notes: one file of %.0f KiB, first view %d ms, %d links followed, %zu unresolved, "
                "%zu fetches, %zu console errors: %s\n",
                static_cast<double>(fs::file_size(smallPage)) / 1024.0,
                page.is_object() ? page.value("interactive_ms", -1) : -1, links, count("unresolved_links"),
                count("requests"), count("console_errors"), Verdict(works));
  }
  if (keep.empty()) fs::remove_all(dir);
  return 0;
}
