// The reporting convention of the resource operations: an operation runs its numbered
// steps under one handler; a step that fails is reported (source "Class.Operation") and the
// next step runs. A report that itself fails throws out of the runner and stops the operation.
#pragma once

#include <functional>
#include <new>
#include <string>
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

  // Runs one step. Returns true when it completed.
  template <class F>
  bool operator()(F&& step) {
    try {
      std::forward<F>(step)();
      return true;
    } catch (const RuntimeError& error) {
      Deliver(error);
    } catch (const std::bad_alloc&) {
      Deliver(RuntimeError(7, "Out of memory"));
    }
    return false;
  }

  const std::string& Source() const { return source_; }
  int FailedSteps() const { return failed_; }

 private:
  void Deliver(const RuntimeError& error) {
    ++failed_;
    report_(error, source_);
  }

  std::string source_;
  Report report_;
  int failed_ = 0;
};

}  // namespace orvex
