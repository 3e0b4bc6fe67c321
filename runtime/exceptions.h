// The runtime's error classes.
//
// `Exception` is the base of every error the system raises on purpose; it
// derives from std::exception so that a C++ caller can catch std::exception
// and show what(), which is the message in UTF-8. Message() gives the same
// text as UnicodeString. Each subclass only names a kind of failure; the
// message texts are fixed by the code that raises them.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <variant>

#include "runtime/unicode_string.h"

class Exception : public std::exception {
 public:
  explicit Exception(UnicodeString message);
  const char* what() const noexcept override { return utf8_.c_str(); }
  const UnicodeString& Message() const noexcept { return message_; }

 private:
  UnicodeString message_;
  std::string utf8_;
};

// Integer and range errors (an out-of-range index or position).
class ERangeError : public Exception { using Exception::Exception; };
// A text that does not convert to the requested number or date.
class EConvertError : public Exception { using Exception::Exception; };
// A byte count or encoding request that cannot be honoured.
class EEncodingError : public Exception { using Exception::Exception; };
// Failures of the in-memory dataset and its fields.
class EDatabaseError : public Exception { using Exception::Exception; };
// A variant that cannot be converted to the requested kind.
class EVariantError : public Exception { using Exception::Exception; };
// A failure reported by a late-bound automation server or its creation.
class EOleError : public Exception { using Exception::Exception; };

// Argument of FormatText: a text for %s or an integer for %d.
using FormatArg = std::variant<UnicodeString, int64_t>;

// Replaces each %s and %d of `format`, in order, with the next argument
// ("%%" gives one percent sign). A placeholder without an argument is kept
// as written, so a faulty call never loses text.
UnicodeString FormatText(UnicodeStringView format, std::initializer_list<FormatArg> args);
