// The property block of a HyperLinker and the platform-free part of
// opening its target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "window_units/property_rows.h"

namespace lyra {

constexpr uint32_t kHyperLinkerBlockVersion = 1;

enum HyperLinkerMode : int32_t { kWebAddress = 0, kEmailAddress = 1 };

// Own properties 0-5.
struct HyperLinkerProperties {
    std::string caption;             // GBK
    std::string target;              // GBK address
    int32_t mode = kWebAddress;      // 0-1
    std::string font;                // 60-byte LOGFONTA or nothing
    uint32_t textColour = 0x00FF0000;
    uint32_t backColour = 0xFF000000;  // default: the parent's background
};

// What a write re-applies; every write repaints the link.
enum HyperLinkerReapply : uint32_t { kLinkCaption = 1, kLinkFont = 2, kLinkRepaint = 4 };

extern const PropertyTable<HyperLinkerProperties> kHyperLinkerTable;

inline std::vector<uint8_t> WriteHyperLinkerBlock(const HyperLinkerProperties& p) {
    return WriteBlock(kHyperLinkerTable, p);
}

// The address to open: the stored one, with "mailto:" in front in e-mail
// mode; empty when there is no address, and in web mode when it is not an
// http or https address (nothing else is handed to the shell).
std::string HyperLinkTarget(const HyperLinkerProperties& properties);

// The browser command for a target, from the command line registered for
// opening ".htm" files: cut at the first %1 that stands between double
// quotes (before its opening quote), else at the first %1, else kept whole;
// then one space and the target in double quotes, its own quotes and
// backslashes percent-encoded.
std::string BrowserCommandLine(const std::string& registeredCommand, const std::string& target);

}  // namespace lyra
