#include "rtf/rtf_reader.h"

#include <algorithm>
#include <utility>

#include "rtf/control_words.h"
#include "rtf/font_code_pages.h"
#include "rtf/hyperlink_target.h"
#include "runtime/utf8.h"

namespace rtf {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool On(const RtfToken& t) { return !t.hasParameter || t.parameter != 0; }

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The heading level a style's name gives: N for "heading N" (as Word and
// LibreOffice name them, in any case; "heading 1,h1" lists aliases), else 0.
int32_t HeadingLevelOfName(std::string_view name) {
  name = name.substr(0, name.find(','));
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  static constexpr std::string_view kPrefix = "heading ";
  if (name.size() != kPrefix.size() + 1) return 0;
  for (size_t i = 0; i < kPrefix.size(); ++i)
    if ((name[i] | 0x20) != kPrefix[i]) return 0;
  const char digit = name.back();
  return digit >= '1' && digit <= '9' ? digit - '0' : 0;
}

// The heading level of \outlinelevelN: 0 to 8 are headings 1 to 9; 9 and
// above are body text.
int32_t HeadingLevelOfOutline(int32_t outlineLevel) { return outlineLevel >= 0 && outlineLevel <= 8 ? outlineLevel + 1 : 0; }

// Twips from \picw or \pich: pixels for Windows bitmaps, hundredths of a
// millimetre for metafiles. PNG and JPEG writers disagree on the unit, so
// those keep their own size (0: unknown).
int32_t TwipsOfExtent(int32_t extent, PictureKind kind) {
  if (extent <= 0) return 0;
  if (kind == PictureKind::kWmf || kind == PictureKind::kEmf) return static_cast<int32_t>(int64_t(extent) * 1440 / 2540);
  if (kind == PictureKind::kBmp || kind == PictureKind::kBitmap)
    return static_cast<int32_t>(std::min<int64_t>(int64_t(extent) * 15, INT32_MAX));
  return 0;
}

}  // namespace

bool IsRtf(std::string_view content) { return content.substr(0, 5) == "{\\rtf"; }

Document ReadDocument(std::string_view content) {
  if (IsRtf(content)) return RtfReader(content).Read();
  DocumentBuilder builder;
  size_t start = 0;
  while (start < content.size()) {  // a final line end ends the last line, it starts none
    size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    builder.AddText(line, TextStyle{});
    builder.EndParagraph(false);
    start = end + 1;
  }
  return builder.Take();
}

Document RtfReader::Read() {
  bool started = false;
  for (;;) {
    const RtfToken token = tokenizer_.Next();
    if (token.kind == RtfToken::Kind::kEnd) break;
    if (token.kind == RtfToken::Kind::kGroupOpen) {
      skipCount_ = 0;
      Flush();
      OpenGroup();
      started = true;
      continue;
    }
    if (token.kind == RtfToken::Kind::kGroupClose) {
      skipCount_ = 0;
      Flush();
      CloseGroup();
      if (stack_.empty()) break;  // the outermost group is closed: the rest is ignored
      continue;
    }
    if (!started) continue;  // only text before the first "{": nothing of the document
    if (skipCount_ > 0) {    // \uc fallback: each character, escape, word or symbol counts one
      if (token.kind == RtfToken::Kind::kText) {
        // A character is one UTF-8 sequence: its lead byte and the continuation bytes after it.
        const std::string_view text = token.word;
        size_t skipped = 0;
        while (skipCount_ > 0 && skipped < text.size()) {
          ++skipped;
          while (skipped < text.size() && (static_cast<unsigned char>(text[skipped]) & 0xC0) == 0x80) ++skipped;
          --skipCount_;
        }
        if (skipped < text.size()) OnText(text.substr(skipped));
      } else {
        --skipCount_;
      }
      continue;
    }
    switch (token.kind) {
      case RtfToken::Kind::kText:
        OnText(token.word);
        break;
      case RtfToken::Kind::kHexByte:
        OnBytes(std::string_view(reinterpret_cast<const char*>(&token.byte), 1));
        break;
      case RtfToken::Kind::kBinary:
        Flush();
        if (State().destination == Destination::kPicture) OnPictureBytes(token.word, true);
        break;
      case RtfToken::Kind::kControlWord:
        OnControlWord(token);
        break;
      case RtfToken::Kind::kControlSymbol:
        OnControlSymbol(token.symbol);
        break;
      default:
        break;
    }
  }
  Flush();
  FlushSurrogate();
  while (!stack_.empty()) CloseGroup();
  return builder_.Take();
}

