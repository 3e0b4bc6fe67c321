// What a run shows the user and how it honours the user's answers, through
// a recording user interface.
#include <gtest/gtest.h>

#include <stdexcept>

#include "memory_source.h"
#include "recording_user_interface.h"

namespace {

const UnicodeString kCompleted = u"The data import process has completed successfully.";
const UnicodeString kCanceled = u"The data import process was canceled by the user.";

struct UiRun {
  RecordingUserInterface ui;
  ScopedUserInterface scope{ui};
  TClientDataSet ds;
  TMemorySource source;
  explicit UiRun(int rows = 5) {
    DefineFields(ds, {{u"A", ftString}});
    source.columns = {{u"A"}};
    for (int i = 1; i <= rows; ++i) source.rows.push_back({Variant(AsciiToUnicode(std::to_string(i)))});
    source.Mappings().Add(u"A=A");
    source.SetDataSet(&ds);
  }
  void SetOption(TSMIOption option, bool on) {
    TSMIOptions options = source.Options();
    if (on)
      options.Include(option);
    else
      options.Exclude(option);
    source.SetOptions(options);
  }
};

}  // namespace

TEST(RunUserInterfaceTest, WaitCursorIsSetForTheRunAndResetAfterIt) {
  UiRun run;
  run.source.Execute();
  EXPECT_EQ(run.ui.cursors, (std::vector<TCursorKind>{TCursorKind::crHourGlass, TCursorKind::crDefault}));

  UiRun failing;
  failing.source.failingColumn = u"A";
  failing.source.failingRow = 0;
  failing.source.SetOnErrorEvent([](TSMImportBaseComponent*, const Exception&, bool&) {});
  failing.source.Execute();
  EXPECT_EQ(failing.source.Statistic().Result(), irFailed);
  EXPECT_EQ(failing.ui.cursors, (std::vector<TCursorKind>{TCursorKind::crHourGlass, TCursorKind::crDefault}));

  UiRun none;
  none.SetOption(soWaitCursor, false);
  none.source.Execute();
  EXPECT_TRUE(none.ui.cursors.empty());
}

TEST(RunUserInterfaceTest, CursorIsResetWhenAForeignExceptionPassesThrough) {
  class TBrokenSource : public TMemorySource {
   public:
    void FirstRow() override { throw std::runtime_error("broken"); }
  };
  RecordingUserInterface ui;
  ScopedUserInterface scope(ui);
  TClientDataSet ds;
  DefineFields(ds, {{u"A", ftString}});
  TBrokenSource source;
  source.SetDataSet(&ds);
  source.Mappings().Add(u"A=A");
  EXPECT_THROW(source.Execute(), std::runtime_error);
  EXPECT_EQ(ui.cursors, (std::vector<TCursorKind>{TCursorKind::crHourGlass, TCursorKind::crDefault}));
  EXPECT_EQ(source.closeCount, 1);
}

TEST(RunUserInterfaceTest, ClosingMessageFollowsTheShowMessageOption) {
  UiRun shown;
  shown.SetOption(soShowMessage, true);
  shown.source.Execute();
  ASSERT_EQ(shown.ui.messages.size(), 1u);
  EXPECT_EQ(shown.ui.messages[0].first, kCompleted);
  EXPECT_EQ(shown.ui.messages[0].second, TMessageKind::mtInformation);

  UiRun failed;
  failed.SetOption(soShowMessage, true);
  failed.source.failingColumn = u"A";
  failed.source.failingRow = 1;
  failed.source.SetOnErrorEvent([](TSMImportBaseComponent*, const Exception&, bool&) {});
  failed.source.Execute();
  ASSERT_EQ(failed.ui.messages.size(), 1u);
  EXPECT_EQ(failed.ui.messages[0].first, u"An error has occurred during the data import process.\r\nsource failure");

  UiRun silent;  // the loader's configuration: no window, no message
  silent.source.Execute();
  EXPECT_TRUE(silent.ui.messages.empty());
  EXPECT_EQ(silent.ui.windowsCreated, 0);
}

