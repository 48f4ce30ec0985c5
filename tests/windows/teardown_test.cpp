// A worker that uses the lists and properties while the window goes and the
// runtime shuts down: its late calls are neutral, no error box appears and
// the process ends with the code it was ending with.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_support/processes.h"
#include "test_support/waits.h"
#include "test_support/window_search.h"

namespace lyra::test {
namespace {

struct Outcome {
    bool exited = false;
    DWORD exitCode = STILL_ACTIVE;
    std::vector<std::wstring> boxes;  // texts of every message box seen (and answered)
    std::vector<std::string> log;
};

Outcome RunChild(const wchar_t* scenario) {
    ScenarioChild child(L"tdn");
    Outcome outcome;
    if (!child.StartScenario(ProgramDirectory() + L"teardown_child.exe", scenario)) return outcome;
    outcome.exited = WaitFor([&] {
        while (HWND box = FindTopLevel(child.processId(), L"#32770", L"错误")) {
            outcome.boxes.push_back(MessageBoxText(box));
            AnswerMessageBox(box, IDOK);
            WaitFor([&] { return !IsWindow(box); }, 2000);
        }
        return child.WaitForExit(0);
    }, 30000);
    outcome.exitCode = child.exitCode();
    outcome.log = child.Log();
    return outcome;
}

bool Has(const std::vector<std::string>& log, const std::string& line) {
    return std::find(log.begin(), log.end(), line) != log.end();
}

TEST(Teardown, AWorkerHeldWhileTheWindowGoesFindsEveryUnitAccessNeutral) {
    Outcome outcome = RunChild(L"held");
    ASSERT_TRUE(outcome.exited) << "the process ends";
    EXPECT_TRUE(outcome.boxes.empty()) << "no error box";
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(Has(outcome.log, "before row 0 count 1 cell first"));
    EXPECT_TRUE(Has(outcome.log, "exit routine, worker through")) << "the worker ran on during shutdown";
    EXPECT_TRUE(Has(outcome.log, "after insert -1 count 0 cell [] number [] objects 0 0"))
        << "list commands, properties and requests 2006/2007 answer neutrally";
}

TEST(Teardown, AWorkerThatNeverStopsDoesNotHoldTheProcessOrRaiseAnError) {
    Outcome outcome = RunChild(L"loop");
    ASSERT_TRUE(outcome.exited) << "the process ends";
    EXPECT_TRUE(outcome.boxes.empty()) << "no error box";
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(Has(outcome.log, "closing"));
    EXPECT_TRUE(Has(outcome.log, "loop-end"));
}

}  // namespace
}  // namespace lyra::test
