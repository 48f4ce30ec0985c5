#include "test_support/loopback_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace lyra::test {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

char HexDigit(size_t value) { return "0123456789abcdef"[value & 15]; }

std::string Hex(size_t value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), HexDigit(value));
        value >>= 4;
    } while (value != 0);
    return digits;
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
    std::string wanted = Lower(name);
    for (const std::string& line : headerLines) {
        size_t colon = line.find(':');
        if (colon != std::string::npos && Lower(Trim(line.substr(0, colon))) == wanted) {
            return Trim(line.substr(colon + 1));
        }
    }
    return std::string();
}

std::string RecordedRequest::Path() const {
    size_t first = requestLine.find(' ');
    if (first == std::string::npos) return std::string();
    size_t second = requestLine.find(' ', first + 1);
    return requestLine.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
}

LoopbackServer::LoopbackServer(Responder responder, uint16_t port)
    : responder_(std::move(responder)), stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    WSADATA data;
    winsockStarted_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!winsockStarted_) return;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) return;
    if (port != 0) {
        // A fixed port is taken again at once by the next test's server.
        BOOL yes = TRUE;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof yes);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    int length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, SOMAXCONN) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        return;
    }
    listener_ = listener;
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread(&LoopbackServer::AcceptLoop, this);
}

LoopbackServer::~LoopbackServer() {
    Stop();
    if (winsockStarted_) WSACleanup();
    if (stopEvent_ != nullptr) CloseHandle(stopEvent_);
}

void LoopbackServer::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
    }
    if (stopEvent_ != nullptr) SetEvent(stopEvent_);
    // Every thread notices within one poll interval; a client holding a
    // kept-alive connection open cannot keep the server alive.
    if (acceptThread_.joinable()) acceptThread_.join();
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        threads.swap(connectionThreads_);
    }
    for (std::thread& thread : threads) thread.join();
}

std::string LoopbackServer::Origin() const { return "127.0.0.1:" + std::to_string(port_); }

std::vector<RecordedRequest> LoopbackServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

size_t LoopbackServer::RequestCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_.size();
}

size_t LoopbackServer::ConnectionCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return connectionCount_;
}

bool LoopbackServer::WaitReady(SOCKET socket, bool forWriting) {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) return false;
        }
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(socket, &ready);
        timeval poll = {0, 20000};
        int count = forWriting ? select(0, nullptr, &ready, nullptr, &poll) : select(0, &ready, nullptr, nullptr, &poll);
        if (count < 0) return false;
        if (count > 0) return true;
    }
}

int LoopbackServer::Receive(SOCKET socket, char* buffer, int size) {
    if (!WaitReady(socket, false)) return -1;
    return recv(socket, buffer, size, 0);
}

// A client that stops reading cannot hold the server: every send waits for
// room only while the server runs.
bool LoopbackServer::SendAll(SOCKET socket, const char* data, size_t size) {
    while (size > 0) {
        if (!WaitReady(socket, true)) return false;
        int chunk = static_cast<int>(std::min<size_t>(size, 1 << 16));
        int sent = send(socket, data, chunk, 0);
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool LoopbackServer::SendPaced(SOCKET socket, const std::string& data, size_t pieceSize, DWORD pauseMs) {
    if (pieceSize == 0) return SendAll(socket, data.data(), data.size());
    for (size_t offset = 0; offset < data.size(); offset += pieceSize) {
        if (offset > 0 && !Pause(pauseMs)) return false;
        if (!SendAll(socket, data.data() + offset, std::min(pieceSize, data.size() - offset))) return false;
    }
    return true;
}

bool LoopbackServer::Pause(DWORD milliseconds) {
    return milliseconds == 0 || WaitForSingleObject(stopEvent_, milliseconds) == WAIT_TIMEOUT;
}

void LoopbackServer::AcceptLoop() {
    for (;;) {
        if (!WaitReady(listener_, false)) return;
        SOCKET connection = accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) return;
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) {
            closesocket(connection);
            return;
        }
        ++connectionCount_;
        connectionThreads_.emplace_back(&LoopbackServer::Serve, this, connection);
    }
}

