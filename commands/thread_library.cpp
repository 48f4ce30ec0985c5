#include "commands/thread_library.h"

#include <windows.h>

#include <cstring>

namespace lyra {

void LaunchThread(ValueRecord* result, int32_t count, ValueRecord* args) {
    if (count < 1) return;
    auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(RecordPointer(args[0]));
    void* parameter = nullptr;
    if (count > 1 && IsPresent(args[1])) parameter = reinterpret_cast<void*>(static_cast<uintptr_t>(LowWord(args[1])));
    // The handle variable is a 32-bit one on every build: Windows handles
    // keep their value in 32 bits, and the variable ends where it ends.
    void* handleVariable = nullptr;
    if (count >= 3 && IsPresent(args[2])) handleVariable = RecordPointer(args[2]);

    DWORD threadId = 0;
    HANDLE thread = routine != nullptr ? CreateThread(nullptr, 0, routine, parameter, 0, &threadId) : nullptr;
    SetRecordInt(*result, thread != nullptr ? 1 : 0, 0);
    if (handleVariable != nullptr) {
        uint32_t word = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(thread));
        std::memcpy(handleVariable, &word, sizeof word);
    } else if (thread != nullptr) {
        CloseHandle(thread);
    }
}

}  // namespace lyra
