// The demo's web pages: a music lookup page for a QQ number in the shape
// the lookup's extraction pattern expects, and an announcement page. GBK.
#pragma once

#include <string>
#include <vector>

namespace lyra::demo {

struct Song {
    std::string address;
    std::string name;
    std::string singer;
};

struct LookupPage {
    std::vector<Song> background;
    std::vector<Song> favourites;
    bool hasMarker = true;     // the "收藏列表" split between the halves
    bool crlf = true;          // line ends
    bool crOnly = false;       // line ends of a lone CR, whatever crlf says
    bool upperCaseTags = false;
};

std::string RenderLookupPage(const LookupPage& page);

// n invented songs; seed varies names and addresses.
std::vector<Song> MakeSongs(int count, int seed);

// At least bytes of song entries that are begun and never finished: the
// extraction pattern's nested lazy spans backtrack over such a page for
// minutes.
std::string UnfinishedSongStarts(size_t bytes);

// The sample numbers of the demo: 10001 (three background songs, two
// favourites), 10002 (twelve background songs, no favourites), 10003 (a
// page without the marker). False for any other number.
bool DemoPageFor(const std::string& number, LookupPage* page);

struct Announcement {
    std::string version = "1.0";
    std::string forced;          // "强制" forces the update
    std::string downloadUrl;
    bool markers = true;
};

std::string RenderAnnouncement(const Announcement& announcement);

// The query value of "qq=" in a request target such as "/5.aspx?qq=10001".
std::string QueryNumber(const std::string& target);

}  // namespace lyra::demo
