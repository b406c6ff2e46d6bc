/* How the avivideo device takes the open command of ShowAVI: a clip path with a space,
   unquoted and quoted, the destination reply of an opened clip, and a second open of the
   alias "video" while it is taken. Runs beside a copy of tests/fixtures/media/raw24.avi
   (7 x 5) and needs a display (xvfb-run):
     x86_64-w64-mingw32-gcc -o open.exe open.c -lwinmm
     cp ../../fixtures/media/raw24.avi . && xvfb-run -a wine open.exe */
#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>

int main(void) {
  static const char* const kCommands[] = {
      "open C:\\mci open\\clip one.avi Type avivideo Alias video Style child",
      "open \"C:\\mci open\\clip one.avi\" Type avivideo Alias video",
      "Where video destination",
      "open C:\\mciclip.avi Type avivideo Alias video",
      "close video",
      "open C:\\mciclip.avi Type avivideo Alias video",
      "Where video destination",
      "close video",
  };
  CreateDirectoryA("C:\\mci open", NULL);
  CopyFileA("raw24.avi", "C:\\mci open\\clip one.avi", FALSE);
  CopyFileA("raw24.avi", "C:\\mciclip.avi", FALSE);
  for (int i = 0; i < (int)(sizeof kCommands / sizeof kCommands[0]); ++i) {
    char reply[128] = "";
    MCIERROR error = mciSendStringA(kCommands[i], reply, 127, 0);
    printf("%s -> %lu [%s]\n", kCommands[i], (unsigned long)error, reply);
  }
  return 0;
}
