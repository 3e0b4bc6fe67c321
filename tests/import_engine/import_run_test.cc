// The import run: Execute, the row loop, the modes, counters, results,
// transactions and the events around rows.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>

#include "memory_source.h"

namespace {

const UnicodeString kCompleted = u"The data import process has completed successfully.";
const UnicodeString kCanceled = u"The data import process was canceled by the user.";
const UnicodeString kFailed = u"An error has occurred during the data import process.";

// A source with the columns ID, Title and Note and a dataset with the same fields.
struct Fixture {
  TClientDataSet ds;
  TMemorySource source;
  Fixture() {
    DefineFields(ds, {{u"ID", ftInteger}, {u"Title", ftString}, {u"Note", ftString}});
    source.columns = {{u"ID", itInteger}, {u"Title"}, {u"Note"}};
    source.SetDataSet(&ds);
    source.Mappings().SetText(u"ID=ID\nTitle=Title\nNote=Note");
  }
  void AddRow(int32_t id, const UnicodeString& title, const UnicodeString& note) {
    ds.Append();
    ds.FieldByName(u"ID")->SetAsInteger(id);
    ds.FieldByName(u"Title")->SetAsString(title);
    ds.FieldByName(u"Note")->SetAsString(note);
    ds.Post();
  }
};

}  // namespace

TEST(ImportRunTest, AppendsEveryRowAndReportsSuccess) {
  Fixture f;
  f.source.rows = {{Variant(1), Variant(u"One"), Variant(u"a")}, {Variant(2), Variant(u"Two"), Variant::Null()}};
  f.source.Execute();
  EXPECT_EQ(RowTexts(f.ds), (std::vector<UnicodeString>{u"1|One|a", u"2|Two|"}));
  const TSMIStatistic& s = f.source.Statistic();
  EXPECT_EQ(s.Result(), irExecuted);
  EXPECT_EQ(s.TotalCount(), 2);
  EXPECT_EQ(s.TotalImported(), 2);
  EXPECT_EQ(s.TotalAdded(), 2);
  EXPECT_EQ(s.TotalErrors() + s.TotalSkipped() + s.TotalUpdated() + s.TotalDeleted(), 0);
  EXPECT_EQ(s.LastAction(), iaAdd);
  EXPECT_EQ(f.source.openCount, 1);
  EXPECT_EQ(f.source.closeCount, 1);
  EXPECT_FALSE(f.ds.ControlsDisabled());
  EXPECT_EQ(f.source.Mappings().Count(), 3);  // the caller's mapping stays
}

TEST(ImportRunTest, ZeroRowsStillEndsExecutedOnTheFirstRecord) {
  Fixture f;
  f.AddRow(1, u"kept", u"");
  f.AddRow(2, u"last", u"");
  int rowEvents = 0;
  f.source.SetOnAfterRecordEvent([&](TSMImportBaseComponent*, bool&) { ++rowEvents; });
  f.source.SetOnBeforeRecordEvent([&](TSMImportBaseComponent*, const UnicodeString&, Variant&, bool&) { ++rowEvents; });
  f.ds.Last();
  f.source.Execute();
  EXPECT_EQ(rowEvents, 0);
  EXPECT_EQ(f.source.Statistic().TotalCount(), 0);
  EXPECT_EQ(f.source.Statistic().Result(), irExecuted);
  EXPECT_FALSE(f.ds.ControlsDisabled());
  EXPECT_EQ(f.ds.FieldByName(u"Title")->AsString(), u"kept");
}

TEST(ImportRunTest, RowLastLowersTheTotalAndEndsTheRows) {
  Fixture f;
  for (int i = 1; i <= 10; ++i) f.source.rows.push_back({Variant(i), Variant(u"t"), Variant(u"n")});
  f.source.SetRowLast(5);
  f.source.Execute();
  EXPECT_EQ(f.source.Statistic().TotalCount(), 5);
  EXPECT_EQ(f.source.Statistic().TotalImported(), 5);
  EXPECT_EQ(f.ds.RecordCount(), 5);
}

