// TABLES.json: a database described as JSON, written through DatabaseWriter.
//
// { "format": "jet4" | "jet3", "codepage": 1252,
//   "tables": [ { "name": "...", "columns": [ {"name": "...", "type": "text", "size": 50}, ... ],
//                 "rows": [ [cell, ...], ... ] } ] }
//
// Cells: null; true/false (boolean); JSON numbers (byte, integer, long, single,
// double, currency; a currency may also be a decimal string such as
// "-922337203685477.5808", exact to the fourth decimal); "YYYY-MM-DDTHH:MM:SS"
// (datetime); strings (text, memo); {"base64": "..."} (binary, ole).
#pragma once

#include <istream>
#include <string>

#include "tools/accessdb/column.h"
#include "tools/accessdb/value.h"

namespace accessdb {

// Reads the description from `in` and writes the database to `out_path`. The
// JSON is read as a stream: rows go to the file as they are parsed (rows that
// come before their table's "columns", or before "format", wait in memory).
// Throws std::invalid_argument for a malformed description (with its place).
void WriteTablesJson(std::istream& in, const std::string& out_path);

// Decodes standard base64 (padding optional, no whitespace); throws std::invalid_argument.
std::string DecodeBase64(const std::string& text);

// Exact decimal text ("-12.5", "3", "0.0001") to ten-thousandths; throws
// std::invalid_argument for other text, more than four decimals or overflow.
std::int64_t ParseCurrency(const std::string& text);

}  // namespace accessdb
