#include "host/plugin_info_reader.h"

#include <cstring>
#include <iomanip>
#include <vector>

namespace {

// Text of at most `room` bytes at `offset`, up to its zero.
std::string Text(const std::vector<unsigned char>& record, size_t offset, size_t room) {
  const char* text = reinterpret_cast<const char*>(record.data() + offset);
  return std::string(text, strnlen(text, room));
}

int32_t Integer(const std::vector<unsigned char>& record, size_t offset) {
  const unsigned char* b = record.data() + offset;
  return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

}  // namespace

PluginInfo ReadPluginInfo(const PluginModule& module) {
  std::vector<unsigned char> record(kPluginInfoRecordSize, 0);
  module.GetPluginInfo(record.data());
  PluginInfo info;
  info.version = Text(record, kPluginInfoVersionOffset, 256);
  info.name = Text(record, kPluginInfoNameOffset, 256);
  info.description = Text(record, kPluginInfoDescriptionOffset, 1001);
  info.vendor = Text(record, kPluginInfoVendorOffset, 256);
  info.copyright = Text(record, kPluginInfoCopyrightOffset, 259);
  info.integers[0] = Integer(record, kPluginInfoFirstIntegerOffset);
  info.integers[1] = Integer(record, kPluginInfoSecondIntegerOffset);
  info.integers[2] = Integer(record, kPluginInfoThirdIntegerOffset);
  info.extensions = Text(record, kPluginInfoExtensionsOffset, 51);
  info.filter = Text(record, kPluginInfoFilterOffset, kPluginInfoRecordSize - kPluginInfoFilterOffset);
  return info;
}

void PrintPluginInfo(std::ostream& out, const PluginInfo& info) {
  auto line = [&out](const char* label, const std::string& value) {
    out << std::left << std::setw(13) << label << value << '\n';
  };
  line("version:", info.version);
  line("name:", info.name);
  line("description:", info.description);
  line("vendor:", info.vendor);
  line("copyright:", info.copyright);
  line("integers:", std::to_string(info.integers[0]) + ", " + std::to_string(info.integers[1]) + ", " +
                        std::to_string(info.integers[2]));
  line("extensions:", info.extensions);
  line("filter:", info.filter);
}