TEST(ImportRunTest, WithoutMappingTheRunBuildsOneAndDropsItAfterwards) {
  Fixture f;
  f.source.Mappings().Clear();
  f.source.rows = {{Variant(7), Variant(u"Seven"), Variant(u"x")}};
  f.source.Execute();
  EXPECT_EQ(RowTexts(f.ds), (std::vector<UnicodeString>{u"7|Seven|x"}));
  EXPECT_EQ(f.source.Mappings().Count(), 0);
  EXPECT_EQ(f.source.Columns().Count(), 3);  // the detected columns stay
}

TEST(ImportRunTest, StructureHandlerDefinesTheDatasetAndKeepsItsMapping) {
  TClientDataSet ds;
  TMemorySource source;
  source.SetDataSet(&ds);
  source.columns = {{u"Node Key", itString, 10}, {u"Done", itBoolean}};
  source.rows = {{Variant(u"k1"), Variant(true)}, {Variant(u"k2"), Variant(u"False")}};
  int calls = 0;
  source.SetOnCreateStructure([&](TSMImportBaseComponent* sender, TSMIColumns* columns) {
    ++calls;
    EXPECT_EQ(sender, &source);
    EXPECT_EQ(columns, &source.Columns());
    ds.FieldDefs().Add(u"Node Key", ftString, 10);
    ds.FieldDefs().Add(u"Done", ftBoolean);
    ds.CreateDataSet();
    sender->Mappings().Clear();
    sender->Columns2Mapping();
  });
  source.Execute();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(RowTexts(ds), (std::vector<UnicodeString>{u"k1|True", u"k2|False"}));
  EXPECT_EQ(source.Mappings().Text(), u"Node Key=[[Node Key]]\r\nDone=Done\r\n");
}

TEST(ImportRunTest, FailureInTheStructureStepEndsFailedAndStillClosesTheSource) {
  TClientDataSet ds;
  TMemorySource source;
  source.SetDataSet(&ds);
  int afterExecute = 0;
  source.SetOnAfterExecute([&](TSMImportBaseComponent*) { ++afterExecute; });
  source.SetOnCreateStructure([&](TSMImportBaseComponent*, TSMIColumns*) { ds.CreateDataSet(); });
  source.Execute();
  EXPECT_EQ(source.Statistic().Result(), irFailed);
  EXPECT_EQ(source.closeCount, 1);
  EXPECT_EQ(afterExecute, 1);
  EXPECT_FALSE(ds.Active());
}

