#include "tests/e2e/support/page_server.h"

namespace lyra::test {

namespace {

const char* StatusText(int status) {
    switch (status) {
        case 200: return "OK";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        default: return "Status";
    }
}

}  // namespace

PageServer::PageServer() : stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
}

PageServer::~PageServer() {
    Stop();
    CloseHandle(stopEvent_);
    WSACleanup();
}

bool PageServer::Start(uint16_t port, Handler handler) {
    handler_ = std::move(handler);
    ResetEvent(stopEvent_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.clear();
    }
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener_ == INVALID_SOCKET) return false;
    BOOL yes = TRUE;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 16) != 0) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return false;
    }
    acceptThread_ = std::thread(&PageServer::AcceptLoop, this);
    return true;
}

void PageServer::Stop() {
    SetEvent(stopEvent_);
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
    }
    if (acceptThread_.joinable()) acceptThread_.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        workers.swap(workers_);
    }
    for (auto& worker : workers) worker.join();
}

std::vector<PageRequest> PageServer::Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

size_t PageServer::RequestCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_.size();
}

void PageServer::AcceptLoop() {
    for (;;) {
        SOCKET connection = accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) return;
        if (WaitForSingleObject(stopEvent_, 0) == WAIT_OBJECT_0) {
            closesocket(connection);
            return;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        workers_.emplace_back(&PageServer::Serve, this, connection);
    }
}

void PageServer::Serve(SOCKET connection) {
    std::string head;
    char buffer[2048];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        int n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, static_cast<size_t>(n));
    }
    PageRequest request;
    request.head = head.substr(0, head.find("\r\n\r\n"));
    size_t space = head.find(' ');
    request.method = head.substr(0, space);
    size_t second = space == std::string::npos ? std::string::npos : head.find(' ', space + 1);
    if (second != std::string::npos) request.target = head.substr(space + 1, second - space - 1);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
    }
    PageResponse response = handler_ ? handler_(request) : PageResponse{404, "", 0};
    if (response.delayMilliseconds > 0 && WaitForSingleObject(stopEvent_, response.delayMilliseconds) == WAIT_OBJECT_0) {
        closesocket(connection);
        return;
    }
    std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " " + StatusText(response.status) +
                        "\r\nContent-Type: text/html; charset=gbk\r\nContent-Length: " +
                        std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n" + response.body;
    size_t sent = 0;
    while (sent < reply.size()) {
        int n = send(connection, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    shutdown(connection, SD_SEND);
    closesocket(connection);
}

}  // namespace lyra::test
