// The import component's data model: defaults, coupled settings, Assign,
// free notification and the column model.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "import_engine/t_smi_data_formats.h"
#include "memory_source.h"
#include "runtime/regional_settings.h"
#include "runtime/utf8.h"

TEST(ImportComponentTest, NewComponentHasTheDocumentedDefaults) {
  TSMImportBaseComponent c;
  EXPECT_EQ(c.Options().Bits(), 59);
  EXPECT_FALSE(c.Options().Contains(soSkipEmptyRow));
  EXPECT_EQ(c.Mode(), imAppend);
  EXPECT_EQ(c.ActionKind(), akDatasetApply);
  EXPECT_EQ(c.CommitCount(), 300);
  EXPECT_EQ(c.RowFirst(), 1);
  EXPECT_EQ(c.RowLast(), 2147483647);
  EXPECT_EQ(c.RowFieldNames(), 1);
  EXPECT_EQ(c.MaxScanRows(), 0);
  EXPECT_EQ(c.TitleStatus(), u"Importing...");
  EXPECT_EQ(c.DataFormats().BooleanTrue(), u"True");
  EXPECT_EQ(c.DataFormats().BooleanFalse(), u"False");
  EXPECT_FALSE(c.DataFormats().UseRegionalSettings());
  EXPECT_TRUE(c.AbortOnProblem());
  EXPECT_TRUE(c.AnimatedStatus());
  EXPECT_FALSE(c.UseDisplayNames());
  EXPECT_EQ(c.CharacterSet(), csiANSI_WINDOWS);
  EXPECT_EQ(c.TrimSpaces(), tsNoTrim);
  EXPECT_EQ(c.TableType(), teText);
  EXPECT_EQ(c.FieldDelimiter(), fdTab);
  EXPECT_EQ(c.FieldDelimiterCustom(), u'\t');
  EXPECT_EQ(c.TextQualifier(), tqQuot);
  EXPECT_EQ(c.TextQualifierCustom(), u'"');
  EXPECT_EQ(c.RecordSeparator(), rsCRLF);
  EXPECT_EQ(c.RecordSeparatorCustom(), u"\r\n");
  EXPECT_EQ(c.DataSet(), nullptr);
  EXPECT_EQ(c.Mappings().Count(), 0);
  EXPECT_EQ(c.Columns().Count(), 0);
  EXPECT_EQ(c.Columns().Owner(), &c);
  EXPECT_EQ(c.Parameters().Count(), 0);
  EXPECT_TRUE(c.LoadCondition().LoadWhen().empty());
  EXPECT_TRUE(c.LoadCondition().SkipIf().empty());
  EXPECT_EQ(c.SQLOptions().FieldNameCharCase(), ifcNormal);
  EXPECT_EQ(c.SQLOptions().SQLQuote(), u'"');
  EXPECT_EQ(c.SQLOptions().SQLTerm(), u";");
  EXPECT_EQ(c.SQLOptions().FieldNameOptions().SQLQuoteOpen(), u'[');
  EXPECT_EQ(c.SQLOptions().FieldNameOptions().SQLQuoteClose(), u']');
  EXPECT_EQ(c.Statistic().UpdateStep(), 1);
  EXPECT_EQ(c.Statistic().Result(), irUnknown);
  EXPECT_EQ(c.CurrentParsedFieldIndex(), -1);
  EXPECT_EQ(c.SourceFileName().substr(c.SourceFileName().size() - 4), u".SMI");
  EXPECT_EQ(c.Extension(), u".SMI");
  EXPECT_EQ(c.FillFileFilters(), u"All files (*.*)|*.*");
}

// A source whose Extension differs re-forms its default file name.
class TOtherExtensionSource : public TSMImportBaseComponent {
 public:
  TOtherExtensionSource() { InitSourceFileName(); }
  UnicodeString Extension() const override { return u".MDB"; }
};

TEST(ImportComponentTest, DerivedSourceFormsItsDefaultFileNameWithItsExtension) {
  TOtherExtensionSource c;
  const UnicodeString& name = c.SourceFileName();
  ASSERT_GT(name.size(), 4u);
  EXPECT_EQ(name.substr(name.size() - 4), u".MDB");
}

