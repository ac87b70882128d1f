// rotbridge: stands in for the rotator program on Vantro32's rotator link and drives a rotator
// through Hamlib's rotctld. A small window shows what it does.
//
//   rotbridge [HOST[:PORT]]      rotctld's address, 127.0.0.1:4533 when left out
//
// The address can also stand in rotbridge.INI beside the program, and be set in the window's
// settings dialog; the command line wins over the file.
#include <memory>

#include "base/dde_names.h"
#include "bridges/rotator/core/address.h"
#include "bridges/rotator/win32/bridge.h"
#include "bridges/rotator/win32/bridge_status.h"
#include "win32io/companion.h"

namespace {

constexpr char kRotctldKey[] = "ROTCTLD";
constexpr char kRotctldOption[] = "--rotctld";
constexpr char kDefaultAddress[] = "127.0.0.1:4533";

std::string Usage() {
    return std::string(
               "usage: rotbridge [HOST[:PORT]]\n"
               "Offers the rotator link (DDE service ") +
           dde_names::rotator::kService + ", topic " + dde_names::rotator::kTopic + ", item " +
           dde_names::rotator::kItem +
           ") and turns the rotator through Hamlib's rotctld at HOST:PORT (default " +
           kDefaultAddress +
           ").\nThe address can also be given as --rotctld HOST:PORT, or as ROTCTLD=HOST:PORT in "
           "section [SETTINGS] of rotbridge.INI beside the program (the command line wins).";
}

win32io::SettingTexts Read(const std::vector<std::string>& arguments,
                           const win32io::SettingFileReader& file) {
    std::optional<std::string> address;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == kRotctldOption && i + 1 < arguments.size()) {
            address = arguments[++i];
        } else if (!arguments[i].starts_with("-") && !address) {
            address = arguments[i];  // the form scripts have used from the start
        } else {
            throw std::invalid_argument("rotbridge does not know \"" + arguments[i] + "\"");
        }
    }
    if (!address) address = file(kRotctldKey);
    return {{kRotctldKey, address && !address->empty() ? *address : kDefaultAddress}};
}

std::optional<win32io::SettingProblem> Check(const win32io::SettingTexts& texts) {
    const auto text = texts.find(kRotctldKey);
    if (text != texts.end() && rotbridge::ParseAddress(text->second)) return std::nullopt;
    return win32io::SettingProblem{kRotctldKey,
                                   "\"" + (text == texts.end() ? "" : text->second) +
                                       "\" is not an address: give host:port, as 127.0.0.1:4533"};
}

}  // namespace

int main(int argc, char** argv) {
    win32io::CompanionProgram program;
    program.name = "rotbridge";
    program.title = "Rotator Bridge";
    program.version = VANTRO_VERSION;
    program.what = "Vantro32's rotator bridge, the rotator link served from Hamlib's rotctld";
    program.usage = Usage();
    program.statusLabels = rotbridge::StatusLabels();
    program.fields = {{kRotctldKey,
                       "&rotctld address",
                       win32io::FieldKind::Text,
                       {},
                       "Where Hamlib's rotctld listens: host:port, as 127.0.0.1:4533"}};
    program.read = Read;
    program.check = Check;
    program.start = [](const win32io::SettingTexts& texts, win32io::CompanionOutput& output) {
        return std::make_unique<rotbridge::Bridge>(*rotbridge::ParseAddress(texts.at(kRotctldKey)),
                                                   output);
    };
    return win32io::RunCompanion(program, argc, argv);
}
