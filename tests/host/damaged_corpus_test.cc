// The host over the seeded corpus of damaged databases (make-damaged-corpus):
// each damaged copy is exported and compared with its undamaged database's
// export. Every note lost (missing, or with another title or content) must be
// named in the damage report, unless the damage lay inside the note's own
// text, which no file can reveal; no export may crash, hang, or end with 0
// after such a loss. Prints the shares of notes delivered with their
// content, normally and with --salvage when the host offers it.
//
// A larger corpus for the README's figures:
//   ARVOLINE_DAMAGE_CORPUS_DATABASES=200 build/tests/host/host_damaged_corpus_test
// (5 damaged copies each; ARVOLINE_DAMAGE_CORPUS_SEED picks another corpus).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/host/host_process.h"
#include "tests/platform/automation/temp_directory.h"

namespace {

int Setting(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::atoi(value) : fallback;
}

// The host under coreutils' timeout: a hang ends as status 124.
ProcessResult RunHost(std::vector<std::string> args) {
  args.insert(args.begin(), {std::to_string(ARVOLINE_CORPUS_TIMEOUT), ARVOLINE_HOST, "--plugin", ARVOLINE_MODULE});
  return RunProcess("/usr/bin/timeout", args);
}

// title and content of each exported note
using Exported = std::multiset<std::pair<std::string, std::string>>;

Exported ReadExport(const std::string& path) {
  Exported notes;
  for (const auto& note : nlohmann::json::parse(ReadFile(path)))
    notes.emplace(note.at("title").get<std::string>(), note.at("content").get<std::string>());
  return notes;
}

// What the damage list (OUT.damage.txt) names.
struct DamageList {
  std::set<std::string> keys;
  std::set<std::pair<std::string, std::string>> placedTitles;  // position, title
  size_t outlineEntriesRead = SIZE_MAX;  // the entries before the outline stops
  size_t unnamedRows = 0;                // rows lost without a key: one note each
};

std::string Between(const std::string& line, const std::string& before, const std::string& after) {
  const size_t start = line.find(before);
  if (start == std::string::npos) return {};
  const size_t end = line.find(after, start + before.size());
  return end == std::string::npos ? std::string() : line.substr(start + before.size(), end - start - before.size());
}

DamageList ReadDamageList(const std::string& path) {
  DamageList list;
  std::istringstream lines(ReadFile(path));
  std::string line;
  std::getline(lines, line);  // the summary
  while (std::getline(lines, line)) {
    if (line.find("(key \"") != std::string::npos) list.keys.insert(Between(line, "(key \"", "\")"));
    for (const char* kind : {"  content lost ", "  lost entirely "}) {
      if (line.rfind(kind, 0) == 0 && std::isdigit(static_cast<unsigned char>(line[std::string(kind).size()])))
        list.placedTitles.emplace(Between(line, kind, " \""), Between(line, " \"", "\" (key"));
    }
    if (line.find("the node table cannot be read") != std::string::npos ||
        line.find("the outline cannot be read") != std::string::npos)
      list.outlineEntriesRead = 0;
    const std::string stop = Between(line, "the outline stops at entry ", ":");
    if (!stop.empty()) list.outlineEntriesRead = std::min(list.outlineEntriesRead, std::stoul(stop) - 1);
    if (line.find("of the table cannot be read") != std::string::npos) ++list.unnamedRows;
  }
  return list;
}

// Outline positions as the exports number them, from the notes' levels.
std::vector<std::string> Positions(const nlohmann::json& notes) {
  std::vector<std::string> positions;
  std::vector<int> counters;
  for (const auto& note : notes) {
    counters.resize(note.at("level").get<size_t>() + 1, 0);
    ++counters.back();
    std::string text;
    for (const int c : counters) text += (text.empty() ? "" : ".") + std::to_string(c);
    positions.push_back(text);
  }
  return positions;
}

bool OwnTextChanged(const nlohmann::json& note, const nlohmann::json& changed) {
  for (const auto& text : note.at("text"))
    for (const auto& range : changed)
      if (text[0].get<size_t>() < range[1].get<size_t>() && range[0].get<size_t>() < text[1].get<size_t>()) return true;
  return false;
}

// The notes whose own bytes are intact, and those of them whose content (unique
// in the corpus) the export delivers as the undamaged database's, wherever and
// under whatever title.
std::pair<size_t, size_t> WholeContents(const Exported& exported, const nlohmann::json& undamaged,
                                        const nlohmann::json& notes, const nlohmann::json& changed) {
  std::multiset<std::string> contents;
  for (const auto& note : exported) contents.insert(note.second);
  size_t whole = 0, intact = 0;
  for (size_t i = 0; i < notes.size(); ++i) {
    if (OwnTextChanged(notes[i], changed)) continue;
    ++intact;
    const auto found = contents.find(undamaged[i].at("content").get<std::string>());
    if (found == contents.end()) continue;
    contents.erase(found);
    ++whole;
  }
  return {whole, intact};
}

// Notes delivered with their content over the notes whose own bytes are intact, summed per damage kind.
struct Share {
  size_t copies = 0, delivered = 0, intact = 0, copiesWithIntactNotes = 0;
  double sumOfShares = 0;
  void Add(size_t whole, size_t of) {
    ++copies;
    delivered += whole;
    intact += of;
    if (of == 0) return;
    ++copiesWithIntactNotes;
    sumOfShares += static_cast<double>(whole) / static_cast<double>(of);
  }
  std::string Text() const {
    char text[64];
    std::snprintf(text, sizeof text, "%6.2f %% (%zu / %zu notes), per copy %6.2f %%",
                  intact ? 100.0 * static_cast<double>(delivered) / static_cast<double>(intact) : 100.0, delivered, intact,
                  copiesWithIntactNotes ? 100.0 * sumOfShares / static_cast<double>(copiesWithIntactNotes) : 100.0);
    return text;
  }
};

TEST(DamagedCorpus, EveryLostNoteIsReportedAndTheSharesArePrinted) {
  TempDirectory directory;
  const int databases = Setting("ARVOLINE_DAMAGE_CORPUS_DATABASES", ARVOLINE_CORPUS_DATABASES);
  const ProcessResult made = RunProcess(ARVOLINE_MAKE_DAMAGED_CORPUS,
      {"-o", directory.path(), "--databases", std::to_string(databases), "--copies-per-database", "5",
       "--seed", std::to_string(Setting("ARVOLINE_DAMAGE_CORPUS_SEED", 1))});
  ASSERT_EQ(made.status, 0) << made.err;
  const nlohmann::json corpus = nlohmann::json::parse(ReadFile(directory.File("corpus.json")));
  const bool salvage = RunHost({"export", "--help"}).out.find("--salvage") != std::string::npos;

  std::map<std::string, Share> normalShares, salvageShares;
  std::map<std::string, std::map<int, int>> statuses;  // kind, exit status, copies
  int unreported = 0;
  const std::string output = directory.File("out.json");
  for (const auto& db : corpus.at("databases")) {
    const nlohmann::json& notes = db.at("notes");
    ASSERT_EQ(RunHost({"export", directory.File(db.at("file")), "--to", "json", "-o", output, "-q"}).status, 0);
    const nlohmann::json undamaged = nlohmann::json::parse(ReadFile(output));
    ASSERT_EQ(undamaged.size(), notes.size()) << db.at("file");
    const std::vector<std::string> positions = Positions(undamaged);
    for (const auto& copy : db.at("copies")) {
      const std::string file = directory.File(copy.at("file"));
      const std::string kind = copy.at("kind");
      const std::string what = copy.at("file").get<std::string>() + " (" + kind + ": " + copy.at("detail").get<std::string>() + ")";
      std::remove(output.c_str());
      std::remove((output + ".damage.txt").c_str());
      const ProcessResult normal = RunHost({"export", file, "--to", "json", "-o", output, "-q"});
      ++statuses[kind][normal.status];
      ASSERT_TRUE(normal.status == 0 || normal.status == 1 || normal.status == 3)
          << what << ": exit status " << normal.status << "\n" << normal.err;
      const Exported exported = normal.status == 1 ? Exported() : ReadExport(output);
      const DamageList list = normal.status == 3 ? ReadDamageList(output + ".damage.txt") : DamageList();
      Exported delivered = exported;
      size_t unnamedRows = list.unnamedRows;
      for (size_t i = 0; i < notes.size(); ++i) {
        const std::string title = undamaged[i].at("title"), content = undamaged[i].at("content");
        const auto found = delivered.find({title, content});
        if (found != delivered.end()) {
          delivered.erase(found);
          continue;
        }
        if (OwnTextChanged(notes[i], copy.at("changed")) || normal.status == 1 || list.keys.count(notes[i].at("key")) || i >= list.outlineEntriesRead ||
            list.placedTitles.count({positions[i], title}))
          continue;
        if (unnamedRows > 0) {
          --unnamedRows;
          continue;
        }
        if (++unreported <= 20)
          ADD_FAILURE() << what << ": note " << positions[i] << " \"" << title << "\" (key " << notes[i].at("key")
                        << ") lost without a word; exit status " << normal.status;
      }
      const auto [whole, intact] = WholeContents(exported, undamaged, notes, copy.at("changed"));
      normalShares[kind].Add(whole, intact);
      normalShares["all"].Add(whole, intact);
      if (!salvage) continue;
      std::remove(output.c_str());
      const ProcessResult salvaged = RunHost({"export", file, "--salvage", "--to", "json", "-o", output, "-q"});
      ASSERT_TRUE(salvaged.status == 0 || salvaged.status == 1 || salvaged.status == 3)
          << what << ": --salvage exit status " << salvaged.status << "\n" << salvaged.err;
      const auto [salvagedWhole, salvagedOf] = WholeContents(salvaged.status == 1 ? Exported() : ReadExport(output),
                                                             undamaged, notes, copy.at("changed"));
      salvageShares[kind].Add(salvagedWhole, salvagedOf);
      salvageShares["all"].Add(salvagedWhole, salvagedOf);
    }
  }
  EXPECT_EQ(unreported, 0) << "notes lost without a word (the first 20 above)";
  std::printf("Notes delivered with their content, over the notes whose own bytes are intact (%d databases, seed %d):\n", databases,
              Setting("ARVOLINE_DAMAGE_CORPUS_SEED", 1));
  for (const auto& [kind, share] : normalShares) {
    std::string exits;
    for (const auto& [status, count] : statuses[kind]) exits += " " + std::to_string(count) + "x" + std::to_string(status);
    std::printf("  %-18s %3zu copies, exits%s\n    normal  %s\n", kind.c_str(), share.copies, exits.c_str(),
                share.Text().c_str());
    if (salvage) std::printf("    salvage %s\n", salvageShares[kind].Text().c_str());
  }
}

}  // namespace
