// The web page access against a loopback server, through the program's own
// external function table. Where a case needs to see what the routine hands
// to WinINet, the entries are bound in advance to recorders that pass each
// call on to the real function.
#include <winsock2.h>
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "app/deadline_job.h"
#include "app/web_access.h"
#include "program/external_functions.h"
#include "runtime/external.h"
#include "runtime/runtime_state.h"
#include "test_support/loopback_server.h"
#include "test_support/message_sequence.h"
#include "test_support/waits.h"

namespace lyra {

namespace {

using app::AccessWebPage;
using app::OwnedBytes;
using app::FetchPage;
using app::OwnedText;
using app::WebRequest;
using test::LoopbackServer;
using test::MessageStep;
using test::RecordedRequest;
using test::ScriptedResponse;

// Short enough for the hostile servers' cases to end quickly.
constexpr app::PageLimits kLimits = [] {
    app::PageLimits limits;
    limits.networkTimeoutMs = 1500;
    limits.exchangeDeadlineMs = 3000;
    limits.bodyLimit = size_t{4} << 20;
    return limits;
}();

WebRequest Request(const char* url) {
    WebRequest request;
    request.url = url;
    return request;
}

const char kDefaultAgent[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZQ7LB; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)";
const char kDefaultHeaders[] =
    "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";

// ---- What the routine hands to WinINet ----

struct WinInetCalls {
    std::vector<std::string> sequence;
    std::string agent;
    DWORD accessType = 0;
    std::string proxyName;
    std::string host;
    DWORD port = 0;
    std::string verb;
    std::string path;
    std::string version;
    DWORD flags = 0;
    std::string sentHeaders;
    std::string sentBody;
    std::vector<std::pair<DWORD, DWORD>> options;  // option, milliseconds
    HINTERNET session = nullptr, connection = nullptr, request = nullptr;
};
WinInetCalls gCalls;
bool gFailOpen = false;
DWORD gFailSendWith = 0;  // non-zero: the send fails with this error, nothing is sent

std::string Copy(const char* text) { return text != nullptr ? text : "<null>"; }

HINTERNET WINAPI RecordInternetOpen(LPCSTR agent, DWORD access, LPCSTR proxy, LPCSTR bypass, DWORD flags) {
    gCalls.sequence.push_back("open");
    gCalls.agent = Copy(agent);
    gCalls.accessType = access;
    gCalls.proxyName = Copy(proxy);
    if (gFailOpen) return nullptr;
    return gCalls.session = InternetOpenA(agent, access, proxy, bypass, flags);
}
HINTERNET WINAPI RecordConnect(HINTERNET session, LPCSTR host, INTERNET_PORT port, LPCSTR user, LPCSTR password,
                               DWORD service, DWORD flags, DWORD_PTR context) {
    gCalls.sequence.push_back("connect");
    gCalls.host = Copy(host);
    gCalls.port = port;
    return gCalls.connection = InternetConnectA(session, host, port, user, password, service, flags, context);
}
HINTERNET WINAPI RecordOpenRequest(HINTERNET connection, LPCSTR verb, LPCSTR path, LPCSTR version, LPCSTR referrer,
                                   LPCSTR* accept, DWORD flags, DWORD_PTR context) {
    gCalls.sequence.push_back("open request");
    gCalls.verb = Copy(verb);
    gCalls.path = Copy(path);
    gCalls.version = Copy(version);
    gCalls.flags = flags;
    return gCalls.request = HttpOpenRequestA(connection, verb, path, version, referrer, accept, flags, context);
}
BOOL Send(const char* name, HINTERNET request, LPCSTR headers, DWORD length, LPVOID body, DWORD bodyLength) {
    gCalls.sequence.push_back(name);
    gCalls.sentHeaders.assign(headers, length);
    gCalls.sentBody.assign(static_cast<const char*>(body), body != nullptr ? bodyLength : 0);
    if (gFailSendWith != 0) {
        SetLastError(gFailSendWith);
        return FALSE;
    }
    return HttpSendRequestA(request, headers, length, body, bodyLength);
}
BOOL WINAPI RecordSend(HINTERNET request, LPCSTR headers, DWORD length, LPVOID body, DWORD bodyLength) {
    return Send("send", request, headers, length, body, bodyLength);
}
BOOL WINAPI RecordSendWithBody(HINTERNET request, LPCSTR headers, DWORD length, LPVOID body, DWORD bodyLength) {
    return Send("send with body", request, headers, length, body, bodyLength);
}
BOOL WINAPI RecordRead(HINTERNET request, LPVOID buffer, DWORD size, LPDWORD read) {
    if (gCalls.sequence.empty() || gCalls.sequence.back() != "read") gCalls.sequence.push_back("read");
    return InternetReadFile(request, buffer, size, read);
}
BOOL WINAPI RecordQuery(HINTERNET request, DWORD level, LPVOID buffer, LPDWORD length, LPDWORD index) {
    gCalls.sequence.push_back("query " + std::to_string(level));
    return HttpQueryInfoA(request, level, buffer, length, index);
}
BOOL WINAPI RecordSetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
    if (handle == gCalls.session) {
        DWORD value = 0;
        if (length == sizeof value) std::memcpy(&value, buffer, sizeof value);
        gCalls.options.emplace_back(option, value);
    }
    return InternetSetOptionA(handle, option, buffer, length);
}
BOOL WINAPI RecordClose(HINTERNET handle) {
    if (handle == gCalls.request) gCalls.sequence.push_back("close request");
    else if (handle == gCalls.connection) gCalls.sequence.push_back("close connection");
    else if (handle == gCalls.session) gCalls.sequence.push_back("close session");
    else gCalls.sequence.push_back("close other");
    return InternetCloseHandle(handle);
}

void Prebind(int index, void* address) { Runtime().externalAddresses[index].store(address); }

// ---- Fixture ----

OwnedText T(const char* text) { return OwnedText::CopyOf(text); }
std::string S(const OwnedText& text) { return text.c_str(); }
std::string S(const OwnedBytes& bytes) {
    return bytes.get() == nullptr ? std::string()
                                  : std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

ScriptedResponse Ok(const std::string& body, std::vector<std::string> headers = {}) {
    ScriptedResponse response;
    response.body = body;
    response.headerLines = std::move(headers);
    return response;
}

class WebAccess : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpExternalFunctions(kExternalFunctionCount, kExternalLibraryNames.data(), kExternalFunctionNames.data());
        gCalls = WinInetCalls();
        gFailOpen = false;
        gFailSendWith = 0;
    }
    void TearDown() override {
        // An exchange given up at its deadline ends once its server has
        // gone; none may outlive the test and call into the next one's table.
        test::WaitFor([] { return app::DeadlineJob::LiveCount() == 0; }, 30000);
        EXPECT_EQ(app::DeadlineJob::LiveCount(), 0) << "an exchange outlived its server";
    }

