/* A library left beside a program under a system library's name. Loading it
   writes "<its own path>.loaded" holding the path of the program that loaded
   it. It exports stubs of what a program may import from winmm, msimg32,
   comctl32 and wininet, so that a program importing them still starts. */
#include <stdint.h>
#include <windows.h>

static void WriteMarker(HINSTANCE self) {
    wchar_t path[MAX_PATH + 8];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    lstrcpyW(path + length, L".loaded");
    char loader[MAX_PATH * 3];
    wchar_t program[MAX_PATH];
    DWORD programLength = GetModuleFileNameW(NULL, program, MAX_PATH);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, program, (int)programLength, loader, sizeof loader, NULL, NULL);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, loader, (DWORD)bytes, &written, NULL);
    CloseHandle(file);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void* reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) WriteMarker(self);
    return TRUE;
}

/* Each stub takes its export's arguments (the callee removes them on i686)
   and answers failure. */
#define STUB(name, ...) \
    intptr_t WINAPI Stub_##name(__VA_ARGS__) { return 0; }

STUB(PlaySoundA, intptr_t a, intptr_t b, intptr_t c)
STUB(PlaySoundW, intptr_t a, intptr_t b, intptr_t c)
STUB(AlphaBlend, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t e, intptr_t f, intptr_t g, intptr_t h,
     intptr_t i, intptr_t j, intptr_t k)
STUB(InitCommonControlsEx, intptr_t a)
STUB(ImageList_Read, intptr_t a)
STUB(ImageList_Destroy, intptr_t a)
STUB(ImageList_SetBkColor, intptr_t a, intptr_t b)
STUB(InternetOpenA, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t e)
STUB(InternetCloseHandle, intptr_t a)
STUB(InternetConnectA, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t e, intptr_t f, intptr_t g,
     intptr_t h)
STUB(HttpOpenRequestA, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t e, intptr_t f, intptr_t g,
     intptr_t h)
STUB(HttpSendRequestA, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t e)
STUB(InternetReadFile, intptr_t a, intptr_t b, intptr_t c, intptr_t d)
STUB(HttpQueryInfoA, intptr_t a, intptr_t b, intptr_t c, intptr_t d, intptr_t e)
STUB(InternetSetOptionA, intptr_t a, intptr_t b, intptr_t c, intptr_t d)
