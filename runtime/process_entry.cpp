// Process entry: the framework's main, run on the runtime application object.
#include <windows.h>

#include "runtime/runtime_app.h"
#include "runtime/system_libraries.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    lyra::RestrictLibrarySearch();
    lyra::TheRuntimeApplication();  // linked in, so its static construction has run
    // Straight out after the runtime's shutdown: returning would run the C
    // runtime's exit, whose static destructors would tear down runtime state
    // under workers that may still be running (runtime/threading.h).
    ExitProcess(static_cast<UINT>(framework::RunApplication(instance)));
}
