#include "host/damage_report.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

constexpr size_t kLinesShown = 20;

struct KindText {
  LostNote::Kind kind;
  const char* one;   // after "1 note"
  const char* many;  // after "N notes"
  const char* line;  // before the note
};
const KindText kKindTexts[] = {
    {LostNote::kLostContent, "lost its content", "lost their content", "content lost"},
    {LostNote::kLostEntirely, "was lost entirely", "were lost entirely", "lost entirely"},
    {LostNote::kNeverReached, "was never reached", "were never reached", "never reached"},
    {LostNote::kContentCut, "kept part of its content", "kept part of their content", "content cut"},
    {LostNote::kRecovered, "was recovered outside the outline", "were recovered outside the outline", "recovered"},
};

std::string Line(const LostNote& note) {
  std::string line = "  ";
  for (const KindText& k : kKindTexts)
    if (k.kind == note.kind) line += k.line;
  if (!note.position.empty()) line += " " + note.position;
  if (!note.title.empty() || !note.position.empty()) line += " \"" + note.title + "\"";
  if (!note.key.empty() || note.kind == LostNote::kNeverReached) line += " (key \"" + note.key + "\")";
  return line + ": " + note.reason + "\n";
}

std::string Summary(const std::string& database, const std::vector<LostNote>& lost) {
  std::string counts;
  for (const KindText& k : kKindTexts) {
    size_t n = 0;
    for (const LostNote& note : lost) n += note.kind == k.kind;
    if (n == 0) continue;
    counts += (counts.empty() ? "" : ", ") + std::to_string(n) + (n == 1 ? " note " : " notes ");
    counts += n == 1 ? k.one : k.many;
  }
  return database + " is damaged: " + counts;
}

}  // namespace

std::string DamageListPath(const std::string& output) {
  if (output == "-") return std::string();
  std::string base = output;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + ".damage.txt";
}

void ReportLostNotes(std::ostream& err, const std::string& database, const std::vector<LostNote>& lost,
                     const std::string& listPath) {
  const std::string summary = Summary(database, lost);
  err << "warning: " << summary << (listPath.empty() ? "" : " (list in " + listPath + ")") << "\n";
  for (size_t i = 0; i < lost.size() && i < kLinesShown; ++i) err << Line(lost[i]);
  if (lost.size() > kLinesShown) err << "  ... and " << lost.size() - kLinesShown << " more\n";
  if (listPath.empty()) return;
  std::ofstream list(listPath, std::ios::binary | std::ios::trunc);
  list << summary << "\n";
  for (const LostNote& note : lost) list << Line(note);
  if (!list.flush()) err << "error: cannot write " << listPath << ": " << std::strerror(errno) << "\n";
}