    // Entries 0-7 and 11 bound to the recorders.
    static void Record() {
        Prebind(kInternetOpenA, reinterpret_cast<void*>(&RecordInternetOpen));
        Prebind(kInternetCloseHandle, reinterpret_cast<void*>(&RecordClose));
        Prebind(kInternetConnectA, reinterpret_cast<void*>(&RecordConnect));
        Prebind(kHttpOpenRequestA, reinterpret_cast<void*>(&RecordOpenRequest));
        Prebind(kHttpSendRequestA, reinterpret_cast<void*>(&RecordSend));
        Prebind(kHttpSendRequestWithBodyA, reinterpret_cast<void*>(&RecordSendWithBody));
        Prebind(kInternetReadFile, reinterpret_cast<void*>(&RecordRead));
        Prebind(kHttpQueryInfoA, reinterpret_cast<void*>(&RecordQuery));
        Prebind(kInternetSetOptionA, reinterpret_cast<void*>(&RecordSetOption));
    }

    static std::string Url(const LoopbackServer& server, const std::string& path) {
        return "http://" + server.Origin() + path;
    }
};

// What the header query leaves when no answer came: its blanks where the
// query fails, or the empty header block that Wine answers with.
bool NoResponseHeaders(const OwnedText& headers) {
    return S(headers) == std::string(5000, ' ') || S(headers) == "\r\n";
}

// The header lines of a request that match one of the names, in order.
std::vector<std::string> LinesNamed(const RecordedRequest& request, std::initializer_list<const char*> names) {
    std::vector<std::string> lines;
    for (const std::string& line : request.headerLines) {
        for (const char* name : names) {
            if (line.rfind(name, 0) == 0) lines.push_back(line);
        }
    }
    return lines;
}

// ---- Requests as sent ----

TEST(ExternalFunctionTable, WebEntriesNameTheirWinInetExports) {
    const std::pair<int, const char*> entries[] = {
        {kInternetOpenA, "InternetOpenA"},       {kInternetCloseHandle, "InternetCloseHandle"},
        {kInternetConnectA, "InternetConnectA"}, {kHttpOpenRequestA, "HttpOpenRequestA"},
        {kHttpSendRequestA, "HttpSendRequestA"}, {kHttpSendRequestWithBodyA, "HttpSendRequestA"},
        {kInternetReadFile, "InternetReadFile"}, {kHttpQueryInfoA, "HttpQueryInfoA"},
        {kInternetSetOptionA, "InternetSetOptionA"},
    };
    for (const auto& entry : entries) {
        EXPECT_STREQ(kExternalFunctionNames[entry.first], entry.second);
        EXPECT_STREQ(kExternalLibraryNames[entry.first], "wininet.dll");
    }
}

// The WinINet calls of one whole page exchange.
const MessageStep kWholeExchange[] = {
    {"open", "InternetOpen: the session"},
    {"connect", "InternetConnect: the host"},
    {"open request", "HttpOpenRequest"},
    {"send", "HttpSendRequest"},
    {"query 22", "HttpQueryInfo for the raw response headers"},
    {"read", "InternetReadFile, once or more"},
    {"close request", "the request handle closed"},
    {"close connection", "the connection handle closed"},
    {"close session", "the session handle closed"},
};

TEST_F(WebAccess, AddressWithoutSchemeGetsTheDefaultHeadersInOrder) {
    LoopbackServer server([](const RecordedRequest&) { return Ok("page"); });
    ASSERT_TRUE(server.listening());
    Record();
    std::string address = server.Origin() + "/5.aspx?qq=1";

    OwnedText page = FetchPage(address.c_str(), kLimits);
    EXPECT_EQ(S(page), "page");

    EXPECT_EQ(gCalls.agent, kDefaultAgent);
    EXPECT_EQ(gCalls.accessType, static_cast<DWORD>(INTERNET_OPEN_TYPE_DIRECT));
    EXPECT_EQ(gCalls.host, "127.0.0.1");
    EXPECT_EQ(gCalls.port, server.port());
    EXPECT_EQ(gCalls.verb, "GET");
    EXPECT_EQ(gCalls.path, "/5.aspx?qq=1");
    EXPECT_EQ(gCalls.version, "HTTP/1.1");
    EXPECT_EQ(gCalls.flags, static_cast<DWORD>(INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE |
                                               INTERNET_FLAG_NO_AUTO_REDIRECT |
                                               INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS))
        << "WinINet never follows a redirect by itself";
    EXPECT_EQ(gCalls.sentHeaders, "Referer: " + address + kDefaultHeaders);
    EXPECT_EQ(gCalls.sentBody, "");
    EXPECT_SEQUENCE(gCalls.sequence, kWholeExchange)
        << "the headers are asked for before the body, so a body cut short keeps them";

    ASSERT_EQ(server.RequestCount(), 1u);
    RecordedRequest request = server.Requests()[0];
    EXPECT_EQ(request.requestLine, "GET /5.aspx?qq=1 HTTP/1.1");
    EXPECT_EQ(LinesNamed(request, {"Referer:", "Accept:", "Accept-Language:", "Content-Type:"}),
              (std::vector<std::string>{"Referer: " + address, "Accept: */*", "Accept-Language: zh-cn",
                                        "Content-Type: application/x-www-form-urlencoded"}));
    EXPECT_EQ(request.Header("User-Agent"), kDefaultAgent);
}

