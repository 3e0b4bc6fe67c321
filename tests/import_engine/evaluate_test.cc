// Evaluation of cells through a whole run: the names a source text may
// hold, the value events, trimming, empty values and the conversion by the
// destination field.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "import_engine/t_smi_data_formats.h"
#include "memory_source.h"
#include "runtime/date_time.h"
#include "runtime/utf8.h"

namespace {

// One source row of the given columns imported into a dataset of the given
// fields with the given mapping lines.
struct OneRow {
  TClientDataSet ds;
  TMemorySource source;
  OneRow(const std::vector<std::pair<UnicodeString, TFieldType>>& fields,
         const std::vector<std::pair<UnicodeString, Variant>>& cells, const UnicodeString& mapping,
         TComponent* owner = nullptr)
      : source(owner) {
    DefineFields(ds, fields);
    std::vector<Variant> row;
    for (const auto& cell : cells) {
      source.columns.push_back({cell.first});
      row.push_back(cell.second);
    }
    source.rows = {row};
    source.Mappings().SetText(mapping);
    source.SetDataSet(&ds);
  }
  TField* Run(const UnicodeString& field) {
    source.Execute();
    EXPECT_EQ(source.Statistic().Result(), irExecuted);
    ds.First();
    return ds.FieldByName(field);
  }
};

}  // namespace

TEST(EvaluateTest, BracketedNamesReadTheColumn) {
  for (const char16_t* mapping : {u"T=[Node Text]", u"T=[[Node Text]]", u"T=\"Node Text\"", u"T=[node text]"}) {
    OneRow r({{u"T", ftString}}, {{u"Node Text", Variant(u"content")}}, mapping);
    EXPECT_EQ(r.Run(u"T")->AsString(), u"content") << ToUtf8(mapping);
  }
}

TEST(EvaluateTest, GetDateAndPiAreNotReadFromColumnsOfThatName) {
  OneRow r({{u"D", ftDateTime}, {u"P", ftFloat}, {u"N", ftString}},
           {{u"GETDATE", Variant(u"column")}, {u"PI", Variant(u"column")}, {u"Name", Variant(u"plain")}},
           u"D=GETDATE\nP=pi\nN=Name");
  const TDateTime before = Now();
  r.Run(u"D");
  const TDateTime after = Now();
  const TDateTime d = r.ds.FieldByName(u"D")->AsDateTime();
  EXPECT_GE(d, before - 1.0 / 86400);
  EXPECT_LE(d, after + 1.0 / 86400);
  EXPECT_NEAR(r.ds.FieldByName(u"P")->AsFloat(), 3.14159265358979, 1e-12);
  EXPECT_EQ(r.ds.FieldByName(u"N")->AsString(), u"plain");
}

TEST(EvaluateTest, BooleanFieldsReadTheLogicalWords) {
  struct Row { Variant value; UnicodeString expected; };
  const Row rows[] = {
      {Variant(true), u"True"},      {Variant(false), u"False"}, {Variant(u"Ja"), u"True"},
      {Variant(u"Y"), u"True"},      {Variant(u"0"), u"False"},  {Variant(u"N"), u"False"},
      {Variant(u"-1"), u""},         {Variant(int32_t{1}), u"True"},
  };
  for (const Row& row : rows) {
    OneRow r({{u"B", ftBoolean}}, {{u"Done", row.value}}, u"B=Done");
    r.source.DataFormats().SetBooleanTrue(u"Ja");
    EXPECT_EQ(r.Run(u"B")->AsString(), row.expected) << ToUtf8(row.value.ToString());
  }
  // Words compare exactly: "true" stays a text (the field's own conversion
  // then reads it), and a word that is no truth value fails in the field.
  struct Word { UnicodeString text; int errors; };
  for (const Word& w : {Word{u"true", 0}, Word{u"maybe", 1}}) {
    OneRow r({{u"B", ftBoolean}}, {{u"Done", Variant(w.text)}}, u"B=Done");
    r.source.DataFormats().SetBooleanTrue(u"Ja");
    Variant seen;
    r.source.SetOnGetCellParams([&](TSMImportBaseComponent*, TField*, Variant& value) { seen = value; });
    r.source.Execute();
    EXPECT_EQ(seen, Variant(w.text));
    EXPECT_EQ(r.source.Statistic().TotalErrors(), w.errors) << ToUtf8(w.text);
  }
}

