// The Windows user interface: the real cursor while a run lasts.
#include <windows.h>

#include "platform/user_interface.h"
#include "tests/win32/platform/platform_tests.h"
#include "tests/win32/support/check.h"

void RunUserInterfaceTests() {
  check::Case() = "wait cursor";
  check::CountCase();
  HCURSOR hostCursor = LoadCursor(nullptr, IDC_CROSS);
  SetCursor(hostCursor);
  UserInterface().SetCursor(TCursorKind::crHourGlass);
  CHECK(GetCursor() == LoadCursor(nullptr, IDC_WAIT));
  // A second hourglass request keeps the host's cursor to come back to.
  UserInterface().SetCursor(TCursorKind::crHourGlass);
  UserInterface().SetCursor(TCursorKind::crDefault);
  CHECK(GetCursor() == hostCursor);
  // Without a cursor before, the default is the arrow.
  SetCursor(nullptr);
  UserInterface().SetCursor(TCursorKind::crHourGlass);
  UserInterface().SetCursor(TCursorKind::crDefault);
  CHECK(GetCursor() == LoadCursor(nullptr, IDC_ARROW));

  check::Case() = "nothing shown";
  check::CountCase();
  // Message boxes and the progress window never block: the run is not
  // stopped by a window nobody sees.
  UserInterface().ShowMessage(u"not shown", TMessageKind::mtError);
  auto progress = UserInterface().CreateProgressWindow(ProgressWindowOptions{});
  CHECK(progress != nullptr);
  CHECK(!progress->PauseDown());
  CHECK(!progress->CancelPressed());
  CHECK(progress->Dismissed());
}
