#include "tools/peer_console.h"

#include <cstdio>
#include <iostream>
#include <mutex>
#include <thread>

namespace tools {

std::string Printable(const std::string& text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string printable;
    for (unsigned char c : text) {
        if (c == '\r') {
            printable += "\\r";
        } else if (c == '\n') {
            printable += "\\n";
        } else if (c == '\\') {
            printable += "\\\\";
        } else if (c < 0x20 || c >= 0x7F) {
            printable += "\\x";
            printable.push_back(kDigits[c >> 4]);
            printable.push_back(kDigits[c & 15]);
        } else {
            printable.push_back(static_cast<char>(c));
        }
    }
    return printable;
}

void Say(const std::string& line) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void ReadCommands(std::function<void(const std::string& line)> onLine) {
    std::thread([onLine = std::move(onLine)] {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            onLine(line);
        }
    }).detach();
}

std::string Option(int argc, char** argv, const std::string& name, const std::string& otherwise) {
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name) return argv[i + 1];
    return otherwise;
}

bool Flag(int argc, char** argv, const std::string& name) {
    for (int i = 1; i < argc; ++i)
        if (argv[i] == name) return true;
    return false;
}

void SayConversations(win32io::DdeServer& server) {
    server.onConnect = [] {
        Say("client connected");
        return true;
    };
    server.onDisconnect = [] { Say("client gone"); };
    server.onClientGone = [] { Say("client gone without ending the conversation"); };
}

int RunPeer(int argc, char** argv, const char* name, const char* usage,
            const std::function<int()>& run) {
    if (Flag(argc, argv, "--help")) {
        std::fputs(usage, stdout);
        return 0;
    }
    try {
        return run();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n%s", name, failure.what(), usage);
        return 1;
    }
}

}  // namespace tools
