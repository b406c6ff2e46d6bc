// The picture object: one image handle behind IPicture and the IPictureDisp dispinterface
// (standard DISPIDs Handle 0, hPal 2, Type 3, Width 4, Height 5, Render 6), destroyed with
// the last reference when the picture owns it.
#include "platform/ole/picture.h"

#include <cmath>
#include <string_view>

#include "platform/gdi/gdi.h"
#include "platform/gdi/image.h"
#include "platform/ole/com_object.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/picture_internal.h"
#include "platform/ole/wrappers.h"
#include "platform/text/text.h"

namespace orvex {
namespace {

LONG HiMetric(int32_t pixels) {
  return static_cast<LONG>(std::lround(static_cast<double>(pixels) * 2540.0 / 96.0));
}

struct MemberName {
  const char16_t* name;
  DISPID id;
};
constexpr MemberName kMembers[] = {
    {u"Handle", DISPID_PICT_HANDLE}, {u"hPal", DISPID_PICT_HPAL},
    {u"Type", DISPID_PICT_TYPE},     {u"Width", DISPID_PICT_WIDTH},
    {u"Height", DISPID_PICT_HEIGHT}, {u"Render", DISPID_PICT_RENDER},
};

class Picture final : public ComObject<Picture, IPicture, IDispatch> {
 public:
  Picture(SHORT type, uint32_t handle, bool own, LONG width, LONG height)
      : type_(type), handle_(handle), own_(own), width_(width), height_(height) {}

  // IPictureDisp is the picture's dispinterface: IDispatch under its own identifier.
  void* QueryAlias(REFIID iid) {
    return iid == IID_IPictureDisp ? static_cast<IDispatch*>(this) : nullptr;
  }

  // IPicture.
  HRESULT ORVEX_COM_CALL get_Handle(OLE_HANDLE* handle) override {
    if (!handle) return E_POINTER;
    *handle = handle_;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL get_hPal(OLE_HANDLE* palette) override {
    if (!palette) return E_POINTER;
    *palette = 0;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL get_Type(SHORT* type) override {
    if (!type) return E_POINTER;
    *type = type_;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL get_Width(OLE_XSIZE_HIMETRIC* width) override {
    if (!width) return E_POINTER;
    *width = width_;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL get_Height(OLE_YSIZE_HIMETRIC* height) override {
    if (!height) return E_POINTER;
    *height = height_;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC,
                                OLE_YPOS_HIMETRIC, OLE_XSIZE_HIMETRIC, OLE_YSIZE_HIMETRIC,
                                const RECT*) override {
    if (cx < 0 || cy < 0) return E_INVALIDARG;
    switch (type_) {
      case PICTYPE_BITMAP:
        return PaintBitmap(dc, x, y, cx, cy, handle_) ? S_OK : E_FAIL;
      case PICTYPE_ICON:
        return DrawIconEx(dc, x, y, handle_, cx, cy, 0, 0, DI_NORMAL) ? S_OK : E_FAIL;
      default:
        return S_OK;  // nothing to draw
    }
  }

  // IDispatch (IPictureDisp).
  HRESULT ORVEX_COM_CALL GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT ORVEX_COM_CALL GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT ORVEX_COM_CALL GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                       DISPID* ids) override {
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (count == 0) return S_OK;
    for (const MemberName& m : kMembers) {
      if (EqualsIgnoringCase(m.name, names[0])) ids[0] = m.id;
    }
    if (ids[0] == DISPID_UNKNOWN || count > 1) hr = DISP_E_UNKNOWNNAME;
    return hr;
  }
  HRESULT ORVEX_COM_CALL Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO*, UINT*) override {
    const UINT argc = params ? params->cArgs : 0;
    if (id == DISPID_PICT_RENDER) {
      if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
      if (argc != 10) return DISP_E_BADPARAMCOUNT;
      LONG values[9];
      for (UINT i = 0; i < 9; ++i) {  // arguments arrive last first
        Variant v;
        if (VariantChangeType(&v, &params->rgvarg[9 - i], 0, VT_I4) < 0) return DISP_E_TYPEMISMATCH;
        values[i] = v.lVal;
      }
      return Render(static_cast<HDC>(values[0]), values[1], values[2], values[3], values[4],
                    values[5], values[6], values[7], values[8], nullptr);
    }
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (argc != 0) return DISP_E_BADPARAMCOUNT;
    Variant value;
    switch (id) {
      case DISPID_PICT_HANDLE:
        value = Variant(static_cast<int32_t>(handle_));
        break;
      case DISPID_PICT_HPAL:
        value = Variant(int32_t{0});
        break;
      case DISPID_PICT_TYPE:
        value = Variant(static_cast<int16_t>(type_));
        break;
      case DISPID_PICT_WIDTH:
        value = Variant(static_cast<int32_t>(width_));
        break;
      case DISPID_PICT_HEIGHT:
        value = Variant(static_cast<int32_t>(height_));
        break;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (result) *result = value.Detach();
    return S_OK;
  }

 private:
  friend ComObject;
  ~Picture() {
    if (!own_ || handle_ == 0) return;
    if (type_ == PICTYPE_BITMAP) DeleteObject(handle_);
    if (type_ == PICTYPE_ICON) DestroyIcon(handle_);
    if (type_ == PICTYPE_METAFILE || type_ == PICTYPE_ENHMETAFILE) DeleteMetafileHandle(handle_);
  }

  SHORT type_;
  uint32_t handle_;
  bool own_;
  LONG width_;
  LONG height_;
};

}  // namespace

HRESULT MakePicture(SHORT type, uint32_t handle, bool own, LONG width, LONG height, REFIID riid,
                    void** object) {
  auto* picture = new Picture(type, handle, own, width, height);
  const HRESULT hr = picture->QueryInterface(riid, object);
  picture->Release();
  return hr;
}

HRESULT OleCreatePictureIndirect(const PICTDESC* desc, REFIID riid, BOOL fOwn, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!desc) return MakePicture(PICTYPE_NONE, 0, false, 0, 0, riid, object);
  if (desc->cbSizeofstruct < 8) return E_INVALIDARG;
  switch (static_cast<SHORT>(desc->picType)) {
    case PICTYPE_UNINITIALIZED:
    case PICTYPE_NONE:
      return MakePicture(PICTYPE_NONE, 0, false, 0, 0, riid, object);
    case PICTYPE_BITMAP: {
      BITMAP bm{};
      if (!GetObjectA(desc->bmp.hbitmap, sizeof bm, &bm)) return E_INVALIDARG;
      return MakePicture(PICTYPE_BITMAP, desc->bmp.hbitmap, fOwn != 0, HiMetric(bm.bmWidth),
                         HiMetric(bm.bmHeight), riid, object);
    }
    case PICTYPE_ICON: {
      const auto size = IconDimensions(desc->icon.hicon);
      if (!size) return E_INVALIDARG;
      return MakePicture(PICTYPE_ICON, desc->icon.hicon, fOwn != 0, HiMetric(size->width),
                         HiMetric(size->height), riid, object);
    }
    case PICTYPE_METAFILE:
      return MakePicture(PICTYPE_METAFILE, desc->wmf.hmeta, fOwn != 0, desc->wmf.xExt,
                         desc->wmf.yExt, riid, object);
    case PICTYPE_ENHMETAFILE:
      return MakePicture(PICTYPE_ENHMETAFILE, desc->emf.hemf, fOwn != 0, 0, 0, riid, object);
    default:
      return E_INVALIDARG;
  }
}

}  // namespace orvex
