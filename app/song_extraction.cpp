#include "app/song_extraction.h"

#include <windows.h>

#include "app/deadline_job.h"
#include "app/extraction_pattern.h"
#include "app/own_regexp.h"
#include "app/regex_object.h"

namespace lyra::app {

namespace {

std::string Take(char* text) {
    OwnedText owned(text);
    return owned.c_str();
}

// Songs are handed over in batches: one wake-up per song would cost more
// than reading it. The first goes alone, so the first row comes at once.
constexpr int32_t kBatch = 256;

}  // namespace

// Both halves on the job's thread, with RegexObjects of that thread (each
// initialises COM there). What it publishes is guarded by the job's lock;
// progress_ is set whenever something new is there.
class Extraction : public DeadlineJob {
public:
    Extraction() : progress_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    std::string halves[2];

    bool WaitForCounts(uint64_t deadline, int32_t counts[2]) {
        for (;;) {
            {
                Locked hold(lock());
                if (countsReady_) {
                    counts[0] = counts_[0];
                    counts[1] = counts_[1];
                    return true;
                }
                ResetEvent(progress_);
            }
            if (!WaitForProgress(deadline)) return false;
        }
    }

    bool TakeSongs(int half, std::vector<ExtractedSong>* songs, uint64_t deadline) {
        for (;;) {
            {
                Locked hold(lock());
                std::vector<ExtractedSong>& ready = ready_[half];
                if (!ready.empty()) {
                    for (ExtractedSong& song : ready) songs->push_back(std::move(song));
                    ready.clear();
                    return true;
                }
                if (complete_[half]) return false;
                ResetEvent(progress_);
            }
            if (!WaitForProgress(deadline)) return false;
        }
    }

private:
    ~Extraction() override {
        if (progress_ != nullptr) CloseHandle(progress_);
    }

    // False when the deadline passed first. Without an event (none could
    // be made) the caller polls.
    bool WaitForProgress(uint64_t deadline) {
        const uint32_t left = MillisecondsLeft(deadline);
        if (left == 0) return false;
        if (progress_ == nullptr) {
            Sleep(1);
            return true;
        }
        return WaitForSingleObject(progress_, left) == WAIT_OBJECT_0;
    }

    void Run() override {
        // Once the starter lets go, a run of the program's own RegExp class
        // stops; VBScript's cannot be stopped and finishes alone.
        OwnRegExpCancel stopWhenAbandoned(&abandonedFlag());
        RegexObject regex[2];
        int32_t counts[2] = {0, 0};
        for (int half = 0; half < 2; ++half) {
            if (abandoned()) return;
            regex[half].Create(kExtractionPattern, halves[half].c_str());
            counts[half] = regex[half].MatchCount();
        }
        {
            Locked hold(lock());
            counts_[0] = counts[0];
            counts_[1] = counts[1];
            countsReady_ = true;
            if (progress_ != nullptr) SetEvent(progress_);
        }
        for (int half = 0; half < 2; ++half) {
            std::vector<ExtractedSong> batch;
            for (int32_t i = 1; i <= counts[half] && !abandoned(); ++i) {
                ExtractedSong song;
                song.address = Take(regex[half].SubmatchText(i, 1));
                song.name = Take(regex[half].SubmatchText(i, 2));
                song.singer = Take(regex[half].SubmatchText(i, 3));
                batch.push_back(std::move(song));
                if (i == 1 || i % kBatch == 0) Hand(half, &batch, false);
            }
            Hand(half, &batch, true);
        }
    }

    void Hand(int half, std::vector<ExtractedSong>* batch, bool complete) {
        Locked hold(lock());
        for (ExtractedSong& song : *batch) ready_[half].push_back(std::move(song));
        batch->clear();
        if (complete) complete_[half] = true;
        if (progress_ != nullptr) SetEvent(progress_);
    }

    HANDLE progress_;
    bool countsReady_ = false;
    int32_t counts_[2] = {0, 0};
    std::vector<ExtractedSong> ready_[2];
    bool complete_[2] = {false, false};
};

SongExtraction::SongExtraction(const char* backgroundHalf, const char* favouriteHalf) : job_(new Extraction) {
    job_->halves[0] = backgroundHalf != nullptr ? backgroundHalf : "";
    job_->halves[1] = favouriteHalf != nullptr ? favouriteHalf : "";
    job_->Start();
}

SongExtraction::~SongExtraction() { job_->Release(); }

bool SongExtraction::WaitForCounts(uint64_t deadline, int32_t counts[2]) { return job_->WaitForCounts(deadline, counts); }

bool SongExtraction::TakeSongs(int half, std::vector<ExtractedSong>* songs, uint64_t deadline) {
    return job_->TakeSongs(half, songs, deadline);
}

}  // namespace lyra::app
