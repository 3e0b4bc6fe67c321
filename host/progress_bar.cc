#include "host/progress_bar.h"

namespace {

// Redrawing costs a terminal write; a few times a second is enough for a person.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

ProgressBar::ProgressBar(std::ostream& out, bool enabled)
    : out_(out), enabled_(enabled), start_(std::chrono::steady_clock::now()), lastDraw_(start_ - kRedrawInterval) {}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Writing(size_t done) {
  Draw("writing  " + std::to_string(done) + (done == 1 ? " document  " : " documents  ") + Elapsed(), false);
}

void ProgressBar::Finish() {
  if (!skipped_.empty()) {
    const std::string last = std::move(skipped_);
    Draw(last, true);  // the last state, not one drawn up to 100 ms before it
  }
  if (!enabled_ || !drawn_) return;
  out_ << '\n';
  out_.flush();
  drawn_ = false;
}

void ProgressBar::Draw(const std::string& line, bool force) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - lastDraw_ < kRedrawInterval) {
    skipped_ = line;
    return;
  }
  skipped_.clear();
  lastDraw_ = now;
  out_ << '\r' << line;
  if (line.size() < lastWidth_) out_ << std::string(lastWidth_ - line.size(), ' ');
  lastWidth_ = line.size();
  out_.flush();
  drawn_ = true;
}

std::string ProgressBar::Elapsed() const {
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start_).count();
  const std::string s = std::to_string(seconds % 60);
  return std::to_string(seconds / 60) + ":" + (s.size() < 2 ? "0" : "") + s;
}
