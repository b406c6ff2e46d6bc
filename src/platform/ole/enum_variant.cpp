#include "platform/ole/enum_variant.h"

#include <memory>
#include <new>
#include <utility>

#include "platform/ole/com_object.h"

namespace orvex {

namespace {

class EnumVariant final : public ComObject<EnumVariant, IEnumVARIANT> {
 public:
  using Items = std::shared_ptr<const std::vector<Variant>>;

  EnumVariant(Items items, ComPtr<IUnknown> owner, size_t position)
      : items_(std::move(items)), owner_(std::move(owner)), position_(position) {}

  HRESULT ORVEX_COM_CALL Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    if (out == nullptr && count != 0) return E_POINTER;
    ULONG done = 0;
    while (done < count && position_ < items_->size()) {
      Variant copy;
      HRESULT hr = VariantCopy(&copy, &(*items_)[position_]);
      if (FAILED(hr)) {
        // The caller gets nothing on failure: the copies handed out so far are taken back
        // and freed.
        for (ULONG i = 0; i < done; ++i) Variant::Attach(out[i]);
        if (fetched) *fetched = 0;
        return hr;
      }
      out[done++] = copy.Detach();
      ++position_;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
  }
  HRESULT ORVEX_COM_CALL Skip(ULONG count) override {
    size_t left = items_->size() - position_;
    if (count > left) {
      position_ = items_->size();
      return S_FALSE;
    }
    position_ += count;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL Clone(IEnumVARIANT** copy) override {
    if (copy == nullptr) return E_POINTER;
    *copy = new (std::nothrow) EnumVariant(items_, owner_, position_);
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

 private:
  friend ComObject;
  ~EnumVariant() = default;

  Items items_;
  ComPtr<IUnknown> owner_;
  size_t position_;
};

}  // namespace

ComPtr<IUnknown> CreateEnumVARIANT(std::vector<Variant> items, ComPtr<IUnknown> owner) {
  auto shared = std::make_shared<const std::vector<Variant>>(std::move(items));
  return ComPtr<IUnknown>::Attach(
      static_cast<IEnumVARIANT*>(new EnumVariant(std::move(shared), std::move(owner), 0)));
}

}  // namespace orvex
