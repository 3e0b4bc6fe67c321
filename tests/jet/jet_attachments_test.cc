// Attachments as Access stores them: the files of complexDataTestV2010.accdb
// read whole, and the encoded FileData, well formed or damaged.
#include "jet/jet_attachments.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>

#include "jet/jet_attachment_data.h"
#include "jet/jet_catalog.h"
#include "jet/jet_error.h"
#include "runtime/utf8.h"
#include "tests/platform/automation/temp_directory.h"

namespace {

using namespace std::string_literals;

const std::string kComplexFile =
    std::string(ARVOLINE_SOURCE_DIR) + "/tests/data/real-access/complexDataTestV2010.accdb";
const char16_t kAttachTable[] = u"f_3B07F994AD0A4B56A3A1E13B3A1D3B70_attach-data";

std::string Le32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// A file as FileData holds it once decoded: header, extension, bytes.
std::string Decoded(const std::u16string& extension, const std::string& file) {
  const std::string ext(reinterpret_cast<const char*>(extension.c_str()), 2 * (extension.size() + 1));
  return Le32(static_cast<uint32_t>(12 + ext.size())) + Le32(1) + Le32(static_cast<uint32_t>(extension.size() + 1)) +
         ext + file;
}

std::string Deflated(const std::string& bytes) {
  std::string out(compressBound(bytes.size()), '\0');
  uLongf size = out.size();
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(), 5);
  out.resize(size);
  return out;
}

std::string ErrorOf(const std::string& stored, uint64_t limit = 1 << 20) {
  try {
    DecodeJetAttachmentData(stored, u"a.txt", limit);
  } catch (const EJetError& e) {
    return ToUtf8(e.Message());
  }
  return "";
}

}  // namespace

// Every attachment of the Access-written file: its name, type and bytes.
// The texts are the files Access was given; the theme is a whole zip file
// (its local header first, its end record last).
TEST(JetAttachments, AccessWrittenFileReadWhole) {
  auto file = std::make_shared<const JetFile>(FromUtf8(kComplexFile));
  const JetCatalog catalog(file);
  auto attachments = [&](const char16_t* column, const char16_t* flatTable) {
    const JetCatalog::Object* table = catalog.FindTable(flatTable);
    EXPECT_NE(table, nullptr);
    return JetAttachments(file, column, flatTable, table ? table->DefinitionPage() : 0);
  };
  const std::string first = "this is some test data for attachment.";
  const std::string second = "this is some more test data for attachment.";
  const auto table1 = attachments(u"attach-data", kAttachTable).Read(true);
  ASSERT_EQ(table1.size(), 2u);  // rows 1 and 3 have none
  ASSERT_EQ(table1.at(2).size(), 2u);
  ASSERT_EQ(table1.at(4).size(), 1u);
  struct Want {
    const JetAttachment& got;
    const char16_t* name;
    const std::string& data;
  } wants[] = {{table1.at(2)[0], u"test_data.txt", first},
               {table1.at(2)[1], u"test_data2.txt", second},
               {table1.at(4)[0], u"test_data2.txt", second}};
  for (const Want& w : wants) {
    EXPECT_EQ(w.got.name, w.name);
    EXPECT_EQ(w.got.type, u"txt");
    EXPECT_EQ(w.got.data, w.data);
  }
  const auto names = attachments(u"attach-data", kAttachTable).Read(false);
  EXPECT_EQ(names.at(2)[1].name, u"test_data2.txt");
  EXPECT_EQ(names.at(2)[1].data, "");

  const auto theme = attachments(u"Data", u"f_63A2725FD5F0424B858BA73DA673639B_Data").Read(true);
  ASSERT_EQ(theme.size(), 1u);
  const JetAttachment& zip = theme.at(1).at(0);
  EXPECT_EQ(zip.name, u"Office Theme.thmx");
  EXPECT_EQ(zip.type, u"thmx");
  ASSERT_EQ(zip.data.size(), 3096u);
  EXPECT_EQ(zip.data.substr(0, 4), "PK\x03\x04");
  EXPECT_EQ(zip.data.substr(zip.data.size() - 22, 4), "PK\x05\x06");
}

