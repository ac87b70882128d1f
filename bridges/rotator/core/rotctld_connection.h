#pragma once
// One TCP connection to rotctld, as the bridge's driver sees it. Every call returns within a
// bounded time: a peer that does not answer is a failed call, never a hang.
#include <optional>
#include <string>

namespace rotbridge {

class RotctldConnection {
  public:
    virtual ~RotctldConnection() = default;

    // Connects afresh (closing any earlier connection); false when rotctld cannot be reached.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // Sends the line and its "\n"; false when the connection is broken.
    virtual bool SendLine(const std::string& line) = 0;
    // The next line received; nothing when none came in time or the connection is broken.
    virtual std::optional<std::string> ReadLine() = 0;
    // Why the last call failed, in a few words.
    virtual std::string LastError() const = 0;
};

}  // namespace rotbridge
