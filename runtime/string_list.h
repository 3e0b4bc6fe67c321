// TStringList: an ordered list of texts, most often "name=value" lines.
//
// The list keeps its lines in the order they were added; it never sorts on
// its own (Sort() does it once, on request). Name look-ups (IndexOfName,
// Values) and IndexOf ignore letter case by default, like the runtime's
// string lists; SetCaseSensitive(true) makes them exact.
//
// A line's name is the part before its first "="; a line without "=" has an
// empty name and an empty value. The list owns its texts (value semantics).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "runtime/component.h"
#include "runtime/exceptions.h"
#include "runtime/unicode_string.h"

// Raised for a line index outside the list: "List index out of bounds (%d)".
class EStringListError : public Exception { using Exception::Exception; };

class TStringList : public TPersistent {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<UnicodeString> lines) : lines_(lines) {}

  UnicodeString ClassName() const override { return u"TStringList"; }
  // Copies the lines (and the case rule) of another TStringList.
  void Assign(const TPersistent& source) override;

  int32_t Count() const { return static_cast<int32_t>(lines_.size()); }
  bool Empty() const { return lines_.empty(); }
  const UnicodeString& Strings(int32_t index) const;
  void SetStrings(int32_t index, const UnicodeString& line);

  // Appends a line and returns its index.
  int32_t Add(const UnicodeString& line);
  void Insert(int32_t index, const UnicodeString& line);  // index may equal Count()
  void Delete(int32_t index);
  void Clear() { lines_.clear(); }

  // The part before the first "=" (empty when there is none).
  UnicodeString Names(int32_t index) const;
  // The part after the first "=" (empty when there is none).
  UnicodeString ValueFromIndex(int32_t index) const;
  // The value of the first line named `name`, or empty.
  UnicodeString Values(UnicodeStringView name) const;
  // Replaces the value of the first line named `name`, appends "name=value"
  // when there is none; an empty value deletes the line.
  void SetValues(UnicodeStringView name, const UnicodeString& value);

  int32_t IndexOfName(UnicodeStringView name) const;  // -1 when absent
  int32_t IndexOf(UnicodeStringView line) const;      // -1 when absent

  // All lines, each followed by CR LF.
  UnicodeString Text() const;
  // Replaces the lines by those of `text`, split at CR LF, CR or LF.
  void SetText(UnicodeStringView text);

  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value) { caseSensitive_ = value; }
  // Sorts the lines once, by the same case rule as the look-ups.
  void Sort();

  const std::vector<UnicodeString>& Lines() const { return lines_; }

 private:
  bool Same(UnicodeStringView a, UnicodeStringView b) const;
  void CheckIndex(int32_t index, int32_t limit) const;

  std::vector<UnicodeString> lines_;
  bool caseSensitive_ = false;
};