// A damaged FileData in the file raises when the data is read, with what
// was found; the names, which need no data, still read.
TEST(JetAttachments, DamagedDataRaisesWhenRead) {
  std::ifstream in(kComplexFile, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // test_data.txt's FileData: compressed, 58 bytes decoded; now said to be 59.
  const size_t at = bytes.find(Le32(1) + Le32(58) + "\x78\x5e");
  ASSERT_NE(at, std::string::npos);
  bytes[at + 4] = 59;
  TempDirectory dir;
  std::ofstream(dir.File("damaged.accdb"), std::ios::binary) << bytes;
  auto file = std::make_shared<const JetFile>(FromUtf8(dir.File("damaged.accdb")));
  const uint32_t page = JetCatalog(file).FindTable(kAttachTable)->DefinitionPage();
  const JetAttachments attachments(file, u"attach-data", kAttachTable, page);
  EXPECT_EQ(attachments.Read(false).at(2)[0].name, u"test_data.txt");
  try {
    attachments.Read(true);
    ADD_FAILURE() << "no error";
  } catch (const EJetError& e) {
    EXPECT_EQ(ToUtf8(e.Message()),
              "The data of attachment 'test_data.txt' is damaged: its compressed data does not decode to the 59 bytes "
              "it states.");
  }
}

// FileData stored as it is or compressed gives the file; any length,
// stream or header that does not fit is damage, and a stated length past
// the limit is refused before memory is taken for it.
TEST(JetAttachmentData, DecodesBothFormsAndRefusesDamage) {
  const std::string file = "hello, attachment";
  const std::string plain = Decoded(u"txt", file);
  const std::string deflated = Deflated(plain);
  const std::string prefix = "The data of attachment 'a.txt' is damaged: ";
  struct Row {
    const char* name;
    std::string stored;
    uint64_t limit;
    std::string error;  // empty: decodes to `file`
  } rows[] = {
      {"stored as is", Le32(0) + Le32(plain.size()) + plain, 1 << 20, ""},
      {"compressed", Le32(1) + Le32(plain.size()) + deflated, 1 << 20, ""},
      {"exactly the limit", Le32(1) + Le32(plain.size()) + deflated, plain.size(), ""},
      {"no extension", Le32(0) + Le32(12 + file.size()) + Le32(12) + Le32(1) + Le32(0) + file, 1 << 20, ""},
      {"short header", Le32(1) + "\x05\0"s, 1 << 20, "it holds 6 bytes, fewer than its header."},
      {"unknown form", Le32(2) + Le32(plain.size()) + plain, 1 << 20, "it is stored in an unknown form (2)."},
      {"past the limit", Le32(1) + Le32(0xFFFFFFFF) + deflated, 1 << 20,
       "it states 4294967295 bytes, more than the file can hold (1048576)."},
      {"stored, longer", Le32(0) + Le32(plain.size() - 1) + plain, 1 << 20, "it states 36 bytes and holds 37."},
      {"stored, shorter", Le32(0) + Le32(plain.size() + 1) + plain, 1 << 20, "it states 38 bytes and holds 37."},
      {"stream gives more", Le32(1) + Le32(plain.size() - 1) + deflated, 1 << 20,
       "its compressed data does not decode to the 36 bytes it states."},
      {"stream gives less", Le32(1) + Le32(plain.size() + 1) + deflated, 1 << 20,
       "its compressed data does not decode to the 38 bytes it states."},
      {"stream cut short", Le32(1) + Le32(plain.size()) + deflated.substr(0, deflated.size() - 3), 1 << 20,
       "its compressed data does not decode to the 37 bytes it states."},
      {"bytes after the stream", Le32(1) + Le32(plain.size()) + deflated + "x", 1 << 20,
       "its compressed data does not decode to the 37 bytes it states."},
      {"not a stream", Le32(1) + Le32(plain.size()) + plain, 1 << 20,
       "its compressed data does not decode to the 37 bytes it states."},
      {"header cut short", Le32(0) + Le32(8) + plain.substr(0, 8), 1 << 20, "its file header is cut short."},
      {"header past the data", Le32(0) + Le32(12) + Le32(13) + Le32(1) + Le32(0), 1 << 20,
       "its file header does not fit its data."},
      {"extension past the header", Le32(0) + Le32(16) + Le32(16) + Le32(1) + Le32(3) + "t\0x\0"s, 1 << 20,
       "its file header does not fit its data."},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    if (!r.error.empty()) {
      EXPECT_EQ(ErrorOf(r.stored, r.limit), prefix + r.error);
      continue;
    }
    const JetAttachmentData d = DecodeJetAttachmentData(r.stored, u"a.txt", r.limit);
    EXPECT_EQ(d.bytes, file);
    EXPECT_EQ(d.extension, std::string(r.name) == "no extension" ? u"" : u"txt");
  }
}
