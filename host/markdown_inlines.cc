#include "host/markdown_inlines.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "host/link_target.h"
#include "host/markdown_escape.h"
#include "host/markup_text.h"

using rtf::Inline;

namespace {

// The styles written around text, in the order they open when several start
// at one place and run equally long.
struct Emphasis {
  bool rtf::TextStyle::*flag;
  const char* delimiter;  // nullptr: written as tags only
  const char* openTag;
  const char* closeTag;
};
constexpr Emphasis kEmphasis[] = {{&rtf::TextStyle::superscript, nullptr, "<sup>", "</sup>"},
                                  {&rtf::TextStyle::subscript, nullptr, "<sub>", "</sub>"},
                                  {&rtf::TextStyle::underline, nullptr, "<u>", "</u>"},
                                  {&rtf::TextStyle::strike, "~~", "<s>", "</s>"},
                                  {&rtf::TextStyle::bold, "**", "<strong>", "</strong>"},
                                  {&rtf::TextStyle::italic, "*", "<em>", "</em>"}};
constexpr size_t kEmphasisCount = sizeof kEmphasis / sizeof kEmphasis[0];
using Mask = unsigned;
constexpr Mask Bit(size_t emphasis) { return 1u << emphasis; }

// ---- Characters as CommonMark classifies them around a delimiter run ----

// 0 stands for the start or end of a line, which counts as a blank.
bool IsBlank(char32_t c) {
  return c == 0 || c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r' ||
         u_charType(static_cast<UChar32>(c)) == U_SPACE_SEPARATOR;
}

// CommonMark 0.29 (Debian's cmark-gfm) counts Unicode punctuation (P*) as
// punctuation, 0.31 also symbols (S*). `orSymbol` asks for the wider reading,
// so that a run judged flanking is flanking under both.
bool IsPunctuation(char32_t c, bool orSymbol) {
  if (c < 0x80) return c != 0 && std::ispunct(static_cast<int>(c));
  switch (u_charType(static_cast<UChar32>(c))) {
    case U_DASH_PUNCTUATION:
    case U_START_PUNCTUATION:
    case U_END_PUNCTUATION:
    case U_CONNECTOR_PUNCTUATION:
    case U_OTHER_PUNCTUATION:
    case U_INITIAL_PUNCTUATION:
    case U_FINAL_PUNCTUATION:
      return true;
    case U_MATH_SYMBOL:
    case U_CURRENCY_SYMBOL:
    case U_MODIFIER_SYMBOL:
    case U_OTHER_SYMBOL:
      return orSymbol;
    default:
      return false;
  }
}

// Flanking as every reading has it ("surely") or as some reading may have it.
bool LeftFlankingSurely(char32_t before, char32_t after) {
  return !IsBlank(after) && (!IsPunctuation(after, true) || IsBlank(before) || IsPunctuation(before, false));
}
bool RightFlankingSurely(char32_t before, char32_t after) {
  return !IsBlank(before) && (!IsPunctuation(before, true) || IsBlank(after) || IsPunctuation(after, false));
}
bool LeftFlankingMaybe(char32_t before, char32_t after) {
  return !IsBlank(after) && (!IsPunctuation(after, false) || IsBlank(before) || IsPunctuation(before, true));
}
bool RightFlankingMaybe(char32_t before, char32_t after) {
  return !IsBlank(before) && (!IsPunctuation(before, false) || IsBlank(after) || IsPunctuation(after, true));
}

char32_t FirstCodePoint(const std::string& s) {
  if (s.empty()) return 0;
  const auto b = static_cast<unsigned char>(s[0]);
  if (b < 0x80) return b;
  const size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
  char32_t c = b & (0x3F >> (length - 1));
  for (size_t i = 1; i < length && i < s.size(); ++i) c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
  return c;
}

char32_t LastCodePoint(const std::string& s) {
  size_t start = s.size();
  while (start > 0 && (static_cast<unsigned char>(s[start - 1]) & 0xC0) == 0x80) --start;
  return start == 0 ? 0 : FirstCodePoint(s.substr(start - 1));
}

// ---- A paragraph as lines of pieces ----

struct Piece {
  enum class Kind { kText, kPicture };
  Kind kind = Kind::kText;
  std::string text;  // kText: readable, never a line end
  Mask mask = 0;
  std::string link;  // a target SafeHref allows; empty for none
  size_t picture = 0;
};
using Line = std::vector<Piece>;

std::string LineText(std::string_view text) {
  std::string readable = ReadableText(text);
  std::replace(readable.begin(), readable.end(), '\n', ' ');
  std::replace(readable.begin(), readable.end(), '\r', ' ');
  return readable;
}

// Splits at line breaks; a tab between two pieces of one link stays in it.
std::vector<Line> Lines(const std::vector<Inline>& inlines) {
  std::vector<Line> lines(1);
  std::string rawLink, safeLink;
  for (size_t i = 0; i < inlines.size(); ++i) {
    const Inline& in = inlines[i];
    if (in.kind == Inline::Kind::kLineBreak) {
      lines.emplace_back();
      continue;
    }
    Piece piece;
    if (in.kind == Inline::Kind::kPicture) {
      piece.kind = Piece::Kind::kPicture;
      piece.picture = in.picture;
    } else if (in.kind == Inline::Kind::kTab) {
      piece.text = "\t";
      const Line& line = lines.back();
      if (!line.empty() && i + 1 < inlines.size() && inlines[i + 1].style.link == rawLink) piece.link = line.back().link;
    } else {
      if (in.style.link != rawLink) {
        rawLink = in.style.link;
        safeLink = rawLink.empty() ? std::string() : SafeHref(rawLink);
      }
      piece.link = safeLink;
      piece.text = LineText(in.text);
      // Links are underlined by the application that shows them.
      for (size_t e = 0; e < kEmphasisCount; ++e)
        if (in.style.*kEmphasis[e].flag && !(kEmphasis[e].flag == &rtf::TextStyle::underline && !piece.link.empty()))
          piece.mask |= Bit(e);
    }
    Line& line = lines.back();
    if (piece.kind == Piece::Kind::kText && !line.empty() && line.back().kind == Piece::Kind::kText &&
        line.back().mask == piece.mask && line.back().link == piece.link)
      line.back().text += piece.text;
    else if (piece.kind == Piece::Kind::kPicture || !piece.text.empty())
      line.push_back(std::move(piece));
  }
  return lines;
}

// Drops the blanks at both ends of a line, and pieces left empty.
void TrimLine(Line& line) {
  constexpr char kBlanks[] = " \t";
  size_t first = 0;
  for (; first < line.size() && line[first].kind == Piece::Kind::kText; ++first) {
    std::string& text = line[first].text;
    text.erase(0, std::min(text.size(), text.find_first_not_of(kBlanks)));
    if (!text.empty()) break;
  }
  line.erase(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(first));
  while (!line.empty() && line.back().kind == Piece::Kind::kText) {
    std::string& text = line.back().text;
    const size_t last = text.find_last_not_of(kBlanks);
    text.resize(last == std::string::npos ? 0 : last + 1);
    if (!text.empty()) break;
    line.pop_back();
  }
}

// ---- Emphasis in a run of text pieces: delimiters where they hold, else tags ----

class EmphasisWriter {
 public:
  // `before` and `after`: the characters written around the run (0: none).
  EmphasisWriter(char32_t before, char32_t after) : before_(before), after_(after) {}