TEST(ImportComponentTest, FormatsStartFromTheRegionalSettings) {
  FormatSettings german;
  german.DateSeparator = u'.';
  german.ShortDateFormat = u"dd.MM.yyyy";
  german.DecimalSeparator = u',';
  german.ThousandSeparator = u'.';
  german.CurrencyString = u"EUR";
  ScopedRegionalSettings scope(german);
  TSMImportBaseComponent c;
  const TSMIDataFormats& f = c.DataFormats();
  EXPECT_EQ(f.DateOrder(), doDMY);
  EXPECT_EQ(f.DateSeparator(), u'.');
  EXPECT_TRUE(f.FourDigitYear());
  EXPECT_TRUE(f.LeadingZerosInDate());
  EXPECT_EQ(f.DecimalSeparator(), u',');
  EXPECT_EQ(f.ThousandSeparator(), u'.');
  EXPECT_EQ(f.CurrencyString(), u"EUR");
  // The logical-value words are the component's own, not regional.
  EXPECT_EQ(f.BooleanTrue(), u"True");
}

TEST(ImportComponentTest, DelimiterQualifierAndSeparatorKindsFollowTheirCustomValues) {
  TSMImportBaseComponent c;
  struct DelimiterRow { char16_t custom; TSMIFieldDelimiter kind; };
  for (const DelimiterRow& r : {DelimiterRow{u';', fdSemicolon}, DelimiterRow{u'|', fdCustom},
                                DelimiterRow{u',', fdComma}, DelimiterRow{u' ', fdSpace},
                                DelimiterRow{u'\t', fdTab}, DelimiterRow{0, fdNone}}) {
    c.SetFieldDelimiterCustom(r.custom);
    EXPECT_EQ(c.FieldDelimiter(), r.kind) << int(r.custom);
  }
  c.SetFieldDelimiter(fdComma);
  EXPECT_EQ(c.FieldDelimiterCustom(), u',');
  c.SetFieldDelimiterCustom(u'#');
  c.SetFieldDelimiter(fdCustom);
  EXPECT_EQ(c.FieldDelimiterCustom(), u'#');

  struct QualifierRow { char16_t custom; TSMITextQualifier kind; };
  for (const QualifierRow& r : {QualifierRow{u'\'', tqApos}, QualifierRow{u'"', tqQuot}, QualifierRow{u'`', tqCustom},
                                QualifierRow{0, tqNone}}) {
    c.SetTextQualifierCustom(r.custom);
    EXPECT_EQ(c.TextQualifier(), r.kind) << int(r.custom);
  }
  c.SetTextQualifier(tqApos);
  EXPECT_EQ(c.TextQualifierCustom(), u'\'');

  struct SeparatorRow { UnicodeString custom; TSMIRecordSeparator kind; };
  for (const SeparatorRow& r : {SeparatorRow{u"\r", rsCR}, SeparatorRow{u"\n", rsLF}, SeparatorRow{u"\r\n", rsCRLF},
                                SeparatorRow{u"~~", rsCustom}}) {
    c.SetRecordSeparatorCustom(r.custom);
    EXPECT_EQ(c.RecordSeparator(), r.kind);
  }
  c.SetRecordSeparator(rsLF);
  EXPECT_EQ(c.RecordSeparatorCustom(), u"\n");
}

TEST(ImportComponentTest, AssignCopiesSettingsOwnedObjectsAndEventSlots) {
  TClientDataSet ds;
  TSMImportBaseComponent a;
  a.SetDataSet(&ds);
  a.SetMode(imAppendUpdate);
  a.SetDatasetKeys(u"ID");
  a.Mappings().Add(u"ID=Id");
  a.DataFormats().SetBooleanTrue(u"Ja");
  a.LoadCondition().SetSkipIf(u"Gone");
  a.SQLOptions().FieldNameOptions().SetSQLQuoteOpen(u'`');
  a.SetCommitCount(7);
  a.SetTextQualifierCustom(u'\'');
  a.Parameters().Add()->SetName(u"P");
  int created = 0;
  a.SetOnCreateStructure([&created](TSMImportBaseComponent*, TSMIColumns*) { ++created; });

  TSMImportBaseComponent b;
  b.Assign(a);
  EXPECT_EQ(b.DataSet(), &ds);
  EXPECT_EQ(b.Mode(), imAppendUpdate);
  EXPECT_EQ(b.DatasetKeys(), u"ID");
  EXPECT_EQ(b.Mappings().Text(), u"ID=Id\r\n");
  EXPECT_EQ(b.DataFormats().BooleanTrue(), u"Ja");
  EXPECT_EQ(b.LoadCondition().SkipIf(), u"Gone");
  EXPECT_EQ(b.SQLOptions().FieldNameOptions().SQLQuoteOpen(), u'`');
  EXPECT_EQ(b.CommitCount(), 7);
  EXPECT_EQ(b.TextQualifier(), tqApos);
  ASSERT_NE(b.Parameters().ParamByName(u"P"), nullptr);
  ASSERT_TRUE(b.OnCreateStructure());
  b.OnCreateStructure()(&b, &b.Columns());
  EXPECT_EQ(created, 1);
  // Owned objects are copies, not shared.
  a.Mappings().Add(u"X=Y");
  EXPECT_EQ(b.Mappings().Count(), 1);

  TStringList notAComponent;
  EXPECT_THROW(b.Assign(notAComponent), EConvertError);
}

