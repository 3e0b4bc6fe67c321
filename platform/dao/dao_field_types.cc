#include "platform/dao/dao_field_types.h"

#include "jet/jet_format.h"

namespace {

struct TypeInfo {
  int jetType;
  int daoType;
  int fixedSize;  // -1: variable length
};

// Stored type to DAO type and fixed byte size.
constexpr TypeInfo kTypes[] = {
    {kJetBoolean, 1, 1}, {kJetByte, 2, 1},     {kJetInteger, 3, 2},   {kJetLong, 4, 4},
    {kJetCurrency, 5, 8}, {kJetSingle, 6, 4},  {kJetDouble, 7, 8},    {kJetDateTime, 8, 8},
    {kJetBinary, 9, -1}, {kJetText, 10, -1},   {kJetOle, 11, -1},     {kJetMemo, 12, -1},
    {kJetGuid, 15, 16},  {kJetNumeric, 20, 16}, {kJetBigInt, 16, 8},
    {kJetDateTimeExtended, 8, 8},
};

const TypeInfo* FindType(int jetType) {
  for (const TypeInfo& t : kTypes)
    if (t.jetType == jetType) return &t;
  return nullptr;
}

}  // namespace

int DaoFieldType(int jetType) {
  const TypeInfo* t = FindType(jetType);
  return t ? t->daoType : 0;
}

int32_t DaoFieldSize(int jetType, int storedSize, bool jet3) {
  switch (jetType) {
    case kJetText: return jet3 ? storedSize : storedSize / 2;
    case kJetBinary: return storedSize;
    case kJetMemo:
    case kJetOle:
    case kJetComplex: return 0;  // a complex field's text joins all its values
    default: {
      const TypeInfo* t = FindType(jetType);
      return t && t->fixedSize > 0 ? t->fixedSize : storedSize;
    }
  }
}
