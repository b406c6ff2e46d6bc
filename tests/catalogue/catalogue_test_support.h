// Shared set-up of the catalogue and reader-member tests: the library's classes registered
// in-process with the drive folder and registry file in a private temporary folder, a
// recording error handler registered under the framework's ProgID, and late-bound helpers
// that drive the objects by member name as a client would.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pe_writer/pe_writer.h"
#include "platform/ole/late_bound.h"
#include "platform/user/message_box_script.h"
#include "support/recording_component.h"
#include "support/temp_dir.h"

namespace orvex::test {

// Base fixture: the environment once per process; each test starts with no module open on
// the thread and no current catalogue, and records message boxes and error reports.
class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new catalogue created by ProgID (it becomes the thread's current catalogue).
  static ComPtr<IDispatch> NewCatalogue();
  // Writes the image and assigns it to the catalogue's Filename.
  void Open(IDispatch* catalogue, const PeWriter& writer, const std::string& name = "m.dll");
  // The "Index Error..." boxes shown so far.
  size_t IndexBoxes() const;

  TempDir dir_;
  ScriptedMessageBoxes boxes_;
  // Error reports go here instead of the framework component.
  RecordingComponent reports_{{.withAbout = false, .keepValues = false}};
};

// Late-bound shorthands.
Variant Get(IDispatch* object, const char* name);
ComPtr<IDispatch> GetObject(IDispatch* object, const char* name);
ComPtr<IDispatch> ItemOf(IDispatch* collection, const Variant& index);
int32_t CountOf(IDispatch* collection);
std::u16string Text(const Variant& value);
// The number of the run-time error `f` throws (0 when it throws none).
template <class F>
int32_t ErrorOf(F&& f) {
  try {
    f();
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

}  // namespace orvex::test
