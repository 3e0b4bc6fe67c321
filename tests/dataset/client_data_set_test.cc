#include "dataset/t_client_data_set.h"

#include "dataset/fields.h"
#include "tests/dataset/dataset_test_util.h"

using ::testing::ElementsAre;

TEST(ClientDataSet, LifecycleFromDefinitionsToClose) {
  TClientDataSet ds;
  EXPECT_EQ(ds.State(), dsInactive);
  EXPECT_FALSE(ds.Active());
  ds.FieldDefs().Add(u"Key", ftString, 10);
  ds.FieldDefs().Add(u"Done", ftBoolean, 0);
  ds.FieldDefs().Add(u"Body", ftMemo, 64000);
  ds.CreateDataSet();
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_TRUE(ds.LogChanges());
  ASSERT_EQ(ds.FieldCount(), 3);
  EXPECT_EQ(ds.RecordCount(), 0);
  EXPECT_TRUE(ds.Bof());
  EXPECT_TRUE(ds.Eof());

  struct Row {
    int index;
    const char* name;
    TFieldType type;
    int32_t size;
    const char* className;
    bool isBlob;
  } rows[] = {
      {0, "Key", ftString, 10, "TStringField", false},
      {1, "Done", ftBoolean, 0, "TBooleanField", false},
      {2, "Body", ftMemo, 64000, "TMemoField", true},
  };
  for (const Row& r : rows) {
    TField* f = ds.Fields(r.index);
    EXPECT_EQ(ToUtf8(f->FieldName()), r.name);
    EXPECT_EQ(f->DataType(), r.type) << r.name;
    EXPECT_EQ(f->Size(), r.size) << r.name;
    EXPECT_EQ(ToUtf8(f->ClassName()), r.className);
    EXPECT_EQ(f->IsBlob(), r.isBlob) << r.name;
    EXPECT_EQ(f->Index(), r.index);
    EXPECT_EQ(f->DisplayLabel(), f->FieldName());
    EXPECT_TRUE(f->Visible());
    EXPECT_EQ(f->FieldKind(), fkData);
    EXPECT_EQ(f->DataSet(), &ds);
  }
  EXPECT_NE(dynamic_cast<TBlobField*>(ds.Fields(2)), nullptr);

  // Active := true on an open dataset changes nothing.
  AppendRow(ds, {u"a", u"True", u"x"});
  ds.SetActive(true);
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ds.RecordCount(), 1);
  EXPECT_EQ(ds.FieldByName(u"Key")->AsString(), u"a");

  ds.Close();
  EXPECT_EQ(ds.State(), dsInactive);
  EXPECT_EQ(ds.FieldCount(), 0);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds.SetActive(true); }), "Missing data provider or data packet.");
  ds.CreateDataSet();  // definitions are kept
  EXPECT_EQ(ds.RecordCount(), 0);
}

TEST(ClientDataSet, DefinitionAndCreationFailures) {
  {
    TClientDataSet ds;
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds.CreateDataSet(); }), "No fields defined.  Cannot create dataset");
    EXPECT_EQ(ds.State(), dsInactive);
    EXPECT_FALSE(ds.Active());
  }
  {
    TClientDataSet ds;
    ds.FieldDefs().Add(u"Key", ftString, 10);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds.FieldDefs().Add(u"KEY", ftMemo, 0); }),
              "Duplicate name 'KEY' in TFieldDefs");
    EXPECT_EQ(ds.FieldDefs().Count(), 1);
    EXPECT_EQ(ds.FieldDefs().Items(0).DataType(), ftString);
    ds.CreateDataSet();
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds.CreateDataSet(); }),
              "Cannot perform this operation on an open dataset");
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds.FieldByName(u"Missing"); }), "Field 'Missing' not found");
    EXPECT_EQ(ds.FindField(u"Missing"), nullptr);
    EXPECT_EQ(ds.FindField(u"kEy"), ds.Fields(0));
    EXPECT_EQ(MessageOf<ERangeError>([&] { ds.Fields(1); }), "List index out of bounds (1)");
  }
  {
    TClientDataSet ds;
    ds.FieldDefs().Add(u"Cursor", ftCursor, 0);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds.CreateDataSet(); }), "Field 'Cursor' is of an unknown type");
    EXPECT_FALSE(ds.Active());
  }
  {
    // Names keep at most 31 bytes of UTF-8; two names equal after the cut collide.
    TClientDataSet ds;
    ds.FieldDefs().Add(u"A123456789012345678901234567890xyz", ftString, 5);
    ds.FieldDefs().Add(u"\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4\u00C4",
                       ftString, 5);
    ds.CreateDataSet();
    EXPECT_EQ(ds.Fields(0)->FieldName(), u"A123456789012345678901234567890");
    EXPECT_EQ(ds.Fields(1)->FieldName().size(), 15u);  // 15 two-byte characters, never half of one
  }
}