void RtfReader::OpenGroup() {
  if (stack_.size() >= kMaxGroupDepth) {
    ++overflowDepth_;
    return;
  }
  if (stack_.empty()) {
    stack_.emplace_back();
    return;
  }
  GroupState inner = State();
  inner.starred = false;
  inner.ownsField = false;
  inner.ownsPicture = false;
  if (inner.destination == Destination::kStyleSheet) inner.styleDefinition = 0;  // an entry without \s is style 0
  stack_.push_back(std::move(inner));
}

void RtfReader::CloseGroup() {
  if (overflowDepth_ > 0) {
    --overflowDepth_;
    return;
  }
  if (stack_.empty()) return;
  Flush();
  FlushSurrogate();
  const GroupState closed = std::move(stack_.back());
  stack_.pop_back();
  if (closed.ownsField && !fields_.empty()) fields_.pop_back();
  if (closed.ownsPicture) EndPicture();
}

void RtfReader::EndPicture() {
  PictureInProgress done = std::move(picture_);
  picture_ = PictureInProgress{};
  if (!done.known || done.picture.bytes.empty()) return;
  if (stack_.empty() || stack_.back().destination != Destination::kBody || stack_.back().hidden) return;
  Picture& p = done.picture;
  if (done.packedBitmap || done.deviceBitmap) {
    std::string bmp = done.packedBitmap ? BmpFromPackedDib(p.bytes) : BmpFromDeviceBitmap(done.bitmap, p.bytes);
    p.kind = bmp.empty() ? PictureKind::kBitmap : PictureKind::kBmp;
    if (!bmp.empty()) p.bytes = std::move(bmp);
  }
  // The size it is shown at: \picwgoal, else \picw, scaled by \picscalex.
  const int64_t width = done.widthGoal > 0 ? done.widthGoal : TwipsOfExtent(done.bitmap.width, p.kind);
  const int64_t height = done.heightGoal > 0 ? done.heightGoal : TwipsOfExtent(done.bitmap.height, p.kind);
  p.widthTwips = static_cast<int32_t>(std::min<int64_t>(width * done.scaleX / 100, INT32_MAX));
  p.heightTwips = static_cast<int32_t>(std::min<int64_t>(height * done.scaleY / 100, INT32_MAX));
  builder_.AddPicture(std::move(p), stack_.back().style);
}

// `entry`: null for a word the reader does not know.
bool RtfReader::BeginDestination(const ControlWordEntry* entry) {
  GroupState& s = State();
  const bool starred = s.starred;
  s.starred = false;
  if (!entry) {
    if (starred) s.destination = Destination::kSkip;
    return starred;
  }
  const ControlWord w = entry->word;
  if (starred && !UnderstoodStarred(w)) {
    s.destination = Destination::kSkip;
    return true;
  }
  if (s.destination == Destination::kSkip) return true;
  switch (w) {
    case ControlWord::kFontTable:
      s.destination = Destination::kFontTable;
      return true;
    case ControlWord::kStyleSheet:
      s.destination = Destination::kStyleSheet;
      s.styleDefinition = -1;
      return true;
    case ControlWord::kSkipped:
      s.destination = Destination::kSkip;
      return true;
    case ControlWord::kObject:
      s.destination = Destination::kObject;
      return true;
    case ControlWord::kResult:
      if (s.destination == Destination::kObject) s.destination = Destination::kBody;
      return true;
    case ControlWord::kPicture:
      if (s.destination == Destination::kBody || s.destination == Destination::kObject) {
        s.destination = Destination::kPicture;
        s.ownsPicture = true;
        picture_ = PictureInProgress{};
      } else {
        s.destination = Destination::kSkip;
      }
      return true;
    case ControlWord::kListMarker:
      s.destination = s.destination == Destination::kBody ? Destination::kListMarker : Destination::kSkip;
      builder_.SetListLevel(s.listLevel);
      return true;
    case ControlWord::kField:
      if (!s.ownsField) {
        fields_.emplace_back();
        s.ownsField = true;
      }
      return true;
    case ControlWord::kFieldInstruction:
      s.destination = fields_.empty() ? Destination::kSkip : Destination::kFieldInstruction;
      if (!fields_.empty()) fields_.back().instruction.clear();
      return true;
    case ControlWord::kFieldResult:
      if (!fields_.empty()) {
        const std::string target = HyperlinkTarget(fields_.back().instruction);
        if (!target.empty()) s.style.link = target;
      }
      return true;
    case ControlWord::kShapePicture:
      return true;
    default:
      return false;
  }
}