TEST_F(WebAccess, TimeoutsAreSetOnTheSession) {
    LoopbackServer server([](const RecordedRequest&) { return Ok(""); });
    Record();
    FetchPage(Url(server, "/").c_str(), kLimits);
    DWORD timeout = kLimits.networkTimeoutMs;
    EXPECT_EQ(gCalls.options, (std::vector<std::pair<DWORD, DWORD>>{{INTERNET_OPTION_CONNECT_TIMEOUT, timeout},
                                                                     {INTERNET_OPTION_SEND_TIMEOUT, timeout},
                                                                     {INTERNET_OPTION_RECEIVE_TIMEOUT, timeout}}));
}

TEST_F(WebAccess, HttpsAddressGivesLowerCaseHostPortPathAndTheSecureFlag) {
    Record();
    gFailSendWith = ERROR_INTERNET_CANNOT_CONNECT;  // nothing leaves the machine
    OwnedText responseHeaders;
    WebRequest call = Request("HTTPS://LocalHost:8443/a");
    call.responseHeaders = responseHeaders.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(body.get(), nullptr);
    EXPECT_EQ(gCalls.host, "localhost");
    EXPECT_EQ(gCalls.port, 8443u);
    EXPECT_EQ(gCalls.path, "/a");
    EXPECT_TRUE(gCalls.flags & INTERNET_FLAG_SECURE);
    EXPECT_FALSE(gCalls.flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS);
    EXPECT_TRUE(NoResponseHeaders(responseHeaders)) << S(responseHeaders);
}

TEST_F(WebAccess, CallersAcceptLineSuppressesTheDefaultOnlyInTheSameCase) {
    LoopbackServer server([](const RecordedRequest&) { return Ok("x"); });
    Record();
    std::string url = Url(server, "/h");

    OwnedText headers = T("Accept: text/html");
    WebRequest call = Request(url.c_str());
    call.headers = headers.Slot();
    AccessWebPage(call, kLimits);
    std::string expected = "Accept: text/html\r\nReferer: " + url +
                           "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";
    EXPECT_EQ(gCalls.sentHeaders, expected);
    EXPECT_EQ(S(headers), expected) << "the caller's variable holds the completed headers";

    headers = T("accept: text/html");
    call = Request(url.c_str());
    call.headers = headers.Slot();
    AccessWebPage(call, kLimits);
    EXPECT_EQ(gCalls.sentHeaders, "accept: text/html\r\nReferer: " + url + kDefaultHeaders);
}

TEST_F(WebAccess, UserAgentLineNamesTheAgentAndIsSentToo) {
    LoopbackServer server([](const RecordedRequest&) { return Ok("x"); });
    Record();
    std::string url = Url(server, "/");
    struct Case {
        const char* headers;
        const char* agent;
    };
    const Case cases[] = {
        {"user-agent:  Probe/1.0 \r\nX-A: 1", "Probe/1.0"},
        {"User-Agent: Last/2.0", "Last/2.0"},
        {"X-A: 1\r\nUser-Agent: Last/3.0", "Last/3.0"},
    };
    for (const Case& c : cases) {
        OwnedText headers = T(c.headers);
        WebRequest call = Request(url.c_str());
        call.headers = headers.Slot();
        AccessWebPage(call, kLimits);
        EXPECT_EQ(gCalls.agent, c.agent) << c.headers;
        EXPECT_EQ(gCalls.sentHeaders.rfind(c.headers, 0), 0u) << "the line stays in the headers";
    }
}

TEST_F(WebAccess, PostSendsPostBytesOrElseTheBytesOfPostText) {
    LoopbackServer server([](const RecordedRequest&) { return Ok("done"); });
    Record();
    std::string url = Url(server, "/form");

    OwnedBytes postBytes;
    WebRequest call = Request(url.c_str());
    call.method = 1;
    call.postText = "a=1&b=2";
    call.postBytes = postBytes.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(S(body), "done");
    EXPECT_EQ(gCalls.sequence[3], "send with body");
    EXPECT_EQ(S(postBytes), "a=1&b=2") << "empty postBytes is filled from postText";

    const char raw[] = {'z', 0, 'y'};
    const int32_t header[2] = {1, 3};
    void* block = app::Services().AllocMemory(11);
    std::memcpy(block, header, 8);
    std::memcpy(static_cast<char*>(block) + 8, raw, 3);
    postBytes.Reset(block);
    call = Request(url.c_str());
    call.method = 2;
    call.postText = "ignored";
    call.postBytes = postBytes.Slot();
    AccessWebPage(call, kLimits);

    ASSERT_EQ(server.RequestCount(), 2u);
    std::vector<RecordedRequest> requests = server.Requests();
    EXPECT_EQ(requests[0].requestLine, "POST /form HTTP/1.1");
    EXPECT_EQ(requests[0].body, "a=1&b=2");
    EXPECT_EQ(requests[1].requestLine, "GET /form HTTP/1.1") << "method 2 is a GET with a body";
    EXPECT_EQ(requests[1].body, std::string(raw, 3));
}

