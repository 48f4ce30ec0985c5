// Process entry: the framework's main, run on the runtime application object.
#include <windows.h>

#include "runtime/runtime_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    lyra::TheRuntimeApplication();  // linked in, so its static construction has run
    return framework::RunApplication(instance);
}
