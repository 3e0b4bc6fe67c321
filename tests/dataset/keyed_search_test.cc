// Keyed positioning (SetKey / GotoKey / FindKey), index order and Locate.
#include "dataset/t_client_data_set.h"
#include "platform/code_page.h"
#include "tests/dataset/dataset_test_util.h"

using ::testing::ElementsAre;

namespace {

// The node-table shape: a key string field and a memo, indexed on the key
// the way the loader builds it.
std::unique_ptr<TClientDataSet> NodeTable() {
  auto ds = OpenDataSet({{u"NodeKeyValue", ftString, 50}, {u"NodeTextValue", ftMemo, 64000}});
  ds->SetActive(true);
  ds->SetLogChanges(false);
  ds->IndexDefs().Add(u"NodeKeyValueIndex", u"NodeKeyValue", {ixPrimary});
  ds->SetIndexName(u"NodeKeyValueIndex");
  return ds;
}

bool FindByKey(TClientDataSet& ds, const UnicodeString& key) {
  ds.SetKey();
  ds.FieldByName(u"NodeKeyValue")->SetAsString(key);
  return ds.GotoKey();
}

std::string Text(TClientDataSet& ds) { return ToUtf8(ds.FieldByName(u"NodeTextValue")->AsString()); }

}  // namespace

