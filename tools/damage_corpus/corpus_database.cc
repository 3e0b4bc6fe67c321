#include "tools/damage_corpus/corpus_database.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tools/accessdb/text_codec.h"

namespace damage_corpus {

namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) throw std::runtime_error("cannot read " + path);
  return bytes.str();
}

size_t Utf8Characters(const std::string& text, size_t begin, size_t end) {
  size_t count = 0;
  for (size_t i = begin; i < end; ++i) count += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
  return count;
}

// "NN" before a key, "NNN" before a title: their lengths in the code page.
std::string Counted(const std::string& field, int digits, const accessdb::CodePageEncoder& codePage) {
  std::string count = std::to_string(codePage.Encode(field).size());
  return std::string(static_cast<size_t>(digits) - count.size(), '0') + count + field;
}

}  // namespace

CorpusDatabase WriteCorpusDatabase(const std::string& path, const accessdb::OutlineOptions& options,
                                   SeededRandom& random, int count, int depth) {
  CorpusDatabase db;
  db.options = options;
  const StoredText stored(options.format, options.code_page);
  db.notes = CorpusNotes(random, count, depth, stored);
  std::vector<accessdb::OutlineNode> nodes;
  for (const CorpusNote& n : db.notes) nodes.push_back(n.node);
  accessdb::WriteOutlineDatabase(path, options, nodes);
  db.bytes = ReadWholeFile(path);

  for (const CorpusNote& n : db.notes) db.contents.push_back(stored.Locate(db.bytes, stored.Encode(*n.node.content)));
  const accessdb::CodePageEncoder codePage(options.code_page);
  const std::string outline = accessdb::BuildOutlineText(nodes, codePage);
  db.outline = stored.Locate(db.bytes, stored.Encode(outline));
  // Each entry is "PP parent KK key TTT title" and nine bytes; keys are unique.
  size_t at = 0, characters = 0;
  for (const CorpusNote& n : db.notes) {
    const std::string entry = Counted(n.node.key, 2, codePage) + Counted(n.node.title, 3, codePage);
    const size_t found = outline.find(entry, at);
    if (found == std::string::npos) throw std::logic_error("an entry is missing from the outline text");
    characters += Utf8Characters(outline, at, found + entry.size() - n.node.title.size());
    const size_t titleLength = Utf8Characters(n.node.title, 0, n.node.title.size());
    db.titles.push_back(stored.FileRanges(
        db.outline, {stored.CharacterOffset(characters), stored.CharacterOffset(characters + titleLength)}));
    characters += titleLength;
    at = found + entry.size();
  }
  return db;
}

}  // namespace damage_corpus
