#include "platform/dao/dao_field_types.h"

#include <gtest/gtest.h>

#include "jet/jet_format.h"

TEST(DaoFieldTypes, TypeCodesAndSizesAsDaoReportsThem) {
  struct Row {
    int jetType;
    int storedSize;
    bool jet3;
    int daoType;
    int32_t daoSize;
  } rows[] = {
      {kJetBoolean, 1, false, 1, 1},   {kJetByte, 1, false, 2, 1},     {kJetInteger, 2, false, 3, 2},
      {kJetLong, 4, false, 4, 4},      {kJetCurrency, 8, false, 5, 8}, {kJetSingle, 4, false, 6, 4},
      {kJetDouble, 8, false, 7, 8},    {kJetDateTime, 8, false, 8, 8}, {kJetBinary, 10, false, 9, 10},
      {kJetText, 100, false, 10, 50},  {kJetText, 50, true, 10, 50},   {kJetOle, 0, false, 11, 0},
      {kJetMemo, 0, false, 12, 0},     {kJetGuid, 16, false, 15, 16},  {kJetBigInt, 8, false, 16, 8},
      {kJetNumeric, 17, false, 20, 16}, {kJetComplex, 4, false, 0, 0}, {kJetDateTimeExtended, 42, false, 8, 8},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DaoFieldType(r.jetType), r.daoType) << r.jetType;
    EXPECT_EQ(DaoFieldSize(r.jetType, r.storedSize, r.jet3), r.daoSize) << r.jetType;
  }
}