TEST(KeyedSearch, LookupEdgeCases) {
  auto ds = NodeTable();
  AppendRow(*ds, {u"beta", u"B"});
  AppendRow(*ds, {u"Alpha", u"upper A"});
  AppendRow(*ds, {u"alpha", u"lower a"});
  AppendRow(*ds, {u"twin", u"first twin"});
  AppendRow(*ds, {u"twin", u"second twin"});

  struct Row {
    const char16_t* key;
    bool found;
    const char* text;  // of the current row afterwards
  } rows[] = {
      {u"alpha", true, "lower a"},       // keys differing in case are different keys
      {u"Alpha", true, "upper A"},
      {u"ALPHA", false, "upper A"},      // absent: the previous row stays current
      {u"", false, "upper A"},
      {u"twin", true, "first twin"},     // equal keys: the first one in the order
      {u"alph", false, "first twin"},    // no prefix matches
      {u"beta", true, "B"},
      {u"betas", false, "B"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(FindByKey(*ds, r.key), r.found) << ToUtf8(r.key);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(Text(*ds), r.text) << ToUtf8(r.key);
  }
}

TEST(KeyedSearch, RowsAppendedAfterTheIndexKeepTheirPlace) {
  auto ds = NodeTable();
  for (auto k : {u"m", u"b", u"Z", u"x", u"a", u"b", u"~", u"0"}) AppendRow(*ds, {k, k});
  // Ordinal, case-sensitive order of the stored bytes; equal keys in the order appended.
  EXPECT_THAT(Column(*ds, 0), ElementsAre("0", "Z", "a", "b", "b", "m", "x", "~"));
  EXPECT_TRUE(FindByKey(*ds, u"x"));
  ds->Next();
  EXPECT_EQ(ds->Fields(0)->AsString(), u"~");

  // An edited key moves the row.
  EXPECT_TRUE(FindByKey(*ds, u"m"));
  ds->Edit();
  ds->Fields(0)->SetAsString(u"c");
  ds->Post();
  EXPECT_EQ(ds->Fields(0)->AsString(), u"c");  // the cursor follows the row
  EXPECT_THAT(Column(*ds, 0), ElementsAre("0", "Z", "a", "b", "b", "c", "x", "~"));

  // Rows present before the index was chosen are ordered when it is.
  auto plain = OpenDataSet({{u"K", ftString, 5}});
  for (auto k : {u"c", u"a", u"b"}) AppendRow(*plain, {k});
  EXPECT_THAT(Column(*plain, 0), ElementsAre("c", "a", "b"));
  plain->IndexDefs().Add(u"ByK", u"K", {});
  EXPECT_THAT(Column(*plain, 0), ElementsAre("c", "a", "b"));  // a definition alone orders nothing
  plain->SetIndexName(u"ByK");
  EXPECT_THAT(Column(*plain, 0), ElementsAre("a", "b", "c"));
  plain->SetIndexName(u"");
  EXPECT_THAT(Column(*plain, 0), ElementsAre("c", "a", "b"));
}

TEST(KeyedSearch, IndexOptions) {
  struct Row {
    const char* name;
    TIndexOptions options;
    std::vector<std::string> order;
    const char16_t* lookup;
    bool found;
  } rows[] = {
      {"primary", {ixPrimary}, {"B", "a", "b"}, u"A", false},
      {"descending", {ixDescending}, {"b", "a", "B"}, u"a", true},
      {"case-insensitive", {ixCaseInsensitive}, {"a", "b", "B"}, u"A", true},
  };
  for (const Row& r : rows) {
    auto ds = OpenDataSet({{u"K", ftString, 5}});
    ds->IndexDefs().Add(u"Idx", u"K", r.options);
    ds->SetIndexName(u"Idx");
    for (auto k : {u"b", u"a", u"B"}) AppendRow(*ds, {k});
    EXPECT_EQ(Column(*ds, 0), r.order) << r.name;
    ds->SetKey();
    ds->Fields(0)->SetAsString(r.lookup);
    EXPECT_EQ(ds->GotoKey(), r.found) << r.name;
  }
}

TEST(KeyedSearch, KeysSharingTheirFirstEightBytesOrderByTheRest) {
  ScopedActiveCodePage codePage(1252);
  const std::vector<std::string> ascending = {"",         "abcdefg",   "abcdefga",  "abcdefgh", "abcdefgh ",
                                              "abcdefgha", "abcdefghi", "b",         "\xC3\xA9"};
  std::vector<std::string> descending(ascending.rbegin(), ascending.rend());
  struct Row {
    const char* name;
    TIndexOptions options;
    const std::vector<std::string>& order;
  } rows[] = {{"ascending", {ixPrimary}, ascending},
              {"descending", {ixPrimary, ixDescending}, descending},
              {"unique", {ixUnique}, ascending},
              {"unique descending", {ixUnique, ixDescending}, descending}};
  for (const Row& r : rows) {
    auto ds = OpenDataSet({{u"K", ftString, 20}});
    ds->IndexDefs().Add(u"Idx", u"K", r.options);
    ds->SetIndexName(u"Idx");
    for (auto k : {u"abcdefgha", u"b", u"abcdefgh", u"", u"\u00E9", u"abcdefg", u"abcdefghi", u"abcdefgh ", u"abcdefga"})
      AppendRow(*ds, {k});
    EXPECT_EQ(Column(*ds, 0), r.order) << r.name;
    for (const std::string& key : r.order) {
      EXPECT_TRUE(ds->FindKey({Variant(FromUtf8(key))})) << r.name << " " << key;
      EXPECT_EQ(ToUtf8(ds->Fields(0)->AsString()), key) << r.name;
    }
    for (auto absent : {u"abcdefgb", u"abcdefgh!", u"abcdefg\u00E9", u"abcdefgh\u00E9"})
      EXPECT_FALSE(ds->FindKey({Variant(UnicodeString(absent))})) << r.name << " " << ToUtf8(absent);
    if (!r.options.Contains(ixUnique)) continue;
    // Every stored key is refused again; one that differs only after its
    // eighth byte is a new key.
    for (const std::string& key : r.order) {
      ds->Append();
      ds->Fields(0)->SetAsString(FromUtf8(key));
      EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Post(); }), "Key violation.") << r.name << " " << key;
      ds->Cancel();
    }
    AppendRow(*ds, {u"abcdefgh!"});
    EXPECT_TRUE(ds->FindKey({Variant(UnicodeString(u"abcdefgh!"))})) << r.name;
    EXPECT_EQ(ds->RecordCount(), static_cast<int32_t>(r.order.size()) + 1) << r.name;
  }
}