TEST(ClientDataSet, ClosedDataSetRefusesRowOperations) {
  TClientDataSet ds;
  ds.FieldDefs().Add(u"Key", ftString, 10);
  const std::string closed = "Cannot perform this operation on a closed dataset";
  std::vector<std::pair<const char*, std::function<void()>>> operations = {
      {"SetKey", [&] { ds.SetKey(); }},
      {"GotoKey", [&] { ds.GotoKey(); }},
      {"First", [&] { ds.First(); }},
      {"Next", [&] { ds.Next(); }},
      {"Append", [&] { ds.Append(); }},
      {"Edit", [&] { ds.Edit(); }},
      {"Delete", [&] { ds.Delete(); }},
      {"RecordCount", [&] { ds.RecordCount(); }},
      {"Locate", [&] { ds.Locate(u"Key", Variant(u"a"), {}); }},
  };
  for (auto& op : operations) EXPECT_EQ(MessageOf<EDatabaseError>(op.second), closed) << op.first;
  EXPECT_TRUE(ds.Eof());
  ds.Post();    // nothing pending: nothing happens
  ds.Cancel();
  EXPECT_EQ(ds.State(), dsInactive);
}

TEST(ClientDataSet, FieldsAcceptValuesOnlyWhileEditing) {
  auto ds = OpenDataSet({{u"Key", ftString, 10}});
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Fields(0)->SetAsString(u"x"); }),
            "Dataset not in edit or insert mode");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Fields(0)->Clear(); }), "Dataset not in edit or insert mode");
  // An empty dataset reads as null.
  EXPECT_TRUE(ds->Fields(0)->IsNull());
  EXPECT_EQ(ds->Fields(0)->AsString(), u"");
}

TEST(ClientDataSet, AppendEditPostCancelDelete) {
  auto ds = OpenDataSet({{u"Key", ftString, 10}, {u"Text", ftString, 20}});
  TField* key = ds->Fields(0);
  TField* text = ds->Fields(1);

  ds->Append();
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_TRUE(key->IsNull());
  key->SetAsString(u"k1");
  text->SetAsString(u"one");
  EXPECT_TRUE(ds->Modified());
  ds->Post();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(key->AsString(), u"k1");  // the cursor stays on the posted row

  ds->Append();
  key->SetAsString(u"k2");
  ds->Cancel();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(ds->RecordCount(), 1);
  EXPECT_EQ(key->AsString(), u"k1");

  AppendRow(*ds, {u"k2", u"two"});
  AppendRow(*ds, {u"k3", u"three"});
  EXPECT_THAT(Column(*ds, 0), ElementsAre("k1", "k2", "k3"));

  // Edit then Cancel keeps the row; Edit then Post changes it.
  ds->First();
  ds->Next();
  ds->Edit();
  EXPECT_EQ(ds->State(), dsEdit);
  text->SetAsString(u"changed");
  EXPECT_EQ(text->AsString(), u"changed");
  ds->Cancel();
  EXPECT_EQ(text->AsString(), u"two");
  ds->Edit();
  text->SetAsString(u"TWO");
  ds->Post();
  EXPECT_THAT(Column(*ds, 1), ElementsAre("one", "TWO", "three"));

  // A modified pending row is posted when the cursor moves; an unmodified one is dropped.
  ds->Append();
  key->SetAsString(u"k4");
  ds->First();
  EXPECT_EQ(ds->RecordCount(), 4);
  ds->Append();
  ds->First();
  EXPECT_EQ(ds->RecordCount(), 4);

  // Delete moves to the following row, or to the new last one.
  ds->First();
  ds->Next();
  ds->Delete();
  EXPECT_EQ(key->AsString(), u"k3");
  ds->Last();
  ds->Delete();
  EXPECT_EQ(key->AsString(), u"k3");
  EXPECT_FALSE(ds->Eof());
  EXPECT_THAT(Column(*ds, 0), ElementsAre("k1", "k3"));
  for (ds->First(); !ds->Eof();) ds->Delete();
  EXPECT_EQ(ds->RecordCount(), 0);
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Delete(); }), "Cannot perform this operation on an empty dataset");

  // Edit on an empty dataset starts a new row.
  ds->Edit();
  EXPECT_EQ(ds->State(), dsInsert);
}

