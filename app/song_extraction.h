// The songs of a lookup page's two halves, extracted with the lookup's
// pattern through RegexObject, within a deadline. The regular expression
// can take far longer than any page deserves (its nested lazy spans go
// cubic on pages of many unfinished starts), so it runs on a thread of its
// own: past the deadline the lookup goes on as if nothing had matched, and
// the extraction finishes alone at low priority, into its own memory (or,
// on the program's own RegExp class, stops at once).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lyra::app {

struct ExtractedSong {
    std::string address;
    std::string name;
    std::string singer;
};

class Extraction;

// A running extraction of both halves. Both halves are matched first, which
// is nearly all of the work; their songs then follow in page order, the
// background half's first, so a caller can show the first songs while the
// rest are still being read.
class SongExtraction {
public:
    SongExtraction(const char* backgroundHalf, const char* favouriteHalf);
    // An extraction still running is let go and finishes alone.
    ~SongExtraction();
    SongExtraction(const SongExtraction&) = delete;
    SongExtraction& operator=(const SongExtraction&) = delete;

    // The match counts of the background (0) and favourite (1) half; false,
    // with counts left alone, when deadline (a GetTickCount64 value) passed first.
    bool WaitForCounts(uint64_t deadline, int32_t counts[2]);
    // Appends to songs those of half read since the last call, waiting
    // until there is at least one. False when there are no more: every
    // song of the half has been taken, or the deadline passed first.
    bool TakeSongs(int half, std::vector<ExtractedSong>* songs, uint64_t deadline);

private:
    Extraction* job_;
};

}  // namespace lyra::app
