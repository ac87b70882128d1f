#include "host_server.h"

#include <optional>
#include <stdexcept>

#include "base/dde_names.h"
#include "win32io/dde_server.h"

namespace bridge_e2e {

namespace {
constexpr UINT kPublishMessage = WM_APP;
}

HostServer::HostServer() {
    std::promise<std::string> started;
    std::future<std::string> failure = started.get_future();
    thread_ = std::thread([&] { Run(started); });
    const std::string problem = failure.get();
    if (!problem.empty()) {
        thread_.join();
        throw std::runtime_error(problem);
    }
}

HostServer::~HostServer() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
}

void HostServer::Run(std::promise<std::string>& started) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for posted messages
    threadId_ = GetCurrentThreadId();
    std::optional<win32io::DdeServer> server;
    try {
        server.emplace(dde_names::host::kService, dde_names::host::kTopic);
    } catch (const std::exception& failure) {
        started.set_value(std::string("the host server failed: ") + failure.what());
        return;
    }
    started.set_value("");
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd != nullptr || msg.message != kPublishMessage) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        std::deque<std::string> texts;
        {
            const std::lock_guard lock(mutex_);
            texts.swap(texts_);
        }
        // A text that cannot be published never reaches the list, which the test sees.
        for (const std::string& text : texts) try {
                server->Publish(dde_names::host::kItem, text);
            } catch (const std::exception&) {
            }
    }
}

void HostServer::Publish(const std::string& text) {
    {
        const std::lock_guard lock(mutex_);
        texts_.push_back(text);
    }
    PostThreadMessageA(threadId_, kPublishMessage, 0, 0);
}

std::string HostServer::Spot(const std::string& call, const std::string& kHz,
                             const std::string& heading, const std::string& distance) {
    const std::string separator = "\xFF";
    return "DX" + separator + call + separator + kHz + separator + "0" + separator + "x" +
           separator + heading + separator + distance + separator + "0\r\n";
}

}  // namespace bridge_e2e