TEST(ImportRunTest, KeyedModesWithTheKeyFoundAndNotFound) {
  struct Row {
    TImportMode mode;
    int32_t sourceId;
    std::vector<UnicodeString> expected;
    int32_t added, updated, deleted;
    TSMIAction lastAction;
  };
  const Row rows[] = {
      {imAppend, 1, {u"1|old|n1", u"3|other|n3", u"1|new|nn"}, 1, 0, 0, iaAdd},
      {imAppend, 2, {u"1|old|n1", u"3|other|n3", u"2|new|nn"}, 1, 0, 0, iaAdd},
      {imUpdate, 1, {u"1|new|nn", u"3|other|n3"}, 0, 1, 0, iaUpdate},
      {imUpdate, 2, {u"1|old|n1", u"3|other|n3"}, 0, 0, 0, iaUnknown},
      {imAppendUpdate, 1, {u"1|new|nn", u"3|other|n3"}, 0, 1, 0, iaUpdate},
      {imAppendUpdate, 2, {u"1|old|n1", u"3|other|n3", u"2|new|nn"}, 1, 0, 0, iaAdd},
      {imDelete, 1, {u"3|other|n3"}, 0, 0, 1, iaDelete},
      {imDelete, 2, {u"1|old|n1", u"3|other|n3"}, 0, 0, 0, iaUnknown},
      {imAppendNewOnly, 1, {u"1|old|n1", u"3|other|n3"}, 0, 0, 0, iaUnknown},
      {imAppendNewOnly, 2, {u"1|old|n1", u"3|other|n3", u"2|new|nn"}, 1, 0, 0, iaAdd},
      {imCopy, 1, {u"1|new|nn"}, 1, 0, 2, iaAdd},
  };
  for (const Row& r : rows) {
    Fixture f;
    f.AddRow(1, u"old", u"n1");
    f.AddRow(3, u"other", u"n3");
    f.source.SetMode(r.mode);
    f.source.SetDatasetKeys(u"ID");
    f.source.rows = {{Variant(r.sourceId), Variant(u"new"), Variant(u"nn")}};
    f.source.Execute();
    const TSMIStatistic& s = f.source.Statistic();
    EXPECT_EQ(s.Result(), irExecuted) << r.mode << "/" << r.sourceId;
    EXPECT_EQ(RowTexts(f.ds), r.expected) << r.mode << "/" << r.sourceId;
    EXPECT_EQ(s.TotalAdded(), r.added) << r.mode << "/" << r.sourceId;
    EXPECT_EQ(s.TotalUpdated(), r.updated) << r.mode << "/" << r.sourceId;
    EXPECT_EQ(s.TotalDeleted(), r.deleted) << r.mode << "/" << r.sourceId;
    EXPECT_EQ(s.LastAction(), r.lastAction) << r.mode << "/" << r.sourceId;
  }
}

TEST(ImportRunTest, SeveralKeysAreSearchedTogether) {
  Fixture f;
  f.AddRow(1, u"A", u"first");
  f.AddRow(1, u"B", u"second");
  f.source.SetMode(imUpdate);
  f.source.SetDatasetKeys(u"id;title");
  f.source.rows = {{Variant(1), Variant(u"B"), Variant(u"changed")}};
  Variant seenKeys;
  UnicodeString seenFields;
  f.source.SetOnLocateRecord([&](TSMImportBaseComponent*, const UnicodeString& fields, const Variant& keys, bool&,
                                 bool&) {
    seenFields = fields;
    seenKeys = keys;
  });
  f.source.Execute();
  EXPECT_EQ(RowTexts(f.ds), (std::vector<UnicodeString>{u"1|A|first", u"1|B|changed"}));
  EXPECT_EQ(seenFields, u"id;title");
  ASSERT_TRUE(seenKeys.IsArray());
  EXPECT_EQ(seenKeys.AsArray().size(), 2u);
  EXPECT_EQ(f.source.Locates().size(), 2u);
  EXPECT_EQ(f.source.Locates()[0].name, u"ID");
}

TEST(ImportRunTest, LocateHandlerCanDecideWithoutTheDatasetSearch) {
  Fixture f;
  f.AddRow(1, u"old", u"");
  f.source.SetMode(imAppendUpdate);
  f.source.SetDatasetKeys(u"ID");
  f.source.rows = {{Variant(1), Variant(u"new"), Variant(u"")}};
  f.source.SetOnLocateRecord(
      [](TSMImportBaseComponent*, const UnicodeString&, const Variant&, bool& exists, bool& executeLocate) {
        exists = false;
        executeLocate = false;
      });
  f.source.Execute();
  EXPECT_EQ(RowTexts(f.ds), (std::vector<UnicodeString>{u"1|old|", u"1|new|"}));
}

TEST(ImportRunTest, UpdateClearsFieldsWhoseValueIsEmpty) {
  Fixture f;
  f.AddRow(1, u"old", u"note");
  f.source.SetMode(imUpdate);
  f.source.SetDatasetKeys(u"ID");
  f.source.rows = {{Variant(1), Variant(u"new"), Variant(u"")}};
  f.source.Execute();
  f.ds.First();
  EXPECT_TRUE(f.ds.FieldByName(u"Note")->IsNull());
  EXPECT_EQ(f.ds.FieldByName(u"Title")->AsString(), u"new");
}

