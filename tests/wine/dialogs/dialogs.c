/* Creates two platform dialogs inside a child "picture box" and prints what the platform
   made of them: parent, styles, sizes, base units and every child control. */
#include <commctrl.h>
#include <stdio.h>
#include <windows.h>

static INT_PTR CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  (void)h;
  (void)m;
  (void)w;
  (void)l;
  return FALSE;
}

static void Show(const char* label, HWND dlg, HWND top, HWND box) {
  printf("== %s\n", label);
  printf("created %d\n", dlg != NULL);
  if (!dlg) return;
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
  /* z-order runs from the first created to the last; walk it as is. */
  for (HWND ch = GetWindow(dlg, GW_CHILD); ch; ch = GetWindow(ch, GW_HWNDNEXT)) {
    char cls[64];
    GetClassNameA(ch, cls, sizeof cls);
    RECT cr;
    GetWindowRect(ch, &cr);
    MapWindowPoints(NULL, dlg, (POINT*)&cr, 2);
    printf("  %-18s id %6d style %08lX rect %ld %ld %ld %ld\n", cls, GetDlgCtrlID(ch),
           (unsigned long)GetWindowLongA(ch, GWL_STYLE), cr.left, cr.top, cr.right - cr.left,
           cr.bottom - cr.top);
  }
}

int main(void) {
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
  HMODULE comdlg = LoadLibraryA("comdlg32.dll");
  HMODULE aclui = LoadLibraryA("aclui.dll");
  Show("comdlg32 1540", CreateDialogParamA(comdlg, MAKEINTRESOURCEA(1540), box, Proc, 0), top, box);
  Show("aclui 100", CreateDialogParamA(aclui, MAKEINTRESOURCEA(100), box, Proc, 0), top, box);
  return 0;
}
