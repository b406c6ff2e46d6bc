/* Prints what the platform makes of the face "MS Sans Serif" at 96 dpi, with sserife.fon and
   the TrueType files of fonts-wine inside the prefix's windows/Fonts:

     WINEPREFIX=/tmp/p wineboot -i
     (cd /usr/share/wine/fonts && cp *.ttf sserife.fon /tmp/p/drive_c/windows/Fonts)
     x86_64-w64-mingw32-gcc -O2 -o sans_serif.exe sans_serif.c -lgdi32 -luser32
     Xvfb :57 & DISPLAY=:57 WINEPREFIX=/tmp/p wine sans_serif.exe | tr -d '\r' > expected.txt

   (under xvfb-run the display went away before the program had printed everything).

   For each height (em heights of point sizes as a dialog asks for them, then cell heights)
   and weight: the face chosen, the text metrics, the extent of the 52 letters and the base
   units computed from it, the advance of every character 0x20..0xFF, and the base units of a
   dialog built with that font. "ink" lines show the pixels drawn for a short text, one
   string of '#' and '.' per row of the cell. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
static const char kInkText[] = "Hg Wx";

/* The base units of a dialog built from a template with DS_SETFONT naming the face. */
static void DialogUnits(int points, int weight, LONG* x, LONG* y) {
  WORD buffer[128];
  memset(buffer, 0, sizeof buffer);
  WORD* p = buffer;
  DLGTEMPLATE* t = (DLGTEMPLATE*)p;
  t->style = WS_POPUP | DS_SETFONT;
  t->cx = 100;
  t->cy = 100;
  p = (WORD*)(t + 1);
  *p++ = 0; /* menu */
  *p++ = 0; /* class */
  *p++ = 0; /* title */
  *p++ = (WORD)points;
  MultiByteToWideChar(CP_ACP, 0, "MS Sans Serif", -1, (WCHAR*)p, 32);
  (void)weight; /* a DLGTEMPLATE has no weight; see DialogUnitsEx */
  HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(NULL), t, NULL, NULL, 0);
  RECT r = {0, 0, 4, 8};
  MapDialogRect(dialog, &r);
  *x = r.right;
  *y = r.bottom;
  DestroyWindow(dialog);
}

/* The same through a DLGTEMPLATEEX, which carries the weight. */
static void DialogUnitsEx(int points, int weight, LONG* x, LONG* y) {
  WORD buffer[128];
  memset(buffer, 0, sizeof buffer);
  WORD* p = buffer;
  *p++ = 1;      /* dlgVer */
  *p++ = 0xFFFF; /* signature */
  p += 2;        /* helpID */
  p += 2;        /* exStyle */
  DWORD style = WS_POPUP | DS_SETFONT;
  memcpy(p, &style, 4);
  p += 2;
  *p++ = 0; /* cDlgItems */
  p += 2;   /* x, y */
  *p++ = 100;
  *p++ = 100;
  *p++ = 0; /* menu */
  *p++ = 0; /* class */
  *p++ = 0; /* title */
  *p++ = (WORD)points;
  *p++ = (WORD)weight;
  *p++ = 0; /* italic, charset */
  MultiByteToWideChar(CP_ACP, 0, "MS Sans Serif", -1, (WCHAR*)p, 32);
  HWND dialog =
      CreateDialogIndirectParamA(GetModuleHandleA(NULL), (DLGTEMPLATE*)buffer, NULL, NULL, 0);
  RECT r = {0, 0, 4, 8};
  MapDialogRect(dialog, &r);
  *x = r.right;
  *y = r.bottom;
  DestroyWindow(dialog);
}

