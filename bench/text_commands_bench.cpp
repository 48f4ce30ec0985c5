// FindText, ReplaceSubtext and SplitText on 1 MB and 10 MB GBK pages, each
// beside a plain baseline on the same data: std::string_view::find, a
// find-and-append replace, a find-and-copy split. At the end the ratios of
// CPU times are printed: command / baseline, and a 10 MB call / a 1 MB call.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "commands/text_commands.h"
#include "runtime/memory.h"
#include "runtime/program_image.h"
#include "runtime/values.h"

namespace {

using lyra::ValueRecord;

// Lines of a page: markup, numbers and runs of two-byte characters, some
// with second bytes below 0x80, separated by CR LF.
std::string MakePage(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string page;
    page.reserve(size + 64);
    while (page.size() < size) {
        page += "<li class=\"song\"><a href=\"http://music.example/";
        page += std::to_string(random() % 100000);
        page += ".mp3\">";
        size_t characters = 4 + random() % 24;
        for (size_t i = 0; i < characters; ++i) {
            if (random() % 8 == 0) {
                page += static_cast<char>(0x81 + random() % 0x20);
                page += static_cast<char>(0x40 + random() % 0x3F);
            } else {
                page += static_cast<char>(0xB0 + random() % 0x48);
                page += static_cast<char>(0xA1 + random() % 0x5E);
            }
        }
        page += "</a></li>\r\n";
    }
    page.resize(size);
    if (static_cast<unsigned char>(page.back()) >= 0x80) page.back() = ' ';
    return page;
}

const char kMarker[] = "收藏列表";  // GBK bytes: this file is compiled with -fexec-charset=GBK

// The pages of one size, each with the marker once, at its end: ten pages
// of 1 MB, or one of 10 MB. An iteration calls the command on every page of
// its size and frees the results only at its end, so both sizes touch 10 MB
// of input and of heap per iteration and meet the same caches: the 10 MB /
// 1 MB ratio then measures the algorithm, not the cache sizes.
const std::vector<std::string>& PagesOf(size_t megabytes) {
    static std::map<size_t, std::vector<std::string>> pages;
    std::vector<std::string>& set = pages[megabytes];
    if (set.empty()) {
        for (size_t i = 0; i < 10 / megabytes; ++i) {
            std::string page = MakePage((megabytes << 20) - 10, static_cast<uint32_t>(7 + i));
            page += kMarker;
            page += "\r\n";
            set.push_back(std::move(page));
        }
    }
    return set;
}

ValueRecord Call(lyra::CommandFunction command, std::vector<ValueRecord> args) {
    ValueRecord result = lyra::EmptyRecord();
    command(&result, static_cast<int32_t>(args.size()), args.data());
    return result;
}

void SetBytes(benchmark::State& state, size_t megabytes) {
    int64_t perIteration = static_cast<int64_t>(PagesOf(megabytes).size() * PagesOf(megabytes)[0].size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * perIteration);
}

void FindTextCommand(benchmark::State& state, size_t mb) {
    for (auto _ : state) {
        for (const std::string& page : PagesOf(mb)) {
            ValueRecord r = Call(&lyra::FindText, {lyra::TextArg(page.c_str()), lyra::TextArg(kMarker)});
            benchmark::DoNotOptimize(r);
        }
    }
    SetBytes(state, mb);
}

void FindTextBaseline(benchmark::State& state, size_t mb) {
    for (auto _ : state) {
        for (const std::string& page : PagesOf(mb)) benchmark::DoNotOptimize(std::string_view(page).find(kMarker));
    }
    SetBytes(state, mb);
}

void ReplaceSubtextCommand(benchmark::State& state, size_t mb) {
    std::vector<void*> results;
    for (auto _ : state) {
        for (const std::string& page : PagesOf(mb)) {
            ValueRecord r = Call(&lyra::ReplaceSubtext,
                                 {lyra::TextArg(page.c_str()), lyra::TextArg("\r\n"), lyra::TextArg("<br>")});
            results.push_back(lyra::RecordPointer(r));
        }
        for (void* text : results) lyra::FreeMemory(text);
        results.clear();
    }
    SetBytes(state, mb);
}

std::string ReplaceNaively(std::string_view text) {
    std::string out;
    size_t pos = 0;
    for (size_t at; (at = text.find("\r\n", pos)) != std::string_view::npos; pos = at + 2) {
        out.append(text.substr(pos, at - pos));
        out.append("<br>");
    }
    out.append(text.substr(pos));
    return out;
}

void ReplaceSubtextBaseline(benchmark::State& state, size_t mb) {
    std::vector<std::string> results;
    for (auto _ : state) {
        for (const std::string& page : PagesOf(mb)) results.push_back(ReplaceNaively(page));
        results.clear();
    }
    SetBytes(state, mb);
}

void SplitTextCommand(benchmark::State& state, size_t mb) {
    std::vector<void*> results;
    for (auto _ : state) {
        for (const std::string& page : PagesOf(mb)) {
            ValueRecord r = Call(&lyra::SplitText, {lyra::TextArg(page.c_str()), lyra::TextArg("\r\n")});
            results.push_back(lyra::RecordPointer(r));
        }
        for (void* array : results) lyra::FreeArray(lyra::kTypeText | lyra::kArrayFlag, array);
        results.clear();
    }
    SetBytes(state, mb);
}

std::vector<std::string> SplitNaively(std::string_view text) {
    std::vector<std::string> pieces;
    size_t pos = 0;
    for (size_t at; (at = text.find("\r\n", pos)) != std::string_view::npos; pos = at + 2) {
        pieces.emplace_back(text.substr(pos, at - pos));
    }
    if (pos < text.size()) pieces.emplace_back(text.substr(pos));
    return pieces;
}

void SplitTextBaseline(benchmark::State& state, size_t mb) {
    std::vector<std::vector<std::string>> results;
    for (auto _ : state) {
        for (const std::string& page : PagesOf(mb)) results.push_back(SplitNaively(page));
        results.clear();
    }
    SetBytes(state, mb);
}

// Keeps each benchmark's least CPU time per iteration and prints the ratios last.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            // The least of the repetitions: the others waited for a shared machine.
            std::string name = run.run_name.function_name;
            double seconds = run.GetAdjustedCPUTime();
            if (seconds_.count(name) == 0 || seconds < seconds_[name]) seconds_[name] = seconds;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        // An iteration is ten 1 MB calls or one 10 MB call.
        std::printf("\n%-16s %14s %14s %22s %16s\n", "command", "1MB cmd/base", "10MB cmd/base",
                    "10MB call / 1MB call", "same, baseline");
        for (const char* name : {"FindText", "ReplaceSubtext", "SplitText"}) {
            double c1 = seconds_[std::string(name) + "/1MB"], b1 = seconds_[std::string(name) + "_baseline/1MB"];
            double c10 = seconds_[std::string(name) + "/10MB"], b10 = seconds_[std::string(name) + "_baseline/10MB"];
            std::printf("%-16s %14.2f %14.2f %22.2f %16.2f\n", name, c1 / b1, c10 / b10, 10 * c10 / c1,
                        10 * b10 / b1);
        }
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    struct Entry {
        const char* name;
        void (*command)(benchmark::State&, size_t);
        void (*baseline)(benchmark::State&, size_t);
    };
    const Entry entries[] = {{"FindText", &FindTextCommand, &FindTextBaseline},
                             {"ReplaceSubtext", &ReplaceSubtextCommand, &ReplaceSubtextBaseline},
                             {"SplitText", &SplitTextCommand, &SplitTextBaseline}};
    for (const Entry& entry : entries) {
        for (size_t mb : {size_t{1}, size_t{10}}) {
            std::string size = "/" + std::to_string(mb) + "MB";
            benchmark::RegisterBenchmark((entry.name + size).c_str(), entry.command, mb)
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(5);
            benchmark::RegisterBenchmark((std::string(entry.name) + "_baseline" + size).c_str(), entry.baseline, mb)
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(5);
        }
    }
    // The command and the baseline agree on where the marker is.
    const std::string& page = PagesOf(1)[0];
    ValueRecord found = Call(&lyra::FindText, {lyra::TextArg(page.c_str()), lyra::TextArg(kMarker)});
    if (lyra::RecordInt(found) != static_cast<int32_t>(std::string_view(page).find(kMarker) + 1)) {
        std::fprintf(stderr, "FindText and the baseline disagree\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
