// Bitmaps, icons and cursors as the platform has them: the Win32 functions the library and
// the rest of the stand-in call. Handles come from per-kind tables (core/handle_table.h);
// bitmaps are freed by DeleteObject, icons by DestroyIcon, cursors by DestroyCursor.
#pragma once

#include <cstdint>

#include "platform/win32_types.h"

namespace orvex {

// LoadImageA types and flags.
inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT IMAGE_ICON = 1;
inline constexpr UINT IMAGE_CURSOR = 2;
inline constexpr UINT LR_DEFAULTCOLOR = 0x0000;
inline constexpr UINT LR_MONOCHROME = 0x0001;
inline constexpr UINT LR_LOADFROMFILE = 0x0010;
inline constexpr UINT LR_LOADTRANSPARENT = 0x0020;
inline constexpr UINT LR_DEFAULTSIZE = 0x0040;
inline constexpr UINT LR_CREATEDIBSECTION = 0x2000;
inline constexpr UINT LR_LOADMAP3DCOLORS = 0x1000;
inline constexpr UINT LR_SHARED = 0x8000;

// DIB compressions.
inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;
inline constexpr DWORD BI_JPEG = 4;
inline constexpr DWORD BI_PNG = 5;

inline constexpr UINT DIB_RGB_COLORS = 0;

// GetDeviceCaps indexes.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

// GetSysColor indexes.
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_3DFACE = 15;
inline constexpr int COLOR_3DSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_3DHILIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;

// DrawIconEx flags.
inline constexpr UINT DI_MASK = 0x0001;
inline constexpr UINT DI_IMAGE = 0x0002;
inline constexpr UINT DI_NORMAL = 0x0003;
inline constexpr UINT DI_DEFAULTSIZE = 0x0008;

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
};
#pragma pack(pop)

struct BITMAPCOREHEADER {
  DWORD bcSize;
  WORD bcWidth;
  WORD bcHeight;
  WORD bcPlanes;
  WORD bcBitCount;
};

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

// What GetObjectA writes for a bitmap (on the 32-bit platform: 24 bytes).
struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  uint32_t bmBits;  // a 32-bit pointer on the platform; 0 for device-dependent bitmaps
};

struct ICONINFO {
  BOOL fIcon;
  DWORD xHotspot;
  DWORD yHotspot;
  HBITMAP hbmMask;
  HBITMAP hbmColor;
};

// A bitmap, icon or cursor from `instance`'s resources ("#n" or a name, the module layer's
// language rule). cxDesired = cyDesired = 0 choose a group's entry as the platform does: the
// size of the directory's first entry, then the most colours. 0 with the last error set
// when nothing can be loaded.
HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cxDesired, int cyDesired,
                  UINT flags);
// An icon (fIcon != 0) or cursor from the bytes of one RT_ICON / RT_CURSOR resource (a
// cursor's first four bytes are its hotspot). 0 when the bytes are no icon image.
HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL fIcon, DWORD version,
                               int cxDesired, int cyDesired, UINT flags);
// The resource id of the entry LoadImageA would choose from a group directory, or 0.
int LookupIconIdFromDirectoryEx(const BYTE* directory, BOOL fIcon, int cxDesired, int cyDesired,
                                UINT flags);
// New mask and colour bitmaps (the caller deletes them) and the hotspot; hbmColor is 0
// for a monochrome icon, whose mask is twice the icon's height (AND above XOR).
BOOL GetIconInfo(HICON icon, ICONINFO* info);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);
BOOL DeleteObject(HGDIOBJ object);
// For a bitmap: fills a BITMAP (size >= sizeof(BITMAP)) and returns the bytes written;
// with a null buffer returns sizeof(BITMAP); 0 for anything else.
int GetObjectA(HGDIOBJ object, int size, void* buffer);
// Rows [start, start + lines) of a bitmap as the BITMAPINFO asks; the stand-in serves
// 32 bits per pixel, BI_RGB, either row order (negative biHeight = top-down). With null
// bits fills in the header (size, width, height, bit count 32) and returns 1... as the
// platform does. Returns the number of rows copied, 0 on failure.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
// The screen's (dc 0) or a surface context's capabilities: 96 dpi, 32 bits per pixel.
int GetDeviceCaps(HDC dc, int index);
// The default colour scheme's colours (0x00BBGGRR).
DWORD GetSysColor(int index);
// Draws an icon or cursor (masked, with alpha) at its own size when cx = cy = 0.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH brush,
                UINT flags);

// The automation runtime's conversion factors of the screen: twips per pixel, single
// precision (15 at 96 dpi).
float TwipsPerPixelX();
float TwipsPerPixelY();

}  // namespace orvex