TEST(ImportComponentTest, DestroyedDataSetClearsTheReferenceAndExecuteReportsIt) {
  TMemorySource source;
  auto ds = std::make_unique<TClientDataSet>();
  source.SetDataSet(ds.get());
  ds.reset();
  EXPECT_EQ(source.DataSet(), nullptr);
  try {
    source.Execute();
    FAIL() << "Execute ran without a dataset";
  } catch (const ESMIInvalidPropertyException& e) {
    EXPECT_EQ(e.Message(), u"Property DataSet wasn't specified.");
  }
  EXPECT_EQ(source.Statistic().Result(), irUnknown);
  EXPECT_EQ(source.openCount, 0);
  EXPECT_EQ(source.closeCount, 0);
}

TEST(ImportComponentTest, ReplacingTheDataSetUnlinksThePreviousOne) {
  TMemorySource source;
  TClientDataSet second;
  {
    TClientDataSet first;
    source.SetDataSet(&first);
    source.SetDataSet(&second);
  }  // destroying the first one must not touch the reference
  EXPECT_EQ(source.DataSet(), &second);
}

TEST(ImportComponentTest, ComponentDestroyedBeforeItsDataSetLeavesTheDataSetUsable) {
  TClientDataSet ds;
  {
    TMemorySource source;
    source.SetDataSet(&ds);
  }
  DefineFields(ds, {{u"A", ftString}});
  EXPECT_TRUE(ds.Active());
}

TEST(ImportComponentTest, ColumnFieldNamesAreBracketedWhenTheyHoldBlanksOrSlashes) {
  TSMImportBaseComponent c;
  struct Row { UnicodeString name, expected; };
  const Row rows[] = {{u"a/b", u"[a/b]"}, {u"abc", u"abc"}, {u"Node Text", u"[Node Text]"},
                      {u"a\\b", u"[a\\b]"}, {u"[Node Text]", u"[[Node Text]]"}};
  for (const Row& r : rows) {
    c.Columns().Clear();
    c.Columns().Add()->SetFieldName(r.name);
    EXPECT_EQ(c.GetColumnFieldName(0), r.expected);
  }
}

TEST(ImportComponentTest, ColumnsToMappingPairsByNameAndInsertsUnmatchedFields) {
  TClientDataSet ds;
  DefineFields(ds, {{u"TITLE", ftString}, {u"Node Text", ftString}, {u"Extra", ftString}});
  TSMImportBaseComponent c;
  c.SetDataSet(&ds);
  c.Columns().Add()->SetFieldName(u"Title");
  c.Columns().Add()->SetFieldName(u"[Node Text]");
  c.Mappings().Add(u"stale=line");
  c.Columns2Mapping();
  EXPECT_EQ(c.Mappings().Text(), u"TITLE=Title\r\nNode Text=[[Node Text]]\r\nExtra=\r\n");
}

TEST(ImportComponentTest, ColumnsToMappingInsertsEmptySourcesAtTheFieldPositions) {
  TClientDataSet ds;
  DefineFields(ds, {{u"First", ftString}, {u"Second", ftString}, {u"Third", ftString}});
  TSMImportBaseComponent c;
  c.SetDataSet(&ds);
  c.Columns().Add()->SetFieldName(u"third");
  c.Columns2Mapping();
  EXPECT_EQ(c.Mappings().Text(), u"First=\r\nSecond=\r\nThird=third\r\n");
}

TEST(ImportComponentTest, ColumnsToMappingMatchesQuotedNamesAndDisplayLabels) {
  TClientDataSet ds;
  DefineFields(ds, {{u"Node Text", ftString}, {u"Code", ftString}});
  ds.Fields(1)->SetDisplayLabel(u"Product code");
  TSMImportBaseComponent c;
  c.SetDataSet(&ds);
  c.Columns().Add()->SetFieldName(u"\"Node Text\"");
  TSMIColumn* byCaption = c.Columns().Add();
  byCaption->SetFieldName(u"C1");
  byCaption->SetCaption(u"product CODE");
  c.Columns2Mapping();
  // Without display names the second column matches nothing.
  EXPECT_EQ(c.Mappings().Text(), u"Node Text=[\"Node Text\"]\r\nCode=\r\n");
  c.SetUseDisplayNames(true);
  c.Columns2Mapping();
  EXPECT_EQ(c.Mappings().Text(), u"Node Text=[\"Node Text\"]\r\nCode=C1\r\n");
}

