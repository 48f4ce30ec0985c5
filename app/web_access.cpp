#include "app/web_access.h"

#include <string>
#include <utility>

#include "app/deadline_job.h"
#include "app/text_routines.h"
#include "app/url_routines.h"
#include "app/web_exchange.h"

namespace lyra::app {

using namespace cmd;

namespace {

const char kDefaultAgent[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZQ7LB; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)";

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

// The caller's headers with the default lines it lacks, and its cookies.
OwnedText CompleteHeaders(const char* given, const char* url, const char* cookies) {
    OwnedText completed = OwnedText::CopyOf(given);
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
    if (cookies[0] != 0) completed = Join({completed.c_str(), "\r\nCookie: ", cookies});
    return completed;
}

// The location and the received cookies of an answer's headers: this
// answer's, never ones left from an earlier call.
void ReadAnswer(const char* responseHeaders, TextVariable& location, TextVariable& receivedCookies) {
    location.Set(OwnedText());
    receivedCookies.Set(OwnedText());
    std::string cookies;
    TextArray lines = SplitText(responseHeaders, "\r\n");
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
}

// One call's worth of AccessWebPage up to the 301 follow-up: the exchange,
// then the caller's variables. When the answer is a 301 to follow, stores
// the address to ask next in *followUp. *redirectsLeft counts down.
OwnedBytes RequestOnce(const char* url, const WebRequest& request, const PageLimits& limits, uint64_t deadline,
                       int* redirectsLeft, OwnedText* followUp) {
    TextVariable sendCookies(request.sendCookies);
    TextVariable receivedCookies(request.receivedCookies);
    TextVariable headers(request.headers);
    TextVariable location(request.location);
    TextVariable proxy(request.proxy);
    TextVariable responseHeaders(request.responseHeaders);
    BytesVariable postBytes(request.postBytes);

    ExchangeRequest asked;
    asked.address = url;
    asked.verb = request.method == 1 ? "POST" : "GET";
    asked.agent = ChooseAgent(headers.c_str()).c_str();
    asked.viaProxy = proxy.given();
    if (proxy.given()) asked.proxyName = Join({"http=", proxy.c_str()}).c_str();
    asked.withoutWinInetCookies = sendCookies.given();
    asked.followRedirects = !request.noRedirect;
    asked.redirectsAllowed = *redirectsLeft;
    asked.networkTimeoutMs = limits.networkTimeoutMs;
    asked.bodyLimit = limits.bodyLimit;

    // The completed headers and the body reach the caller's variables only
    // once the request has been opened.
    OwnedText completed = CompleteHeaders(headers.c_str(), url, sendCookies.c_str());
    asked.headers = completed.c_str();
    OwnedBytes bodyFromText;
    if (request.method != 0) {
        asked.sendsBody = true;
        if (BytesLength(postBytes.get()) == 0) bodyFromText = TextToBytes(request.postText);
        const void* body = bodyFromText.get() != nullptr ? bodyFromText.get() : postBytes.get();
        if (ByteSetLength(body) > 0) {
            asked.body.assign(reinterpret_cast<const char*>(ByteSetBytes(body)), ByteSetLength(body));
        }
    }

    ExchangeOutcome outcome = RunExchange(std::move(asked), deadline);
    *redirectsLeft -= outcome.redirectsFollowed;
    if (!outcome.opened) return OwnedBytes();

    headers.Set(std::move(completed));
    if (request.method != 0 && bodyFromText.get() != nullptr) postBytes.Set(std::move(bodyFromText));
    responseHeaders.Set(OwnedText::CopyOf(outcome.responseHeaders.c_str()));
    ReadAnswer(responseHeaders.c_str(), location, receivedCookies);
    if (sendCookies.given()) MergeCookies(sendCookies.slot(), receivedCookies.slot());
    // Without a Location there is nowhere to follow a 301 to: the headers
    // themselves would be taken for an address.
    const bool hasLocation = !location.empty();
    if (!hasLocation) location.Set(OwnedText::CopyOf(responseHeaders.c_str()));

    OwnedText status = TextBetween(responseHeaders.c_str(), "HTTP/1.1 ", " Moved");
    if (status == "301" && hasLocation && *redirectsLeft > 0 && MillisecondsLeft(deadline) > 0) {
        *followUp = Join({location.c_str(), PathFromUrl(url).c_str()});
        location.Set(OwnedText());
        --*redirectsLeft;
    }
    return std::move(outcome.body);
}

}  // namespace

OwnedBytes AccessWebPage(const WebRequest& request, const PageLimits& limits) {
    const uint64_t deadline = GetTickCount64() + limits.exchangeDeadlineMs;
    int redirectsLeft = limits.redirectHops;
    // A moved answer is asked again at its Location with this address's
    // path appended; every other member passes on as it now stands.
    OwnedText address = OwnedText::CopyOf(request.url);
    for (;;) {
        OwnedText next;
        OwnedBytes body = RequestOnce(address.c_str(), request, limits, deadline, &redirectsLeft, &next);
        if (next.empty()) return body;
        address = std::move(next);
    }
}

OwnedText FetchPage(const char* url, const PageLimits& limits) {
    WebRequest request;
    request.url = url;
    OwnedBytes body = AccessWebPage(request, limits);
    return BytesToText(body.get());
}

}  // namespace lyra::app