TEST(ImportRunTest, KeyedModeWithoutKeysFailsBeforeOpening) {
  for (TImportMode mode : {imUpdate, imAppendUpdate, imDelete, imAppendNewOnly}) {
    Fixture f;
    f.source.SetMode(mode);
    try {
      f.source.Execute();
      FAIL() << mode;
    } catch (const ESMIInvalidPropertyException& e) {
      EXPECT_EQ(e.Message(), u"Property DatasetKeys wasn't specified.");
    }
    EXPECT_EQ(f.source.Statistic().Result(), irUnknown);
    EXPECT_EQ(f.source.openCount, 0);
  }
}

TEST(ImportRunTest, FailingRowWithoutErrorHandlerIsCountedAndDropped) {
  Fixture f;
  f.source.rows = {{Variant(1), Variant(u"a"), Variant(u"")},
                   {Variant(u"abc"), Variant(u"bad"), Variant(u"")},
                   {Variant(3), Variant(u"c"), Variant(u"")}};
  f.source.Execute();
  const TSMIStatistic& s = f.source.Statistic();
  EXPECT_EQ(s.Result(), irExecuted);
  EXPECT_EQ(s.TotalErrors(), 1);
  EXPECT_EQ(s.TotalAdded(), 2);
  EXPECT_EQ(s.TotalImported(), 3);
  EXPECT_EQ(RowTexts(f.ds), (std::vector<UnicodeString>{u"1|a|", u"3|c|"}));
  EXPECT_EQ(f.ds.State(), dsBrowse);
}

TEST(ImportRunTest, ErrorHandlerDecidesWhetherAFailingRowEndsTheRun) {
  struct Row {
    bool abortOnProblem;
    bool handlerClearsAbort;
    TSMIResult result;
    int events;
    int rows;
  };
  const Row rows[] = {
      {true, false, irFailed, 2, 1},   // offered twice: by the apply step and by the row block
      {true, true, irExecuted, 1, 2},
      {false, false, irExecuted, 1, 2},
  };
  for (const Row& r : rows) {
    Fixture f;
    f.source.rows = {{Variant(1), Variant(u"a"), Variant(u"")},
                     {Variant(u"abc"), Variant(u"bad"), Variant(u"")},
                     {Variant(3), Variant(u"c"), Variant(u"")}};
    f.source.SetAbortOnProblem(r.abortOnProblem);
    int events = 0;
    UnicodeString message;
    f.source.SetOnErrorEvent([&](TSMImportBaseComponent*, const Exception& e, bool& abort) {
      ++events;
      EXPECT_EQ(abort, r.abortOnProblem);
      message = e.Message();
      if (r.handlerClearsAbort) abort = false;
    });
    f.source.Execute();
    const TSMIStatistic& s = f.source.Statistic();
    EXPECT_EQ(s.Result(), r.result);
    EXPECT_EQ(events, r.events);
    EXPECT_EQ(s.TotalErrors(), 1);
    EXPECT_EQ(s.TotalAdded(), r.rows);
    EXPECT_EQ(f.ds.RecordCount(), r.rows);
    EXPECT_FALSE(message.empty());
    EXPECT_FALSE(f.ds.ControlsDisabled());
  }
}