TEST(ClientDataSet, CursorBoundaries) {
  auto ds = OpenDataSet({{u"Key", ftString, 10}});
  for (auto k : {u"a", u"b", u"c"}) AppendRow(*ds, {k});
  ds->First();
  EXPECT_TRUE(ds->Bof());
  EXPECT_FALSE(ds->Eof());
  ds->Prior();
  EXPECT_TRUE(ds->Bof());
  EXPECT_EQ(ds->Fields(0)->AsString(), u"a");
  ds->Next();
  EXPECT_FALSE(ds->Bof());
  ds->Next();
  ds->Next();  // past the last row: Eof, the cursor stays on the last row
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->Fields(0)->AsString(), u"c");
  ds->Last();
  EXPECT_TRUE(ds->Eof());
  ds->Prior();
  EXPECT_FALSE(ds->Eof());
  EXPECT_EQ(ds->Fields(0)->AsString(), u"b");
}

TEST(ClientDataSet, InsertPlacesRowsBeforeTheCurrentOne) {
  auto ds = OpenDataSet({{u"Key", ftString, 10}});
  AppendRow(*ds, {u"last"});
  ds->First();
  // Enough inserts at the same place to use up the free positions between two rows.
  for (int i = 0; i < 60; ++i) {
    ds->Insert();
    ds->Fields(0)->SetAsInteger(i);
    ds->Post();  // the cursor stays on the new row, so the next one goes before it
  }
  std::vector<std::string> keys = Column(*ds, 0);
  ASSERT_EQ(keys.size(), 61u);
  EXPECT_EQ(keys.front(), "59");
  EXPECT_EQ(keys[58], "1");
  EXPECT_EQ(keys[59], "0");
  EXPECT_EQ(keys.back(), "last");
}

TEST(ClientDataSet, RequiredAndAutoIncrementFields) {
  TClientDataSet ds;
  ds.FieldDefs().Add(u"Id", ftAutoInc, 0);
  ds.FieldDefs().Add(u"Name", ftString, 10, true);
  ds.CreateDataSet();
  ds.Append();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds.Post(); }), "Field 'Name' must have a value");
  EXPECT_EQ(ds.State(), dsInsert);
  ds.Fields(1)->SetAsString(u"a");
  ds.Post();
  EXPECT_EQ(ds.Fields(0)->AsInteger(), 1);
  ds.Append();
  ds.Fields(0)->SetAsInteger(10);
  ds.Fields(1)->SetAsString(u"b");
  ds.Post();
  AppendRow(ds, {u"", u"c"});
  EXPECT_EQ(ds.Fields(0)->AsInteger(), 11);
}

