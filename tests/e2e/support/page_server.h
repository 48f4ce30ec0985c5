// A small HTTP server on 127.0.0.1 for end-to-end tests: answers each
// request through a handler and records what it received. Stops (and
// interrupts any slow answer) when the object is destroyed.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
};

class PageServer {
public:
    using Handler = std::function<PageResponse(const PageRequest&)>;

    PageServer();
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    bool Start(uint16_t port, Handler handler);
    void Stop();
    std::vector<PageRequest> Requests();
    size_t RequestCount();

private:
    void AcceptLoop();
    void Serve(SOCKET connection);

    SOCKET listener_ = INVALID_SOCKET;
    HANDLE stopEvent_;
    Handler handler_;
    std::thread acceptThread_;
    std::mutex mutex_;
    std::vector<std::thread> workers_;
    std::vector<PageRequest> requests_;
};

}  // namespace lyra::test