TEST(EvaluateTest, TrimmingAndEmptyValues) {
  struct Row { TSMITrimSpaces trim; UnicodeString text; bool null; UnicodeString stored; };
  const Row rows[] = {
      {tsTrimLeftRight, u"   ", true, u""},  {tsNoTrim, u"   ", false, u"   "},
      {tsTrimLeft, u"  a  ", false, u"a  "}, {tsTrimRight, u"  a  ", false, u"  a"},
      {tsTrimLeftRight, u" a ", false, u"a"}, {tsNoTrim, u"", true, u""},
  };
  for (const Row& row : rows) {
    OneRow r({{u"S", ftString}}, {{u"Text1", Variant(row.text)}}, u"S=[Text1]");
    r.source.SetTrimSpaces(row.trim);
    TField* field = r.Run(u"S");
    EXPECT_EQ(field->IsNull(), row.null) << row.trim;
    EXPECT_EQ(field->AsString(), row.stored) << row.trim;
  }
}

TEST(EvaluateTest, NumbersAndDatesFollowTheFormats) {
  OneRow r({{u"F", ftFloat}, {u"D", ftDate}, {u"I", ftInteger}, {u"Count", ftInteger}},
           {{u"Amount", Variant(u"$1,234.50")}, {u"Day", Variant(u"31.12.2020")}, {u"Blank", Variant(u" ")}},
           u"F=Amount\nD=Day\nI=Blank\nCount=Count");
  r.source.DataFormats().SetThousandSeparator(u',');
  r.source.DataFormats().SetDecimalSeparator(u'.');
  r.source.DataFormats().SetCurrencyString(u"$");
  r.source.DataFormats().SetDateOrder(doDMY);
  r.source.DataFormats().SetDateSeparator(u'.');
  r.source.DataFormats().SetFourDigitYear(true);
  r.Run(u"F");
  EXPECT_DOUBLE_EQ(r.ds.FieldByName(u"F")->AsFloat(), 1234.5);
  EXPECT_EQ(r.ds.FieldByName(u"D")->AsDateTime(), EncodeDate(2020, 12, 31));
  EXPECT_EQ(r.ds.FieldByName(u"I")->AsInteger(), 0);
  // No column, parameter or dataset knows the name: the name itself, which
  // an integer field takes as no value.
  EXPECT_EQ(r.ds.FieldByName(u"Count")->AsInteger(), 0);
}

TEST(EvaluateTest, UnconvertibleDateStaysTextAndFailsInTheField) {
  OneRow r({{u"D", ftDate}}, {{u"Day", Variant(u"30.02.2020")}}, u"D=Day");
  r.source.DataFormats().SetDateOrder(doDMY);
  r.source.DataFormats().SetDateSeparator(u'.');
  Variant seen;
  r.source.SetOnGetCellParams([&](TSMImportBaseComponent*, TField*, Variant& value) { seen = value; });
  r.source.Execute();
  EXPECT_EQ(seen, Variant(u"30.02.2020"));
  EXPECT_EQ(r.source.Statistic().TotalErrors(), 1);
  EXPECT_EQ(r.source.Statistic().Result(), irExecuted);
}

