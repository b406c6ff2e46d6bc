// A progress bar on stderr for long commands, drawn only when stderr is a terminal and at
// most ten times a second; erased before anything else is written and at the end.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace orvex::cli {

class ProgressBar {
 public:
  // `label` leads the bar ("icons"), `unit` follows the counts ("groups").
  ProgressBar(std::string label, std::string unit, size_t total);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Advance(size_t done);
  void Erase();

 private:
  std::string label_;
  std::string unit_;
  size_t total_;
  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace orvex::cli
