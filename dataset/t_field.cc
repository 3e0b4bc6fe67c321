#include "dataset/t_field.h"

#include "dataset/t_data_set.h"
#include "platform/code_page.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

TField::TField(TDataSet* dataSet, UnicodeString fieldName, TFieldType dataType, int32_t size, int32_t index)
    : TComponent(nullptr),
      dataSet_(dataSet),
      fieldName_(std::move(fieldName)),
      dataType_(dataType),
      size_(size),
      index_(index) {}

TField::~TField() { NotifyDestruction(); }

const FieldValue& TField::StoredValue() const { return dataSet_->ActiveValue(index_); }

bool TField::IsNull() const { return StoredValue().IsNull(); }

UnicodeString TField::AsString() const { return ToText(StoredValue()); }

std::string TField::AsUtf8() const {
  const FieldValue& v = StoredValue();
  if (StoredText() != TextStorage::kAnsi) return ToUtf8(ToText(v));
  return v.IsNull() ? std::string() : AnsiToUtf8(v.AsBytes());
}

std::string TField::AsAnsi() const {
  const FieldValue& v = StoredValue();
  if (StoredText() != TextStorage::kAnsi) return ToAnsi(ToText(v));
  return v.IsNull() ? std::string() : MultiByteRoundTrip(GetACP(), v.AsBytes());
}

std::string_view TField::AnsiView(std::string& storage) const {
  const FieldValue& v = StoredValue();
  if (StoredText() == TextStorage::kAnsi && v.IsBytes() && RoundTripKeepsEveryByte(GetACP())) return v.AsBytes();
  storage = AsAnsi();
  return storage;
}

void TField::SetAsString(const UnicodeString& text) { SetAsVariant(Variant(text)); }

Variant TField::AsVariant() const { return ToVariant(StoredValue()); }

void TField::SetAsVariant(const Variant& value) { dataSet_->SetActiveValue(index_, ToStored(value)); }

void TField::Clear() { dataSet_->SetActiveValue(index_, FieldValue::Null()); }

FieldValue TField::ToStored(const Variant& value) const {
  if (!value.IsSet()) return FieldValue::Null();
  try {
    return ConvertVariant(value);
  } catch (const EVariantError&) {
    throw EDatabaseError(FormatText(u"Invalid value for field '%s'", {DisplayLabel()}));
  }
}

void TField::RangeError(int64_t value, int64_t min, int64_t max) const {
  throw EDatabaseError(FormatText(u"%d is not a valid value for field '%s'. The allowed range is %d to %d",
                                  {value, DisplayLabel(), min, max}));
}

int32_t TField::AsInteger() const {
  const FieldValue& v = StoredValue();
  return v.IsNull() ? 0 : ToVariant(v).ToInt32();
}
void TField::SetAsInteger(int32_t value) { SetAsVariant(Variant(value)); }

int64_t TField::AsLargeInt() const {
  const FieldValue& v = StoredValue();
  return v.IsNull() ? 0 : ToVariant(v).ToInt64();
}
void TField::SetAsLargeInt(int64_t value) { SetAsVariant(Variant(value)); }

double TField::AsFloat() const {
  const FieldValue& v = StoredValue();
  return v.IsNull() ? 0.0 : ToVariant(v).ToDouble();
}
void TField::SetAsFloat(double value) { SetAsVariant(Variant(value)); }

bool TField::AsBoolean() const {
  const FieldValue& v = StoredValue();
  return v.IsNull() ? false : ToVariant(v).ToBoolean();
}
void TField::SetAsBoolean(bool value) { SetAsVariant(Variant(value)); }

TDateTime TField::AsDateTime() const {
  const FieldValue& v = StoredValue();
  return v.IsNull() ? 0.0 : ToVariant(v).ToDateTime();
}
void TField::SetAsDateTime(TDateTime value) { SetAsVariant(Variant::FromDate(value)); }

Currency TField::AsCurrency() const {
  const FieldValue& v = StoredValue();
  return v.IsNull() ? Currency{} : ToVariant(v).ToCurrency();
}
void TField::SetAsCurrency(Currency value) { SetAsVariant(Variant(value)); }

bool TField::IsBlankText(const Variant& value) {
  return value.IsString() && Trim(value.AsStringRef()).empty();
}