TEST(EvaluateTest, StatisticNamesParametersAndDatasetFields) {
  auto app = std::make_unique<TClientDataSet>(&Application());
  app->SetName(u"Catalog");
  DefineFields(*app, {{u"Code", ftString}});
  app->Append();
  app->Fields(0)->SetAsString(u"from application");
  app->Post();

  TComponent form;
  auto* local = new TClientDataSet(&form);
  local->SetName(u"Local");
  DefineFields(*local, {{u"Code", ftString}});
  local->Append();
  local->Fields(0)->SetAsString(u"from form");
  local->Post();

  OneRow r({{u"N", ftInteger}, {u"Y", ftInteger}, {u"A", ftString}, {u"L", ftString}, {u"M", ftString}},
           {{u"Other.Column", Variant(u"source")}},
           u"N=STATTOTALIMPORTED\nY=Year\nA=Catalog.Code\nL=[Local.code]\nM=[Other.Column]", &form);
  TSMIParameter* year = r.source.Parameters().Add();
  year->SetName(u"Year");
  year->SetExpression(u"2024");
  year->SetParameterMode(ipmCalculate);
  r.Run(u"N");
  EXPECT_EQ(RowTexts(r.ds), (std::vector<UnicodeString>{u"1|2024|from application|from form|source"}));
}

TEST(EvaluateTest, LookupAndSubstituteWithArguments) {
  TComponent form;
  auto* codes = new TClientDataSet(&form);
  codes->SetName(u"Codes");
  DefineFields(*codes, {{u"Key", ftString}, {u"Text", ftString}});
  for (const char16_t* k : {u"a", u"b"}) {
    codes->Append();
    codes->Fields(0)->SetAsString(k);
    codes->Fields(1)->SetAsString(UnicodeString(u"text ") + k);
    codes->Post();
  }
  TMemorySource source(&form);
  struct Row { UnicodeString name; std::vector<Variant> args; Variant expected; };
  const Row rows[] = {
      {u"LOOKUP", {Variant(u"Codes"), Variant(u"Key"), Variant(u"b"), Variant(u"~Text~")}, Variant(u"text b")},
      {u"lookup", {Variant(u"Codes"), Variant(u"Key"), Variant(u"z"), Variant(u"Text")}, Variant::Null()},
      {u"LOOKUP", {Variant(u"Nowhere"), Variant(u"Key"), Variant(u"a"), Variant(u"Text")}, Variant::Null()},
      {u"SUBSTITUTE", {Variant(u"2"), Variant(u"1;2;3"), Variant(u"one;two;three")}, Variant(u"two")},
      {u"SUBSTITUTE", {Variant(u"4"), Variant(u"1;2;3"), Variant(u"one;two;three")}, Variant::Null()},
  };
  for (const Row& r : rows) {
    Variant value(r.name);
    bool done = true;
    source.EvaluateName(&source, r.name, r.args, static_cast<int32_t>(r.args.size()), false, value, done);
    EXPECT_EQ(value, r.expected) << ToUtf8(r.name);
    EXPECT_FALSE(done);
  }
}

TEST(EvaluateTest, EachStatisticNameReadsItsOwnCounter) {
  TMemorySource source;
  TSMIStatistic& s = source.Statistic();
  s.SetTotalCount(1), s.SetTotalImported(2), s.SetTotalAdded(3), s.SetTotalDeleted(4);
  s.SetTotalUpdated(5), s.SetTotalErrors(6), s.SetTotalSkipped(7);
  const std::pair<const char16_t*, int32_t> rows[] = {
      {u"STATTOTALCOUNT", 1},   {u"StatTotalImported", 2}, {u"STATTOTALADDED", 3},   {u"STATTOTALDELETED", 4},
      {u"STATTOTALUPDATED", 5}, {u"staterrorcount", 6},    {u"STATTOTALSKIPPED", 7},
  };
  for (const auto& [name, counter] : rows) {
    Variant value(name);
    bool done = false;
    source.EvaluateName(&source, name, {}, 0, false, value, done);
    EXPECT_EQ(value, Variant(counter)) << ToUtf8(name);
  }
}

