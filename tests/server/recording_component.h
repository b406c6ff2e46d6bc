// A framework component for tests: registered in-process under both framework ProgIDs,
// it records every call (member name, argument types and dereferenced values in natural
// order) and returns 0. Optionally fails every call with a run-time error.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ole/class_registry.h"
#include "platform/ole/wrappers.h"

namespace orvex::test {

struct RecordedCall {
  std::string member;
  std::vector<VARTYPE> types;
  std::vector<Variant> values;
};

class RecordingComponent {
 public:
  // Registers the error handler (and the About class unless `withAbout` is false).
  explicit RecordingComponent(bool withAbout = true);
  ~RecordingComponent();
  RecordingComponent(const RecordingComponent&) = delete;
  RecordingComponent& operator=(const RecordingComponent&) = delete;

  std::vector<RecordedCall> Calls() const;

  struct Shared {
    std::mutex mutex;
    std::vector<RecordedCall> calls;
  };

 private:
  std::shared_ptr<Shared> shared_;
  bool withAbout_;
};

// Removes whatever is registered in-process under the two framework ProgIDs' classes.
void RevokeFrameworkClasses();

}  // namespace orvex::test
