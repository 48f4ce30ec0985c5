// Reading a loopback page with AccessWebPage against a plain InternetReadFile
// loop into one buffer allocated beforehand, both in 1024-byte reads with the
// same flags and timeouts, in the same run. Prints the median times, their
// ratios, and the routine's own time (all but the time spent inside
// InternetReadFile, measured through its external function entry). Run under Wine:
//   tools/wine-run.sh build/win64/wine build/win64/bench/web_access_bench.exe
#include <winsock2.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "app/web_access.h"
#include "program/external_functions.h"
#include "runtime/external.h"
#include "runtime/runtime_state.h"
#include "test_support/loopback_server.h"

namespace lyra {

namespace {

using bench::Median;
using bench::Now;

double gTimeInRead = 0;

BOOL WINAPI TimedInternetReadFile(HINTERNET request, LPVOID buffer, DWORD size, LPDWORD read) {
    double start = Now();
    BOOL ok = InternetReadFile(request, buffer, size, read);
    gTimeInRead += Now() - start;
    return ok;
}

void SetTimeouts(HINTERNET handle) {
    DWORD milliseconds = 30000;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
    }
}

// The same request as AccessWebPage makes, read into a buffer of the
// body's size allocated before the request.
size_t BaselineRead(const std::string& host, uint16_t port, const std::string& path, std::vector<char>& buffer) {
    HINTERNET session = InternetOpenA("bench", INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
    SetTimeouts(session);
    HINTERNET connection = InternetConnectA(session, host.c_str(), port, "", "", INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET request = HttpOpenRequestA(connection, "GET", path.c_str(), "HTTP/1.1", nullptr, nullptr,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE |
                                             INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS,
                                         0);
    SetTimeouts(request);
    HttpSendRequestA(request, "", 0, const_cast<char*>(""), 0);
    size_t total = 0;
    for (;;) {
        DWORD read = 0;
        DWORD room = static_cast<DWORD>(std::min<size_t>(1024, buffer.size() - total));
        if (room == 0) break;
        InternetReadFile(request, buffer.data() + total, room, &read);
        if (read == 0) break;
        total += read;
    }
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(session);
    return total;
}

}  // namespace
}  // namespace lyra

int main() {
    using namespace lyra;
    SetUpExternalFunctions(kExternalFunctionCount, kExternalLibraryNames.data(), kExternalFunctionNames.data());
    // Entry 6 is InternetReadFile: bound in advance to the timed one.
    Runtime().externalAddresses[6].store(reinterpret_cast<void*>(&TimedInternetReadFile));

    const size_t sizes[] = {1u << 20, 10u << 20};
    std::vector<std::string> bodies;
    for (size_t size : sizes) {
        std::string body(size, '\0');
        for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + i % 26);
        bodies.push_back(std::move(body));
    }
    test::LoopbackServer server([&](const test::RecordedRequest& request) {
        test::ScriptedResponse response;
        response.body = request.Path() == "/10" ? bodies[1] : bodies[0];
        return response;
    });
    if (!server.listening()) {
        std::printf("no loopback server\n");
        return 1;
    }

    std::printf("%-8s %12s %17s %7s %13s\n", "body", "baseline ms", "AccessWebPage ms", "ratio", "own work ms");
    double accessMedians[2] = {};
    double ownMedians[2] = {};
    const int runs[2] = {9, 5};
    for (int s = 0; s < 2; ++s) {
        std::string path = s == 0 ? "/1" : "/10";
        std::string url = server.Origin() + path;
        std::vector<double> baseline, access, own;
        for (int run = 0; run < runs[s]; ++run) {
            std::vector<char> buffer(sizes[s]);
            double start = Now();
            size_t got = BaselineRead("127.0.0.1", server.port(), path, buffer);
            baseline.push_back(Now() - start);

            gTimeInRead = 0;
            start = Now();
            app::WebRequest request;
            request.url = url.c_str();
            app::OwnedBytes page = app::AccessWebPage(request, app::PageLimits{});
            access.push_back(Now() - start);
            own.push_back(access.back() - gTimeInRead);
            if (got != sizes[s] || static_cast<size_t>(page.size()) != sizes[s]) {
                std::printf("short read: %zu / %d of %zu\n", got, page.size(), sizes[s]);
                return 1;
            }
        }
        double b = Median(baseline), a = Median(access);
        accessMedians[s] = a;
        ownMedians[s] = Median(own);
        std::printf("%-8s %12.1f %17.1f %7.2f %13.1f\n", s == 0 ? "1 MB" : "10 MB", b, a, a / b, ownMedians[s]);
    }
    std::printf("10 MB / 1 MB: AccessWebPage %.2f, its own work %.2f\n", accessMedians[1] / accessMedians[0],
                ownMedians[1] / ownMedians[0]);
    return 0;
}