static void Ink(HDC dc, HFONT font, const char* label) {
  const TEXTMETRICA* unused = NULL;
  (void)unused;
  HDC memory = CreateCompatibleDC(dc);
  BITMAPINFO info;
  memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 96;
  info.bmiHeader.biHeight = -48;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  DWORD* bits = NULL;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HGDIOBJ oldFont = SelectObject(memory, font);
  PatBlt(memory, 0, 0, 96, 48, WHITENESS);
  SetTextColor(memory, RGB(0, 0, 0));
  SetBkMode(memory, TRANSPARENT);
  TextOutA(memory, 0, 0, kInkText, (int)strlen(kInkText));
  GdiFlush();
  TEXTMETRICA tm;
  GetTextMetricsA(memory, &tm);
  SIZE ext;
  GetTextExtentPoint32A(memory, kInkText, (int)strlen(kInkText), &ext);
  printf("%s ink \"%s\" %ld x %ld\n", label, kInkText, ext.cx, tm.tmHeight);
  for (int y = 0; y < tm.tmHeight && y < 48; ++y) {
    char row[97];
    for (int x = 0; x < ext.cx && x < 96; ++x) row[x] = (bits[y * 96 + x] & 0xFFFFFF) == 0 ? '#' : '.';
    row[ext.cx < 96 ? ext.cx : 96] = 0;
    printf("  %s\n", row);
  }
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

static void Report(HDC dc, int height, int points, int weight, int italic) {
  HFONT font = CreateFontA(height, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                           "MS Sans Serif");
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm;
  SIZE ext;
  char real[64];
  GetTextMetricsA(dc, &tm);
  GetTextExtentPoint32A(dc, kLetters, 52, &ext);
  GetTextFaceA(dc, sizeof real, real);
  char label[64];
  snprintf(label, sizeof label, "height %d weight %d italic %d", height, weight, italic);
  printf("%s|face %s\n", label, real);
  printf("%s|tm height %ld ascent %ld descent %ld internal %ld external %ld avecw %ld maxcw %ld "
         "weight %ld overhang %ld first %d last %d default %d break %d italic %d pitch 0x%02X "
         "charset %d\n",
         label, tm.tmHeight, tm.tmAscent, tm.tmDescent, tm.tmInternalLeading,
         tm.tmExternalLeading, tm.tmAveCharWidth, tm.tmMaxCharWidth, tm.tmWeight, tm.tmOverhang,
         (unsigned char)tm.tmFirstChar, (unsigned char)tm.tmLastChar,
         (unsigned char)tm.tmDefaultChar, (unsigned char)tm.tmBreakChar, tm.tmItalic,
         tm.tmPitchAndFamily, tm.tmCharSet);
  printf("%s|letters %ld units %ld x %ld\n", label, ext.cx, (ext.cx / 26 + 1) / 2, tm.tmHeight);
  printf("%s|advances", label);
  for (int c = 0x20; c <= 0xFF; ++c) {
    char one = (char)c;
    SIZE s;
    GetTextExtentPoint32A(dc, &one, 1, &s);
    printf(" %ld", s.cx);
  }
  printf("\n");
  if (points > 0) {
    LONG x, y, xe, ye;
    DialogUnits(points, weight, &x, &y);
    DialogUnitsEx(points, weight, &xe, &ye);
    if (weight == FW_NORMAL && !italic) printf("%s|dialog %d pt: units %ld x %ld\n", label, points, x, y);
    printf("%s|dialogex %d pt weight %d: units %ld x %ld\n", label, points, weight, xe, ye);
  }
  if (points == 8 || points == 9 || points == 10 || points == 12 || points == 14 ||
      (points == 24 && weight == FW_BOLD) || (height == -11 && italic))
    Ink(dc, font, label);
  SelectObject(dc, old);
  DeleteObject(font);
}

int main(void) {
  HDC dc = GetDC(NULL);
  const int points[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24};
  for (size_t i = 0; i < sizeof points / sizeof *points; ++i) {
    const int height = -MulDiv(points[i], GetDeviceCaps(dc, LOGPIXELSY), 72);
    Report(dc, height, points[i], FW_NORMAL, 0);
    Report(dc, height, points[i], FW_BOLD, 0);
    if (points[i] == 8 || points[i] == 10) Report(dc, height, 0, FW_NORMAL, 1);
  }
  /* Cell heights, then heights between and beyond the strikes, and 0 (the default size). */
  const int cells[] = {13, 16, 20, 14, 26, 22, 32, 35, 36, 39, 40, 41, 52, 54, 55, 60, 61,
                       -1, -22, -26, -31, -33, -40, -44, -48, -64, 0, 1};
  for (size_t i = 0; i < sizeof cells / sizeof *cells; ++i) {
    Report(dc, cells[i], 0, FW_NORMAL, 0);
  }
  /* Weights between normal and bold, at 8 pt. */
  const int weights[] = {FW_DONTCARE, FW_THIN, FW_MEDIUM, 550, FW_SEMIBOLD, FW_EXTRABOLD, FW_HEAVY};
  for (size_t i = 0; i < sizeof weights / sizeof *weights; ++i) {
    Report(dc, -11, 0, weights[i], 0);
  }
  ReleaseDC(NULL, dc);
  return 0;
}
