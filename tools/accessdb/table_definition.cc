#include "tools/accessdb/table_definition.h"

#include <algorithm>
#include <stdexcept>

#include "tools/accessdb/page_file.h"
#include "tools/accessdb/text_codec.h"

namespace accessdb {
namespace {

constexpr std::uint32_t kMagicTableNumber = 1625;  // Access writes it in every Jet 4 definition
constexpr std::uint16_t kGeneralSortOrder = 0x0409;
constexpr std::uint8_t kFlagFixed = 0x01;
constexpr std::uint8_t kFlagNullable = 0x02;
constexpr std::uint8_t kExtCompressedText = 0x01;
constexpr std::uint8_t kExtCalculated = 0xC0;

bool IsTextual(ColumnType t) { return t == ColumnType::kText || t == ColumnType::kMemo; }

void AppendColumnEntry(const JetFormat& format, const ColumnLayout& c, int code_page, Bytes& out) {
  const ColumnType t = c.column.type;
  const bool variable = c.variable;
  const std::uint8_t flags = static_cast<std::uint8_t>(kFlagNullable | (variable ? 0 : kFlagFixed));
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(format.column_entry_size), 0);
  std::uint8_t* e = &out[at];
  e[0] = static_cast<std::uint8_t>(t);
  if (format.jet4()) {
    Put32(e + 1, kMagicTableNumber);
    Put16(e + 5, static_cast<std::uint32_t>(c.number));
    Put16(e + 7, variable ? static_cast<std::uint32_t>(c.var_index) : 0);
    Put16(e + 9, static_cast<std::uint32_t>(c.number));
    std::uint8_t extra = static_cast<std::uint8_t>((IsTextual(t) ? kExtCompressedText : 0) |
                                                   (c.column.calculated ? kExtCalculated : 0));
    if (HasAccessCalculatedLayout(c.column)) {
      // As Access writes calculated entries: the sort order but for Decimal
      // entries (whose precision and scale are left 0), no text flag.
      if (t != ColumnType::kDecimal) Put16(e + 11, kGeneralSortOrder);
      extra = kExtCalculated;
    } else {
      if (IsTextual(t)) Put16(e + 11, kGeneralSortOrder);  // e[13] 0, e[14] sort order version 0
      if (t == ColumnType::kComplex) Put32(e + 11, static_cast<std::uint32_t>(c.column.complex_id));
      if (t == ColumnType::kDecimal) {
        e[11] = static_cast<std::uint8_t>(c.column.precision);
        e[12] = static_cast<std::uint8_t>(c.column.scale);
      }
    }
    e[15] = static_cast<std::uint8_t>(flags | c.added_flags);
    e[16] = static_cast<std::uint8_t>(extra | c.added_extra_flags);
    Put16(e + 21, variable ? 0 : static_cast<std::uint32_t>(c.fixed_offset));
    Put16(e + 23, static_cast<std::uint32_t>(c.stored_size));
  } else {
    Put16(e + 1, static_cast<std::uint32_t>(c.number));
    Put16(e + 3, variable ? static_cast<std::uint32_t>(c.var_index) : 0);
    Put16(e + 5, static_cast<std::uint32_t>(c.number));
    if (IsTextual(t)) {
      Put16(e + 9, kGeneralSortOrder);
      Put16(e + 11, static_cast<std::uint32_t>(code_page));
    }
    e[13] = flags;
    Put16(e + 14, variable ? 0 : static_cast<std::uint32_t>(c.fixed_offset));
    Put16(e + 16, static_cast<std::uint32_t>(c.stored_size));
  }
}

void AppendName(const JetFormat& format, const std::string& name, const CodePageEncoder* names,
                Bytes& out) {
  if (format.jet4()) {
    const std::u16string u = Utf8ToUtf16(name);
    Append16(out, static_cast<std::uint32_t>(u.size() * 2));
    for (char16_t ch : u) Append16(out, ch);
  } else {
    const std::string s = names->Encode(name);
    if (s.size() > 255) throw std::invalid_argument("name \"" + name + "\" too long");
    Append8(out, static_cast<std::uint32_t>(s.size()));
    AppendBytes(out, s);
  }
}

}  // namespace

