// The column model: detecting columns from the destination dataset and
// building Mappings from the columns.
#include <algorithm>

#include "dataset/t_data_set.h"
#include "import_engine/t_smi_import_base_component.h"
#include "platform/unicode_case.h"

namespace {

// Names holding these characters must be written in brackets in a mapping.
bool NeedsBrackets(UnicodeStringView name) { return name.find_first_of(u" /\\") != UnicodeStringView::npos; }

// Destination field type to column data type.
TSMIDataType DataTypeOfField(TFieldType type) {
  switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return itInteger;
    case ftBoolean:
      return itBoolean;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
      return itFloat;
    case ftDate:
      return itDate;
    case ftTime:
      return itTime;
    case ftDateTime:
      return itDateTime;
    case ftBlob:
    case ftGraphic:
    case ftFmtMemo:
    case ftTypedBinary:
      return itBLOB;
    case ftMemo:
      return itMEMO;
    default:
      return itString;
  }
}

bool IsDataField(const TField& field) {
  return field.FieldKind() != fkCalculated && field.FieldKind() != fkLookup;
}

}  // namespace

void TSMImportBaseComponent::DetectAutoMapping() {
  if (!FDataSet) return;
  for (int i = 0; i < FDataSet->FieldCount(); ++i) {
    TField* field = FDataSet->Fields(i);
    TSMIColumn* column = FColumns.Add();
    column->SetFieldName(field->FieldName());
    column->SetCaption(field->DisplayLabel());
    column->SetDataType(DataTypeOfField(field->DataType()));
    column->SetAlignment(field->Alignment());
    column->SetSize(field->Size());
    if (field->DataType() == ftFloat || field->DataType() == ftCurrency) column->SetPrecision(field->Precision());
  }
}

UnicodeString TSMImportBaseComponent::GetColumnFieldName(int32_t index) {
  const UnicodeString& name = FColumns.Items(index)->FieldName();
  if (NeedsBrackets(name)) return u"[" + name + u"]";
  return name;
}

void TSMImportBaseComponent::Columns2Mapping() {
  FMappings.Clear();
  if (!FDataSet) return;
  const int fieldCount = FDataSet->FieldCount();

  // Each column to the first data field it matches.
  for (int32_t i = 0; i < FColumns.Count(); ++i) {
    const TSMIColumn& column = *FColumns.Items(i);
    const UnicodeString& columnName = column.FieldName();
    const bool bracketed = NeedsBrackets(columnName);
    for (int f = 0; f < fieldCount; ++f) {
      TField* field = FDataSet->Fields(f);
      if (!IsDataField(*field)) continue;
      const UnicodeString& fieldName = field->FieldName();
      bool match = SameTextUnicode(columnName, fieldName);
      if (!match && bracketed)
        match = SameTextUnicode(columnName, u"[" + fieldName + u"]") || SameTextUnicode(columnName, u"\"" + fieldName + u"\"");
      if (!match && FUseDisplayNames) {
        UnicodeString label = field->DisplayLabel();
        match = SameTextUnicode(columnName, label) || SameTextUnicode(column.Caption(), label);
      }
      if (match) {
        FMappings.Add(fieldName + u"=" + GetColumnFieldName(i));
        break;
      }
    }
  }

  // Every visible data field left without a line gets an empty source at its position.
  if (FMappings.Count() < fieldCount) {
    int32_t position = 0;
    for (int f = 0; f < fieldCount; ++f) {
      TField* field = FDataSet->Fields(f);
      if (!field->Visible() || !IsDataField(*field)) continue;
      if (FMappings.IndexOfName(field->FieldName()) < 0)
        FMappings.Insert(std::min(position, FMappings.Count()), field->FieldName() + u"=");
      ++position;
    }
  }

  // Nothing matched by name: map by position.
  if (FMappings.Count() == 0) {
    for (int32_t i = 0; i < FColumns.Count() && i < fieldCount; ++i)
      FMappings.Add(FDataSet->Fields(i)->FieldName() + u"=" + GetColumnFieldName(i));
  }
}
