// rotbridge: stands in for the rotator program on Vantro32's rotator link and drives a rotator
// through Hamlib's rotctld. A small window shows what it does.
//
//   rotbridge [HOST[:PORT]]      rotctld's address, 127.0.0.1:4533 when left out
//
// The address can also stand in rotbridge.INI beside the program, and be set in the window's
// settings dialog; the command line wins over the file.
#include <memory>

#include "base/dde_names.h"
#include "bridges/common/win32/companion_settings.h"
#include "bridges/rotator/core/rotator_settings.h"
#include "bridges/rotator/win32/bridge.h"
#include "bridges/rotator/win32/bridge_status.h"
#include "win32io/companion.h"

namespace {

std::string Usage() {
    using namespace dde_names::rotator;
    return std::string(
               "usage: rotbridge [HOST[:PORT]]\n"
               "Offers the rotator link (DDE service ") +
           kService + ", topic " + kTopic + ", item " + kItem +
           ") and turns the rotator through Hamlib's rotctld at HOST:PORT.\nSettings, as "
           "options or as KEY=VALUE in section [SETTINGS] of rotbridge.INI beside the program "
           "(the option wins), or in the window's settings dialog:\n" +
           rotbridge::RotatorSettingsTable().Usage();
}

}  // namespace

int main(int argc, char** argv) {
    const auto& table = rotbridge::RotatorSettingsTable();
    win32io::CompanionProgram program;
    program.name = "rotbridge";
    program.title = "Rotator Bridge";
    program.version = VANTRO_VERSION;
    program.what = "Vantro32's rotator bridge, the rotator link served from Hamlib's rotctld";
    program.usage = Usage();
    program.statusLabels = rotbridge::StatusLabels();
    bridges::UseSettingsTable(program, table);
    program.read = [read = program.read](const std::vector<std::string>& arguments,
                                         const win32io::SettingFileReader& file) {
        return read(rotbridge::OptionsOf(arguments), file);
    };
    program.start = [&table](const win32io::SettingTexts& texts, win32io::CompanionOutput& output) {
        return std::make_unique<rotbridge::Bridge>(bridges::SettingsOf(table, texts).rotctld,
                                                   output);
    };
    return win32io::RunCompanion(program, argc, argv);
}
