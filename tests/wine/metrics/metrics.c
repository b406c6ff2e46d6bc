/* Prints the system metrics, non-client insets of AdjustWindowRectEx over a table of
   styles and extended styles, and the dialog base units of the system font. */
#include <windows.h>
#include <stdio.h>
int main(void){
  int ids[]={SM_CXSCREEN,SM_CYSCREEN,SM_CXFRAME,SM_CYFRAME,SM_CYCAPTION,SM_CXDLGFRAME,SM_CYDLGFRAME,SM_CXEDGE,SM_CYEDGE,SM_CXBORDER,SM_CYBORDER,SM_CXICON,SM_CYICON,SM_CXSMICON,SM_CYSMICON,SM_CXVSCROLL,SM_CYHSCROLL,SM_CYMENU,SM_CYSMCAPTION,SM_CXPADDEDBORDER};
  const char*n[]={"SM_CXSCREEN","SM_CYSCREEN","SM_CXFRAME","SM_CYFRAME","SM_CYCAPTION","SM_CXDLGFRAME","SM_CYDLGFRAME","SM_CXEDGE","SM_CYEDGE","SM_CXBORDER","SM_CYBORDER","SM_CXICON","SM_CYICON","SM_CXSMICON","SM_CYSMICON","SM_CXVSCROLL","SM_CYHSCROLL","SM_CYMENU","SM_CYSMCAPTION","SM_CXPADDEDBORDER"};
  for(int i=0;i<20;i++) printf("%s %d %d\n",n[i],ids[i],GetSystemMetrics(ids[i]));
  DWORD st[]={WS_CAPTION,WS_BORDER,WS_DLGFRAME,WS_THICKFRAME,WS_CAPTION|WS_THICKFRAME,WS_POPUP,WS_CHILD,WS_POPUP|WS_CAPTION|DS_MODALFRAME};
  DWORD ex[]={0,WS_EX_DLGMODALFRAME,WS_EX_CLIENTEDGE,WS_EX_WINDOWEDGE,WS_EX_STATICEDGE};
  for(int i=0;i<8;i++)for(int j=0;j<5;j++){RECT r={0,0,0,0};AdjustWindowRectEx(&r,st[i],FALSE,ex[j]);printf("adjust %08lX %08lX %ld %ld %ld %ld\n",st[i],ex[j],r.left,r.top,r.right,r.bottom);}
  printf("dbu %08lX\n",GetDialogBaseUnits());
  return 0;}
