#include "jet/jet_column_rules.h"

namespace {

enum class Storage { kFixed, kVariable, kEither };

struct TypeShape {
  int type;
  Storage storage;
  int size;  // the bytes of a fixed-size type; 0 for texts, binaries and long values
};

// How a well-formed file stores each known type.
constexpr TypeShape kShapes[] = {
    {kJetBoolean, Storage::kFixed, 0},     {kJetByte, Storage::kEither, 1},      {kJetInteger, Storage::kEither, 2},
    {kJetLong, Storage::kEither, 4},       {kJetCurrency, Storage::kEither, 8},  {kJetSingle, Storage::kEither, 4},
    {kJetDouble, Storage::kEither, 8},     {kJetDateTime, Storage::kEither, 8},  {kJetBinary, Storage::kEither, 0},
    {kJetText, Storage::kEither, 0},       {kJetOle, Storage::kVariable, 0},     {kJetMemo, Storage::kVariable, 0},
    {kJetGuid, Storage::kEither, 16},      {kJetNumeric, Storage::kEither, 17},  {kJetComplex, Storage::kEither, 4},
    {kJetBigInt, Storage::kEither, 8},     {kJetDateTimeExtended, Storage::kEither, 42},
};

// Flags that only columns of certain types carry.
struct TypeFlag {
  uint8_t flag;
  int types[2];
};
constexpr TypeFlag kTypeFlags[] = {
    {kJetColumnAutoLong, {kJetLong, kJetComplex}},
    {kJetColumnAutoGuid, {kJetGuid, kJetGuid}},
    {kJetColumnHyperlink, {kJetMemo, kJetMemo}},
};

const TypeShape* ShapeOf(int type) {
  for (const TypeShape& s : kShapes)
    if (s.type == type) return &s;
  return nullptr;
}

bool NeedsNoSize(const JetTableDefinition::Column& c) {
  return c.calculated || c.type == kJetBoolean || c.type == kJetMemo || c.type == kJetOle;
}

}  // namespace

bool JetColumnIsWellFormed(const JetFormat& format, const JetTableDefinition::Column& c, int maxColumns) {
  if (c.number >= maxColumns) return false;
  if (c.fixed ? c.fixedOffset + c.size > format.maxRowSize : c.variableIndex >= maxColumns) return false;
  for (const TypeFlag& f : kTypeFlags)
    if ((c.flags & f.flag) && c.type != f.types[0] && c.type != f.types[1]) return false;
  if ((c.flags & kJetColumnAutoLong) && (c.flags & kJetColumnAutoGuid)) return false;
  if (!NeedsNoSize(c) && c.size == 0) return false;
  if (c.calculated) return !c.fixed;
  const TypeShape* shape = ShapeOf(c.type);
  if (!shape) return true;  // an unknown kind: its size is all there is to check
  if (shape->storage == Storage::kFixed && !c.fixed) return false;
  if (shape->storage == Storage::kVariable && c.fixed) return false;
  if (shape->size > 0) return c.fixed ? c.size == shape->size : c.size <= shape->size;
  return true;
}

bool JetColumnTypeIsKnown(int type) { return ShapeOf(type) != nullptr; }
