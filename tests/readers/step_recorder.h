// A StepRunner whose reports are recorded (error number and source) instead of delivered.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/step_runner.h"

namespace orvex::testing {

struct RecordedReports {
  std::vector<int> numbers;
  std::string source;
};

class StepRecorder {
 public:
  explicit StepRecorder(std::string source = "clsQ7ResfResourceTypesA.Test")
      : runner_(std::move(source), [this](const RuntimeError& error, const std::string& from) {
          numbers_.push_back(error.Number());
          sources_.push_back(from);
        }) {}

  StepRunner& Runner() { return runner_; }
  const std::vector<int>& Numbers() const { return numbers_; }
  const std::vector<std::string>& Sources() const { return sources_; }

 private:
  std::vector<int> numbers_;
  std::vector<std::string> sources_;
  StepRunner runner_;
};

// Bytes from a list of byte values.
inline std::vector<std::byte> MakeBytes(std::initializer_list<int> values) {
  std::vector<std::byte> out;
  for (int v : values) out.push_back(static_cast<std::byte>(v));
  return out;
}

// Little-endian writers for building resource payloads.
inline void PutWord(std::vector<std::byte>& out, uint32_t value) {
  out.push_back(static_cast<std::byte>(value & 0xFF));
  out.push_back(static_cast<std::byte>((value >> 8) & 0xFF));
}
inline void PutDword(std::vector<std::byte>& out, uint32_t value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}
inline void PutUtf16(std::vector<std::byte>& out, std::u16string_view text) {
  for (char16_t c : text) PutWord(out, c);
}
inline void PutAnsi(std::vector<std::byte>& out, std::string_view text) {
  for (char c : text) out.push_back(static_cast<std::byte>(c));
}

}  // namespace orvex::testing