TEST_F(WebAccess, ProxyIsAskedForTheWholeAddress) {
    LoopbackServer proxy([](const RecordedRequest&) { return Ok("via proxy"); });
    Record();
    OwnedText proxyName = T(proxy.Origin().c_str());
    WebRequest call = Request("http://far.example/p?q=1");
    call.proxy = proxyName.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(S(body), "via proxy");
    EXPECT_EQ(gCalls.accessType, static_cast<DWORD>(INTERNET_OPEN_TYPE_PROXY));
    EXPECT_EQ(gCalls.proxyName, "http=" + proxy.Origin());
    ASSERT_EQ(proxy.RequestCount(), 1u);
    std::string line = proxy.Requests()[0].requestLine;
    EXPECT_EQ(line.rfind("GET http://far.example", 0), 0u) << line;
    EXPECT_NE(line.find("/p?q=1 HTTP/1.1"), std::string::npos) << line;
}

// ---- Cookies ----

TEST_F(WebAccess, SetCookieLinesAreCollectedAndMergedIntoStoredCookies) {
    std::vector<std::string> setCookies = {"Set-Cookie: a=1; path=/", "Set-Cookie: b=2; path=/"};
    LoopbackServer server([&](const RecordedRequest&) { return Ok("c", setCookies); });
    Record();
    std::string url = Url(server, "/c");

    OwnedText received = T("stale");
    WebRequest call = Request(url.c_str());
    call.receivedCookies = received.Slot();
    AccessWebPage(call, kLimits);
    EXPECT_EQ(S(received), "a=1; b=2");
    EXPECT_FALSE(gCalls.flags & INTERNET_FLAG_NO_COOKIES);

    OwnedText stored = T("b=9; c=3");
    call = Request(url.c_str());
    call.sendCookies = stored.Slot();
    call.receivedCookies = received.Slot();
    AccessWebPage(call, kLimits);
    EXPECT_EQ(S(stored), "a=1; b=2; c=3");
    EXPECT_TRUE(gCalls.flags & INTERNET_FLAG_NO_COOKIES);
    EXPECT_NE(gCalls.sentHeaders.find("\r\nCookie: b=9; c=3"), std::string::npos);
    EXPECT_EQ(server.Requests().back().Header("Cookie"), "b=9; c=3");

    setCookies.push_back("Set-Cookie: c=deleted; path=/");
    stored = T("b=9; c=3");
    call = Request(url.c_str());
    call.sendCookies = stored.Slot();
    AccessWebPage(call, kLimits);
    EXPECT_EQ(S(stored), "a=1; b=2");
}

TEST_F(WebAccess, GivenButEmptyCookiesSwitchOffWinInetsCookiesAndSendNoCookieLine) {
    LoopbackServer server([](const RecordedRequest&) { return Ok("c", {"Set-Cookie: s=5; path=/"}); });
    Record();
    OwnedText stored;
    const std::string address = Url(server, "/");
    WebRequest call = Request(address.c_str());
    call.sendCookies = stored.Slot();
    AccessWebPage(call, kLimits);
    EXPECT_TRUE(gCalls.flags & INTERNET_FLAG_NO_COOKIES);
    EXPECT_EQ(gCalls.sentHeaders.find("Cookie:"), std::string::npos);
    EXPECT_EQ(S(stored), "s=5");
}

// ---- Redirects ----

TEST_F(WebAccess, Status302IsNotFollowedByTheRoutine) {
    std::string target;
    LoopbackServer server([&](const RecordedRequest&) {
        ScriptedResponse response = Ok("see other", {"Location: " + target});
        response.statusLine = "HTTP/1.1 302 Found";
        return response;
    });
    target = Url(server, "/elsewhere");
    OwnedText location = T("sentinel");
    const std::string address = Url(server, "/start");
    WebRequest call = Request(address.c_str());
    call.location = location.Slot();
    call.noRedirect = true;
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(S(body), "see other");
    EXPECT_EQ(S(location), target);
    EXPECT_EQ(server.RequestCount(), 1u);
}

TEST_F(WebAccess, Status301IsFollowedWithTheFirstPathAppended) {
    std::string target;
    LoopbackServer server([&](const RecordedRequest& request) {
        if (request.Path() == "/old?x=1") {
            ScriptedResponse response = Ok("moved", {"Location: " + target});
            response.statusLine = "HTTP/1.1 301 Moved Permanently";
            return response;
        }
        return Ok("arrived at " + request.Path());
    });
    target = Url(server, "/new");
    std::string first = Url(server, "/old?x=1");
    OwnedText headers;
    OwnedText location = T("sentinel");
    WebRequest call = Request(first.c_str());
    call.headers = headers.Slot();
    call.location = location.Slot();
    call.noRedirect = true;
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(S(body), "arrived at /new/old?x=1");
    ASSERT_EQ(server.RequestCount(), 2u);
    EXPECT_EQ(server.Requests()[1].Header("Referer"), first) << "the completed headers pass on";
    EXPECT_NE(S(location).find("HTTP/1.1 200"), std::string::npos) << "no Location: the whole headers";
}

