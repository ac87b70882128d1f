#include "dummy_rotctld.h"

#include <windows.h>

#include <stdexcept>

#include "bridges/rotator/core/rotctld_client.h"
#include "bridges/rotator/win32/rotctld_socket.h"
#include "harness.h"
#include "win32io/tcp_connection.h"

namespace bridge_e2e {

namespace {
void StartWinsock() {
    static const win32io::WinsockSession session;
}

int FreePort() {
    StartWinsock();
    const win32io::Socket probe(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (bind(probe.Get(), reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        getsockname(probe.Get(), reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no free port");
    return ntohs(address.sin_port);
}

rotbridge::RotctldSocket ConnectionTo(int port) {
    return rotbridge::RotctldSocket({"127.0.0.1", std::to_string(port)}, 1000, 3000);
}
}  // namespace

DummyRotctld::DummyRotctld()
    : port_(FreePort()),
      pidFile_(std::string(BRIDGE_E2E_WORK) + "/rotctld-" + std::to_string(port_) + ".pid") {
    Start();
}

DummyRotctld::~DummyRotctld() {
    RunScript("kill " + pidFile_);
}

void DummyRotctld::RunScript(const std::string& arguments) const {
    // Wine starts the Linux shell and gives no handle to wait on: the effect is waited for. Only
    // the program's path is translated; the shell gets its arguments as Linux paths.
    std::string command = "Z:\\bin\\sh " + std::string(BRIDGE_E2E_SCRIPT) + " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        throw std::runtime_error("cannot run " + command);
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
}

bool DummyRotctld::Listening() const {
    auto connection = ConnectionTo(port_);
    return connection.Open();
}

void DummyRotctld::Start() {
    RunScript("start " + std::to_string(port_) + " " + pidFile_);
    if (!e2e::WaitUntil([&] { return Listening(); }))
        throw std::runtime_error("rotctld does not listen on port " + std::to_string(port_));
}

void DummyRotctld::Kill() {
    RunScript("kill " + pidFile_);
    if (!e2e::WaitUntil([&] { return !Listening(); }))
        throw std::runtime_error("rotctld on port " + std::to_string(port_) + " did not end");
}

std::optional<double> DummyRotctld::Azimuth() const {
    auto connection = ConnectionTo(port_);
    if (!connection.Open()) return std::nullopt;
    double azimuth = 0;
    if (!rotbridge::RotctldClient(connection).GetPosition(azimuth).Done()) return std::nullopt;
    return azimuth;
}

}  // namespace bridge_e2e
