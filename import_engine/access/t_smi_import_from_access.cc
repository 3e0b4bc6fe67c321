#include "import_engine/access/t_smi_import_from_access.h"

#include "platform/automation/create_ole_object.h"

namespace {

// DAO's Field.Type codes and the column kind and alignment they give.
struct DaoTypeMapping {
  int32_t daoType;
  TSMIDataType dataType;
  TAlignment alignment;
};

constexpr DaoTypeMapping kDaoTypes[] = {
    {1, itBoolean, taLeftJustify},                                   // dbBoolean
    {2, itInteger, taRightJustify},  {3, itInteger, taRightJustify},  // dbByte, dbInteger
    {4, itInteger, taRightJustify},  {16, itInteger, taRightJustify}, // dbLong, dbBigInt
    {5, itFloat, taRightJustify},    {6, itFloat, taRightJustify},    // dbCurrency, dbSingle
    {7, itFloat, taRightJustify},    {19, itFloat, taRightJustify},   // dbDouble, dbNumeric
    {20, itFloat, taRightJustify},   {21, itFloat, taRightJustify},   // dbDecimal, dbFloat
    {8, itDateTime, taLeftJustify},                                   // dbDate
    {9, itBLOB, taLeftJustify},      {11, itBLOB, taLeftJustify},     // dbBinary, dbLongBinary
    {17, itBLOB, taLeftJustify},                                      // dbVarBinary
    {12, itMEMO, taLeftJustify},                                      // dbMemo
    {22, itTime, taLeftJustify},                                      // dbTime
};

// Every other type (text, GUID, char, timestamp, unknown codes) is a string.
DaoTypeMapping MappingFor(int32_t daoType) {
  for (const DaoTypeMapping& m : kDaoTypes)
    if (m.daoType == daoType) return m;
  return DaoTypeMapping{daoType, itString, taLeftJustify};
}

}  // namespace

TSMImportFromAccess::TSMImportFromAccess(TComponent* owner) : TSMImportFromADODOA(owner) {
  SetTableType(teAccess);
  InitSourceFileName();
}

void TSMImportFromAccess::OpenSource() {
  ResetFieldLookup();
  try {
    connection = CreateOleObject(u"DAO.DBEngine.36");
  } catch (const std::exception&) {
    try {
      connection = CreateOleObject(u"DAO.DBEngine.35");
    } catch (const std::exception&) {
      connection = Variant::Null();
    }
  }
  try {
    OpenDatabaseAndRecordset();
  } catch (const std::exception&) {
    recordset = Variant::Null();
    db = Variant::Null();
  }
}

void TSMImportFromAccess::OpenDatabaseAndRecordset() {
  if (FPassword.empty()) {
    db = connection.Call(u"OpenDatabase", {Variant(SourceFileName())});
  } else {
    db = connection.Call(u"OpenDatabase", {},
                         {{u"Name", Variant(SourceFileName())}, {u"Connect", Variant(u";PWD=" + FPassword)}});
  }
  if (TableName().empty()) {
    recordset = Variant::Null();
    return;
  }
  Variant query;
  {
    Variant queryDefs = db.Get(u"QueryDefs");
    int32_t count = queryDefs.Get(u"Count").ToInt32();
    for (int32_t i = 0; i < count; ++i) {
      Variant candidate = queryDefs.Get(u"Item", {Variant(i)});
      if (candidate.Get(u"Name").ToString() == TableName()) {  // exact, case-sensitive
        query = candidate;
        break;
      }
    }
  }
  if (query.IsEmpty()) {
    recordset = db.Call(u"OpenRecordset", {Variant(TableName()), Variant(int32_t(1)), Variant(int32_t(0)),
                                           Variant(int32_t(2))});
  } else {
    recordset = query.Call(u"OpenRecordset");
  }
}

void TSMImportFromAccess::CloseSource() {
  if (recordset.IsSet()) recordset.Call(u"Close");
  if (db.IsSet()) db.Call(u"Close");
  if (connection.IsSet()) connection = Variant();
}

bool TSMImportFromAccess::CheckProperties(UnicodeString& propertyName) {
  if (TSMImportFromADODOA::CheckProperties(propertyName)) return true;
  if (SourceFileName().empty()) {
    propertyName = u"SourceFileName";
    return true;
  }
  if (TableName().empty()) {
    propertyName = u"TableName";
    return true;
  }
  return false;
}

UnicodeString TSMImportFromAccess::FillFileFilters() const {
  return u"MS Access database (*.mdb)|*.MDB|" + TSMImportFromADODOA::FillFileFilters();
}

void TSMImportFromAccess::DetectAutoMapping() {
  if (!recordset.IsSet()) return;
  Variant fields = recordset.Get(u"Fields");
  int32_t count = fields.Get(u"Count").ToInt32();
  for (int32_t i = 0; i < count; ++i) {
    TSMIColumn* column = Columns().Add();
    Variant field = fields.Get(u"Item", {Variant(i)});
    UnicodeString name = field.Get(u"Name").ToString();
    if (name.find(u' ') != UnicodeString::npos || name.find(u'/') != UnicodeString::npos) name = u"[" + name + u"]";
    column->SetFieldName(name);
    DaoTypeMapping mapping = MappingFor(field.Get(u"Type").ToInt32());
    column->SetAlignment(mapping.alignment);
    column->SetDataType(mapping.dataType);
    column->SetSize(field.Get(u"Size").ToInt32());
  }
}
