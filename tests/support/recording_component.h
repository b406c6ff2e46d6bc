// A framework component for tests: registered in-process under the framework's ProgIDs in
// place of Q7Halden10, it answers ErrorHandlerMessageQ7 and AppAboutQ7el, records every
// call (member name, argument types and dereferenced values in natural order) and each
// error report (source and error number), and returns 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ole/wrappers.h"

namespace orvex::test {

struct RecordedCall {
  std::string member;
  std::vector<VARTYPE> types;
  std::vector<Variant> values;  // empty unless RecordingOptions::keepValues
};

// One ErrorHandlerMessageQ7 call: the source (argument 4) and the error object's Number
// (argument 2), read when the report arrives.
struct Report {
  std::string source;
  int32_t number = 0;
  bool operator==(const Report&) const = default;
};

struct RecordingOptions {
  // Also stand in for the About class; without it the About class is left unregistered.
  bool withAbout = true;
  // Keep each call's argument values. They hold references to the objects passed (the
  // application and error objects), which then live as long as the component.
  bool keepValues = true;
};

class RecordingComponent {
 public:
  // Replaces whatever is registered in-process under the framework's classes.
  explicit RecordingComponent(RecordingOptions options = {});
  // Leaves no framework class registered in-process.
  ~RecordingComponent();
  RecordingComponent(const RecordingComponent&) = delete;
  RecordingComponent& operator=(const RecordingComponent&) = delete;

  std::vector<RecordedCall> Calls() const;
  std::vector<Report> Reports() const;
  // Forgets the calls and reports so far.
  void Clear();

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

// Removes whatever is registered in-process under the two framework ProgIDs' classes.
void RevokeFrameworkClasses();

}  // namespace orvex::test