TEST(ImportRunTest, FailureWhileReadingMovesNoCounter) {
  Fixture f;
  f.source.rows = {{Variant(1), Variant(u"a"), Variant(u"")}, {Variant(2), Variant(u"b"), Variant(u"")}};
  f.source.failingColumn = u"Title";
  f.source.failingRow = 0;
  f.source.Execute();
  EXPECT_EQ(f.source.Statistic().Result(), irExecuted);
  EXPECT_EQ(f.source.Statistic().TotalErrors(), 0);
  EXPECT_EQ(f.source.Statistic().TotalAdded(), 1);
  EXPECT_EQ(f.source.CurrentParsedFieldIndex(), -1);

  Fixture g;
  g.source.rows = f.source.rows;
  g.source.failingColumn = u"Title";
  g.source.failingRow = 0;
  int events = 0;
  g.source.SetOnErrorEvent([&](TSMImportBaseComponent*, const Exception&, bool&) { ++events; });
  g.source.Execute();
  EXPECT_EQ(events, 1);
  EXPECT_EQ(g.source.Statistic().Result(), irFailed);
  EXPECT_EQ(g.ds.RecordCount(), 0);
}

TEST(ImportRunTest, AbortFromTheAfterRecordEventCancelsAfterThatRow) {
  Fixture f;
  for (int i = 1; i <= 5; ++i) f.source.rows.push_back({Variant(i), Variant(u"t"), Variant(u"")});
  int seen = 0;
  f.source.SetOnAfterRecordEvent([&](TSMImportBaseComponent*, bool& abort) {
    if (++seen == 3) abort = true;
  });
  f.source.Execute();
  EXPECT_EQ(f.source.Statistic().TotalImported(), 3);
  EXPECT_EQ(f.ds.RecordCount(), 3);
  EXPECT_EQ(f.source.Statistic().Result(), irCanceled);
}

TEST(ImportRunTest, TransactionBoundariesFallEveryCommitCountRows) {
  struct Row { int32_t commitCount; UnicodeString expected; };
  const Row rows[] = {
      {2, u"S 1 F S 2 3 F S 4 5 F "},
      {300, u"S 1 2 3 4 5 F "},
      {0, u"S 1 2 3 4 5 F "},
      {-1, u"S 1 2 3 4 5 F "},
  };
  for (const Row& r : rows) {
    Fixture f;
    for (int i = 1; i <= 5; ++i) f.source.rows.push_back({Variant(i), Variant(u"t"), Variant(u"")});
    f.source.SetCommitCount(r.commitCount);
    UnicodeString log;
    f.source.SetOnStartTransaction([&](TSMImportBaseComponent*) { log += u"S "; });
    f.source.SetOnFinishTransaction([&](TSMImportBaseComponent*) { log += u"F "; });
    f.source.SetOnAfterRecordEvent([&](TSMImportBaseComponent* c, bool&) {
      log += AsciiToUnicode(std::to_string(c->Statistic().TotalImported())) + u" ";
      EXPECT_TRUE(c->TransactionStarted());
    });
    f.source.Execute();
    EXPECT_EQ(log, r.expected) << r.commitCount;
    EXPECT_FALSE(f.source.TransactionStarted());
  }
}

TEST(ImportRunTest, OnlyAFinishHandlerNeverFinishesAnything) {
  Fixture f;
  for (int i = 1; i <= 3; ++i) f.source.rows.push_back({Variant(i), Variant(u"t"), Variant(u"")});
  f.source.SetCommitCount(1);
  int finishes = 0;
  f.source.SetOnFinishTransaction([&](TSMImportBaseComponent*) { ++finishes; });
  f.source.Execute();
  EXPECT_EQ(finishes, 0);
}

TEST(ImportRunTest, SkipEmptyRowDropsRowsOfEmptyOrZeroValues) {
  TClientDataSet ds;
  DefineFields(ds, {{u"A", ftString}, {u"B", ftString}});
  TMemorySource source;
  source.SetDataSet(&ds);
  source.columns = {{u"A"}, {u"B"}};
  source.Mappings().SetText(u"A=A\nB=B");
  source.rows = {{Variant(u""), Variant(u"0")},
                 {Variant(u" 1 "), Variant(u"")},
                 {Variant::Null(), Variant(0)},
                 {Variant(u"  "), Variant(u" 0 ")}};
  TSMIOptions options = source.Options();
  options.Include(soSkipEmptyRow);
  source.SetOptions(options);
  int afterRecord = 0;
  source.SetOnAfterRecordEvent([&](TSMImportBaseComponent*, bool&) { ++afterRecord; });
  source.Execute();
  EXPECT_EQ(afterRecord, 4);
  EXPECT_EQ(source.Statistic().TotalSkipped(), 3);
  EXPECT_EQ(RowTexts(ds), (std::vector<UnicodeString>{u" 1 |"}));
}

