#include "app/web_exchange.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "app/deadline_job.h"
#include "app/text_routines.h"
#include "app/url_routines.h"
#include "program/external_functions.h"

namespace lyra::app {

using namespace cmd;

namespace {

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

// The body grows in one block, doubling its room, so reading n bytes costs
// O(n) copying however small the chunks are. It never grows past its limit.
class BodyBuilder {
public:
    explicit BodyBuilder(size_t limit) : limit_(limit) {}
    BodyBuilder(const BodyBuilder&) = delete;
    BodyBuilder& operator=(const BodyBuilder&) = delete;
    ~BodyBuilder() { Services().FreeMemory(block_); }

    // Appends what fits below the limit; false once the limit is reached.
    bool Append(const uint8_t* bytes, size_t n) {
        n = std::min(n, limit_ - size_);
        if (size_ + n > capacity_) {
            size_t room = std::max({capacity_ * 2, size_ + n, static_cast<size_t>(16 * 1024)});
            room = std::min(room, limit_);
            block_ = static_cast<uint8_t*>(Services().ReallocMemory(block_, 8 + room));
            capacity_ = room;
        }
        if (n > 0) std::memcpy(block_ + 8 + size_, bytes, n);
        size_ += n;
        return size_ < limit_;
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
    const size_t limit_;
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
void SetTimeouts(intptr_t handle, uint32_t milliseconds) {
    for (uint32_t option : {kOptionConnectTimeout, kOptionSendTimeout, kOptionReceiveTimeout}) {
        CallExternal(kInternetSetOptionA, handle, option, &milliseconds, static_cast<uint32_t>(sizeof milliseconds));
    }
}

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

// The exchange runs as a job so that its caller stops waiting at the
// deadline, wherever WinINet is blocked (a trickling server holds a single
// read for as long as it trickles). Everything it works on is its own.
class Exchange : public DeadlineJob {
public:
    enum class Opening { Pending, Opened, Failed };

    explicit Exchange(ExchangeRequest request) : received(request.bodyLimit), asked_(std::move(request)) {}

    // Published by Run under lock().
    Opening opening = Opening::Pending;
    bool answered = false;  // rawHeaders hold the last response's headers
    std::string rawHeaders;
    BodyBuilder received;
    int redirects = 0;

private:
    void Run() override;
    // Run alone uses it, and moves address, verb and body along the
    // redirects it follows.
    ExchangeRequest asked_;
    // Connection, request, send, header query and (unless it is a redirect
    // to follow) the reads of one address. False when a handle could not be
    // opened. Sets *next to the address to ask next, if any.
    bool AskOnce(intptr_t session, int hop, std::string* next);
    // Sends the request and publishes the answer's raw headers, which it
    // returns.
    std::string SendAndQuery(intptr_t request);
    // True when the answer is a redirect to follow, with *next its address.
    bool FollowsRedirect(const std::string& answer, int hop, std::string* next);
    void ReadBody(intptr_t request);
    void Publish(Opening state) {
        Locked hold(lock());
        opening = state;
    }
};

void Exchange::Run() {
    intptr_t session = 0;
    if (asked_.viaProxy) {
        session = CallExternal(kInternetOpenA, asked_.agent.c_str(), kOpenTypeProxy, asked_.proxyName.c_str(), "", 0u);
    } else {
        session = CallExternal(kInternetOpenA, asked_.agent.c_str(), kOpenTypeDirect, "", "", 0u);
    }
    if (session == 0) {
        Publish(Opening::Failed);
        return;
    }
    SetTimeouts(session, asked_.networkTimeoutMs);
    for (int hop = 0;; ++hop) {
        std::string next;
        if (!AskOnce(session, hop, &next)) {
            // The first address could not be asked at all; a redirect that
            // cannot be asked ends as an answer that never came.
            if (hop == 0) Publish(Opening::Failed);
            break;
        }
        if (next.empty()) break;
        asked_.address = next;
    }
    CloseHandles({session});
}

bool Exchange::AskOnce(intptr_t session, int hop, std::string* next) {
    OwnedText host = HostFromUrl(asked_.address.c_str());
    int32_t port = PortFromUrl(asked_.address.c_str());
    // WinINet takes a 16-bit port: a larger one would quietly reach another.
    if (port < 0 || port > 0xFFFF) return false;
    intptr_t connection = CallExternal(kInternetConnectA, session, host.c_str(), static_cast<uint32_t>(port), "", "",
                                       kServiceHttp, 0u, 0u);
    if (connection == 0) return false;
    // WinINet never follows a redirect itself: it would do so without limit.
    uint32_t requestFlags = kFlagReload | kFlagNeedFile | kFlagNoAutoRedirect;
    if (asked_.withoutWinInetCookies) requestFlags |= kFlagNoCookies;
    requestFlags |= IsSecureAddress(asked_.address.c_str()) ? kFlagSecure : kFlagIgnoreRedirectToHttps;
    OwnedText path = PathFromUrl(asked_.address.c_str());
    intptr_t request = CallExternal(kHttpOpenRequestA, connection, asked_.verb.c_str(), path.c_str(), "HTTP/1.1", nullptr,
                                    nullptr, requestFlags, 0u);
    if (request == 0) {
        CloseHandles({connection});
        return false;
    }
    SetTimeouts(request, asked_.networkTimeoutMs);
    if (hop == 0) Publish(Opening::Opened);

    std::string answer = SendAndQuery(request);
    if (FollowsRedirect(answer, hop, next)) {
        CloseHandles({request, connection});
        Locked hold(lock());
        answered = false;
        rawHeaders.clear();
        redirects = hop + 1;
        return true;
    }
    ReadBody(request);
    CloseHandles({request, connection});
    return true;
}

std::string Exchange::SendAndQuery(intptr_t request) {
    uint32_t headersLength = static_cast<uint32_t>(asked_.headers.size());
    if (!asked_.sendsBody) {
        CallExternal(kHttpSendRequestA, request, asked_.headers.c_str(), headersLength, "", 0u);
    } else {
        CallExternal(kHttpSendRequestWithBodyA, request, asked_.headers.c_str(), headersLength, asked_.body.data(),
                     static_cast<uint32_t>(asked_.body.size()));
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
    return answer;
}

// A redirect is followed the way WinINet would have: Location resolved
// against this address, POST turned into GET by 301, 302 and 303, and
// no body after a 303. Its own body is not read.
bool Exchange::FollowsRedirect(const std::string& answer, int hop, std::string* next) {
    int status = StatusOf(answer);
    if (!asked_.followRedirects || hop >= asked_.redirectsAllowed || !IsRedirect(status) || abandoned()) return false;
    const std::string location = LocationOf(answer);
    OwnedText target = ResolveLocation(asked_.address.c_str(), location.c_str());
    if (target.empty() || location.empty()) return false;
    *next = target.c_str();
    if (status == 303 || (status != 307 && status != 308 && asked_.verb == "POST")) {
        asked_.verb = "GET";
        asked_.sendsBody = false;
    }
    return true;
}

void Exchange::ReadBody(intptr_t request) {
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
}

}  // namespace

ExchangeOutcome RunExchange(ExchangeRequest request, uint64_t deadline) {
    auto* exchange = new Exchange(std::move(request));
    exchange->Start();
    exchange->WaitUntil(deadline);
    ExchangeOutcome outcome;
    bool answered;
    {
        Locked hold(exchange->lock());
        outcome.opened = exchange->opening == Exchange::Opening::Opened;
        answered = exchange->answered;
        outcome.responseHeaders = exchange->rawHeaders;
        // The body is taken, not copied: an exchange still reading starts a
        // new one, which it drops once it sees it is abandoned.
        outcome.body = exchange->received.Finish();
        outcome.redirectsFollowed = exchange->redirects;
    }
    exchange->Release();
    if (!answered) outcome.responseHeaders.assign(kHeaderBufferSize, ' ');
    return outcome;
}

}  // namespace lyra::app
