// The songs of a lookup page's two halves, extracted with the lookup's
// pattern through RegexObject, within a deadline. The regular expression
// can take far longer than any page deserves (its nested lazy spans go
// cubic on pages of many unfinished starts), so it runs on a thread of its
// own: past the deadline the lookup goes on as if nothing had matched, and
// the extraction finishes alone at low priority, into its own memory.
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

struct ExtractedSongs {
    bool finished = false;  // false: the deadline passed, both lists are empty
    std::vector<ExtractedSong> background;
    std::vector<ExtractedSong> favourites;
};

// Every match of the pattern in each half, in page order.
ExtractedSongs ExtractSongs(const char* backgroundHalf, const char* favouriteHalf, uint32_t deadlineMs);

}  // namespace lyra::app
