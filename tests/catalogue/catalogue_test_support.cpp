#include "catalogue/catalogue_test_support.h"

#include <cstdlib>
#include <mutex>

#include "platform/fs/drive_testing.h"
#include "platform/module/module.h"
#include "platform/text/text.h"
#include "server/class_catalogue.h"
#include "server/frame/thread_module_state.h"

namespace orvex::test {

namespace {

void SetUpEnvironmentOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    static TempDir* root = new TempDir();  // lives to the end of the process
    const std::string registry = root->File("registry.ini");
    const std::string drive = root->File("drive_c");
    setenv("ORVEX_REGISTRY", registry.c_str(), 1);
    setenv("ORVEX_DRIVE_C", drive.c_str(), 1);
    SetDriveRootForTesting(drive);
    RegisterOrvex10Classes();
  });
}

}  // namespace

void CatalogueTest::SetUp() {
  SetUpEnvironmentOnce();
}

void CatalogueTest::TearDown() {
  ThreadModuleState& state = GetThreadModuleState();
  state.ThreadCatalogue.Reset();
  if (state.ThreadModuleHandle != 0) FreeLibrary(state.ThreadModuleHandle);
  state.ThreadModuleHandle = 0;
  state.ThreadTypeId = 0;
  state.ThreadTypeIndex = 0;
  state.ThreadTypeName.clear();
}

ComPtr<IDispatch> CatalogueTest::NewCatalogue() {
  return CreateObject(u"Orvex10.clsQ7ResfResourceTypesA");
}

void CatalogueTest::Open(IDispatch* catalogue, const PeWriter& writer, const std::string& name) {
  const std::string path = dir_.Write(name, writer.Build());
  PutProperty(catalogue, "Filename", Variant(Utf8ToUtf16(path)));
  ASSERT_NE(Get(catalogue, "HandleModule").ToLong(), 0) << path;
}

size_t CatalogueTest::IndexBoxes() const {
  size_t n = 0;
  for (const MessageBoxCall& call : boxes_.Calls()) {
    if (call.caption == "Index Error...") ++n;
  }
  return n;
}

Variant Get(IDispatch* object, const char* name) {
  return GetProperty(object, name);
}

ComPtr<IDispatch> GetObject(IDispatch* object, const char* name) {
  return GetProperty(object, name).ToDispatch();
}

ComPtr<IDispatch> ItemOf(IDispatch* collection, const Variant& index) {
  return GetProperty(collection, "Item", {index}).ToDispatch();
}

int32_t CountOf(IDispatch* collection) {
  return GetProperty(collection, "Count").ToLong();
}

std::u16string Text(const Variant& value) {
  return value.ToString();
}

}  // namespace orvex::test
