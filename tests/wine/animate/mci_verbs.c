/* MCI answers for each verb on a name that is not open, and the avivideo device's window,
   window placement and open options. Build and run as animate.c (clips from make_clips.py):
     x86_64-w64-mingw32-gcc -o mci_verbs.exe mci_verbs.c -lwinmm
     WINEPREFIX=/tmp/p xvfb-run -a wine mci_verbs.exe > expected_verbs.txt */
#include <windows.h>
#include <stdio.h>
static void Mci(const char* command) {
  char reply[128] = "";
  MCIERROR e = mciSendStringA(command, reply, 127, 0);
  printf("[%s] -> %lu \"%s\"\n", command, e, reply);
}
static BOOL CALLBACK PrintChild(HWND w, LPARAM p) {
  RECT r; GetClientRect(w, &r);
  printf("  style %08lx %ldx%ld\n", (unsigned long)GetWindowLongA(w, GWL_STYLE), r.right, r.bottom);
  return TRUE;
}
int main(void) {
  const char* verbs[] = {"open","close","play","stop","pause","resume","seek","status","set","where","put","window","info","capability","record","save","cue","sysinfo","update","realize","break","load","step","freeze","unfreeze","signal","list","configure"};
  char c[128];
  for (int i = 0; i < sizeof verbs / sizeof *verbs; ++i) { snprintf(c, sizeof c, "%s other", verbs[i]); Mci(c); }
  HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, 0, 0, 0, 0);
  snprintf(c, sizeof c, "open raw24.avi type avivideo alias video parent %lu style child", (unsigned long)(ULONG_PTR)parent);
  Mci(c);
  EnumChildWindows(parent, PrintChild, 0);
  Mci("put video window at 1 2 3 4 5");
  Mci("put video window at -1 -2 30 40");
  Mci("where video window");
  Mci("play video repeat");
  EnumChildWindows(parent, PrintChild, 0);
  Mci("status video mode");
  Mci("play video from 0 to 1");
  Mci("close video");
  snprintf(c, sizeof c, "open \"raw24.avi\" type avivideo alias v2 style child parent %lu", (unsigned long)(ULONG_PTR)parent);
  Mci(c);
  Mci("status v2 length");
  Mci("close v2");
  Mci("open raw24.avi type avivideo alias v3");
  Mci("close v3");
  Mci("open raw24.avi type avivideo alias v4 parent 12345 style child");
  Mci("close v4");
  Mci("open raw24.avi type avivideo alias v5 parent x style child");
  Mci("close v5");
  Mci("open raw24.avi alias v6 type");
  return 0;
}
