// What the benchmarks of the library's objects share: the library's classes registered
// in-process with the drive folder and registry file in a private temporary folder, message
// boxes answered at once, and modules written with the PE writer opened through a new
// catalogue, as a client opens them.
#pragma once

#include <cstdlib>
#include <string>

#include "pe_writer/pe_writer.h"
#include "platform/fs/drive_testing.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/message_box.h"
#include "server/class_catalogue.h"
#include "support/temp_dir.h"

namespace orvex::bench {

class CatalogueEnvironment {
 public:
  CatalogueEnvironment() {
    setenv("ORVEX_REGISTRY", dir_.File("registry.ini").c_str(), 1);
    SetDriveRootForTesting(dir_.File("drive_c"));
    SetMessageBoxHandler([](const MessageBoxCall&) { return IDOK; });
    RegisterOrvex10Classes();
  }

  // A new catalogue whose Filename is the module `writer` builds, written as `name`.
  ComPtr<IDispatch> Open(const test::PeWriter& writer, const std::string& name) {
    const std::string path = dir_.Write(name, writer.Build());
    ComPtr<IDispatch> catalogue = CreateObject(u"Orvex10.clsQ7ResfResourceTypesA");
    PutProperty(catalogue.Get(), "Filename", Variant(Utf8ToUtf16(path)));
    return catalogue;
  }

 private:
  test::TempDir dir_;
};

}  // namespace orvex::bench
