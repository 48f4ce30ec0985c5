#include "app/web_access.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/external_functions.h"
#include "app/text_routines.h"
#include "app/url_routines.h"

// How long a connect, a send or a receive may wait before the request is
// given up. The tests build with a short one.
#ifndef LYRABOX_WEB_TIMEOUT_MS
#define LYRABOX_WEB_TIMEOUT_MS 30000
#endif

namespace lyra::app {

using namespace cmd;

namespace {

const char kDefaultAgent[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZQ7LB; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)";

// WinINet values.
constexpr uint32_t kOpenTypeDirect = 1;
constexpr uint32_t kOpenTypeProxy = 3;
constexpr uint32_t kServiceHttp = 3;
constexpr uint32_t kFlagReload = 0x80000000;
constexpr uint32_t kFlagNeedFile = 0x10;
constexpr uint32_t kFlagNoCookies = 0x80000;
constexpr uint32_t kFlagNoAutoRedirect = 0x200000;
constexpr uint32_t kFlagSecure = 0x800000;
constexpr uint32_t kFlagIgnoreRedirectToHttps = 0x4000;
constexpr uint32_t kQueryRawHeadersCrlf = 22;
constexpr uint32_t kOptionConnectTimeout = 2;
constexpr uint32_t kOptionSendTimeout = 5;
constexpr uint32_t kOptionReceiveTimeout = 6;

constexpr int32_t kReadChunk = 1024;
constexpr int32_t kHeaderBufferSize = 5000;
constexpr uint32_t kTimeoutMs = LYRABOX_WEB_TIMEOUT_MS;
// A 301 whose Location leads back would otherwise be followed for ever.
constexpr int kMaxMovedFollowUps = 10;

// A by-reference argument: the caller's variable when given, otherwise a
// scratch variable of this request.
class TextVariable {
public:
    explicit TextVariable(char** given) : slot_(given != nullptr ? given : scratch_.Slot()), given_(given != nullptr) {}
    TextVariable(const TextVariable&) = delete;
    TextVariable& operator=(const TextVariable&) = delete;

    bool given() const { return given_; }
    char** slot() const { return slot_; }
    const char* c_str() const { return *slot_ != nullptr ? *slot_ : ""; }
    bool empty() const { return c_str()[0] == 0; }
    void Set(OwnedText value) { Assign(slot_, std::move(value)); }
    void Append(const char* first, const char* second = nullptr) { Set(Join({c_str(), first, second})); }

private:
    OwnedText scratch_;
    char** slot_;
    bool given_;
};

class BytesVariable {
public:
    explicit BytesVariable(void** given) : slot_(given != nullptr ? given : scratch_.Slot()) {}
    BytesVariable(const BytesVariable&) = delete;
    BytesVariable& operator=(const BytesVariable&) = delete;

    void* get() const { return *slot_; }
    void Set(OwnedBytes value) {
        Services().FreeMemory(*slot_);
        *slot_ = value.Release();
    }

private:
    OwnedBytes scratch_;
    void** slot_;
};

// The body grows in one block, doubling its room, so reading n bytes costs
// O(n) copying however small the chunks are.
class BodyBuilder {
public:
    ~BodyBuilder() { Services().FreeMemory(block_); }

    // False once the body is as long as a byte set's 32-bit length allows.
    bool Append(const uint8_t* bytes, size_t n) {
        const size_t limit = static_cast<size_t>(INT32_MAX) - 8;
        if (n > limit - size_) return false;
        if (size_ + n > capacity_) {
            size_t room = std::max({capacity_ * 2, size_ + n, static_cast<size_t>(16 * 1024)});
            room = std::min(room, limit);
            block_ = static_cast<uint8_t*>(Services().ReallocMemory(block_, 8 + room));
            capacity_ = room;
        }
        std::memcpy(block_ + 8 + size_, bytes, n);
        size_ += n;
        return true;
    }

