#include "app/list_texts.h"

namespace lyra::app {

namespace {

void AppendRecord(std::string& text, const SongRow& row) {
    text += "ID：" + row.id + "\r\n";
    text += "歌手名：" + row.singer + "\r\n";
    text += "歌曲名：" + row.song + "\r\n";
    text += "音乐地址：" + row.address + "\r\n";
}

}  // namespace

std::string RowIdText(int index) {
    std::string digits = std::to_string(index);
    return index < 10 ? "0" + digits : digits;
}

std::string WholeRowText(const SongRow& row) {
    std::string text;
    AppendRecord(text, row);
    return text;
}

std::string SavedFileName(const std::string& number) { return "LYRABOXMQ_" + number + ".txt"; }

bool SavableNumber(const std::string& number) {
    for (size_t i = 0; i < number.size(); ++i) {
        auto byte = static_cast<unsigned char>(number[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < number.size()) {
            ++i;
            continue;
        }
        if (byte < 0x20 || byte == 0x7F) return false;
        for (char bad : {'\\', '/', ':', '*', '?', '"', '<', '>', '|'}) {
            if (byte == static_cast<unsigned char>(bad)) return false;
        }
    }
    return true;
}

std::string SavedListsText(const std::string& number, const std::vector<SongRow>& background,
                           const std::vector<SongRow>& favourites) {
    std::string text = number + "【背景音乐列表】\r\n\r\n";
    if (background.empty()) {
        text += "没有发现“背景音乐”！\r\n\r\n";
    } else {
        for (const SongRow& row : background) {
            AppendRecord(text, row);
            text += "\r\n";
        }
    }
    text += "\r\n";
    text += number + "【收藏音乐列表】\r\n\r\n";
    if (favourites.empty()) {
        text += "没有发现“收藏音乐”！\r\n";
    } else {
        for (const SongRow& row : favourites) {
            AppendRecord(text, row);
            text += "\r\n\r\n";
        }
    }
    return text;
}

}  // namespace lyra::app
