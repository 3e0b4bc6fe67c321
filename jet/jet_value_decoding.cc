#include "jet/jet_value_decoding.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "jet/jet_error.h"
#include "platform/code_page.h"
#include "runtime/date_time.h"

namespace {

// Widens `n` one-byte characters to UTF-16. Every memo cell passes here, and
// the compiler turns a fixed block copied through locals (which cannot alias
// `in` or `out`) into a few vector instructions; a plain loop over the whole
// run stays one character at a time at the optimisation level we build with.
void WidenBytes(const uint8_t* in, size_t n, char16_t* out) {
  constexpr size_t kStep = 16;
  size_t i = 0;
  for (; i + kStep <= n; i += kStep) {
    uint8_t narrow[kStep];
    char16_t wide[kStep];
    std::memcpy(narrow, in + i, kStep);
    for (size_t k = 0; k < kStep; ++k) wide[k] = narrow[k];
    std::memcpy(out + i, wide, sizeof wide);
  }
  for (; i < n; ++i) out[i] = in[i];
}

}  // namespace

Variant DecodeJetValue(const JetTableDefinition::Column& column, std::string_view bytes, int textCodePage) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  auto damaged = [&] { return EJetError(FormatText(u"The value of field '%s' is damaged.", {column.name})); };
  auto need = [&](size_t n) {
    if (bytes.size() < n) throw damaged();
  };
  // A text or binary value never holds more than its column's declared size
  // (a calculated column's result is not held to it).
  auto fits = [&](size_t units, size_t limit) {
    if (!column.calculated && units > limit) throw damaged();
  };
  const size_t declared = static_cast<size_t>(column.size);
  const int type = column.ValueType();
  // An empty result of a fixed-size kind is no value.
  if (column.calculated && bytes.empty() && type != kJetText && type != kJetMemo) return Variant::Null();
  switch (type) {
    case kJetBoolean: need(1); return Variant(p[0] != 0);  // calculated only: a stored Yes/No is its null bit
    case kJetByte: need(1); return Variant(static_cast<uint8_t>(p[0]));
    case kJetInteger: need(2); return Variant(static_cast<int32_t>(JetReadLE<int16_t>(p)));
    case kJetLong: need(4); return Variant(JetReadLE<int32_t>(p));
    case kJetBigInt: need(8); return Variant(JetReadLE<int64_t>(p));
    case kJetCurrency: need(8); return Variant(Currency::FromScaled(JetReadLE<int64_t>(p)));
    case kJetSingle: need(4); return Variant::FromSingle(JetReadLE<float>(p));
    case kJetDouble: need(8); return Variant(JetReadLE<double>(p));
    case kJetDateTime: need(8); return Variant::FromDate(JetReadLE<double>(p));
    case kJetGuid: need(16); return Variant(DecodeJetGuid(bytes.substr(0, 16)));
    case kJetNumeric:
      if (column.calculated && column.resultTypeFromProperty) {
        need(16);
        return Variant(DecodeJetCalculatedDecimal(bytes.substr(0, 16)));
      }
      need(17);
      return Variant(DecodeJetDecimal(bytes.substr(0, 17), column.scale));
    case kJetDateTimeExtended: need(39); return DecodeJetExtendedDateTime(bytes);
    case kJetText: {
      fits(bytes.size(), declared);
      if (textCodePage != 0) return Variant(DecodeJet3Text(bytes, textCodePage));
      UnicodeString text = DecodeJet4Text(bytes);
      fits(text.size(), declared / 2);  // two bytes a character, however the text is stored
      return Variant(std::move(text));
    }
    case kJetMemo: return Variant(textCodePage != 0 ? DecodeJet3Text(bytes, textCodePage) : DecodeJet4Text(bytes));
    case kJetBinary: fits(bytes.size(), declared); return Variant(Variant::Bytes(p, p + bytes.size()));
    case kJetOle: return Variant(Variant::Bytes(p, p + bytes.size()));
    case kJetComplex: need(4); return Variant(JetReadLE<int32_t>(p));  // the key of its values' rows in another table
    default: return Variant(Variant::Bytes(p, p + bytes.size()));  // a kind this reader does not know: its bytes
  }
}

UnicodeString DecodeJet3Text(std::string_view bytes, int codePage) {
  return MultiByteToWide(codePage, bytes);
}

