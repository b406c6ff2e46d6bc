// A small expected-value type for input errors: clang 14 cannot compile libstdc++'s
// <expected>, and every parser of file bytes returns one of these instead of throwing.
#pragma once

#include <cassert>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace orvex {

// An input error with context that grows as it travels up ("in MENU 1: item 3: ...").
// `code` is the platform's error number (a last-error value) when the platform refused
// something, 0 for errors in the bytes themselves.
struct Error {
  uint32_t code = 0;
  std::string message;

  Error() = default;
  explicit Error(std::string text) : message(std::move(text)) {}
  Error(uint32_t platformCode, std::string text) : code(platformCode), message(std::move(text)) {}

  // Prefixes context and keeps the code: Error{"text runs past the end"}.In("item 3").
  Error In(const std::string& context) const { return Error{code, context + ": " + message}; }
};

template <class T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Expected(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool HasValue() const { return state_.index() == 0; }
  explicit operator bool() const { return HasValue(); }

  T& Value() & {
    assert(HasValue());
    return std::get<0>(state_);
  }
  const T& Value() const& {
    assert(HasValue());
    return std::get<0>(state_);
  }
  T&& Value() && {
    assert(HasValue());
    return std::get<0>(std::move(state_));
  }
  T& operator*() & { return Value(); }
  const T& operator*() const& { return Value(); }
  T* operator->() { return &Value(); }
  const T* operator->() const { return &Value(); }

  const Error& GetError() const {
    assert(!HasValue());
    return std::get<1>(state_);
  }

 private:
  std::variant<T, Error> state_;
};

// Expected<void>: success or an error.
template <>
class [[nodiscard]] Expected<void> {
 public:
  Expected() = default;
  Expected(Error error) : error_(std::move(error)), failed_(true) {}
  bool HasValue() const { return !failed_; }
  explicit operator bool() const { return HasValue(); }
  const Error& GetError() const {
    assert(failed_);
    return error_;
  }

 private:
  Error error_;
  bool failed_ = false;
};

}  // namespace orvex

// Evaluates an Expected expression; on error returns the error from the enclosing
// function, otherwise yields nothing. The one early-return helper of the project.
#define ORVEX_TRY(expr)                                      \
  do {                                                       \
    auto orvexTryResult_ = (expr);                           \
    if (!orvexTryResult_) return orvexTryResult_.GetError(); \
  } while (false)
