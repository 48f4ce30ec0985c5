/* A program that imports winmm statically and limits no library search: run
   beside a planted winmm.dll with Windows' search order, it loads that copy. */
#include <windows.h>
#include <mmsystem.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    PlaySoundW(NULL, NULL, 0);
    return 0;
}
