// Every table of the files Access itself wrote (tests/data/real-access/),
// read through the DAO server and compared with the values Access shows
// (expected/*.json beside them): each field's Type and Size, RecordCount,
// and every value, in the order a scan meets the rows. The same for the
// files the project's writer makes from those values ("twins"), wherever it
// writes their kinds: calculated results whose type differs from the column
// entry's, in Access's own layouts, read as Access shows them.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/utf8.h"
#include "tests/platform/automation/temp_directory.h"
#include "tests/platform/dao/dao_calls.h"
#include "tests/tools/test_support.h"
#include "tools/accessdb/date_time.h"
#include "tools/accessdb/json_tables.h"

using dao_calls::Field;
using dao_calls::Open;
using dao_calls::OpenTable;
using nlohmann::json;

namespace {

const std::string kFolder = std::string(ARVOLINE_SOURCE_DIR) + "/tests/data/real-access/";

// The Decimal a text such as "-0.0833" or "0.00000000" names: its digits
// after the point are the scale.
Decimal DecimalOf(const std::string& text) {
  Decimal d;
  d.negative = !text.empty() && text[0] == '-';
  uint64_t limbs[3] = {};  // the 96-bit magnitude, 32 bits a limb, least significant first
  bool point = false;
  for (char c : text.substr(d.negative ? 1 : 0)) {
    if (c == '.') {
      point = true;
      continue;
    }
    uint64_t carry = static_cast<uint64_t>(c - '0');
    for (uint64_t& limb : limbs) {
      limb = limb * 10 + carry;
      carry = limb >> 32;
      limb &= 0xFFFFFFFF;
    }
    if (point) ++d.scale;
  }
  d.hi32 = static_cast<uint32_t>(limbs[2]);
  d.lo64 = limbs[1] << 32 | limbs[0];
  return d;
}

// Compares one value with its expected cell; `daoType` is the field's.
void ExpectValue(const Variant& v, const json& want, int daoType) {
  if (want.is_null()) {
    EXPECT_TRUE(v.IsNull()) << ToUtf8(v.ToString());
    return;
  }
  ASSERT_FALSE(v.IsNull());
  if (want.is_boolean()) {
    EXPECT_EQ(v, Variant(want.get<bool>()));
  } else if (want.is_number_integer()) {
    EXPECT_EQ(v.ToInt64(), want.get<int64_t>());
  } else if (want.is_number()) {
    if (daoType == 6) EXPECT_EQ(static_cast<float>(v.ToDouble()), want.get<float>());
    else EXPECT_EQ(v.ToDouble(), want.get<double>());
  } else if (want.is_object() && want.contains("base64")) {
    const Variant::Bytes& b = v.AsBytes();
    EXPECT_EQ(std::string(b.begin(), b.end()), accessdb::DecodeBase64(want["base64"].get<std::string>()));
  } else if (daoType == 5) {
    EXPECT_EQ(accessdb_test::CurrencyText(v.AsCurrency().scaled), want.get<std::string>());
  } else if (daoType == 20) {
    EXPECT_EQ(v.AsDecimal(), DecimalOf(want.get<std::string>())) << want.get<std::string>();
  } else if (daoType == 8) {
    EXPECT_NEAR(v.AsDate(), accessdb::ParseDateTime(want.get<std::string>()), 0.0005 / 86400);
  } else {
    EXPECT_EQ(ToUtf8(v.ToString()), want.get<std::string>());
  }
}

struct FileCase {
  const char* name;
  // Written by make-access-db from the file's values instead, and only its
  // first `twinTables` tables (the writer makes complex columns' tables itself).
  bool twin = false;
  size_t twinTables = SIZE_MAX;
};

class RealAccessFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(RealAccessFiles, ReadAsAccessShowsThem) {
  const FileCase& file = GetParam();
  std::ifstream in(kFolder + "expected/" + file.name + ".json");
  ASSERT_TRUE(in) << file.name;
  json expected = json::parse(in);
  std::string path = kFolder + file.name;
  TempDirectory dir;
  if (file.twin) {
    json& tables = expected["tables"];
    if (tables.size() > file.twinTables)
      tables.erase(tables.begin() + static_cast<long>(file.twinTables), tables.end());
    path = dir.File(file.name);
    std::istringstream description(expected.dump());
    accessdb::WriteTablesJson(description, path);
  }
  Variant db = Open(path);
  for (const json& table : expected["tables"]) {
    const std::string name = table["name"].get<std::string>();
    SCOPED_TRACE(name);
    const json& columns = table["columns"];
    const json& rows = table["rows"];
    Variant rs = OpenTable(db, FromUtf8(name).c_str());
    EXPECT_EQ(rs.Get(u"RecordCount").ToInt64(), static_cast<int64_t>(rows.size()));
    // The fields: every column but a hidden one (a version history), in order.
    std::vector<size_t> shown;
    for (size_t i = 0; i < columns.size(); ++i)
      if (!columns[i].value("hidden", false)) shown.push_back(i);
    ASSERT_EQ(rs.Get(u"Fields").Get(u"Count").ToInt64(), static_cast<int64_t>(shown.size()));
    for (size_t f = 0; f < shown.size(); ++f) {
      const json& c = columns[shown[f]];
      SCOPED_TRACE(c["name"].get<std::string>());
      Variant field = Field(rs, static_cast<int>(f));
      EXPECT_EQ(ToUtf8(field.Get(u"Name").ToString()), c["name"].get<std::string>());
      EXPECT_EQ(field.Get(u"Type").ToInt32(), c["dao_type"].get<int>());
      EXPECT_EQ(field.Get(u"Size").ToInt32(), c["dao_size"].get<int>());
    }
    for (size_t r = 0; r < rows.size(); ++r) {
      ASSERT_FALSE(rs.Get(u"Eof").ToBoolean()) << "row " << r + 1;
      for (size_t f = 0; f < shown.size(); ++f) {
        const json& c = columns[shown[f]];
        const json& cell = rows[r][shown[f]];
        SCOPED_TRACE("row " + std::to_string(r + 1) + ", column " + c["name"].get<std::string>());
        // A complex cell: the text the recordset gives for it.
        const json& want = cell.is_object() && cell.contains("dao_value") ? cell["dao_value"] : cell;
        ExpectValue(Field(rs, static_cast<int>(f)).Get(u"Value"), want, c["dao_type"].get<int>());
      }
      rs.Call(u"MoveNext");
    }
    EXPECT_TRUE(rs.Get(u"Eof").ToBoolean());
  }
}

INSTANTIATE_TEST_SUITE_P(Files, RealAccessFiles,
                         ::testing::Values(FileCase{"calcFieldTestV2010.accdb"}, FileCase{"fixedNumericTestV2003.mdb"},
                                           FileCase{"testV1997.mdb"}, FileCase{"test2V2000.mdb"},
                                           FileCase{"unsupportedFieldsTestV2007.accdb"},
                                           FileCase{"complexDataTestV2010.accdb"},
                                           FileCase{"calcFieldTestV2010.accdb", true},
                                           FileCase{"fixedNumericTestV2003.mdb", true}, FileCase{"testV1997.mdb", true},
                                           FileCase{"test2V2000.mdb", true},
                                           FileCase{"complexDataTestV2010.accdb", true, 1}),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           return name.substr(0, name.find('.')) + (info.param.twin ? "Twin" : "");
                         });

}  // namespace
