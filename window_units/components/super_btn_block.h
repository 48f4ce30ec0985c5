// The property block of a SuperBtn. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "window_units/property_rows.h"

namespace lyra {

constexpr uint32_t kSuperBtnBlockVersion = 2;

// The three looks of the button. Each has a picture slot (with the word
// that goes with it) and a pair of colours.
enum SuperBtnLook { kLookNormal = 0, kLookHot = 1, kLookPressed = 2 };

struct SuperBtnPicture {
    std::string file;   // a BMP, GIF or JPEG file, or nothing
    int32_t word = 0;   // picture offset in pixels when pressed (kept as stored)
};

struct SuperBtnColours {
    uint32_t text;
    uint32_t back;
};

// Own properties 0-26. Own 7/8 are the hot look's picture and word, 9/10
// the normal look's, 11/12 the pressed look's; own 16-21 are the text and
// background colours of the normal, hot and pressed looks.
struct SuperBtnProperties {
    int32_t buttonType = 0;          // 0-2
    int32_t styleWord = 0;
    int32_t pressed = 0;
    int32_t pictureAlignment = 0;    // 0-3: centre, left, right, above the caption
    int32_t switch4 = 0;             // 0-1
    int32_t layout5 = 0;
    int32_t layout6 = 0;
    SuperBtnPicture pictures[3];     // by look
    std::string font;                // 60-byte LOGFONTA or nothing
    std::string caption;             // GBK
    int32_t useColours = 1;
    SuperBtnColours colours[3] = {{0x80000012, 0x8000000F}, {0x80000012, 0x8000000F}, {0x80000012, 0x8000000F}};
    int32_t builtInSound = 0;
    std::string enterSound;          // RIFF/WAVE file or nothing
    std::string clickSound;
    std::string tip;                 // the button's name where a picture stands in for its caption
    int32_t switch26 = 0;            // 0-1
};

// Clamps the ranged properties into their ranges.
void ClampSuperBtnProperties(SuperBtnProperties* properties);

// What a write re-applies; every write first clamps the ranged properties.
enum SuperBtnReapply : uint32_t {
    kButtonRecreate = 1, kButtonPictures = 2, kButtonFont = 4, kButtonCaption = 8, kButtonRepaint = 16,
};

extern const PropertyTable<SuperBtnProperties> kSuperBtnTable;

inline std::vector<uint8_t> WriteSuperBtnBlock(const SuperBtnProperties& p) { return WriteBlock(kSuperBtnTable, p); }

}  // namespace lyra
