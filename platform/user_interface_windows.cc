// The user interface on Windows: the screen cursor is the real one; the
// progress window, message boxes and prompts stay silent, as nothing on the
// plug-in's path shows them.
#include "platform/user_interface.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

class WindowsUserInterface : public SilentUserInterface {
 public:
  // The hourglass for the length of a run; afterwards the cursor the host
  // had before (the arrow if there was none).
  void SetCursor(TCursorKind cursor) override {
    if (cursor == TCursorKind::crHourGlass) {
      HCURSOR before = ::SetCursor(LoadCursor(nullptr, IDC_WAIT));
      if (!waiting_) previous_ = before;
      waiting_ = true;
    } else {
      ::SetCursor(previous_ ? previous_ : LoadCursor(nullptr, IDC_ARROW));
      previous_ = nullptr;
      waiting_ = false;
    }
  }

 private:
  HCURSOR previous_ = nullptr;
  bool waiting_ = false;
};

}  // namespace

IUserInterface& PlatformUserInterface() {
  static WindowsUserInterface ui;
  return ui;
}
