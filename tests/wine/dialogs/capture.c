/* Shows the platform's Find dialog (comdlg32 #1540) and fixture dialogs 100 and 101 and
   writes what was drawn for each window, frame included, as a 24-bit BMP: the window DC is
   copied with BitBlt into a DIB section once the dialog has painted. Fixture 100 is a child
   dialog larger than the picture box of fixture.c, so here its parent is the top window,
   where nothing clips it. The pictures are visual references, not pixel goldens.

   With no window manager Wine leaves captions and frames to the X server unless told to
   draw them itself, so the prefix gets that setting first, under the same display:

     x86_64-w64-mingw32-gcc -O2 -o capture.exe capture.c -lgdi32 -lcomctl32
     WINEPREFIX=/tmp/p xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
       "wine reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Decorated /d N /f &&
        wine capture.exe ../../fixtures/rc/dialogs.dll"
     python3 bmp_to_png.py wine_find.bmp wine_find.png  (and so on for each picture)
*/
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>

/* Lets every window of the thread handle its pending paint messages. */
static void Pump(void) {
  for (int round = 0; round < 30; ++round) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
}

static int WriteBmp(const char* path, const BITMAPINFOHEADER* header, const void* bits) {
  DWORD stride = ((DWORD)header->biWidth * 3 + 3) & ~3u;
  DWORD size = stride * (DWORD)header->biHeight;
  BITMAPFILEHEADER file = {0};
  file.bfType = 0x4D42; /* "BM" */
  file.bfOffBits = sizeof file + sizeof *header;
  file.bfSize = file.bfOffBits + size;
  FILE* out = fopen(path, "wb");
  if (!out) return 0;
  int ok = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(header, sizeof *header, 1, out) == 1 &&
           fwrite(bits, size, 1, out) == 1;
  return fclose(out) == 0 && ok;
}

static void Capture(const char* label, HWND w, const char* path) {
  if (!w) {
    printf("%s: not created (error %lu)\n", label, (unsigned long)GetLastError());
    return;
  }
  ShowWindow(w, SW_SHOW);
  UpdateWindow(w);
  Pump();
  RECT r;
  GetWindowRect(w, &r);
  BITMAPINFOHEADER header = {0};
  header.biSize = sizeof header;
  header.biWidth = r.right - r.left;
  header.biHeight = r.bottom - r.top; /* bottom-up, as a BMP file stores rows */
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  void* bits = NULL;
  HDC screen = GetDC(NULL);
  HBITMAP dib = CreateDIBSection(screen, (BITMAPINFO*)&header, DIB_RGB_COLORS, &bits, NULL, 0);
  ReleaseDC(NULL, screen);
  HDC memory = CreateCompatibleDC(NULL);
  HGDIOBJ old = SelectObject(memory, dib);
  HDC source = GetWindowDC(w);
  BOOL copied = BitBlt(memory, 0, 0, header.biWidth, header.biHeight, source, 0, 0, SRCCOPY);
  ReleaseDC(w, source);
  GdiFlush();
  int written = copied && WriteBmp(path, &header, bits);
  printf("%s: %ld x %ld %s %s\n", label, header.biWidth, header.biHeight, path,
         written ? "written" : "failed");
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(dib);
}

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  HINSTANCE self = GetModuleHandleA(NULL);
  WNDCLASSA wc = {0};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = self;
  wc.hbrBackground = (HBRUSH)(COLOR_APPWORKSPACE + 1);
  wc.lpszClassName = "Top";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "Top", "top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600,
                             NULL, NULL, self, NULL);
  HWND box = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 30, 40, 200, 100, top, NULL,
                             self, NULL);
  UpdateWindow(top);
  HMODULE comdlg = LoadLibraryA("comdlg32.dll");
  HMODULE fixture = LoadLibraryA(argc > 1 ? argv[1] : "dialogs.dll");
  HWND find = CreateDialogParamA(comdlg, MAKEINTRESOURCEA(1540), box, NULL, 0);
  Capture("comdlg32 1540", find, "wine_find.bmp");
  DestroyWindow(find);
  HWND child = CreateDialogParamA(fixture, MAKEINTRESOURCEA(100), top, NULL, 0);
  Capture("fixture 100", child, "wine_fixture100.bmp");
  DestroyWindow(child);
  HWND popup = CreateDialogParamA(fixture, MAKEINTRESOURCEA(101), box, NULL, 0);
  Capture("fixture 101", popup, "wine_fixture101.bmp");
  DestroyWindow(popup);
  return 0;
}
