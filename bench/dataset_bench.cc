// Dataset benchmark: appends rows of three fields (a key string, a string and
// a memo) into a dataset indexed on the key, then looks every key up once the
// way the document importer does (SetKey, FieldByName(key)->SetAsString,
// GotoKey), then walks the rows in key order.
//
//   dataset_bench [rows=200000] [memo bytes=1024]
//
// Prints the time per operation and the peak resident memory. A lookup
// includes reading the found row's memo; the first one also sorts the rows
// appended since the index was chosen into it.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "dataset/t_client_data_set.h"
#include "platform/code_page.h"

#include "bench/bench_support.h"

namespace {

// Wall-clock and CPU (user + system) time of one phase. The CPU time is the
// steadier figure on a machine shared with other work.
struct Timer {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  double cpu = bench::CpuSeconds();
  void Report(const char* what, int count, const char* unit) const {
    double w = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    double c = bench::CpuSeconds() - cpu;
    std::printf("%-18s wall %7.3f s %7.2f us/%s   cpu %7.3f s %7.2f us/%s\n", what, w, w * 1e6 / count, unit, c,
                c * 1e6 / count, unit);
  }
};

UnicodeString KeyText(int id) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "node-%08d", id);
  return AsciiToUnicode(buf);
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 200000;
  const int memoBytes = argc > 2 ? std::atoi(argv[2]) : 1024;
  ScopedActiveCodePage codePage(1252);

  // Keys in a shuffled order so that the index does real work.
  std::vector<int> ids(static_cast<size_t>(rows));
  for (int i = 0; i < rows; ++i) ids[static_cast<size_t>(i)] = i;
  std::shuffle(ids.begin(), ids.end(), std::mt19937(42));
  UnicodeString memo;
  for (int i = 0; i < memoBytes; ++i) memo += static_cast<char16_t>(u'a' + i % 26);
  const UnicodeString title = u"A title of about thirty chars";

  long baseKiB = bench::PeakResidentKiB();
  TClientDataSet ds;
  ds.FieldDefs().Add(u"NodeKeyValue", ftString, 50);
  ds.FieldDefs().Add(u"NodeTitle", ftString, 255);
  ds.FieldDefs().Add(u"NodeTextValue", ftMemo, 64000);
  ds.CreateDataSet();
  ds.SetLogChanges(false);
  ds.IndexDefs().Add(u"NodeKeyValueIndex", u"NodeKeyValue", {ixPrimary});
  ds.SetIndexName(u"NodeKeyValueIndex");

  std::printf("rows %d, memo %d bytes, payload %.1f MiB\n", rows, memoBytes,
              static_cast<double>(rows) * (14 + 29 + memoBytes) / (1024.0 * 1024.0));
  Timer append;
  ds.DisableControls();
  TField* key = ds.FieldByName(u"NodeKeyValue");
  TField* titleField = ds.FieldByName(u"NodeTitle");
  TField* text = ds.FieldByName(u"NodeTextValue");
  for (int id : ids) {
    ds.Append();
    key->SetAsString(KeyText(id));
    titleField->SetAsString(title);
    text->SetAsString(memo);
    ds.Post();
  }
  ds.EnableControls();
  append.Report("append+post", rows, "row");
  long loadedKiB = bench::PeakResidentKiB();

  Timer lookup;
  int found = 0;
  size_t contentBytes = 0;
  for (int i = 0; i < rows; ++i) {
    ds.SetKey();
    ds.FieldByName(u"NodeKeyValue")->SetAsString(KeyText(i));
    if (ds.GotoKey()) {
      ++found;
      contentBytes += ds.FieldByName(u"NodeTextValue")->AsString().size();
    }
  }
  lookup.Report("SetKey/GotoKey", rows, "key");

  Timer walk;
  int walked = 0;
  for (ds.First(); !ds.Eof(); ds.Next()) ++walked;
  walk.Report("First/Next walk", rows, "row");

  if (found != rows || walked != rows || contentBytes != static_cast<size_t>(rows) * memo.size()) {
    std::fprintf(stderr, "dataset_bench: wrong result (found %d, walked %d)\n", found, walked);
    return 1;
  }
  double payloadMiB = static_cast<double>(rows) * (14 + 29 + memoBytes) / (1024.0 * 1024.0);
  std::printf("peak RSS           %8.1f MiB (%.1f MiB before the dataset, %.1f MiB after loading)\n",
              bench::PeakResidentKiB() / 1024.0, baseKiB / 1024.0, loadedKiB / 1024.0);
  std::printf("dataset memory     %8.1f bytes/row beyond the payload\n",
              ((loadedKiB - baseKiB) * 1024.0 - payloadMiB * 1024 * 1024) / rows);
  return 0;
}
