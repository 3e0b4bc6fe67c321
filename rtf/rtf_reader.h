// RtfReader: reads RTF 1.x text into a Document in one pass over the input.
//
// Written for this project because no Debian library reads RTF with each
// font's own code page: RichEdit text stores \'xx bytes in the code page of
// the font's \fcharset (or \cpg), and double-byte pages split characters over
// two escapes. Decoding goes through platform/code_page.h.
//
// The content reaches the reader as UTF-8 (the plug-in converts it), so text
// written unescaped is Unicode already; only text that is no valid UTF-8 (RTF
// from elsewhere, 8-bit as RTF defines it) is read in the font's code page.
// The symbol fonts' bytes and private-use characters become the characters
// they draw (symbol_fonts.h).
//
// The reader keeps an explicit stack of group states (no recursion on the
// input's nesting) and bounds everything it holds by the input's size: groups
// nested deeper than kMaxGroupDepth share the state of the deepest one, the
// font table and the style sheet hold at most kMaxFonts fonts and kMaxStyles
// styles, each name at most kMaxNameLength bytes. Malformed input never fails: the
// end of input closes every open group, text after the outermost group is
// ignored, a cut-off escape gives nothing, an over-long \bin takes the rest.
//
// A reader is used for one document and owns nothing after Read() returns.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "rtf/bitmap_file.h"
#include "rtf/control_words.h"
#include "rtf/document.h"
#include "rtf/document_builder.h"
#include "rtf/rtf_tokenizer.h"
#include "rtf/symbol_fonts.h"
#include "rtf/text_decoder.h"

namespace rtf {

// True when `content` is RTF (starts with "{\rtf"); anything else is plain text.
bool IsRtf(std::string_view content);

// Reads `content`: RTF into its document; plain text into one paragraph per
// line, kept as it is.
Document ReadDocument(std::string_view content);

class RtfReader {
 public:
  static constexpr size_t kMaxGroupDepth = 1u << 17;
  static constexpr size_t kMaxFonts = 4096;
  static constexpr size_t kMaxStyles = 4096;
  static constexpr size_t kMaxNameLength = 256;  // of a font or style name

  explicit RtfReader(std::string_view rtf) : tokenizer_(rtf) {}
  Document Read();

 private:
  enum class Destination : uint8_t {
    kBody, kSkip, kFontTable, kStyleSheet, kFieldInstruction, kListMarker, kPicture, kObject
  };

  // Paragraph properties, until \pard.
  struct ParagraphFormat {
    int32_t style = 0;          // \sN
    int32_t outlineLevel = -1;  // \outlinelevelN, -1 when not given
    Alignment alignment = Alignment::kStart;
    bool rightToLeft = false;
  };

  struct GroupState {
    Destination destination = Destination::kBody;
    bool starred = false;      // "\*" seen, the destination word not yet
    bool hidden = false;       // \v
    bool inTable = false;      // \intbl
    bool ownsField = false;    // this group opened fields_.back()
    bool ownsPicture = false;  // this group opened picture_
    int32_t font = -1;         // -1: the document's \deff
    int32_t fontDefinition = -1;
    int32_t unicodeSkip = 1;   // \uc
    int32_t listLevel = 0;     // \ilvl
    int32_t styleDefinition = -1;  // in the style sheet: the style being defined
    TextStyle style;
    ParagraphFormat paragraph;
  };
  struct FontInfo {
    int32_t charset = -1;
    int32_t codePage = 0;  // \cpg, 0 when absent
    std::string name;
    bool named = false;    // the name's ";" was read
    SymbolFont symbol = SymbolFont::kNone;
  };
  struct StyleInfo {
    std::string name;
    bool named = false;
    int32_t outlineLevel = -1;
  };
  struct Field {
    std::string instruction;
  };
  struct PictureInProgress {
    Picture picture;
    bool known = false;
    bool packedBitmap = false;  // \dibitmap
    bool deviceBitmap = false;  // \wbitmap
    int32_t widthGoal = 0, heightGoal = 0, scaleX = 100, scaleY = 100;
    DeviceBitmap bitmap;        // \picw, \pich and the \wbitmap layout
    int nibble = -1;
  };

  void OpenGroup();
  void CloseGroup();
  void OnControlWord(const RtfToken& token);
  // The words of one kind each; true when the word was of that kind.
  bool OnDocumentWord(const ControlWordEntry& entry, const RtfToken& token, GroupState& s);
  bool OnCharacterWord(const ControlWordEntry& entry, const RtfToken& token, GroupState& s);
  bool OnParagraphWord(const ControlWordEntry& entry, const RtfToken& token, GroupState& s);
  bool OnPictureWord(const ControlWordEntry& entry, const RtfToken& token, GroupState& s);
  void OnControlSymbol(char symbol);
  bool TakesText() const;
  void OnText(std::string_view text);
  void OnBytes(std::string_view bytes);
  void OnName(std::string_view text);
  void OnPictureBytes(std::string_view hex, bool binary);
  void EmitUnicodeText(std::string_view utf8);
  void EndPicture();
  void OnUnicode(int32_t value);
  void Emit(std::string_view utf8);
  void EmitCharacter(char32_t c);
  void EndParagraph();
  void PrepareParagraph();
  int32_t HeadingLevel(const ParagraphFormat& format) const;
  void Flush();
  void FlushSurrogate();
  bool BeginDestination(const ControlWordEntry* entry);
  int32_t CurrentCodePage() const;
  SymbolFont CurrentSymbolFont() const;
  const FontInfo* CurrentFont() const;
  GroupState& State() { return stack_.back(); }

  RtfTokenizer tokenizer_;
  DocumentBuilder builder_;
  TextDecoder decoder_;
  std::vector<GroupState> stack_;
  size_t overflowDepth_ = 0;
  std::map<int32_t, FontInfo> fonts_;
  std::map<int32_t, StyleInfo> styles_;
  std::vector<Field> fields_;
  PictureInProgress picture_;
  std::string pending_;       // undecoded code-page bytes of the current text run
  char16_t highSurrogate_ = 0;
  int32_t skipCount_ = 0;     // \uc fallback characters still to skip
  int32_t ansiCodePage_ = 0;  // 0 until \ansicpg
  int32_t defaultFont_ = -1;  // \deff
};

}  // namespace rtf