  // Adds text with the styles of `mask`; blanks at its ends take only the
  // styles it shares with its neighbours, so that markers touch text.
  void Add(const Piece* begin, const Piece* end, bool startsLine) {
    for (const Piece* piece = begin; piece != end; ++piece) {
      const Piece& p = *piece;
      const Mask previous = piece != begin ? piece[-1].mask : 0;
      const Mask next = piece + 1 != end ? piece[1].mask : 0;
      const size_t first = p.text.find_first_not_of(" \t");
      if (first == std::string::npos) {
        AddUnit(p.text, p.mask & previous & next);
        continue;
      }
      const size_t last = p.text.find_last_not_of(" \t");
      AddUnit(p.text.substr(0, first), p.mask & previous);
      AddUnit(p.text.substr(first, last - first + 1), p.mask);
      AddUnit(p.text.substr(last + 1), p.mask & next);
    }
    if (startsLine && !units_.empty()) units_.front().escaped = EscapeMarkdownLineStart(units_.front().escaped);
  }

  std::string Write() {
    BuildTokens();
    // Each pass only turns delimiters into tags; a change rarely reaches a
    // third run, and tags alone are always right, so a few passes bound the
    // cost on any input.
    constexpr int kMaxPasses = 8;
    for (int pass = 0; DropUnflankedDelimiters(); ++pass)
      if (pass == kMaxPasses)
        for (Span& span : spans_) span.delimited = false;
    std::string out;
    for (const Token& t : tokens_) out += Output(t);
    return out;
  }

