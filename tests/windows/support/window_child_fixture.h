// The window tests' child program observed from outside: window_child.exe
// builds the test template's window, runs a scenario and logs its routine
// calls to a file this fixture reads.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "test_support/message_sequence.h"
#include "test_support/processes.h"
#include "test_support/waits.h"
#include "test_support/window_search.h"

namespace lyra::test {

// Control ids: 100, 110, ... in creation order, which is the reverse of the
// unit table (the test template's units 7 down to 1).
enum ControlId {
    kFavouriteTitleId = 100,
    kBackgroundTitleId = 110,
    kQqEditId = 120,
    kQqLabelId = 130,
    kQueryGroupId = 140,
    kHintLabelId = 150,
    kSavedQqId = 160,
};

// The units as the log names them: the window and its QQ number box.
inline constexpr char kWindowUnit[] = "06010000";
inline constexpr char kQqEditUnit[] = "16014A37";

// Runs window_child.exe with a scenario; the child logs every routine call
// ("E <unit> <event> <arguments>") and the steps of its build.
class WindowChild : public ::testing::Test {
protected:
    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
        child_.WaitForExit(10000);
    }

    bool Start(const wchar_t* scenario) {
        return child_.StartScenario(ProgramDirectory() + L"window_child.exe", scenario);
    }
    // Starts the scenario and waits for its window to be built and shown.
    bool StartShown(const wchar_t* scenario) {
        if (!Start(scenario)) return false;
        WaitFor([&] { return (window_ = FindTopLevel(child_.processId(), L"LyraboxWindow", L"Lyrabox")) != nullptr; },
                  20000);
        return window_ != nullptr && WaitForLine("load-end");
    }

    std::vector<std::string> Log() { return child_.Log(); }
    bool HasLine(const std::string& line) {
        auto log = Log();
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    bool WaitForLine(const std::string& line, DWORD milliseconds = 10000) {
        return WaitFor([&] { return HasLine(line); }, milliseconds);
    }
    // The event lines of one unit, in order, optionally only some events.
    std::vector<std::string> EventsOf(const std::string& unitHex, std::initializer_list<int> only = {}) {
        std::vector<std::string> events;
        std::string prefix = "E " + unitHex + " ";
        for (const std::string& line : Log()) {
            if (line.rfind(prefix, 0) != 0) continue;
            std::string rest = line.substr(prefix.size());
            int event = std::stoi(rest);
            if (only.size() == 0 || std::find(only.begin(), only.end(), event) != only.end()) events.push_back(rest);
        }
        return events;
    }
    std::string LineStartingWith(const std::string& prefix) {
        for (const std::string& line : Log()) {
            if (line.rfind(prefix, 0) == 0) return line;
        }
        return std::string();
    }


    HWND Group() { return GetDlgItem(window_, kQueryGroupId); }
    HWND QqEdit() { return GetDlgItem(Group(), kQqEditId); }

    ScenarioChild child_{L"wnd"};
    HWND window_ = nullptr;
};

}  // namespace lyra::test
