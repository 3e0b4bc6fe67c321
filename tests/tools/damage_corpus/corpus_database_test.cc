// The corpus generator's databases: the same seed gives the same bytes, and
// the file bytes it records for each note hold exactly that note's text.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/automation/temp_directory.h"
#include "tools/damage_corpus/corpus_database.h"
#include "tools/damage_corpus/file_damage.h"

namespace {

using damage_corpus::ByteRange;

std::string Join(const std::string& file, const std::vector<ByteRange>& ranges) {
  std::string bytes;
  for (const ByteRange& r : ranges) bytes += file.substr(r.begin, r.end - r.begin);
  return bytes;
}

struct Variant {
  accessdb::OutlineVariant variant;
  accessdb::Format format;
};
const Variant kVariants[] = {
    {accessdb::OutlineVariant::kArvoline, accessdb::Format::kJet4},
    {accessdb::OutlineVariant::kArvoline, accessdb::Format::kJet3},
    {accessdb::OutlineVariant::kGleanery, accessdb::Format::kJet4},
    {accessdb::OutlineVariant::kGleanery, accessdb::Format::kJet3},
};

TEST(CorpusDatabase, RecordsWhereEachNotesTextLies) {
  TempDirectory directory;
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(v.format == accessdb::Format::kJet3 ? "Jet 3" : "Jet 4");
    accessdb::OutlineOptions options;
    options.variant = v.variant;
    options.format = v.format;
    damage_corpus::SeededRandom random(7);
    // Enough notes for contents in rows, in one long-value row and in chains, and an outline chain.
    const damage_corpus::CorpusDatabase db =
        damage_corpus::WriteCorpusDatabase(directory.File("notes.xtp"), options, random, 300, 4);
    const damage_corpus::StoredText stored(v.format, options.code_page);
    size_t chains = 0;
    for (size_t i = 0; i < db.notes.size(); ++i) {
      EXPECT_EQ(Join(db.bytes, db.contents[i]), stored.Encode(*db.notes[i].node.content)) << db.notes[i].node.key;
      // The title as stored within the outline: the encoded form without Jet 4's leading FF FE.
      EXPECT_EQ(Join(db.bytes, db.titles[i]), stored.Encode(db.notes[i].node.title).substr(stored.CharacterOffset(0)));
      chains += db.contents[i].size() > 1;
    }
    EXPECT_GT(chains, 0u);
    EXPECT_GT(db.outline.size(), 1u);
  }
}

TEST(CorpusDatabase, SameSeedSameBytesAndEveryKindDamages) {
  TempDirectory directory;
  for (const Variant& v : kVariants) {
    accessdb::OutlineOptions options;
    options.variant = v.variant;
    options.format = v.format;
    for (size_t kind = 0; kind < damage_corpus::DamageKinds().size(); ++kind) {
      SCOPED_TRACE(damage_corpus::DamageKinds()[kind] + (v.format == accessdb::Format::kJet3 ? ", Jet 3" : ", Jet 4"));
      std::string copies[3];
      for (int run = 0; run < 3; ++run) {
        damage_corpus::SeededRandom random(run == 2 ? 12 : 11);
        const damage_corpus::CorpusDatabase db =
            damage_corpus::WriteCorpusDatabase(directory.File("notes.xtp"), options, random, 200, 4);
        copies[run] = db.bytes;
        const damage_corpus::Damage damage = damage_corpus::DamageCopy(db, kind, random, copies[run]);
        EXPECT_FALSE(damage.changed.empty());
        EXPECT_NE(copies[run], db.bytes);
      }
      EXPECT_EQ(copies[0], copies[1]);
      EXPECT_NE(copies[0], copies[2]);
    }
  }
}

}  // namespace
