// The user-interface stand-ins the import run talks to: the screen cursor,
// the progress window, message boxes, the prompt for parameter values, and
// the message pump with its short sleep while a run is paused.
//
// All of it sits behind IUserInterface so that the run never touches a
// window system directly. The process has one current implementation
// (UserInterface()); the default shows nothing and never blocks: the cursor
// calls do nothing, message boxes are dropped, the progress window exists but
// is never paused or cancelled and is dismissed at once, prompts are answered
// with the values as they stand, the pump does nothing and the sleep really
// sleeps (a paused run waits until something continues it).
//
// Tests install a recording implementation with ScopedUserInterface.
// UserInterface() does not own the installed object; the installer keeps it
// alive while it is installed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/unicode_string.h"

enum class TCursorKind { crDefault, crHourGlass };
enum class TMessageKind { mtInformation, mtError };

// What the progress window shows and offers.
struct ProgressWindowOptions {
  UnicodeString caption;       // window title
  UnicodeString titleStatus;   // status line
  bool extendedStatistic = false;  // counters and the pause button
  bool animated = false;           // an animation while the run lasts
};

// The counters a progress window shows.
struct ProgressCounters {
  int32_t processed = 0, errors = 0, added = 0, updated = 0, deleted = 0, skipped = 0;
};

// One open progress window. Destroying the object closes the window.
class IProgressWindow {
 public:
  virtual ~IProgressWindow() = default;
  virtual void SetRange(int32_t maximum) = 0;
  // Status line, position of the progress bar and the counters.
  virtual void ShowProgress(const UnicodeString& titleStatus, int32_t position, const ProgressCounters& counters) = 0;
  // The two questions the run asks between rows. Closing the window counts
  // as pressing its cancel button.
  virtual bool PauseDown() const = 0;
  virtual bool CancelPressed() const = 0;
  // Mirrors a pause requested elsewhere on the pause button
  // ("&Pause" / "C&ontinue").
  virtual void SetPauseDown(bool down) = 0;
  // End of the run: the result text and final counters are shown, the
  // animation stops and the cancel button is relabelled `buttonCaption`.
  virtual void ShowResult(const UnicodeString& resultText, const ProgressCounters& counters,
                          const UnicodeString& buttonCaption) = 0;
  // True once the relabelled button was pressed (or the window closed).
  virtual bool Dismissed() const = 0;
};

class IUserInterface {
 public:
  virtual ~IUserInterface() = default;
  virtual void SetCursor(TCursorKind cursor) = 0;
  // Opens a progress window; nullptr when it cannot be created.
  virtual std::unique_ptr<IProgressWindow> CreateProgressWindow(const ProgressWindowOptions& options) = 0;
  // A modal message box with an OK button.
  virtual void ShowMessage(const UnicodeString& text, TMessageKind kind) = 0;
  // Handles the messages waiting in the queue (button presses included).
  virtual void ProcessMessages() = 0;
  virtual void Sleep(int32_t milliseconds) = 0;

  // One value the user is asked for.
  struct PromptItem {
    UnicodeString caption, name, description;
    std::vector<UnicodeString> choices;  // offered values, may be empty
    int32_t editor = 0;                  // kind of editor, by the caller's codes
    bool required = false;
    UnicodeString value;                 // in: the proposed value; out: the answer
  };
  // Asks for the values; false when the user declines.
  virtual bool PromptValues(const UnicodeString& caption, std::vector<PromptItem>& items) = 0;
};

// The implementation that shows nothing and never blocks (see above).
class SilentUserInterface : public IUserInterface {
 public:
  void SetCursor(TCursorKind) override {}
  std::unique_ptr<IProgressWindow> CreateProgressWindow(const ProgressWindowOptions& options) override;
  void ShowMessage(const UnicodeString&, TMessageKind) override {}
  void ProcessMessages() override {}
  void Sleep(int32_t milliseconds) override;
  bool PromptValues(const UnicodeString&, std::vector<PromptItem>&) override { return true; }
};

// The platform's own implementation: on Windows the real screen cursor,
// silent otherwise (user_interface_windows.cc); on Linux a
// SilentUserInterface.
IUserInterface& PlatformUserInterface();

// The current implementation: the installed one, else PlatformUserInterface().
IUserInterface& UserInterface();

// Installs `ui` for its lifetime and restores the previous one afterwards.
class ScopedUserInterface {
 public:
  explicit ScopedUserInterface(IUserInterface& ui);
  ~ScopedUserInterface();
  ScopedUserInterface(const ScopedUserInterface&) = delete;
  ScopedUserInterface& operator=(const ScopedUserInterface&) = delete;

 private:
  IUserInterface* previous_;
};