TEST(KeyedSearch, UniqueIndexRefusesEqualKeys) {
  auto ds = OpenDataSet({{u"K", ftString, 5}});
  ds->IndexDefs().Add(u"U", u"K", {ixUnique});
  ds->SetIndexName(u"U");
  AppendRow(*ds, {u"a"});
  ds->Append();
  ds->Fields(0)->SetAsString(u"a");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Post(); }), "Key violation.");
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->Fields(0)->AsString(), u"a");  // the pending row survives the failure
  ds->Fields(0)->SetAsString(u"b");
  ds->Post();
  EXPECT_EQ(ds->RecordCount(), 2);
  // Rows not yet sorted into the index are checked as well, and a row may
  // keep its own key when it is changed.
  EXPECT_THAT(Column(*ds, 0), ElementsAre("a", "b"));
  AppendRow(*ds, {u"c"});
  ds->Append();
  ds->Fields(0)->SetAsString(u"c");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Post(); }), "Key violation.");
  ds->Cancel();
  ASSERT_TRUE(ds->Locate(u"K", Variant(u"c"), {}));
  ds->Edit();
  ds->Fields(0)->SetAsString(u"c");
  ds->Post();
  ds->Edit();
  ds->Fields(0)->SetAsString(u"a");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Post(); }), "Key violation.");
  ds->Cancel();
  EXPECT_THAT(Column(*ds, 0), ElementsAre("a", "b", "c"));

  // Choosing a unique index over rows with equal keys fails and keeps the old order.
  auto dup = OpenDataSet({{u"K", ftString, 5}});
  AppendRow(*dup, {u"x"});
  AppendRow(*dup, {u"x"});
  dup->IndexDefs().Add(u"U", u"K", {ixUnique});
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { dup->SetIndexName(u"U"); }), "Key violation.");
  EXPECT_EQ(dup->IndexName(), u"");
}

TEST(KeyedSearch, SinglePostsAfterTheIndexIsBuiltKeepTheOrder) {
  // Three rows are sorted in first; each later row is posted alone and the
  // order read back before the next one, so every post lands in a built index.
  struct Row {
    const char* name;
    TIndexOptions options;
    std::vector<std::string> tagsAfterEachPost;  // tags in index order
  } rows[] = {
      {"ascending, equal keys in posting order", {ixPrimary}, {"2 1 4 3", "2 5 1 4 3", "2 5 1 4 6 3"}},
      {"descending, equal keys in posting order", {ixDescending}, {"3 1 4 2", "3 1 4 2 5", "3 1 4 6 2 5"}},
  };
  for (const Row& r : rows) {
    auto ds = OpenDataSet({{u"K", ftString, 5}, {u"Tag", ftString, 5}});
    ds->IndexDefs().Add(u"Idx", u"K", r.options);
    ds->SetIndexName(u"Idx");
    for (auto row : {std::pair{u"b", u"1"}, {u"a", u"2"}, {u"c", u"3"}}) AppendRow(*ds, {row.first, row.second});
    Column(*ds, 1);
    const std::pair<const char16_t*, const char16_t*> later[] = {{u"b", u"4"}, {u"a", u"5"}, {u"b", u"6"}};
    for (size_t i = 0; i < 3; ++i) {
      AppendRow(*ds, {later[i].first, later[i].second});
      std::string tags;
      for (const std::string& t : Column(*ds, 1)) tags += (tags.empty() ? "" : " ") + t;
      EXPECT_EQ(tags, r.tagsAfterEachPost[i]) << r.name << ", post " << i;
    }
    ds->SetKey();
    ds->Fields(0)->SetAsString(u"b");
    EXPECT_TRUE(ds->GotoKey()) << r.name;
    EXPECT_EQ(ds->Fields(1)->AsString(), u"1") << r.name;  // the first of the equal keys
    // A change that keeps the key keeps the row's place among its equals.
    ds->Edit();
    ds->Fields(1)->SetAsString(u"7");
    ds->Post();
    ds->Next();
    EXPECT_EQ(ds->Fields(1)->AsString(), u"4") << r.name;
  }
}