TEST(ClientDataSet, ChangeLogUndoesChangesWhileOn) {
  auto ds = OpenDataSet({{u"Key", ftString, 10}});
  AppendRow(*ds, {u"a"});
  AppendRow(*ds, {u"b"});
  ds->MergeChangeLog();
  EXPECT_EQ(ds->ChangeCount(), 0);
  AppendRow(*ds, {u"c"});
  ds->First();
  ds->Edit();
  ds->Fields(0)->SetAsString(u"A");
  ds->Post();
  ds->Last();
  ds->Prior();
  ds->Delete();  // removes b
  EXPECT_EQ(ds->ChangeCount(), 3);
  EXPECT_THAT(Column(*ds, 0), ElementsAre("A", "c"));
  ds->CancelUpdates();
  EXPECT_EQ(ds->ChangeCount(), 0);
  EXPECT_THAT(Column(*ds, 0), ElementsAre("a", "b"));

  ds->SetLogChanges(false);
  AppendRow(*ds, {u"d"});
  ds->First();
  ds->Delete();
  EXPECT_EQ(ds->ChangeCount(), 0);
  ds->CancelUpdates();
  EXPECT_THAT(Column(*ds, 0), ElementsAre("b", "d"));
}

TEST(ClientDataSet, LongValuesKeepTheirTextThroughEditsUndoAndSearches) {
  // Rows keep bytes of up to a few kilobytes in their own block and larger
  // ones apart; edits, the change log and searches must not tell the
  // difference.
  auto text = [](char c, size_t n) { return UnicodeString(n, static_cast<char16_t>(c)); };
  const size_t sizes[] = {14, 15, 500, 2048, 2049, 5000};
  auto ds = OpenDataSet({{u"Key", ftString, 40}, {u"Memo", ftMemo, 0}});
  ds->IndexDefs().Add(u"ByKey", u"Key", {ixPrimary});
  ds->SetIndexName(u"ByKey");
  std::vector<std::string> keys, memos;
  for (size_t i = 0; i < std::size(sizes); ++i) {
    const UnicodeString key = text(static_cast<char>('a' + i), 30);
    const UnicodeString memo = text(static_cast<char>('A' + i), sizes[i]);
    AppendRow(*ds, {key.c_str(), memo.c_str()});
    keys.push_back(ToUtf8(key));
    memos.push_back(ToUtf8(memo));
  }
  ds->MergeChangeLog();
  auto find = [&](size_t i) {
    ds->SetKey();
    ds->FieldByName(u"Key")->SetAsString(FromUtf8(keys[i]));
    return ds->GotoKey();
  };
  auto setMemo = [&](size_t i, const UnicodeString& memo) {
    ASSERT_TRUE(find(i));
    ds->Edit();
    ds->FieldByName(u"Memo")->SetAsString(memo);
    ds->Post();
  };
  setMemo(2, text('x', 700));
  setMemo(2, text('y', 30));  // an edit of an edited row
  setMemo(4, text('z', 20));
  ASSERT_TRUE(find(1));
  ds->Edit();  // copied to be edited, then left unchanged
  ds->Cancel();
  ASSERT_TRUE(find(3));
  ds->Delete();
  std::vector<std::string> edited = memos;
  edited[2] = std::string(30, 'y');
  edited[4] = std::string(20, 'z');
  edited.erase(edited.begin() + 3);
  EXPECT_EQ(Column(*ds, 1), edited);
  for (size_t i : {0, 1, 2, 4, 5}) EXPECT_TRUE(find(i)) << i;
  EXPECT_FALSE(find(3));

  ds->CancelUpdates();
  EXPECT_EQ(Column(*ds, 1), memos);
  EXPECT_EQ(Column(*ds, 0), keys);
  for (size_t i = 0; i < std::size(sizes); ++i) {
    ASSERT_TRUE(find(i)) << i;
    EXPECT_EQ(ToUtf8(ds->FieldByName(u"Memo")->AsString()), memos[i]) << i;
  }
}

