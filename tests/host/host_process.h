// Runs a program as a child process and captures its exit status and both
// output streams (arvoline-host and the checking scripts in these tests).
#pragma once

#include <fcntl.h>
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

inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args) {
  // Named per test process: CTest runs several test programs at once.
  const std::string capture = ::testing::TempDir() + "host_test_" + std::to_string(getpid());
  const std::string outFile = capture + "_stdout";
  const std::string errFile = capture + "_stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  pid_t pid;
  ProcessResult result;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, pointers.data(), environ) == 0) {
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadFile(outFile);
  result.err = ReadFile(errFile);
  std::remove(outFile.c_str());
  std::remove(errFile.c_str());
  return result;
}
