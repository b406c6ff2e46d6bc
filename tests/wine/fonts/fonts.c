/* Prints, for several faces and point sizes at 96 dpi, the text metrics and the extent of
   the 52 letters from which dialog base units are computed. */
#include <windows.h>
#include <stdio.h>

int main(void) {
  const char* faces[] = {"MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "MS Sans Serif", "System"};
  const int sizes[] = {8, 9, 10, 12};
  const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  HDC dc = GetDC(NULL);
  for (int f = 0; f < 5; ++f)
    for (int s = 0; s < 4; ++s) {
      HFONT font = CreateFontA(-MulDiv(sizes[s], 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                               faces[f]);
      HGDIOBJ old = SelectObject(dc, font);
      TEXTMETRICA tm;
      SIZE ext;
      char real[64];
      GetTextMetricsA(dc, &tm);
      GetTextExtentPoint32A(dc, letters, 52, &ext);
      GetTextFaceA(dc, sizeof real, real);
      printf("%s|%d|%s|height %ld ascent %ld descent %ld avecw %ld extent %ld units %ld x %ld\n", faces[f], sizes[s],
             real, tm.tmHeight, tm.tmAscent, tm.tmDescent, tm.tmAveCharWidth, ext.cx, (ext.cx / 26 + 1) / 2,
             tm.tmHeight);
      SelectObject(dc, old);
      DeleteObject(font);
    }
  return 0;
}