TEST(KeyedSearch, IndexNameFailures) {
  auto ds = OpenDataSet({{u"K", ftString, 5}});
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->SetIndexName(u"Nope"); }), "Index 'Nope' not found");
  ds->IndexDefs().Add(u"Bad", u"Missing", {});
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->SetIndexName(u"Bad"); }), "Field 'Missing' not found");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->IndexDefs().Add(u"bad", u"K", {}); }),
            "Duplicate name 'bad' in TIndexDefs");
  ds->SetKey();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->GotoKey(); }), "No index currently active");
  EXPECT_EQ(ds->State(), dsBrowse);

  // A closed dataset keeps the name and builds the index when created.
  TClientDataSet closed;
  closed.FieldDefs().Add(u"K", ftString, 5);
  closed.IndexDefs().Add(u"ByK", u"K", {});
  closed.SetIndexName(u"ByK");
  closed.CreateDataSet();
  for (auto k : {u"b", u"a"}) AppendRow(closed, {k});
  EXPECT_THAT(Column(closed, 0), ElementsAre("a", "b"));
}

TEST(KeyedSearch, CompositeKeysAndFindKey) {
  auto ds = OpenDataSet({{u"Group", ftInteger, 0}, {u"Name", ftString, 10}});
  ds->IndexDefs().Add(u"GN", u"Group;Name", {});
  ds->SetIndexName(u"GN");
  AppendRow(*ds, {u"2", u"b"});
  AppendRow(*ds, {u"10", u"a"});
  AppendRow(*ds, {u"2", u"a"});
  // Numbers order numerically, not as text.
  EXPECT_THAT(Column(*ds, 1), ElementsAre("a", "b", "a"));
  EXPECT_TRUE(ds->FindKey({Variant(int32_t{2}), Variant(u"b")}));
  EXPECT_EQ(ds->Fields(1)->AsString(), u"b");
  EXPECT_TRUE(ds->FindKey({Variant(int32_t{10})}));  // fewer values: a leading-part search
  EXPECT_EQ(ds->Fields(1)->AsString(), u"a");
  EXPECT_FALSE(ds->FindKey({Variant(int32_t{3})}));
  EXPECT_EQ(ds->Fields(0)->AsInteger(), 10);
}

TEST(KeyedSearch, LocateByOneAndSeveralFields) {
  auto ds = OpenDataSet({{u"Key", ftString, 10}, {u"Num", ftInteger, 0}, {u"Body", ftMemo, 0}});
  AppendRow(*ds, {u"Apple", u"1", u"first"});
  AppendRow(*ds, {u"apple", u"2", u"second"});
  AppendRow(*ds, {u"banana", u"1", u"third"});
  AppendRow(*ds, {u"apple", u"3", u"fourth"});
  auto body = [&] { return ToUtf8(ds->FieldByName(u"Body")->AsString()); };

  struct Row {
    const char16_t* fields;
    Variant values;
    TLocateOptions options;
    bool found;
    const char* body;
  } rows[] = {
      {u"Key", Variant(u"apple"), {}, true, "second"},
      {u"key", Variant(u"APPLE"), {}, false, "second"},
      {u"Key", Variant(u"APPLE"), {loCaseInsensitive}, true, "first"},
      {u"Key", Variant(u"ban"), {loPartialKey}, true, "third"},
      {u"Key", Variant(u"AP"), {loPartialKey, loCaseInsensitive}, true, "first"},
      {u"Key", Variant(u"ap"), {}, false, "first"},
      {u"Key;Num", Variant(Variant::Array{Variant(u"apple"), Variant(int32_t{3})}), {}, true, "fourth"},
      {u" Num ; Key ", Variant(Variant::Array{Variant(u"1"), Variant(u"banana")}), {}, true, "third"},
      {u"Key;Num", Variant(Variant::Array{Variant(u"apple"), Variant(int32_t{9})}), {}, false, "third"},
      {u"Num", Variant(Variant::Array{Variant(int64_t{2})}), {}, true, "second"},
      {u"Num", Variant(u"3"), {}, true, "fourth"},  // compared as the field holds it
      {u"Num", Variant::Null(), {}, false, "fourth"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ds->Locate(r.fields, r.values, r.options), r.found) << ToUtf8(r.fields) << " " << ToUtf8(r.values.ToString());
    EXPECT_EQ(body(), r.body) << ToUtf8(r.fields);
  }
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Locate(u"Nope", Variant(u"x"), {}); }), "Field 'Nope' not found");
  EXPECT_EQ(MessageOf<EConvertError>([&] { ds->Locate(u"Num", Variant(u"x"), {}); }),
            "'x' is not a valid integer value");
}

