#include "catalogue/catalogue_test_support.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "framework/q7halden10.h"
#include "platform/fs/fs.h"
#include "platform/module/module.h"
#include "platform/ole/class_registry.h"
#include "platform/text/text.h"
#include "server/class_catalogue.h"
#include "server/thread_module_state.h"

namespace orvex::test {

struct ReportRecorder::Shared {
  std::mutex mutex;
  std::vector<Report> reports;
};

namespace {

// ErrorHandlerMessageQ7 only: records the source (argument 4) and the error object's Number.
class Recorder final : public IDispatch {
 public:
  explicit Recorder(std::shared_ptr<ReportRecorder::Shared> shared) : shared_(std::move(shared)) {}
  virtual ~Recorder() = default;

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
    if (std::u16string_view(names[0]) == u"ErrorHandlerMessageQ7") return *ids = 1, S_OK;
    *ids = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                 UINT*) override {
    if (params->cArgs != 8) return DISP_E_BADPARAMCOUNT;
    Report report;
    Variant source;
    VariantCopyInd(&source, &params->rgvarg[8 - 4]);
    report.source = Utf16ToUtf8(source.ToString());
    Variant error;
    VariantCopyInd(&error, &params->rgvarg[8 - 2]);
    report.number = GetProperty(error.ToDispatch().Get(), "Number").ToLong();
    {
      std::lock_guard lock(shared_->mutex);
      shared_->reports.push_back(std::move(report));
    }
    if (result) VariantInit(result);
    return S_OK;
  }

 private:
  std::shared_ptr<ReportRecorder::Shared> shared_;
  std::atomic<ULONG> refs_{1};
};

class RecorderFactory final : public IClassFactory {
 public:
  explicit RecorderFactory(std::shared_ptr<ReportRecorder::Shared> shared)
      : shared_(std::move(shared)) {}
  virtual ~RecorderFactory() = default;
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT CreateInstance(IUnknown*, REFIID iid, void** object) override {
    auto* recorder = new Recorder(shared_);
    HRESULT hr = recorder->QueryInterface(iid, object);
    recorder->Release();
    return hr;
  }
  HRESULT LockServer(BOOL) override { return S_OK; }

 private:
  std::shared_ptr<ReportRecorder::Shared> shared_;
  std::atomic<ULONG> refs_{1};
};

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

ReportRecorder::ReportRecorder() : shared_(std::make_shared<Shared>()) {
  CoRevokeClassObject(CLSID_clsQ7elErrorHandlerA);
  auto factory = ComPtr<IClassFactory>::Attach(new RecorderFactory(shared_));
  CoRegisterClassObject(CLSID_clsQ7elErrorHandlerA, factory.Get(),
                        "Q7Halden10.clsQ7elErrorHandlerA");
}

ReportRecorder::~ReportRecorder() {
  CoRevokeClassObject(CLSID_clsQ7elErrorHandlerA);
}

std::vector<Report> ReportRecorder::Reports() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->reports;
}

void ReportRecorder::Clear() {
  std::lock_guard lock(shared_->mutex);
  shared_->reports.clear();
}

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
