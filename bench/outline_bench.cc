// Outline benchmark: parses an outline text of 200,000 entries the way the
// document importer does (TreeItemsParser into a TreeItemsCollection), then
// queues a copy of every item and drains the queue.
//
//   outline_bench [entries=200000] [repetitions=5]
//
// The outline is a tree of realistic shape: keys of 10 characters, titles of
// 20 to 60 characters, each node a child of one of the 50 nodes before it,
// so levels reach well past 10. Prints the time per parse, per entry and the
// peak resident memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "outline/queue.h"
#include "outline/tree_items_collection.h"
#include "outline/tree_items_parser.h"
#include "platform/code_page.h"

#include "bench/bench_support.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string Key(int id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "N%09d", id);
  return buf;
}

std::string Field(const std::string& text, int width) {
  char length[8];
  std::snprintf(length, sizeof length, "%0*zu", width, text.size());
  return length + text;
}

UnicodeString BuildOutline(int entries) {
  std::mt19937 random(7);
  std::string bytes;
  bytes.reserve(static_cast<size_t>(entries) * 80);
  for (int i = 0; i < entries; ++i) {
    const int parent = i == 0 || random() % 20 == 0 ? -1 : i - 1 - static_cast<int>(random() % std::min(i, 50));
    std::string title = "Chapter " + std::to_string(i) + " of the notes ";
    title.append(static_cast<size_t>(random() % 40), 'x');
    bytes += Field(parent < 0 ? "Root" : Key(parent), 2) + Field(Key(i), 2) + Field(title, 3) + "000000000";
  }
  return MultiByteToWide(1252, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::atoi(argv[1]) : 200000;
  const int repetitions = argc > 2 ? std::atoi(argv[2]) : 5;
  ScopedActiveCodePage codePage(1252);

  const long startKiB = bench::PeakResidentKiB();
  const UnicodeString text = BuildOutline(entries);
  const long textKiB = bench::PeakResidentKiB();

  double parseSeconds = 0;
  double queueSeconds = 0;
  int32_t count = 0;
  int32_t maxLevel = 0;
  for (int r = 0; r < repetitions; ++r) {
    TreeItemsCollection items;
    auto start = std::chrono::steady_clock::now();
    TreeItemsParser().Parse(text, items);
    parseSeconds += Seconds(start);
    count = items.Count();

    start = std::chrono::steady_clock::now();
    Queue<TreeItem> queue;
    for (int32_t i = 0; i < items.Count(); ++i) queue.Push(items.Item(i));
    while (!queue.IsEmpty()) maxLevel = std::max(maxLevel, queue.Pop().level);
    queueSeconds += Seconds(start);
  }
  const long peakKiB = bench::PeakResidentKiB();

  std::printf("outline: %d entries, %zu characters of outline text, deepest level %d\n", count, text.size(), maxLevel);
  std::printf("  parse:          %8.1f ms per outline, %6.0f ns per entry (%d runs)\n",
              1e3 * parseSeconds / repetitions, 1e9 * parseSeconds / repetitions / count, repetitions);
  std::printf("  queue + drain:  %8.1f ms per outline, %6.0f ns per entry\n", 1e3 * queueSeconds / repetitions,
              1e9 * queueSeconds / repetitions / count);
  std::printf("  peak memory:    %8.1f MiB resident (outline text alone %.1f MiB, process before %.1f MiB)\n",
              peakKiB / 1024.0, (textKiB - startKiB) / 1024.0, startKiB / 1024.0);
  return count == entries ? 0 : 1;
}
