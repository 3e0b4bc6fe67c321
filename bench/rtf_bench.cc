// RTF reader benchmark: reads a 50 MB document of RichEdit-style text (font
// table with several character sets, Cyrillic and Japanese \'xx escapes,
// \uN, bold runs, bullets, a hyperlink and a table per page) into the
// document model and its plain text.
//
//   rtf_bench [megabytes=50] [repetitions=3]
//
// Prints the time per document (wall clock and CPU), the throughput and the
// peak resident memory.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_support.h"
#include "rtf/plain_text.h"
#include "rtf/rtf_reader.h"

namespace {

const char kHeader[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fcharset204 Times;}"
    "{\\f2\\fcharset128 MS Gothic;}{\\f3\\fcharset2 Symbol;}}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
const char kPage[] =
    "Plain text with {\\b bold} and {\\i italic} words, caf\\'e9 cr\\'e8me.\\par\n"
    "\\f1\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\'ec\\'e8\\'f0\\f0  and \\f2\\'93\\'fa\\'96\\'7b\\'8c\\'ea\\f0  \\u8364?\\par\n"
    "{\\pntext\\f3\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf3{\\pntxtb\\'b7}}\\fi-360\\li720 a bulleted line\\par\\pard\n"
    "{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/page\"}}{\\fldrslt{\\ul a link}}} in a line\\par\n"
    "\\trowd\\cellx2000\\cellx4000\\intbl one\\cell two\\cell\\row\\pard\n";

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
  const int repetitions = argc > 2 ? std::atoi(argv[2]) : 3;
  std::string rtf = kHeader;
  while (rtf.size() < megabytes * 1024 * 1024) rtf += kPage;
  rtf += "}";

  double best = 1e30, bestCpu = 1e30;
  size_t blocks = 0, textBytes = 0;
  for (int i = 0; i < repetitions; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = bench::CpuSeconds();
    const rtf::Document document = rtf::ReadDocument(rtf);
    const std::string text = rtf::PlainText(document);
    best = std::min(best, Seconds(start));
    bestCpu = std::min(bestCpu, bench::CpuSeconds() - cpuStart);
    blocks = document.blocks.size();
    textBytes = text.size();
  }
  std::printf("rtf_bench: %.1f MB of RTF, %zu blocks, %.1f MB of plain text\n", rtf.size() / 1048576.0, blocks,
              textBytes / 1048576.0);
  std::printf("  read + plain text: %.2f s per document (best of %d), %.1f MB/s; CPU time %.2f s, %.1f MB/s\n", best,
              repetitions, rtf.size() / 1048576.0 / best, bestCpu, rtf.size() / 1048576.0 / bestCpu);
  std::printf("  peak resident memory: %ld MiB\n", bench::PeakResidentKiB() / 1024);
  return 0;
}
