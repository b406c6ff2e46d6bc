// The avivideo MCI device: one open clip with its window. Commands reach it as words after
// the verb and the alias.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/mci.h"

namespace orvex {

class AviVideoDevice {
 public:
  struct Options {
    std::string file;
    HWND parent = 0;
    bool child = false;  // "style child"
  };
  // Opens the clip and makes its window (hidden until it plays). An error number on
  // failure: a missing file, a clip the device cannot play, a parent that is no window.
  static MCIERROR Open(const Options& options, std::unique_ptr<AviVideoDevice>& device);
  ~AviVideoDevice();
  AviVideoDevice(const AviVideoDevice&) = delete;
  AviVideoDevice& operator=(const AviVideoDevice&) = delete;

  // One command of this device ("close" included: the window goes, the caller drops the
  // device); the reply text in `reply`.
  MCIERROR Run(std::string_view verb, const std::vector<std::string>& words, std::string& reply);

  struct State;

 private:
  explicit AviVideoDevice(std::shared_ptr<State> state);
  std::shared_ptr<State> state_;
};

}  // namespace orvex
