#include "app/options/WindowOptions.h"

#include <cstddef>
#include <string>
#include <utility>

namespace {

constexpr std::string_view kUsage =
    "Usage: dexlin [--help] [--version]\n"
    "A world map with the position under the pointer, the magnetic variation\n"
    "there, and the great-circle course and distance between two chosen points.\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 the window was closed; 1 no display could be opened;\n"
    "2 bad command line.\n";

constexpr std::string_view kVersionLine = "dexlin " DEXLIN_VERSION "\n";

// An argument echoed in an error is cut here, so a huge one stays one short line.
constexpr std::size_t kMaxEchoed = 40;

// The argument as it may appear in a message: printable ASCII kept, every
// other byte shown as '?', at most kMaxEchoed of them and then "...".
std::string Echo(std::string_view arg) {
    std::string out;
    for (std::size_t i = 0; i < arg.size() && i < kMaxEchoed; ++i) {
        const char c = arg[i];
        out += c >= ' ' && c <= '~' ? c : '?';
    }
    if (arg.size() > kMaxEchoed) out += "...";
    return out;
}

WindowOptions Refuse(std::string error) {
    WindowOptions options;
    options.action = WindowOptions::Action::Refuse;
    options.error = std::move(error);
    return options;
}

}  // namespace

WindowOptions ParseWindowOptions(std::span<const std::string_view> args) {
    WindowOptions options;
    for (const std::string_view arg : args) {
        if (arg == "--help" || arg == "-h") {
            options.action = WindowOptions::Action::Help;
            return options;
        }
        if (arg == "--version") {
            options.action = WindowOptions::Action::Version;
            return options;
        }
        if (!arg.empty() && arg.front() == '-') return Refuse("unknown option '" + Echo(arg) + "'");
        return Refuse("unexpected argument '" + Echo(arg) + "'");
    }
    return options;
}

std::string_view WindowUsage() { return kUsage; }

std::string_view WindowVersionLine() { return kVersionLine; }