TEST_F(WebAccess, Status301WithoutLocationIsNotFollowed) {
    LoopbackServer server([](const RecordedRequest&) {
        ScriptedResponse response = Ok("nowhere");
        response.statusLine = "HTTP/1.1 301 Moved Permanently";
        return response;
    });
    OwnedText location;
    const std::string address = Url(server, "/m");
    WebRequest call = Request(address.c_str());
    call.location = location.Slot();
    call.noRedirect = true;
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(S(body), "nowhere");
    EXPECT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(S(location).rfind("HTTP/1.1 301 Moved Permanently\r\n", 0), 0u) << "the whole headers";
}

TEST_F(WebAccess, Status301LoopEndsAfterTenFollowUps) {
    std::string target;
    LoopbackServer server([&](const RecordedRequest& request) {
        ScriptedResponse response = Ok("hop " + request.Path(), {"Location: " + target});
        response.statusLine = "HTTP/1.1 301 Moved Permanently";
        response.keepAlive = true;
        return response;
    });
    target = Url(server, "/l");
    OwnedText location;
    const std::string address = Url(server, "/l");
    WebRequest call = Request(address.c_str());
    call.location = location.Slot();
    call.noRedirect = true;
    OwnedBytes body = AccessWebPage(call, kLimits);
    ASSERT_EQ(server.RequestCount(), 11u) << "the first request and ten follow-ups";
    std::string lastPath = server.Requests().back().Path();
    EXPECT_EQ(lastPath, "/l/l/l/l/l/l/l/l/l/l/l");
    EXPECT_EQ(S(body), "hop " + lastPath) << "what the last answer gave";
    EXPECT_EQ(S(location), target);
}

// ---- Bodies and failures ----

TEST_F(WebAccess, BodyWithZeroBytesIsWholeButThePageEndsAtTheFirst) {
    const std::string bytes("ab\0cd\0", 6);
    LoopbackServer server([&](const RecordedRequest&) { return Ok(bytes); });
    std::string url = Url(server, "/z");
    EXPECT_EQ(S(AccessWebPage(Request(url.c_str()), kLimits)), bytes);
    EXPECT_EQ(S(FetchPage(url.c_str(), kLimits)), "ab");
}

TEST_F(WebAccess, EmptyBodyIsAnEmptyByteSet) {
    LoopbackServer server([&](const RecordedRequest&) { return Ok(""); });
    OwnedText responseHeaders;
    const std::string address = Url(server, "/");
    WebRequest call = Request(address.c_str());
    call.responseHeaders = responseHeaders.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(body.get(), nullptr);
    EXPECT_EQ(S(responseHeaders).rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
}

TEST_F(WebAccess, LargeBodyArrivesWhole) {
    std::string bytes(300000, 0);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 1024);
    LoopbackServer server([&](const RecordedRequest&) {
        ScriptedResponse response = Ok(bytes);
        response.chunkSize = 65536;
        return response;
    });
    EXPECT_EQ(S(AccessWebPage(Request(Url(server, "/big").c_str()), kLimits)), bytes);
}

const MessageStep kSessionRefused[] = {
    {"open", "InternetOpen, which fails"},
};

TEST_F(WebAccess, SessionThatCannotBeOpenedLeavesEveryVariableAsItWas) {
    Record();
    gFailOpen = true;
    OwnedText cookies = T("c=0xdeadbeef");
    OwnedText received = T("0xdeadbeef");
    OwnedText headers = T("X-Sentinel: 1");
    OwnedText location = T("0xdeadbeef location");
    OwnedText responseHeaders = T("0xdeadbeef headers");
    WebRequest call = Request("http://127.0.0.1:9/");
    call.sendCookies = cookies.Slot();
    call.receivedCookies = received.Slot();
    call.headers = headers.Slot();
    call.location = location.Slot();
    call.responseHeaders = responseHeaders.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(body.get(), nullptr);
    EXPECT_EQ(S(cookies), "c=0xdeadbeef");
    EXPECT_EQ(S(received), "0xdeadbeef");
    EXPECT_EQ(S(headers), "X-Sentinel: 1");
    EXPECT_EQ(S(location), "0xdeadbeef location");
    EXPECT_EQ(S(responseHeaders), "0xdeadbeef headers");
    EXPECT_SEQUENCE(gCalls.sequence, kSessionRefused);
}

const MessageStep kAddressRefusedBeforeConnecting[] = {
    {"open", "InternetOpen: the session"},
    {"close session", "the session handle closed, no connection made"},
};

TEST_F(WebAccess, PortBeyondSixteenBitsIsNotWrappedOntoAnotherPort) {
    LoopbackServer server([](const RecordedRequest&) { return Ok("wrong port"); });
    Record();
    OwnedText location = T("sentinel");
    std::string url = "http://127.0.0.1:" + std::to_string(server.port() + 65536) + "/";
    WebRequest call = Request(url.c_str());
    call.location = location.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(body.get(), nullptr);
    EXPECT_EQ(S(location), "sentinel");
    EXPECT_SEQUENCE(gCalls.sequence, kAddressRefusedBeforeConnecting);
    EXPECT_EQ(server.RequestCount(), 0u);
}

TEST_F(WebAccess, HeadersLongerThanTheBufferLeaveItsBlanks) {
    std::vector<std::string> lines;
    for (int i = 0; i < 6; ++i) lines.push_back("X-Filler-" + std::to_string(i) + ": " + std::string(1000, 'f'));
    LoopbackServer server([&](const RecordedRequest&) { return Ok("body", lines); });
    OwnedText responseHeaders;
    OwnedText location;
    const std::string address = Url(server, "/");
    WebRequest call = Request(address.c_str());
    call.location = location.Slot();
    call.responseHeaders = responseHeaders.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(S(body), "body");
    EXPECT_EQ(S(responseHeaders), std::string(5000, ' '));
    EXPECT_EQ(S(location), std::string(5000, ' '));
}

