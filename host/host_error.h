// HostError: a failure of the host itself (module not found, path not
// representable, ...), reported like the plug-in's own errors.
#pragma once

#include <stdexcept>

class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
