// The HTTP server on 127.0.0.1 of the Windows tests, the end-to-end tests
// and the benchmarks: answers every request from a scripted response, well
// or in one of the ways a hostile server does, and records what it
// received. Stopping (or destroying it) ends every answer in progress,
// pauses included, and closes every connection.
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

// What the server does with one request: a plain answer, or one of the
// ways a server misbehaves.
struct ScriptedResponse {
    enum class Mode {
        Answer,       // status line, headers, body
        Silent,       // reads the request and never answers
        CutOff,       // announces the whole body, sends cutAfter bytes of it, closes
        Reset,        // announces the whole body, sends cutAfter bytes of it, resets the connection
        CloseAtOnce,  // closes the connection without a byte of answer
    };
    Mode mode = Mode::Answer;
    std::string statusLine = "HTTP/1.1 200 OK";  // sent as given, HTTP or not
    std::vector<std::string> headerLines;        // sent as given
    std::string body;
    bool contentLength = true;  // adds "Content-Length: n" with the body's full length
    bool keepAlive = false;     // false adds "Connection: close" and closes after the answer
    size_t cutAfter = 0;
    // The body repeated until this many bytes have gone (0: once). With
    // kEndless the server sends until the client or the server stops.
    uint64_t repeatUntil = 0;
    static constexpr uint64_t kEndless = ~uint64_t{0};
    // When not negative, the Content-Length announced instead of the real one.
    int64_t announcedLength = -1;
    // Chunked transfer coding, the body cut into chunks of these sizes in
    // turn (the last one ends where the body does).
    std::vector<size_t> chunkedSizes;
    // Slow answers: a pause before the head, and the body in pieces of
    // chunkSize bytes with a pause after each.
    DWORD delayMs = 0;
    size_t chunkSize = 0;  // 0: all at once
    DWORD chunkPauseMs = 0;
    bool slowHead = false;  // the status line and headers go out in the same pieces
    // Called on the serving thread once the whole answer has gone.
    std::function<void()> afterSending;
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
    bool WaitReady(SOCKET socket, bool forWriting);
    int Receive(SOCKET socket, char* buffer, int size);
    bool SendAll(SOCKET socket, const char* data, size_t size);
    // In pieces of pieceSize bytes (0: at once) with a pause after each but the last.
    bool SendPaced(SOCKET socket, const std::string& data, size_t pieceSize, DWORD pauseMs);
    // Waits milliseconds; false when the server stops meanwhile.
    bool Pause(DWORD milliseconds);
    bool SendBody(SOCKET connection, const ScriptedResponse& response);
    void AcceptLoop();
    void Serve(SOCKET connection);
    bool ReadRequest(SOCKET connection, std::string& pending, RecordedRequest& request);

    Responder responder_;
    SOCKET listener_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    bool winsockStarted_ = false;
    HANDLE stopEvent_ = nullptr;
    std::thread acceptThread_;
    mutable std::mutex mutex_;
    bool stopping_ = false;
    std::vector<std::thread> connectionThreads_;
    size_t connectionCount_ = 0;
    std::vector<RecordedRequest> requests_;
};

}  // namespace lyra::test
