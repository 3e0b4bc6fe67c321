#include "platform/user_interface.h"

#include <chrono>
#include <thread>

namespace {

// A progress window nobody sees: never paused, never cancelled, and
// dismissed as soon as the run offers its result.
class SilentProgressWindow : public IProgressWindow {
 public:
  void SetRange(int32_t) override {}
  void ShowProgress(const UnicodeString&, int32_t, const ProgressCounters&) override {}
  bool PauseDown() const override { return false; }
  bool CancelPressed() const override { return false; }
  void SetPauseDown(bool) override {}
  void ShowResult(const UnicodeString&, const ProgressCounters&, const UnicodeString&) override {}
  bool Dismissed() const override { return true; }
};

IUserInterface* g_installed = nullptr;

}  // namespace

std::unique_ptr<IProgressWindow> SilentUserInterface::CreateProgressWindow(const ProgressWindowOptions&) {
  return std::make_unique<SilentProgressWindow>();
}

void SilentUserInterface::Sleep(int32_t milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

IUserInterface& UserInterface() { return g_installed ? *g_installed : PlatformUserInterface(); }

ScopedUserInterface::ScopedUserInterface(IUserInterface& ui) : previous_(g_installed) { g_installed = &ui; }

ScopedUserInterface::~ScopedUserInterface() { g_installed = previous_; }
