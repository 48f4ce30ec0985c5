#include "app/song_extraction.h"

#include <windows.h>

#include "app/deadline_job.h"
#include "app/extraction_pattern.h"
#include "app/regex_object.h"

namespace lyra::app {

namespace {

std::string Take(char* text) {
    OwnedText owned(text);
    return owned.c_str();
}

// Both halves on the job's thread, with RegexObjects of that thread (each
// initialises COM there). Its results are read only once it has finished.
class Extraction : public DeadlineJob {
public:
    std::string halves[2];
    std::vector<ExtractedSong> songs[2];

private:
    void Run() override {
        RegexObject regex[2];
        for (int half = 0; half < 2 && !abandoned(); ++half) {
            regex[half].Create(kExtractionPattern, halves[half].c_str());
            int32_t count = regex[half].MatchCount();
            for (int32_t i = 1; i <= count && !abandoned(); ++i) {
                ExtractedSong song;
                song.address = Take(regex[half].SubmatchText(i, 1));
                song.name = Take(regex[half].SubmatchText(i, 2));
                song.singer = Take(regex[half].SubmatchText(i, 3));
                songs[half].push_back(std::move(song));
            }
        }
    }
};

}  // namespace

ExtractedSongs ExtractSongs(const char* backgroundHalf, const char* favouriteHalf, uint32_t deadlineMs) {
    auto* job = new Extraction;
    job->halves[0] = backgroundHalf != nullptr ? backgroundHalf : "";
    job->halves[1] = favouriteHalf != nullptr ? favouriteHalf : "";
    const uint64_t deadline = GetTickCount64() + deadlineMs;
    job->Start();
    ExtractedSongs result;
    if (job->WaitUntil(deadline)) {
        result.finished = true;
        result.background.swap(job->songs[0]);
        result.favourites.swap(job->songs[1]);
    }
    job->Release();
    return result;
}

}  // namespace lyra::app
