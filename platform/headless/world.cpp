#include "platform/headless/world.h"

#include <exception>

#include "base/failure.h"
#include "platform/headless/impl.h"

namespace platform::headless {

World& TheWorld() {
    static World world;
    return world;
}

void Reset(const Config& config) {
    for (Label::Impl* label : LinkedLabels()) {
        label->server = nullptr;
        label->linkMode = 0;
    }
    LinkedLabels().clear();
    World& world = TheWorld();
    world = World{};
    world.config = config;
}

const Config& CurrentConfig() { return TheWorld().config; }
const std::vector<std::string>& Trace() { return TheWorld().trace; }
void ClearTrace() { TheWorld().trace.clear(); }
const std::vector<MessageRecord>& Messages() { return TheWorld().messages; }
void OnMessageBox(std::function<void(const MessageRecord&)> hook) {
    TheWorld().messageHook = std::move(hook);
}
bool ProgramEnded() { return TheWorld().ended; }
const std::vector<std::string>& SwallowedFailures() { return TheWorld().swallowed; }

void FailNext(const std::string& prefix, const std::string& description) {
    TheWorld().injected.emplace_back(prefix, description);
}

void Record(const std::string& entry) {
    World& world = TheWorld();
    world.trace.push_back(entry);
    for (auto it = world.injected.begin(); it != world.injected.end(); ++it) {
        if (entry.compare(0, it->first.size(), it->first) == 0) {
            std::string description = it->second;
            world.injected.erase(it);
            throw base::Failure(description);
        }
    }
}

void Dispatch(const std::function<void()>& handler) {
    if (!handler || TheWorld().ended) return;
    try {
        handler();
    } catch (const std::exception& e) {
        TheWorld().swallowed.push_back(e.what());
    } catch (...) {
        TheWorld().swallowed.push_back("unknown failure");
    }
}

std::string ColorText(base::Color color) {
    if (color.IsSystem()) return "system " + std::to_string(color.systemIndex);
    return std::to_string(color.red) + "," + std::to_string(color.green) + "," +
           std::to_string(color.blue);
}

base::Color Resolve(base::Color color) {
    if (!color.IsSystem()) return color;
    switch (color.systemIndex) {
        case 5: return base::Color::Rgb(255, 255, 255);  // window background
        case 8: return base::Color::Rgb(0, 0, 0);        // window text
        default: return base::Color::Rgb(192, 192, 192);
    }
}

}  // namespace platform::headless
