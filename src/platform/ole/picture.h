// Picture objects of the automation runtime: a bitmap, icon or metafile handle behind
// IPicture and IPictureDisp, made by OleCreatePictureIndirect or read from a picture file.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "platform/ole/types.h"
#include "platform/ole/unknown.h"

namespace orvex {

inline constexpr IID IID_IPicture = MakeGuid("{7BF80980-BF32-101A-8BBB-00AA00300CAB}");
inline constexpr IID IID_IPictureDisp = MakeGuid("{7BF80981-BF32-101A-8BBB-00AA00300CAB}");

// Picture types (PICTDESC::picType, IPicture::get_Type).
inline constexpr SHORT PICTYPE_UNINITIALIZED = -1;
inline constexpr SHORT PICTYPE_NONE = 0;
inline constexpr SHORT PICTYPE_BITMAP = 1;
inline constexpr SHORT PICTYPE_METAFILE = 2;
inline constexpr SHORT PICTYPE_ICON = 3;
inline constexpr SHORT PICTYPE_ENHMETAFILE = 4;

// Standard dispatch identifiers of IPictureDisp.
inline constexpr DISPID DISPID_PICT_HANDLE = 0;
inline constexpr DISPID DISPID_PICT_HPAL = 2;
inline constexpr DISPID DISPID_PICT_TYPE = 3;
inline constexpr DISPID DISPID_PICT_WIDTH = 4;
inline constexpr DISPID DISPID_PICT_HEIGHT = 5;
inline constexpr DISPID DISPID_PICT_RENDER = 6;

using OLE_HANDLE = uint32_t;
using OLE_XSIZE_HIMETRIC = LONG;
using OLE_YSIZE_HIMETRIC = LONG;
using OLE_XPOS_HIMETRIC = LONG;
using OLE_YPOS_HIMETRIC = LONG;

// The published structure, laid out as on the 32-bit platform (20 bytes for bitmaps,
// icons and metafiles alike: the union's largest member is the metafile's). The members'
// types are named outside the union: C++ has no anonymous types inside an anonymous union.
struct PICTDESC_BMP {
  HBITMAP hbitmap;
  HPALETTE hpal;
};
struct PICTDESC_WMF {
  uint32_t hmeta;
  int32_t xExt;
  int32_t yExt;
};
struct PICTDESC_ICON {
  HICON hicon;
};
struct PICTDESC_EMF {
  uint32_t hemf;
};
struct PICTDESC {
  UINT cbSizeofstruct;
  UINT picType;
  union {
    PICTDESC_BMP bmp;
    PICTDESC_WMF wmf;
    PICTDESC_ICON icon;
    PICTDESC_EMF emf;
  };
};
static_assert(sizeof(PICTDESC) == 20 && offsetof(PICTDESC, bmp) == 8);

// The picture interface, in the platform's slot order. Width and Height are HiMetric
// (0.01 mm). Render draws the picture (or the source part of it, in HiMetric, y upwards
// from the bottom as on the platform) into cx × cy at (x, y) of `dc`.
struct IPicture : IUnknown {
  static constexpr const IID& kIid = IID_IPicture;
  virtual HRESULT ORVEX_COM_CALL get_Handle(OLE_HANDLE* handle) = 0;
  virtual HRESULT ORVEX_COM_CALL get_hPal(OLE_HANDLE* palette) = 0;
  virtual HRESULT ORVEX_COM_CALL get_Type(SHORT* type) = 0;
  virtual HRESULT ORVEX_COM_CALL get_Width(OLE_XSIZE_HIMETRIC* width) = 0;
  virtual HRESULT ORVEX_COM_CALL get_Height(OLE_YSIZE_HIMETRIC* height) = 0;
  virtual HRESULT ORVEX_COM_CALL Render(HDC dc, LONG x, LONG y, LONG cx, LONG cy,
                                        OLE_XPOS_HIMETRIC xSrc, OLE_YPOS_HIMETRIC ySrc,
                                        OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc,
                                        const RECT* bounds) = 0;

 protected:
  ~IPicture() = default;
};

// Makes a picture object over the handle of `desc` and returns it as `riid` (IID_IPicture,
// IID_IPictureDisp, IID_IDispatch or IID_IUnknown). With fOwn the object destroys the
// handle when its last reference goes. E_INVALIDARG for a bad size or type, E_POINTER for
// a null out pointer; picType PICTYPE_UNINITIALIZED makes an empty picture (type 0 after).
HRESULT OleCreatePictureIndirect(const PICTDESC* desc, REFIID riid, BOOL fOwn, void** object);

// The picture-file loader: reads the file at `path` (a platform path, through the drive
// mapping) and makes a picture of whatever format its bytes are, whatever its name says.
// CTL_E_INVALIDPICTURE when the bytes are no picture it reads, CTL_E_FILENOTFOUND when the
// file cannot be opened.
HRESULT OleLoadPictureFile(const std::string& path, IDispatch** picture);

// The loader over bytes in memory (what OleLoadPictureFile does after reading the file).
HRESULT LoadPictureFromBytes(std::span<const std::byte> bytes, IDispatch** picture);

inline constexpr HRESULT CTL_E_FILENOTFOUND = static_cast<HRESULT>(0x800A0035);
inline constexpr HRESULT CTL_E_INVALIDPICTURE = static_cast<HRESULT>(0x800A01E1);

}  // namespace orvex
