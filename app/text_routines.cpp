#include "app/text_routines.h"

#include <string>

namespace lyra::app {

using namespace cmd;

namespace {

// "#引号" is how a double quote is written inside a marker.
OwnedText WithQuotes(const char* marker) {
    return ReplaceSubtext(marker, "#引号", TextArg("\""), Absent(), Absent(), BoolArg(true));
}

}  // namespace

OwnedText TextBetween(const char* text, const char* left, const char* right, int32_t start, bool caseSensitive) {
    OwnedText leftMarker = WithQuotes(left);
    OwnedText rightMarker = WithQuotes(right);
    ValueRecord ignoreCase = BoolArg(!caseSensitive);
    int32_t from = FindText(text, leftMarker.c_str(), IntArg(start), ignoreCase);
    if (from == -1) return OwnedText();
    from += LengthOfText(leftMarker.c_str());
    int32_t to = FindText(text, rightMarker.c_str(), IntArg(from), ignoreCase);
    if (to == -1) return OwnedText();
    return TextMid(text, from, to - from);
}

OwnedText ValueAfterColon(const char* line) {
    int32_t colon = FindText(line, ":");
    if (colon == -1) return OwnedText();
    OwnedText rest = TextRight(line, LengthOfText(line) - colon);
    return TrimSpaces(rest.c_str());
}

OwnedText TextBeforeMarker(const char* text, const char* marker, int32_t start, bool ignoreCase) {
    if (start < 1) start = 1;
    int32_t at = FindText(text, marker, IntArg(start), BoolArg(ignoreCase));
    if (at == -1) return OwnedText();
    return TextLeft(text, at - 1);
}

OwnedText TextAfterLastMarker(const char* text, const char* marker, int32_t, bool ignoreCase) {
    int32_t at = FindTextReverse(text, marker, Absent(), BoolArg(ignoreCase));
    if (at == -1) return OwnedText();
    return TextRight(text, LengthOfText(text) - (at - 1) - LengthOfText(marker));
}

int32_t IndexOfText(const std::vector<OwnedText>& texts, const char* text) {
    for (size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == text) return static_cast<int32_t>(i + 1);
    }
    return -1;
}

OwnedText RemoveDuplicateEntries(const char* text, const char* separator) {
    TextArray entries = SplitText(text, separator);
    std::vector<OwnedText> kept;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (IndexOfText(kept, entries[i]) == -1) kept.push_back(OwnedText::CopyOf(entries[i]));
    }
    std::string joined;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) joined += separator != nullptr ? separator : "";
        joined += kept[i].c_str();
    }
    return OwnedText::CopyOf(joined.data(), joined.size());
}

}  // namespace lyra::app