    // The byte set {1, n, bytes} in a block of its exact size; null when empty.
    OwnedBytes Finish() {
        if (size_ == 0) return OwnedBytes();
        const int32_t header[2] = {1, static_cast<int32_t>(size_)};
        std::memcpy(block_, header, sizeof header);
        void* set = Services().ReallocMemory(block_, 8 + size_);
        block_ = nullptr;
        capacity_ = size_ = 0;
        return OwnedBytes(set);
    }

private:
    uint8_t* block_ = nullptr;
    size_t capacity_ = 0;
    size_t size_ = 0;
};

bool IsSecureAddress(const char* url) {
    OwnedText scheme = ToLowerCase(TextLeft(url, 5).c_str());
    return scheme == "https";
}

void CloseHandles(std::initializer_list<intptr_t> handles) {
    for (intptr_t handle : handles) {
        if (handle != 0) CallExternal(kInternetCloseHandle, handle);
    }
}

// Set on the session and again on the request: Wine hands a session's
// receive timeout on to nothing, and leaves its own at "no limit".
void SetTimeouts(intptr_t handle) {
    uint32_t milliseconds = kTimeoutMs;
    for (uint32_t option : {kOptionConnectTimeout, kOptionSendTimeout, kOptionReceiveTimeout}) {
        CallExternal(kInternetSetOptionA, handle, option, &milliseconds, static_cast<uint32_t>(sizeof milliseconds));
    }
}

// The agent named by a "User-Agent:" line of the headers (found ignoring
// case), or the default one.
OwnedText ChooseAgent(const char* headers) {
    int32_t line = FindText(headers, "User-Agent:", Absent(), BoolArg(true));
    if (line == -1) return OwnedText::CopyOf(kDefaultAgent);
    OwnedText agent = TrimSpaces(TextBetween(headers, "User-Agent:", "\r\n").c_str());
    if (agent.empty()) {
        // The line is the last one: its value runs to the end of the text.
        OwnedText fromLine = TextRight(headers, LengthOfText(headers) - line + 1);
        agent = ValueAfterColon(fromLine.c_str());
    }
    return agent;
}

struct RequestArguments {
    int32_t method;
    const char* postText;
    char** sendCookies;
    char** receivedCookies;
    char** headers;
    char** location;
    bool noRedirect;
    void** postBytes;
    char** proxy;
    char** responseHeaders;
};

// One request to url. When the answer is a 301 and followUp is not null,
// stores the address to ask next in *followUp.
OwnedBytes RequestOnce(const char* url, const RequestArguments& a, OwnedText* followUp) {
    TextVariable sendCookies(a.sendCookies);
    TextVariable receivedCookies(a.receivedCookies);
    TextVariable headers(a.headers);
    TextVariable location(a.location);
    TextVariable proxy(a.proxy);
    TextVariable responseHeaders(a.responseHeaders);
    BytesVariable postBytes(a.postBytes);

    const char* verb = a.method == 1 ? "POST" : "GET";
    OwnedText agent = ChooseAgent(headers.c_str());

    intptr_t session = 0;
    if (proxy.given()) {
        OwnedText proxyName = Join({"http=", proxy.c_str()});
        session = CallExternal(kInternetOpenA, agent.c_str(), kOpenTypeProxy, proxyName.c_str(), "", 0u);
    } else {
        session = CallExternal(kInternetOpenA, agent.c_str(), kOpenTypeDirect, "", "", 0u);
    }
    if (session == 0) return OwnedBytes();
    SetTimeouts(session);

    OwnedText host = HostFromUrl(url);
    int32_t port = PortFromUrl(url);
    // WinINet takes a 16-bit port: a larger one would quietly reach another.
    if (port < 0 || port > 0xFFFF) {
        CloseHandles({session});
        return OwnedBytes();
    }
    intptr_t connection = CallExternal(kInternetConnectA, session, host.c_str(), static_cast<uint32_t>(port), "", "",
                                       kServiceHttp, 0u, 0u);
    if (connection == 0) {
        CloseHandles({session});
        return OwnedBytes();
    }

    uint32_t flags = kFlagReload | kFlagNeedFile;
    if (sendCookies.given()) flags |= kFlagNoCookies;
    if (a.noRedirect) flags |= kFlagNoAutoRedirect;
    flags |= IsSecureAddress(url) ? kFlagSecure : kFlagIgnoreRedirectToHttps;
    OwnedText path = PathFromUrl(url);
    intptr_t request = CallExternal(kHttpOpenRequestA, connection, verb, path.c_str(), "HTTP/1.1", nullptr, nullptr,
                                    flags, 0u);
    if (request == 0) {
        CloseHandles({connection, session});
        return OwnedBytes();
    }
    SetTimeouts(request);

    if (FindText(headers.c_str(), "Referer:") == -1) {
        if (headers.empty()) headers.Set(Join({"Referer: ", url}));
        else headers.Append("\r\nReferer: ", url);
    }
    if (FindText(headers.c_str(), "Accept:") == -1) headers.Append("\r\nAccept: */*");
    if (FindText(headers.c_str(), "Accept-Language:") == -1) headers.Append("\r\nAccept-Language: zh-cn");
    if (FindText(headers.c_str(), "Content-Type:") == -1) {
        headers.Append("\r\nContent-Type: application/x-www-form-urlencoded");
    }
    if (!sendCookies.empty()) headers.Append("\r\nCookie: ", sendCookies.c_str());

    uint32_t headersLength = static_cast<uint32_t>(LengthOfText(headers.c_str()));
    if (a.method == 0) {
        CallExternal(kHttpSendRequestA, request, headers.c_str(), headersLength, "", 0u);
    } else {
        if (BytesLength(postBytes.get()) == 0) postBytes.Set(TextToBytes(a.postText));
        void* body = postBytes.get();
        CallExternal(kHttpSendRequestWithBodyA, request, headers.c_str(), headersLength, ByteSetBytes(body),
                     static_cast<uint32_t>(ByteSetLength(body)));
    }

    BodyBuilder body;
    for (;;) {
        uint8_t chunk[kReadChunk] = {};
        uint32_t count = 0;
        CallExternal(kInternetReadFile, request, chunk, static_cast<uint32_t>(kReadChunk), &count);
        if (count == 0) break;
        if (!body.Append(chunk, std::min<uint32_t>(count, kReadChunk))) break;
    }

    // A query that fails (headers longer than the buffer) leaves the blanks.
    OwnedText rawHeaders = BlankText(kHeaderBufferSize);
    uint32_t rawLength = kHeaderBufferSize;
    CallExternal(kHttpQueryInfoA, request, kQueryRawHeadersCrlf, rawHeaders.get(), &rawLength, nullptr);
    responseHeaders.Set(OwnedText::CopyOf(rawHeaders.c_str()));

    CloseHandles({request, connection, session});

    // The location is this answer's, never one left from an earlier call.
    location.Set(OwnedText());
    receivedCookies.Set(OwnedText());
    std::string cookies;
    TextArray lines = SplitText(responseHeaders.c_str(), "\r\n");
    for (size_t i = 0; i < lines.size(); ++i) {
        const char* line = lines[i];
        if (FindText(line, "Location:") != -1) location.Set(ValueAfterColon(line));
        if (FindText(line, "Set-Cookie") != -1) {
            OwnedText value = TrimSpaces(TextBetween(line, "Set-Cookie:", ";").c_str());
            cookies += value.c_str();
            cookies += "; ";
        }
    }
    receivedCookies.Set(TextLeft(cookies.c_str(), static_cast<int32_t>(cookies.size()) - 2));
    if (sendCookies.given()) MergeCookies(sendCookies.slot(), receivedCookies.slot());
    // Without a Location there is nowhere to follow a 301 to: the headers
    // themselves would be taken for an address.
    bool hasLocation = !location.empty();
    if (!hasLocation) location.Set(OwnedText::CopyOf(responseHeaders.c_str()));

    OwnedText status = TextBetween(responseHeaders.c_str(), "HTTP/1.1 ", " Moved");
    if (status == "301" && hasLocation && followUp != nullptr) {
        *followUp = Join({location.c_str(), path.c_str()});
        location.Set(OwnedText());
    }
    return body.Finish();
}

}  // namespace

OwnedBytes AccessWebPage(const char* url, int32_t method, const char* postText, char** sendCookies,
                    char** receivedCookies, char** headers, char** location, bool noRedirect, void** postBytes,
                    char** proxy, char** responseHeaders) {
    const RequestArguments arguments = {method,   postText,   sendCookies, receivedCookies, headers,
                                        location, noRedirect, postBytes,   proxy,           responseHeaders};
    // A moved answer is asked again at its Location with this address's
    // path appended; every other argument passes on as it now stands.
    OwnedText address = OwnedText::CopyOf(url);
    for (int followUps = 0;; ++followUps) {
        OwnedText next;
        OwnedBytes body = RequestOnce(address.c_str(), arguments, followUps < kMaxMovedFollowUps ? &next : nullptr);
        if (next.empty()) return body;
        address = std::move(next);
    }
}

OwnedText FetchPage(const char* url) {
    OwnedBytes body = AccessWebPage(url);
    return BytesToText(body.get());
}

}  // namespace lyra::app
