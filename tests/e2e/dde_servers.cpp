#include "dde_servers.h"

#include <utility>

namespace e2e {

using Reply = win32io::DdeServer::PokeReply;

DdePeer::DdePeer(const std::string& service, const std::string& topic, std::string item,
                 PeerLog& log)
    : service_(service), item_(std::move(item)), log_(log), server_(service, topic) {
    server_.onConnect = [this] {
        ++connectAttempts_;
        Record("connect " + service_);
        return acceptConnections;
    };
    server_.onPoke = [this](const std::string&, const std::string& text) {
        pokes_.push_back(text);
        Record("poke " + service_ + " " + text);
        if (whileAnswering) whileAnswering(text);
        switch (pokeAnswer) {
            case Answer::Refuse:
                return Reply::Refuse;
            case Answer::Busy:
                return Reply::Busy;
            case Answer::Hang:
                // Not handling messages at all, as a program stuck in its work.
                Sleep(hangMs);
                return Reply::Accept;
            case Answer::Accept:
                break;
        }
        return Reply::Accept;
    };
}

bool DdePeer::WaitForPokes(std::size_t count, DWORD limitMs) const {
    return WaitUntil([&] { return pokes_.size() >= count; }, limitMs);
}

void DdePeer::Record(const std::string& what) {
    log_.push_back({GetTickCount64(), what});
}

std::vector<std::string> EventsStartingWith(const PeerLog& log, const std::string& prefix,
                                            std::size_t from) {
    std::vector<std::string> found;
    for (std::size_t i = from; i < log.size(); ++i)
        if (log[i].what.rfind(prefix, 0) == 0) found.push_back(log[i].what);
    return found;
}

}  // namespace e2e
