// ProgressBar: one self-overwriting line on standard error while an export
// runs, e.g. "writing  18 documents  0:04".
// Draws nothing when disabled (--quiet, or standard error is no terminal).
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

class ProgressBar {
 public:
  ProgressBar(std::ostream& out, bool enabled);
  ~ProgressBar();

  // The documents written so far.
  void Writing(size_t done);
  // Ends the line; the next output starts on a fresh one.
  void Finish();

 private:
  void Draw(const std::string& line, bool force);
  std::string Elapsed() const;

  std::ostream& out_;
  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
  size_t lastWidth_ = 0;
  std::string skipped_;  // the last line not drawn, to draw when finishing
};
