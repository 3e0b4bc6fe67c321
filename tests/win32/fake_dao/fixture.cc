#include "fixture.h"

#include <cwchar>
#include <fstream>
#include <sstream>

namespace {

struct TypeName {
  const wchar_t* name;
  int code;
};
const TypeName kTypes[] = {
    {L"boolean", 1}, {L"byte", 2},      {L"integer", 3},    {L"long", 4},     {L"currency", 5},
    {L"single", 6},  {L"double", 7},    {L"date", 8},       {L"binary", 9},   {L"text", 10},
    {L"longbinary", 11}, {L"memo", 12}, {L"guid", 15},      {L"bigint", 16},  {L"varbinary", 17},
    {L"char", 18},   {L"numeric", 19},  {L"decimal", 20},   {L"float", 21},   {L"time", 22},
    {L"timestamp", 23},
};

std::wstring FromUtf8(const std::string& s) {
  if (s.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::wstring Trim(const std::wstring& s) {
  size_t b = s.find_first_not_of(L" \t");
  if (b == std::wstring::npos) return std::wstring();
  size_t e = s.find_last_not_of(L" \t");
  return s.substr(b, e - b + 1);
}

// Splits at '|' that is not escaped; escapes stay for Unescape.
std::vector<std::wstring> SplitCells(const std::wstring& s) {
  std::vector<std::wstring> cells(1);
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'\\' && i + 1 < s.size()) {
      cells.back() += s.substr(i, 2);
      ++i;
    } else if (s[i] == L'|') {
      cells.emplace_back();
    } else {
      cells.back() += s[i];
    }
  }
  for (auto& c : cells) c = Trim(c);
  return cells;
}

bool Unescape(const std::wstring& s, std::wstring& out) {
  out.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != L'\\') {
      out += s[i];
      continue;
    }
    if (++i >= s.size()) return false;
    switch (s[i]) {
      case L'\\': out += L'\\'; break;
      case L'|': out += L'|'; break;
      case L'n': out += L'\n'; break;
      case L'r': out += L'\r'; break;
      case L't': out += L'\t'; break;
      case L'u': {
        std::wstring hex = s.substr(i + 1, 4);
        if (hex.size() != 4) return false;
        out += static_cast<wchar_t>(std::wcstoul(hex.c_str(), nullptr, 16));
        i += 4;
        break;
      }
      default: return false;
    }
  }
  return true;
}

bool ParseDate(const std::wstring& s, DATE& out) {
  SYSTEMTIME t{};
  unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
  int n = swscanf(s.c_str(), L"%u-%u-%u %u:%u:%u", &y, &mo, &d, &h, &mi, &se);
  if (n != 3 && n != 6) return false;
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(mo);
  t.wDay = static_cast<WORD>(d);
  t.wHour = static_cast<WORD>(h);
  t.wMinute = static_cast<WORD>(mi);
  t.wSecond = static_cast<WORD>(se);
  double v = 0;
  if (!SystemTimeToVariantTime(&t, &v)) return false;
  out = v;
  return true;
}

bool ParseValue(const std::wstring& cell, int type, VARIANT& v) {
  if (cell == L"<null>") {
    V_VT(&v) = VT_NULL;
    return true;
  }
  if (cell == L"<empty>") return true;
  wchar_t* end = nullptr;
  const wchar_t* c = cell.c_str();
  switch (type) {
    case 1:
      if (cell != L"true" && cell != L"false") return false;
      V_VT(&v) = VT_BOOL;
      V_BOOL(&v) = cell == L"true" ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    case 2:
      V_VT(&v) = VT_UI1;
      V_UI1(&v) = static_cast<BYTE>(std::wcstoul(c, &end, 10));
      return *end == 0;
    case 3:
      V_VT(&v) = VT_I2;
      V_I2(&v) = static_cast<SHORT>(std::wcstol(c, &end, 10));
      return *end == 0;
    case 4:
      V_VT(&v) = VT_I4;
      V_I4(&v) = std::wcstol(c, &end, 10);
      return *end == 0;
    case 5:
      V_VT(&v) = VT_CY;
      return SUCCEEDED(VarCyFromStr(const_cast<OLECHAR*>(c), LOCALE_INVARIANT, 0, &V_CY(&v)));
    case 6:
      V_VT(&v) = VT_R4;
      V_R4(&v) = std::wcstof(c, &end);
      return *end == 0;
    case 7:
    case 21:
      V_VT(&v) = VT_R8;
      V_R8(&v) = std::wcstod(c, &end);
      return *end == 0;
    case 8:
    case 22:
    case 23:
      V_VT(&v) = VT_DATE;
      return ParseDate(cell, V_DATE(&v));
    case 9:
    case 11:
    case 17: {
      std::vector<BYTE> bytes;
      std::wstring hex;
      for (wchar_t ch : cell)
        if (ch != L' ') hex += ch;
      if (hex.size() % 2) return false;
      for (size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<BYTE>(std::wcstoul(hex.substr(i, 2).c_str(), nullptr, 16)));
      SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
      if (!bytes.empty()) memcpy(a->pvData, bytes.data(), bytes.size());
      V_VT(&v) = VT_ARRAY | VT_UI1;
      V_ARRAY(&v) = a;
      return true;
    }
    case 19:
    case 20: {
      DECIMAL d;
      if (FAILED(VarDecFromStr(const_cast<OLECHAR*>(c), LOCALE_INVARIANT, 0, &d))) return false;
      V_DECIMAL(&v) = d;
      V_VT(&v) = VT_DECIMAL;
      return true;
    }
    default: {
      std::wstring text;
      if (!Unescape(cell, text)) return false;
      V_VT(&v) = VT_BSTR;
      V_BSTR(&v) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      return true;
    }
  }
}