// Code pages, fonts and characters: true when `entry` is one of these.
bool RtfReader::OnDocumentWord(const ControlWordEntry& entry, const RtfToken& token, GroupState& s) {
  const int32_t n = token.parameter;
  switch (entry.word) {
    case ControlWord::kAnsiCodePage:
      if (token.hasParameter && n > 0) ansiCodePage_ = n;
      return true;
    case ControlWord::kMac:
      if (ansiCodePage_ == 0) ansiCodePage_ = 10000;
      return true;
    case ControlWord::kPc:
      if (ansiCodePage_ == 0) ansiCodePage_ = 437;
      return true;
    case ControlWord::kPca:
      if (ansiCodePage_ == 0) ansiCodePage_ = 850;
      return true;
    case ControlWord::kDefaultFont:
      if (token.hasParameter) defaultFont_ = n;
      return true;
    case ControlWord::kFont:
      if (!token.hasParameter) return true;
      if (s.destination == Destination::kFontTable) {
        s.fontDefinition = n;
        if (fonts_.size() < kMaxFonts) fonts_.emplace(n, FontInfo{});
      } else if (s.destination != Destination::kStyleSheet) {
        s.font = n;
      }
      return true;
    case ControlWord::kCharset:
    case ControlWord::kFontCodePage:
      if (s.destination == Destination::kFontTable && token.hasParameter) {
        const auto font = fonts_.find(s.fontDefinition);
        if (font == fonts_.end()) return true;
        if (entry.word == ControlWord::kCharset) font->second.charset = n;
        else font->second.codePage = n;
        font->second.symbol = SymbolFontOf(font->second.name, font->second.charset);
      }
      return true;
    case ControlWord::kUnicodeSkip:
      if (token.hasParameter) s.unicodeSkip = std::clamp(n, 0, 16);
      return true;
    case ControlWord::kUnicode:
      if (token.hasParameter) {
        OnUnicode(n);
        skipCount_ = State().unicodeSkip;
      }
      return true;
    case ControlWord::kCharacter:
      EmitCharacter(entry.character);
      return true;
    default:
      return false;
  }
}

// Character formatting of the group.
bool RtfReader::OnCharacterWord(const ControlWordEntry& entry, const RtfToken& token, GroupState& s) {
  const int32_t n = token.parameter;
  switch (entry.word) {
    case ControlWord::kBold:
      s.style.bold = On(token);
      return true;
    case ControlWord::kItalic:
      s.style.italic = On(token);
      return true;
    case ControlWord::kUnderline:
      s.style.underline = On(token);
      return true;
    case ControlWord::kUnderlineNone:
      s.style.underline = false;
      return true;
    case ControlWord::kStrike:
      s.style.strike = On(token);
      return true;
    case ControlWord::kPlain:
      s.style.bold = s.style.italic = s.style.underline = s.style.strike = false;
      s.style.superscript = s.style.subscript = s.style.rightToLeft = false;
      s.hidden = false;
      s.font = -1;
      return true;
    case ControlWord::kHidden:
      s.hidden = On(token);
      return true;
    case ControlWord::kSuperscript:
    case ControlWord::kSubscript:
    case ControlWord::kNoSuperSub:
    case ControlWord::kRaise:
    case ControlWord::kLower: {
      // \upN and \dnN raise or lower by N half-points (6 when N is not given); 0 is the baseline.
      const bool on = entry.word == ControlWord::kRaise || entry.word == ControlWord::kLower ? !token.hasParameter || n > 0
                                                                                               : On(token);
      const bool up = entry.word == ControlWord::kSuperscript || entry.word == ControlWord::kRaise;
      const bool down = entry.word == ControlWord::kSubscript || entry.word == ControlWord::kLower;
      s.style.superscript = on && up;
      s.style.subscript = on && down;
      return true;
    }
    case ControlWord::kRightToLeftText:
    case ControlWord::kLeftToRightText:
      s.style.rightToLeft = entry.word == ControlWord::kRightToLeftText;
      return true;
    default:
      return false;
  }
}

