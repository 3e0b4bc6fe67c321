#include "plugin/plugin_info.h"

#include <cstdint>
#include <cstring>

#include "plugin/arvoline_plugin.h"

namespace {

struct TextField {
  size_t offset;
  size_t room;  // distance to the next written field
  const char* text;
};

constexpr size_t Length(const char* s) { return *s ? 1 + Length(s + 1) : 0; }

// Written in this order, then the integers, then kTrailingTexts.
constexpr TextField kLeadingTexts[] = {
    {kPluginInfoVersionOffset, 256, "1.50"},
    {kPluginInfoNameOffset, 256, "Arvoline/Gleanery"},
    {kPluginInfoDescriptionOffset, 1001, "Imports Arvoline, Arvoline32 XPPro, and Gleanery databases."},
    {kPluginInfoVendorOffset, 256, "Quenlith Software Ltd."},
    {kPluginInfoCopyrightOffset, 259, "Copyright (C) Quenlith Software Ltd. All rights reserved."},
};

struct IntegerField {
  size_t offset;
  int32_t value;
};

constexpr IntegerField kIntegers[] = {
    {kPluginInfoFirstIntegerOffset, 1},
    {kPluginInfoSecondIntegerOffset, 0},
    {kPluginInfoThirdIntegerOffset, 1},
};

constexpr TextField kTrailingTexts[] = {
    {kPluginInfoExtensionsOffset, 51, ".xtp;*.xrd;"},
    {kPluginInfoFilterOffset, kPluginInfoRecordSize - kPluginInfoFilterOffset,
     "Arvoline/Gleanery databases (*.xtp;*.xrd)"},
};

constexpr bool AllFit() {
  for (const TextField& f : kLeadingTexts)
    if (Length(f.text) + 1 > f.room) return false;
  for (const TextField& f : kTrailingTexts)
    if (Length(f.text) + 1 > f.room) return false;
  return true;
}
static_assert(AllFit(), "a text does not fit its field");

void WriteText(unsigned char* record, const TextField& field) {
  // Odd offsets (0x5E9, 0x82F): byte copies only.
  std::memcpy(record + field.offset, field.text, Length(field.text) + 1);
}

void WriteInteger(unsigned char* record, const IntegerField& field) {
  // Little-endian whatever the build's byte order.
  const uint32_t v = static_cast<uint32_t>(field.value);
  const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                  static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  std::memcpy(record + field.offset, bytes, sizeof bytes);
}

}  // namespace

void WritePluginInfo(unsigned char* record) {
  for (const TextField& f : kLeadingTexts) WriteText(record, f);
  for (const IntegerField& f : kIntegers) WriteInteger(record, f);
  for (const TextField& f : kTrailingTexts) WriteText(record, f);
}
