#include "tools/damage_corpus/stored_text.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "tools/accessdb/jet_format.h"
#include "tools/accessdb/text_codec.h"

namespace damage_corpus {

namespace {

// The unique occurrence of `piece` in `file`, or npos. Boyer-Moore-Horspool:
// every content starts with the same RTF header, which makes a plain
// find() compare it at each of its many occurrences.
size_t FindOnce(std::string_view file, std::string_view piece) {
  const std::boyer_moore_horspool_searcher searcher(piece.begin(), piece.end());
  const auto first = std::search(file.begin(), file.end(), searcher);
  if (first == file.end() || std::search(first + 1, file.end(), searcher) != file.end()) return std::string_view::npos;
  return static_cast<size_t>(first - file.begin());
}

}  // namespace

StoredText::StoredText(accessdb::Format format, int codePage)
    : jet4_(format == accessdb::Format::kJet4),
      codePage_(codePage),
      maxRow_(static_cast<size_t>(accessdb::FormatConstants(format).max_long_value_row)) {}

std::string StoredText::Encode(const std::string& utf8) const {
  const std::u16string text = accessdb::Utf8ToUtf16(utf8);
  std::string stored;
  if (jet4_) {
    const accessdb::Bytes bytes = accessdb::EncodeJet4Text(text, true);
    stored.assign(bytes.begin(), bytes.end());
  } else {
    stored = accessdb::CodePageEncoder(codePage_).Encode(utf8);
  }
  if (stored.size() != CharacterOffset(text.size()))
    throw std::invalid_argument("the text is not stored one byte a character");
  return stored;
}

std::vector<ByteRange> StoredText::Pieces(size_t size) const {
  if (size <= maxRow_) return {{0, size}};
  // As the writer's long-value store splits a chain: full rows, then the rest.
  const size_t chunk = maxRow_ - 4;
  std::vector<ByteRange> pieces;
  for (size_t at = 0; at < size; at += chunk) pieces.push_back({at, std::min(size, at + chunk)});
  return pieces;
}

std::vector<ByteRange> StoredText::Locate(std::string_view file, const std::string& stored) const {
  std::vector<ByteRange> located;
  const std::vector<ByteRange> pieces = Pieces(stored.size());
  for (const ByteRange& piece : pieces) {
    const std::string_view bytes = std::string_view(stored).substr(piece.begin, piece.end - piece.begin);
    size_t at = FindOnce(file, bytes);
    if (at == std::string_view::npos && pieces.size() > 1) {
      // A short last piece: its row starts with a next pointer of zero.
      at = FindOnce(file, std::string(4, '\0') + std::string(bytes));
      if (at != std::string_view::npos) at += 4;
    }
    if (at == std::string_view::npos)
      throw std::runtime_error("a piece of a stored text is not in the file exactly once");
    located.push_back({at, at + bytes.size()});
  }
  return located;
}

std::vector<ByteRange> StoredText::FileRanges(const std::vector<ByteRange>& located, ByteRange part) const {
  std::vector<ByteRange> ranges;
  size_t pieceStart = 0;  // stored offset of the piece
  for (const ByteRange& piece : located) {
    const size_t size = piece.end - piece.begin;
    const size_t begin = std::max(part.begin, pieceStart);
    const size_t end = std::min(part.end, pieceStart + size);
    if (begin < end) ranges.push_back({piece.begin + (begin - pieceStart), piece.begin + (end - pieceStart)});
    pieceStart += size;
  }
  return ranges;
}

}  // namespace damage_corpus
