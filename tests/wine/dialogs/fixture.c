/* Builds every template of tests/fixtures/rc/dialogs.dll inside a child "picture box" with
   no dialog procedure and prints what the platform made of each: the lines of dialogs.c,
   then the dialog's caption, font and position, each control's text (and the sizes the
   list, combo and picture controls settled on), and the last error of every failure. Also
   asks for a child template with no parent window, two missing templates and the base
   units of the system font.

     x86_64-w64-mingw32-gcc -O2 -o fixture.exe fixture.c -lgdi32 -lcomctl32
     WINEPREFIX=/tmp/p xvfb-run -a wine fixture.exe ../../fixtures/rc/dialogs.dll \
       > expected_fixture.txt
*/
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>

/* Window text with everything outside printable ASCII as \xNN, so an ordinal title shows. */
static void PrintText(HWND w) {
  char text[256];
  int n = GetWindowTextA(w, text, sizeof text);
  putchar('"');
  for (int i = 0; i < n; ++i) {
    unsigned char c = (unsigned char)text[i];
    if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\')
      printf("\\x%02X", c);
    else
      putchar(c);
  }
  putchar('"');
}

/* What the list, combo and picture controls made of their template sizes. */
static void Details(HWND ch, const char* cls) {
  if (!lstrcmpiA(cls, "ListBox")) {
    printf("    item height %ld\n", (long)SendMessageA(ch, LB_GETITEMHEIGHT, 0, 0));
  } else if (!lstrcmpiA(cls, "ComboBox")) {
    RECT d;
    SendMessageA(ch, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)&d);
    printf("    field height %ld item height %ld dropped %ld x %ld\n",
           (long)SendMessageA(ch, CB_GETITEMHEIGHT, (WPARAM)-1, 0),
           (long)SendMessageA(ch, CB_GETITEMHEIGHT, 0, 0), d.right - d.left, d.bottom - d.top);
  } else if (!lstrcmpiA(cls, "Static")) {
    LONG type = GetWindowLongA(ch, GWL_STYLE) & SS_TYPEMASK;
    if (type == SS_ICON)
      printf("    icon %s\n", SendMessageA(ch, STM_GETICON, 0, 0) ? "yes" : "no");
    else if (type == SS_BITMAP)
      printf("    bitmap %s\n", SendMessageA(ch, STM_GETIMAGE, IMAGE_BITMAP, 0) ? "yes" : "no");
  }
}

