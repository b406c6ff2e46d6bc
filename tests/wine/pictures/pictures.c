/* Asks the platform what LoadImageA and OleCreatePictureIndirect give for a few images of
 * Wine's own modules, as the picture members call them (cx = cy = 0, LR_LOADMAP3DCOLORS),
 * and prints one line per image: picture Type/Width/Height, pixel size, hotspot, the
 * bitmap's GetObject fields and FNV-1a hashes of the 32-bit top-down pixels GetDIBits gives
 * (colour, and the mask for icons). Also prints the default scheme's system colours.
 *
 *   x86_64-w64-mingw32-gcc -O2 pictures.c -o pictures.exe -lole32 -loleaut32 -lgdi32 -luser32 -luuid
 *   WINEDEBUG=-all wine pictures.exe /usr/lib/x86_64-linux-gnu/wine/x86_64-windows > expected.txt
 *   WINEDEBUG=-all wine pictures.exe - ../../fixtures/rc > expected_images.txt
 *
 * The second form reads the project's own images.dll (tests/fixtures/rc) instead.
 */
#include <windows.h>
#include <olectl.h>
#include <stdio.h>

static unsigned long long Fnv(const unsigned char* p, size_t n) {
  unsigned long long h = 1469598103934665603ULL;
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ULL;
  return h;
}

static void Bits(const char* label, HBITMAP bitmap) {
  BITMAP bm;
  if (!GetObjectA(bitmap, sizeof bm, &bm)) {
    printf(" %s=none", label);
    return;
  }
  BITMAPINFO info = {0};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = bm.bmWidth;
  info.bmiHeader.biHeight = -bm.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  size_t size = (size_t)bm.bmWidth * bm.bmHeight * 4;
  unsigned char* words = calloc(1, size);
  HDC dc = GetDC(0);
  int rows = GetDIBits(dc, bitmap, 0, bm.bmHeight, words, &info, DIB_RGB_COLORS);
  ReleaseDC(0, dc);
  printf(" %s=%ldx%ld,bpp%u,stride%ld,rows%d,fnv%016llx", label, bm.bmWidth, bm.bmHeight,
         bm.bmBitsPixel, bm.bmWidthBytes, rows, Fnv(words, size));
  free(words);
}

static void Show(const char* folder, const char* file, UINT type, int id) {
  char path[MAX_PATH];
  snprintf(path, sizeof path, "%s\\%s", folder, file);
  HMODULE module = LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
  HANDLE handle = LoadImageA(module, MAKEINTRESOURCEA(id), type, 0, 0, LR_LOADMAP3DCOLORS);
  printf("%s %u #%d", file, type, id);
  if (!handle) {
    printf(" none error=%lu\n", GetLastError());
    return;
  }
  PICTDESC desc = {0};
  desc.cbSizeofstruct = sizeof desc;
  IPicture* picture = NULL;
  if (type == IMAGE_BITMAP) {
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = (HBITMAP)handle;
  } else {
    desc.picType = PICTYPE_ICON;
    desc.icon.hicon = (HICON)handle;
  }
  OleCreatePictureIndirect(&desc, &IID_IPicture, FALSE, (void**)&picture);
  SHORT picType = -1;
  OLE_XSIZE_HIMETRIC width = -1, height = -1;
  if (picture) {
    picture->lpVtbl->get_Type(picture, &picType);
    picture->lpVtbl->get_Width(picture, &width);
    picture->lpVtbl->get_Height(picture, &height);
  }
  printf(" Type=%d Width=%ld Height=%ld", picType, width, height);
  if (type == IMAGE_BITMAP) {
    Bits("bitmap", (HBITMAP)handle);
  } else {
    ICONINFO info;
    GetIconInfo((HICON)handle, &info);
    printf(" fIcon=%d hotspot=%lu,%lu", info.fIcon, info.xHotspot, info.yHotspot);
    Bits("color", info.hbmColor);
    Bits("mask", info.hbmMask);
  }
  printf("\n");
  if (picture) picture->lpVtbl->Release(picture);
}

int main(int argc, char** argv) {
  if (argc > 2) {
    static const struct {
      UINT type;
      int id;
    } images[] = {{IMAGE_BITMAP, 101}, {IMAGE_BITMAP, 102}, {IMAGE_BITMAP, 103},
                  {IMAGE_BITMAP, 104}, {IMAGE_BITMAP, 105}, {IMAGE_ICON, 201},
                  {IMAGE_ICON, 202},   {IMAGE_CURSOR, 301}};
    for (int i = 0; i < 8; ++i) Show(argv[2], "images.dll", images[i].type, images[i].id);
    return 0;
  }
  const char* folder = argc > 1 ? argv[1] : "C:\\windows\\system32";
  static const int colours[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_3DFACE, COLOR_3DSHADOW,
                                COLOR_BTNTEXT, COLOR_3DHILIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT};
  printf("syscolors");
  for (int i = 0; i < 8; ++i) printf(" %d=%06lx", colours[i], GetSysColor(colours[i]));
  printf("\n");
  HDC dc = GetDC(0);
  printf("screen bpp=%d dpi=%d\n", GetDeviceCaps(dc, BITSPIXEL), GetDeviceCaps(dc, LOGPIXELSX));
  ReleaseDC(0, dc);
  Show(folder, "shell32.dll", IMAGE_ICON, 1);
  Show(folder, "user32.dll", IMAGE_CURSOR, 32512);
  Show(folder, "comctl32.dll", IMAGE_BITMAP, 120);
  Show(folder, "cards.dll", IMAGE_BITMAP, 1);
  return 0;
}