TEST(ImportRunTest, LoadConditionFiltersRows) {
  Fixture f;
  f.source.columns.push_back({u"Load", itBoolean});
  f.source.columns.push_back({u"Gone", itBoolean});
  f.source.rows = {{Variant(1), Variant(u"a"), Variant(u""), Variant(true), Variant(false)},
                   {Variant(2), Variant(u"b"), Variant(u""), Variant(false), Variant(false)},
                   {Variant(3), Variant(u"c"), Variant(u""), Variant(true), Variant(true)}};
  f.source.LoadCondition().SetLoadWhen(u"Load");
  f.source.LoadCondition().SetSkipIf(u"[Gone]");
  f.source.Execute();
  EXPECT_EQ(RowTexts(f.ds), (std::vector<UnicodeString>{u"1|a|"}));
  EXPECT_EQ(f.source.Statistic().TotalSkipped(), 2);
}

TEST(ImportRunTest, RowEventsCanChangeValuesRejectRowsAndFields) {
  Fixture f;
  f.source.rows = {{Variant(1), Variant(u"a"), Variant(u"x")},
                   {Variant(2), Variant(u"reject me"), Variant(u"y")},
                   {Variant(3), Variant(u"c"), Variant(u"z")}};
  f.source.SetOnBeforeRecordEvent([](TSMImportBaseComponent*, const UnicodeString& fields, Variant& rows,
                                     bool& accept) {
    EXPECT_TRUE(fields.empty());
    Variant::Array& entries = rows.MutableArray();
    ASSERT_EQ(entries.size(), 3u);
    Variant::Array& title = entries[1].MutableArray();
    EXPECT_EQ(title[0], Variant(u"TITLE"));
    EXPECT_EQ(title[1], Variant(u"Title"));
    EXPECT_EQ(title[3], Variant(1));
    if (title[2] == Variant(u"reject me")) accept = false;
    title[2] = Variant(title[2].ToString() + u"!");
  });
  f.source.SetOnBeforeFieldUpdate([](TSMImportBaseComponent*, TField* field, Variant& value, bool& accept) {
    if (field->FieldName() == u"Note") accept = value != Variant(u"z");
  });
  int cells = 0;
  f.source.SetOnGetCellParams([&](TSMImportBaseComponent*, TField* field, Variant&) {
    ++cells;
    EXPECT_NE(field, nullptr);
  });
  f.source.Execute();
  EXPECT_EQ(RowTexts(f.ds), (std::vector<UnicodeString>{u"1|a!|x", u"3|c!|"}));
  EXPECT_EQ(cells, 9);
  EXPECT_EQ(f.source.Statistic().TotalSkipped(), 1);
}

TEST(ImportRunTest, RowModeHandlerChoosesTheModePerRow) {
  Fixture f;
  f.AddRow(1, u"old", u"");
  f.source.SetDatasetKeys(u"ID");  // imAppend, but the handler needs the keys
  f.source.rows = {{Variant(1), Variant(u"gone"), Variant(u"")}, {Variant(2), Variant(u"new"), Variant(u"")}};
  f.source.SetOnGetRowMode([](TSMImportBaseComponent*, const Variant& rows, TImportMode& mode) {
    ASSERT_TRUE(rows.IsArray());
    if (rows.AsArray()[1].AsArray()[2] == Variant(u"gone")) mode = imDelete;
  });
  f.source.Execute();
  EXPECT_EQ(RowTexts(f.ds), (std::vector<UnicodeString>{u"2|new|"}));
  EXPECT_EQ(f.source.Statistic().TotalDeleted(), 1);
  EXPECT_EQ(f.source.Statistic().TotalAdded(), 1);
}