bool SameName(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

}  // namespace

int DaoTypeOf(const std::wstring& name) {
  for (const TypeName& t : kTypes)
    if (name == t.name) return t.code;
  wchar_t* end = nullptr;
  long n = std::wcstol(name.c_str(), &end, 10);
  return (!name.empty() && *end == 0) ? static_cast<int>(n) : -1;
}

const Table* Fixture::FindTable(const std::wstring& name) const {
  for (const Table& t : tables)
    if (SameName(t.name, name)) return &t;
  return nullptr;
}

const SavedQuery* Fixture::FindQuery(const std::wstring& name) const {
  for (const SavedQuery& q : queries)
    if (SameName(q.name, name)) return &q;
  return nullptr;
}

bool LoadFixture(const std::wstring& path, Fixture& fixture, std::wstring& error, bool& missing) {
  missing = false;
  std::ifstream in(path.c_str(), std::ios::binary);
  if (!in) {
    missing = true;
    error = L"cannot read " + path;
    return false;
  }
  std::string line8;
  int number = 0;
  while (std::getline(in, line8)) {
    ++number;
    if (!line8.empty() && line8.back() == '\r') line8.pop_back();
    std::wstring line = Trim(FromUtf8(line8));
    if (line.empty() || line[0] == L'#') continue;
    size_t space = line.find(L' ');
    std::wstring word = line.substr(0, space);
    std::wstring rest = space == std::wstring::npos ? std::wstring() : Trim(line.substr(space + 1));
    auto fail = [&](const wchar_t* what) {
      error = std::wstring(what) + L" in line " + std::to_wstring(number);
      return false;
    };
    if (word == L"password") {
      fixture.password = rest;
    } else if (word == L"engine") {
      fixture.engine = rest;
    } else if (word == L"table") {
      fixture.tables.push_back(Table{rest, {}, {}});
    } else if (word == L"field") {
      if (fixture.tables.empty()) return fail(L"field outside a table");
      std::wistringstream parts(rest);
      std::wstring type;
      FieldDef f;
      parts >> type >> f.size;
      std::getline(parts, f.name);
      f.name = Trim(f.name);
      f.type = DaoTypeOf(type);
      if (f.type < 0 || f.name.empty()) return fail(L"bad field");
      fixture.tables.back().fields.push_back(f);
    } else if (word == L"row") {
      if (fixture.tables.empty()) return fail(L"row outside a table");
      Table& t = fixture.tables.back();
      std::vector<std::wstring> cells = SplitCells(rest);
      if (cells.size() != t.fields.size()) return fail(L"wrong number of values");
      std::vector<OwnedVariant> row(cells.size());
      for (size_t i = 0; i < cells.size(); ++i)
        if (!ParseValue(cells[i], t.fields[i].type, row[i].get())) return fail(L"bad value");
      t.rows.push_back(std::move(row));
    } else if (word == L"query") {
      std::vector<std::wstring> cells = SplitCells(rest);
      if (cells.size() != 2) return fail(L"bad query");
      fixture.queries.push_back(SavedQuery{cells[0], cells[1]});
    } else {
      return fail(L"unknown statement");
    }
  }
  for (const SavedQuery& q : fixture.queries)
    if (!fixture.FindTable(q.table)) {
      error = L"query " + q.name + L" names no table";
      return false;
    }
  return true;
}
