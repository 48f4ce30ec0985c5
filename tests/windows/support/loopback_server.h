// An HTTP server on 127.0.0.1 for tests: answers every request from a
// scripted response and records what it received. It stops when destroyed.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lyra::test {

struct RecordedRequest {
    std::string requestLine;               // "GET /path HTTP/1.1"
    std::vector<std::string> headerLines;  // in the order received, without CR LF
    std::string body;

    // The value of the first header of that name (case ignored), trimmed;
    // empty when there is none.
    std::string Header(const std::string& name) const;
    std::string Path() const;  // the request target
};

struct ScriptedResponse {
    enum class Mode {
        Answer,  // status line, headers, body
        Silent,  // reads the request and never answers
        CutOff,  // announces the whole body, sends cutAfter bytes of it, closes
    };
    Mode mode = Mode::Answer;
    std::string statusLine = "HTTP/1.1 200 OK";
    std::vector<std::string> headerLines;  // sent as given
    std::string body;
    bool contentLength = true;  // adds "Content-Length: n" with the body's full length
    bool keepAlive = false;     // false adds "Connection: close" and closes after the answer
    size_t cutAfter = 0;
    // Slow answers: the body goes out in chunks with a pause after each.
    size_t chunkSize = 0;  // 0: all at once
    DWORD chunkPauseMs = 0;
};

class LoopbackServer {
public:
    using Responder = std::function<ScriptedResponse(const RecordedRequest& request)>;

    // Listens on 127.0.0.1:port, or on a free port for 0.
    explicit LoopbackServer(Responder responder, uint16_t port = 0);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool listening() const { return listener_ != INVALID_SOCKET; }
    uint16_t port() const { return port_; }
    std::string Origin() const;  // "127.0.0.1:port"

    std::vector<RecordedRequest> Requests() const;
    size_t RequestCount() const;
    size_t ConnectionCount() const;

    void Stop();

private:
    // False once the server is stopping.
    bool WaitReadable(SOCKET socket);
    int Receive(SOCKET socket, char* buffer, int size);
    void AcceptLoop();
    void Serve(SOCKET connection);
    bool ReadRequest(SOCKET connection, std::string& pending, RecordedRequest& request);

    Responder responder_;
    SOCKET listener_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    bool winsockStarted_ = false;
    std::thread acceptThread_;
    mutable std::mutex mutex_;
    bool stopping_ = false;
    std::vector<std::thread> connectionThreads_;
    size_t connectionCount_ = 0;
    std::vector<RecordedRequest> requests_;
};

}  // namespace lyra::test