TEST(RunUserInterfaceTest, ProgressWindowShowsTheRunAndWaitsForItsOkButton) {
  UiRun run;
  run.source.SetAnimatedStatus(true);
  run.SetOption(soShowMessage, true);
  run.SetOption(soAutoCloseStatistic, false);
  run.source.Statistic().SetUpdateStep(2);
  int pumpsAfterResult = 0;
  run.ui.onProcessMessages = [&](RecordingUserInterface& ui) {
    if (!ui.window->buttonCaption.empty() && ++pumpsAfterResult == 3) ui.window->dismissed = true;
  };
  run.source.Execute();
  const auto& w = *run.ui.window;
  EXPECT_EQ(run.ui.windowsCreated, 1);
  EXPECT_EQ(w.options.caption, u"Importing...");
  EXPECT_EQ(w.options.titleStatus, u"Importing...");
  EXPECT_TRUE(w.options.extendedStatistic);
  EXPECT_TRUE(w.options.animated);
  EXPECT_EQ(w.range, 5);
  EXPECT_EQ(w.progressUpdates, 2);  // before rows 3 and 5
  EXPECT_EQ(w.resultText, kCompleted);
  EXPECT_EQ(w.buttonCaption, u"&OK");
  EXPECT_EQ(pumpsAfterResult, 3);
  EXPECT_FALSE(w.open);
  EXPECT_TRUE(run.ui.messages.empty());  // the window took the message's place
}

TEST(RunUserInterfaceTest, AutoCloseDoesNotWaitForTheButton) {
  UiRun run;
  run.source.SetAnimatedStatus(true);
  run.source.Execute();
  EXPECT_FALSE(run.ui.window->dismissed);
  EXPECT_FALSE(run.ui.window->open);
  EXPECT_EQ(run.source.Statistic().Result(), irExecuted);
}

TEST(RunUserInterfaceTest, CancelButtonEndsTheRunAsCanceled) {
  UiRun run;
  run.source.SetAnimatedStatus(true);
  run.source.SetOnAfterRecordEvent([&](TSMImportBaseComponent* c, bool&) {
    if (c->Statistic().TotalImported() == 2) run.ui.window->cancelPressed = true;
  });
  run.source.Execute();
  EXPECT_EQ(run.ds.RecordCount(), 2);
  EXPECT_EQ(run.source.Statistic().Result(), irCanceled);
  EXPECT_EQ(run.ui.window->resultText, kCanceled);
}

TEST(RunUserInterfaceTest, PausedRunWaitsUntilContinued) {
  UiRun run;
  run.source.SetOnAfterRecordEvent([](TSMImportBaseComponent* c, bool&) {
    if (c->Statistic().TotalImported() == 1) c->PauseImport();
  });
  int rowsWhilePaused = -1;
  run.ui.onProcessMessages = [&](RecordingUserInterface& ui) {
    if (ui.processMessagesCalls == 4) {
      rowsWhilePaused = run.ds.RecordCount();
      run.source.ContinueImport();
    }
  };
  run.source.Execute();
  EXPECT_EQ(run.ui.sleeps, 4);
  EXPECT_EQ(rowsWhilePaused, 1);
  EXPECT_FALSE(run.source.PausedProcess());
  EXPECT_EQ(run.ds.RecordCount(), 5);
  EXPECT_EQ(run.source.Statistic().Result(), irExecuted);
}

TEST(RunUserInterfaceTest, CancelWhilePausedByThePauseButton) {
  UiRun run;
  run.source.SetAnimatedStatus(true);
  run.source.SetOnAfterRecordEvent([&](TSMImportBaseComponent* c, bool&) {
    if (c->Statistic().TotalImported() == 2) run.ui.window->pauseDown = true;
  });
  run.ui.onProcessMessages = [](RecordingUserInterface& ui) {
    if (ui.sleeps == 2) ui.window->cancelPressed = true;
  };
  run.source.Execute();
  EXPECT_EQ(run.ui.sleeps, 2);
  EXPECT_EQ(run.source.Statistic().Result(), irCanceled);
  // The row read when the pause ended still counts; nothing after it.
  EXPECT_EQ(run.source.Statistic().TotalImported(), 3);
}

