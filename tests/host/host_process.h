// Runs a program as a child process and captures its exit status and both
// output streams (arvoline-host and the checking scripts in these tests).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Named after this process: test programs run side by side.
inline std::string StandardOutputFile() { return ::testing::TempDir() + "host_test_stdout-" + std::to_string(getpid()); }
inline std::string StandardErrorFile() { return ::testing::TempDir() + "host_test_stderr-" + std::to_string(getpid()); }

// Starts `program`, its output streams going to the files above, with every
// signal unblocked and SIGINT, SIGTERM and SIGHUP at their default actions
// (a test runner started in the background may ignore them). -1 on failure.
inline pid_t StartProcess(const std::string& program, const std::vector<std::string>& args) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, StandardOutputFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, StandardErrorFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, s);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  pid_t pid;
  const bool started = posix_spawn(&pid, program.c_str(), &actions, &attributes, pointers.data(), environ) == 0;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return started ? pid : -1;
}

// Waits for `pid`; its exit status, or 128 + the signal that ended it.
inline ProcessResult FinishProcess(pid_t pid) {
  ProcessResult result;
  int wstatus = 0;
  if (pid > 0 && waitpid(pid, &wstatus, 0) == pid)
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = ReadFile(StandardOutputFile());
  result.err = ReadFile(StandardErrorFile());
  std::remove(StandardOutputFile().c_str());
  std::remove(StandardErrorFile().c_str());
  return result;
}

inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args) {
  return FinishProcess(StartProcess(program, args));
}
