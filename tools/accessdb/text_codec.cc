#include "tools/accessdb/text_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <stdexcept>

namespace accessdb {

std::u16string Utf8ToUtf16(const std::string& utf8) {
  std::u16string out;
  Utf8ToUtf16(utf8, out);
  return out;
}

void Utf8ToUtf16(const std::string& utf8, std::u16string& out) {
  out.resize(utf8.size());
  if (utf8.empty()) return;
  int32_t len = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8(reinterpret_cast<UChar*>(&out[0]), static_cast<int32_t>(out.size()), &len,
                utf8.data(), static_cast<int32_t>(utf8.size()), &status);
  if (U_FAILURE(status)) throw std::invalid_argument("text is not valid UTF-8");
  out.resize(static_cast<size_t>(len));
}

Bytes EncodeJet4Text(const std::u16string& text, bool compress) {
  Bytes out;
  EncodeJet4Text(text, compress, out);
  return out;
}

void EncodeJet4Text(const std::u16string& text, bool compress, Bytes& out) {
  bool has_zero_low_byte = false;
  size_t compressed_size = 2;  // FF FE
  bool narrow_mode = true;
  for (char16_t c : text) {
    if ((c & 0xFF) == 0) has_zero_low_byte = true;
    const bool is_narrow = c <= 0xFF;
    if (is_narrow != narrow_mode) {
      ++compressed_size;  // the 0x00 that switches runs
      narrow_mode = is_narrow;
    }
    compressed_size += is_narrow ? 1 : 2;
  }
  const bool starts_with_bom = !text.empty() && text[0] == 0xFEFF;
  if (starts_with_bom && has_zero_low_byte) {
    throw std::invalid_argument(
        "text starting with U+FEFF and holding a character whose low byte is 0 "
        "cannot be stored in a Jet 4 file");
  }
  // Compress when it is allowed and shorter (or needed, for U+FEFF).
  const bool use_compression =
      !has_zero_low_byte && (starts_with_bom || (compress && compressed_size < text.size() * 2));
  out.clear();
  if (!use_compression) {
    out.resize(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) Put16(&out[2 * i], text[i]);
    return;
  }
  out.reserve(compressed_size);
  out.push_back(0xFF);
  out.push_back(0xFE);
  narrow_mode = true;
  for (char16_t c : text) {
    const bool is_narrow = c <= 0xFF;
    if (is_narrow != narrow_mode) {
      out.push_back(0x00);
      narrow_mode = is_narrow;
    }
    out.push_back(static_cast<std::uint8_t>(c));
    if (!is_narrow) out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
}

struct CodePageEncoder::Converter {
  UConverter* cnv = nullptr;
};

CodePageEncoder::CodePageEncoder(int code_page)
    : code_page_(code_page), converter_(std::make_unique<Converter>()) {
  const std::string n = std::to_string(code_page);
  for (const std::string& name : {"windows-" + n, "cp" + n, "ibm-" + n}) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* cnv = ucnv_open(name.c_str(), &status);
    if (U_SUCCESS(status) && cnv != nullptr) {
      converter_->cnv = cnv;
      break;
    }
    if (cnv != nullptr) ucnv_close(cnv);
  }
  if (converter_->cnv == nullptr) {
    throw std::invalid_argument("code page " + n + " is not available");
  }
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setFromUCallBack(converter_->cnv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
}

CodePageEncoder::~CodePageEncoder() { ucnv_close(converter_->cnv); }

std::string CodePageEncoder::Encode(const std::string& utf8) const {
  const std::u16string text = Utf8ToUtf16(utf8);
  if (text.empty()) return {};
  std::string out(text.size() * 4 + 8, '\0');
  UErrorCode status = U_ZERO_ERROR;
  ucnv_resetFromUnicode(converter_->cnv);
  const int32_t len =
      ucnv_fromUChars(converter_->cnv, &out[0], static_cast<int32_t>(out.size()),
                      reinterpret_cast<const UChar*>(text.data()),
                      static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) {
    // Find the first character that fails on its own, for the message.
    std::string culprit;
    for (size_t i = 0; i < text.size(); ++i) {
      const size_t n = (i + 1 < text.size() && (text[i] & 0xFC00) == 0xD800) ? 2 : 1;
      char buf[16];
      UErrorCode s = U_ZERO_ERROR;
      ucnv_resetFromUnicode(converter_->cnv);
      ucnv_fromUChars(converter_->cnv, buf, sizeof buf,
                      reinterpret_cast<const UChar*>(text.data() + i),
                      static_cast<int32_t>(n), &s);
      if (U_FAILURE(s)) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(text[i]));
        culprit = hex;
        break;
      }
      i += n - 1;
    }
    throw std::invalid_argument("character " + culprit + " is not in code page " +
                                std::to_string(code_page_));
  }
  out.resize(static_cast<size_t>(len));
  return out;
}

bool CodePageEncoder::CanEncode(const std::string& utf8) const {
  try {
    Encode(utf8);
    return true;
  } catch (const std::invalid_argument&) {
    return false;
  }
}

}  // namespace accessdb
