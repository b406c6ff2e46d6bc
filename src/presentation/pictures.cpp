// The catalogue's picture members: a picture object from an icon, cursor or bitmap
// resource through the platform's image functions, or from any resource whose bytes form a
// picture file, read through the temporary folder.
//
// When the picture object cannot be made over a new image handle, the handle is destroyed
// here: nobody else holds it, and it would leak otherwise.
#include "presentation/pictures.h"

#include <string>

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/fs/fs.h"
#include "platform/gdi/gdi.h"
#include "platform/media/mci.h"
#include "platform/ole/picture.h"
#include "platform/text/text.h"
#include "presentation/files.h"
#include "server/frame/bas_q7el_common_a.h"
#include "server/frame/class_ids.h"
#include "server/frame/thread_module_state.h"

namespace orvex {
namespace {

ComPtr<IDispatch> PictureFrom(UINT picType, uint32_t handle, REFIID riid) {
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof(PICTDESC);
  desc.picType = picType;
  if (picType == PICTYPE_BITMAP) {
    desc.bmp.hbitmap = handle;
    desc.bmp.hpal = 0;
  } else {
    desc.icon.hicon = handle;
  }
  // The status is not examined: the result is whatever object came back.
  void* object = nullptr;
  OleCreatePictureIndirect(&desc, riid, TRUE, &object);
  const auto unknown = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(object));
  if (!unknown) return {};
  // Used through IPictureDisp, whichever interface was asked for.
  ComPtr<IDispatch> picture;
  void* disp = nullptr;
  if (unknown->QueryInterface(IID_IPictureDisp, &disp) >= 0) {
    picture = ComPtr<IDispatch>::Attach(static_cast<IDispatch*>(disp));
  }
  return picture;
}

}  // namespace

bool ReadsAsResourceNumber(std::u16string_view name) {
  if (name.empty()) return false;
  for (char16_t c : name) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

ComPtr<IDispatch> PictureFromBitmapHandle(HBITMAP handle) {
  ComPtr<IDispatch> picture = PictureFrom(PICTYPE_BITMAP, handle, IID_IDispatch);
  if (!picture && handle != 0) DeleteObject(handle);
  return picture;
}

ComPtr<IDispatch> PictureFromIconHandle(HICON handle) {
  if (handle == 0) return {};
  ComPtr<IDispatch> picture = PictureFrom(PICTYPE_ICON, handle, IID_IPicture);
  if (!picture) DestroyIcon(handle);
  return picture;
}

ComPtr<IDispatch> clsQ7ResfResourceTypesA::GetPicture(int32_t ResType,
                                                      std::u16string_view ResName) {
  StepRunner step = ReportingSteps("GetPicture");
  ComPtr<IDispatch> result;
  const std::u16string name =
      ReadsAsResourceNumber(ResName) ? u"#" + std::u16string(ResName) : std::u16string(ResName);
  uint32_t handle = 0;
  switch (ResType) {
    case RT_CURSOR:
    case RT_ICON: {
      const std::u16string type = ResType == RT_CURSOR ? u"1" : u"3";
      Variant data = GetDataArray(type, name);
      step([&] {
        const Bytes bytes = DataArrayBytes(data);
        // Taking the first byte of no bytes fails as indexing an empty variant does.
        if (bytes.empty()) throw RuntimeError(Err::TypeMismatch);
        handle = CreateIconFromResourceEx(reinterpret_cast<const BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size()), ResType - 1, 0x00030000,
                                          0, 0, LR_LOADMAP3DCOLORS);
      });
      break;
    }
    case RT_BITMAP:
    case RT_GROUP_CURSOR:
    case RT_GROUP_ICON: {
      const UINT imageType = ResType == RT_BITMAP       ? IMAGE_BITMAP
                             : ResType == RT_GROUP_ICON ? IMAGE_ICON
                                                        : IMAGE_CURSOR;
      const std::string ansiName = UnicodeToAnsi(name);
      handle = LoadImageA(GetThreadModuleState().ThreadModuleHandle, ansiName.c_str(), imageType, 0,
                          0, LR_LOADMAP3DCOLORS);
      break;
    }
    default:
      break;
  }
  if (handle != 0) {
    step([&] {
      result =
          ResType == RT_BITMAP ? PictureFromBitmapHandle(handle) : PictureFromIconHandle(handle);
    });
  }
  return result;
}

ComPtr<IDispatch> clsQ7ResfResourceTypesA::GetPictureExt(std::u16string_view ResType,
                                                         std::u16string_view ResName) {
  StepRunner step = ReportingSteps("GetPictureExt");
  ComPtr<IDispatch> result;
  ThreadModuleState& state = GetThreadModuleState();
  step([&] { state.ThreadTmpFileName = ResourceTmpFileName(ResName); });
  const std::string path = UnicodeToAnsi(state.ThreadTmpFileName);
  step([&] {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // A clip shown from the same path may still hold the file.
    mciSendStringA("close video", nullptr, 0, 0);
    if (!DeleteFileA(path.c_str())) throw FileError(path);
  });
  Variant data;
  step([&] {
    data = GetDataArray(ResType, ResName);
    if (DataArrayBytes(data).empty()) throw RuntimeError(Err::TypeMismatch);
  });
  step([&] { WriteRawBytesFile(path, DataArrayBytes(data)); });
  step([&] {
    IDispatch* picture = nullptr;
    const HRESULT hr = OleLoadPictureFile(path, &picture);
    result = ComPtr<IDispatch>::Attach(picture);
    if (hr < 0 || !result) {
      throw RuntimeError(hr == CTL_E_FILENOTFOUND ? Err::FileNotFound : Err::InvalidPicture);
    }
  });
  step([&] {
    if (!DeleteFileA(path.c_str())) throw FileError(path);
  });
  return result;
}

}  // namespace orvex
