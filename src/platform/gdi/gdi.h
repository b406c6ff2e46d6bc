// Bitmaps, icons and cursors as the platform has them, device contexts, fonts and text: the
// Win32 functions the library, the host kit and the rest of the stand-in call. Handles come
// from per-kind tables (core/handle_table.h); bitmaps are freed by DeleteObject, icons by
// DestroyIcon, cursors by DestroyCursor.
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

// GetCurrentObject types.
inline constexpr UINT OBJ_FONT = 6;
inline constexpr UINT OBJ_BITMAP = 7;

// Raster operations and background modes.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// CreateFontA weights, character sets, precisions, qualities and pitches.
inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;
inline constexpr DWORD ANSI_CHARSET = 0;
inline constexpr DWORD DEFAULT_CHARSET = 1;
inline constexpr DWORD OUT_DEFAULT_PRECIS = 0;
inline constexpr DWORD CLIP_DEFAULT_PRECIS = 0;
inline constexpr DWORD DEFAULT_QUALITY = 0;
inline constexpr DWORD DEFAULT_PITCH = 0;

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

// The leading fields of the published structure (the ones the stand-in's fonts fill in).
struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
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

// A memory context compatible with `dc` (0: the screen), for selecting a bitmap into and
// copying from with StretchBlt. The stand-in's memory contexts cannot be drawn into.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// Selects a font or a bitmap (into a memory context) and returns the one it replaces; the
// stand-in's contexts start with no font selected (0), which draws with the system font.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
// Text colour (0x00BBGGRR, black at first) and background mode (OPAQUE at first: the
// text's cell is filled with the background colour, white, before the text is drawn).
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
// Copies the source rectangle of the bitmap selected into `source` to the destination
// rectangle, stretched (nearest pixel). The stand-in takes SRCCOPY only, sizes > 0, and
// composes bitmaps that carry alpha over the destination, as picture objects paint them.
BOOL StretchBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int xSource, int ySource,
                int cxSource, int cySource, DWORD rop);

// A font by the platform's rule: a negative height is the em height in pixels, a positive
// one the cell height. The stand-in uses the face name, height, weight and italic flag (its
// faces map onto the TrueType files of the fonts-wine package, user/font.h) and keeps font
// handles for the life of the process, equal for equal requests; its fonts, text metrics
// and text drawing live in the user folder, where the faces are.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR face);
// The metrics of the font selected into `dc`.
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
// Draws `count` ANSI characters with the cell's top-left corner at (x, y), in the selected
// font, text colour and background mode.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count);

// The automation runtime's conversion factors of the screen: twips per pixel, single
// precision (15 at 96 dpi).
float TwipsPerPixelX();
float TwipsPerPixelY();

}  // namespace orvex