TEST_F(WebAccess, RefusedConnectionGivesAnEmptyBodyAndBlankHeaders) {
    uint16_t port;
    {
        LoopbackServer closed([](const RecordedRequest&) { return Ok(""); });
        port = closed.port();
    }
    OwnedText responseHeaders;
    const std::string address = ("127.0.0.1:" + std::to_string(port) + "/");
    WebRequest call = Request(address.c_str());
    call.responseHeaders = responseHeaders.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(body.get(), nullptr);
    EXPECT_TRUE(NoResponseHeaders(responseHeaders)) << S(responseHeaders);
}

TEST_F(WebAccess, UnresolvableHostEndsAsAFailedSend) {
    Record();
    gFailSendWith = ERROR_INTERNET_NAME_NOT_RESOLVED;
    OwnedText responseHeaders;
    OwnedText received = T("old");
    WebRequest call = Request("http://no-such-host.invalid/x");
    call.receivedCookies = received.Slot();
    call.responseHeaders = responseHeaders.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    EXPECT_EQ(body.get(), nullptr);
    EXPECT_TRUE(NoResponseHeaders(responseHeaders)) << S(responseHeaders);
    EXPECT_EQ(S(received), "");
    EXPECT_EQ(gCalls.sequence.back(), "close session");
}

TEST_F(WebAccess, ServerClosingMidBodyGivesWhatArrived) {
    const std::string full(8000, 'q');
    LoopbackServer server([&](const RecordedRequest&) {
        ScriptedResponse response = Ok(full);
        response.mode = ScriptedResponse::Mode::CutOff;
        response.cutAfter = 3000;
        return response;
    });
    std::string body = S(AccessWebPage(Request(Url(server, "/cut").c_str()), kLimits));
    EXPECT_LE(body.size(), 3000u);
    EXPECT_EQ(body, full.substr(0, body.size()));
}

TEST_F(WebAccess, SilentServerIsGivenUpAfterTheTimeout) {
    LoopbackServer server([](const RecordedRequest&) {
        ScriptedResponse response;
        response.mode = ScriptedResponse::Mode::Silent;
        return response;
    });
    OwnedText responseHeaders;
    DWORD start = GetTickCount();
    const std::string address = Url(server, "/silent");
    WebRequest call = Request(address.c_str());
    call.responseHeaders = responseHeaders.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(body.get(), nullptr);
    EXPECT_TRUE(NoResponseHeaders(responseHeaders)) << S(responseHeaders);
    EXPECT_EQ(server.RequestCount(), 1u);
    EXPECT_LT(elapsed, 20u * kLimits.networkTimeoutMs) << "bounded by the timeout, not left waiting";
}

TEST_F(WebAccess, SlowAnswerWithinTheTimeoutArrivesWhole) {
    std::string bytes(4096, 's');
    LoopbackServer server([&](const RecordedRequest&) {
        ScriptedResponse response = Ok(bytes);
        response.chunkSize = 1000;
        response.chunkPauseMs = 50;
        return response;
    });
    EXPECT_EQ(S(AccessWebPage(Request(Url(server, "/slow").c_str()), kLimits)), bytes);
}

// ---- Hostile servers ----
// Each case must end well inside a generous bound, with the out-variables
// describing the last answer. The exchange deadline asked is
// kLimits.exchangeDeadlineMs.

ScriptedResponse Redirect(int status, const std::string& location, const std::string& body = "moved") {
    ScriptedResponse response = Ok(body, {"Location: " + location});
    response.statusLine = "HTTP/1.1 " + std::to_string(status) + " Redirected";
    response.keepAlive = true;
    return response;
}

struct Outcome {
    std::string body;
    std::string responseHeaders;
    std::string location;
    std::string receivedCookies;
    DWORD milliseconds = 0;
};

Outcome Access(const std::string& url, int32_t method = 0, const char* postText = nullptr) {
    OwnedText received, location, responseHeaders;
    DWORD start = GetTickCount();
    WebRequest call = Request(url.c_str());
    call.method = method;
    call.postText = postText;
    call.receivedCookies = received.Slot();
    call.location = location.Slot();
    call.responseHeaders = responseHeaders.Slot();
    OwnedBytes body = AccessWebPage(call, kLimits);
    return {S(body), S(responseHeaders), S(location), S(received), GetTickCount() - start};
}

constexpr DWORD kGenerousBound = 3 * kLimits.exchangeDeadlineMs;

TEST_F(WebAccess, RedirectToItselfEndsAfterTenFollowUps) {
    for (int status : {301, 302, 303, 307, 308}) {
        std::string self;
        LoopbackServer server([&](const RecordedRequest& request) {
            return Redirect(status, self, "hop " + std::to_string(status) + " " + request.Path());
        });
        self = Url(server, "/self");
        Outcome outcome = Access(self);
        EXPECT_EQ(server.RequestCount(), 11u) << status << ": the first request and ten redirects";
        EXPECT_EQ(outcome.body, "hop " + std::to_string(status) + " /self") << "what the last answer gave";
        EXPECT_EQ(outcome.responseHeaders.rfind("HTTP/1.1 " + std::to_string(status), 0), 0u) << outcome.responseHeaders;
        EXPECT_EQ(outcome.location, self);
        EXPECT_LT(outcome.milliseconds, kGenerousBound);
    }
}

TEST_F(WebAccess, TwoPageCycleEndsAfterTenFollowUps) {
    std::string a, b;
    LoopbackServer server([&](const RecordedRequest& request) {
        return Redirect(302, request.Path() == "/a" ? b : a, "at " + request.Path());
    });
    a = Url(server, "/a");
    b = Url(server, "/b");
    Outcome outcome = Access(a);
    std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 11u);
    for (size_t i = 0; i < requests.size(); ++i) EXPECT_EQ(requests[i].Path(), i % 2 == 0 ? "/a" : "/b") << i;
    EXPECT_EQ(outcome.body, "at /a");
}