 private:
  struct Unit {
    std::string escaped;
    Mask mask;
  };
  struct Token {
    enum class Kind { kText, kOpen, kClose };
    Kind kind;
    size_t index;  // kText: into units_; else into spans_
  };
  struct Span {
    size_t emphasis;
    size_t open = 0, close = 0;  // token indexes
    bool delimited;
  };
  // Consecutive delimiters of one character: CommonMark reads them as one run.
  struct Run {
    char character;
    size_t length = 0;
    bool opens = false, closes = false;
    char32_t before = 0, after = 0;
  };

  void AddUnit(const std::string& text, Mask mask) {
    if (text.empty()) return;
    if (!units_.empty() && units_.back().mask == mask) {
      units_.back().escaped += EscapeMarkdownText(text);
      return;
    }
    units_.push_back({EscapeMarkdownText(text), mask});
  }

  // Opens and closes styles as a stack: a style that lasts longer opens first.
  void BuildTokens() {
    std::vector<std::array<size_t, kEmphasisCount>> remaining(units_.size() + 1);
    remaining.back().fill(0);
    for (size_t u = units_.size(); u-- > 0;)
      for (size_t e = 0; e < kEmphasisCount; ++e)
        remaining[u][e] = (units_[u].mask & Bit(e)) ? remaining[u + 1][e] + 1 : 0;
    std::vector<size_t> stack;  // open spans, outermost first
    for (size_t u = 0; u <= units_.size(); ++u) {
      const Mask wanted = u < units_.size() ? units_[u].mask : 0;
      size_t keep = 0;
      while (keep < stack.size() && (wanted & Bit(spans_[stack[keep]].emphasis))) ++keep;
      while (stack.size() > keep) {
        spans_[stack.back()].close = tokens_.size();
        tokens_.push_back({Token::Kind::kClose, stack.back()});
        stack.pop_back();
      }
      if (u == units_.size()) break;
      Mask open = 0;
      for (const size_t s : stack) open |= Bit(spans_[s].emphasis);
      std::vector<size_t> starting;
      for (size_t e = 0; e < kEmphasisCount; ++e)
        if ((wanted & ~open) & Bit(e)) starting.push_back(e);
      std::stable_sort(starting.begin(), starting.end(),
                       [&](size_t a, size_t b) { return remaining[u][a] > remaining[u][b]; });
      for (const size_t e : starting) {
        stack.push_back(spans_.size());
        spans_.push_back({e, tokens_.size(), 0, kEmphasis[e].delimiter != nullptr});
        tokens_.push_back({Token::Kind::kOpen, stack.back()});
      }
      tokens_.push_back({Token::Kind::kText, u});
    }
  }

  bool IsDelimiter(const Token& t) const { return t.kind != Token::Kind::kText && spans_[t.index].delimited; }

  std::string Output(const Token& t) const {
    if (t.kind == Token::Kind::kText) return units_[t.index].escaped;
    const Emphasis& e = kEmphasis[spans_[t.index].emphasis];
    if (spans_[t.index].delimited) return e.delimiter;
    return t.kind == Token::Kind::kOpen ? e.openTag : e.closeTag;
  }

