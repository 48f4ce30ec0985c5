// The lookup's extraction through VBScript.RegExp and through the
// program's own RegExp class, with the same COM object commands RegexObject
// uses: a page of 5,000 background songs and its favourites, both halves,
// every song's three submatches read. Then a run on the page of unfinished
// song starts, stopped after half a second: how long the run takes to end,
// and the process's CPU time in the 100 ms after the stop and in the second
// after that (VBScript's run cannot be stopped and goes on).
// Run under Wine, after the Windows build:
//   tools/wine-run.sh build/win64/wine build/win64/bench/regexp_bench.exe
#include <windows.h>
#include <oaidl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "app/extraction_pattern.h"
#include "app/own_regexp.h"
#include "app/services.h"
#include "test_support/regexp_classes.h"
#include "test_support/test_program.h"
#include "tools/demo/lookup_pages.h"

namespace lyra {
namespace {

using bench::Median;
using bench::Now;
using bench::ProcessCpu;

using app::CoreCommand;
using app::ObjectValue;
using app::OwnedText;
using test::NewRegExp;

// RegexObject's Create: options, pattern, Execute.
ObjectValue Execute(const ObjectValue& regexp, const char* subject) {
    app::WriteObjectLogical(regexp, "IgnoreCase", true);
    app::WriteObjectLogical(regexp, "Multiline", true);
    app::WriteObjectLogical(regexp, "Singleline", true);
    app::WriteObjectLogical(regexp, "Global", true);
    app::WriteObjectText(regexp, "Pattern", app::kExtractionPattern);
    return ObjectValue(CoreCommand(&ObjectCallObjectMethod, {regexp.arg(), TextArg("Execute"), TextArg(subject)}));
}

// RegexObject's SubmatchText for every song; the number of texts read.
size_t ReadEverySong(const ObjectValue& matches) {
    size_t texts = 0;
    const int32_t count = static_cast<int32_t>(app::ReadObjectNumber(matches, "Count"));
    for (int32_t i = 0; i < count; ++i) {
        for (int32_t k = 0; k < 3; ++k) {
            ObjectValue item = app::ReadItemObject(matches, i);
            ObjectValue submatches = app::ReadObjectObject(item, "SubMatches");
            app::VariantValue value(
                CoreCommand(&ObjectReadVariantProperty, {submatches.arg(), TextArg("Item"), DoubleArg(k)}));
            OwnedText text(CoreCommand(&VariantToText, {value.arg(), EmptyRecord()}));
            texts += text.empty() ? 0 : 1;
        }
    }
    return texts;
}

void ExtractionOf5000Songs() {
    demo::LookupPage page;
    page.background = demo::MakeSongs(5000, 1);
    page.favourites = demo::MakeSongs(30, 7);
    const std::string text = demo::RenderLookupPage(page);
    const size_t first = text.find(app::kSplitMarker);
    const size_t last = text.rfind(app::kSplitMarker);
    const std::string halves[2] = {text.substr(0, first), text.substr(last + std::strlen(app::kSplitMarker))};
    std::printf("Extraction of 5,000 + 30 songs (%zu bytes), both halves, every submatch read; median of 7 runs\n",
                text.size());
    double medians[2][2];
    for (int own = 0; own < 2; ++own) {
        std::vector<double> executes;
        std::vector<double> wholes;
        size_t texts = 0;
        for (int run = 0; run < 7; ++run) {
            const double start = Now();
            double executed = 0;
            texts = 0;
            for (const std::string& half : halves) {
                ObjectValue regexp = NewRegExp(own != 0);
                const double before = Now();
                ObjectValue matches = Execute(regexp, half.c_str());
                executed += Now() - before;
                texts += ReadEverySong(matches);
            }
            executes.push_back(executed);
            wholes.push_back(Now() - start);
        }
        medians[own][0] = Median(executes);
        medians[own][1] = Median(wholes);
        std::printf("  %-22s Execute %8.1f ms   with every submatch read %8.1f ms   (%zu texts)\n",
                    own ? "the program's own" : "VBScript.RegExp", medians[own][0], medians[own][1], texts);
    }
    std::printf("  own / VBScript: Execute %.2f, whole %.2f\n\n", medians[1][0] / medians[0][0],
                medians[1][1] / medians[0][1]);
}

struct StoppableRun {
    bool own = false;
    const std::string* subject = nullptr;
    std::atomic<bool> cancel{false};
};

DWORD WINAPI RunOnPage(void* context) {
    auto* run = static_cast<StoppableRun*>(context);
    CoInitialize(nullptr);
    {
        app::OwnRegExpCancel stopWhenCancelled(&run->cancel);
        ObjectValue regexp = NewRegExp(run->own);
        ObjectValue matches = Execute(regexp, run->subject->c_str());
    }
    CoUninitialize();
    return 0;
}

void StoppedRun(bool own, const std::string& page) {
    auto* run = new StoppableRun;  // VBScript's run outlives this function
    run->own = own;
    run->subject = &page;
    HANDLE thread = CreateThread(nullptr, 0, &RunOnPage, run, 0, nullptr);
    Sleep(500);  // the run is well under way
    const double cpuAtStop = ProcessCpu();
    const double stopped = Now();
    run->cancel = true;
    const bool ended = WaitForSingleObject(thread, 100) == WAIT_OBJECT_0;
    const double endedAfter = Now() - stopped;
    Sleep(static_cast<DWORD>(std::max(0.0, 100.0 - (Now() - stopped))));
    const double cpuFirst100 = ProcessCpu() - cpuAtStop;
    const double cpuBefore = ProcessCpu();
    Sleep(1000);
    const double cpuNextSecond = ProcessCpu() - cpuBefore;
    if (ended) {
        std::printf("  %-22s ended %.1f ms after the stop; CPU in the next 100 ms %.1f ms, in the second after %.1f ms\n",
                    own ? "the program's own" : "VBScript.RegExp", endedAfter, cpuFirst100, cpuNextSecond);
        delete run;
    } else {
        std::printf("  %-22s still running 100 ms after the stop; CPU in those 100 ms %.1f ms, in the second after %.1f ms\n",
                    own ? "the program's own" : "VBScript.RegExp", cpuFirst100, cpuNextSecond);
    }
    CloseHandle(thread);
}

}  // namespace
}  // namespace lyra

int main() {
    lyra::test::InitialiseTestProgram();
    lyra::ExtractionOf5000Songs();
    const std::string page = lyra::demo::UnfinishedSongStarts(40 * 1024);
    std::printf("A run on %zu bytes of unfinished song starts, stopped after 500 ms\n", page.size());
    lyra::StoppedRun(true, page);
    lyra::StoppedRun(false, page);
    std::fflush(stdout);
    // VBScript's run is still going: end the process around it.
    ExitProcess(0);
}
