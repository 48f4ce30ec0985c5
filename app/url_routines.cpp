#include "app/url_routines.h"

#include <string>

#include "app/text_routines.h"

namespace lyra::app {

using namespace cmd;

namespace {

bool StartsWith(const char* text, const char* prefix) {
    OwnedText head = TextLeft(text, LengthOfText(prefix));
    return head == prefix;
}

std::vector<OwnedText> SplitToList(const char* text, const char* delimiter) {
    TextArray pieces = SplitText(text, delimiter);
    std::vector<OwnedText> list;
    for (size_t i = 0; i < pieces.size(); ++i) list.push_back(OwnedText::CopyOf(pieces[i]));
    return list;
}

}  // namespace

OwnedText HostFromUrl(const char* url, bool mainDomainOnly, bool keepPort) {
    OwnedText u = ToLowerCase(url);
    if (TextRight(u.c_str(), 1) != "/") u = Join({u.c_str(), "/"});
    if (StartsWith(u.c_str(), "https://")) {
        u = TextBetween(u.c_str(), "https://", "/");
    } else {
        // Only a scheme at the very start counts: "http://" further on (in a
        // query, say) must not be taken for the host.
        if (!StartsWith(u.c_str(), "http://")) u = Join({"http://", u.c_str()});
        u = TextBetween(u.c_str(), "http://", "/");
    }
    if (mainDomainOnly) {
        TextArray parts = SplitText(u.c_str(), ".");
        size_t n = parts.size();
        if (n > 1) u = Join({parts[n - 2], ".", parts[n - 1]});
    }
    if (!keepPort) {
        int32_t colon = FindText(u.c_str(), ":");
        if (colon > 0) u = TextLeft(u.c_str(), colon - 1);
    }
    return u;
}

int32_t PortFromUrl(const char* url) {
    OwnedText hostAndPort = HostFromUrl(url, false, true);
    int32_t colon = FindTextReverse(hostAndPort.c_str(), ":");
    if (colon > 0) {
        OwnedText digits = TextRight(hostAndPort.c_str(), LengthOfText(hostAndPort.c_str()) - colon);
        return ToInteger(digits.c_str());
    }
    OwnedText scheme = ToLowerCase(TextLeft(url, 5).c_str());
    return scheme == "https" ? 443 : 80;
}

OwnedText PathFromUrl(const char* url) {
    OwnedText host = HostFromUrl(url);
    // The host is looked for after the scheme: a host such as "h" or "tp"
    // would otherwise be found inside "http://" itself.
    OwnedText lowered = ToLowerCase(url);
    int32_t afterScheme = 1;
    if (StartsWith(lowered.c_str(), "https://")) afterScheme = 9;
    else if (StartsWith(lowered.c_str(), "http://")) afterScheme = 8;
    int32_t hostAt = FindText(url, host.c_str(), IntArg(afterScheme), BoolArg(true));
    int32_t slash = FindText(url, "/", IntArg(hostAt));
    if (slash > 0) return TextRight(url, LengthOfText(url) - slash + 1);
    return OwnedText::CopyOf("/");
}

OwnedText CookieName(const char* entry) {
    int32_t equals = FindText(entry, "=");
    if (equals == -1) return TrimSpaces(entry);
    return TrimSpaces(TextLeft(entry, equals - 1).c_str());
}

bool CookieListHasName(const std::vector<OwnedText>& entries, const char* name) {
    for (const OwnedText& entry : entries) {
        if (CookieName(entry.c_str()) == name) return true;
    }
    return false;
}

void MergeCookies(char** cookies, char** received) {
    Assign(cookies, RemoveAllSpaces(*cookies));
    Assign(received, RemoveAllSpaces(*received));

    std::vector<OwnedText> stored = SplitToList(*cookies, ";");
    std::vector<OwnedText> merged = SplitToList(*received, ";");
    for (const OwnedText& entry : stored) {
        OwnedText name = CookieName(entry.c_str());
        if (!CookieListHasName(merged, name.c_str())) merged.push_back(OwnedText::CopyOf(entry.c_str()));
    }

    std::string joined;
    for (const OwnedText& entry : merged) {
        OwnedText tail = TextRight(entry.c_str(), 8);
        if (tail == "=deleted") continue;
        joined += entry.c_str();
        joined += "; ";
    }
    OwnedText text = TextLeft(joined.c_str(), static_cast<int32_t>(joined.size()) - 2);
    Assign(cookies, RemoveDuplicateEntries(text.c_str(), "; "));
}

}  // namespace lyra::app
