#include "app/options/WindowOptions.h"

#include <cstddef>
#include <string>
#include <utility>

#include "model/FieldModel.h"

namespace {

// The usage text; the built-in models come from the model's list.
std::string MakeUsage() {
    return "Usage: dexlin [--model " + model::BuiltInKeys("|") +
           "|FILE] [--help] [--version]\n"
           "A world map with the position under the pointer, the magnetic variation\n"
           "there, and the great-circle course and distance between two chosen points.\n"
           "\n"
           "Options:\n"
           "  --model MODEL  the field model of the variation readout (without this\n"
           "                 option the built-in 1995.0 reference field):\n" +
           model::BuiltInModelLines("                 ") +
           "                 FILE      a coefficient file in the standard WMM layout, valid\n"
           "                           for 5 years from its epoch (./NAME for a file named\n"
           "                           like a built-in model)\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "Outside the model's years the program says so at start and shows no variation.\n"
           "Exit status: 0 the window was closed; 1 no display could be opened;\n"
           "2 bad command line or unreadable model file.\n";
}

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
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--model" || arg.starts_with("--model=")) {
            // The value follows as the next argument or after "="; the last one given counts.
            std::string_view value;
            if (arg == "--model") {
                if (i + 1 == args.size()) return Refuse("option '--model' needs a value");
                value = args[++i];
            } else {
                value = arg.substr(std::string_view("--model=").size());
            }
            if (value.empty()) return Refuse("option '--model' needs a value");
            options.model.assign(value);
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options = WindowOptions{};
            options.action = WindowOptions::Action::Help;
            return options;
        }
        if (arg == "--version") {
            options = WindowOptions{};
            options.action = WindowOptions::Action::Version;
            return options;
        }
        if (!arg.empty() && arg.front() == '-') return Refuse("unknown option '" + Echo(arg) + "'");
        return Refuse("unexpected argument '" + Echo(arg) + "'");
    }
    return options;
}

std::string_view WindowUsage() {
    static const std::string usage = MakeUsage();
    return usage;
}

std::string_view WindowVersionLine() { return kVersionLine; }
