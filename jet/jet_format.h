// The facts of the Jet file format that every part of the reader shares:
// page and column type numbers, where things lie in the two page layouts
// (Jet 3: 2 KB pages; Jet 4, also used by the Access 2007 to 2019 files:
// 4 KB pages), and the little-endian readers.
//
// Constants only; nothing here reads a file.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the readers copy the file's little-endian numbers as they are");

// A number of type T stored little-endian at `p` (any alignment). The hosts
// this is built for are little-endian, so this is one unaligned load.
template <typename T>
T JetReadLE(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
// The same at offset `at` of `bytes`; the caller has checked that it fits.
template <typename T>
T JetReadLE(std::string_view bytes, size_t at) {
  return JetReadLE<T>(bytes.data() + at);
}
// Byte `at` of `bytes` as a number (char may be signed).
inline uint8_t JetByte(std::string_view bytes, size_t at) { return static_cast<uint8_t>(bytes[at]); }
// The 24-bit numbers of long-value headers.
inline uint32_t JetReadU24(const void* p) { return JetReadLE<uint32_t>(p) & 0x00FFFFFF; }

// Page types (byte 0 of a page).
constexpr uint8_t kJetDataPage = 0x01;             // rows of a table, or long values ("LVAL")
constexpr uint8_t kJetTableDefinitionPage = 0x02;
constexpr uint8_t kJetUsageMapPage = 0x05;         // the bitmap pages of an indirect usage map
constexpr uint8_t kJetLastPageType = 0x05;         // 0x03 and 0x04 are index pages

// A table definition continues on further pages: each names the next at
// this offset (0 at the last), and a further page's bytes count from the
// second offset on.
constexpr size_t kJetDefinitionNextPage = 4;
constexpr size_t kJetDefinitionContinuation = 8;

// The flags in the top bits of a row offset.
constexpr uint16_t kJetRowOffsetMask = 0x1FFF;
// A row holding only the pointer (page << 8 | row) to the row that holds the
// record, which Access moved there when it grew out of its page.
constexpr uint16_t kJetRowOverflowPointer = 0x4000;
// Passed over by a scan: the target of an overflow pointer (read through the
// pointer), or with the flag above a deleted row.
constexpr uint16_t kJetRowSkipped = 0x8000;

// A page pointer: the page number in the upper 24 bits, the row in the lowest 8.
inline uint32_t JetPointerPage(uint32_t pointer) { return pointer >> 8; }
inline uint32_t JetPointerRow(uint32_t pointer) { return pointer & 0xFF; }
// The pointer to row `row` (at most 0xFF, all a pointer can name) of `page`.
inline uint32_t JetPointerTo(uint32_t page, unsigned row) { return page << 8 | row; }

// Column type numbers stored in table definitions.
enum JetColumnType : int {
  kJetBoolean = 0x01,
  kJetByte = 0x02,
  kJetInteger = 0x03,
  kJetLong = 0x04,
  kJetCurrency = 0x05,
  kJetSingle = 0x06,
  kJetDouble = 0x07,
  kJetDateTime = 0x08,
  kJetBinary = 0x09,
  kJetText = 0x0A,
  kJetOle = 0x0B,
  kJetMemo = 0x0C,
  kJetGuid = 0x0F,
  kJetNumeric = 0x10,           // Decimal
  kJetComplex = 0x12,           // attachment, multi-value and version-history columns (ACE)
  kJetBigInt = 0x13,            // Large Number (ACE)
  kJetDateTimeExtended = 0x14,  // Date/Time Extended (Access 2019 and later)
};

// Column flags (byte `columnFlags` of a column entry) and extra flags (Jet 4).
constexpr uint8_t kJetColumnFixed = 0x01;
constexpr uint8_t kJetColumnAutoLong = 0x04;    // an AutoNumber long integer (also set on complex columns)
constexpr uint8_t kJetColumnAutoGuid = 0x40;    // an AutoNumber replication id
constexpr uint8_t kJetColumnHyperlink = 0x80;   // a memo holding hyperlinks
constexpr uint8_t kJetColumnCompressedText = 0x01;  // extra flag
constexpr uint8_t kJetColumnCalculated = 0xC0;      // extra flags of a calculated column (Access 2010 and later)

// The 12-byte header of a memo or OLE cell: a 24-bit length, a flag byte,
// a page pointer and 4 bytes unused.
constexpr size_t kJetLongValueHeader = 12;
constexpr uint8_t kJetLongValueInline = 0x80;  // the value follows the header in the row
constexpr uint8_t kJetLongValueOneRow = 0x40;  // the value is one row of a long-value page
                                               // (neither flag: a chain of rows, each led by the next pointer)

// Where things lie in one page layout.
struct JetFormat {
  bool jet3;
  int pageSize;
  int headerMaskedLength;  // header bytes from 0x18 on masked with the header key
  int headerSortOrder;     // offset of the sort order in the unmasked header

  // Data pages: the row count, then one 2-byte offset per row.
  int rowCountOffset;
  int maxRowSize;
  int rowColumnCountSize;  // the column count that starts each row: 1 or 2 bytes

  // Table definitions (offsets into the definition, its continuation pages joined).
  int definitionRowCount;
  int definitionMaxColumns;       // columns a row may have, deleted ones included
  int definitionVariableColumns;
  int definitionColumnCount;
  int definitionRealIndexCount;
  int definitionUsedPagesMap;     // pointer to the usage-map row of the table's pages
  int definitionFirstRealIndex;   // the real-index entries, then the column entries
  int realIndexEntrySize;
  int columnEntrySize;
  int columnNameLengthSize;       // each name is this length, then the name's bytes

  // Offsets within a column entry.
  int columnNumber;
  int columnVariableIndex;
  int columnPrecision;  // Decimal (Jet 4)
  int columnScale;
  int columnComplexId;  // complex columns (Jet 4): 4 bytes
  int columnFlags;
  int columnExtraFlags;  // -1: Jet 3 has none
  int columnFixedOffset;
  int columnSize;
};

extern const JetFormat kJet3Format;
extern const JetFormat kJet4Format;