TEST(ClientDataSet, RowsRemovedWhileTheLogIsOffLeaveNothingToUndo) {
  // The log holds the row's addition and a change when it is removed
  // unlogged; undoing afterwards once released that row twice.
  auto ds = OpenDataSet({{u"Key", ftString, 30}});
  AppendRow(*ds, {u"kept as it was at first"});
  ds->MergeChangeLog();
  AppendRow(*ds, {u"added, then removed"});
  ds->First();
  for (const char16_t* text : {u"kept, then changed", u"changed, then removed"}) {
    ds->Edit();
    ds->Fields(0)->SetAsString(text);
    ds->Post();
    ds->Next();
  }
  EXPECT_EQ(ds->ChangeCount(), 3);
  ds->SetLogChanges(false);
  ds->Last();
  ds->Delete();
  ds->SetLogChanges(true);
  EXPECT_EQ(ds->ChangeCount(), 1);  // the first row's change
  EXPECT_THAT(Column(*ds, 0), ElementsAre("kept, then changed"));
  ds->CancelUpdates();
  EXPECT_THAT(Column(*ds, 0), ElementsAre("kept as it was at first"));
}

TEST(ClientDataSet, EmptyDataSetKeepsFieldsAndIndex) {
  auto ds = OpenDataSet({{u"Key", ftString, 10}});
  ds->IndexDefs().Add(u"ByKey", u"Key", {});
  ds->SetIndexName(u"ByKey");
  AppendRow(*ds, {u"b"});
  ds->EmptyDataSet();
  EXPECT_EQ(ds->RecordCount(), 0);
  AppendRow(*ds, {u"z"});
  AppendRow(*ds, {u"a"});
  EXPECT_THAT(Column(*ds, 0), ElementsAre("a", "z"));
}

TEST(ClientDataSet, ControlsNestAndTableNameIsEmpty) {
  TClientDataSet ds;
  EXPECT_FALSE(ds.ControlsDisabled());
  ds.DisableControls();
  ds.DisableControls();
  ds.EnableControls();
  EXPECT_TRUE(ds.ControlsDisabled());
  ds.EnableControls();
  EXPECT_FALSE(ds.ControlsDisabled());
  ds.EnableControls();  // unbalanced: stays enabled
  EXPECT_FALSE(ds.ControlsDisabled());
  EXPECT_EQ(ds.TableNameForSql(), u"");
}

namespace {
// Holds a dataset reference and drops it when told the dataset goes.
class Holder : public TComponent {
 public:
  TDataSet* dataSet = nullptr;
  int fieldsSeen = -1;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == TOperation::opRemove && component == dataSet) {
      fieldsSeen = dataSet->FieldCount();  // the dataset is still whole while it tells
      dataSet = nullptr;
    }
  }
};
}  // namespace

TEST(ClientDataSet, DestructionTellsLinkedComponentsFirst) {
  Holder holder;
  {
    auto ds = OpenDataSet({{u"Key", ftString, 10}, {u"Body", ftMemo, 0}});
    AppendRow(*ds, {u"a", u"b"});
    holder.dataSet = ds.get();
    holder.FreeNotification(ds.get());
  }
  EXPECT_EQ(holder.dataSet, nullptr);
  EXPECT_EQ(holder.fieldsSeen, 2);

  // An owned dataset goes with its owner.
  TComponent* owner = new TComponent(nullptr);
  auto* owned = new TClientDataSet(owner);
  owned->SetName(u"Nodes");
  EXPECT_EQ(owner->FindComponent(u"nodes"), owned);
  delete owner;
}

TEST(ClientDataSet, FieldsAreFoundByWholeNameIgnoringCase) {
  auto ds = OpenDataSet({{u"Alpha", ftString, 5}, {u"beta", ftString, 5}, {u"GAMMA", ftMemo, 0}});
  const struct {
    const char16_t* asked;
    int field;  // -1: none
  } rows[] = {{u"Alpha", 0}, {u"alpha", 0}, {u"ALPHA", 0}, {u"beta", 1}, {u"Beta", 1}, {u"GAMMA", 2}, {u"gamma", 2},
              {u"Alph", -1}, {u"Alphas", -1}, {u"", -1}, {u"delta", -1}};
  for (const auto& r : rows)
    EXPECT_EQ(ds->FindField(r.asked), r.field < 0 ? nullptr : ds->Fields(r.field)) << ToUtf8(r.asked);
}
