#include "tests/tools/mdb_programs.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace accessdb_test {
namespace {

constexpr char kNullMarker[] = "\x01";  // no test value holds U+0001 in mdb-export tests

}  // namespace

std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

std::string RunCommand(const std::string& command) {
  std::FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
  if (p == nullptr) throw std::runtime_error("cannot run " + command);
  std::string out;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  if (pclose(p) != 0) throw std::runtime_error("command failed: " + command);
  return out;
}

void MdbExportRows(const std::string& path, const std::string& table,
                   const std::function<void(const CsvRow&)>& row) {
  const std::string command = "mdb-export -b hex -T '%Y-%m-%dT%H:%M:%S' -0 " + ShellQuote(kNullMarker) +
                              " " + ShellQuote(path) + " " + ShellQuote(table) + " 2>/dev/null";
  std::FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) throw std::runtime_error("cannot run " + command);
  // CSV: fields separated by commas, rows by newlines; quoted fields double their quotes.
  CsvRow current;
  std::string field;
  bool quoted = false, in_quotes = false, pending_quote = false;
  auto end_field = [&] {
    if (!quoted && field == kNullMarker) {
      current.push_back(std::nullopt);
    } else {
      current.push_back(field);
    }
    field.clear();
    quoted = false;
  };
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) {
    for (size_t i = 0; i < n; ++i) {
      const char c = buf[i];
      if (pending_quote) {  // a quote inside quotes: doubled, or the closing one
        pending_quote = false;
        if (c == '"') {
          field += '"';
          continue;
        }
        in_quotes = false;
      }
      if (in_quotes) {
        if (c == '"') {
          pending_quote = true;
        } else {
          field += c;
        }
      } else if (c == '"') {
        in_quotes = quoted = true;
      } else if (c == ',') {
        end_field();
      } else if (c == '\n') {
        end_field();
        row(current);
        current.clear();
      } else {
        field += c;
      }
    }
  }
  if (pclose(p) != 0) throw std::runtime_error("command failed: " + command);
  if (!current.empty() || !field.empty()) {
    end_field();
    row(current);
  }
}

std::vector<CsvRow> MdbExport(const std::string& path, const std::string& table) {
  std::vector<CsvRow> rows;
  MdbExportRows(path, table, [&](const CsvRow& r) { rows.push_back(r); });
  return rows;
}

namespace {

// Quotes every number of a JSON text, so that numbers are compared as mdb-json
// prints them (it prints the largest double as 1.797693134862316e+308, which
// no JSON parser accepts as a double).
std::string QuoteNumbers(const std::string& line) {
  std::string out;
  bool in_string = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (in_string) {
      out += c;
      if (c == '\\' && i + 1 < line.size()) {
        out += line[++i];
      } else if (c == '"') {
        in_string = false;
      }
    } else if (c == '"') {
      in_string = true;
      out += c;
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      size_t j = i;
      while (j < line.size() && std::string("+-.eE0123456789").find(line[j]) != std::string::npos) ++j;
      out += '"' + line.substr(i, j - i) + '"';
      i = j - 1;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::vector<nlohmann::json> MdbJson(const std::string& path, const std::string& table) {
  const std::string out = RunCommand("mdb-json -T '%Y-%m-%dT%H:%M:%S' " + ShellQuote(path) + " " +
                                     ShellQuote(table));
  std::vector<nlohmann::json> rows;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) rows.push_back(nlohmann::json::parse(QuoteNumbers(line)));
  }
  return rows;
}

std::vector<std::string> MdbTables(const std::string& path) {
  std::istringstream in(RunCommand("mdb-tables -1 " + ShellQuote(path)));
  std::vector<std::string> out;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

}  // namespace accessdb_test
