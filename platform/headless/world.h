#pragma once
// The headless backend's shared state: one world per test, reset by headless::Reset.
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "platform/headless/testing.h"

namespace platform::headless {

struct World {
    Config config;
    std::vector<std::string> trace;
    std::vector<std::pair<std::string, std::string>> injected;  // prefix, description
    std::vector<MessageRecord> messages;
    std::function<void(const MessageRecord&)> messageHook;
    std::vector<std::string> swallowed;
    bool ended = false;
    std::list<DdeServer> servers;
};

World& TheWorld();

// Records an operation and throws when a failure was injected for it.
void Record(const std::string& entry);
// Runs an event handler as the dispatch does: whatever escapes it is caught and recorded.
void Dispatch(const std::function<void()>& handler);

std::string ColorText(base::Color color);
base::Color Resolve(base::Color color);  // system colours to plain ones

}  // namespace platform::headless
