// The property blocks of the program's ListView, SuperBtn and HyperLinker
// units, as the template compiler writes them into the window template.
// Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lyra {

// "超级列表框_背景音乐列表" and "超级列表框_收藏音乐列表": white report lists
// with the four music columns and a clickable header.
std::vector<uint8_t> MusicListBlock();

std::vector<uint8_t> QueryButtonBlock();   // "超级按钮_查询"
std::vector<uint8_t> HelpButtonBlock();    // "超级按钮_说明"
std::vector<uint8_t> AboutButtonBlock();   // "超级按钮_关于"
std::vector<uint8_t> SaveButtonBlock();    // "超级按钮_保存音乐列表"

// "超级链接框_宣传": the maker's caption and page (a build setting).
std::vector<uint8_t> MakerLinkBlock(const std::string& makerPageUrl);

// A stored LOGFONTA (60 bytes): height, weight 400, GB2312, face (GBK, may be empty).
std::string FontBlock(int32_t height, const std::string& face);

}  // namespace lyra
