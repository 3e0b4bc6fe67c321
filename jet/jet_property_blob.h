// The properties Access keeps for one object and its columns: the long value
// in the object's catalog row (MSysObjects.LvProp).
//
// Layout, little-endian: "MR2\0" (Jet 4) or "KKD\0" (Jet 3), then chunks to
// the end, each a 4-byte length (the whole chunk), a 2-byte kind and a body.
// Kind 0x80 lists the property names (each a 2-byte byte length and the name:
// UTF-16 in Jet 4, the code page's bytes in Jet 3). Kinds 0x00 (the object)
// and 0x01 (a column) are blocks: a 4-byte header length, the 2-byte length
// of the column's name and the name (empty for the object), then records to
// the chunk's end: a 2-byte record length, a DDL flag byte, a data type byte,
// the 2-byte index of the property's name, the 2-byte value length and the
// value. Chunks of other kinds are passed over.
//
// A value type: parsing copies the names and values it finds (a few hundred
// bytes a column).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/unicode_string.h"

class JetPropertyBlob {
 public:
  // Parses `bytes`; `codePage` reads the names of a Jet 3 file (0: UTF-16).
  // Raises EJetError "The properties of table '...' are damaged." when a
  // chunk, block or record lies beyond the bytes, or a record names a
  // property that is not listed before it.
  JetPropertyBlob(std::string_view bytes, int codePage, const UnicodeString& table);

  // The stored value of `property` of `column` (letter case ignored; an
  // empty column name is the object itself); nullptr when it is not set.
  const std::string* Find(UnicodeStringView column, UnicodeStringView property) const;

 private:
  struct Property {
    UnicodeString column;
    size_t name;  // index into names_
    std::string value;
  };
  std::vector<UnicodeString> names_;
  std::vector<Property> properties_;
};