// Paragraph, line, table and style words.
bool RtfReader::OnParagraphWord(const ControlWordEntry& entry, const RtfToken& token, GroupState& s) {
  const int32_t n = token.parameter;
  switch (entry.word) {
    case ControlWord::kParagraph:
      EndParagraph();
      return true;
    case ControlWord::kLineBreak:
      FlushSurrogate();
      if (s.destination == Destination::kBody && !s.hidden) builder_.AddLineBreak();
      return true;
    case ControlWord::kTab:
      FlushSurrogate();
      if (s.destination == Destination::kListMarker) builder_.AddListMarker("\t");
      else if (s.destination == Destination::kBody && !s.hidden) builder_.AddTab();
      return true;
    case ControlWord::kCell:
      FlushSurrogate();
      if (s.destination == Destination::kBody) {
        PrepareParagraph();
        builder_.EndCell();
      }
      return true;
    case ControlWord::kRow:
      FlushSurrogate();
      if (s.destination == Destination::kBody) builder_.EndRow();
      return true;
    case ControlWord::kInTable:
      s.inTable = true;
      return true;
    case ControlWord::kParagraphDefault:
      s.inTable = false;
      s.listLevel = 0;
      s.paragraph = ParagraphFormat{};
      return true;
    case ControlWord::kListLevel:
      s.listLevel = std::clamp(n, 0, 8);
      return true;
    case ControlWord::kParagraphStyle:
      if (!token.hasParameter || n < 0) return true;
      if (s.destination != Destination::kStyleSheet) {
        s.paragraph.style = n;
      } else {
        s.styleDefinition = n;
        if (styles_.size() < kMaxStyles) styles_.emplace(n, StyleInfo{});
      }
      return true;
    case ControlWord::kOtherStyle:
      if (s.destination == Destination::kStyleSheet) s.styleDefinition = -1;  // character, section, table styles
      return true;
    case ControlWord::kOutlineLevel:
      if (!token.hasParameter) return true;
      if (s.destination != Destination::kStyleSheet) {
        s.paragraph.outlineLevel = n;
      } else if (const auto style = styles_.find(s.styleDefinition); style != styles_.end()) {
        style->second.outlineLevel = n;
      }
      return true;
    case ControlWord::kAlignment:
      s.paragraph.alignment = static_cast<Alignment>(entry.value);
      return true;
    case ControlWord::kRightToLeftParagraph:
    case ControlWord::kLeftToRightParagraph:
      s.paragraph.rightToLeft = entry.word == ControlWord::kRightToLeftParagraph;
      return true;
    default:
      return false;
  }
}

// A picture's kind and measures.
bool RtfReader::OnPictureWord(const ControlWordEntry& entry, const RtfToken& token, GroupState& s) {
  const int32_t n = token.parameter;
  switch (entry.word) {
    case ControlWord::kPng:
    case ControlWord::kJpeg:
    case ControlWord::kEmf:
    case ControlWord::kWmf:
    case ControlWord::kDib:
    case ControlWord::kDdb:
      if (s.destination == Destination::kPicture) {
        static const std::pair<ControlWord, PictureKind> kKinds[] = {
            {ControlWord::kPng, PictureKind::kPng}, {ControlWord::kJpeg, PictureKind::kJpeg},
            {ControlWord::kEmf, PictureKind::kEmf}, {ControlWord::kWmf, PictureKind::kWmf},
            {ControlWord::kDib, PictureKind::kBitmap}, {ControlWord::kDdb, PictureKind::kBitmap}};
        for (const auto& [word, kind] : kKinds)
          if (word == entry.word) picture_.picture.kind = kind;
        picture_.packedBitmap = entry.word == ControlWord::kDib;
        picture_.deviceBitmap = entry.word == ControlWord::kDdb;
        picture_.known = true;
      }
      return true;
    case ControlWord::kPictureWidth:
      picture_.bitmap.width = std::max(n, 0);
      return true;
    case ControlWord::kPictureHeight:
      picture_.bitmap.height = std::max(n, 0);
      return true;
    case ControlWord::kBitsPerPixel:
      picture_.bitmap.bitsPerPixel = n;
      return true;
    case ControlWord::kPlanes:
      picture_.bitmap.planes = n;
      return true;
    case ControlWord::kWidthBytes:
      picture_.bitmap.widthBytes = std::max(n, 0);
      return true;
    case ControlWord::kWidthGoal:
      picture_.widthGoal = std::max(n, 0);
      return true;
    case ControlWord::kHeightGoal:
      picture_.heightGoal = std::max(n, 0);
      return true;
    case ControlWord::kScaleX:
      picture_.scaleX = std::clamp(n, 0, 10000);
      return true;
    case ControlWord::kScaleY:
      picture_.scaleY = std::clamp(n, 0, 10000);
      return true;
    default:
      return false;
  }
}

