#include "app/web_access.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/deadline_job.h"
#include "app/text_routines.h"
#include "app/url_routines.h"
#include "data/external_functions.h"

// How long a connect, a send or a receive may wait before the request is
// given up, and how long one page's whole exchange may take (every
// redirect, the send and every read). The tests build with short ones.
#ifndef LYRABOX_WEB_TIMEOUT_MS
#define LYRABOX_WEB_TIMEOUT_MS 30000
#endif
#ifndef LYRABOX_WEB_DEADLINE_MS
#define LYRABOX_WEB_DEADLINE_MS 60000
#endif
// A body stops growing here: thirty times the largest lookup page seen, and
// with the copies a lookup makes of it (text, halves, UTF-16 for the
// regular expression) still far inside a 32-bit process.
#ifndef LYRABOX_WEB_BODY_LIMIT
#define LYRABOX_WEB_BODY_LIMIT (64 << 20)
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
constexpr uint32_t kDeadlineMs = LYRABOX_WEB_DEADLINE_MS;
// Redirects followed for one call, WinINet's kind and the 301 follow-up
// together: a Location that leads back would otherwise be followed for ever.
constexpr int kMaxFollowUps = 10;
constexpr size_t kBodyLimit = LYRABOX_WEB_BODY_LIMIT;

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
// O(n) copying however small the chunks are. It never grows past kBodyLimit.
class BodyBuilder {
public:
    BodyBuilder() = default;
    BodyBuilder(const BodyBuilder&) = delete;
    BodyBuilder& operator=(const BodyBuilder&) = delete;
    ~BodyBuilder() { Services().FreeMemory(block_); }

    // Appends what fits below the limit; false once the limit is reached.
    bool Append(const uint8_t* bytes, size_t n) {
        n = std::min(n, kBodyLimit - size_);
        if (size_ + n > capacity_) {
            size_t room = std::max({capacity_ * 2, size_ + n, static_cast<size_t>(16 * 1024)});
            room = std::min(room, kBodyLimit);
            block_ = static_cast<uint8_t*>(Services().ReallocMemory(block_, 8 + room));
            capacity_ = room;
        }
        if (n > 0) std::memcpy(block_ + 8 + size_, bytes, n);
        size_ += n;
        return size_ < kBodyLimit;
    }

    void Clear() {
        Services().FreeMemory(block_);
        block_ = nullptr;
        capacity_ = size_ = 0;
    }

    // The byte set {1, n, bytes} in a block of its exact size; null when
    // empty. The builder is empty afterwards.
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

// The status code of a raw header block ("HTTP/1.1 302 Found..."), 0 when
// its first line carries none.
int StatusOf(const std::string& rawHeaders) {
    if (rawHeaders.compare(0, 5, "HTTP/") != 0) return 0;
    size_t space = rawHeaders.find(' ');
    if (space == std::string::npos || space > rawHeaders.find("\r\n")) return 0;
    int status = 0;
    for (size_t i = space + 1; i < space + 4 && i < rawHeaders.size(); ++i) {
        if (rawHeaders[i] < '0' || rawHeaders[i] > '9') return 0;
        status = status * 10 + (rawHeaders[i] - '0');
    }
    return status;
}

// The value of the first header line named Location (in any case).
std::string LocationOf(const std::string& rawHeaders) {
    size_t start = 0;
    while (start < rawHeaders.size()) {
        size_t end = rawHeaders.find("\r\n", start);
        if (end == std::string::npos) end = rawHeaders.size();
        if (end - start > 9 && _strnicmp(rawHeaders.c_str() + start, "location:", 9) == 0) {
            size_t value = rawHeaders.find_first_not_of(" \t", start + 9);
            size_t last = rawHeaders.find_last_not_of(" \t", end - 1);
            if (value == std::string::npos || value >= end) return std::string();
            return rawHeaders.substr(value, last - value + 1);
        }
        start = end + 2;
    }
    return std::string();
}

bool IsRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// One page's exchange in WinINet: session, then for the address and every
// redirect WinINet would have followed, connection, request, send, header
// query and reads. It runs as a job so that its caller stops waiting at the
// deadline, wherever WinINet is blocked (a trickling server holds a single
// read for as long as it trickles). Everything it works on is its own.
class Exchange : public DeadlineJob {
public:
    enum class Opening { Pending, Opened, Failed };

    // Set before Start; afterwards Run alone uses them (and moves address,
    // verb and body along the redirects it follows).
    std::string address;
    std::string verb;
    std::string agent;
    bool viaProxy = false;
    std::string proxyName;
    uint32_t flags = 0;
    bool followRedirects = false;
    int redirectsAllowed = 0;
    std::string headers;  // completed
    bool sendsBody = false;
    std::string body;

