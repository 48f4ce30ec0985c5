// The platform seams of the runtime for native (non-Windows) builds, where
// only the platform-free code runs: the C heap, and errors on stderr.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "runtime/errors.h"
#include "runtime/memory.h"

namespace lyra {

void* PlatformHeapAlloc(size_t n) { return std::malloc(n == 0 ? 1 : n); }
void* PlatformHeapRealloc(void* p, size_t n) { return std::realloc(p, n == 0 ? 1 : n); }
void PlatformHeapFree(void* p) { std::free(p); }

void ShowErrorReport(const std::string& gbkText) {
    std::fwrite(gbkText.data(), 1, gbkText.size(), stderr);
    std::fflush(stderr);
}

void ExitProgram(int exitCode) {
    std::fflush(stdout);
    _exit(exitCode);
}

}  // namespace lyra
