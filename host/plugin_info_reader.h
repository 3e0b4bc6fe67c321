// The plug-in information record as the host reads it back.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "host/plugin_module.h"

struct PluginInfo {
  std::string version;
  std::string name;
  std::string description;
  std::string vendor;
  std::string copyright;
  int32_t integers[3] = {0, 0, 0};
  std::string extensions;
  std::string filter;
};

// Calls GetPluginInfo on a zeroed record and reads every field back.
PluginInfo ReadPluginInfo(const PluginModule& module);

// One "label: value" line per field.
void PrintPluginInfo(std::ostream& out, const PluginInfo& info);
