#include "bridges/rotator/win32/rotctld_socket.h"

namespace rotbridge {

RotctldSocket::RotctldSocket(const RotctldAddress& address, DWORD connectLimitMs,
                             DWORD answerLimitMs)
    : connection_("rotctld", address.host, address.port, connectLimitMs),
      answerLimitMs_(answerLimitMs) {}

bool RotctldSocket::Fail(const std::string& reason) {
    error_ = reason;
    return false;
}

bool RotctldSocket::Open() {
    received_.Clear();
    return connection_.Open() || Fail(connection_.LastError());
}

void RotctldSocket::Close() {
    connection_.Close();
    received_.Clear();
}

bool RotctldSocket::SendLine(const std::string& line) {
    return connection_.Send(line + "\n", answerLimitMs_) || Fail(connection_.LastError());
}

std::optional<std::string> RotctldSocket::ReadLine() {
    const ULONGLONG deadline = GetTickCount64() + answerLimitMs_;
    for (;;) {
        if (auto line = received_.TakeLine()) return line;
        if (received_.Overflowed()) {
            Fail("an over-long answer line");
            return std::nullopt;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            Fail(win32io::NoAnswerWithin(answerLimitMs_));
            return std::nullopt;
        }
        const std::optional<std::string> bytes =
            connection_.Receive(static_cast<DWORD>(deadline - now));
        if (!bytes) {
            Fail(connection_.LastError());
            return std::nullopt;
        }
        received_.Append(*bytes);
    }
}

}  // namespace rotbridge