void WriteTableDefinition(const JetFormat& format, const TableDefinition& def,
                          std::uint32_t first_page, const CodePageEncoder* names, PageFile& file) {
  const TableLayout& layout = *def.layout;
  const int ncols = static_cast<int>(layout.columns.size());
  Bytes d(static_cast<size_t>(format.tdef_header_size), 0);
  d[0] = kPageTableDefinition;
  d[1] = 0x01;
  if (format.jet4()) {
    Put32(&d[12], kMagicTableNumber);
    Put32(&d[16], def.row_count);
    d[24] = 0x01;  // lets Access hand out autonumbers
    d[40] = def.system ? 0x53 : 0x4E;
    Put16(&d[41], static_cast<std::uint32_t>(ncols));
    Put16(&d[43], static_cast<std::uint32_t>(layout.var_count));
    Put16(&d[45], static_cast<std::uint32_t>(ncols));
    Put32(&d[47], 0);  // logical indexes
    Put32(&d[51], 0);  // index entries
    Put32(&d[55], def.used_pages_map);
    Put32(&d[59], def.free_pages_map);
  } else {
    d[2] = 'V';
    d[3] = 'C';
    Put32(&d[12], def.row_count);
    d[20] = def.system ? 0x53 : 0x4E;
    Put16(&d[21], static_cast<std::uint32_t>(ncols));
    Put16(&d[23], static_cast<std::uint32_t>(layout.var_count));
    Put16(&d[25], static_cast<std::uint32_t>(ncols));
    Put32(&d[35], def.used_pages_map);
    Put32(&d[39], def.free_pages_map);
  }
  const int code_page = names != nullptr ? names->code_page() : 0;
  for (const ColumnLayout& c : layout.columns) AppendColumnEntry(format, c, code_page, d);
  for (const ColumnLayout& c : layout.columns) AppendName(format, c.column.name, names, d);
  for (const ColumnLayout& c : layout.columns) {
    if (c.long_index < 0) continue;
    Append16(d, static_cast<std::uint32_t>(c.number));
    Append32(d, def.long_used_maps[static_cast<size_t>(c.long_index)]);
    Append32(d, def.long_free_maps[static_cast<size_t>(c.long_index)]);
  }
  Append16(d, 0xFFFF);
  Put32(&d[8], static_cast<std::uint32_t>(d.size()));
  if (format.jet4()) {
    const int free_space = format.page_size - static_cast<int>(d.size()) - 8;
    Put16(&d[2], static_cast<std::uint32_t>(std::max(free_space, 0)));
  }

  // Split over pages: each further page has its own 8-byte header and the
  // previous page points to it.
  const size_t page_size = static_cast<size_t>(format.page_size);
  Bytes page(page_size);
  size_t pos = 0;
  std::uint32_t current = first_page;
  bool first = true;
  while (pos < d.size()) {
    std::fill(page.begin(), page.end(), 0);
    size_t take;
    if (first) {
      take = std::min(page_size, d.size());
      std::copy(d.begin(), d.begin() + static_cast<long>(take), page.begin());
    } else {
      page[0] = kPageTableDefinition;
      page[1] = 0x01;
      if (!format.jet4()) {
        page[2] = 'V';
        page[3] = 'C';
      }
      take = std::min(page_size - 8, d.size() - pos);
      std::copy(d.begin() + static_cast<long>(pos), d.begin() + static_cast<long>(pos + take),
                page.begin() + 8);
      if (format.jet4()) Put16(&page[2], static_cast<std::uint32_t>(page_size - 8 - take));
    }
    pos += take;
    std::uint32_t next = 0;
    if (pos < d.size()) {
      next = file.Allocate();
      Put32(&page[4], next);
    }
    file.Write(current, View(page));
    current = next;
    first = false;
  }
}

}  // namespace accessdb