void RtfReader::OnControlWord(const RtfToken& token) {
  Flush();
  const ControlWordEntry* entry = FindControlWord(token.word);
  if (BeginDestination(entry)) return;
  GroupState& s = State();
  if (s.destination == Destination::kSkip || !entry) return;
  OnDocumentWord(*entry, token, s) || OnCharacterWord(*entry, token, s) || OnParagraphWord(*entry, token, s) ||
      OnPictureWord(*entry, token, s);
}

void RtfReader::OnControlSymbol(char symbol) {
  Flush();
  GroupState& s = State();
  switch (symbol) {
    case '*':
      s.starred = true;
      break;
    case '\n':
      EndParagraph();
      break;
    case '~':
      EmitCharacter(U'\u00A0');
      break;
    case '_':
      EmitCharacter(U'\u2011');
      break;
    case '{':
    case '}':
    case '\\':
      OnText(std::string_view(&symbol, 1));
      break;
    default:
      break;  // "\-" (optional hyphen), "\:", "\|" and unknown symbols show nothing
  }
}

// Whether the current destination keeps text: the body (unless hidden), a
// list marker, a field instruction.
bool RtfReader::TakesText() const {
  const GroupState& s = stack_.back();
  return (s.destination == Destination::kBody && !s.hidden) || s.destination == Destination::kListMarker ||
         s.destination == Destination::kFieldInstruction;
}

// Text as written in the RTF: UTF-8, as the content reached the reader.
void RtfReader::OnText(std::string_view text) {
  const Destination destination = State().destination;
  if (destination == Destination::kPicture) return OnPictureBytes(text, false);
  if (destination == Destination::kFontTable || destination == Destination::kStyleSheet) return OnName(text);
  if (!TakesText()) return;
  if (!pending_.empty()) {
    // ASCII after \'xx escapes continues their bytes: it may be the trail
    // byte of a double-byte character ("\'c1c" is one Big5 character).
    size_t ascii = 0;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
    pending_.append(text.substr(0, ascii));
    text.remove_prefix(ascii);
    if (text.empty()) return;
  }
  if (IsAscii(text) && CurrentSymbolFont() == SymbolFont::kNone) {
    Flush();
    FlushSurrogate();
    Emit(text);
    return;
  }
  if (ToUtf8(FromUtf8(text)) != text) {
    OnBytes(text);  // no UTF-8: 8-bit text in the font's code page
    return;
  }
  Flush();
  EmitUnicodeText(text);
}

// \'xx: a byte in the current font's code page.
void RtfReader::OnBytes(std::string_view bytes) {
  if (State().destination == Destination::kPicture) return OnPictureBytes(bytes, false);
  if (!TakesText()) return;
  FlushSurrogate();
  pending_.append(bytes);
}

// Font and style names: "Arial;" in the font table, "heading 1;" in the style sheet.
void RtfReader::OnName(std::string_view text) {
  const GroupState& s = State();
  const bool font = s.destination == Destination::kFontTable;
  const auto fontFound = fonts_.find(s.fontDefinition);
  const auto styleFound = styles_.find(s.styleDefinition);
  if (font ? fontFound == fonts_.end() : styleFound == styles_.end()) return;
  std::string& name = font ? fontFound->second.name : styleFound->second.name;
  bool& named = font ? fontFound->second.named : styleFound->second.named;
  if (named) return;
  const size_t end = text.find(';');
  name.append(text.substr(0, std::min(end, kMaxNameLength - std::min(name.size(), kMaxNameLength))));
  if (end == std::string_view::npos) return;
  named = true;
  if (font) fontFound->second.symbol = SymbolFontOf(name, fontFound->second.charset);
}

void RtfReader::OnPictureBytes(std::string_view data, bool binary) {
  std::string& bytes = picture_.picture.bytes;
  if (binary) {
    picture_.nibble = -1;
    bytes.append(data);
    return;
  }
  for (const char c : data) {
    const int v = HexValue(c);
    if (v < 0) continue;
    if (picture_.nibble < 0) {
      picture_.nibble = v;
    } else {
      bytes += static_cast<char>(picture_.nibble * 16 + v);
      picture_.nibble = -1;
    }
  }
}

