// The control words the RTF reader acts on, as a table from the word to
// what it means. Any word not in the table is ignored by the reader.
#pragma once

#include <string_view>

namespace rtf {

enum class ControlWord {
  // Destinations
  kFontTable, kStyleSheet, kSkipped, kObject, kResult, kPicture, kListMarker, kField, kFieldInstruction, kFieldResult, kShapePicture,
  // Document and fonts
  kAnsiCodePage, kMac, kPc, kPca, kDefaultFont, kFont, kCharset, kFontCodePage, kUnicodeSkip, kUnicode,
  // Character formatting
  kBold, kItalic, kUnderline, kUnderlineNone, kStrike, kPlain, kHidden,
  kSuperscript, kSubscript, kNoSuperSub, kRaise, kLower, kRightToLeftText, kLeftToRightText,
  // Paragraphs and tables
  kParagraph, kLineBreak, kTab, kCell, kRow, kInTable, kParagraphDefault, kListLevel,
  kParagraphStyle, kOtherStyle, kOutlineLevel, kAlignment, kRightToLeftParagraph, kLeftToRightParagraph,
  // Pictures
  kPng, kJpeg, kEmf, kWmf, kDib, kDdb, kWidthGoal, kHeightGoal, kScaleX, kScaleY,
  kPictureWidth, kPictureHeight, kBitsPerPixel, kPlanes, kWidthBytes,
  // Characters
  kCharacter,
};

struct ControlWordEntry {
  ControlWord word;
  char32_t character = 0;  // kCharacter: the character the word stands for
  int value = 0;           // kAlignment: the rtf::Alignment it sets
};

// The entry of `word`, or null when the reader does not know it.
const ControlWordEntry* FindControlWord(std::string_view word);

// Starred destinations the reader understands; other "{\\*\\word ...}" groups are skipped.
bool UnderstoodStarred(ControlWord word);

}  // namespace rtf
