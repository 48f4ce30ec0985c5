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

std::string HyperLinkTarget(const HyperLinkerProperties& p) {
    if (p.target.empty()) return std::string();
    return p.mode == kEmailAddress ? "mailto:" + p.target : p.target;
}

std::string BrowserCommandLine(const std::string& command, const std::string& target) {
    std::string kept = command;
    size_t cut = command.find("\"%1\"");
    if (cut == std::string::npos) cut = command.find("%1");
    if (cut != std::string::npos) kept = command.substr(0, cut);
    return kept + " " + target;
}

}  // namespace lyra
