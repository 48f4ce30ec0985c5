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

PageRequest AsPageRequest(const RecordedRequest& recorded) {
    PageRequest request;
    size_t space = recorded.requestLine.find(' ');
    request.method = recorded.requestLine.substr(0, space);
    request.target = recorded.Path();
    request.head = recorded.requestLine;
    for (const std::string& line : recorded.headerLines) request.head += "\r\n" + line;
    return request;
}

ScriptedResponse AsScript(PageResponse page) {
    if (page.script) return *page.script;
    ScriptedResponse response;
    response.statusLine = "HTTP/1.1 " + std::to_string(page.status) + " " + StatusText(page.status);
    response.headerLines = {"Content-Type: text/html; charset=gbk"};
    response.body = std::move(page.body);
    response.delayMs = page.delayMilliseconds;
    return response;
}

}  // namespace

bool PageServer::Start(uint16_t port, Handler handler) {
    Stop();
    stoppedRequests_.clear();
    server_ = std::make_unique<LoopbackServer>(
        [handler](const RecordedRequest& request) {
            return AsScript(handler ? handler(AsPageRequest(request)) : PageResponse{404, "", 0, {}});
        },
        port);
    if (server_->listening()) return true;
    server_.reset();
    return false;
}

void PageServer::Stop() {
    if (server_ == nullptr) return;
    server_->Stop();
    stoppedRequests_ = server_->Requests();
    server_.reset();
}

std::vector<PageRequest> PageServer::Requests() {
    std::vector<PageRequest> requests;
    for (const RecordedRequest& recorded : server_ != nullptr ? server_->Requests() : stoppedRequests_) {
        requests.push_back(AsPageRequest(recorded));
    }
    return requests;
}

size_t PageServer::RequestCount() { return server_ != nullptr ? server_->RequestCount() : stoppedRequests_.size(); }

}  // namespace lyra::test
