#include "support/recording_component.h"

#include <mutex>

#include "framework/q7halden10.h"
#include "platform/ole/com_object.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"

namespace orvex::test {

struct RecordingComponent::Shared {
  explicit Shared(RecordingOptions o) : options(o) {}

  const RecordingOptions options;
  std::mutex mutex;
  std::vector<RecordedCall> calls;
  std::vector<Report> reports;
};

namespace {

constexpr DISPID kErrorHandlerMessageQ7 = 1;
constexpr DISPID kAppAboutQ7el = 2;

class Recorder final : public ComObject<Recorder, IDispatch> {
 public:
  explicit Recorder(std::shared_ptr<RecordingComponent::Shared> shared)
      : shared_(std::move(shared)) {}

  HRESULT ORVEX_COM_CALL GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT ORVEX_COM_CALL GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
    std::u16string_view name(names[0]);
    if (name == u"ErrorHandlerMessageQ7") return *ids = kErrorHandlerMessageQ7, S_OK;
    if (name == u"AppAboutQ7el") return *ids = kAppAboutQ7el, S_OK;
    *ids = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT ORVEX_COM_CALL Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO*, UINT*) override {
    if (id != kErrorHandlerMessageQ7 && id != kAppAboutQ7el) return DISP_E_MEMBERNOTFOUND;
    if (id == kErrorHandlerMessageQ7 && params->cArgs != 8) return DISP_E_BADPARAMCOUNT;
    RecordedCall call;
    call.member = id == kErrorHandlerMessageQ7 ? "ErrorHandlerMessageQ7" : "AppAboutQ7el";
    std::vector<Variant> values;
    for (UINT i = params->cArgs; i-- > 0;) {
      const VARIANT& arg = params->rgvarg[i];
      call.types.push_back(arg.vt);
      Variant value;
      VariantCopyInd(&value, &arg);
      values.push_back(std::move(value));
    }
    Report report;
    if (id == kErrorHandlerMessageQ7) {
      report.source = Utf16ToUtf8(values[3].ToString());
      report.number = GetProperty(values[1].ToDispatch().Get(), "Number").ToLong();
    }
    if (shared_->options.keepValues) call.values = std::move(values);
    {
      std::lock_guard lock(shared_->mutex);
      shared_->calls.push_back(std::move(call));
      if (id == kErrorHandlerMessageQ7) shared_->reports.push_back(std::move(report));
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
};

class RecorderFactory final : public ComObject<RecorderFactory, IClassFactory> {
 public:
  explicit RecorderFactory(std::shared_ptr<RecordingComponent::Shared> shared)
      : shared_(std::move(shared)) {}

  HRESULT ORVEX_COM_CALL CreateInstance(IUnknown*, REFIID iid, void** object) override {
    auto* recorder = new Recorder(shared_);
    HRESULT hr = recorder->QueryInterface(iid, object);
    recorder->Release();
    return hr;
  }
  HRESULT ORVEX_COM_CALL LockServer(BOOL) override { return S_OK; }

 private:
  std::shared_ptr<RecordingComponent::Shared> shared_;
};

}  // namespace

void RevokeFrameworkClasses() {
  CoRevokeClassObject(CLSID_clsQ7elErrorHandlerA);
  CoRevokeClassObject(CLSID_clsQ7Halden10A);
}

RecordingComponent::RecordingComponent(RecordingOptions options)
    : shared_(std::make_shared<Shared>(options)) {
  RevokeFrameworkClasses();
  auto factory = ComPtr<IClassFactory>::Attach(new RecorderFactory(shared_));
  CoRegisterClassObject(CLSID_clsQ7elErrorHandlerA, factory.Get(),
                        "Q7Halden10.clsQ7elErrorHandlerA");
  if (options.withAbout)
    CoRegisterClassObject(CLSID_clsQ7Halden10A, factory.Get(), "Q7Halden10.clsQ7Halden10A");
}

RecordingComponent::~RecordingComponent() {
  RevokeFrameworkClasses();
}

std::vector<RecordedCall> RecordingComponent::Calls() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->calls;
}

std::vector<Report> RecordingComponent::Reports() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->reports;
}

void RecordingComponent::Clear() {
  std::lock_guard lock(shared_->mutex);
  shared_->calls.clear();
  shared_->reports.clear();
}

}  // namespace orvex::test
