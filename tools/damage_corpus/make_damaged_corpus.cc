// make-damaged-corpus: writes undamaged outline databases and damaged copies
// of them, with a manifest of what each copy had damaged and where each
// note's own text lies.
//
//   make-damaged-corpus -o DIR [--seed S] [--databases D] [--copies-per-database K]
//                       [--min-nodes N] [--max-nodes M]
//
// Database i is Arvoline or Gleanery, Jet 4 or Jet 3 in turn (i mod 4), and
// its copies take the damage kinds in turn, so that every kind meets every
// variant and format within the first 4 * ceil(10 / K) databases. The same
// options give the same files, byte for byte. DIR/corpus.json:
//   {"seed": S, "databases": [{"file": "db-0001.xtp", "variant": "arvoline", "format": "jet4",
//     "notes": [{"key", "title", "level", "text": [[begin, end], ...]}],
//     "copies": [{"file": "db-0001-1.xtp", "kind", "detail", "changed": [[begin, end], ...]}]}]}
// where "text" are the file bytes of the note's content and title and
// "changed" the bytes of the copy that differ from the undamaged file (a cut
// file: from its new end to the old).
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "tools/damage_corpus/corpus_database.h"
#include "tools/damage_corpus/file_damage.h"

namespace {

using damage_corpus::ByteRange;

nlohmann::json Ranges(const std::vector<ByteRange>& ranges) {
  nlohmann::json list = nlohmann::json::array();
  for (const ByteRange& r : ranges) list.push_back({r.begin, r.end});
  return list;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::string Numbered(size_t number) {
  std::string text = std::to_string(number);
  return std::string(text.size() < 4 ? 4 - text.size() : 0, '0') + text;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Writes outline databases and damaged copies of them"};
  std::string directory;
  std::uint64_t seed = 1;
  int databases = 10, copies = 5, minNodes = 200, maxNodes = 2000;
  app.add_option("-o", directory, "folder to write (created)")->required();
  app.add_option("--seed", seed, "random seed");
  app.add_option("--databases", databases, "undamaged databases")->check(CLI::Range(1, 100000));
  app.add_option("--copies-per-database", copies, "damaged copies of each")->check(CLI::Range(1, 1000));
  app.add_option("--min-nodes", minNodes, "fewest notes in a database")->check(CLI::Range(1, 100000));
  app.add_option("--max-nodes", maxNodes, "most notes in a database")->check(CLI::Range(1, 100000));
  CLI11_PARSE(app, argc, argv);
  try {
    if (maxNodes < minNodes) throw std::invalid_argument("--max-nodes is below --min-nodes");
    const std::filesystem::path folder(directory);
    std::filesystem::create_directories(folder);
    const size_t kinds = damage_corpus::DamageKinds().size();
    nlohmann::json corpus = {{"seed", seed}, {"databases", nlohmann::json::array()}};
    for (int i = 0; i < databases; ++i) {
      // Each database draws from its own seed, so a larger corpus begins with a smaller one.
      damage_corpus::SeededRandom random(seed * 1000003 + static_cast<std::uint64_t>(i));
      accessdb::OutlineOptions options;
      options.variant = i % 2 ? accessdb::OutlineVariant::kGleanery : accessdb::OutlineVariant::kArvoline;
      options.format = i / 2 % 2 ? accessdb::Format::kJet3 : accessdb::Format::kJet4;
      const std::string extension = i % 2 ? ".xrd" : ".xtp";
      const std::string name = "db-" + Numbered(static_cast<size_t>(i + 1));
      const auto count = static_cast<int>(random.Between(minNodes, maxNodes));
      const damage_corpus::CorpusDatabase db =
          damage_corpus::WriteCorpusDatabase((folder / (name + extension)).string(), options, random, count, 6);

      nlohmann::json entry = {{"file", name + extension},
                              {"variant", i % 2 ? "gleanery" : "arvoline"},
                              {"format", i / 2 % 2 ? "jet3" : "jet4"},
                              {"notes", nlohmann::json::array()},
                              {"copies", nlohmann::json::array()}};
      for (size_t n = 0; n < db.notes.size(); ++n) {
        std::vector<ByteRange> text = db.contents[n];
        text.insert(text.end(), db.titles[n].begin(), db.titles[n].end());
        entry["notes"].push_back({{"key", db.notes[n].node.key}, {"title", db.notes[n].node.title},
                                  {"level", db.notes[n].level}, {"text", Ranges(text)}});
      }
      for (int c = 0; c < copies; ++c) {
        std::string copy = db.bytes;
        const size_t kind = static_cast<size_t>(i / 4 * copies + c) % kinds;
        const damage_corpus::Damage damage = damage_corpus::DamageCopy(db, kind, random, copy);
        const std::string file = name + "-" + std::to_string(c + 1) + extension;
        WriteFile(folder / file, copy);
        entry["copies"].push_back({{"file", file}, {"kind", damage.kind}, {"detail", damage.detail},
                                   {"changed", Ranges(damage.changed)}});
      }
      corpus["databases"].push_back(std::move(entry));
    }
    std::ofstream manifest(folder / "corpus.json", std::ios::binary | std::ios::trunc);
    manifest << corpus.dump(1) << "\n";
    if (!manifest.flush()) throw std::runtime_error("cannot write corpus.json");
  } catch (const std::exception& e) {
    std::cerr << "make-damaged-corpus: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
