// The soak of the whole road (soak.h), run by scripts/soak.sh under Wine:
//   soak.exe --rotctld HOST:PORT --output FOLDER [--minutes M] [--node-interval MS]
// Prints what it does as it goes and the report at the end; writes the report to
// FOLDER\report.txt and the programs' output beside it. Exit code 1 when the road could not be
// set up or a program failed on the way, 0 otherwise: lost spots are the report's to say.
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tools/peer_console.h"
#include "tools/soak/soak.h"

int main(int argc, char** argv) {
    soak::SoakOptions options;
    try {
        options.minutes = std::stoi(tools::Option(argc, argv, "--minutes", "60"));
        options.rotctld = tools::Option(argc, argv, "--rotctld", "");
        options.outputFolder = tools::Option(argc, argv, "--output", "");
        options.nodeIntervalMs = std::stoul(tools::Option(argc, argv, "--node-interval", "400"));
        if (options.rotctld.empty() || options.outputFolder.empty() || options.minutes <= 0)
            throw std::invalid_argument("missing or wrong options");
    } catch (const std::exception&) {
        std::fputs(
            "usage: soak --rotctld HOST:PORT --output FOLDER [--minutes M] "
            "[--node-interval MS]\n",
            stderr);
        return 2;
    }
    try {
        soak::Report report;
        {
            soak::Soak soak(options);
            report = soak.Run();
        }
        const std::string text = soak::ReportText(report);
        std::ofstream(options.outputFolder + "\\report.txt") << text;
        std::fputs(("\n" + text).c_str(), stdout);
        return 0;
    } catch (const std::exception& failure) {
        tools::Say(std::string("soak: ") + failure.what());
        return 1;
    }
}