TEST(KeyedSearch, LocateUsesTheIndexAndFindsTheFirstInItsOrder) {
  auto ds = NodeTable();
  AppendRow(*ds, {u"k", u"one"});
  AppendRow(*ds, {u"a", u"two"});
  AppendRow(*ds, {u"k", u"three"});
  EXPECT_TRUE(ds->Locate(u"NodeKeyValue", Variant(u"k"), {}));
  EXPECT_EQ(Text(*ds), "one");
  EXPECT_TRUE(ds->Locate(u"NodeTextValue", Variant(u"three"), {}));
  EXPECT_FALSE(ds->Locate(u"NodeKeyValue", Variant(u"K"), {}));
  EXPECT_EQ(Text(*ds), "three");
  EXPECT_TRUE(ds->Locate(u"NodeKeyValue", Variant(u"K"), {loCaseInsensitive}));
  EXPECT_EQ(Text(*ds), "one");
}

TEST(KeyedSearch, SearchKeyStateTransitions) {
  auto ds = NodeTable();
  AppendRow(*ds, {u"a", u"A"});
  ds->SetKey();
  EXPECT_EQ(ds->State(), dsSetKey);
  ds->FieldByName(u"NodeKeyValue")->SetAsString(u"zz");
  ds->Cancel();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Text(*ds), "A");  // the row was not touched by the key
  ds->SetKey();
  EXPECT_TRUE(ds->FieldByName(u"NodeKeyValue")->IsNull());  // a new key starts empty
  ds->Post();
  EXPECT_EQ(ds->State(), dsBrowse);
}

TEST(KeyedSearch, RowsChangedRightAfterAppendingFindTheirPlace) {
  // Rows appended to the index wait to be sorted in until the order is
  // needed; changing or deleting them before that must still work.
  auto ds = NodeTable();
  AppendRow(*ds, {u"m", u"1"});
  AppendRow(*ds, {u"c", u"2"});
  ds->Edit();  // the row just appended
  ds->Fields(0)->SetAsString(u"z");
  ds->Post();
  AppendRow(*ds, {u"a", u"3"});
  ds->Delete();
  AppendRow(*ds, {u"b", u"4"});
  EXPECT_THAT(Column(*ds, 0), ElementsAre("b", "m", "z"));
  EXPECT_TRUE(FindByKey(*ds, u"z"));
  EXPECT_EQ(Text(*ds), "2");
  EXPECT_FALSE(FindByKey(*ds, u"a"));
}

TEST(KeyedSearch, CancelUpdatesRestoresIndexAndNaturalOrder) {
  auto ds = OpenDataSet({{u"K", ftString, 5}});
  ds->IndexDefs().Add(u"ByK", u"K", {});
  ds->SetIndexName(u"ByK");
  for (auto k : {u"d", u"b", u"c", u"a"}) AppendRow(*ds, {k});
  ds->MergeChangeLog();
  // Remove b, rename d, then insert enough rows before c to renumber the
  // natural positions while b is held by the change log.
  ASSERT_TRUE(ds->Locate(u"K", Variant(u"b"), {}));
  ds->Delete();
  ASSERT_TRUE(ds->Locate(u"K", Variant(u"d"), {}));
  ds->Edit();
  ds->Fields(0)->SetAsString(u"e");
  ds->Post();
  ds->SetIndexName(u"");
  ASSERT_TRUE(ds->Locate(u"K", Variant(u"c"), {}));
  for (int i = 0; i < 40; ++i) {
    ds->Insert();
    ds->Fields(0)->SetAsString(u"x");
    ds->Post();
  }
  ds->Last();
  ds->Delete();  // a
  ds->SetIndexName(u"ByK");
  ds->CancelUpdates();
  EXPECT_THAT(Column(*ds, 0), ElementsAre("a", "b", "c", "d"));
  ds->SetIndexName(u"");
  EXPECT_THAT(Column(*ds, 0), ElementsAre("d", "b", "c", "a"));
}
