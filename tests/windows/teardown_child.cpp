// The program's own window template on the runtime, with routines that do
// nothing, and a worker that uses the lists and properties while the window
// goes and the runtime shuts down. The scenario (first argument) says when
// the worker runs; the second argument names the log file.
//
//   held:  the worker fills a row, closes the window, and is held until the
//          runtime's shutdown has begun (the exit routine lets it go); then
//          it uses the list and the properties again.
//   loop:  the worker fills rows and writes the status without pause, and
//          closes the window after a few rows; it never stops by itself.
#include <windows.h>

#include <string>

#include "app/services.h"
#include "commands/libraries.h"
#include "commands/list_view_commands.h"
#include "data/routine_indices.h"
#include "runtime/request_codes.h"
#include "runtime/runtime_app.h"
#include "runtime/window_layer.h"
#include "tests/windows/support/child_program.h"
#include "window_units/window_units.h"

namespace lyra {

extern const uint8_t kTeardownWindowTemplate[];
extern const uint32_t kTeardownWindowTemplateSize;

namespace {

using app::LibraryCommand;
using app::ListArg;

using test::IsScenario;
using test::Log;

HANDLE gRelease = nullptr;     // set by the exit routine
HANDLE gWorkerDone = nullptr;  // set by the held worker when it is through

bool NoValue(const int64_t*, int, int64_t*) { return false; }

const ApplicationRoutine kRoutines[kApplicationRoutineCount] = {
    &NoValue, &NoValue, &NoValue, &NoValue, &NoValue, &NoValue, &NoValue,
    &NoValue, &NoValue, &NoValue, &NoValue, &NoValue, &NoValue,
};
const RoutineTable kRoutineTable = {kApplicationRoutineCount, kRoutines};
const uint8_t kConstantBytes[16] = {};

int32_t Insert(const char* text) {
    return RecordInt(LibraryCommand(1, &InsertRow, {ListArg(units::kBackgroundList), IntArg(0), TextArg(text)}));
}

void SetCell(int32_t row, const char* text) {
    LibraryCommand(1, &SetCellText, {ListArg(units::kBackgroundList), IntArg(row), IntArg(1), TextArg(text)});
}

int32_t RowCount() { return RecordInt(LibraryCommand(1, &GetRowCount, {ListArg(units::kBackgroundList)})); }

std::string Cell(int32_t row) {
    app::OwnedText text(LibraryCommand(1, &GetCellText, {ListArg(units::kBackgroundList), IntArg(row), IntArg(1)}));
    return text.c_str();
}

HWND MainWindow() { return TheRuntimeApplication().mainWindow; }

DWORD WINAPI HeldWorker(void*) {
    LibraryCommand(1, &ClearRows, {ListArg(units::kBackgroundList)});
    int32_t row = Insert("01");
    SetCell(row, "first");
    app::WriteTextProperty(units::kQueryGroup, units::kPropertyCaption, "busy");
    Log("before row " + std::to_string(row) + " count " + std::to_string(RowCount()) + " cell " + Cell(row));
    PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(gRelease, 20000) != WAIT_OBJECT_0) Log("never released");

    SetCell(row, "second");
    int32_t inserted = Insert("02");
    LibraryCommand(1, &ClearRows, {ListArg(units::kBackgroundList)});
    app::WriteTextProperty(units::kQueryGroup, units::kPropertyCaption, "done");
    app::WriteIntProperty(units::kQueryGroup, units::kPropertyDisabled, 0);
    app::OwnedText number = app::ReadTextProperty(units::kNumberEdit, units::kPropertyCaption);
    intptr_t object = RuntimeRequest(kRequestUnitObject, units::kMainWindow, units::kBackgroundList);
    intptr_t required = RuntimeRequest(kRequestRequiredUnitObject, units::kMainWindow, units::kBackgroundList);
    Log("after insert " + std::to_string(inserted) + " count " + std::to_string(RowCount()) + " cell [" + Cell(0) +
        "] number [" + number.c_str() + "] objects " + std::to_string(object) + " " + std::to_string(required));
    SetEvent(gWorkerDone);
    return 0;
}

DWORD WINAPI LoopingWorker(void*) {
    for (int i = 1;; ++i) {
        int32_t row = Insert("row");
        SetCell(row, "cell");
        app::WriteTextProperty(units::kQueryGroup, units::kPropertyCaption, "busy");
        RuntimeRequest(kRequestRequiredUnitObject, units::kMainWindow, units::kFavouriteList);
        if (i == 50) {
            Log("closing");
            PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
        }
    }
}

void ReleaseWorkerAtExit() {
    SetEvent(gRelease);
    if (IsScenario(L"held")) {
        bool done = WaitForSingleObject(gWorkerDone, 20000) == WAIT_OBJECT_0;
        Log(std::string("exit routine, worker ") + (done ? "through" : "still held"));
    }
}

}  // namespace

const ProgramImageHeader kProgramImageHeader = {
    3, 0, 1, &kRoutineTable, kConstantBytes, sizeof kConstantBytes, kTeardownWindowTemplate,
    kTeardownWindowTemplateSize, kLibraryCount, kLibraryTable.data(), 0, nullptr, nullptr,
};
const WindowLayer* const kProgramWindowLayer = &kWindowUnitsLayer;

int ApplicationEntry() {
    if (!test::ReadChildArguments()) return 2;
    gRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    gWorkerDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    kServices.RuntimeHelper(kHelperInitialiseProgram, 0, 0, 0, 0, 0, 0);
    kServices.RuntimeHelper(kHelperSetExitHook, reinterpret_cast<intptr_t>(&ReleaseWorkerAtExit), 0, 0, 0, 0, 0);
    kServices.LoadStartWindow(units::kMainWindow);
    LPTHREAD_START_ROUTINE worker = IsScenario(L"held") ? &HeldWorker : &LoopingWorker;
    CloseHandle(CreateThread(nullptr, 0, worker, nullptr, 0, nullptr));
    kServices.RunMessageLoop();
    Log("loop-end");
    return 0;
}

}  // namespace lyra
