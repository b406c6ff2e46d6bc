#include "server/recording_component.h"

#include "framework/q7halden10.h"

namespace orvex::test {

namespace {

class Recorder final : public IDispatch {
 public:
  explicit Recorder(std::shared_ptr<RecordingComponent::Shared> shared)
      : shared_(std::move(shared)) {}
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
    std::u16string_view name(names[0]);
    if (name == u"ErrorHandlerMessageQ7") return *ids = 1, S_OK;
    if (name == u"AppAboutQ7el") return *ids = 2, S_OK;
    *ids = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                 UINT*) override {
    RecordedCall call;
    call.member = id == 1 ? "ErrorHandlerMessageQ7" : "AppAboutQ7el";
    for (UINT i = params->cArgs; i-- > 0;) {
      const VARIANT& arg = params->rgvarg[i];
      call.types.push_back(arg.vt);
      Variant value;
      VariantCopyInd(&value, &arg);
      call.values.push_back(std::move(value));
    }
    {
      std::lock_guard lock(shared_->mutex);
      shared_->calls.push_back(std::move(call));
    }
    if (result) {
      VariantInit(result);
      result->vt = VT_I4;
      result->lVal = 0;
    }
    return S_OK;
  }

 private:
  std::shared_ptr<RecordingComponent::Shared> shared_;
  std::atomic<ULONG> refs_{1};
};

class RecorderFactory final : public IClassFactory {
 public:
  explicit RecorderFactory(std::shared_ptr<RecordingComponent::Shared> shared)
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
  std::shared_ptr<RecordingComponent::Shared> shared_;
  std::atomic<ULONG> refs_{1};
};

}  // namespace

void RevokeFrameworkClasses() {
  CoRevokeClassObject(CLSID_clsQ7elErrorHandlerA);
  CoRevokeClassObject(CLSID_clsQ7Halden10A);
}

RecordingComponent::RecordingComponent(bool withAbout)
    : shared_(std::make_shared<Shared>()), withAbout_(withAbout) {
  RevokeFrameworkClasses();
  auto factory = ComPtr<IClassFactory>::Attach(new RecorderFactory(shared_));
  CoRegisterClassObject(CLSID_clsQ7elErrorHandlerA, factory.Get(),
                        "Q7Halden10.clsQ7elErrorHandlerA");
  if (withAbout_)
    CoRegisterClassObject(CLSID_clsQ7Halden10A, factory.Get(), "Q7Halden10.clsQ7Halden10A");
}

RecordingComponent::~RecordingComponent() {
  RevokeFrameworkClasses();
}

std::vector<RecordedCall> RecordingComponent::Calls() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->calls;
}

}  // namespace orvex::test