UnicodeString DecodeJet4Text(std::string_view bytes) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t n = bytes.size();
  // Characters are gathered in a small buffer and appended a block at a
  // time: this runs for every text and memo cell, and sizing the result up
  // front would fill it with zeros one character at a time first.
  constexpr size_t kBlock = 256;
  char16_t block[kBlock];
  size_t filled = 0;
  UnicodeString out;
  auto flush = [&] {
    out.append(block, filled);
    filled = 0;
  };
  if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    out.reserve(n - 2);  // at most one character per byte
    bool compressed = true;
    size_t i = 2;
    while (i < n) {
      if (compressed) {
        // A run of one-byte characters ends at the next 0x00, which switches
        // to two-byte characters.
        const void* zero = std::memchr(b + i, 0, n - i);
        const size_t end = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - b) : n;
        while (i < end) {
          const size_t take = std::min(end - i, kBlock - filled);
          WidenBytes(b + i, take, block + filled);
          filled += take;
          i += take;
          if (filled == kBlock) flush();
        }
        if (zero) {
          compressed = false;
          ++i;
        }
      } else if (b[i] == 0) {
        compressed = true;
        ++i;
      } else if (i + 1 < n) {
        if (filled == kBlock) flush();
        block[filled++] = static_cast<char16_t>(b[i] | b[i + 1] << 8);
        i += 2;
      } else {
        break;
      }
    }
    flush();
    return out;
  }
  // UTF-16LE, the byte order of every host this is built for: copied at
  // once when the bytes lie on a character boundary, as they nearly always do.
  const size_t units = n / 2;
  if (reinterpret_cast<uintptr_t>(b) % alignof(char16_t) == 0) {
    out.assign(reinterpret_cast<const char16_t*>(b), units);
    return out;
  }
  out.reserve(units);
  for (size_t done = 0; done < units;) {
    filled = std::min(units - done, kBlock);
    std::memcpy(block, b + 2 * done, filled * sizeof(char16_t));
    done += filled;
    flush();
  }
  return out;
}

Decimal DecodeJetDecimal(std::string_view bytes17, int scale) {
  if (bytes17.size() < 17) throw EJetError(u"Invalid decimal value.");
  uint32_t groups[4];
  for (int g = 0; g < 4; ++g) groups[g] = JetReadLE<uint32_t>(bytes17, 1 + 4 * static_cast<size_t>(g));
  if (groups[0] != 0) throw EJetError(u"Decimal value out of range.");
  Decimal d;
  d.negative = bytes17[0] != 0;
  d.scale = static_cast<uint8_t>(scale < 0 ? 0 : (scale > 28 ? 28 : scale));
  d.hi32 = groups[1];
  d.lo64 = static_cast<uint64_t>(groups[2]) << 32 | groups[3];
  return d;
}

Decimal DecodeJetCalculatedDecimal(std::string_view b) {
  if (b.size() < 16 || static_cast<uint8_t>(b[2]) > 28) throw EJetError(u"Invalid decimal value.");
  Decimal d;
  d.scale = static_cast<uint8_t>(b[2]);
  d.negative = (static_cast<uint8_t>(b[3]) & 0x80) != 0;
  d.hi32 = JetReadLE<uint32_t>(b, 4);
  d.lo64 = JetReadLE<uint64_t>(b, 8);
  return d;
}

Variant DecodeJetExtendedDateTime(std::string_view b) {
  auto digits = [&](size_t from, size_t count) {
    int64_t v = 0;
    for (size_t k = from; k < from + count; ++k) {
      if (b[k] < '0' || b[k] > '9') throw EJetError(u"Invalid Date/Time Extended value.");
      v = v * 10 + (b[k] - '0');
    }
    return v;
  };
  if (b.size() < 39 || b[19] != ':') throw EJetError(u"Invalid Date/Time Extended value.");
  const int64_t days = digits(0, 19);
  const int64_t seconds = digits(20, 12);
  const int64_t steps = digits(32, 7);  // 100 ns each
  constexpr int64_t kDaysTo10000 = 3652059;  // 0001-01-01 to 10000-01-01
  if (days >= kDaysTo10000 || seconds >= 86400) throw EJetError(u"Invalid Date/Time Extended value.");
  // The runtime's dates count from 1899-12-30, day 693593 after 0001-01-01.
  const TDateTime day = static_cast<double>(days - 693593);
  const DateParts date = DecodeDate(day);
  const int32_t h = static_cast<int32_t>(seconds / 3600), mi = static_cast<int32_t>(seconds / 60 % 60),
                s = static_cast<int32_t>(seconds % 60);
  if (date.year >= 100) {
    const TDateTime time = (static_cast<double>(seconds) + static_cast<double>(steps) / 1e7) / 86400.0;
    return Variant::FromDate(CombineDateTime(day, time));
  }
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%07lld", date.year, date.month, date.day, h, mi, s,
                static_cast<long long>(steps));
  return Variant(AsciiToUnicode(text));
}

std::string_view UnwrapCalculatedValue(std::string_view cell) {
  constexpr size_t kHeader = 16, kValue = 20;
  if (cell.size() < kValue) throw EJetError(u"Invalid calculated value.");
  const size_t length = JetReadLE<uint32_t>(cell, kHeader);
  if (length > cell.size() - kValue) throw EJetError(u"Invalid calculated value.");
  return cell.substr(kValue, length);
}

UnicodeString DecodeJetGuid(std::string_view b) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  UnicodeString out = u"{";
  auto hex = [&](size_t k) {
    uint8_t v = static_cast<uint8_t>(b[k]);
    out.push_back(kHex[v >> 4]);
    out.push_back(kHex[v & 15]);
  };
  for (size_t k : {3, 2, 1, 0}) hex(k);
  out.push_back(u'-');
  for (size_t k : {5, 4}) hex(k);
  out.push_back(u'-');
  for (size_t k : {7, 6}) hex(k);
  out.push_back(u'-');
  for (size_t k : {8, 9}) hex(k);
  out.push_back(u'-');
  for (size_t k = 10; k < 16; ++k) hex(k);
  out.push_back(u'}');
  return out;
}
