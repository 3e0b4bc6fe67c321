#include "rtf/control_words.h"

#include <unordered_map>

#include "rtf/document.h"

namespace rtf {
namespace {

// Every control word the reader acts on; any other word is ignored.
const std::unordered_map<std::string_view, ControlWordEntry>& Words() {
  static const std::unordered_map<std::string_view, ControlWordEntry> table = {
      {"fonttbl", {ControlWord::kFontTable}},
      {"colortbl", {ControlWord::kSkipped}}, {"stylesheet", {ControlWord::kStyleSheet}}, {"info", {ControlWord::kSkipped}},
      {"header", {ControlWord::kSkipped}}, {"headerl", {ControlWord::kSkipped}}, {"headerr", {ControlWord::kSkipped}},
      {"headerf", {ControlWord::kSkipped}}, {"footer", {ControlWord::kSkipped}}, {"footerl", {ControlWord::kSkipped}},
      {"footerr", {ControlWord::kSkipped}}, {"footerf", {ControlWord::kSkipped}}, {"listtable", {ControlWord::kSkipped}},
      {"listoverridetable", {ControlWord::kSkipped}}, {"pn", {ControlWord::kSkipped}}, {"nonshppict", {ControlWord::kSkipped}},
      {"revtbl", {ControlWord::kSkipped}}, {"filetbl", {ControlWord::kSkipped}},
      {"object", {ControlWord::kObject}}, {"result", {ControlWord::kResult}},
      {"pict", {ControlWord::kPicture}},
      {"pntext", {ControlWord::kListMarker}}, {"listtext", {ControlWord::kListMarker}},
      {"field", {ControlWord::kField}}, {"fldinst", {ControlWord::kFieldInstruction}}, {"fldrslt", {ControlWord::kFieldResult}},
      {"shppict", {ControlWord::kShapePicture}},
      {"ansicpg", {ControlWord::kAnsiCodePage}}, {"mac", {ControlWord::kMac}}, {"pc", {ControlWord::kPc}}, {"pca", {ControlWord::kPca}},
      {"deff", {ControlWord::kDefaultFont}}, {"f", {ControlWord::kFont}}, {"fcharset", {ControlWord::kCharset}},
      {"cpg", {ControlWord::kFontCodePage}}, {"uc", {ControlWord::kUnicodeSkip}}, {"u", {ControlWord::kUnicode}},
      {"b", {ControlWord::kBold}}, {"i", {ControlWord::kItalic}},
      {"ul", {ControlWord::kUnderline}}, {"uld", {ControlWord::kUnderline}}, {"uldb", {ControlWord::kUnderline}},
      {"uldash", {ControlWord::kUnderline}}, {"ulw", {ControlWord::kUnderline}}, {"ulwave", {ControlWord::kUnderline}},
      {"ulth", {ControlWord::kUnderline}}, {"ulnone", {ControlWord::kUnderlineNone}},
      {"strike", {ControlWord::kStrike}}, {"striked", {ControlWord::kStrike}}, {"plain", {ControlWord::kPlain}}, {"v", {ControlWord::kHidden}},
      {"super", {ControlWord::kSuperscript}}, {"sub", {ControlWord::kSubscript}}, {"nosupersub", {ControlWord::kNoSuperSub}},
      {"up", {ControlWord::kRaise}}, {"dn", {ControlWord::kLower}},
      {"rtlch", {ControlWord::kRightToLeftText}}, {"ltrch", {ControlWord::kLeftToRightText}},
      {"par", {ControlWord::kParagraph}}, {"page", {ControlWord::kParagraph}}, {"sect", {ControlWord::kParagraph}},
      {"line", {ControlWord::kLineBreak}}, {"tab", {ControlWord::kTab}},
      {"cell", {ControlWord::kCell}}, {"nestcell", {ControlWord::kCell}}, {"row", {ControlWord::kRow}}, {"nestrow", {ControlWord::kRow}},
      {"intbl", {ControlWord::kInTable}}, {"pard", {ControlWord::kParagraphDefault}}, {"ilvl", {ControlWord::kListLevel}},
      {"s", {ControlWord::kParagraphStyle}}, {"cs", {ControlWord::kOtherStyle}}, {"ds", {ControlWord::kOtherStyle}},
      {"ts", {ControlWord::kOtherStyle}}, {"outlinelevel", {ControlWord::kOutlineLevel}},
      {"ql", {ControlWord::kAlignment, 0, int(Alignment::kStart)}}, {"qc", {ControlWord::kAlignment, 0, int(Alignment::kCenter)}},
      {"qr", {ControlWord::kAlignment, 0, int(Alignment::kEnd)}}, {"qj", {ControlWord::kAlignment, 0, int(Alignment::kJustify)}},
      {"rtlpar", {ControlWord::kRightToLeftParagraph}}, {"ltrpar", {ControlWord::kLeftToRightParagraph}},
      {"pngblip", {ControlWord::kPng}}, {"jpegblip", {ControlWord::kJpeg}}, {"emfblip", {ControlWord::kEmf}},
      {"wmetafile", {ControlWord::kWmf}}, {"dibitmap", {ControlWord::kDib}}, {"wbitmap", {ControlWord::kDdb}},
      {"picw", {ControlWord::kPictureWidth}}, {"pich", {ControlWord::kPictureHeight}},
      {"wbmbitspixel", {ControlWord::kBitsPerPixel}}, {"wbmplanes", {ControlWord::kPlanes}},
      {"wbmwidthbytes", {ControlWord::kWidthBytes}}, {"picwgoal", {ControlWord::kWidthGoal}}, {"pichgoal", {ControlWord::kHeightGoal}},
      {"picscalex", {ControlWord::kScaleX}}, {"picscaley", {ControlWord::kScaleY}},
      {"emdash", {ControlWord::kCharacter, U'\u2014'}}, {"endash", {ControlWord::kCharacter, U'\u2013'}},
      {"bullet", {ControlWord::kCharacter, U'\u2022'}}, {"lquote", {ControlWord::kCharacter, U'\u2018'}},
      {"rquote", {ControlWord::kCharacter, U'\u2019'}}, {"ldblquote", {ControlWord::kCharacter, U'\u201C'}},
      {"rdblquote", {ControlWord::kCharacter, U'\u201D'}}, {"emspace", {ControlWord::kCharacter, U'\u2003'}},
      {"enspace", {ControlWord::kCharacter, U'\u2002'}}, {"qmspace", {ControlWord::kCharacter, U'\u2005'}},
      {"zwj", {ControlWord::kCharacter, U'\u200D'}}, {"zwnj", {ControlWord::kCharacter, U'\u200C'}},
  };
  return table;
}

}  // namespace

const ControlWordEntry* FindControlWord(std::string_view word) {
  const auto found = Words().find(word);
  return found == Words().end() ? nullptr : &found->second;
}

bool UnderstoodStarred(ControlWord w) {
  return w == ControlWord::kFieldInstruction || w == ControlWord::kShapePicture || w == ControlWord::kPicture ||
         w == ControlWord::kListMarker || w == ControlWord::kFieldResult;
}

}  // namespace rtf
