// The texts the application builds from list rows: row IDs, the clipboard
// text of a whole row, the saved file's name and content. GBK bytes.
#pragma once

#include <string>
#include <vector>

namespace lyra::app {

struct SongRow {
    std::string id;
    std::string singer;
    std::string song;
    std::string address;
};

// "01" … "09", "10", "11", …: the decimal text with a leading "0" below 10.
std::string RowIdText(int index);

// "ID：" id "\r\n歌手名：" singer "\r\n歌曲名：" song "\r\n音乐地址：" address "\r\n".
std::string WholeRowText(const SongRow& row);

// "LYRABOXMQ_" + number + ".txt".
std::string SavedFileName(const std::string& number);
// True when that name is a plain file name: the number holds none of
// \ / : * ? " < > | and no control character, so the file can be neither
// in another folder, nor a stream, nor a pattern. A GBK character's trail
// byte is never taken for one of them.
bool SavableNumber(const std::string& number);

// Both lists as the saved file holds them, rows top to bottom.
std::string SavedListsText(const std::string& number, const std::vector<SongRow>& background,
                           const std::vector<SongRow>& favourites);

}  // namespace lyra::app
