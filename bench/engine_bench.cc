// Import engine benchmark: 200,000 rows of six columns (text, integer,
// float, date, Boolean, memo) from an in-memory source into a client
// dataset, through Execute with its whole per-cell evaluation. Prints rows
// per second and the peak resident memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "runtime/date_time.h"
#include "tests/import_engine/memory_source.h"

#include "bench/bench_support.h"

namespace {

struct Case {
  const char* label;
  bool typedFields;  // typed destination fields, or the plug-in's text fields
};

void RunCase(const Case& c, int32_t rowCount) {
  TClientDataSet ds;
  if (c.typedFields) {
    DefineFields(ds, {{u"Title", ftString}, {u"Count", ftInteger}, {u"Price", ftFloat},
                      {u"Day", ftDateTime}, {u"Done", ftBoolean}, {u"Body", ftMemo}});
  } else {
    DefineFields(ds, {{u"Title", ftString}, {u"Count", ftString}, {u"Price", ftString},
                      {u"Day", ftString}, {u"Done", ftBoolean}, {u"Body", ftMemo}});
  }
  TMemorySource source;
  source.SetDataSet(&ds);
  source.columns = {{u"Title"}, {u"Count", itInteger}, {u"Price", itFloat},
                    {u"Day", itDateTime}, {u"Done", itBoolean}, {u"Body", itMEMO}};
  source.Mappings().SetText(u"Title=Title\nCount=Count\nPrice=Price\nDay=Day\nDone=Done\nBody=[Body]");
  const UnicodeString body(180, u'm');
  source.rows.reserve(static_cast<size_t>(rowCount));
  const TDateTime day = EncodeDate(2024, 1, 1);
  for (int32_t i = 0; i < rowCount; ++i) {
    source.rows.push_back({Variant(u"Title " + AsciiToUnicode(std::to_string(i))), Variant(i),
                           Variant(i * 0.25), Variant::FromDate(day + i % 3650), Variant(i % 2 == 0),
                           Variant(body)});
  }
  const long rssBefore = bench::PeakResidentKiB();
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  source.Execute();
  const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long rssAfter = bench::PeakResidentKiB();
  if (source.Statistic().Result() != irExecuted || ds.RecordCount() != rowCount ||
      source.Statistic().TotalErrors() != 0) {
    std::printf("%s: run failed (result %d, rows %d, errors %d)\n", c.label, source.Statistic().Result(),
                ds.RecordCount(), source.Statistic().TotalErrors());
    return;
  }
  // CPU time is the steadier figure on a shared machine.
  std::printf("%-30s %7d rows  wall %5.2f s  CPU %5.2f s  %8.0f rows/CPU-s  peak RSS %4ld MB (%ld MB before the run)\n",
              c.label, rowCount, seconds, cpuSeconds, rowCount / cpuSeconds, rssAfter / 1024, rssBefore / 1024);
}

}  // namespace

// engine_bench [rows] [case]: case 0 typed fields, 1 the plug-in's text
// fields; without a case both run, each in its own process so that each
// peak memory figure is its own.
int main(int argc, char** argv) {
  int32_t rows = 200000;
  if (argc > 1) rows = static_cast<int32_t>(std::atol(argv[1]));
  const Case cases[] = {{"typed fields (6 kinds)", true}, {"text, Boolean and memo fields", false}};
  if (argc > 2) {
    RunCase(cases[std::atoi(argv[2]) == 0 ? 0 : 1], rows);
    return 0;
  }
  for (int i = 0; i < 2; ++i) {
    const std::string command = std::string("\"") + argv[0] + "\" " + std::to_string(rows) + " " + std::to_string(i);
    if (std::system(command.c_str()) != 0) return 1;
  }
  return 0;
}
