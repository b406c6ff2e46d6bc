// Picture objects are the platform's own (oleaut32): made from handles by
// OleCreatePictureIndirect, loaded from picture files through a stream by OleLoadPicture.
#include "platform/ole/picture.h"

#include <cstring>
#include <vector>

#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

const ::IID& Real(const IID& iid) {
  return *reinterpret_cast<const ::IID*>(&iid);
}

}  // namespace

HRESULT OleCreatePictureIndirect(const PICTDESC* desc, REFIID riid, BOOL fOwn, void** object) {
  if (desc == nullptr) return ::OleCreatePictureIndirect(nullptr, Real(riid), fOwn, object);
  ::PICTDESC real{};
  real.cbSizeofstruct = sizeof real;
  real.picType = desc->picType;
  switch (static_cast<SHORT>(desc->picType)) {
    case PICTYPE_BITMAP:
      real.bmp.hbitmap = win::ToReal<::HBITMAP>(desc->bmp.hbitmap);
      real.bmp.hpal = win::ToReal<::HPALETTE>(desc->bmp.hpal);
      break;
    case PICTYPE_METAFILE:
      real.wmf.hmeta = win::ToReal<::HMETAFILE>(desc->wmf.hmeta);
      real.wmf.xExt = desc->wmf.xExt;
      real.wmf.yExt = desc->wmf.yExt;
      break;
    case PICTYPE_ICON:
      real.icon.hicon = win::ToReal<::HICON>(desc->icon.hicon);
      break;
    case PICTYPE_ENHMETAFILE:
      real.emf.hemf = win::ToReal<::HENHMETAFILE>(desc->emf.hemf);
      break;
    default:
      break;
  }
  return ::OleCreatePictureIndirect(&real, Real(riid), fOwn, object);
}

HRESULT LoadPictureFromBytes(std::span<const std::byte> bytes, IDispatch** picture) {
  if (picture == nullptr) return E_POINTER;
  *picture = nullptr;
  ::HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
  if (memory == nullptr) return E_OUTOFMEMORY;
  if (void* target = ::GlobalLock(memory)) {
    if (!bytes.empty()) std::memcpy(target, bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
  }
  ::IStream* stream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    ::GlobalFree(memory);
    return E_OUTOFMEMORY;
  }
  void* object = nullptr;
  const HRESULT hr =
      ::OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, ::IID_IDispatch, &object);
  stream->Release();
  if (FAILED(hr)) return CTL_E_INVALIDPICTURE;
  *picture = static_cast<IDispatch*>(object);
  return S_OK;
}

HRESULT OleLoadPictureFile(const std::string& path, IDispatch** picture) {
  if (picture == nullptr) return E_POINTER;
  *picture = nullptr;
  ::HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == win::kInvalidHandle) return CTL_E_FILENOTFOUND;
  ::LARGE_INTEGER size{};
  std::vector<std::byte> bytes;
  if (::GetFileSizeEx(file, &size) && size.QuadPart < (1LL << 30)) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    ::DWORD got = 0;
    if (!bytes.empty() &&
        !::ReadFile(file, bytes.data(), static_cast<::DWORD>(bytes.size()), &got, nullptr))
      got = 0;
    bytes.resize(got);
  }
  ::CloseHandle(file);
  return LoadPictureFromBytes(bytes, picture);
}

}  // namespace orvex
