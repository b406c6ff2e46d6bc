// Bitmaps, icons and cursors are the platform's own (user32, gdi32). Handles cross as
// 32-bit values; the structures that carry handles are converted field by field.
#include "platform/gdi/gdi.h"

#include "platform/core/win/pointer_handles.h"
#include "platform/core/win/windows_sdk.h"

namespace orvex {

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cxDesired, int cyDesired,
                  UINT flags) {
  auto* module = static_cast<::HINSTANCE>(win::ModuleHandles().Resolve(instance));
  return win::FromReal(::LoadImageA(module, name, type, cxDesired, cyDesired, flags));
}

HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL fIcon, DWORD version,
                               int cxDesired, int cyDesired, UINT flags) {
  return win::FromReal(::CreateIconFromResourceEx(const_cast<::BYTE*>(bits), size, fIcon, version,
                                                  cxDesired, cyDesired, flags));
}

int LookupIconIdFromDirectoryEx(const BYTE* directory, BOOL fIcon, int cxDesired, int cyDesired,
                                UINT flags) {
  return ::LookupIconIdFromDirectoryEx(const_cast<::BYTE*>(directory), fIcon, cxDesired, cyDesired,
                                       flags);
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
  ::ICONINFO real{};
  if (!::GetIconInfo(win::ToReal<::HICON>(icon), &real)) return 0;
  if (info != nullptr) {
    info->fIcon = real.fIcon;
    info->xHotspot = real.xHotspot;
    info->yHotspot = real.yHotspot;
    info->hbmMask = win::FromReal(real.hbmMask);
    info->hbmColor = win::FromReal(real.hbmColor);
  }
  return 1;
}

BOOL DestroyIcon(HICON icon) {
  return ::DestroyIcon(win::ToReal<::HICON>(icon));
}
BOOL DestroyCursor(HCURSOR cursor) {
  return ::DestroyCursor(win::ToReal<::HCURSOR>(cursor));
}
BOOL DeleteObject(HGDIOBJ object) {
  return ::DeleteObject(win::ToReal<::HGDIOBJ>(object));
}

int GetObjectA(HGDIOBJ object, int size, void* buffer) {
  ::BITMAP real{};
  const int got = ::GetObjectA(win::ToReal<::HGDIOBJ>(object), sizeof real, &real);
  if (got == 0 || ::GetObjectType(win::ToReal<::HGDIOBJ>(object)) != OBJ_BITMAP) return 0;
  if (buffer == nullptr) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  auto* out = static_cast<BITMAP*>(buffer);
  out->bmType = real.bmType;
  out->bmWidth = real.bmWidth;
  out->bmHeight = real.bmHeight;
  out->bmWidthBytes = real.bmWidthBytes;
  out->bmPlanes = real.bmPlanes;
  out->bmBitsPixel = real.bmBitsPixel;
  out->bmBits = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(real.bmBits));
  return sizeof(BITMAP);
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage) {
  ::HDC screen = dc == 0 ? ::GetDC(nullptr) : win::ToReal<::HDC>(dc);
  const int rows = ::GetDIBits(screen, win::ToReal<::HBITMAP>(bitmap), start, lines, bits,
                               reinterpret_cast<::BITMAPINFO*>(info), usage);
  if (dc == 0) ::ReleaseDC(nullptr, screen);
  return rows;
}

int GetDeviceCaps(HDC dc, int index) {
  ::HDC screen = dc == 0 ? ::GetDC(nullptr) : win::ToReal<::HDC>(dc);
  const int value = ::GetDeviceCaps(screen, index);
  if (dc == 0) ::ReleaseDC(nullptr, screen);
  return value;
}

DWORD GetSysColor(int index) {
  return ::GetSysColor(index);
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH brush,
                UINT flags) {
  return ::DrawIconEx(win::ToReal<::HDC>(dc), x, y, win::ToReal<::HICON>(icon), cx, cy, step,
                      win::ToReal<::HBRUSH>(brush), flags);
}

HDC CreateCompatibleDC(HDC dc) {
  return win::FromReal(::CreateCompatibleDC(win::ToReal<::HDC>(dc)));
}
BOOL DeleteDC(HDC dc) {
  return ::DeleteDC(win::ToReal<::HDC>(dc));
}
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  return win::FromReal(::SelectObject(win::ToReal<::HDC>(dc), win::ToReal<::HGDIOBJ>(object)));
}
HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  return win::FromReal(::GetCurrentObject(win::ToReal<::HDC>(dc), type));
}
COLORREF SetTextColor(HDC dc, COLORREF color) {
  return ::SetTextColor(win::ToReal<::HDC>(dc), color);
}
COLORREF GetTextColor(HDC dc) {
  return ::GetTextColor(win::ToReal<::HDC>(dc));
}
int SetBkMode(HDC dc, int mode) {
  return ::SetBkMode(win::ToReal<::HDC>(dc), mode);
}
int GetBkMode(HDC dc) {
  return ::GetBkMode(win::ToReal<::HDC>(dc));
}
BOOL StretchBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int xSource, int ySource,
                int cxSource, int cySource, DWORD rop) {
  return ::StretchBlt(win::ToReal<::HDC>(dest), x, y, cx, cy, win::ToReal<::HDC>(source), xSource,
                      ySource, cxSource, cySource, rop);
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  return win::FromReal(::CreateFontA(height, width, escapement, orientation, weight, italic,
                                     underline, strikeOut, charSet, outPrecision, clipPrecision,
                                     quality, pitchAndFamily, face));
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
  ::TEXTMETRICA real{};
  if (metrics == nullptr || !::GetTextMetricsA(win::ToReal<::HDC>(dc), &real)) return 0;
  metrics->tmHeight = real.tmHeight;
  metrics->tmAscent = real.tmAscent;
  metrics->tmDescent = real.tmDescent;
  metrics->tmInternalLeading = real.tmInternalLeading;
  metrics->tmExternalLeading = real.tmExternalLeading;
  metrics->tmAveCharWidth = real.tmAveCharWidth;
  metrics->tmMaxCharWidth = real.tmMaxCharWidth;
  metrics->tmWeight = real.tmWeight;
  return 1;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
  return ::TextOutA(win::ToReal<::HDC>(dc), x, y, text, count);
}

// The automation runtime's factors: 1440 twips per inch over the screen's pixels per inch.
float TwipsPerPixelX() {
  return 1440.0f / static_cast<float>(GetDeviceCaps(0, LOGPIXELSX));
}
float TwipsPerPixelY() {
  return 1440.0f / static_cast<float>(GetDeviceCaps(0, LOGPIXELSY));
}

}  // namespace orvex
