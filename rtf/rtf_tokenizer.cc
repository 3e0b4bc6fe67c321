#include "rtf/rtf_tokenizer.h"

#include <algorithm>

namespace rtf {
namespace {

// RTF control words are at most 32 letters; longer runs are cut there, and the
// rest reads as text, so a hostile input cannot make one token unbounded.
constexpr size_t kMaxWordLength = 32;
constexpr size_t kMaxParameterDigits = 10;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

RtfToken RtfTokenizer::Next() {
  while (pos_ < input_.size()) {
    const char c = input_[pos_];
    if (c == '\r' || c == '\n') {
      ++pos_;
      continue;
    }
    RtfToken token;
    if (c == '{') {
      ++pos_;
      token.kind = RtfToken::Kind::kGroupOpen;
      return token;
    }
    if (c == '}') {
      ++pos_;
      token.kind = RtfToken::Kind::kGroupClose;
      return token;
    }
    if (c == '\\') {
      token = ReadControl();
      if (token.kind == RtfToken::Kind::kEnd) continue;  // a cut-off or malformed escape
      return token;
    }
    const size_t start = pos_;
    while (pos_ < input_.size() && input_[pos_] != '{' && input_[pos_] != '}' && input_[pos_] != '\\' &&
           input_[pos_] != '\r' && input_[pos_] != '\n')
      ++pos_;
    token.kind = RtfToken::Kind::kText;
    token.word = input_.substr(start, pos_ - start);
    return token;
  }
  return RtfToken{};
}

RtfToken RtfTokenizer::ReadControl() {
  ++pos_;  // the backslash
  RtfToken token;
  if (pos_ >= input_.size()) return token;
  const char c = input_[pos_];
  if (IsLetter(c)) return ReadControlWord();
  ++pos_;
  if (c == '\'') {
    if (pos_ + 2 > input_.size()) {
      pos_ = input_.size();
      return token;
    }
    const int high = HexValue(input_[pos_]);
    const int low = HexValue(input_[pos_ + 1]);
    if (high < 0 || low < 0) return token;  // "\'" dropped, what follows reads on as usual
    pos_ += 2;
    token.kind = RtfToken::Kind::kHexByte;
    token.byte = static_cast<unsigned char>(high * 16 + low);
    return token;
  }
  token.kind = RtfToken::Kind::kControlSymbol;
  token.symbol = c == '\r' ? '\n' : c;  // "\<CR>" and "\<LF>" both mean \par
  return token;
}

RtfToken RtfTokenizer::ReadControlWord() {
  RtfToken token;
  token.kind = RtfToken::Kind::kControlWord;
  const size_t start = pos_;
  while (pos_ < input_.size() && IsLetter(input_[pos_]) && pos_ - start < kMaxWordLength) ++pos_;
  token.word = input_.substr(start, pos_ - start);

  bool negative = false;
  if (pos_ + 1 < input_.size() && input_[pos_] == '-' && IsDigit(input_[pos_ + 1])) {
    negative = true;
    ++pos_;
  }
  if (pos_ < input_.size() && IsDigit(input_[pos_])) {
    int64_t value = 0;
    size_t digits = 0;
    while (pos_ < input_.size() && IsDigit(input_[pos_])) {
      if (digits++ < kMaxParameterDigits) value = value * 10 + (input_[pos_] - '0');
      ++pos_;
    }
    if (negative) value = -value;
    token.hasParameter = true;
    token.parameter = static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
  }
  if (pos_ < input_.size() && input_[pos_] == ' ') ++pos_;

  if (token.word == "bin") {
    const size_t length = token.hasParameter && token.parameter > 0 ? static_cast<size_t>(token.parameter) : 0;
    const size_t taken = std::min(length, input_.size() - pos_);
    token.kind = RtfToken::Kind::kBinary;
    token.word = input_.substr(pos_, taken);
    pos_ += taken;
  }
  return token;
}

}  // namespace rtf
