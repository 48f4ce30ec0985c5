// Speed of the program's own regular expressions on the host: the lookup's
// extraction pattern over a generated 5,000-song page (every submatch
// read), a 64 MB subject searched with a lazy span on a thread with a
// 64 KB stack, and how soon a run on the backtracking page ends once its
// cancel flag is set. Built with optimisation and without the sanitizers
// of the host build; run build/host/bench/regex_bench.
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/extraction_pattern.h"
#include "regex/regex.h"
#include "test_support/gbk_utf16.h"
#include "tools/demo/lookup_pages.h"

namespace {

using namespace lyra;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

std::u16string FromGbk(const std::string& bytes) { return test::Utf16FromGbk(bytes); }

std::unique_ptr<regex::Pattern> ExtractionPattern() {
    regex::Options options;
    options.ignoreCase = true;
    options.multiline = true;
    return regex::Pattern::Compile(FromGbk(app::kExtractionPattern), options);
}

void Extraction() {
    demo::LookupPage page;
    page.background = demo::MakeSongs(5000, 1);
    std::string html = demo::RenderLookupPage(page);
    std::u16string subject = FromGbk(html);
    auto pattern = ExtractionPattern();
    double best = 1e9;
    size_t songs = 0;
    size_t units = 0;
    for (int run = 0; run < 20; ++run) {
        Clock::time_point start = Clock::now();
        std::vector<regex::Match> matches;
        regex::FindAll(*pattern, subject, true, regex::Limits(), &matches);
        units = 0;
        for (const regex::Match& match : matches) {
            for (const regex::Span& group : match.groups) units += std::u16string(subject, group.start, group.length).size();
        }
        best = std::min(best, Milliseconds(Clock::now() - start));
        songs = matches.size();
    }
    std::printf("extraction, 5,000 songs (%zu bytes; %zu songs, %zu units of submatches): %.2f ms (best of 20)\n",
                html.size(), songs, units, best);
}

void LongSubject() {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 64 * 1024);
    pthread_t thread;
    auto body = [](void*) -> void* {
        std::u16string subject(64u << 20, u'a');
        auto pattern = regex::Pattern::Compile(u"[\\s\\S]*?x", regex::Options());
        std::vector<regex::Match> matches;
        Clock::time_point start = Clock::now();
        regex::FindAll(*pattern, subject, true, regex::Limits(), &matches);
        double none = Milliseconds(Clock::now() - start);
        subject.back() = u'x';
        start = Clock::now();
        regex::FindAll(*pattern, subject, true, regex::Limits(), &matches);
        double last = Milliseconds(Clock::now() - start);
        std::printf("64 MB subject, [\\s\\S]*?x on a 64 KB stack: no x %.1f ms, x at the end %.1f ms (%zu match)\n",
                    none, last, matches.size());
        return nullptr;
    };
    pthread_create(&thread, &attributes, body, nullptr);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

void Cancel() {
    std::u16string subject = FromGbk(demo::UnfinishedSongStarts(1 << 20));
    auto pattern = ExtractionPattern();
    double worst = 0;
    for (int run = 0; run < 10; ++run) {
        std::atomic<bool> cancel{false};
        regex::Limits limits;
        limits.cancel = &cancel;
        std::atomic<bool> started{false};
        std::thread worker([&] {
            started = true;
            std::vector<regex::Match> matches;
            regex::FindAll(*pattern, subject, true, limits, &matches);
        });
        while (!started) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 10 * run));
        Clock::time_point set = Clock::now();
        cancel = true;
        worker.join();
        worst = std::max(worst, Milliseconds(Clock::now() - set));
    }
    std::printf("backtracking page, cancel flag set to run ended: %.3f ms at worst of 10\n", worst);
}

}  // namespace

int main() {
    Extraction();
    LongSubject();
    Cancel();
    return 0;
}
