// The end-to-end tests' view of the loopback server: a page by status and
// body for each request, on a fixed port, started and stopped at will.
// Misbehaving answers are scripted on the server itself
// (tests/windows/support/loopback_server.h), through PageResponse::script.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "test_support/loopback_server.h"

namespace lyra::test {

struct PageRequest {
    std::string method;
    std::string target;
    std::string head;  // request line and header lines
};

struct PageResponse {
    int status = 200;
    std::string body;
    DWORD delayMilliseconds = 0;  // wait before answering
    // When set, the answer exactly as scripted; the fields above are unused.
    std::optional<ScriptedResponse> script;
};

class PageServer {
public:
    using Handler = std::function<PageResponse(const PageRequest&)>;

    PageServer() = default;
    ~PageServer() { Stop(); }
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // Clears the recorded requests.
    bool Start(uint16_t port, Handler handler);
    // Ends every answer in progress and closes every connection; the
    // requests received stay readable until the next Start.
    void Stop();
    std::vector<PageRequest> Requests();
    size_t RequestCount();

private:
    std::unique_ptr<LoopbackServer> server_;
    std::vector<RecordedRequest> stoppedRequests_;
};

}  // namespace lyra::test
