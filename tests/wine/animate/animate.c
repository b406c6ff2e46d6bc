/* What the platform's animation control and MCI avivideo device answer. Build and run (clips
   from make_clips.py in the current folder, the prefix of ../README.md):
     python3 make_clips.py .
     x86_64-w64-mingw32-gcc -o animate.exe animate.c -lcomctl32 -lwinmm
     WINEPREFIX=/tmp/p xvfb-run -a wine animate.exe > expected.txt */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

static void PrintRect(const char* what, HWND w) {
  RECT r;
  POINT p = {0, 0};
  GetClientRect(w, &r);
  MapWindowPoints(w, GetParent(w), &p, 1);
  printf("  %s: at %ld,%ld client %ldx%ld\n", what, p.x, p.y, r.right, r.bottom);
}

static void Animate(HWND parent) {
  static const char* clips[] = {"raw24.avi", "rle8.avi", "audio.avi", "cram.avi", "missing.avi"};
  static const DWORD styles[] = {0, ACS_CENTER, ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY,
                                 ACS_AUTOPLAY};
  for (int s = 0; s < 4; ++s) {
    for (int c = 0; c < 5; ++c) {
      HWND a = CreateWindowExA(0, "SysAnimate32", "", WS_CHILD | WS_VISIBLE | styles[s], 10, 20,
                               200, 150, parent, 0, 0, 0);
      LRESULT opened = SendMessageA(a, ACM_OPENA, 0, (LPARAM)clips[c]);
      printf("style %lu %s: ACM_OPENA %ld playing %ld\n", styles[s], clips[c], (long)opened,
             (long)SendMessageA(a, ACM_ISPLAYING, 0, 0));
      PrintRect("after open", a);
      if (opened) {
        printf("  ACM_PLAY(-1, 0..-1) %ld playing %ld\n",
               (long)SendMessageA(a, ACM_PLAY, (WPARAM)-1, MAKELONG(0, 0xFFFF)),
               (long)SendMessageA(a, ACM_ISPLAYING, 0, 0));
        printf("  ACM_STOP %ld playing %ld\n", (long)SendMessageA(a, ACM_STOP, 0, 0),
               (long)SendMessageA(a, ACM_ISPLAYING, 0, 0));
        printf("  ACM_PLAY(1, 5..9) %ld\n", (long)SendMessageA(a, ACM_PLAY, 1, MAKELONG(5, 9)));
        printf("  ACM_PLAY(1, 2..1) %ld\n", (long)SendMessageA(a, ACM_PLAY, 1, MAKELONG(2, 1)));
        printf("  ACM_OPENA(0) %ld playing %ld\n", (long)SendMessageA(a, ACM_OPENA, 0, 0),
               (long)SendMessageA(a, ACM_ISPLAYING, 0, 0));
        PrintRect("after close", a);
        printf("  ACM_PLAY closed %ld\n", (long)SendMessageA(a, ACM_PLAY, (WPARAM)-1, -1));
      }
      DestroyWindow(a);
    }
  }
  HWND a = CreateWindowExA(0, "SysAnimate32", "", WS_CHILD, 0, 0, 10, 10, parent, 0, 0, 0);
  printf("ACM_OPENA shell32 #150 %ld\n",
         (long)SendMessageA(a, ACM_OPENA, (WPARAM)GetModuleHandleA("shell32.dll") ?:
                            (WPARAM)LoadLibraryA("shell32.dll"), (LPARAM)MAKEINTRESOURCE(150)));
  PrintRect("shell32 #150", a);
  DestroyWindow(a);
}

static void Mci(const char* command, UINT length) {
  char reply[128] = "untouched";
  MCIERROR e = mciSendStringA(command, reply, length, 0);
  char text[256] = "";
  BOOL known = mciGetErrorStringA(e, text, sizeof text);
  printf("[%s] len %u -> %lu reply \"%s\"", command, length, e, length ? reply : "");
  if (e) printf(" text(%d) \"%s\"", known, text);
  printf("\n");
}

static BOOL CALLBACK PrintChild(HWND w, LPARAM parent) {
  char name[64];
  GetClassNameA(w, name, sizeof name);
  printf("  child class \"%s\" style %08lx exstyle %08lx parent ok %d\n", name,
         (unsigned long)GetWindowLongA(w, GWL_STYLE), (unsigned long)GetWindowLongA(w, GWL_EXSTYLE),
         GetParent(w) == (HWND)parent);
  PrintRect("video window", w);
  return TRUE;
}

static void Commands(HWND parent) {
  char open[256];
  snprintf(open, sizeof open, "open raw24.avi Type avivideo Alias video parent %lu Style child",
           (unsigned long)(ULONG_PTR)parent);
  Mci(open, 0);
  EnumChildWindows(parent, PrintChild, (LPARAM)parent);
  Mci(open, 0);
  Mci("Where video destination", 127);
  Mci("where video destination", 5);
  Mci("where video source", 127);
  Mci("where video window", 127);
  Mci("status video mode", 127);
  Mci("status video length", 127);
  Mci("status video position", 127);
  Mci("put video window at 3 4 70 50", 0);
  EnumChildWindows(parent, PrintChild, (LPARAM)parent);
  Mci("where video destination", 127);
  Mci("where video window", 127);
  Mci("play video repeat", 0);
  Mci("status video mode", 127);
  Mci("stop video", 0);
  Mci("status video mode", 127);
  Mci("status video position", 127);
  Mci("play video", 0);
  Mci("stop video", 0);
  Mci("put video window at 1 2", 0);
  Mci("put video window at a b c d", 0);
  Mci("where video", 127);
  Mci("where video nonsense", 127);
  Mci("play video nonsense", 0);
  Mci("status video", 127);
  Mci("status video nonsense", 127);
  Mci("frobnicate video", 0);
  Mci("where other destination", 127);
  Mci("status other mode", 127);
  Mci("play other", 0);
  Mci("stop other", 0);
  Mci("close other", 0);
  Mci("PLAY VIDEO REPEAT", 0);
  Mci("STOP VIDEO", 0);
  Mci("close video", 0);
  Mci("close video", 0);
  EnumChildWindows(parent, PrintChild, (LPARAM)parent);
  snprintf(open, sizeof open,
           "open missing.avi Type avivideo Alias video parent %lu Style child",
           (unsigned long)(ULONG_PTR)parent);
  Mci(open, 0);
  snprintf(open, sizeof open, "open rle8.avi type avivideo alias clip parent %lu style child",
           (unsigned long)(ULONG_PTR)parent);
  Mci(open, 0);
  Mci("where clip destination", 127);
  Mci("status clip length", 127);
  Mci("close clip", 0);
  snprintf(open, sizeof open, "open cram.avi type avivideo alias clip parent %lu style child",
           (unsigned long)(ULONG_PTR)parent);
  Mci(open, 0);
  Mci("close clip", 0);
  Mci("open raw24.avi type avivideo alias", 0);
  Mci("open type avivideo alias x", 0);
  Mci("open", 0);
  Mci("", 0);
  for (MCIERROR e = 256; e <= 300; ++e) {
    char text[256] = "";
    if (mciGetErrorStringA(e, text, sizeof text)) printf("error %lu \"%s\"\n", e, text);
  }
}

int main(void) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&icc);
  HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, 0, 0, 0,
                                0);
  Animate(parent);
  Commands(parent);
  DestroyWindow(parent);
  return 0;
}
