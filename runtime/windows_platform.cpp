// The platform seams of the runtime on Windows: the process heap, the
// error box and the way out of the process.
#include <windows.h>

#include "runtime/errors.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/runtime_app.h"

namespace lyra {

void* PlatformHeapAlloc(size_t n) { return HeapAlloc(GetProcessHeap(), 0, n); }
void* PlatformHeapRealloc(void* p, size_t n) { return HeapReAlloc(GetProcessHeap(), 0, p, n); }
void PlatformHeapFree(void* p) { HeapFree(GetProcessHeap(), 0, p); }

void ShowErrorReport(const std::string& gbkText) {
    MessageBoxW(nullptr, GbkToWide(gbkText.c_str(), gbkText.size()).c_str(), GbkToWide("错误").c_str(),
                MB_ICONERROR);
}

void ExitProgram(int exitCode) {
    TheRuntimeApplication().Shutdown(exitCode);
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace lyra
