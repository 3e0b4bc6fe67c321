// InterruptCleanup: while one exists, SIGINT, SIGTERM and SIGHUP remove a
// path (an export's partial file or folder) and then end the process as the
// signal would have. A signal the process ignores (nohup) stays ignored.
// Create it before the path: a signal that comes first removes nothing.
//
// The signals are blocked in every thread and taken by a thread of its own
// with sigwait, so the removal may use the file system freely wherever the
// program is, inside the plug-in included. Create it before any other thread
// starts; at most one exists at a time. The destructor stops the thread and
// unblocks the signals; one that arrived meanwhile is then delivered as usual.
#pragma once

#include <signal.h>

#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

class InterruptCleanup {
 public:
  explicit InterruptCleanup(std::filesystem::path path);
  ~InterruptCleanup();
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;

  // Runs `step`, which creates the path or moves it away, with no removal
  // under way and none to come before it returns.
  void Exclusive(const std::function<void()>& step);

 private:
  void Wait();

  std::filesystem::path path_;
  sigset_t signals_;
  sigset_t previousMask_;
  std::mutex mutex_;
  bool stopping_ = false;
  std::thread thread_;
};
