#include <windows.h>
#include <stdio.h>
int main(void){ for(int i=0;i<=30;i++) printf("%d %06lX\n", i, (unsigned long)GetSysColor(i));
 NONCLIENTMETRICSA m; m.cbSize=sizeof m; SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
 printf("caption font %s %ld %ld\n", m.lfCaptionFont.lfFaceName, m.lfCaptionFont.lfHeight, m.lfCaptionFont.lfWeight);
 printf("msg font %s %ld\n", m.lfMessageFont.lfFaceName, m.lfMessageFont.lfHeight);
 printf("gradient %d\n", GetSystemMetrics(SM_CXSIZE)); BOOL g=0; SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS,0,&g,0); printf("gradcaps %d\n", g); return 0;}
