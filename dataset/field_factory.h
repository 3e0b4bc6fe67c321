// Creates the field object of a field type. The table of types to field
// classes lives in field_factory.cc.
#pragma once

#include <cstdint>
#include <memory>

#include "dataset/t_field.h"

// nullptr for the types the dataset cannot hold (ftUnknown, ftCursor, ftADT,
// ftArray, ftReference, ftDataSet, ftVariant, ftInterface, ftIDispatch).
std::unique_ptr<TField> CreateField(TDataSet* dataSet, const UnicodeString& fieldName, TFieldType dataType,
                                    int32_t size, int32_t index);
// True when CreateField makes a field for `dataType`.
bool IsSupportedFieldType(TFieldType dataType);
