// Whole lookups in the real program: Enter in the number box until the final
// status, for pages of 100, 1,000 and 5,000 songs served from loopback,
// beside the parts measured in this process in the same run: the bare
// FetchPage of the same page and the regular-expression extraction alone.
// Then the program's memory after 200 lookups against after the first.
// Run under Wine, after the Windows build:
//   tools/wine-run.sh build/win64/wine build/win64/bench/lookup_bench.exe
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "app/extraction_pattern.h"
#include "app/regex_object.h"
#include "app/web_access.h"
#include "program/external_functions.h"
#include "runtime/external.h"
#include "test_support/loopback_server.h"
#include "test_support/processes.h"
#include "test_support/ui_driver.h"
#include "tools/demo/lookup_pages.h"

namespace lyra {

namespace {

using bench::Median;
using bench::Now;

using namespace test;

// The port the end-to-end build of the program looks up on.
constexpr uint16_t kPort = LYRABOX_E2E_PORT;

std::string gPage;
std::atomic<double> gPageServedAt{0};
std::atomic<double> gPageSentAt{0};

size_t PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return counters.PagefileUsage;
}

struct Program {
    ChildProcess process;
    HWND main = nullptr, edit = nullptr, group = nullptr, list = nullptr;

    // exe: the program to measure; empty for the end-to-end build beside this one.
    bool Start(std::wstring exe) {
        if (exe.empty()) exe = ProgramDirectory() + L"..\\tests\\e2e\\lyrabox_e2e.exe";
        if (!process.Start(exe)) return false;
        const DWORD id = process.processId();
        if (!WaitFor([&] { return (main = FindTopLevel(id, nullptr, L"Lyrabox")) != nullptr; }, 30000)) return false;
        edit = FindControl(main, kNumberEditControl);
        group = FindControl(main, kQueryGroupControl);
        list = FindControl(main, kBackgroundListControl);
        BringToFront(main);
        ClickUntilFocused(main, edit, 30000);
        TypeText(L"1");
        return WaitFor([&] { return TextOf(edit) == L"1"; }, 5000);
    }

    // Enter to the final status; milliseconds. firstRow: from the page's
    // arrival (its last byte sent) to the first row another process can
    // read in the list.
    double LookUp(int expectedRows, double* firstRow = nullptr) {
        gPageServedAt = 0;
        gPageSentAt = 0;
        double start = Now();
        PressKey(VK_RETURN);
        // A short lookup may be over before a poll sees its group disabled:
        // the page being served marks it. The lists were emptied before the
        // fetch, so rows and an enabled group seen after that are this lookup's.
        while (gPageServedAt.load() == 0 && Now() - start < 30000) Sleep(1);
        if (firstRow != nullptr) {
            while (ListRowCount(list) == 0 && Now() - start < 30000) Sleep(1);
            double rowAt = Now();
            while (gPageSentAt.load() == 0 && Now() - start < 30000) Sleep(1);
            *firstRow = rowAt - gPageSentAt.load();
        }
        // Polled every millisecond: the figure is the lookup's, not the poll's.
        while (!(IsWindowEnabled(group) && ListRowCount(list) == expectedRows) && Now() - start < 600000) Sleep(1);
        return Now() - start;
    }

    void Stop() {
        CloseProgram(process, main, 10000);
        process.End();
    }
};

}  // namespace
}  // namespace lyra

// Optional argument: another build of the end-to-end program (built for the
// same port), to measure before and after a change in the same run.
int main(int argc, char** argv) {
    using namespace lyra;
    SetUpExternalFunctions(kExternalFunctionCount, kExternalLibraryNames.data(), kExternalFunctionNames.data());
    test::LoopbackServer server(
        [](const test::RecordedRequest& request) {
            test::ScriptedResponse response;
            if (request.Path().rfind("/5.aspx", 0) == 0) {
                response.body = gPage;
                gPageServedAt = Now();
                response.afterSending = [] { gPageSentAt = Now(); };
            }
            return response;
        },
        kPort);
    if (!server.listening()) {
        std::printf("cannot listen on 127.0.0.1:%u\n", kPort);
        return 1;
    }
    Program program;
    std::wstring exe;
    if (argc > 1) {
        std::string path = argv[1];
        exe.assign(path.begin(), path.end());
    }
    if (!program.Start(exe)) {
        std::printf("cannot start the program\n");
        return 1;
    }
    std::string url = "http://127.0.0.1:" + std::to_string(kPort) + "/5.aspx?qq=1";
    std::printf("%6s %10s %12s %12s %12s %14s\n", "songs", "page KB", "lookup ms", "fetch ms", "regex ms",
                "first row ms");
    for (int songs : {100, 1000, 5000}) {
        if (std::getenv("LOOKUP_BENCH_MEMORY_ONLY") != nullptr) break;
        demo::LookupPage page;
        page.background = demo::MakeSongs(songs, 1);
        gPage = demo::RenderLookupPage(page);
        std::vector<double> lookups, fetches, extractions, firstRows;
        int rounds = songs >= 5000 ? 1 : 3;
        for (int round = 0; round < rounds; ++round) {
            double firstRow = 0;
            lookups.push_back(program.LookUp(songs, &firstRow));
            firstRows.push_back(firstRow);
            double start = Now();
            app::OwnedText fetched = app::FetchPage(url.c_str(), app::PageLimits{});
            fetches.push_back(Now() - start);
            start = Now();
            app::RegexObject regex;
            regex.Create(app::kExtractionPattern, fetched.c_str());
            int32_t count = regex.MatchCount();
            for (int32_t i = 1; i <= count; ++i) {
                for (int32_t k = 1; k <= 3; ++k) lyra::kServices.FreeMemory(regex.SubmatchText(i, k));
            }
            extractions.push_back(Now() - start);
        }
        std::printf("%6d %10zu %12.0f %12.1f %12.1f %14.0f\n", songs, gPage.size() / 1024, Median(lookups),
                    Median(fetches), Median(extractions), Median(firstRows));
    }

    demo::LookupPage small;
    small.background = demo::MakeSongs(20, 3);
    small.favourites = demo::MakeSongs(5, 9);
    gPage = demo::RenderLookupPage(small);
    program.LookUp(20);
    size_t first = PrivateBytes(program.process.process());
    for (int i = 1; i < 200; ++i) {
        double ms = program.LookUp(20);
        if (ms > 5000) std::fprintf(stderr, "lookup %d took %.0f ms\n", i, ms);
    }
    size_t last = PrivateBytes(program.process.process());
    std::printf("private memory: %zu KB after 1 lookup, %zu KB after 200 (%+lld KB)\n", first / 1024, last / 1024,
                (static_cast<long long>(last) - static_cast<long long>(first)) / 1024);
    program.Stop();
    return 0;
}
