#include "tools/damage_corpus/corpus_notes.h"

#include <string>

#include "tools/accessdb/text_codec.h"

namespace damage_corpus {

namespace {

const char* const kTitleWords[] = {"garden", "été", "Übersicht", "niño", "façade", "smörgås", "Ærø", "ledger",
                                   "crème", "Zürich", "plan", "naïve", "draft", "Øresund", "minutes", "señal"};
const char* const kTextWords[] = {"alpha",  "river", "caf\\'e9", "{\\b bold}", "{\\i slanted}", "ledger", "quartz",
                                  "window", "\\par", "maple",    "\\tab",      "harbour",       "sienna", "velvet"};
constexpr size_t kShortestLastPiece = 32;

// Contents in four classes of length: in the row, one long-value row, a
// chain in Jet 3 only, a chain in both formats.
size_t ContentLength(SeededRandom& random) {
  const int draw = static_cast<int>(random.Below(100));
  if (draw < 25) return static_cast<size_t>(random.Between(20, 60));
  if (draw < 80) return static_cast<size_t>(random.Between(100, 1800));
  if (draw < 95) return static_cast<size_t>(random.Between(1800, 4000));
  return static_cast<size_t>(random.Between(4000, 12000));
}

bool LastPieceTooShort(const StoredText& stored, const std::string& text) {
  const std::vector<ByteRange> pieces = stored.Pieces(stored.Encode(text).size());
  return pieces.size() > 1 && pieces.back().end - pieces.back().begin < kShortestLastPiece;
}

std::string Content(SeededRandom& random, const std::string& key, const StoredText& stored) {
  std::string text = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 note " + key + ":";
  const size_t length = ContentLength(random);
  while (text.size() + 1 < length) text += std::string(" ") + kTextWords[random.Below(std::size(kTextWords))];
  while (LastPieceTooShort(stored, text + "}")) text += " pad";
  return text + "}";
}

std::string Title(SeededRandom& random, int number) {
  std::string title = "Note " + std::to_string(number);
  for (auto words = random.Between(1, 4); words > 0; --words)
    title += std::string(" ") + kTitleWords[random.Below(std::size(kTitleWords))];
  return title;
}

}  // namespace

std::vector<CorpusNote> CorpusNotes(SeededRandom& random, int count, int depth, const StoredText& stored) {
  std::vector<CorpusNote> notes;
  std::vector<std::string> path;  // keys from the top to the last note
  for (int i = 0; i < count; ++i) {
    const int level = static_cast<int>(random.Between(0, std::min<int>(static_cast<int>(path.size()), depth - 1)));
    path.resize(static_cast<size_t>(level));
    const std::string key = "N" + std::to_string(i + 1);
    notes.push_back({{level == 0 ? "Root" : path.back(), key, Title(random, i + 1), Content(random, key, stored)}, level});
    path.push_back(key);
  }
  // The outline is a long value too: lengthen the last title until its last piece is long enough.
  std::vector<accessdb::OutlineNode> nodes;
  for (const CorpusNote& n : notes) nodes.push_back(n.node);
  const accessdb::CodePageEncoder codePage(1252);
  while (!nodes.empty() && LastPieceTooShort(stored, accessdb::BuildOutlineText(nodes, codePage))) {
    nodes.back().title += "s";
    notes.back().node.title += "s";
  }
  return notes;
}

}  // namespace damage_corpus
