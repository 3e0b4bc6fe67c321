#include "dataset/field_factory.h"

#include "dataset/fields.h"

namespace {

using Maker = std::unique_ptr<TField> (*)(TDataSet*, const UnicodeString&, TFieldType, int32_t, int32_t);

template <typename F>
std::unique_ptr<TField> Make(TDataSet* ds, const UnicodeString& name, TFieldType type, int32_t size, int32_t index) {
  return std::make_unique<F>(ds, name, type, size, index);
}

// Field class of each type, in TFieldType order; nullptr: not held by this dataset.
constexpr Maker kMakers[] = {
    nullptr,                   // ftUnknown
    Make<TStringField>,        // ftString
    Make<TSmallintField>,      // ftSmallint
    Make<TIntegerField>,       // ftInteger
    Make<TWordField>,          // ftWord
    Make<TBooleanField>,       // ftBoolean
    Make<TFloatField>,         // ftFloat
    Make<TCurrencyField>,      // ftCurrency
    Make<TBCDField>,           // ftBCD
    Make<TDateField>,          // ftDate
    Make<TTimeField>,          // ftTime
    Make<TDateTimeField>,      // ftDateTime
    Make<TBytesField>,         // ftBytes
    Make<TVarBytesField>,      // ftVarBytes
    Make<TAutoIncField>,       // ftAutoInc
    Make<TBlobField>,          // ftBlob
    Make<TMemoField>,          // ftMemo
    Make<TGraphicField>,       // ftGraphic
    Make<TMemoField>,          // ftFmtMemo
    Make<TBlobField>,          // ftParadoxOle
    Make<TBlobField>,          // ftDBaseOle
    Make<TBlobField>,          // ftTypedBinary
    nullptr,                   // ftCursor
    Make<TStringField>,        // ftFixedChar
    Make<TWideStringField>,    // ftWideString
    Make<TLargeintField>,      // ftLargeint
    nullptr,                   // ftADT
    nullptr,                   // ftArray
    nullptr,                   // ftReference
    nullptr,                   // ftDataSet
    Make<TBlobField>,          // ftOraBlob
    Make<TMemoField>,          // ftOraClob
    nullptr,                   // ftVariant
    nullptr,                   // ftInterface
    nullptr,                   // ftIDispatch
    Make<TStringField>,        // ftGuid
    Make<TDateTimeField>,      // ftTimeStamp
    Make<TBCDField>,           // ftFMTBcd
};
static_assert(sizeof kMakers / sizeof kMakers[0] == ftFMTBcd + 1, "one entry per field type");

Maker MakerFor(TFieldType type) {
  int i = static_cast<int>(type);
  if (i < 0 || i > ftFMTBcd) return nullptr;
  return kMakers[i];
}

}  // namespace

std::unique_ptr<TField> CreateField(TDataSet* dataSet, const UnicodeString& fieldName, TFieldType dataType,
                                    int32_t size, int32_t index) {
  Maker make = MakerFor(dataType);
  return make ? make(dataSet, fieldName, dataType, size, index) : nullptr;
}

bool IsSupportedFieldType(TFieldType dataType) { return MakerFor(dataType) != nullptr; }
