#include "host/interrupt_cleanup.h"

#include <pthread.h>

#include <system_error>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

}  // namespace

InterruptCleanup::InterruptCleanup(std::filesystem::path path) : path_(std::move(path)) {
  sigemptyset(&signals_);
  for (const int s : kSignals) {
    struct sigaction current {};
    if (sigaction(s, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) sigaddset(&signals_, s);
  }
  pthread_sigmask(SIG_BLOCK, &signals_, &previousMask_);
  thread_ = std::thread([this] { Wait(); });
}

InterruptCleanup::~InterruptCleanup() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  // Wakes the thread with one of its own signals, sent to it alone.
  for (const int s : kSignals)
    if (sigismember(&signals_, s)) {
      pthread_kill(thread_.native_handle(), s);
      break;
    }
  thread_.join();
  pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void InterruptCleanup::Exclusive(const std::function<void()>& step) {
  std::lock_guard<std::mutex> lock(mutex_);
  step();
}

void InterruptCleanup::Wait() {
  if (sigisemptyset(&signals_)) return;
  int signal = 0;
  if (sigwait(&signals_, &signal) != 0) return;
  // Held until the process ends, so that no Exclusive step runs after the removal.
  std::unique_lock<std::mutex> lock(mutex_);
  if (stopping_) return;
  std::error_code ignored;
  // The program may still be writing into a partial folder; retry until it is gone.
  for (int attempt = 0; attempt < 100 && std::filesystem::exists(std::filesystem::symlink_status(path_, ignored));
       ++attempt)
    std::filesystem::remove_all(path_, ignored);
  // Ends the process as the signal would have: the default action, raised in
  // this thread, where it is unblocked.
  ::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
}
