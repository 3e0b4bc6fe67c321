// Layout constants of the two Jet file formats the writer produces.
#pragma once

#include <cstdint>

#include "tools/accessdb/column.h"

namespace accessdb {

struct JetFormat {
  Format format;
  int page_size;
  int data_row_count_offset;  // data page: row count, then the row offsets
  int max_row_size;           // largest table row Access accepts
  int max_long_value_row;     // largest row on a long-value page
  int usage_map_row_size;     // inline map: type, start page, bitmap; reference: type, page list
  int usage_map_pages;        // page numbers in a reference map row
  int tdef_header_size;       // table definition header before the column entries
  int column_entry_size;
  int name_length_size;       // 2 (Jet4, UCS-2 names) or 1 (Jet3, code page names)

  bool jet4() const { return format == Format::kJet4; }
  int data_page_header() const { return data_row_count_offset + 2; }
  // Bytes a data page offers to rows and their 2-byte offset entries.
  int data_page_space() const { return page_size - data_page_header(); }
  int inline_map_bits() const { return (usage_map_row_size - 5) * 8; }
  int map_page_bits() const { return (page_size - 4) * 8; }
};

const JetFormat& FormatConstants(Format format);

// Special page numbers.
constexpr std::uint32_t kGlobalUsageMapPage = 1;
constexpr std::uint32_t kCatalogPage = 2;  // MSysObjects' table definition

// Page types.
constexpr std::uint8_t kPageData = 0x01;
constexpr std::uint8_t kPageTableDefinition = 0x02;
constexpr std::uint8_t kPageUsageMap = 0x05;

// Long-value header flags (byte 3 of the 12-byte header in the row).
constexpr std::uint8_t kLongValueInline = 0x80;
constexpr std::uint8_t kLongValueOneRow = 0x40;
constexpr std::uint8_t kLongValueChain = 0x00;
constexpr int kLongValueHeaderSize = 12;
constexpr std::uint32_t kMaxLongValueLength = 0xFFFFFF;

constexpr int kMaxRowsPerPage = 255;  // row numbers are one byte in page pointers
constexpr int kMaxColumns = 255;      // readers take column numbers as one byte
constexpr int kMaxNameLength = 64;

}  // namespace accessdb
