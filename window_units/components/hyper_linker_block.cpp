#include "window_units/components/hyper_linker_block.h"

#include <algorithm>

#include "window_units/components/block_codec.h"

namespace lyra {

std::vector<uint8_t> WriteHyperLinkerBlock(const HyperLinkerProperties& p) {
    BlockWriter w(kHyperLinkerBlockVersion);
    w.Counted(p.caption);
    w.Counted(p.target);
    w.I32(p.mode);
    w.Counted(p.font);
    w.U32(p.textColour);
    w.U32(p.backColour);
    return w.Take();
}

bool ReadHyperLinkerBlock(const uint8_t* data, size_t size, HyperLinkerProperties* properties) {
    HyperLinkerProperties p;
    try {
        framework::MemoryArchive a(data, size);
        if (ReadBlockHeader(a) != kHyperLinkerBlockVersion) return false;
        p.caption = ReadCounted(a);
        p.target = ReadCounted(a);
        p.mode = std::min(std::max(a.ReadI32(), 0), 1);
        p.font = ReadCounted(a);
        p.textColour = a.ReadU32();
        p.backColour = a.ReadU32();
    } catch (const framework::ArchiveError&) {
        return false;
    }
    *properties = std::move(p);
    return true;
}

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    for (size_t i = 0; prefix[i] != 0; ++i) {
        if (i >= text.size()) return false;
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

std::string HyperLinkTarget(const HyperLinkerProperties& p) {
    if (p.target.empty()) return std::string();
    if (p.mode == kEmailAddress) return "mailto:" + p.target;
    if (!StartsWithNoCase(p.target, "http://") && !StartsWithNoCase(p.target, "https://")) return std::string();
    return p.target;
}

std::string BrowserCommandLine(const std::string& command, const std::string& target) {
    std::string kept = command;
    size_t cut = command.find("\"%1\"");
    if (cut == std::string::npos) cut = command.find("%1");
    if (cut != std::string::npos) kept = command.substr(0, cut);
    // Quotes and backslashes are escaped as an address escapes them, so
    // the quoted target stays one argument.
    std::string quoted = "\"";
    for (char c : target) {
        if (c == '"') quoted += "%22";
        else if (c == '\\') quoted += "%5C";
        else quoted += c;
    }
    return kept + " " + quoted + "\"";
}

}  // namespace lyra