TEST_F(WebAccess, ChainOfNineArrivesAndChainOfElevenStopsAtTheEleventh) {
    // /chain/n redirects to /chain/n-1; /chain/0 is the page.
    LoopbackServer server([&](const RecordedRequest& request) {
        int left = std::atoi(request.Path().substr(7).c_str());
        if (left == 0) return Ok("arrived", {"Set-Cookie: final=2; path=/"});
        ScriptedResponse response = Redirect(left % 2 == 0 ? 301 : 307, "/chain/" + std::to_string(left - 1));
        response.headerLines.push_back("Set-Cookie: hop" + std::to_string(left) + "=1; path=/");
        return response;
    });
    Outcome nine = Access(Url(server, "/chain/9"));
    EXPECT_EQ(server.RequestCount(), 10u);
    EXPECT_EQ(nine.body, "arrived");
    EXPECT_EQ(nine.receivedCookies, "final=2") << "the cookies of the last answer";
    EXPECT_EQ(nine.responseHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_EQ(nine.location, nine.responseHeaders) << "no Location: the whole headers";

    Outcome eleven = Access(Url(server, "/chain/11"));
    std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 21u);
    EXPECT_EQ(requests.back().Path(), "/chain/1") << "ten redirects followed";
    EXPECT_EQ(eleven.body, "moved");
    EXPECT_EQ(eleven.responseHeaders.rfind("HTTP/1.1 307", 0), 0u) << eleven.responseHeaders;
    EXPECT_EQ(eleven.location, "/chain/0");
    EXPECT_EQ(eleven.receivedCookies, "hop1=1");
}

TEST_F(WebAccess, RelativeLocationsAreResolvedAgainstTheAnsweringAddress) {
    LoopbackServer server([&](const RecordedRequest& request) {
        if (request.Path() == "/dir/start?x=1") return Redirect(302, "next?y=2");
        if (request.Path() == "/dir/next?y=2") return Redirect(301, "../top/./page");
        return Ok("at " + request.Path());
    });
    Outcome outcome = Access(server.Origin() + "/dir/start?x=1");
    EXPECT_EQ(outcome.body, "at /top/page");
    ASSERT_EQ(server.RequestCount(), 3u);
    EXPECT_EQ(server.Requests()[2].Header("Referer"), server.Origin() + "/dir/start?x=1")
        << "the request headers stay those of the first address";
}

TEST_F(WebAccess, RedirectsTurnPostIntoGetAsWinInetDoes) {
    struct Case {
        int status;
        const char* secondLine;
        const char* secondBody;
    };
    const Case cases[] = {{303, "GET /done HTTP/1.1", ""},
                          {302, "GET /done HTTP/1.1", ""},
                          {307, "POST /done HTTP/1.1", "a=1"},
                          {308, "POST /done HTTP/1.1", "a=1"}};
    for (const Case& c : cases) {
        LoopbackServer server([&](const RecordedRequest& request) {
            return request.Path() == "/form" ? Redirect(c.status, "/done") : Ok("done");
        });
        Outcome outcome = Access(Url(server, "/form"), 1, "a=1");
        EXPECT_EQ(outcome.body, "done") << c.status;
        ASSERT_EQ(server.RequestCount(), 2u) << c.status;
        RecordedRequest second = server.Requests()[1];
        EXPECT_EQ(second.requestLine, c.secondLine) << c.status;
        EXPECT_EQ(second.body, c.secondBody) << c.status;
    }
}

TEST_F(WebAccess, RedirectToAnotherSchemeIsNotFollowed) {
    LoopbackServer server([](const RecordedRequest&) { return Redirect(302, "file:///c:/windows/notepad.exe"); });
    Outcome outcome = Access(Url(server, "/"));
    EXPECT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(outcome.location, "file:///c:/windows/notepad.exe");
}

