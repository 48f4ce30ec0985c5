#include "tests/windows/support/test_program.h"

#include "commands/libraries.h"
#include "runtime/program_image.h"
#include "runtime/services.h"
#include "runtime/window_layer.h"

namespace lyra {

namespace {

const LibraryRecord* const kTestLibraries[4] = {
    &kCoreLibraryRecord,
    &kUiLibrary1Record,
    &kUiLibrary2Record,
    &kThreadLibraryRecord,
};

// The same entries at the same indexes as the program's own table.
const char* const kTestExternalLibraries[11] = {
    "wininet.dll", "wininet.dll", "wininet.dll", "wininet.dll", "wininet.dll", "wininet.dll",
    "wininet.dll", "wininet.dll", "ole32.dll",   "",            "ole32.dll",
};
const char* const kTestExternalFunctions[11] = {
    "InternetOpenA",    "InternetCloseHandle", "InternetConnectA", "HttpOpenRequestA",
    "HttpSendRequestA", "HttpSendRequestA",    "InternetReadFile", "HttpQueryInfoA",
    "CoInitialize",     "ShellExecuteExW",     "CoUninitialize",
};

const RoutineTable kNoRoutines = {0, nullptr};

}  // namespace

const ProgramImageHeader kProgramImageHeader = {
    3, 0, 1, &kNoRoutines, nullptr, 0, nullptr, 0, 4, kTestLibraries, 11, kTestExternalLibraries,
    kTestExternalFunctions,
};

const WindowLayer* const kProgramWindowLayer = nullptr;

int ApplicationEntry() { return 0; }

}  // namespace lyra

namespace lyra::test {

void InitialiseTestProgram() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    kServices.RuntimeHelper(kHelperInitialiseProgram, 0, 0, 0, 0, 0, 0);
}

}  // namespace lyra::test
