#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace orvex::cli {

ProgressBar::ProgressBar(std::string label, std::string unit, size_t total)
    : label_(std::move(label)),
      unit_(std::move(unit)),
      total_(total),
      enabled_(isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() {
  Erase();
}

void ProgressBar::Advance(size_t done) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastDrawn_ < std::chrono::milliseconds(100)) return;
  lastDrawn_ = now;
  std::fflush(stdout);
  constexpr size_t kWidth = 30;
  const size_t filled = total_ == 0 ? kWidth : done * kWidth / total_;
  std::fprintf(stderr, "\r%s [%s%s] %zu/%zu %s", label_.c_str(), std::string(filled, '#').c_str(),
               std::string(kWidth - filled, '.').c_str(), done, total_, unit_.c_str());
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::Erase() {
  if (!drawn_) return;
  std::fflush(stdout);
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
  lastDrawn_ = {};
}

}  // namespace orvex::cli
