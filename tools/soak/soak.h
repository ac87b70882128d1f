#pragma once
// The soak of the whole road: the node simulator playing a skimmer server feeds clusterbridge.exe,
// Vantro32 lists what the bridge publishes, and a double-click on a listed station every so often
// turns rotctld's dummy rotator through rotbridge.exe. Vantro32 and the node are killed, as a
// crash would end them, and started again every five minutes, staggered. The soak watches each
// program's working set and how long its window keeps a caller waiting, and accounts for every
// spot the bridge published (SpotLedger).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "console_process.h"
#include "harness.h"
#include "tools/soak/report.h"
#include "tools/soak/spot_ledger.h"
#include "tools/soak/window_probe.h"

namespace soak {

struct SoakOptions {
    int minutes = 60;
    std::string rotctld;            // "127.0.0.1:4533"
    unsigned nodeIntervalMs = 400;  // between the node's spots: faster than the bridge publishes
    std::string outputFolder;       // the report and the programs' output go there
};

class Soak {
  public:
    explicit Soak(const SoakOptions& options);
    ~Soak();
    Soak(const Soak&) = delete;
    Soak& operator=(const Soak&) = delete;

    // Runs the soak to its end and returns its report.
    Report Run();

  private:
    // When a program is killed next, and when the one killed is started again.
    struct Crashes {
        Ms nextKill;
        Ms back = 0;
    };

    Ms Now() const;
    // Kills the program when its time has come, or starts it again once it has been dead long
    // enough.
    void Crash(Crashes& crashes, bool up, void (Soak::*kill)(), void (Soak::*start)());
    void StartNode();
    void EndNode();
    void KillNode();
    void StartVantro32();
    void KillVantro32();
    void ReadBridges();
    void ReadList();
    void DoubleClick();
    void Sample(Ms at);
    void Keep(const std::string& name, const std::string& text) const;

    SoakOptions options_;
    ULONGLONG began_;
    Report report_;
    SpotLedger ledger_;
    WindowProbe vantro32Probe_, clusterProbe_, rotatorProbe_;
    std::unique_ptr<e2e::ConsoleProcess> node_;
    std::unique_ptr<e2e::ConsoleProcess> clusterBridge_;
    e2e::Hands clusterWindow_;
    std::unique_ptr<e2e::ConsoleProcess> rotatorBridge_;
    std::unique_ptr<e2e::Program> vantro32_;
    int nodePort_ = 0;
    unsigned nodeSent_ = 0;  // spots of the node's earlier runs: the next run's first call number
    int vantro32Starts_ = 0;
    Ms vantro32Since_ = 0;
    std::size_t clusterRead_ = 0;  // bridge console lines taken so far
    std::size_t rotatorRead_ = 0;
};

}  // namespace soak
