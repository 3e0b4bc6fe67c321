// Tests of the Windows platform layer, run under wine by run_wine_tests.sh:
// code pages and OEM conversion through the system, the user's regional
// settings, the boundary's structured exception, the wait cursor, and the
// COM automation client against the test-only DAO server.
//
//   platform_win32_test.exe <fixtures folder> all        (English locale)
//   platform_win32_test.exe <fixtures folder> locale-de  (German locale)
//   platform_win32_test.exe <fixtures folder> locale-ja  (Japanese locale)
//
// Prints one line per failed check and "N passed, N failed" (cases) last.
#include <cstdio>
#include <string>

#include "tests/win32/platform/platform_tests.h"
#include "tests/win32/support/check.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: %s <fixtures folder> all|locale-de|locale-ja\n", argv[0]);
    return 2;
  }
  std::string group = argv[2];
  if (group == "all") {
    RunCodePageTests();
    RunUnicodeCaseTests();
    RunEnglishRegionalSettingsTests();
    RunBoundaryTests();
    RunUserInterfaceTests();
    RunAutomationTests(argv[1]);
  } else if (group == "locale-de") {
    RunGermanRegionalSettingsTests();
  } else if (group == "locale-ja") {
    RunJapaneseCodePageTests();
  } else {
    std::printf("unknown group %s\n", group.c_str());
    return 2;
  }
  int failed = static_cast<int>(check::FailedCases().size());
  std::printf("%d passed, %d failed\n", check::CasesRun() - failed, failed);
  return check::Failures() == 0 ? 0 : 1;
}