void RtfReader::OnUnicode(int32_t value) {
  if (value < 0) value += 65536;
  const char16_t unit = value >= 0 && value <= 0xFFFF ? static_cast<char16_t>(value) : u'\uFFFD';
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    FlushSurrogate();
    highSurrogate_ = unit;
    return;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_ != 0) {
    const char32_t c = 0x10000 + ((char32_t(highSurrogate_) - 0xD800) << 10) + (char32_t(unit) - 0xDC00);
    highSurrogate_ = 0;
    EmitCharacter(c);
    return;
  }
  EmitCharacter(unit);
}

void RtfReader::EmitCharacter(char32_t c) {
  FlushSurrogate();
  std::string utf8;
  AppendUtf8(DrawnCharacter(CurrentSymbolFont(), c), utf8);
  Emit(utf8);
}

// Valid UTF-8 text, each character as the current font draws it: in a symbol
// font, characters up to U+00FF are its bytes.
void RtfReader::EmitUnicodeText(std::string_view utf8) {
  FlushSurrogate();
  const SymbolFont font = CurrentSymbolFont();
  const UnicodeString units = FromUtf8(utf8);
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    AppendUtf8(font != SymbolFont::kNone && c < 0x100 ? SymbolFontCharacter(font, static_cast<unsigned char>(c))
                                                      : DrawnCharacter(font, c),
               out);
  }
  Emit(out);
}

void RtfReader::Emit(std::string_view utf8) {
  const GroupState& s = State();
  switch (s.destination) {
    case Destination::kBody:
      if (!s.hidden) builder_.AddText(utf8, s.style);
      break;
    case Destination::kListMarker:
      builder_.AddListMarker(utf8);
      break;
    case Destination::kFieldInstruction:
      if (!fields_.empty()) fields_.back().instruction.append(utf8);
      break;
    default:
      break;
  }
}

void RtfReader::EndParagraph() {
  FlushSurrogate();
  const GroupState& s = State();
  if (s.destination != Destination::kBody) return;
  PrepareParagraph();
  builder_.EndParagraph(s.inTable);
}

// Hands the paragraph properties in force to the paragraph about to end.
void RtfReader::PrepareParagraph() {
  const GroupState& s = State();
  builder_.SetListLevel(s.listLevel);
  builder_.SetLayout(HeadingLevel(s.paragraph), s.paragraph.alignment, s.paragraph.rightToLeft);
}

// \outlinelevel of the paragraph, else of its style, else its style's name.
int32_t RtfReader::HeadingLevel(const ParagraphFormat& format) const {
  if (format.outlineLevel >= 0) return HeadingLevelOfOutline(format.outlineLevel);
  const auto style = styles_.find(format.style);
  if (style == styles_.end()) return 0;
  if (style->second.outlineLevel >= 0) return HeadingLevelOfOutline(style->second.outlineLevel);
  return HeadingLevelOfName(style->second.name);
}

void RtfReader::Flush() {
  if (pending_.empty()) return;
  std::string utf8;
  const SymbolFont font = CurrentSymbolFont();
  if (font != SymbolFont::kNone) {
    for (const char b : pending_) AppendUtf8(SymbolFontCharacter(font, static_cast<unsigned char>(b)), utf8);
  } else {
    decoder_.Decode(CurrentCodePage(), pending_, utf8);
  }
  pending_.clear();
  Emit(utf8);
}

void RtfReader::FlushSurrogate() {
  if (highSurrogate_ == 0) return;
  highSurrogate_ = 0;
  EmitCharacter(U'\uFFFD');
}

const RtfReader::FontInfo* RtfReader::CurrentFont() const {
  if (stack_.empty()) return nullptr;
  const int32_t font = stack_.back().font >= 0 ? stack_.back().font : defaultFont_;
  const auto found = fonts_.find(font);
  return found == fonts_.end() ? nullptr : &found->second;
}

int32_t RtfReader::CurrentCodePage() const {
  const int32_t ansi = ansiCodePage_ > 0 ? ansiCodePage_ : kDefaultAnsiCodePage;
  const FontInfo* font = CurrentFont();
  if (!font) return ansi;
  if (font->codePage > 0) return font->codePage;
  if (font->charset >= 0) return CodePageForCharset(font->charset, ansi);
  return ansi;
}

SymbolFont RtfReader::CurrentSymbolFont() const {
  const FontInfo* font = CurrentFont();
  return font ? font->symbol : SymbolFont::kNone;
}

}  // namespace rtf
