// A user interface that records what the import run shows and answers the
// run's questions as a test scripts them.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/user_interface.h"

class RecordingUserInterface : public IUserInterface {
 public:
  struct Window;

  std::vector<TCursorKind> cursors;
  std::vector<std::pair<UnicodeString, TMessageKind>> messages;
  int processMessagesCalls = 0;
  int sleeps = 0;
  bool failWindowCreation = false;
  int windowsCreated = 0;
  // Called from ProcessMessages: stands in for the user pressing buttons.
  std::function<void(RecordingUserInterface&)> onProcessMessages;
  // State of the open window (shared with it so that tests can press its buttons).
  struct WindowState {
    bool pauseDown = false;
    bool cancelPressed = false;
    bool dismissed = false;
    bool open = false;
    int32_t range = -1;
    int progressUpdates = 0;
    UnicodeString resultText;
    UnicodeString buttonCaption;
    ProgressWindowOptions options;
  };
  std::shared_ptr<WindowState> window = std::make_shared<WindowState>();

  bool promptAnswer = true;
  std::vector<PromptItem> prompted;
  std::function<void(std::vector<PromptItem>&)> answer;

  void SetCursor(TCursorKind cursor) override { cursors.push_back(cursor); }
  std::unique_ptr<IProgressWindow> CreateProgressWindow(const ProgressWindowOptions& options) override;
  void ShowMessage(const UnicodeString& text, TMessageKind kind) override { messages.emplace_back(text, kind); }
  void ProcessMessages() override {
    ++processMessagesCalls;
    if (onProcessMessages) onProcessMessages(*this);
  }
  void Sleep(int32_t) override { ++sleeps; }
  bool PromptValues(const UnicodeString&, std::vector<PromptItem>& items) override {
    if (answer) answer(items);
    prompted = items;
    return promptAnswer;
  }
};

struct RecordingUserInterface::Window : IProgressWindow {
  explicit Window(std::shared_ptr<WindowState> s) : state(std::move(s)) { state->open = true; }
  ~Window() override { state->open = false; }
  void SetRange(int32_t maximum) override { state->range = maximum; }
  void ShowProgress(const UnicodeString&, int32_t, const ProgressCounters&) override { ++state->progressUpdates; }
  bool PauseDown() const override { return state->pauseDown; }
  bool CancelPressed() const override { return state->cancelPressed; }
  void SetPauseDown(bool down) override { state->pauseDown = down; }
  void ShowResult(const UnicodeString& text, const ProgressCounters&, const UnicodeString& caption) override {
    state->resultText = text;
    state->buttonCaption = caption;
  }
  bool Dismissed() const override { return state->dismissed; }
  std::shared_ptr<WindowState> state;
};

inline std::unique_ptr<IProgressWindow> RecordingUserInterface::CreateProgressWindow(
    const ProgressWindowOptions& options) {
  if (failWindowCreation) return nullptr;
  ++windowsCreated;
  window->options = options;
  return std::make_unique<Window>(window);
}