TEST_F(WebAccess, TricklingBodyEndsAtTheDeadlineWithWhatArrived) {
    // A byte more often than the receive timeout, for 100 s: no single
    // wait of WinINet's ever times out.
    const std::string trickle(100, 't');
    LoopbackServer server([&](const RecordedRequest&) {
        ScriptedResponse response = Ok(trickle);
        response.chunkSize = 1;
        response.chunkPauseMs = kLimits.networkTimeoutMs * 2 / 3;
        return response;
    });
    Outcome outcome = Access(Url(server, "/trickle"));
    EXPECT_GE(outcome.milliseconds + 100, static_cast<DWORD>(kLimits.exchangeDeadlineMs));
    EXPECT_LT(outcome.milliseconds, kGenerousBound);
    EXPECT_EQ(outcome.body, trickle.substr(0, outcome.body.size()));
    EXPECT_EQ(outcome.responseHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << "the answer had begun";
}

TEST_F(WebAccess, TricklingHeadersEndAtTheDeadlineAsNoAnswer) {
    LoopbackServer server([](const RecordedRequest&) {
        ScriptedResponse response = Ok("never read", {"X-Padding: " + std::string(100, 'p')});
        response.chunkSize = 1;
        response.chunkPauseMs = kLimits.networkTimeoutMs * 2 / 3;
        response.slowHead = true;
        return response;
    });
    Outcome outcome = Access(Url(server, "/slow-head"));
    EXPECT_GE(outcome.milliseconds + 100, static_cast<DWORD>(kLimits.exchangeDeadlineMs));
    EXPECT_LT(outcome.milliseconds, kGenerousBound);
    EXPECT_EQ(outcome.body, "");
    EXPECT_EQ(outcome.responseHeaders, std::string(5000, ' ')) << "no answer: the header buffer's blanks";
}

TEST_F(WebAccess, EndlessBodyStopsAtTheBodyLimit) {
    LoopbackServer server([](const RecordedRequest&) {
        ScriptedResponse response = Ok("0123456789abcdef");
        response.announcedLength = int64_t{4} << 30;
        response.repeatUntil = ScriptedResponse::kEndless;
        return response;
    });
    Outcome outcome = Access(Url(server, "/endless"));
    ASSERT_EQ(outcome.body.size(), static_cast<size_t>(kLimits.bodyLimit)) << outcome.milliseconds;
    EXPECT_EQ(outcome.body.compare(outcome.body.size() - 16, 16, "0123456789abcdef"), 0);
    EXPECT_LT(outcome.milliseconds, static_cast<DWORD>(kLimits.exchangeDeadlineMs))
        << "the limit ends the exchange, not its deadline";
}

TEST_F(WebAccess, BrokenAnswersEndWithWhatArrived) {
    const std::string full(8000, 'q');
    struct Case {
        const char* name;
        ScriptedResponse response;
        bool pageBytesOnly = true;  // else WinINet may hand on the whole answer as the body
    };
    std::vector<Case> cases;
    ScriptedResponse reset = Ok(full);
    reset.mode = ScriptedResponse::Mode::Reset;
    reset.cutAfter = 3000;
    cases.push_back({"reset in the body", reset});
    ScriptedResponse closed;
    closed.mode = ScriptedResponse::Mode::CloseAtOnce;
    cases.push_back({"closed before any answer", closed});
    ScriptedResponse notHttp = Ok(full);
    notHttp.statusLine = "SSH-2.0-OpenSSH_9.2p1";
    cases.push_back({"status line not HTTP", notHttp, false});
    ScriptedResponse longLine = Ok(full, {"X-Long: " + std::string(1 << 20, 'h')});
    cases.push_back({"header line of 1 MB", longLine});
    for (const Case& c : cases) {
        LoopbackServer server([&](const RecordedRequest&) { return c.response; });
        Outcome outcome = Access(Url(server, "/broken"));
        EXPECT_LT(outcome.milliseconds, kGenerousBound) << c.name;
        if (c.pageBytesOnly) {
            EXPECT_LE(outcome.body.size(), full.size()) << c.name;
            EXPECT_EQ(outcome.body.find_first_not_of('q'), std::string::npos) << c.name << ": only the page's bytes";
        } else {
            EXPECT_LE(outcome.body.size(), full.size() + 200) << c.name;
        }
    }
}

TEST_F(WebAccess, ChunkedPageCutInsideCharactersAndTheMarkerIsTheSamePage) {
    std::string page;
    for (int i = 0; i < 40; ++i) page += "<td>周杰伦 - 晴天 " + std::to_string(i) + "</td>\r\n";
    page += "收藏列表";
    for (int i = 0; i < 40; ++i) page += "<td>陈奕迅 - 十年 " + std::to_string(i) + "</td>\r\n";
    LoopbackServer server([&](const RecordedRequest& request) {
        ScriptedResponse response = Ok(page);
        if (request.Path() == "/chunked") {
            response.contentLength = false;
            response.chunkedSizes = {1, 2, 3, 5, 7, 11};  // borders fall inside two-byte characters
        }
        return response;
    });
    std::string chunked = S(FetchPage(Url(server, "/chunked").c_str(), kLimits));
    EXPECT_EQ(chunked, page);
    EXPECT_EQ(chunked, S(FetchPage(Url(server, "/plain").c_str(), kLimits)));
}

// ---- The page text, from the window thread and from a worker ----

const char kGbkPage[] = "<html><body>收藏列表：周杰伦 - 晴天（背景音乐）</body></html>";

struct FetchJob {
    std::string url;
    std::string page;
};

DWORD WINAPI FetchOnWorker(void* context) {
    auto* job = static_cast<FetchJob*>(context);
    job->page = S(FetchPage(job->url.c_str(), kLimits));
    return 0;
}

constexpr UINT kFetchMessage = WM_APP + 1;

LRESULT CALLBACK FetchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kFetchMessage) {
        auto* job = reinterpret_cast<FetchJob*>(lParam);
        job->page = S(FetchPage(job->url.c_str(), kLimits));
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(WebAccess, FetchPageReturnsTheGbkTextExactlyOnAnyThread) {
    ASSERT_EQ(static_cast<unsigned char>(kGbkPage[12]), 0xCA) << "the page literal is GBK (收 is CA D5)";
    LoopbackServer server([](const RecordedRequest&) { return Ok(kGbkPage, {"Content-Type: text/html"}); });
    std::string url = Url(server, "/5.aspx?qq=10001");

    FetchJob onWorker{url, ""};
    HANDLE worker = CreateThread(nullptr, 0, &FetchOnWorker, &onWorker, 0, nullptr);
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(WaitForSingleObject(worker, 60000), WAIT_OBJECT_0);
    CloseHandle(worker);
    EXPECT_EQ(onWorker.page, kGbkPage);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &FetchWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LyraboxFetchTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"LyraboxFetchTest", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    FetchJob onWindow{url, ""};
    PostMessageW(window, kFetchMessage, 0, reinterpret_cast<LPARAM>(&onWindow));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    DestroyWindow(window);
    EXPECT_EQ(onWindow.page, kGbkPage);
    EXPECT_EQ(server.RequestCount(), 2u);
}

}  // namespace
}  // namespace lyra
