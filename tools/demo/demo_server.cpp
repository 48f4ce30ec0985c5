// The demo's web server on loopback: lookup pages for the sample numbers and
// the announcement page, GBK-encoded.
//
// demo_server [--port N] [--version V] [--forced] [--download URL]
//             [--slow-ms N] [--lifetime-seconds N]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tools/demo/lookup_pages.h"

namespace {

struct Options {
    int port = 18080;
    lyra::demo::Announcement announcement;
    int slowMs = 0;
    int lifetimeSeconds = 0;
};

Options gOptions;

std::string ReadRequestHead(int connection) {
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        ssize_t n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, static_cast<size_t>(n));
    }
    return head;
}

void SendAll(int connection, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

void Answer(int connection) {
    std::string head = ReadRequestHead(connection);
    size_t firstSpace = head.find(' ');
    size_t secondSpace = head.find(' ', firstSpace + 1);
    std::string target = firstSpace == std::string::npos ? std::string()
                                                          : head.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    std::string status = "200 OK";
    std::string body;
    if (target.rfind("/5.aspx", 0) == 0) {
        if (gOptions.slowMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(gOptions.slowMs));
        lyra::demo::LookupPage page;
        lyra::demo::DemoPageFor(lyra::demo::QueryNumber(target), &page);
        body = lyra::demo::RenderLookupPage(page);
    } else if (target.rfind("/announce.html", 0) == 0) {
        body = lyra::demo::RenderAnnouncement(gOptions.announcement);
    } else if (target.rfind("/maker.html", 0) == 0) {
        body = "<html><body>Lyrabox</body></html>";
    } else {
        status = "404 Not Found";
        body = "not found";
    }
    std::string response = "HTTP/1.1 " + status + "\r\nContent-Type: text/html; charset=gbk\r\nContent-Length: " +
                           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    SendAll(connection, response);
    shutdown(connection, SHUT_WR);
    close(connection);
}

bool ParseOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
        if (arg == "--port") gOptions.port = std::atoi(next());
        else if (arg == "--version") gOptions.announcement.version = next();
        else if (arg == "--forced") gOptions.announcement.forced = "强制";
        else if (arg == "--download") gOptions.announcement.downloadUrl = next();
        else if (arg == "--slow-ms") gOptions.slowMs = std::atoi(next());
        else if (arg == "--lifetime-seconds") gOptions.lifetimeSeconds = std::atoi(next());
        else {
            std::fprintf(stderr, "demo_server: unknown option %s\n", arg.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!ParseOptions(argc, argv)) return 2;
    signal(SIGPIPE, SIG_IGN);
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(gOptions.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 16) != 0) {
        std::perror("demo_server: bind");
        return 1;
    }
    std::printf("demo_server listening on 127.0.0.1:%d\n", gOptions.port);
    std::fflush(stdout);
    if (gOptions.lifetimeSeconds > 0) alarm(static_cast<unsigned>(gOptions.lifetimeSeconds));
    for (;;) {
        int connection = accept(listener, nullptr, nullptr);
        if (connection < 0) continue;
        std::thread(Answer, connection).detach();
    }
}