static void Show(const char* label, HWND dlg, HWND top, HWND box) {
  DWORD error = GetLastError();
  printf("== %s\n", label);
  printf("created %d\n", dlg != NULL);
  if (!dlg) {
    printf("last error %lu\n", (unsigned long)error);
    return;
  }
  HWND parent = GetParent(dlg);
  HWND owner = GetWindow(dlg, GW_OWNER);
  printf("parent %s owner %s\n",
         parent == box   ? "box"
         : parent == top ? "top"
         : parent        ? "other"
                         : "none",
         owner == box   ? "box"
         : owner == top ? "top"
         : owner        ? "other"
                        : "none");
  printf("style %08lX exstyle %08lX\n", (unsigned long)GetWindowLongA(dlg, GWL_STYLE),
         (unsigned long)GetWindowLongA(dlg, GWL_EXSTYLE));
  RECT r, c;
  GetWindowRect(dlg, &r);
  GetClientRect(dlg, &c);
  printf("window %ld x %ld client %ld x %ld\n", r.right - r.left, r.bottom - r.top, c.right,
         c.bottom);
  RECT u = {0, 0, 4, 8};
  MapDialogRect(dlg, &u);
  printf("base units %ld x %ld\n", u.right, u.bottom);
  /* Where the window's corner lies in the top window's client area. */
  MapWindowPoints(NULL, top, (POINT*)&r, 2);
  printf("position %ld %ld in top\n", r.left, r.top);
  printf("caption ");
  PrintText(dlg);
  putchar('\n');
  LOGFONTA lf;
  HFONT font = (HFONT)SendMessageA(dlg, WM_GETFONT, 0, 0);
  if (font && GetObjectA(font, sizeof lf, &lf)) {
    printf("font \"%s\" height %ld weight %ld italic %d charset %d\n", lf.lfFaceName, lf.lfHeight,
           lf.lfWeight, lf.lfItalic, lf.lfCharSet);
    /* The face the name resolved to and its cell height, which gives the vertical unit. */
    HDC dc = GetDC(dlg);
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE];
    TEXTMETRICA tm;
    GetTextFaceA(dc, sizeof face, face);
    GetTextMetricsA(dc, &tm);
    printf("selected \"%s\" tmHeight %ld tmAveCharWidth %ld\n", face, tm.tmHeight,
           tm.tmAveCharWidth);
    SelectObject(dc, old);
    ReleaseDC(dlg, dc);
  } else {
    printf("font none\n");
  }
  /* z-order runs from the first created to the last; walk it as is. */
  for (HWND ch = GetWindow(dlg, GW_CHILD); ch; ch = GetWindow(ch, GW_HWNDNEXT)) {
    char cls[64];
    GetClassNameA(ch, cls, sizeof cls);
    RECT cr;
    GetWindowRect(ch, &cr);
    MapWindowPoints(NULL, dlg, (POINT*)&cr, 2);
    printf("  %-18s id %6d style %08lX rect %ld %ld %ld %ld text ", cls, GetDlgCtrlID(ch),
           (unsigned long)GetWindowLongA(ch, GWL_STYLE), cr.left, cr.top, cr.right - cr.left,
           cr.bottom - cr.top);
    PrintText(ch);
    printf(" exstyle %08lX\n", (unsigned long)GetWindowLongA(ch, GWL_EXSTYLE));
    Details(ch, cls);
  }
}

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  HINSTANCE self = GetModuleHandleA(NULL);
  WNDCLASSA wc = {0};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = self;
  wc.lpszClassName = "Top";
  RegisterClassA(&wc);
  HWND top =
      CreateWindowExA(0, "Top", "top", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, NULL, NULL, self, NULL);
  HWND box = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 30, 40, 200, 100, top, NULL,
                             self, NULL);
  HMODULE fixture = LoadLibraryA(argc > 1 ? argv[1] : "dialogs.dll");
  if (!fixture) {
    printf("cannot load the fixture: error %lu\n", (unsigned long)GetLastError());
    return 1;
  }
  static const struct {
    const char* label;
    const char* name;
  } kTemplates[] = {
      {"fixture 100 (every class)", MAKEINTRESOURCEA(100)},
      {"fixture 101 (classic pop-up)", MAKEINTRESOURCEA(101)},
      {"fixture NAMED (resizable pop-up)", "NAMED"},
      {"fixture 102 (unregistered class)", MAKEINTRESOURCEA(102)},
      {"fixture 103 (unregistered class, DS_NOFAILCREATE)", MAKEINTRESOURCEA(103)},
      {"fixture 104 (child with caption)", MAKEINTRESOURCEA(104)},
      {"fixture 105 (bold italic font)", MAKEINTRESOURCEA(105)},
      {"fixture #999 (missing number)", "#999"},
      {"fixture 999 (missing name)", "999"},
  };
  for (size_t i = 0; i < sizeof kTemplates / sizeof kTemplates[0]; ++i) {
    SetLastError(0);
    HWND dlg = CreateDialogParamA(fixture, kTemplates[i].name, box, NULL, 0);
    Show(kTemplates[i].label, dlg, top, box);
    if (dlg) DestroyWindow(dlg);
  }
  SetLastError(0);
  HWND orphan = CreateDialogParamA(fixture, MAKEINTRESOURCEA(100), NULL, NULL, 0);
  Show("fixture 100 with no parent", orphan, top, box);
  if (orphan) DestroyWindow(orphan);
  LONG units = GetDialogBaseUnits();
  printf("== GetDialogBaseUnits\n%d x %d\n", LOWORD(units), HIWORD(units));
  return 0;
}
