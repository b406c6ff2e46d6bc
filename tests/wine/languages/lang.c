/* Which language FindResource picks among the languages of a resource: the string block
   and raw data #1 to #8 of tests/fixtures/rc/languages.rc, for each UI language. Wine 8
   keeps SetThreadUILanguage's language to itself (GetThreadUILanguage and FindResource go
   on with the process's); its UI language follows the locale, so expected.txt is one run
   per LANG, first line of the loop:

     x86_64-w64-mingw32-windres ../../fixtures/rc/languages.rc -O coff -o lang.res
     x86_64-w64-mingw32-gcc -o lang.exe lang.c lang.res
     for l in C de_DE de_AT de_CH fr_FR en_GB en_AU nl_NL; do echo "== $l"; \
       LC_ALL=$l.UTF-8 LANG=$l.UTF-8 WINEPREFIX=/tmp/p wine lang.exe | sed -n 2p; done

   What it shows: the neutral language (0000) first, then the UI language, then its primary
   language with the neutral sublanguage, then 0409, then 0009, then the lowest stored. */
#include <stdio.h>
#include <windows.h>

static const char *Text(UINT type, UINT id) {
  HRSRC r = FindResourceA(NULL, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
  if (!r) return "(none)";
  return (const char *)LockResource(LoadResource(NULL, r));
}

static void Block(char *out) {
  HRSRC r = FindResourceA(NULL, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(6));
  const WCHAR *p = r ? (const WCHAR *)LockResource(LoadResource(NULL, r)) : NULL;
  out[0] = 0;
  if (!p) { strcpy(out, "(none)"); return; }
  p += p[0] + 1; /* string 0, then string 1 */
  WideCharToMultiByte(CP_ACP, 0, p + 1, p[0], out, 32, NULL, NULL);
  out[p[0]] = 0;
}

int main(void) {
  static const LANGID langs[] = {0, 0x0407, 0x0C07, 0x0807, 0x0007, 0x040C, 0x080C,
                                 0x0411, 0x0413, 0x0416, 0x0409, 0x0809};
  printf("default: %04x\n", GetThreadUILanguage());
  for (unsigned i = 0; i < sizeof langs / sizeof *langs; ++i) {
    char block[64];
    LANGID set = SetThreadUILanguage(langs[i]);
    Block(block);
    printf("%04x -> %04x get=%04x string=%s rc=%s %s %s %s %s %s %s %s\n", langs[i], set,
           GetThreadUILanguage(), block, Text(10, 1), Text(10, 2), Text(10, 3), Text(10, 4),
           Text(10, 5), Text(10, 6), Text(10, 7), Text(10, 8));
  }
  return 0;
}
