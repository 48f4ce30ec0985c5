#include "tools/demo/lookup_pages.h"

namespace lyra::demo {

namespace {

const char* const kSingers[] = {"林间鸟", "青石乐队", "北岸", "小满", "白露合唱团", "山风"};
const char* const kTitles[] = {"晨光序曲", "远山", "雨后的街", "纸飞机", "星河夜航", "旧码头",
                               "风吹麦浪", "灯塔", "一万次日落", "慢车", "海边来信", "第七个夏天"};

std::string SongBlock(const Song& song, const char* eol, bool upper) {
    std::string div = upper ? "DIV" : "Div";
    std::string divEnd = upper ? "</DIV>" : "</div>";
    std::string cellEnd = upper ? "</DIV></TD>" : "</Div></TD>";
    std::string td = upper ? "TD" : "td";
    std::string block;
    block += "<tr onmouseover=\"this.className='hover'\" onmouseout=\"this.className=''\">";
    block += eol;
    block += "<" + td + " class=\"cell\"><div class=\"musicUrl\" title=\"地址\">" + song.address + divEnd + "</" + td + ">";
    block += eol;
    block += "<" + td + "><" + div + " class=\"songname\" style=\"cursor:pointer;\">" + song.name + cellEnd;
    block += eol;
    block += "<" + td + "><" + div + " class=\"singer\" style=\"cursor:pointer;\">" + song.singer + cellEnd;
    block += eol;
    block += "<" + td + "><a href=\"javascript:void(0)\">复制音乐地址</a></" + td + ">";
    block += eol;
    block += "</tr>";
    block += eol;
    return block;
}

}  // namespace

std::vector<Song> MakeSongs(int count, int seed) {
    std::vector<Song> songs;
    for (int i = 0; i < count; ++i) {
        int k = i + seed;
        Song song;
        song.name = std::string(kTitles[k % 12]) + (i >= 12 ? std::to_string(i / 12 + 1) : std::string());
        song.singer = kSingers[k % 6];
        song.address = "http://127.0.0.1/music/" + std::to_string(seed) + "_" + std::to_string(i + 1) + ".mp3";
        songs.push_back(song);
    }
    return songs;
}

std::string RenderLookupPage(const LookupPage& page) {
    const char* eol = page.crOnly ? "\r" : page.crlf ? "\r\n" : "\n";
    std::string html;
    html += "<html><head><meta charset=\"gbk\"><title>QQ空间音乐查询（演示）</title></head><body>";
    html += eol;
    html += "<h2>背景音乐</h2><table>";
    html += eol;
    for (const Song& song : page.background) html += SongBlock(song, eol, page.upperCaseTags);
    html += "</table>";
    html += eol;
    html += page.hasMarker ? "<h2>收藏列表</h2><table>" : "<h2>其他列表</h2><table>";
    html += eol;
    for (const Song& song : page.favourites) html += SongBlock(song, eol, page.upperCaseTags);
    html += "</table></body></html>";
    html += eol;
    return html;
}

bool DemoPageFor(const std::string& number, LookupPage* page) {
    *page = LookupPage();
    if (number == "10001") {
        page->background = MakeSongs(3, 1);
        page->favourites = MakeSongs(2, 7);
        return true;
    }
    if (number == "10002") {
        page->background = MakeSongs(12, 3);
        return true;
    }
    if (number == "10003") {
        page->background = MakeSongs(2, 5);
        page->hasMarker = false;
        return true;
    }
    return false;
}

std::string RenderAnnouncement(const Announcement& a) {
    std::string html = "<html><head><meta charset=\"gbk\"><title>Lyrabox 公告</title></head><body>\r\n";
    html += "<p>Lyrabox 最新版本公告</p>\r\n";
    if (a.markers) {
        html += "<p>☆☆☆☆☆最新版本→" + a.version + "←最新版本☆☆☆☆☆</p>\r\n";
        html += "<p>☆☆☆☆☆强制更新→" + a.forced + "←强制更新☆☆☆☆☆</p>\r\n";
        html += "<p>☆☆☆☆☆下载地址→" + a.downloadUrl + "←下载地址☆☆☆☆☆</p>\r\n";
    }
    html += "</body></html>\r\n";
    return html;
}

std::string QueryNumber(const std::string& target) {
    size_t at = target.find("qq=");
    if (at == std::string::npos) return std::string();
    size_t end = target.find('&', at);
    return target.substr(at + 3, end == std::string::npos ? std::string::npos : end - at - 3);
}

std::string UnfinishedSongStarts(size_t bytes) {
    const std::string start = "<a onmouseover=x musicUrl>u</div>\r\n";
    std::string page;
    while (page.size() < bytes) page += start;
    return page;
}

}  // namespace lyra::demo
