// Loads every built plug-in module with dlopen and drives it through its four
// exports, as a host does.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/arvoline_plugin.h"
#include "tests/importer/fake_database_file.h"
#include "tests/plugin/host_records.h"
#include "tests/plugin/plugin_info_expectation.h"
#include "tests/plugin/plugin_modules.h"

void PrintTo(const PluginModule& module, std::ostream* os) { *os << module.name << " (" << module.path << ")"; }

namespace {

using host_records::Allocate;
using host_records::Document;

struct Module {
  void* handle = nullptr;
  GetPluginInfoFunction getPluginInfo = nullptr;
  BeginImportSessionFunction beginImportSession = nullptr;
  ImportDocumentFunction importDocument = nullptr;
  EndImportSessionFunction endImportSession = nullptr;
};

template <typename F>
F Symbol(void* handle, const char* name) {
  return reinterpret_cast<F>(dlsym(handle, name));
}

class PluginModuleTest : public ::testing::TestWithParam<PluginModule> {
 protected:
  void SetUp() override {
    // RTLD_NODELETE: the module stays mapped after dlclose, as in a host that
    // loads it once. Unloading it would also unload ICU, whose converter
    // caches are freed only by an explicit clean-up and would then show up
    // as leaks.
    module_.handle = dlopen(GetParam().path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    ASSERT_NE(module_.handle, nullptr) << dlerror();
    module_.getPluginInfo = Symbol<GetPluginInfoFunction>(module_.handle, "GetPluginInfo");
    module_.beginImportSession = Symbol<BeginImportSessionFunction>(module_.handle, "BeginImportSession");
    module_.importDocument = Symbol<ImportDocumentFunction>(module_.handle, "ImportDocument");
    module_.endImportSession = Symbol<EndImportSessionFunction>(module_.handle, "EndImportSession");
    ASSERT_TRUE(module_.getPluginInfo && module_.beginImportSession && module_.importDocument && module_.endImportSession);
  }
  void TearDown() override {
    if (module_.handle) {
      module_.endImportSession();
      dlclose(module_.handle);
    }
  }

  // BeginImportSession's error message, or "" when it returned.
  std::string BeginError(const char* path) {
    try {
      EXPECT_EQ(module_.beginImportSession(path, 0, 0), 1);
      return "";
    } catch (const std::exception& e) {
      return e.what();
    }
  }

  Module module_;
};

TEST_P(PluginModuleTest, ExportsExactlyTheFourEntryPoints) {
  const std::string command = std::string(ARVOLINE_NM) + " -D --defined-only '" + GetParam().path + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[4096];
  while (fgets(line, sizeof line, pipe.get())) {
    std::istringstream fields(line);
    std::string address, type, name;
    fields >> address >> type >> name;
    if (name.empty()) name = type;  // symbols without an address column
    names.insert(name);
  }
  EXPECT_EQ(names, (std::set<std::string>{"BeginImportSession", "EndImportSession", "GetPluginInfo", "ImportDocument"}));
}

TEST_P(PluginModuleTest, GetPluginInfoWritesOnlyItsFields) {
  std::vector<unsigned char> record(kPluginInfoRecordSize + 64, 0xFF);
  const std::vector<unsigned char> before = record;
  EXPECT_EQ(module_.getPluginInfo(record.data()), 1);
  EXPECT_EQ(record, plugin_info_expectation::Expected(before, record));
}

TEST_P(PluginModuleTest, WithoutASessionNothingIsDelivered) {
  Document document;
  const std::vector<unsigned char> before(document.record, document.record + sizeof document.record);
  EXPECT_EQ(module_.importDocument(document.record, Allocate), 2);
  EXPECT_EQ(module_.importDocument(document.record, Allocate), 2);
  EXPECT_EQ(std::vector<unsigned char>(document.record, document.record + sizeof document.record), before);
  EXPECT_TRUE(document.allocatorCalls.empty());
  EXPECT_EQ(module_.endImportSession(), 1);
  EXPECT_EQ(module_.endImportSession(), 1);
}

TEST_P(PluginModuleTest, ErrorsReachTheHostAsStdExceptionsWithTheMessage) {
  struct Case {
    const char* path;
    const char* message;
  } cases[] = {
      {"", "Property SourceFileName wasn't specified."},
      {"/nonexistent/directory/notes.xtp", "Cannot perform this operation on a closed dataset"},
      {"/nonexistent/directory/notes.xrd", "Cannot perform this operation on a closed dataset"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BeginError(c.path), c.message) << c.path;
    // The failed session serves nothing, closes normally, and the module
    // keeps working.
    Document document;
    EXPECT_EQ(module_.importDocument(document.record, Allocate), 2);
    EXPECT_EQ(module_.endImportSession(), 1);
  }
  std::vector<unsigned char> record(kPluginInfoRecordSize, 0);
  EXPECT_EQ(module_.getPluginInfo(record.data()), 1);
}

TEST_P(PluginModuleTest, DeliversAWholeDatabase) {
  if (!GetParam().readsFixtures) GTEST_SKIP() << "needs an Access database; covered by the loader's tests";
  const std::string file = ::testing::TempDir() + "plugin_module_test.xtp";
  fake_database_file::WriteArvoline(file,
                                    "04Root02A1005First123456789"
                                    "02A102B2003Two123456789"
                                    "02A102C3005Three123456789",
                                    {{"A1", "one"}, {"C3", "three"}});
  ASSERT_EQ(BeginError(file.c_str()), "");
  struct Expected {
    int32_t level;
    std::string title;
    std::string content;
  } expected[] = {{0, "First", "one"}, {1, "Two", ""}, {1, "Three", "three"}};
  for (const Expected& e : expected) {
    Document document;
    ASSERT_EQ(module_.importDocument(document.record, Allocate), 1);
    EXPECT_EQ(document.Level(), e.level);
    EXPECT_EQ(document.Title(), e.title);
    EXPECT_EQ(document.Content(), e.content);
    EXPECT_EQ(document.allocatorCalls.size(), e.content.empty() ? 0u : 1u);
  }
  Document document;
  EXPECT_EQ(module_.importDocument(document.record, Allocate), 2);
  EXPECT_EQ(module_.endImportSession(), 1);
  std::remove(file.c_str());
}

INSTANTIATE_TEST_SUITE_P(Modules, PluginModuleTest, ::testing::ValuesIn(kPluginModules),
                         [](const ::testing::TestParamInfo<PluginModule>& info) { return std::string(info.param.name); });

}  // namespace
