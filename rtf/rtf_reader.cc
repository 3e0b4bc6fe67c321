#include "rtf/rtf_reader.h"

#include <algorithm>
#include <utility>

#include "rtf/control_words.h"
#include "rtf/font_code_pages.h"
#include "rtf/hyperlink_target.h"

namespace rtf {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool On(const RtfToken& t) { return !t.hasParameter || t.parameter != 0; }

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
    if (skipCount_ > 0) {    // \uc fallback: each escape, word or symbol counts one
      if (token.kind == RtfToken::Kind::kText) {
        const size_t skipped = std::min<size_t>(static_cast<size_t>(skipCount_), token.word.size());
        skipCount_ -= static_cast<int32_t>(skipped);
        if (skipped < token.word.size()) OnBytes(token.word.substr(skipped));
      } else {
        --skipCount_;
      }
      continue;
    }
    switch (token.kind) {
      case RtfToken::Kind::kText:
        OnBytes(token.word);
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
  if (closed.ownsPicture) {
    if (picture_.known && !picture_.picture.bytes.empty()) {
      Picture& p = picture_.picture;
      p.widthTwips = static_cast<int32_t>(int64_t(picture_.widthGoal) * picture_.scaleX / 100);
      p.heightTwips = static_cast<int32_t>(int64_t(picture_.heightGoal) * picture_.scaleY / 100);
      if (!stack_.empty() && stack_.back().destination == Destination::kBody && !stack_.back().hidden)
        builder_.AddPicture(std::move(p), stack_.back().style);
    }
    picture_ = PictureInProgress{};
  }
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

void RtfReader::OnControlWord(const RtfToken& token) {
  Flush();
  const ControlWordEntry* entry = FindControlWord(token.word);
  if (BeginDestination(entry)) return;
  GroupState& s = State();
  if (s.destination == Destination::kSkip || !entry) return;
  const int32_t n = token.parameter;
  switch (entry->word) {
    case ControlWord::kAnsiCodePage:
      if (token.hasParameter && n > 0) ansiCodePage_ = n;
      break;
    case ControlWord::kMac:
      if (ansiCodePage_ == 0) ansiCodePage_ = 10000;
      break;
    case ControlWord::kPc:
      if (ansiCodePage_ == 0) ansiCodePage_ = 437;
      break;
    case ControlWord::kPca:
      if (ansiCodePage_ == 0) ansiCodePage_ = 850;
      break;
    case ControlWord::kDefaultFont:
      if (token.hasParameter) defaultFont_ = n;
      break;
    case ControlWord::kFont:
      if (!token.hasParameter) break;
      if (s.destination == Destination::kFontTable) {
        s.fontDefinition = n;
        if (fonts_.size() < kMaxFonts) fonts_.emplace(n, FontInfo{});
      } else {
        s.font = n;
      }
      break;
    case ControlWord::kCharset:
    case ControlWord::kFontCodePage:
      if (s.destination == Destination::kFontTable && token.hasParameter) {
        const auto font = fonts_.find(s.fontDefinition);
        if (font == fonts_.end()) break;
        if (entry->word == ControlWord::kCharset) font->second.charset = n;
        else font->second.codePage = n;
      }
      break;
    case ControlWord::kUnicodeSkip:
      if (token.hasParameter) s.unicodeSkip = std::clamp(n, 0, 16);
      break;
    case ControlWord::kUnicode:
      if (token.hasParameter) {
        OnUnicode(n);
        skipCount_ = State().unicodeSkip;
      }
      break;
    case ControlWord::kBold:
      s.style.bold = On(token);
      break;
    case ControlWord::kItalic:
      s.style.italic = On(token);
      break;
    case ControlWord::kUnderline:
      s.style.underline = On(token);
      break;
    case ControlWord::kUnderlineNone:
      s.style.underline = false;
      break;
    case ControlWord::kStrike:
      s.style.strike = On(token);
      break;
    case ControlWord::kPlain:
      s.style.bold = s.style.italic = s.style.underline = s.style.strike = false;
      s.hidden = false;
      s.font = -1;
      break;
    case ControlWord::kHidden:
      s.hidden = On(token);
      break;
    case ControlWord::kParagraph:
      EndParagraph();
      break;
    case ControlWord::kLineBreak:
      FlushSurrogate();
      if (s.destination == Destination::kBody && !s.hidden) builder_.AddLineBreak();
      break;
    case ControlWord::kTab:
      FlushSurrogate();
      if (s.destination == Destination::kListMarker) builder_.AddListMarker("\t");
      else if (s.destination == Destination::kBody && !s.hidden) builder_.AddTab();
      break;
    case ControlWord::kCell:
      FlushSurrogate();
      if (s.destination == Destination::kBody) {
        builder_.SetListLevel(s.listLevel);
        builder_.EndCell();
      }
      break;
    case ControlWord::kRow:
      FlushSurrogate();
      if (s.destination == Destination::kBody) builder_.EndRow();
      break;
    case ControlWord::kInTable:
      s.inTable = true;
      break;
    case ControlWord::kParagraphDefault:
      s.inTable = false;
      s.listLevel = 0;
      break;
    case ControlWord::kListLevel:
      s.listLevel = std::clamp(n, 0, 8);
      break;
    case ControlWord::kPng:
    case ControlWord::kJpeg:
    case ControlWord::kEmf:
    case ControlWord::kWmf:
      if (s.destination == Destination::kPicture) {
        static const std::pair<ControlWord, PictureKind> kKinds[] = {
            {ControlWord::kPng, PictureKind::kPng}, {ControlWord::kJpeg, PictureKind::kJpeg},
            {ControlWord::kEmf, PictureKind::kEmf}, {ControlWord::kWmf, PictureKind::kWmf}};
        for (const auto& [word, kind] : kKinds)
          if (word == entry->word) picture_.picture.kind = kind;
        picture_.known = true;
      }
      break;
    case ControlWord::kWidthGoal:
      picture_.widthGoal = std::max(n, 0);
      break;
    case ControlWord::kHeightGoal:
      picture_.heightGoal = std::max(n, 0);
      break;
    case ControlWord::kScaleX:
      picture_.scaleX = std::clamp(n, 0, 10000);
      break;
    case ControlWord::kScaleY:
      picture_.scaleY = std::clamp(n, 0, 10000);
      break;
    case ControlWord::kCharacter:
      EmitCharacter(entry->character);
      break;
    default:
      break;
  }
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
      OnBytes(std::string_view(&symbol, 1));
      break;
    default:
      break;  // "\-" (optional hyphen), "\:", "\|" and unknown symbols show nothing
  }
}

void RtfReader::OnBytes(std::string_view bytes) {
  const GroupState& s = State();
  switch (s.destination) {
    case Destination::kPicture:
      OnPictureBytes(bytes, false);
      return;
    case Destination::kBody:
      if (s.hidden) return;
      break;
    case Destination::kListMarker:
    case Destination::kFieldInstruction:
      break;
    default:
      return;
  }
  FlushSurrogate();
  pending_.append(bytes);
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
  AppendUtf8(c, utf8);
  Emit(utf8);
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
  builder_.SetListLevel(s.listLevel);
  builder_.EndParagraph(s.inTable);
}

void RtfReader::Flush() {
  if (pending_.empty()) return;
  std::string utf8;
  decoder_.Decode(CurrentCodePage(), pending_, utf8);
  pending_.clear();
  Emit(utf8);
}

void RtfReader::FlushSurrogate() {
  if (highSurrogate_ == 0) return;
  highSurrogate_ = 0;
  EmitCharacter(U'\uFFFD');
}

int32_t RtfReader::CurrentCodePage() const {
  const int32_t ansi = ansiCodePage_ > 0 ? ansiCodePage_ : kDefaultAnsiCodePage;
  const int32_t font = stack_.back().font >= 0 ? stack_.back().font : defaultFont_;
  const auto found = fonts_.find(font);
  if (found == fonts_.end()) return ansi;
  if (found->second.codePage > 0) return found->second.codePage;
  if (found->second.charset >= 0) return CodePageForCharset(found->second.charset, ansi);
  return ansi;
}

}  // namespace rtf