TEST(ImportRunTest, IntegerAboveTheSignedRangeKeepsItsLow32Bits) {
  TClientDataSet ds;
  DefineFields(ds, {{u"N", ftInteger}, {u"Big", ftLargeint}});
  TMemorySource source;
  source.SetDataSet(&ds);
  source.columns = {{u"N"}, {u"Big"}};
  source.Mappings().SetText(u"N=N\nBig=Big");
  source.rows = {{Variant(int64_t{4294967295}), Variant(int64_t{9000000000})},
                 {Variant(u"2147483648"), Variant(u"-5")}};
  source.Execute();
  EXPECT_EQ(RowTexts(ds), (std::vector<UnicodeString>{u"-1|9000000000", u"-2147483648|-5"}));
}

TEST(ImportRunTest, NonRuntimeExceptionsPassThroughExecute) {
  class TThrowingSource : public TMemorySource {
   public:
    void GetSourceValue(const UnicodeString&, Variant&) override { throw std::logic_error("bug"); }
  };
  TClientDataSet ds;
  DefineFields(ds, {{u"A", ftString}});
  TThrowingSource source;
  source.SetDataSet(&ds);
  source.columns = {{u"A"}};
  source.Mappings().Add(u"A=A");
  source.rows = {{Variant(u"x")}};
  EXPECT_THROW(source.Execute(), std::logic_error);
  EXPECT_EQ(source.closeCount, 1);
  EXPECT_FALSE(ds.ControlsDisabled());
}

TEST(ImportRunTest, LoadFromStreamKeepsTheStreamAndRuns) {
  Fixture f;
  f.source.rows = {{Variant(1), Variant(u"a"), Variant(u"")}};
  std::istringstream stream("data");
  f.source.LoadFromStream(&stream);
  EXPECT_EQ(f.source.DataStream(), &stream);
  EXPECT_EQ(f.source.Statistic().Result(), irExecuted);
  EXPECT_EQ(f.ds.RecordCount(), 1);
}

TEST(ImportRunTest, ExecuteRaisesItsOuterEventsInOrder) {
  Fixture f;
  UnicodeString log;
  f.source.SetOnBeforeExecute([&](TSMImportBaseComponent* c) {
    log += u"before ";
    EXPECT_EQ(c->Statistic().Result(), irUnknown);
  });
  f.source.SetOnBeforeUpdate([&](TSMImportBaseComponent*) { log += u"update "; });
  f.source.SetOnAfterExecute([&](TSMImportBaseComponent*) { log += u"after"; });
  f.source.rows = {{Variant(1), Variant(u"a"), Variant(u"")}};
  f.source.Execute();
  EXPECT_EQ(log, u"before update after");
}

TEST(ImportRunTest, DatasetDestroyedDuringTheRunIsNotTouchedAgain) {
  auto ds = std::make_unique<TClientDataSet>();
  DefineFields(*ds, {{u"A", ftString}});
  TMemorySource source;
  source.SetDataSet(ds.get());
  source.columns = {{u"A"}};
  source.Mappings().Add(u"A=A");
  source.rows = {{Variant(u"x")}, {Variant(u"y")}};
  source.SetOnAfterRecordEvent([&](TSMImportBaseComponent*, bool&) { ds.reset(); });
  source.Execute();
  EXPECT_EQ(source.DataSet(), nullptr);
  EXPECT_EQ(source.Statistic().TotalErrors(), 1);  // the second row has nowhere to go
  EXPECT_EQ(source.Statistic().Result(), irExecuted);
}