    // Published by Run under lock().
    Opening opening = Opening::Pending;
    bool answered = false;  // rawHeaders hold the last response's headers
    std::string rawHeaders;
    BodyBuilder received;
    int redirects = 0;

private:
    void Run() override;
    // Connection, request, send, header query and (unless it is a redirect
    // to follow) the reads of one address. False when a handle could not be
    // opened. Sets *next to the address to ask next, if any.
    bool AskOnce(intptr_t session, int hop, std::string* next);
    void Publish(Opening state) {
        Locked hold(lock());
        opening = state;
    }
};

void Exchange::Run() {
    intptr_t session = 0;
    if (viaProxy) {
        session = CallExternal(kInternetOpenA, agent.c_str(), kOpenTypeProxy, proxyName.c_str(), "", 0u);
    } else {
        session = CallExternal(kInternetOpenA, agent.c_str(), kOpenTypeDirect, "", "", 0u);
    }
    if (session == 0) {
        Publish(Opening::Failed);
        return;
    }
    SetTimeouts(session);
    for (int hop = 0;; ++hop) {
        std::string next;
        if (!AskOnce(session, hop, &next)) {
            // The first address could not be asked at all; a redirect that
            // cannot be asked ends as an answer that never came.
            if (hop == 0) Publish(Opening::Failed);
            break;
        }
        if (next.empty()) break;
        address = next;
    }
    CloseHandles({session});
}

bool Exchange::AskOnce(intptr_t session, int hop, std::string* next) {
    OwnedText host = HostFromUrl(address.c_str());
    int32_t port = PortFromUrl(address.c_str());
    // WinINet takes a 16-bit port: a larger one would quietly reach another.
    if (port < 0 || port > 0xFFFF) return false;
    intptr_t connection = CallExternal(kInternetConnectA, session, host.c_str(), static_cast<uint32_t>(port), "", "",
                                       kServiceHttp, 0u, 0u);
    if (connection == 0) return false;
    // WinINet never follows a redirect itself: it would do so without limit.
    uint32_t requestFlags = flags | kFlagNoAutoRedirect;
    requestFlags |= IsSecureAddress(address.c_str()) ? kFlagSecure : kFlagIgnoreRedirectToHttps;
    OwnedText path = PathFromUrl(address.c_str());
    intptr_t request = CallExternal(kHttpOpenRequestA, connection, verb.c_str(), path.c_str(), "HTTP/1.1", nullptr,
                                    nullptr, requestFlags, 0u);
    if (request == 0) {
        CloseHandles({connection});
        return false;
    }
    SetTimeouts(request);
    if (hop == 0) Publish(Opening::Opened);

    uint32_t headersLength = static_cast<uint32_t>(headers.size());
    if (!sendsBody) {
        CallExternal(kHttpSendRequestA, request, headers.c_str(), headersLength, "", 0u);
    } else {
        CallExternal(kHttpSendRequestWithBodyA, request, headers.c_str(), headersLength, body.data(),
                     static_cast<uint32_t>(body.size()));
    }

    // The headers are asked for as soon as the answer has begun, so that an
    // exchange cut short by its deadline still has them. A query that fails
    // (headers longer than the buffer) leaves the blanks.
    OwnedText query = BlankText(kHeaderBufferSize);
    uint32_t queryLength = kHeaderBufferSize;
    CallExternal(kHttpQueryInfoA, request, kQueryRawHeadersCrlf, query.get(), &queryLength, nullptr);
    std::string answer = query.c_str();
    {
        Locked hold(lock());
        answered = true;
        rawHeaders = answer;
    }

    // A redirect is followed the way WinINet would have: Location resolved
    // against this address, POST turned into GET by 301, 302 and 303, and
    // no body after a 303. Its own body is not read.
    int status = StatusOf(answer);
    if (followRedirects && hop < redirectsAllowed && IsRedirect(status) && !abandoned()) {
        const std::string location = LocationOf(answer);
        OwnedText target = ResolveLocation(address.c_str(), location.c_str());
        if (!target.empty() && !location.empty()) {
            *next = target.c_str();
            if (status == 303 || (status != 307 && status != 308 && verb == "POST")) {
                verb = "GET";
                sendsBody = false;
            }
            CloseHandles({request, connection});
            Locked hold(lock());
            answered = false;
            rawHeaders.clear();
            redirects = hop + 1;
            return true;
        }
    }

    bool readToEnd = false;
    for (;;) {
        if (abandoned()) break;
        uint8_t chunk[kReadChunk] = {};
        uint32_t count = 0;
        CallExternal(kInternetReadFile, request, chunk, static_cast<uint32_t>(kReadChunk), &count);
        if (count == 0) {
            readToEnd = true;
            break;
        }
        Locked hold(lock());
        if (!received.Append(chunk, std::min<uint32_t>(count, kReadChunk))) break;
    }
    // Closing a request whose body was not read to its end makes WinINet
    // read the rest first, for as long as a fast server keeps sending: the
    // caller need not wait for that, and an abandoned exchange does not keep
    // its body meanwhile.
    if (!readToEnd) ResultsComplete();
    if (abandoned()) {
        Locked hold(lock());
        received.Clear();
    }
    CloseHandles({request, connection});
    return true;
}

// One call's worth of AccessWebPage up to the 301 follow-up: the exchange,
// then the caller's variables. When the answer is a 301 to follow, stores
// the address to ask next in *followUp. *redirectsLeft counts down.
OwnedBytes RequestOnce(const char* url, const RequestArguments& a, uint64_t deadline, int* redirectsLeft,
                       OwnedText* followUp) {
    TextVariable sendCookies(a.sendCookies);
    TextVariable receivedCookies(a.receivedCookies);
    TextVariable headers(a.headers);
    TextVariable location(a.location);
    TextVariable proxy(a.proxy);
    TextVariable responseHeaders(a.responseHeaders);
    BytesVariable postBytes(a.postBytes);

    auto* exchange = new Exchange;
    exchange->address = url;
    exchange->verb = a.method == 1 ? "POST" : "GET";
    exchange->agent = ChooseAgent(headers.c_str()).c_str();
    exchange->viaProxy = proxy.given();
    if (proxy.given()) exchange->proxyName = Join({"http=", proxy.c_str()}).c_str();
    exchange->flags = kFlagReload | kFlagNeedFile;
    if (sendCookies.given()) exchange->flags |= kFlagNoCookies;
    exchange->followRedirects = !a.noRedirect;
    exchange->redirectsAllowed = *redirectsLeft;

    // The completed headers and the body reach the caller's variables only
    // once the request has been opened.
    OwnedText completed = OwnedText::CopyOf(headers.c_str());
    if (FindText(completed.c_str(), "Referer:") == -1) {
        completed = completed.empty() ? Join({"Referer: ", url}) : Join({completed.c_str(), "\r\nReferer: ", url});
    }
    if (FindText(completed.c_str(), "Accept:") == -1) completed = Join({completed.c_str(), "\r\nAccept: */*"});
    if (FindText(completed.c_str(), "Accept-Language:") == -1) {
        completed = Join({completed.c_str(), "\r\nAccept-Language: zh-cn"});
    }
    if (FindText(completed.c_str(), "Content-Type:") == -1) {
        completed = Join({completed.c_str(), "\r\nContent-Type: application/x-www-form-urlencoded"});
    }
    if (!sendCookies.empty()) completed = Join({completed.c_str(), "\r\nCookie: ", sendCookies.c_str()});
    exchange->headers = completed.c_str();
    OwnedBytes bodyFromText;
    if (a.method != 0) {
        exchange->sendsBody = true;
        if (BytesLength(postBytes.get()) == 0) bodyFromText = TextToBytes(a.postText);
        const void* body = bodyFromText.get() != nullptr ? bodyFromText.get() : postBytes.get();
        if (ByteSetLength(body) > 0) {
            exchange->body.assign(reinterpret_cast<const char*>(ByteSetBytes(body)), ByteSetLength(body));
        }
    }

    exchange->Start();
    exchange->WaitUntil(deadline);
    Exchange::Opening opening;
    bool answered;
    std::string rawHeaders;
    OwnedBytes body;
    {
        Locked hold(exchange->lock());
        opening = exchange->opening;
        answered = exchange->answered;
        rawHeaders = exchange->rawHeaders;
        // Past the deadline the exchange ends as a failed read would: with
        // what has arrived. The body is taken, not copied: an exchange still
        // reading starts a new one, which it drops once it sees it is abandoned.
        body = exchange->received.Finish();
        *redirectsLeft -= exchange->redirects;
    }
    exchange->Release();
    if (opening != Exchange::Opening::Opened) return OwnedBytes();

    headers.Set(std::move(completed));
    if (a.method != 0 && bodyFromText.get() != nullptr) postBytes.Set(std::move(bodyFromText));
    responseHeaders.Set(answered ? OwnedText::CopyOf(rawHeaders.c_str()) : BlankText(kHeaderBufferSize));

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
    if (status == "301" && hasLocation && *redirectsLeft > 0 && MillisecondsLeft(deadline) > 0) {
        *followUp = Join({location.c_str(), PathFromUrl(url).c_str()});
        location.Set(OwnedText());
        --*redirectsLeft;
    }
    return body;
}

}  // namespace

OwnedBytes AccessWebPage(const char* url, int32_t method, const char* postText, char** sendCookies,
                    char** receivedCookies, char** headers, char** location, bool noRedirect, void** postBytes,
                    char** proxy, char** responseHeaders) {
    const RequestArguments arguments = {method,   postText,   sendCookies, receivedCookies, headers,
                                        location, noRedirect, postBytes,   proxy,           responseHeaders};
    const uint64_t deadline = GetTickCount64() + kDeadlineMs;
    int redirectsLeft = kMaxFollowUps;
    // A moved answer is asked again at its Location with this address's
    // path appended; every other argument passes on as it now stands.
    OwnedText address = OwnedText::CopyOf(url);
    for (;;) {
        OwnedText next;
        OwnedBytes body = RequestOnce(address.c_str(), arguments, deadline, &redirectsLeft, &next);
        if (next.empty()) return body;
        address = std::move(next);
    }
}

OwnedText FetchPage(const char* url) {
    OwnedBytes body = AccessWebPage(url);
    return BytesToText(body.get());
}

}  // namespace lyra::app