TEST(EvaluateTest, ValueEventsSeeTheFieldAndMayChangeTheValue) {
  OneRow r({{u"S", ftString}, {u"C", ftString}}, {{u"Title", Variant(u"raw")}}, u"S=Title\nC=STATTOTALCOUNT");
  std::vector<UnicodeString> parsed;
  r.source.SetOnParsedValue([&](TSMImportBaseComponent*, TField* field, Variant& value) {
    parsed.push_back(field ? field->FieldName() : u"-");
    value = Variant(value.ToString() + u"+parsed");
  });
  std::vector<UnicodeString> evaluated;
  r.source.SetOnParserEvaluate([&](TPersistent*, const UnicodeString& name, const std::vector<Variant>& args,
                                   int32_t count, bool isChild, Variant& value, bool&) {
    evaluated.push_back(name);
    EXPECT_EQ(count, static_cast<int32_t>(args.size()));
    EXPECT_FALSE(isChild);
    if (name == u"Title") value = Variant(value.ToString() + u"+evaluated");
  });
  r.Run(u"S");
  EXPECT_EQ(RowTexts(r.ds), (std::vector<UnicodeString>{u"raw+parsed+evaluated|1"}));
  EXPECT_EQ(parsed, (std::vector<UnicodeString>{u"S"}));  // special names are not fetched
  EXPECT_EQ(evaluated, (std::vector<UnicodeString>{u"Title", u"STATTOTALCOUNT"}));
}

TEST(EvaluateTest, CellsFollowSourcesChangedDuringTheRunAndNestedEvaluations) {
  OneRow r({{u"T", ftString}, {u"N", ftString}}, {{u"Title", Variant(u"t1")}, {u"Note", Variant(u"n1")}},
           u"T=Title\nN=Note");
  r.source.rows.push_back({Variant(u"t2"), Variant(u"n2")});
  r.source.rows.push_back({Variant(u"t3"), Variant(u"n3")});
  // After the first row the field T reads the column Note instead.
  r.source.SetOnBeforeRecordEvent([](TSMImportBaseComponent*, const UnicodeString&, Variant& rows, bool&) {
    Variant::Array& title = rows.MutableArray()[0].MutableArray();
    title[1] = Variant(u"Note");
  });
  // An evaluation started by a handler while a cell is evaluated leaves that
  // cell's own value alone (the field index is one the run never uses).
  r.source.SetOnParserEvaluate([&](TPersistent*, const UnicodeString& name, const std::vector<Variant>&, int32_t,
                                   bool, Variant& value, bool&) {
    if (name != u"Title") return;
    Variant inner;
    r.source.EvaluateSourceExpression(u"[Note]", r.source.CurrentParsedFieldIndex() + 8, inner);
    value = Variant(value.ToString() + u"+" + inner.ToString());
  });
  r.Run(u"T");
  EXPECT_EQ(RowTexts(r.ds), (std::vector<UnicodeString>{u"t1+n1|n1", u"n2|n2", u"n3|n3"}));
}

TEST(EvaluateTest, TextSourcesHandTextNamesStraightToTheHook) {
  OneRow text({{u"S", ftString}}, {{u"Text and more", Variant(u"whole")}}, u"S=Text and more");
  EXPECT_EQ(text.Run(u"S")->AsString(), u"whole");

  // Any other source type goes through the calculator, which reads no such expression.
  OneRow other({{u"S", ftString}}, {{u"Text and more", Variant(u"whole")}}, u"S=Text and more");
  other.source.SetTableType(teAccess);
  other.source.Execute();
  EXPECT_EQ(other.source.Statistic().TotalErrors(), 0);
  EXPECT_EQ(other.source.Statistic().TotalAdded(), 0);
  EXPECT_EQ(other.ds.RecordCount(), 0);
}

TEST(EvaluateTest, CharacterSetConvertsTextsButNotNumbers) {
  OneRow r({{u"S", ftString}, {u"I", ftInteger}}, {{u"A", Variant(u"A 0")}, {u"N", Variant(u"12")}}, u"S=A\nI=N");
  r.source.SetCharacterSet(csiEBCDIC);
  Variant seen;
  r.source.SetOnGetCellParams([&](TSMImportBaseComponent*, TField* field, Variant& value) {
    if (field->FieldName() == u"S") seen = value;
  });
  r.Run(u"S");
  EXPECT_EQ(seen, Variant(UnicodeString{char16_t(193), char16_t(64), char16_t(240)}));
  EXPECT_EQ(r.ds.FieldByName(u"I")->AsInteger(), 12);
}
