// A numbered run-time error (5 invalid procedure call, 6 overflow, 9 subscript out of range,
// 13 type mismatch, 52/53/75/76 file errors, ...). Inside C++ it travels as an exception;
// at the dispatch boundary it becomes DISP_E_EXCEPTION with scode 0x800A0000 | number.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace orvex {

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int32_t number, std::string description, std::string source = {})
      : std::runtime_error(description),
        number_(number),
        description_(std::move(description)),
        source_(std::move(source)) {}

  int32_t Number() const { return number_; }
  // UTF-8 text.
  const std::string& Description() const { return description_; }
  const std::string& Source() const { return source_; }
  // An HRESULT-style failure code carried as the error (e.g. a creation failure).
  void SetSource(std::string source) { source_ = std::move(source); }

 private:
  int32_t number_;
  std::string description_;
  std::string source_;
};

}  // namespace orvex