bool LoopbackServer::ReadRequest(SOCKET connection, std::string& pending, RecordedRequest& request) {
    char buffer[8192];
    size_t headerEnd;
    while ((headerEnd = pending.find("\r\n\r\n")) == std::string::npos) {
        int received = Receive(connection, buffer, sizeof buffer);
        if (received <= 0) return false;
        pending.append(buffer, static_cast<size_t>(received));
    }
    std::string head = pending.substr(0, headerEnd);
    pending.erase(0, headerEnd + 4);

    size_t start = 0;
    bool first = true;
    while (start <= head.size()) {
        size_t end = head.find("\r\n", start);
        std::string line = head.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (first) request.requestLine = line;
        else request.headerLines.push_back(line);
        first = false;
        if (end == std::string::npos) break;
        start = end + 2;
    }
    size_t bodyLength = static_cast<size_t>(std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10));
    while (pending.size() < bodyLength) {
        int received = Receive(connection, buffer, sizeof buffer);
        if (received <= 0) return false;
        pending.append(buffer, static_cast<size_t>(received));
    }
    request.body = pending.substr(0, bodyLength);
    pending.erase(0, bodyLength);
    return true;
}

bool LoopbackServer::SendBody(SOCKET connection, const ScriptedResponse& response) {
    const std::string& body = response.body;
    uint64_t total = response.repeatUntil != 0 ? response.repeatUntil : body.size();
    if (body.empty()) total = 0;
    bool cut = response.mode == ScriptedResponse::Mode::CutOff || response.mode == ScriptedResponse::Mode::Reset;
    if (cut) total = std::min<uint64_t>(total, response.cutAfter);
    bool chunked = !response.chunkedSizes.empty();
    size_t nextChunk = 0;
    std::string piece;
    for (uint64_t offset = 0; offset < total;) {
        size_t n = response.chunkSize != 0 ? response.chunkSize : size_t{1} << 16;
        if (chunked) n = std::max<size_t>(response.chunkedSizes[nextChunk++ % response.chunkedSizes.size()], 1);
        n = static_cast<size_t>(std::min<uint64_t>(n, total - offset));
        piece.clear();
        if (chunked) piece = Hex(n) + "\r\n";
        for (size_t from = static_cast<size_t>(offset % body.size()), left = n; left > 0;) {
            size_t run = std::min(left, body.size() - from);
            piece.append(body, from, run);
            left -= run;
            from = 0;
        }
        if (chunked) piece += "\r\n";
        if (!SendAll(connection, piece.data(), piece.size())) return false;
        offset += n;
        if (offset < total && !Pause(response.chunkPauseMs)) return false;
    }
    if (chunked && !cut) return SendAll(connection, "0\r\n\r\n", 5);
    return true;
}

void LoopbackServer::Serve(SOCKET connection) {
    std::string pending;
    bool reset = false;
    for (;;) {
        RecordedRequest request;
        if (!ReadRequest(connection, pending, request)) break;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
        }
        ScriptedResponse response = responder_(request);
        using Mode = ScriptedResponse::Mode;
        if (response.mode == Mode::CloseAtOnce) break;
        if (response.mode == Mode::Silent) {
            char sink[1024];
            while (Receive(connection, sink, sizeof sink) > 0) {
            }
            break;
        }
        if (!Pause(response.delayMs)) break;
        std::string head = response.statusLine + "\r\n";
        for (const std::string& line : response.headerLines) head += line + "\r\n";
        if (response.contentLength) {
            uint64_t length = response.repeatUntil != 0 ? response.repeatUntil : response.body.size();
            if (response.announcedLength >= 0) length = static_cast<uint64_t>(response.announcedLength);
            head += "Content-Length: " + std::to_string(length) + "\r\n";
        }
        if (!response.chunkedSizes.empty()) head += "Transfer-Encoding: chunked\r\n";
        if (!response.keepAlive) head += "Connection: close\r\n";
        head += "\r\n";
        if (!SendPaced(connection, head, response.slowHead ? response.chunkSize : 0, response.chunkPauseMs)) break;
        bool sent = SendBody(connection, response);
        if (sent && response.afterSending) response.afterSending();
        if (response.mode == Mode::Reset) {
            reset = true;
            break;
        }
        if (!sent || !response.keepAlive || response.mode == Mode::CutOff) break;
    }
    if (reset) {
        // A zero linger time makes the close a reset.
        linger abort = {1, 0};
        setsockopt(connection, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    } else {
        shutdown(connection, SD_SEND);
    }
    closesocket(connection);
}

}  // namespace lyra::test
