// Enumerations shared by the dataset, its fields and their users: the field
// data types, field kinds, text alignment and the dataset states.
//
// The orders are fixed (callers and stored settings use the numeric codes),
// each enumeration counting from 0 in the order listed.
#pragma once

enum TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftParadoxOle,
  ftDBaseOle,
  ftTypedBinary,
  ftCursor,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftADT,
  ftArray,
  ftReference,
  ftDataSet,
  ftOraBlob,
  ftOraClob,
  ftVariant,
  ftInterface,
  ftIDispatch,
  ftGuid,
  ftTimeStamp,
  ftFMTBcd,
};

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TDataSetState {
  dsInactive,  // closed
  dsBrowse,    // open, no pending change
  dsEdit,      // the current row is being changed
  dsInsert,    // a new row is pending
  dsSetKey,    // field assignments fill the search key
  dsCalcFields,
  dsFilter,
  dsNewValue,
  dsOldValue,
  dsCurValue,
  dsBlockRead,
  dsInternalCalc,
  dsOpening,
};
