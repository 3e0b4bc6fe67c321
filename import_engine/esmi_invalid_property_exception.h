// ESMIInvalidPropertyException: raised by the import component's Execute
// when a property the run needs was not set.
#pragma once

#include "runtime/exceptions.h"

class ESMIInvalidPropertyException : public Exception {
 public:
  using Exception::Exception;
  // "Property <name> wasn't specified."
  static ESMIInvalidPropertyException Missing(const UnicodeString& propertyName) {
    return ESMIInvalidPropertyException(FormatText(u"Property %s wasn't specified.", {propertyName}));
  }
};