TEST(ImportComponentTest, ColumnsToMappingFallsBackToPositions) {
  TClientDataSet ds;
  DefineFields(ds, {{u"A", ftString}, {u"B", ftString}});
  ds.Fields(0)->SetVisible(false);
  ds.Fields(1)->SetVisible(false);
  TSMImportBaseComponent c;
  c.SetDataSet(&ds);
  for (const char16_t* name : {u"x", u"y z", u"w"}) c.Columns().Add()->SetFieldName(name);
  c.Columns2Mapping();
  EXPECT_EQ(c.Mappings().Text(), u"A=x\r\nB=[y z]\r\n");
}

TEST(ImportComponentTest, BaseDetectionDescribesTheDestinationFields) {
  TClientDataSet ds;
  ds.FieldDefs().Add(u"Name", ftString, 40);
  ds.FieldDefs().Add(u"Count", ftInteger);
  ds.FieldDefs().Add(u"Price", ftFloat);
  ds.FieldDefs().Add(u"Day", ftDate);
  ds.FieldDefs().Add(u"At", ftTime);
  ds.FieldDefs().Add(u"Stamp", ftDateTime);
  ds.FieldDefs().Add(u"Done", ftBoolean);
  ds.FieldDefs().Add(u"Body", ftMemo);
  ds.FieldDefs().Add(u"Picture", ftGraphic);
  ds.FieldDefs().Add(u"Big", ftLargeint);
  ds.CreateDataSet();
  TSMImportBaseComponent c;
  c.SetDataSet(&ds);
  c.DetectAutoMapping();
  const TSMIDataType expected[] = {itString, itInteger, itFloat, itDate, itTime, itDateTime,
                                   itBoolean, itMEMO, itBLOB, itString};
  ASSERT_EQ(c.Columns().Count(), 10);
  for (int i = 0; i < 10; ++i) {
    const TSMIColumn& column = *c.Columns().Items(i);
    EXPECT_EQ(column.FieldName(), ds.Fields(i)->FieldName());
    EXPECT_EQ(column.Caption(), ds.Fields(i)->DisplayLabel());
    EXPECT_EQ(column.DataType(), expected[i]) << i;
    EXPECT_EQ(column.Alignment(), ds.Fields(i)->Alignment()) << i;
    EXPECT_EQ(column.Size(), ds.Fields(i)->Size()) << i;
  }
  EXPECT_EQ(c.Columns().Items(2)->Precision(), ds.Fields(2)->Precision());
  EXPECT_EQ(c.Columns().Items(1)->Precision(), 0);
}

TEST(ImportComponentTest, ColumnAssignCopiesAllSixValues) {
  TSMIColumns columns;
  TSMIColumn* a = columns.Add();
  a->SetFieldName(u"F");
  a->SetCaption(u"C");
  a->SetDataType(itFloat);
  a->SetSize(8);
  a->SetPrecision(15);
  a->SetAlignment(taRightJustify);
  TSMIColumn* b = columns.Add();
  b->Assign(*a);
  EXPECT_EQ(b->FieldName(), u"F");
  EXPECT_EQ(b->Caption(), u"C");
  EXPECT_EQ(b->DataType(), itFloat);
  EXPECT_EQ(b->Size(), 8);
  EXPECT_EQ(b->Precision(), 15);
  EXPECT_EQ(b->Alignment(), taRightJustify);
  EXPECT_EQ(b->Index(), 1);
  EXPECT_EQ(columns.UpdateCount(), 0);
  EXPECT_THROW(columns.Items(2), ERangeError);
}

TEST(ImportComponentTest, ParamByNameIsCaseSensitiveAndTakesTheFirst) {
  TSMIParameters parameters;
  parameters.Add()->SetName(u"Year");
  TSMIParameter* second = parameters.Add();
  second->SetName(u"Year");
  EXPECT_EQ(parameters.ParamByName(u"Year"), parameters.Items(0));
  EXPECT_EQ(parameters.ParamByName(u"YEAR"), nullptr);
  EXPECT_EQ(parameters.Items(0)->ParameterMode(), ipmCalculateAndAsk);
  EXPECT_EQ(parameters.Items(0)->ParameterEditor(), ipeEdit);
}

