#include "window_units/components/hyper_linker_block.h"

#include <algorithm>
#include <iterator>

namespace lyra {

namespace {

int32_t AsMode(int32_t mode) { return mode != 0 ? kEmailAddress : kWebAddress; }

bool ClampMode(HyperLinkerProperties* p) {
    p->mode = std::min(std::max(p->mode, 0), 1);
    return true;
}

using P = HyperLinkerProperties;
constexpr PropertyRow<P> kRows[] = {
    Row<&P::caption, kKindText>("标题", "Caption", kLinkCaption | kLinkRepaint),
    Row<&P::target, kKindText>("链接地址", "Target", kLinkRepaint),
    Row<&P::mode, kKindChoice>("类型", "Mode", kLinkRepaint, &AsMode),
    Row<&P::font, kKindFont>("字体", "Font", kLinkFont | kLinkRepaint),
    Row<&P::textColour, kKindColour>("文本颜色", "TextColor", kLinkRepaint),
    Row<&P::backColour, kKindColour>("背景颜色", "BackColor", kLinkRepaint),
};

}  // namespace

constexpr PropertyTable<HyperLinkerProperties> kHyperLinkerTable = TableOf<kRows>(kHyperLinkerBlockVersion, &ClampMode);

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
