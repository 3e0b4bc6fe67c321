// The groups of the Windows platform test program (main.cc).
#pragma once

#include <string>

void RunCodePageTests();
void RunUnicodeCaseTests();
void RunJapaneseCodePageTests();
void RunEnglishRegionalSettingsTests();
void RunGermanRegionalSettingsTests();
void RunBoundaryTests();
void RunUserInterfaceTests();
void RunAutomationTests(const std::string& fixturesFolder);