TEST(ImportComponentTest, SpecificationRoundTripsTheSettings) {
  TSMImportBaseComponent a;
  a.SetMode(imDelete);
  a.SetDatasetKeys(u"ID;Sub");
  a.Mappings().Add(u"ID=[Node Id]");
  a.Mappings().Add(u"Body=");
  a.SetRecordSeparatorCustom(u"\\\r");
  a.DataFormats().SetBooleanTrue(u"Ja");
  a.SetOptions(TSMIOptions(4));
  TSMIParameter* p = a.Parameters().Add();
  p->SetName(u"P");
  p->SetParameterMode(ipmAsk);
  std::ostringstream out;
  a.SaveSpecificationToStream(&out);

  TStringList lines;
  lines.SetText(FromUtf8(out.str()));
  TSMImportBaseComponent b;
  b.LoadSpecificationFromStrings(lines);
  EXPECT_EQ(b.Mode(), imDelete);
  EXPECT_EQ(b.DatasetKeys(), u"ID;Sub");
  EXPECT_EQ(b.Mappings().Text(), u"ID=[Node Id]\r\nBody=\r\n");
  EXPECT_EQ(b.RecordSeparatorCustom(), u"\\\r");
  EXPECT_EQ(b.RecordSeparator(), rsCustom);
  EXPECT_EQ(b.DataFormats().BooleanTrue(), u"Ja");
  EXPECT_EQ(b.Options().Bits(), 4);
  ASSERT_EQ(b.Parameters().Count(), 1);
  EXPECT_EQ(b.Parameters().Items(0)->ParameterMode(), ipmAsk);
}

TEST(ImportComponentTest, EachSavedSettingIsReadBackIntoItsOwnPlace) {
  auto save = [](TSMImportBaseComponent& c) {
    std::ostringstream out;
    c.SaveSpecificationToStream(&out);
    TStringList lines;
    lines.SetText(FromUtf8(out.str()));
    return lines.Lines();
  };
  TSMImportBaseComponent defaults;
  const std::vector<UnicodeString> saved = save(defaults);
  for (size_t i = 0; i < saved.size(); ++i) {
    const size_t eq = saved[i].find(u'=');
    const UnicodeString name = saved[i].substr(0, eq), value = saved[i].substr(eq + 1);
    if (name.find(u'.') != UnicodeString::npos) continue;  // the numbered lists
    // Another code or text than the default: numbers alternate between 0 and 1.
    const bool number = !value.empty() && value.find_first_not_of(u"0123456789") == UnicodeString::npos;
    std::vector<UnicodeString> expected = saved;
    expected[i] = name + u"=" + (number ? (value == u"0" ? u"1" : u"0") : u"changed");
    TStringList one;
    one.Add(expected[i]);
    TSMImportBaseComponent c;
    c.LoadSpecificationFromStrings(one);
    EXPECT_EQ(save(c), expected) << ToUtf8(expected[i]);
  }
}

TEST(ImportComponentTest, SpecificationFilesPassThroughTheirEvents) {
  const std::string dir = ::testing::TempDir();
  const UnicodeString asked = FromUtf8(dir) + u"asked.spec";
  const UnicodeString redirected = FromUtf8(dir) + u"engine_spec_test.spec";
  TSMImportBaseComponent a;
  a.SetTableName(u"Nodes");
  std::vector<UnicodeString> log;
  auto redirect = [&](const char16_t* label) {
    return [&, label](TSMImportBaseComponent*, UnicodeString& fileName) {
      log.push_back(UnicodeString(label) + u":" + fileName);
      if (fileName == asked) fileName = redirected;
    };
  };
  a.SetOnBeforeSaveSpecification(redirect(u"before save"));
  a.SetOnAfterSaveSpecification(redirect(u"after save"));
  a.SaveSpecification(asked);

  TSMImportBaseComponent b;
  b.SetOnBeforeLoadSpecification(redirect(u"before load"));
  b.SetOnAfterLoadSpecification(redirect(u"after load"));
  b.LoadSpecification(asked);
  EXPECT_EQ(b.TableName(), u"Nodes");
  EXPECT_EQ(log, (std::vector<UnicodeString>{u"before save:" + asked, u"after save:" + redirected,
                                             u"before load:" + asked, u"after load:" + redirected}));
  EXPECT_EQ(std::remove(ToUtf8(asked).c_str()), -1);  // only the redirected file was written
  EXPECT_EQ(std::remove(ToUtf8(redirected).c_str()), 0);
  EXPECT_THROW(b.LoadSpecification(redirected), EConvertError);
}
