// Helpers shared by the dataset tests.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dataset/t_client_data_set.h"
#include "runtime/exceptions.h"
#include "runtime/utf8.h"

// Runs `action` and answers the message of the exception of type E it raises
// ("<no exception>" when it raises none).
template <typename E, typename F>
std::string MessageOf(F&& action) {
  try {
    action();
  } catch (const E& e) {
    return e.what();
  }
  return "<no exception>";
}

// An open dataset with the given fields (name, type, size).
struct FieldSpec {
  const char16_t* name;
  TFieldType type;
  int32_t size;
};
inline std::unique_ptr<TClientDataSet> OpenDataSet(std::initializer_list<FieldSpec> fields) {
  auto ds = std::make_unique<TClientDataSet>();
  for (const FieldSpec& f : fields) ds->FieldDefs().Add(f.name, f.type, f.size);
  ds->CreateDataSet();
  return ds;
}

// Appends one row, assigning the texts to the fields in order.
inline void AppendRow(TDataSet& ds, std::initializer_list<const char16_t*> texts) {
  ds.Append();
  int i = 0;
  for (const char16_t* t : texts) ds.Fields(i++)->SetAsString(t);
  ds.Post();
}

// The text of field `field` of every row in cursor order, from the first.
inline std::vector<std::string> Column(TDataSet& ds, int field) {
  std::vector<std::string> out;
  for (ds.First(); !ds.Eof(); ds.Next()) out.push_back(ToUtf8(ds.Fields(field)->AsString()));
  return out;
}
