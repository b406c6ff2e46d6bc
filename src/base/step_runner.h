// The reporting convention of the resource operations: an operation runs its numbered
// steps under one handler; a step that fails is reported (source "Class.Operation") and the
// next step runs. A report that itself fails throws out of the runner and stops the operation.
#pragma once

#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "base/runtime_error.h"

namespace orvex {

class StepRunner {
 public:
  // Called once per failed step with the error and the operation's source name; it throws
  // (a RuntimeError) when the report could not be delivered.
  using Report = std::function<void(const RuntimeError& error, const std::string& source)>;

  StepRunner(std::string source, Report report)
      : source_(std::move(source)), report_(std::move(report)) {}
  // The source is `owner` "." `member`, put together only when a step fails (operations
  // mostly succeed). Both texts must outlive the runner (string literals do).
  StepRunner(std::string_view owner, std::string_view member, Report report)
      : owner_(owner), member_(member), report_(std::move(report)) {}

  // Runs one step. Returns true when it completed.
  template <class F>
  bool operator()(F&& step) {
    try {
      std::forward<F>(step)();
      return true;
    } catch (const RuntimeError& error) {
      Deliver(error);
    } catch (const std::bad_alloc&) {
      Deliver(RuntimeError(Err::OutOfMemory));
    }
    return false;
  }

  const std::string& Source() const {
    if (source_.empty() && !owner_.empty()) source_.append(owner_).append(1, '.').append(member_);
    return source_;
  }
  int FailedSteps() const { return failed_; }

 private:
  void Deliver(const RuntimeError& error) {
    ++failed_;
    report_(error, Source());
  }

  mutable std::string source_;
  std::string_view owner_;
  std::string_view member_;
  Report report_;
  int failed_ = 0;
};

}  // namespace orvex