  // Turns into tags the delimiters that would not open or close where their
  // style does; true when any changed (the neighbours of others then change).
  bool DropUnflankedDelimiters() {
    std::vector<Run> runs;
    std::vector<size_t> runOf(tokens_.size(), 0);
    for (size_t t = 0; t < tokens_.size(); ++t) {
      if (!IsDelimiter(tokens_[t])) continue;
      const char c = kEmphasis[spans_[tokens_[t].index].emphasis].delimiter[0];
      if (t == 0 || !IsDelimiter(tokens_[t - 1]) || runs.back().character != c) {
        runs.push_back({c});
        runs.back().before = t == 0 ? before_ : LastCodePoint(Output(tokens_[t - 1]));
      }
      Run& run = runs.back();
      run.length += std::strlen(kEmphasis[spans_[tokens_[t].index].emphasis].delimiter);
      (tokens_[t].kind == Token::Kind::kOpen ? run.opens : run.closes) = true;
      run.after = t + 1 == tokens_.size() ? after_ : FirstCodePoint(Output(tokens_[t + 1]));
      runOf[t] = runs.size() - 1;
    }
    // A run that both closes and opens is read as one: its openers become
    // tags first, which leaves its closers a run of their own.
    bool changed = false;
    for (Span& span : spans_)
      if (span.delimited && runs[runOf[span.open]].closes) {
        span.delimited = false;
        changed = true;
      }
    if (changed) return true;
    for (Span& span : spans_) {
      if (!span.delimited) continue;
      const Run& o = runs[runOf[span.open]];
      const Run& c = runs[runOf[span.close]];
      bool holds = LeftFlankingSurely(o.before, o.after) && RightFlankingSurely(c.before, c.after);
      // A run that may both open and close pairs only when the lengths of
      // both runs do not add up to a multiple of three (CommonMark's rule 9).
      if (holds && o.character == '*' &&
          (RightFlankingMaybe(o.before, o.after) || LeftFlankingMaybe(c.before, c.after)) &&
          (o.length + c.length) % 3 == 0 && !(o.length % 3 == 0 && c.length % 3 == 0))
        holds = false;
      if (!holds) {
        span.delimited = false;
        changed = true;
      }
    }
    return changed;
  }

  char32_t before_, after_;
  std::vector<Unit> units_;
  std::vector<Token> tokens_;
  std::vector<Span> spans_;
};

// An "!" just before a link would make it a picture.
void EscapeBangBeforeLink(std::string& out) {
  if (!out.empty() && out.back() == '!') out.insert(out.size() - 1, 1, '\\');
}

std::string WriteLine(const Line& line, const MarkdownInlineContext& context) {
  std::string out;
  bool startsLine = true;
  for (size_t i = 0; i < line.size();) {
    if (line[i].kind == Piece::Kind::kPicture) {
      const std::string picture = context.picture(line[i].picture);
      if (!picture.empty() && picture[0] == '[') EscapeBangBeforeLink(out);
      out += picture;
      startsLine = false;
      ++i;
      continue;
    }
    size_t j = i;
    while (j < line.size() && line[j].kind == Piece::Kind::kText && line[j].link == line[i].link) ++j;
    const std::string& link = line[i].link;
    char32_t after = 0;
    if (!link.empty()) {
      after = ']';
      EscapeBangBeforeLink(out);
      out += '[';
    } else if (j < line.size()) {
      after = line[j].kind == Piece::Kind::kText ? '[' : FirstCodePoint(context.picture(line[j].picture));
    }
    if (j == i + 1 && line[i].mask == 0) {  // plain text, the common case
      const std::string escaped = EscapeMarkdownText(line[i].text);
      out += startsLine ? EscapeMarkdownLineStart(escaped) : escaped;
    } else {
      EmphasisWriter writer(LastCodePoint(out), after);
      writer.Add(line.data() + i, line.data() + j, startsLine);
      out += writer.Write();
    }
    if (!link.empty()) out += "](" + MarkdownUrl(link) + ")";
    startsLine = false;
    i = j;
  }
  return out;
}

}  // namespace

std::string MarkdownInlines(const std::vector<Inline>& inlines, const MarkdownInlineContext& context) {
  std::vector<Line> lines = Lines(inlines);
  for (Line& line : lines) TrimLine(line);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  std::string out;
  for (size_t l = 0; l < lines.size(); ++l) {
    if (l > 0) out += context.lineBreak;
    out += WriteLine(lines[l], context);
  }
  return out;
}