TEST(RunUserInterfaceTest, PauseAndContinueMirrorThePauseButton) {
  UiRun run;
  run.source.SetAnimatedStatus(true);
  std::vector<bool> seen;
  run.source.SetOnAfterRecordEvent([&](TSMImportBaseComponent* c, bool&) {
    c->PauseImport();
    seen.push_back(run.ui.window->pauseDown);
    c->ContinueImport();
    seen.push_back(run.ui.window->pauseDown);
  });
  run.source.Execute();
  ASSERT_GE(seen.size(), 2u);
  EXPECT_TRUE(seen[0]);
  EXPECT_FALSE(seen[1]);
}

TEST(RunUserInterfaceTest, RunContinuesWhenTheProgressWindowCannotBeCreated) {
  UiRun run;
  run.ui.failWindowCreation = true;
  run.source.SetAnimatedStatus(true);
  run.source.Execute();
  ASSERT_GE(run.ui.messages.size(), 1u);
  EXPECT_EQ(run.ui.messages[0].first, u"Can't create a process dialog");
  EXPECT_EQ(run.ui.messages[0].second, TMessageKind::mtError);
  EXPECT_EQ(run.ds.RecordCount(), 5);
  EXPECT_EQ(run.source.Statistic().Result(), irExecuted);
}

TEST(RunUserInterfaceTest, ParametersAreAskedForAndADeclinedPromptCancelsSilently) {
  UiRun run(1);
  run.source.Mappings().SetText(u"A=Who");
  TSMIParameter* who = run.source.Parameters().Add();
  who->SetName(u"Who");
  who->SetCaption(u"Who is it?");
  who->SetExpression(u"A");  // calculated: the column's name while no row is read
  TSMIParameter* quiet = run.source.Parameters().Add();
  quiet->SetName(u"Quiet");
  quiet->SetExpression(u"7");
  quiet->SetParameterMode(ipmCalculate);
  run.ui.answer = [](std::vector<IUserInterface::PromptItem>& items) { items[0].value = u"answered"; };
  run.source.Execute();
  ASSERT_EQ(run.ui.prompted.size(), 1u);
  EXPECT_EQ(run.ui.prompted[0].caption, u"Who is it?");
  EXPECT_EQ(quiet->Value(), Variant(7));
  EXPECT_EQ(RowTexts(run.ds), (std::vector<UnicodeString>{u"answered"}));

  UiRun declined(1);
  declined.source.Parameters().Add()->SetParameterMode(ipmAsk);
  declined.ui.promptAnswer = false;
  int before = 0;
  declined.source.SetOnBeforeExecute([&](TSMImportBaseComponent*) { ++before; });
  declined.source.SetOnAfterExecute([&](TSMImportBaseComponent*) { ++before; });
  declined.source.Execute();
  EXPECT_EQ(before, 1);
  EXPECT_EQ(declined.source.openCount, 0);
  EXPECT_EQ(declined.source.Statistic().Result(), irUnknown);
  EXPECT_TRUE(declined.ui.cursors.empty());
}

TEST(RunUserInterfaceTest, SilentInterfaceNeverBlocks) {
  TClientDataSet ds;
  DefineFields(ds, {{u"A", ftString}});
  TMemorySource source;
  source.SetDataSet(&ds);
  source.columns = {{u"A"}};
  source.rows = {{Variant(u"x")}};
  source.Mappings().Add(u"A=A");
  source.SetAnimatedStatus(true);
  TSMIOptions options = source.Options();
  options.Exclude(soAutoCloseStatistic);
  options.Include(soShowMessage);
  source.SetOptions(options);
  source.Execute();  // returns although nobody presses the OK button
  EXPECT_EQ(source.Statistic().Result(), irExecuted);
}
