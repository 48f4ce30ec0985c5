// The lookup's extraction pattern and the marker that cuts a page in two.
#pragma once

namespace lyra::app {

inline constexpr char kSplitMarker[] = "收藏列表";

// One match per song: address, song name and singer, in that order.
inline constexpr char kExtractionPattern[] =
    "onmouseover=[\\s\\S]*?musicUrl.*?>(.*)</div>[\\s\\S]*?songname.*?style=\"cursor:pointer;\">(.*)</Div></TD>"
    "[\\s\\S]*?singer.*?style=\"cursor:pointer;\">(.*)</Div></TD>[\\s\\S]*?复制音乐地址";

}  // namespace lyra::app
