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

// Lower-case ASCII letters of a scheme, "" when text has none ("x:" with
// letters, digits, "+", "-" or "." before the colon, starting with a letter).
std::string SchemeOf(const std::string& text) {
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0) return std::string();
    std::string scheme;
    for (size_t i = 0; i < colon; ++i) {
        char c = text[i];
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other)) return std::string();
        scheme += static_cast<char>(letter && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return scheme;
}

// The path with its "." and ".." segments worked out; never above the root.
std::string WithoutDotSegments(const std::string& path) {
    std::vector<std::string> kept;
    size_t start = 1;  // past the leading "/"
    bool endsInDirectory = false;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        std::string segment = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        bool last = slash == std::string::npos;
        if (segment == ".") {
            endsInDirectory = last;
        } else if (segment == "..") {
            if (!kept.empty()) kept.pop_back();
            endsInDirectory = last;
        } else {
            kept.push_back(segment);
            endsInDirectory = false;
        }
        if (last) break;
        start = slash + 1;
    }
    std::string out;
    for (const std::string& segment : kept) out += "/" + segment;
    if (endsInDirectory || out.empty()) out += "/";
    return out;
}

}  // namespace

OwnedText ResolveLocation(const char* base, const char* location) {
    std::string target = location != nullptr ? location : "";
    size_t first = target.find_first_not_of(" \t");
    size_t last = target.find_last_not_of(" \t");
    target = first == std::string::npos ? std::string() : target.substr(first, last - first + 1);
    target = target.substr(0, target.find('#'));

    std::string from = base != nullptr ? base : "";
    from = from.substr(0, from.find('#'));
    std::string fromScheme = SchemeOf(from);
    if (fromScheme != "http" && fromScheme != "https") {
        fromScheme = "http";
        from = "http://" + from;
    } else if (from.compare(fromScheme.size(), 3, "://") != 0) {
        return OwnedText();
    }
    size_t authorityStart = fromScheme.size() + 3;
    size_t pathStart = from.find_first_of("/?", authorityStart);
    std::string origin = from.substr(0, pathStart);
    std::string pathAndQuery = pathStart == std::string::npos ? "/" : from.substr(pathStart);
    if (pathAndQuery[0] == '?') pathAndQuery = "/" + pathAndQuery;
    std::string path = pathAndQuery.substr(0, pathAndQuery.find('?'));

    std::string resolved;
    std::string scheme = SchemeOf(target);
    if (!scheme.empty()) {
        if (scheme != "http" && scheme != "https") return OwnedText();
        resolved = target;
    } else if (target.compare(0, 2, "//") == 0) {
        resolved = fromScheme + ":" + target;
    } else if (target.empty()) {
        resolved = origin + pathAndQuery;
    } else if (target[0] == '?') {
        resolved = origin + path + target;
    } else if (target[0] == '/') {
        resolved = origin + target;
    } else {
        resolved = origin + path.substr(0, path.rfind('/') + 1) + target;
    }

    // Dot segments of the path, whichever form the target took.
    size_t hostStart = resolved.find("://") + 3;
    size_t targetPath = resolved.find_first_of("/?", hostStart);
    if (targetPath != std::string::npos && resolved[targetPath] == '/') {
        size_t query = resolved.find('?', targetPath);
        std::string tail = query == std::string::npos ? std::string() : resolved.substr(query);
        resolved = resolved.substr(0, targetPath) +
                   WithoutDotSegments(resolved.substr(targetPath, query == std::string::npos ? std::string::npos
                                                                                               : query - targetPath)) +
                   tail;
    }
    return OwnedText::CopyOf(resolved.c_str());
}

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
